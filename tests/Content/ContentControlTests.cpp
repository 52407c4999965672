#include <gtest/gtest.h>

#include <filesystem>

#include "Content/ContentControl.h"
#include "ContentFixture.h"
#include "Foundation/KeyedArchiver.h"
#include "Foundation/KeyedUnarchiver.h"

using namespace platform;
using namespace content_testing;

namespace {

std::vector<std::string> itemNames(const ContentControl& control, ContentType type) {
  std::vector<std::string> names;
  auto items = control.contentItemsForType(type);
  for (const auto& item : *items) names.push_back(item->name());
  return names;
}

// Archives `object` and reads the archive back as a ContentControl.
std::shared_ptr<ContentControl> restore(std::shared_ptr<Archivable> object) {
  auto value = KeyedUnarchiver::unarchiveObjectWithData(
      KeyedArchiver::archivedDataWithRootObject(Value(std::move(object))));
  return value ? value->objectAs<ContentControl>() : nullptr;
}

}  // namespace

TEST(ContentControlTest, FirstStartListsResourcesAsSeenAndDownloadsAsNew) {
  ContentFixture fixture;
  writeFile(fixture.resourcePath("fon1.png"), pictureBytes(4, 4, 0xFF0000FF));
  writeFile(fixture.resourcePath("fon1_small.png"), pictureBytes(2, 2, 0xFF0000FF));
  auto control = ContentControl::Instance();
  EXPECT_EQ(ContentControl::Instance(), control);
  EXPECT_EQ(control->localListOfType(ContentTypeBackground),
            (std::vector<std::string>{"fon1.png", "fon1_small.png"}));
  EXPECT_EQ(control->viewedContent()[ContentTypeBackground], 2);
  EXPECT_EQ(control->newContentForType(ContentTypeBackground), 0);
  auto fon1 = control->contentImageWithName("fon1");
  ASSERT_NE(fon1, nullptr);
  EXPECT_EQ(fon1->version(), "0");
  // The default masks among the resources are listed, but masks alone make no item.
  EXPECT_EQ(control->contentImageWithName("tbframe"), nullptr);
  EXPECT_TRUE(std::filesystem::is_directory(fixture.contentPath("")));

  EXPECT_TRUE(control->saveData(pictureBytes(4, 4, 0xFF00FF00), "fon2.png", "7"));
  EXPECT_TRUE(control->saveData(pictureBytes(2, 2, 0xFF00FF00), "fon2_small.png", "7"));
  EXPECT_EQ(control->newContentForType(ContentTypeBackground), 2);
  control->setAllConetnViewedForType(ContentTypeBackground);
  EXPECT_EQ(control->newContentForType(ContentTypeBackground), 0);
  control->deleteObjectNamed("fon2.png");
  EXPECT_EQ(control->newContentForType(ContentTypeBackground), -1);
  EXPECT_FALSE(std::filesystem::exists(fixture.contentPath("fon2.png")));
  EXPECT_EQ(control->curDownloadedContent().count("fon2.png"), 1u);  // its record stays
  EXPECT_EQ(control->contentItemsForType(ContentTypeNone), std::nullopt);
}

TEST(ContentControlTest, ItemsGoOldestFirstThenByNumber) {
  ContentFixture fixture;
  auto control = ContentControl::init();
  for (auto [name, version] :
       {std::pair{"fon1.png", "5"}, {"fon2.png", "5"}, {"fon10.png", "3"}, {"frame1.png", "1"}})
    control->saveData(pictureBytes(2, 2, 0xFFFFFFFF), name, version);
  control->searchContent();
  EXPECT_EQ(itemNames(*control, ContentTypeBackground),
            (std::vector<std::string>{"fon10", "fon1", "fon2"}));
  EXPECT_EQ(itemNames(*control, ContentTypePhotoFrame), (std::vector<std::string>{"frame1"}));
  EXPECT_EQ(control->contentImageWithName("fon1")->version(), "5");

  EXPECT_FALSE(control->isAllContentDownloaded({"frame4.png", "frame4_small.png"}));
  control->saveData(pictureBytes(2, 2, 0xFFFFFFFF), "frame4_small.png", "1");
  EXPECT_FALSE(control->isAllContentDownloaded({"frame4.png", "frame4_small.png"}));
  control->saveData(pictureBytes(2, 2, 0xFFFFFFFF), "frame4.png", "1");
  EXPECT_TRUE(control->isAllContentDownloaded({"frame4.png", "frame4_small.png"}));
  EXPECT_TRUE(control->isAllContentDownloaded({"empty.png", "whatever.png"}));
  EXPECT_TRUE(control->isAllContentDownloaded({}));

  auto empty = control->emptyItem();
  EXPECT_EQ(empty->name(), "empty");
  EXPECT_EQ(empty->version(), "0");
  EXPECT_EQ(empty->filesNames(), (std::vector<std::string>{"empty.png", "empty_small.png"}));
}

