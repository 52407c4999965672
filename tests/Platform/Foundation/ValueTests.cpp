#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Foundation/Value.h"

using namespace platform;

namespace {

struct Thing : Object {
  std::string className() const override { return "Thing"; }
};

}  // namespace

TEST(ValueTest, TypedReadsOfTheWrongKindOrMissingKeysAreAbsent) {
  Value text("12");
  EXPECT_FALSE(text.integerValue());
  EXPECT_FALSE(text.boolValue());
  EXPECT_FALSE(text.realValue());
  EXPECT_FALSE(text.dateValue());
  EXPECT_EQ(text.dictionary(), nullptr);
  EXPECT_EQ(Value(12).string(), nullptr);
  EXPECT_EQ(Value(Dictionary{}).array(), nullptr);
  EXPECT_EQ(Value().object(), nullptr);
  auto thing = std::make_shared<Thing>();
  EXPECT_EQ(Value(thing).objectAs<Thing>(), thing);
  EXPECT_TRUE(Value(std::shared_ptr<Thing>()).isNull());
  Dictionary dictionary{{"AppLaunchCount", "three"}};
  EXPECT_TRUE(valueForKey(dictionary, "missing").isNull());
  EXPECT_FALSE(valueForKey(dictionary, "AppLaunchCount").integerValue());
  EXPECT_EQ(Value(Dictionary{{"a", Array{1, nullptr}}}).description(), "{a = (1, null)}");
}

TEST(ValueTest, NumbersConvertAmongThemselves) {
  EXPECT_EQ(Value(true).integerValue(), 1);
  EXPECT_EQ(Value(7).boolValue(), true);
  EXPECT_EQ(Value(0.0).boolValue(), false);
  EXPECT_EQ(Value(2.9).integerValue(), 2);
  EXPECT_EQ(Value(-3).realValue(), -3.0);
  // Reals with no integer reading must not convert (that would be undefined behaviour).
  EXPECT_FALSE(Value(std::nan("")).integerValue());
  EXPECT_FALSE(Value(1e30).integerValue());
  EXPECT_FALSE(Value(-std::numeric_limits<double>::infinity()).integerValue());
}
