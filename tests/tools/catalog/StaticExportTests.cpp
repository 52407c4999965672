#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "ServerTestSupport.h"
#include "StaticExport.h"

using catalog_testing::ServerFixture;
using testing_support::readTextFile;
using testing_support::writeTextFile;

namespace {

namespace fs = std::filesystem;

constexpr const char* kBaseURL = "http://cdn.example:8080/pictavia";

struct StaticAnswer {
  int status = 404;
  std::string body;
  bool gzip = false;
};

class StaticExportTest : public ServerFixture {
 protected:
  std::string outFolder() const { return _directory.file("export"); }

  StaticExport::Report exportCatalog(size_t threshold) {
    StaticExport::Options options;
    options.baseURL = kBaseURL;
    options.gzipThreshold = threshold;
    std::string error;
    auto report = StaticExport::write(catalogFolder(), outFolder(), options, error);
    EXPECT_TRUE(report) << error;
    return report.value_or(StaticExport::Report{});
  }

  // A JSON answer file by the layout: NAME.json plain or NAME.jsongz compressed.
  StaticAnswer jsonFile(const std::string& pathWithoutSuffix) {
    for (bool gzip : {false, true}) {
      std::string path = outFolder() + "/" + pathWithoutSuffix + (gzip ? ".jsongz" : ".json");
      if (fs::exists(path)) return StaticAnswer{200, readTextFile(path), gzip};
    }
    return {};
  }

  // What the sample nginx configuration serves for a query, resolved the same way.
  StaticAnswer resolve(const std::string& kind, const std::string& act,
                       const std::optional<std::string>& dif, const std::optional<std::string>& ver,
                       const std::string& name) {
    if (act == "nodes") return jsonFile(kind + "/nodes");
    if (act == "list") {
      if (dif) {
        StaticAnswer answer = jsonFile(kind + "/list/" + *dif);
        if (answer.status == 200) return answer;
      }
      return jsonFile(kind + "/list/full");
    }
    for (const std::string& folder : {ver.value_or("current"), std::string("current")}) {
      std::string path = outFolder() + "/" + kind + "/get/" + folder + "/" + name;
      if (fs::exists(path)) return StaticAnswer{200, readTextFile(path), false};
    }
    return {};
  }
};

TEST_F(StaticExportTest, EveryAnswerFileMatchesWhatTheServerAnswers) {
  publish({{"frame1.png", "a"},
           {"frame1_small.png", "as"},
           {"frame1_iph5.png", "at"},
           {"fon1.jpg", "b"}});
  publish({{"frame1.png", "a2"}, {"frame1_small.png", "as"}, {"clipart1.svgpb", "c"}});
  std::map<std::string, std::string> many;
  for (int i = 1; i <= 30; ++i) many["face" + std::to_string(i) + "_small.png"] = std::to_string(i);
  many["frame1.png"] = "a";
  publish(many);
  const size_t threshold = 200;  // the long lists compress, the short ones do not
  auto report = exportCatalog(threshold);
  EXPECT_GT(report.answerFiles, 0u);

  ReferenceServer::Configuration configuration;
  configuration.gzipThreshold = threshold;
  configuration.publicURL = kBaseURL;
  startServer(configuration);

  std::set<std::string> everyName = {"absent.png", "../catalog.json"};
  std::string error;
  auto catalog = Catalog::open(catalogFolder(), error);
  ASSERT_TRUE(catalog) << error;
  for (int v = 1; v <= 3; ++v) {
    for (const auto& entry : catalog->manifest(v)->files()) everyName.insert(entry.first);
  }
  const std::vector<std::optional<std::string>> versions = {std::nullopt, "1", "2", "3",
                                                            "4",          "0", "x", "01"};
  size_t compared = 0;
  bool sawGzip = false, sawPlain = false;
  for (const std::string kind : {"standard", "tall"}) {
    auto check = [&](const std::string& target, const StaticAnswer& expected) {
      auto result = get(target);
      ASSERT_TRUE(result) << target;
      EXPECT_EQ(expected.status, result->status) << target;
      if (result->status != 200) return;
      EXPECT_EQ(expected.body, result->body) << target;
      EXPECT_EQ(expected.gzip, result->get_header_value("Content-Encoding") == "application/gzip")
          << target;
      (expected.gzip ? sawGzip : sawPlain) = true;
      ++compared;
    };
    std::string base = "/" + kind + "/";
    check(base + "?act=nodes", resolve(kind, "nodes", std::nullopt, std::nullopt, ""));
    for (const auto& dif : versions) {
      std::string target = base + "?act=list" + (dif ? "&dif=" + *dif : "");
      check(target, resolve(kind, "list", dif, std::nullopt, ""));
    }
    for (const auto& ver : versions) {
      for (const std::string& name : everyName) {
        std::string target = base + "?act=get" + (ver ? "&ver=" + *ver : "") + "&n=" + name;
        check(target, resolve(kind, "get", std::nullopt, ver, name));
      }
    }
  }
  EXPECT_GT(compared, 50u);
  EXPECT_TRUE(sawGzip);
  EXPECT_TRUE(sawPlain);
  EXPECT_EQ(jsonFile("tall/nodes").body, "[\"http://cdn.example:8080/pictavia/tall/\"]");
}

TEST_F(StaticExportTest, ReplacesAnEarlierExportButNoOtherFolder) {
  publish({{"frame1.png", "a"}});
  exportCatalog(1024);
  publish({{"frame2.png", "b"}});
  exportCatalog(1024);
  EXPECT_TRUE(fs::exists(outFolder() + "/standard/get/current/frame2.png"));
  EXPECT_FALSE(fs::exists(outFolder() + "/standard/get/current/frame1.png"));
  EXPECT_TRUE(fs::exists(outFolder() + "/standard/get/1/frame1.png"));
  for (const auto& entry : fs::directory_iterator(_directory.path()))
    EXPECT_EQ(entry.path().filename().string().find(".partial"), std::string::npos);

  std::string other = _directory.file("precious");
  writeTextFile(other + "/keep.txt", "mine");
  StaticExport::Options options;
  options.baseURL = kBaseURL;
  std::string error;
  EXPECT_FALSE(StaticExport::write(catalogFolder(), other, options, error));
  EXPECT_NE(error.find("not an earlier export"), std::string::npos) << error;
  EXPECT_EQ(readTextFile(other + "/keep.txt"), "mine");

  EXPECT_FALSE(
      StaticExport::write(_directory.file("absent"), _directory.file("out2"), options, error));
  EXPECT_FALSE(fs::exists(_directory.file("out2")));
}

}  // namespace