TEST(ContentControlTest, FilesStayInsideTheContentFolder) {
  ContentFixture fixture;
  writeFile(fixture.resourcePath("clipart1.png"), pictureBytes(2, 2, 0xFF000000));
  auto control = ContentControl::init();
  EXPECT_EQ(control->fullPathForObjectNamed("clipart1.png"), fixture.resourcePath("clipart1.png"));
  control->saveData(pictureBytes(2, 2, 0xFFFFFFFF), "clipart1.png", "2");
  // A downloaded file wins over a resource of the same name.
  EXPECT_EQ(control->fullPathForObjectNamed("clipart1.png"), fixture.contentPath("clipart1.png"));
  EXPECT_EQ(control->fullPathForObjectNamed("nothing.png"), std::nullopt);

  std::string outside = fixture.container.root() + "/Library/Application Support/escaped.png";
  for (const char* hostile :
       {"../escaped.png", "sub/clipart2.png", ".clipart3.png", "", "clip\x01.png"}) {
    EXPECT_FALSE(control->saveData(pictureBytes(2, 2, 0xFFFFFFFF), hostile, "1")) << hostile;
    EXPECT_EQ(control->fullPathForObjectNamed(hostile), std::nullopt) << hostile;
    EXPECT_FALSE(control->addContentFile(hostile));
  }
  EXPECT_FALSE(std::filesystem::exists(outside));
  writeFile(outside, pictureBytes(1, 1, 0));
  control->deleteObjectNamed("../escaped.png");
  EXPECT_TRUE(std::filesystem::exists(outside));
  EXPECT_EQ(control->curDownloadedContent().size(), 1u);

  // A write cut short leaves a temporary, which the next start removes and never lists.
  writeFile(fixture.contentPath("clipart4.png.tmp-Ab12Cd"), pictureBytes(1, 1, 0));
  auto restarted = ContentControl::init();
  EXPECT_FALSE(std::filesystem::exists(fixture.contentPath("clipart4.png.tmp-Ab12Cd")));
  EXPECT_EQ(restarted->localListOfType(ContentTypeClipart),
            (std::vector<std::string>{"clipart1.png"}));
}

TEST(ContentControlTest, ArchivingKeepsMapsAndCountersAndDropsHostileNames) {
  ContentFixture fixture;
  writeFile(fixture.resourcePath("face1.png"), pictureBytes(2, 2, 0xFF000000));
  auto control = ContentControl::init();
  control->saveData(pictureBytes(2, 2, 0xFFFFFFFF), "face2.png", "4");
  control->saveData(pictureBytes(2, 2, 0xFFFFFFFF), "face3.png", "4");
  EXPECT_EQ(control->viewedContent()[ContentTypeFaceEffect], 1);
  auto restored = restore(control);
  ASSERT_NE(restored, nullptr);
  // Not reset to the list's size, which is now 3.
  EXPECT_EQ(restored->viewedContent()[ContentTypeFaceEffect], 1);
  EXPECT_EQ(restored->newContentForType(ContentTypeFaceEffect), 2);
  EXPECT_EQ(restored->curDownloadedContent(), control->curDownloadedContent());
  EXPECT_EQ(restored->contentImageWithName("face2")->version(), "4");

  // An archive naming files outside the folder, or with versions that are not text.
  Dictionary hostile{
      {"../../x.png", Value("1")}, {"face9.png", Value(3)}, {"face8.png", Value("2")}};
  class Forged : public Archivable {
   public:
    explicit Forged(Dictionary map) : _map(std::move(map)) {}
    std::string className() const override { return ContentControl::kArchiveKey; }
    void encodeWithCoder(KeyedArchiver& coder) const override {
      coder.encodeObject(Value(_map), "curServerContent");
      coder.encodeObject(Value("not a map"), "curDownloadedContent");
      coder.encodeInt32(5, "ContentViewed_3");
    }
    Dictionary _map;
  };
  auto revived = restore(std::make_shared<Forged>(hostile));
  ASSERT_NE(revived, nullptr);
  EXPECT_EQ(revived->curServerContent(), (ContentName::VersionMap{{"face8.png", "2"}}));
  EXPECT_TRUE(revived->curDownloadedContent().empty());
  EXPECT_EQ(revived->viewedContent()[ContentTypeFaceEffect], 5);
}
