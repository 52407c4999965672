#include <gtest/gtest.h>

#include <string>

#include "Foundation/JSONSerialization.h"

using namespace platform;

TEST(JSONSerializationTest, ReadsEveryKindAndWritesItBack) {
  auto value = JSONSerialization::JSONObjectWithData(
      R"({"ver":"12","list":["a",1,-2,2.5,true,null,{"x":[]}],"big":18446744073709551615,"u":"\u00e9"})");
  ASSERT_TRUE(value.has_value());
  const Dictionary& object = *value->dictionary();
  EXPECT_EQ(*object.at("ver").string(), "12");
  const Array& list = *object.at("list").array();
  ASSERT_EQ(list.size(), 7u);
  EXPECT_EQ(list[1].kind(), Value::Kind::Integer);
  EXPECT_EQ(list[2].integerValue(), -2);
  EXPECT_EQ(list[3].kind(), Value::Kind::Real);
  EXPECT_EQ(list[4].boolValue(), true);
  EXPECT_TRUE(list[5].isNull());
  EXPECT_TRUE(list[6].dictionary()->at("x").array()->empty());
  // Beyond 64-bit integers the number is kept as a real rather than wrapped.
  EXPECT_EQ(object.at("big").kind(), Value::Kind::Real);
  EXPECT_EQ(*object.at("u").string(), "\xC3\xA9");

  auto text = JSONSerialization::dataWithJSONObject(*value);
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(JSONSerialization::JSONObjectWithData(*text), value);
}

TEST(JSONSerializationTest, RefusesWhatIsNotJSONOrTooDeep) {
  for (std::string bad : {"", "{", "[1,]", "{\"a\":1} x", "nul", "\"\xFF\"", "{'a':1}"})
    EXPECT_FALSE(JSONSerialization::JSONObjectWithData(bad).has_value()) << bad;
  std::string deep(JSONSerialization::kMaxDepth + 1, '[');
  deep += std::string(JSONSerialization::kMaxDepth + 1, ']');
  EXPECT_FALSE(JSONSerialization::JSONObjectWithData(deep).has_value());
  std::string deepest(JSONSerialization::kMaxDepth, '[');
  deepest += std::string(JSONSerialization::kMaxDepth, ']');
  EXPECT_TRUE(JSONSerialization::JSONObjectWithData(deepest).has_value());
  // A hostile nesting of a million brackets neither crashes nor parses.
  std::string hostile(1'000'000, '[');
  EXPECT_FALSE(JSONSerialization::JSONObjectWithData(hostile).has_value());

  EXPECT_FALSE(JSONSerialization::dataWithJSONObject(Value(Bytes{1, 2})).has_value());
  EXPECT_FALSE(JSONSerialization::dataWithJSONObject(Value(Array{Value(Date{})})).has_value());
}
