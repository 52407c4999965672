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
  return catalog_testing::answerNames(answer, "curList");
}
using catalog_testing::answerVersion;

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

TEST_F(ReferenceServerTest, JSONOverTheThresholdGoesGzipOnceAtItPlain) {
  std::map<std::string, std::string> files;
  for (int i = 1; i <= 40; ++i) files["clipart" + std::to_string(i) + ".png"] = std::to_string(i);
  publish(files);
  ReferenceServer::Configuration configuration;
  configuration.gzipThreshold = 1 << 20;
  startServer(configuration);
  std::string text = get("/standard/?act=list")->body;
  ASSERT_TRUE(platform::JSONSerialization::JSONObjectWithData(text));
  // Exactly at the threshold stays plain; one byte over is compressed in gzip's own format (not
  // zlib's), and a client that offers gzip itself still gets the protocol's encoding, once.
  for (size_t threshold : {text.size(), text.size() - 1}) {
    _server->stop();
    configuration.gzipThreshold = threshold;
    startServer(configuration);
    httplib::Client client("127.0.0.1", _server->port());
    client.set_decompress(false);
    for (const httplib::Headers& offer :
         {httplib::Headers{}, httplib::Headers{{"Accept-Encoding", "gzip, deflate, br"}}}) {
      SCOPED_TRACE(threshold == text.size() ? "at the threshold" : "one byte over");
      auto answer = client.Get("/standard/?act=list", offer);
      ASSERT_TRUE(answer);
      EXPECT_EQ(answer->get_header_value("Content-Type"), "application/json");
      if (threshold == text.size()) {
        EXPECT_FALSE(answer->has_header("Content-Encoding"));
        EXPECT_EQ(answer->body, text);
        continue;
      }
      EXPECT_EQ(answer->get_header_value("Content-Encoding"), "application/gzip");
      EXPECT_EQ(answer->get_header_value_count("Content-Encoding"), 1u);
      EXPECT_LT(answer->body.size(), text.size());
      EXPECT_EQ(answer->body.substr(0, 2), "\x1f\x8b");
      auto inflated =
          Compression::gzipInflate(platform::Bytes(answer->body.begin(), answer->body.end()));
      ASSERT_TRUE(inflated);
      EXPECT_EQ(catalog_testing::text(*inflated), text);
    }
  }
}

// Which version of a file answers: CatalogAnswersTest.FilesAnswerWithTheirContentAtTheAskedVersion.
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
        Case{"/standard/?act=get&n=frame1.png", "png-2", "image/png"},
        Case{"/standard/?act=get&ver=1&n=fon1.jpg", "jpg", "image/jpeg"},
        Case{"/standard/?act=get&ver=2&n=fon2.jpeg", "jpeg", "image/jpeg"},
        Case{"/standard/?act=get&ver=2&n=clipart1.svgpb", "svgpb", "application/octet-stream"}}) {
    auto result = get(c.target);
    ASSERT_TRUE(result) << c.target;
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
  // The ad network's app-open conversion is the one other path taken.
  auto appOpen = get("/f0?isu=ABC&md5=1&app_id=555000111");
  ASSERT_TRUE(appOpen);
  EXPECT_EQ(appOpen->status, 200);
  EXPECT_EQ(appOpen->body, "OK\n");
}

TEST_F(ReferenceServerTest, FollowsNewPublishesAndKeepsServingThroughABadOne) {
  publish({{"frame1.png", "A"}});
  startServer();
  EXPECT_EQ(answerVersion(getJSON("/standard/?act=list")), "1");
  publish({{"frame1.png", "B"}, {"frame2.png", "C"}});
  Value second = getJSON("/standard/?act=list");
  EXPECT_EQ(answerVersion(second), "2");
  EXPECT_EQ(curList(second), (Names{"frame1.png", "frame2.png"}));
  EXPECT_EQ(get("/standard/?act=get&ver=2&n=frame2.png")->body, "C");

  testing_support::writeTextFile(catalogFolder() + "/catalog.json", "{broken");
  EXPECT_EQ(answerVersion(getJSON("/standard/?act=list")), "2");
  EXPECT_EQ(get("/standard/?act=get&ver=2&n=frame2.png")->body, "C");
}

TEST_F(ReferenceServerTest, EmptyCatalogueFolderListsNothingAtVersionZero) {
  std::filesystem::create_directories(catalogFolder());
  startServer();
  Value answer = getJSON("/tall/?act=list");
  EXPECT_EQ(answerVersion(answer), "0");
  EXPECT_TRUE(curList(answer).empty());
  publish({{"frame1_small.png", "S"}});
  EXPECT_EQ(curList(getJSON("/tall/?act=list&dif=0")), (Names{"frame1_small.png"}));
}

// A missing or corrupt catalogue at the start: CatalogCommandLineTest.
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
  EXPECT_EQ(records[0].request.act, "nodes");
  EXPECT_EQ(records[1].request.kind, ScreenKind::Tall);
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

}  // namespace
