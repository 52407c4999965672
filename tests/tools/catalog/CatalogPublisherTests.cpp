#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "Catalog.h"
#include "CatalogFolder.h"
#include "CatalogTestSupport.h"
#include "ContentHash.h"
#include "Foundation/FileManager.h"
#include "Foundation/JSONSerialization.h"

using catalog_testing::CatalogFixture;
using catalog_testing::snapshot;
using testing_support::readTextFile;
using testing_support::writeTextFile;

namespace {

std::string hashOf(const std::string& text) {
  return ContentHash::sha256Hex(platform::Bytes(text.begin(), text.end())).value();
}

std::vector<std::string> skippedNames(const CatalogPublisher::Report& report) {
  std::vector<std::string> names;
  for (const auto& entry : report.skipped) names.push_back(entry.first);
  return names;
}

using Names = std::vector<std::string>;

class CatalogPublisherTest : public CatalogFixture {};

TEST_F(CatalogPublisherTest, FirstPublishWritesVersionOneWithEachScreenKindsNamesAndObjects) {
  auto report = publish({{"frame1.png", "1"},
                         {"frame1_small.png", "2"},
                         {"frame1_iph5.png", "3"},
                         {"frame1_mask.jpg", "4"},
                         {"frame1_iph5_mask.jpg", "5"},
                         {"fon1@2x.png", "6"}});
  EXPECT_EQ(report.version, 1);
  EXPECT_EQ(report.difference.added.size(), 6u);
  EXPECT_TRUE(report.difference.changed.empty());
  EXPECT_TRUE(report.difference.removed.empty());
  EXPECT_EQ(report.standardCount, 4u);
  EXPECT_EQ(report.tallCount, 3u);

  CatalogFolder folder(catalogFolder());
  std::string error;
  auto head = folder.readHead(error);
  ASSERT_TRUE(head) << error;
  EXPECT_EQ(head->current, 1);
  auto manifest = folder.readManifest(1, error);
  ASSERT_TRUE(manifest) << error;
  EXPECT_EQ(manifest->files().size(), 6u);
  EXPECT_EQ(manifest->files().at("fon1@2x.png"), hashOf("6"));
  EXPECT_EQ(readTextFile(folder.objectPath(hashOf("3"))), "3");
  EXPECT_EQ(manifest->names(ScreenKind::Standard),
            (Names{"fon1@2x.png", "frame1.png", "frame1_mask.jpg", "frame1_small.png"}));
  EXPECT_EQ(manifest->names(ScreenKind::Tall),
            (Names{"frame1_iph5.png", "frame1_iph5_mask.jpg", "frame1_small.png"}));
  EXPECT_EQ(manifest->hashOf(ScreenKind::Standard, "frame1_iph5.png"), nullptr);
  ASSERT_NE(manifest->hashOf(ScreenKind::Tall, "frame1_iph5.png"), nullptr);
  EXPECT_EQ(*manifest->hashOf(ScreenKind::Tall, "frame1_iph5.png"), hashOf("3"));
}

TEST_F(CatalogPublisherTest, NamesThatAreNotContentAreReportedAndSkipped) {
  setContent({{"frame1.png", "ok"},
              {"readme.txt", "x"},
              {"Frame2.png", "x"},
              {"btn_close.png", "x"},
              {"fon 1.png", "x"},
              {"fon1+2.png", "x"},
              {"fon1&n=x.png", "x"},
              {".hidden.png", "x"},
              {"frame1.gif", "x"}});
  std::filesystem::create_directories(contentFolder() + "/frame9.png");
  std::string error;
  auto report = CatalogPublisher::publish(contentFolder(), catalogFolder(), error, texts());
  ASSERT_TRUE(report) << error;
  EXPECT_EQ(skippedNames(*report),
            (Names{".hidden.png", "Frame2.png", "btn_close.png", "fon 1.png", "fon1&n=x.png",
                   "fon1+2.png", "frame1.gif", "frame9.png", "readme.txt"}));
  for (const auto& [name, reason] : report->skipped) EXPECT_FALSE(reason.empty()) << name;
  EXPECT_EQ(report->difference.added, (Names{"frame1.png"}));
}

TEST_F(CatalogPublisherTest, EmptyUndecodableAndLinkedFilesAreSkippedWithTheirReason) {
  using catalog_testing::picture;
  setContent({{"frame1.png", ""},
              {"frame2.png", "not a picture"},
              {"fon1.jpg", "\xFF\xD8\xFF broken"},
              {"frame3.png", picture(0xFF336699)},
              {"fon2.jpg", picture(0xFF996633, true)}});
  std::filesystem::create_symlink("/etc/passwd", contentFolder() + "/fon5.jpg");
  std::filesystem::create_symlink(contentFolder() + "/frame3.png", contentFolder() + "/frame4.png");
  mode_t umaskBefore = umask(022);
  std::string error;
  auto report = CatalogPublisher::publish(contentFolder(), catalogFolder(), error);
  umask(umaskBefore);
  ASSERT_TRUE(report) << error;
  EXPECT_EQ(skippedNames(*report),
            (Names{"fon1.jpg", "fon5.jpg", "frame1.png", "frame2.png", "frame4.png"}));
  for (const auto& [name, reason] : report->skipped) {
    std::string expected = name == "frame1.png"                         ? "empty"
                           : name == "fon5.jpg" || name == "frame4.png" ? "link"
                                                                        : "";
    EXPECT_NE(reason.find(expected), std::string::npos) << name << ": " << reason;
  }
  EXPECT_EQ(report->difference.added, (Names{"fon2.jpg", "frame3.png"}));
  // Written for a server that may run as another user: the umask decides, not the builder.
  auto others = [](const std::string& path) {
    return std::filesystem::status(path).permissions() & std::filesystem::perms::others_read;
  };
  EXPECT_NE(others(catalogFolder() + "/catalog.json"), std::filesystem::perms::none);
  EXPECT_NE(others(catalogFolder() + "/versions/1.json"), std::filesystem::perms::none);
  EXPECT_NE(others(CatalogFolder(catalogFolder()).objectPath(hashOf(picture(0xFF336699)))),
            std::filesystem::perms::none);
}

TEST_F(CatalogPublisherTest, EveryPublishMakesAVersionAndEarlierOnesKeepTheirContents) {
  publish({{"frame1.png", "old"}, {"fon1.png", "gone"}});
  auto objectsBefore = snapshot(catalogFolder() + "/objects");
  auto same = publish({{"frame1.png", "old"}, {"fon1.png", "gone"}});
  EXPECT_EQ(same.version, 2);
  EXPECT_TRUE(same.difference.empty());
  EXPECT_EQ(snapshot(catalogFolder() + "/objects"), objectsBefore);  // objects are shared

  auto report = publish({{"frame1.png", "new"}, {"clipart1.png", "added"}});
  EXPECT_EQ(report.version, 3);
  EXPECT_EQ(report.difference.added, (Names{"clipart1.png"}));
  EXPECT_EQ(report.difference.changed, (Names{"frame1.png"}));
  EXPECT_EQ(report.difference.removed, (Names{"fon1.png"}));
  auto catalog = openCatalog();
  ASSERT_TRUE(catalog);
  EXPECT_EQ(catalog->currentVersion(), 3);
  const CatalogManifest* first = catalog->manifest(1);
  ASSERT_NE(first, nullptr);
  auto contents = [&](const CatalogManifest& manifest, const std::string& name) {
    return readTextFile(catalog->folder().objectPath(manifest.files().at(name)));
  };
  EXPECT_EQ(contents(*first, "frame1.png"), "old");
  EXPECT_EQ(contents(*first, "fon1.png"), "gone");
  EXPECT_EQ(contents(catalog->current(), "frame1.png"), "new");
  // Versions are named only by their exact decimal form.
  EXPECT_EQ(catalog->manifestNamed("2")->version(), 2);
  for (const char* name : {"", "0", "4", "01", "1x", "-1", "+1", " 1", "1.0", "99999999999"})
    EXPECT_EQ(catalog->manifestNamed(name), nullptr) << name;
}

// A missing or corrupt catalogue at the publish: CatalogCommandLineTest.
TEST_F(CatalogPublisherTest, ManifestsOfTheWrongShapeCorruptHeadsAndMissingObjectsAreRefused) {
  publish({{"frame1.png", "A"}});
  const std::string manifest = "/versions/1.json", head = "/catalog.json";
  auto files = [](const std::string& extra) {
    return "{\"format\": 1, \"version\": 1, \"files\": {" + extra +
           "}, \"standard\": [], \"tall\": []}";
  };
  const std::vector<std::pair<std::string, std::string>> bad = {
      {manifest, "[]"},
      {manifest, "{\"format\": 2, \"version\": 1, \"files\": {}, \"standard\": [], \"tall\": []}"},
      {manifest, "{\"format\": 1, \"version\": 2, \"files\": {}, \"standard\": [], \"tall\": []}"},
      {manifest, files("\"../x.png\": \"" + std::string(64, 'a') + "\"")},
      {manifest, files("\"frame1.png\": \"../../etc/passwd\"")},
      {manifest,
       "{\"format\": 1, \"version\": 1, \"files\": {}, \"standard\": [\"frame1.png\"], \"tall\": "
       "[]}"},
      {manifest, "{\"format\": 1, \"version\": 1, \"files\": {}, \"standard\": []}"},
      {head, ""},
      {head, "not json"},
      {head, "{\"format\": 1, \"current\": \"1\"}"},
      {head, "[1]"}};
  for (const auto& [file, text] : bad) {
    std::string path = catalogFolder() + file, good = readTextFile(path), error;
    writeTextFile(path, text);
    EXPECT_FALSE(Catalog::open(catalogFolder(), error)) << text;
    EXPECT_FALSE(error.empty());
    writeTextFile(path, good);
  }
  std::string error;
  EXPECT_TRUE(Catalog::open(catalogFolder(), error)) << error;
  std::filesystem::remove(CatalogFolder(catalogFolder()).objectPath(hashOf("A")));
  EXPECT_FALSE(Catalog::open(catalogFolder(), error));
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
}

TEST_F(CatalogPublisherTest, PublishThatFailsHalfwayLeavesThePreviousVersionInService) {
  publish({{"frame1.png", "A"}});
  // The next manifest cannot be written: its path is taken by a folder.
  std::filesystem::create_directories(catalogFolder() + "/versions/2.json/blocker");
  setContent({{"frame1.png", "B"}});
  auto objects = snapshot(catalogFolder() + "/objects");
  std::string error;
  EXPECT_FALSE(CatalogPublisher::publish(contentFolder(), catalogFolder(), error, texts()));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(snapshot(catalogFolder() + "/objects"), objects);  // no object of the failed version
  auto catalog = Catalog::open(catalogFolder(), error);
  ASSERT_TRUE(catalog) << error;
  EXPECT_EQ(catalog->currentVersion(), 1);
  EXPECT_EQ(catalog->current().files().at("frame1.png"), hashOf("A"));

  std::filesystem::remove_all(catalogFolder() + "/versions/2.json");
  auto report = publish({{"frame1.png", "B"}});
  EXPECT_EQ(report.version, 2);
}

}  // namespace
