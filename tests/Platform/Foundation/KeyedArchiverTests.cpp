#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "Foundation/ArchivableRegistry.h"
#include "Foundation/AtomicFile.h"
#include "Foundation/FileManager.h"
#include "Foundation/KeyedArchiver.h"
#include "Foundation/KeyedUnarchiver.h"
#include "Foundation/UnarchivedObject.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::ConsoleCapture;
using testing_support::TemporaryDirectory;

namespace {

// A small archivable class with scalar, container and nested-object state.
class Catalog : public Archivable {
 public:
  static void registerClass() {
    ArchivableRegistry::registerClass("TestCatalog", [](const KeyedUnarchiver& coder) {
      auto catalog = std::make_shared<Catalog>();
      auto viewed = coder.decodeInt32ForKey("Viewed_0");
      if (!viewed) return std::shared_ptr<Archivable>();
      catalog->viewed = *viewed;
      Value names = coder.decodeObjectForKey("names");
      if (names.dictionary()) catalog->names = *names.dictionary();
      catalog->child = coder.decodeObjectForKey("child").objectAs<Catalog>();
      catalog->dollar = coder.decodeObjectForKey("$class").string() ? "kept" : "lost";
      catalog->decodedAs = coder.className();
      return std::shared_ptr<Archivable>(catalog);
    });
  }
  std::string className() const override { return "TestCatalog"; }
  void encodeWithCoder(KeyedArchiver& coder) const override {
    coder.encodeInt32(viewed, "Viewed_0");
    coder.encodeObject(names, "names");
    if (child) coder.encodeObject(child, "child");
    coder.encodeObject("own key that looks reserved", "$class");
  }

  std::int32_t viewed = 0;
  Dictionary names;
  std::shared_ptr<Catalog> child;
  std::string dollar, decodedAs;
};

struct NotArchivable : Object {
  std::string className() const override { return "NotArchivable"; }
};

// Encodes itself without end.
class Ouroboros : public Archivable {
 public:
  std::string className() const override { return "Ouroboros"; }
  void encodeWithCoder(KeyedArchiver& coder) const override {
    coder.encodeObject(std::make_shared<Ouroboros>(), "next");
  }
};

Value everyKind() {
  Bytes bytes{0, 1, 2, 0, 255};
  return Dictionary{
      {"null", nullptr},
      {"yes", true},
      {"no", false},
      {"zero", 0},
      {"negative", -42},
      {"min", std::numeric_limits<std::int64_t>::min()},
      {"max", std::numeric_limits<std::int64_t>::max()},
      {"real", 3.25},
      {"infinity", std::numeric_limits<double>::infinity()},
      {"string", "Привет, 世界"},
      {"empty", ""},
      {"date", Date{1700000000.25}},
      {"oldDate", Date{-86400.5}},
      {"bytes", bytes},
      {"array", Array{1, "two", Array{3.5, nullptr}, Dictionary{}}},
      {"nested", Dictionary{{"ADSAlertsCount", Dictionary{{"alert1", 3}}}}},
      {"$dollar", "a key beginning with the escape character"},
      {"$$double", 2},
  };
}

}  // namespace

TEST(KeyedArchiverTest, ScalarEncodersAndTypedDecoders) {
  KeyedArchiver archiver;
  archiver.encodeBool(true, "flag");
  archiver.encodeInteger(std::int64_t{1} << 40, "big");
  archiver.encodeInt32(-7, "small");
  archiver.encodeDouble(0.5, "half");
  archiver.encodeObject("text", "text");
  auto unarchiver = KeyedUnarchiver::unarchiverForReadingWithData(archiver.finishEncoding());
  ASSERT_TRUE(unarchiver);
  EXPECT_EQ(unarchiver->decodeBoolForKey("flag"), true);
  EXPECT_EQ(unarchiver->decodeIntegerForKey("big"), std::int64_t{1} << 40);
  EXPECT_FALSE(unarchiver->decodeInt32ForKey("big"));  // does not fit
  EXPECT_EQ(unarchiver->decodeInt32ForKey("small"), -7);
  EXPECT_EQ(unarchiver->decodeDoubleForKey("half"), 0.5);
  EXPECT_FALSE(unarchiver->decodeIntegerForKey("text"));
  EXPECT_FALSE(unarchiver->containsValueForKey("missing"));
  EXPECT_TRUE(unarchiver->decodeObjectForKey("missing").isNull());
  EXPECT_FALSE(unarchiver->failed());
}

