#include <gtest/gtest.h>

#include "CatalogAnswers.h"
#include "Content/ContentServiceRequest.h"
#include "ServerTestSupport.h"

using catalog_testing::ServerFixture;
using platform::Array;
using platform::Value;

namespace {

using Names = std::vector<std::string>;

class ReferenceServerTest : public ServerFixture {};

Names curList(const Value& answer) {
  Names names;
  const Array* list = platform::valueForKey(*answer.dictionary(), "curList").array();
  for (const Value& entry : *list) names.push_back(*entry.string());
  return names;
}

std::string ver(const Value& answer) {
  return *platform::valueForKey(*answer.dictionary(), "ver").string();
}

TEST_F(ReferenceServerTest, NodesAnswerThePathsOwnBaseURLOrThePublicOnesAndExtraNodes) {
  publish({{"frame1.png", "A"}});
  ReferenceServer& server = startServer();
  EXPECT_EQ(server.baseURL(ScreenKind::Standard),
            "http://127.0.0.1:" + std::to_string(server.port()) + "/standard/");
  EXPECT_EQ(getJSON("/standard/?act=nodes"),
            Value(Array{Value(server.baseURL(ScreenKind::Standard))}));
  EXPECT_EQ(getJSON("/tall/?act=nodes"), Value(Array{Value(server.baseURL(ScreenKind::Tall))}));
  server.stop();
  ReferenceServer::Configuration configuration;
  configuration.publicURL = "http://content.example:80/";
  configuration.extraNodes = {"http://mirror.example:8080"};
  startServer(configuration);
  EXPECT_EQ(getJSON("/tall/?act=nodes"), Value(Array{Value("http://content.example:80/tall/"),
                                                     Value("http://mirror.example:8080/tall/")}));
}

TEST_F(ReferenceServerTest, ListsAnswerPerScreenKind) {
  publish({{"frame1.png", "A"}, {"frame1_iph5.png", "B"}, {"frame1_small.png", "C"}});
  publish({{"frame1.png", "A2"}, {"frame1_iph5.png", "B"}, {"frame1_small.png", "C"}});
  startServer();
  Value standard = getJSON("/standard/?act=list");
  EXPECT_EQ(ver(standard), "2");
  EXPECT_EQ(curList(standard), (Names{"frame1.png", "frame1_small.png"}));
  EXPECT_EQ(curList(getJSON("/tall/?act=list")), (Names{"frame1_iph5.png", "frame1_small.png"}));
  Value difference = getJSON("/standard/?act=list&dif=1");
  EXPECT_EQ(ver(difference), "2");
  EXPECT_EQ(platform::valueForKey(
                *platform::valueForKey(*difference.dictionary(), "diff").dictionary(), "chg"),
            Value(Array{Value("frame1.png")}));
}

TEST_F(ReferenceServerTest, SmallJSONGoesPlainLargeJSONGoesGzip) {
  std::map<std::string, std::string> files;
  for (int i = 1; i <= 40; ++i) files["clipart" + std::to_string(i) + ".png"] = std::to_string(i);
  publish(files);
  ReferenceServer::Configuration configuration;
  configuration.gzipThreshold = 1 << 20;
  startServer(configuration);
  auto plain = get("/standard/?act=list");
  ASSERT_TRUE(plain);
  EXPECT_FALSE(plain->has_header("Content-Encoding"));
  EXPECT_EQ(plain->get_header_value("Content-Type"), "application/json");
  std::string text = plain->body;
  ASSERT_TRUE(platform::JSONSerialization::JSONObjectWithData(text));
  _server->stop();

  // Exactly at the threshold stays plain; one byte over is compressed.
  configuration.gzipThreshold = text.size();
  startServer(configuration);
  auto atThreshold = get("/standard/?act=list");
  ASSERT_TRUE(atThreshold);
  EXPECT_FALSE(atThreshold->has_header("Content-Encoding"));
  EXPECT_EQ(atThreshold->body, text);
  _server->stop();

  configuration.gzipThreshold = text.size() - 1;
  startServer(configuration);
  auto compressed = get("/standard/?act=list");
  ASSERT_TRUE(compressed);
  EXPECT_EQ(compressed->get_header_value("Content-Encoding"), "application/gzip");
  EXPECT_EQ(compressed->get_header_value_count("Content-Encoding"), 1u);
  EXPECT_EQ(compressed->get_header_value("Content-Type"), "application/json");
  EXPECT_LT(compressed->body.size(), text.size());
  auto inflated =
      Compression::gzipInflate(platform::Bytes(compressed->body.begin(), compressed->body.end()));
  ASSERT_TRUE(inflated);
  EXPECT_EQ(catalog_testing::text(*inflated), text);
  // A client that offers gzip itself still gets the protocol's encoding, applied once.
  httplib::Client offering("127.0.0.1", _server->port());
  offering.set_decompress(false);
  auto offeredGzip =
      offering.Get("/standard/?act=list", {{"Accept-Encoding", "gzip, deflate, br"}});
  ASSERT_TRUE(offeredGzip);
  EXPECT_EQ(offeredGzip->get_header_value("Content-Encoding"), "application/gzip");
  EXPECT_EQ(offeredGzip->body, compressed->body);
  // Gzip format itself (magic bytes), not zlib's.
  EXPECT_EQ(static_cast<unsigned char>(compressed->body[0]), 0x1f);
  EXPECT_EQ(static_cast<unsigned char>(compressed->body[1]), 0x8b);
}

TEST_F(ReferenceServerTest, FilesAnswerByVersionWithTheirMIMEType) {
  publish({{"frame1.png", "png-1"},
           {"fon1.jpg", "jpg"},
           {"fon2.jpeg", "jpeg"},
           {"clipart1.svgpb", "svgpb"}});
  publish({{"frame1.png", "png-2"}, {"fon2.jpeg", "jpeg"}, {"clipart1.svgpb", "svgpb"}});
  startServer();
  struct Case {
    const char* target;
    const char* body;
    const char* type;
  };
  for (const Case& c :
       {Case{"/standard/?act=get&ver=1&n=frame1.png", "png-1", "image/png"},
        Case{"/standard/?act=get&ver=2&n=frame1.png", "png-2", "image/png"},
        Case{"/standard/?act=get&n=frame1.png", "png-2", "image/png"},
        Case{"/standard/?act=get&ver=77&n=frame1.png", "png-2", "image/png"},
        Case{"/standard/?act=get&ver=1&n=fon1.jpg", "jpg", "image/jpeg"},
        Case{"/standard/?act=get&ver=2&n=fon2.jpeg", "jpeg", "image/jpeg"},
        Case{"/standard/?act=get&ver=2&n=clipart1.svgpb", "svgpb", "application/octet-stream"},
        Case{"/tall/?act=get&ver=2&n=clipart1.svgpb", "", "application/octet-stream"}}) {
    auto result = get(c.target);
    ASSERT_TRUE(result) << c.target;
    if (std::string(c.body).empty()) {
      // clipart1.svgpb has no "_small" or "_iph5": tall screens do not list it.
      EXPECT_EQ(result->status, 404) << c.target;
      continue;
    }
    EXPECT_EQ(result->status, 200) << c.target;
    EXPECT_EQ(result->body, c.body) << c.target;
    EXPECT_EQ(result->get_header_value("Content-Type"), c.type) << c.target;
    EXPECT_FALSE(result->has_header("Content-Encoding")) << c.target;
  }
}

TEST_F(ReferenceServerTest, UnsafeAbsentOrForeignNamesAndOtherTargetsAre404) {
  publish({{"frame1.png", "A"}, {"frame1_iph5.png", "T"}});
  startServer();
  for (const char* target :
       {"/standard/?act=get&ver=1&n=../catalog.json",
        "/standard/?act=get&ver=1&n=%2e%2e%2fcatalog.json", "/standard/?act=get&ver=1&n=.lock",
        "/standard/?act=get&ver=1&n=catalog.json", "/standard/?act=get&ver=1&n=frame9.png",
        "/standard/?act=get&ver=1&n=frame1_iph5.png", "/tall/?act=get&ver=1&n=frame1.png",
        "/standard/?act=get&ver=1", "/standard/?act=get&ver=1&n=", "/standard/?act=other",
        "/standard/", "/standard?act=list", "/other/?act=list", "/standard/x?act=list", "/",
        "/objects/"}) {
    auto result = get(target);
    ASSERT_TRUE(result) << target;
    EXPECT_EQ(result->status, 404) << target;
  }
}

TEST_F(ReferenceServerTest, FollowsNewPublishesAndKeepsServingThroughABadOne) {
  publish({{"frame1.png", "A"}});
  startServer();
  EXPECT_EQ(ver(getJSON("/standard/?act=list")), "1");
  publish({{"frame1.png", "B"}, {"frame2.png", "C"}});
  Value second = getJSON("/standard/?act=list");
  EXPECT_EQ(ver(second), "2");
  EXPECT_EQ(curList(second), (Names{"frame1.png", "frame2.png"}));
  EXPECT_EQ(get("/standard/?act=get&ver=2&n=frame2.png")->body, "C");

  testing_support::writeTextFile(catalogFolder() + "/catalog.json", "{broken");
  EXPECT_EQ(ver(getJSON("/standard/?act=list")), "2");
  EXPECT_EQ(get("/standard/?act=get&ver=2&n=frame2.png")->body, "C");
}

TEST_F(ReferenceServerTest, EmptyCatalogueFolderListsNothingAtVersionZero) {
  std::filesystem::create_directories(catalogFolder());
  startServer();
  Value answer = getJSON("/tall/?act=list");
  EXPECT_EQ(ver(answer), "0");
  EXPECT_TRUE(curList(answer).empty());
  publish({{"frame1_small.png", "S"}});
  EXPECT_EQ(curList(getJSON("/tall/?act=list&dif=0")), (Names{"frame1_small.png"}));
}

TEST_F(ReferenceServerTest, StartFailsWithAReasonForMissingOrCorruptCatalogues) {
  ReferenceServer::Configuration configuration;
  configuration.catalogFolder = _directory.file("absent");
  configuration.port = 0;
  configuration.logRequests = false;
  ReferenceServer missing(configuration);
  std::string error;
  EXPECT_FALSE(missing.start(error));
  EXPECT_NE(error.find("absent"), std::string::npos) << error;
  EXPECT_FALSE(missing.isRunning());

  publish({{"frame1.png", "A"}});
  testing_support::writeTextFile(catalogFolder() + "/versions/1.json", "[]");
  configuration.catalogFolder = catalogFolder();
  ReferenceServer corrupt(configuration);
  EXPECT_FALSE(corrupt.start(error));
  EXPECT_NE(error.find("versions/1.json"), std::string::npos) << error;
}

TEST_F(ReferenceServerTest, RestartsOnTheSamePortAndLogsEveryRequest) {
  publish({{"frame1.png", "A"}});
  ReferenceServer& server = startServer();
  int port = server.port();
  get("/standard/?act=nodes");
  get("/tall/?act=list&dif=1");
  get("/standard/?act=get&ver=1&n=frame1.png");
  get("/nowhere");
  auto records = server.requests();
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].request.kind, ScreenKind::Standard);
  EXPECT_EQ(records[0].request.act, "nodes");
  EXPECT_EQ(records[1].request.kind, ScreenKind::Tall);
  EXPECT_EQ(records[1].request.target, "/tall/?act=list&dif=1");
  EXPECT_EQ(records[1].request.parameter("dif"), "1");
  EXPECT_EQ(records[2].status, 200);
  EXPECT_EQ(records[2].bodySize, 1u);
  EXPECT_EQ(records[3].status, 404);
  EXPECT_EQ(records[3].request.kind, std::nullopt);
  for (size_t i = 0; i < records.size(); ++i) EXPECT_EQ(records[i].request.index, i);
  server.clearRequests();
  EXPECT_EQ(server.requestCount(), 0u);

  server.stop();
  EXPECT_FALSE(server.isRunning());
  EXPECT_FALSE(get("/standard/?act=nodes"));
  std::string error;
  ASSERT_TRUE(server.start(error)) << error;
  EXPECT_EQ(server.port(), port);
  EXPECT_EQ(get("/standard/?act=nodes")->status, 200);
  EXPECT_EQ(server.requestCount(), 1u);
}

