#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "Catalog.h"
#include "CatalogAnswers.h"
#include "Content/ContentServiceRequest.h"
#include "ServerTestSupport.h"

using catalog_testing::ServerFixture;
using platform::Value;

namespace {

using Names = std::vector<std::string>;
using Files = std::map<std::string, std::string>;

using catalog_testing::answerNames;
using catalog_testing::answerVersion;

class CatalogAnswersTest : public ServerFixture {
 protected:
  Value list(ScreenKind kind, std::optional<std::string> dif) {
    return CatalogAnswers::list(*openCatalog(), kind, dif);
  }
  // The three lists of a difference: new, changed, deleted.
  std::vector<Names> diff(const Value& answer) {
    return {answerNames(answer, "new"), answerNames(answer, "chg"), answerNames(answer, "del")};
  }
};

TEST_F(CatalogAnswersTest, FullListsPerKindAndDifferencesFromEachEarlierVersion) {
  publish({{"frame1.png", "A"}, {"frame2.png", "B"}, {"fon1.jpg", "C"}, {"frame1_iph5.png", "T"}});
  Value standard = list(ScreenKind::Standard, std::nullopt);
  EXPECT_EQ(answerVersion(standard), "1");
  EXPECT_EQ(answerNames(standard, "curList"), (Names{"fon1.jpg", "frame1.png", "frame2.png"}));
  EXPECT_FALSE(standard.dictionary()->contains("diff"));
  EXPECT_EQ(answerNames(list(ScreenKind::Tall, std::nullopt), "curList"),
            (Names{"frame1_iph5.png"}));

  publish({{"frame1.png", "A2"}, {"frame2.png", "B"}, {"clipart1.png", "D"}});  // 2
  const Files third{
      {"frame1.png", "A2"}, {"frame2.png", "B"}, {"clipart1.png", "D"}, {"fon1.jpg", "C"}};
  publish(third);  // 3
  publish(third);  // 4
  Value fromOne = list(ScreenKind::Standard, "1");
  EXPECT_EQ(answerVersion(fromOne), "4");
  EXPECT_FALSE(fromOne.dictionary()->contains("curList"));
  // fon1.jpg left and came back with the same bytes: no change since version 1.
  EXPECT_EQ(diff(fromOne), (std::vector<Names>{{"clipart1.png"}, {"frame1.png"}, {}}));
  EXPECT_EQ(diff(list(ScreenKind::Standard, "2")), (std::vector<Names>{{"fon1.jpg"}, {}, {}}));
  for (const char* same : {"3", "4"})
    EXPECT_EQ(diff(list(ScreenKind::Standard, same)), (std::vector<Names>{{}, {}, {}})) << same;
}

TEST_F(CatalogAnswersTest, FilesAnswerWithTheirContentAtTheAskedVersion) {
  publish({{"frame1.png", "one"}, {"fon1.jpg", "fon"}});
  publish({{"frame1.png", "two"}});
  publish({{"frame1.png", "three"}, {"frame1_iph5.png", "tall"}});
  auto catalog = openCatalog();
  auto contentOf = [&](ScreenKind kind, std::optional<std::string> ver,
                       const std::string& name) -> std::optional<std::string> {
    auto hash = CatalogAnswers::fileHash(*catalog, kind, ver, name);
    if (!hash) return std::nullopt;
    return testing_support::readTextFile(catalog->folder().objectPath(*hash));
  };
  EXPECT_EQ(contentOf(ScreenKind::Standard, "1", "frame1.png"), "one");
  EXPECT_EQ(contentOf(ScreenKind::Standard, "2", "frame1.png"), "two");
  EXPECT_EQ(contentOf(ScreenKind::Standard, "3", "frame1.png"), "three");
  EXPECT_EQ(contentOf(ScreenKind::Standard, std::nullopt, "frame1.png"), "three");
  EXPECT_EQ(contentOf(ScreenKind::Standard, "9", "frame1.png"), "three");
  EXPECT_EQ(contentOf(ScreenKind::Standard, "garbage", "frame1.png"), "three");
  // Gone since version 2, still answerable at the version that had it.
  EXPECT_EQ(contentOf(ScreenKind::Standard, "1", "fon1.jpg"), "fon");
  EXPECT_EQ(contentOf(ScreenKind::Standard, "2", "fon1.jpg"), std::nullopt);
  EXPECT_EQ(contentOf(ScreenKind::Standard, std::nullopt, "fon1.jpg"), std::nullopt);
  // New in version 3: an older version falls back to the current content.
  EXPECT_EQ(contentOf(ScreenKind::Tall, "1", "frame1_iph5.png"), "tall");
  EXPECT_EQ(contentOf(ScreenKind::Standard, "3", "frame1_iph5.png"), std::nullopt);
  EXPECT_EQ(contentOf(ScreenKind::Tall, "3", "frame1.png"), std::nullopt);
  EXPECT_EQ(contentOf(ScreenKind::Standard, "3", "../catalog.json"), std::nullopt);
  EXPECT_EQ(contentOf(ScreenKind::Standard, "3", ".lock"), std::nullopt);
  EXPECT_EQ(contentOf(ScreenKind::Standard, "3", ""), std::nullopt);
}

// The device's own reading of the answers: after any history, a device that last listed
// version V and applies the answer for V holds exactly the current catalogue, and asking for
// every file with the version its map holds yields the current content, in-process and over
// HTTP. Each kind sees only its own names; an unknown dif gets the full list.
TEST_F(CatalogAnswersTest, ApplyChangesReproducesEachVersionFromAnyEarlierOne) {
  const std::vector<Files> history = {
      {{"frame1.png", "a"},
       {"frame1_small.png", "as"},
       {"frame1_iph5.png", "at"},
       {"fon1.jpg", "b"}},
      {{"frame1.png", "a2"},
       {"frame1_small.png", "as"},
       {"frame1_iph5.png", "at"},
       {"clipart1.png", "c"}},
      {{"frame1.png", "a2"}, {"frame1_small.png", "as"}, {"clipart1.png", "c"}, {"fon1.jpg", "b2"}},
      {{"frame1.png", "a2"}, {"frame1_small.png", "as"}, {"clipart1.png", "c"}, {"fon1.jpg", "b2"}},
      {{"frame1.png", "a"},
       {"frame1_iph5.png", "at2"},
       {"face1_small.png", "f"},
       {"fon1.jpg", "b"}},
      {},
      {{"tbframe1.png", "t"}, {"tbframe1_iph5_mask.jpg", "m"}, {"frame1.png", "a"}},
  };
  // Per kind: what the device holds after listing each version fully, and after following every
  // publish step by step over HTTP (answers decoded as the device does, gzip included).
  std::map<ScreenKind, std::vector<ContentName::VersionMap>> listedAt;
  std::map<ScreenKind, ContentName::VersionMap> stepwise;
  std::map<ScreenKind, std::optional<std::string>> stepwiseVersion;
  for (const Files& files : history) {
    publish(files);
    if (!_server) {
      ReferenceServer::Configuration configuration;
      configuration.gzipThreshold = 60;  // some answers compressed, some not
      startServer(configuration);
    }
    auto catalog = openCatalog();
    const CatalogManifest& current = catalog->current();
    const std::string version = std::to_string(current.version());
    for (ScreenKind kind : ScreenKinds::kAll) {
      const std::string base = "/" + std::string(ScreenKinds::pathName(kind)) + "/";
      auto check = [&](const ContentName::VersionMap& map, const std::string& path, bool http) {
        Names keys;
        for (const auto& entry : map) keys.push_back(entry.first);
        std::sort(keys.begin(), keys.end());
        EXPECT_EQ(keys, current.names(kind)) << path;
        for (const auto& [name, ver] : map) {
          if (http) {
            auto file = get(base + "?act=get&ver=" + ver + "&n=" + name);
            ASSERT_TRUE(file) << path << " " << name;
            EXPECT_EQ(file->body, files.at(name)) << path << " " << name << "@" << ver;
            continue;
          }
          auto hash = CatalogAnswers::fileHash(*catalog, kind, ver, name);
          ASSERT_TRUE(hash) << path << " " << name;
          EXPECT_EQ(*hash, *current.hashOf(kind, name)) << path << " " << name << "@" << ver;
        }
      };
      for (size_t v = 0; v < listedAt[kind].size(); ++v) {
        ContentName::VersionMap map = listedAt[kind][v];
        ContentServiceRequest::applyChanges(
            map, CatalogAnswers::list(*catalog, kind, std::to_string(v + 1)));
        check(map, "from " + std::to_string(v + 1) + " to " + version, false);
      }
      std::string target = base + "?act=list";
      if (stepwiseVersion[kind]) target += "&dif=" + *stepwiseVersion[kind];
      Value answer = getJSON(target);
      ContentServiceRequest::applyChanges(stepwise[kind], answer);
      stepwiseVersion[kind] = answerVersion(answer);
      check(stepwise[kind], "stepwise over HTTP: " + target, true);

      // The full list, also over a stale map and with an unknown dif.
      ContentName::VersionMap full = {{"stale.png", "1"}};
      ContentServiceRequest::applyChanges(full, CatalogAnswers::list(*catalog, kind, "bogus"));
      check(full, "full list", false);
      for (const auto& entry : full) EXPECT_EQ(entry.second, version);
      listedAt[kind].push_back(full);
    }
  }
}

}  // namespace