TEST(KeyedArchiverTest, EveryValueKindAndObjectsRoundTripThroughAFile) {
  Catalog::registerClass();
  auto inner = std::make_shared<Catalog>();
  inner->viewed = 2;
  auto outer = std::make_shared<Catalog>();
  outer->viewed = -5;
  outer->names = Dictionary{{"fon_1.png", "12"}, {"frame_2.svgpb", "13"}};
  outer->child = inner;
  Dictionary root{{"every", everyKind()}, {"ContentControl", outer}};

  TemporaryDirectory directory;
  std::string path = directory.file("archive");
  ASSERT_TRUE(AtomicFile::write(path, KeyedArchiver::archivedDataWithRootObject(root, "data")));
  auto value = KeyedUnarchiver::unarchiveObjectWithData(*FileManager::contentsAtPath(path), "data");
  ASSERT_TRUE(value && value->dictionary());
  const Dictionary& read = *value->dictionary();
  EXPECT_EQ(valueForKey(read, "every"), everyKind()) << value->description();
  // Sub-second dates survive to the microsecond.
  EXPECT_DOUBLE_EQ(
      valueForKey(*read.at("every").dictionary(), "date").dateValue()->timeIntervalSince1970,
      1700000000.25);
  // Objects encode under their own keys and revive through the registry.
  auto revived = valueForKey(read, "ContentControl").objectAs<Catalog>();
  ASSERT_TRUE(revived);
  EXPECT_NE(revived, outer);
  EXPECT_EQ(revived->viewed, -5);
  EXPECT_EQ(revived->names, outer->names);
  EXPECT_EQ(revived->dollar, "kept");
  EXPECT_EQ(revived->decodedAs, "TestCatalog");
  ASSERT_TRUE(revived->child);
  EXPECT_EQ(revived->child->viewed, 2);
  EXPECT_FALSE(revived->child->child);
}

TEST(KeyedArchiverTest, UnknownClassesSurviveAnotherRoundTrip) {
  Catalog::registerClass();
  auto catalog = std::make_shared<Catalog>();
  catalog->viewed = 9;
  Bytes original = KeyedArchiver::archivedDataWithRootObject(Value(catalog));

  // Read by a program that does not know the class: the object is kept as it was ...
  ArchivableRegistry::registerClass("TestCatalog", nullptr);
  auto kept = KeyedUnarchiver::unarchiveObjectWithData(original);
  ASSERT_TRUE(kept);
  auto placeholder = kept->objectAs<UnarchivedObject>();
  ASSERT_TRUE(placeholder);
  EXPECT_EQ(placeholder->className(), "TestCatalog");
  EXPECT_EQ(valueForKey(placeholder->entries(), "Viewed_0").integerValue(), 9);

  // ... and written back, so the program that knows it reads it again.
  Bytes rewritten = KeyedArchiver::archivedDataWithRootObject(*kept);
  Catalog::registerClass();
  auto revived = KeyedUnarchiver::unarchiveObjectWithData(rewritten);
  ASSERT_TRUE(revived && revived->objectAs<Catalog>());
  EXPECT_EQ(revived->objectAs<Catalog>()->viewed, 9);
}

TEST(KeyedArchiverTest, UnarchivableEndlessOrTooDeepValuesAndNonArchivesAreRefused) {
  ConsoleCapture console;
  Bytes plain = KeyedArchiver::archivedDataWithRootObject(Value(std::make_shared<NotArchivable>()));
  auto value = KeyedUnarchiver::unarchiveObjectWithData(plain);
  ASSERT_TRUE(value);
  EXPECT_TRUE(value->isNull());
  Bytes endless = KeyedArchiver::archivedDataWithRootObject(Value(std::make_shared<Ouroboros>()));
  EXPECT_FALSE(endless.empty());
  EXPECT_GE(console.lines().size(), 2u);

  // Too deeply nested values fail instead of exhausting the stack.
  Value deep = 1;
  for (int i = 0; i < 400; ++i) deep = Array{deep};
  auto unarchiver = KeyedUnarchiver::unarchiverForReadingWithData(
      KeyedArchiver::archivedDataWithRootObject(deep));
  ASSERT_TRUE(unarchiver);
  EXPECT_TRUE(unarchiver->decodeObjectForKey("root").isNull());
  EXPECT_TRUE(unarchiver->failed());

  EXPECT_FALSE(KeyedUnarchiver::unarchiverForReadingWithData({}));
  EXPECT_FALSE(KeyedUnarchiver::unarchiverForReadingWithData(Bytes(100, 'x')));
  std::string xml =
      "<?xml version=\"1.0\"?><plist><dict><key>a</key><string>b</string></dict></plist>";
  EXPECT_FALSE(KeyedUnarchiver::unarchiverForReadingWithData(Bytes(xml.begin(), xml.end())));
}

TEST(KeyedArchiverTest, DamagedArchivesNeverCrash) {
  Catalog::registerClass();
  auto catalog = std::make_shared<Catalog>();
  catalog->names = Dictionary{{"a", "1"}, {"b", "2"}};
  Dictionary root = *everyKind().dictionary();
  root["catalog"] = catalog;
  const Bytes good = KeyedArchiver::archivedDataWithRootObject(root);
  std::mt19937 random(12345);
  int decoded = 0;
  for (int round = 0; round < 2000; ++round) {
    Bytes damaged = good;
    if (round % 3 == 0) {
      damaged.resize(random() % damaged.size());
    } else {
      for (int flips = 1 + random() % 4; flips > 0; --flips)
        damaged[random() % damaged.size()] = static_cast<std::uint8_t>(random());
    }
    auto value = KeyedUnarchiver::unarchiveObjectWithData(damaged);
    // A cut archive has lost its trailer and never decodes.
    if (round % 3 == 0) {
      EXPECT_FALSE(value) << "cut at " << damaged.size();
    }
    if (value) ++decoded;
  }
  EXPECT_LT(decoded, 2000);
  EXPECT_TRUE(KeyedUnarchiver::unarchiveObjectWithData(good));
}