// A device that follows every publish over HTTP, decoding answers as the device does (gzip
// included), ends up with each version's catalogue and fetches the current bytes of each file.
TEST_F(ReferenceServerTest, DeviceFollowingEveryPublishReproducesEachCatalogue) {
  const std::vector<std::map<std::string, std::string>> history = {
      {{"frame1.png", "a"},
       {"frame1_small.png", "as"},
       {"frame1_iph5.png", "at"},
       {"fon1.jpg", "b"}},
      {{"frame1.png", "a2"}, {"frame1_small.png", "as"}, {"clipart1.png", "c"}},
      {{"frame1.png", "a2"}, {"frame1_small.png", "as2"}, {"clipart1.png", "c"}, {"fon1.jpg", "b"}},
      {{"frame1.png", "a2"}, {"frame1_small.png", "as2"}, {"clipart1.png", "c"}, {"fon1.jpg", "b"}},
  };
  publish(history[0]);
  ReferenceServer::Configuration configuration;
  configuration.gzipThreshold = 60;  // some answers compressed, some not
  startServer(configuration);
  std::map<ScreenKind, ContentName::VersionMap> maps;
  std::map<ScreenKind, std::optional<std::string>> versions;
  for (size_t step = 0; step < history.size(); ++step) {
    if (step > 0) publish(history[step]);
    std::string error;
    auto catalog = Catalog::open(catalogFolder(), error);
    ASSERT_TRUE(catalog) << error;
    for (ScreenKind kind : ScreenKinds::kAll) {
      std::string base = "/" + std::string(ScreenKinds::pathName(kind)) + "/";
      std::string target = base + "?act=list";
      if (versions[kind]) target += "&dif=" + *versions[kind];
      Value answer = getJSON(target);
      ContentServiceRequest::applyChanges(maps[kind], answer);
      versions[kind] = ver(answer);
      Names keys;
      for (const auto& entry : maps[kind]) keys.push_back(entry.first);
      std::sort(keys.begin(), keys.end());
      EXPECT_EQ(keys, catalog->current().names(kind)) << target;
      for (const auto& [name, version] : maps[kind]) {
        auto file = get(base + "?act=get&ver=" + version + "&n=" + name);
        ASSERT_TRUE(file);
        EXPECT_EQ(file->body, history[step].at(name)) << name << "@" << version;
      }
    }
  }
}

}  // namespace
