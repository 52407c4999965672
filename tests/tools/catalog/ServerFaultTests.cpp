#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "Content/ContentServiceRequest.h"
#include "RawHTTP.h"
#include "ServerTestSupport.h"

using catalog_testing::RawHTTP;
using catalog_testing::ServerFixture;
using namespace std::chrono_literals;

namespace {

class ServerFaultTest : public ServerFixture {
 protected:
  void SetUp() override {
    std::map<std::string, std::string> files;
    for (int i = 1; i <= 30; ++i)
      files["frame" + std::to_string(i) + ".png"] = "content " + std::to_string(i);
    files["fon1.jpg"] = std::string(4000, 'j');
    publish(files);
    startServer();
  }

  // The fault for requests whose act is `act`; every other request is answered normally.
  void faultFor(const std::string& act, ServerFault fault) {
    _server->setFaultHook([act, fault](const ServerRequest& request) {
      return request.act == act ? fault : ServerFault::none();
    });
  }

  // The normal answer's body, as sent.
  std::string normalBody(const std::string& target) {
    auto result = get(target);
    EXPECT_TRUE(result && result->status == 200) << target;
    return result ? result->body : "";
  }
};

TEST_F(ServerFaultTest, StatusFaultAnswersThatStatusForTheChosenRequestsOnly) {
  faultFor("list", ServerFault::withStatus(500));
  auto list = get("/standard/?act=list");
  ASSERT_TRUE(list);
  EXPECT_EQ(list->status, 500);
  EXPECT_EQ(get("/standard/?act=nodes")->status, 200);
  EXPECT_EQ(get("/standard/?act=get&ver=1&n=fon1.jpg")->status, 200);
  auto records = _server->requests();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].fault, ServerFault::Kind::Status);
  EXPECT_EQ(records[0].status, 500);
  EXPECT_EQ(records[1].fault, ServerFault::Kind::None);

  _server->setFaultHook(nullptr);
  EXPECT_EQ(get("/standard/?act=list")->status, 200);
}

TEST_F(ServerFaultTest, DownAnswers503AndClosesTheConnection) {
  _server->setFaultHook([](const ServerRequest&) { return ServerFault::down(); });
  RawHTTP raw(_server->port(), "/tall/?act=nodes");
  ASSERT_TRUE(raw.connected());
  EXPECT_TRUE(raw.readToEnd());
  EXPECT_EQ(raw.status(), 503);
  EXPECT_EQ(raw.header("Connection"), "close");
}

TEST_F(ServerFaultTest, TruncateAnnouncesTheFullLengthSendsPartThenDrops) {
  std::string full = normalBody("/standard/?act=get&ver=1&n=fon1.jpg");
  ASSERT_EQ(full.size(), 4000u);
  for (double share : {0.5, 0.0}) {
    faultFor("get", ServerFault::truncate(share));
    RawHTTP raw(_server->port(), "/standard/?act=get&ver=1&n=fon1.jpg");
    ASSERT_TRUE(raw.connected());
    EXPECT_TRUE(raw.readToEnd());
    ASSERT_TRUE(raw.headersComplete());
    EXPECT_EQ(raw.status(), 200);
    EXPECT_EQ(raw.header("Content-Length"), "4000");
    EXPECT_EQ(raw.body(), full.substr(0, static_cast<size_t>(share * 4000))) << share;
  }
  // An HTTP client sees a failed transfer, not a short file.
  EXPECT_FALSE(get("/standard/?act=get&ver=1&n=fon1.jpg"));
  EXPECT_EQ(_server->requests().back().fault, ServerFault::Kind::Truncate);
}

TEST_F(ServerFaultTest, StallSendsPartThenWaitsAndStopCutsItShortOrSendsTheRest) {
  std::string full = normalBody("/standard/?act=get&ver=1&n=fon1.jpg");
  faultFor("get", ServerFault::stall(std::chrono::minutes(10), 0.25));
  RawHTTP raw(_server->port(), "/standard/?act=get&ver=1&n=fon1.jpg");
  ASSERT_TRUE(raw.connected());
  ASSERT_TRUE(raw.readBody(1000));
  EXPECT_EQ(raw.header("Content-Length"), "4000");
  EXPECT_EQ(raw.body(), full.substr(0, 1000));
  // The pause is ten minutes, so nothing more can come within this short read.
  raw.setTimeout(300);
  EXPECT_FALSE(raw.readSome());
  EXPECT_FALSE(raw.closed());

  raw.setTimeout(10000);
  _server->stop();  // returns although the answer was stalled
  EXPECT_TRUE(raw.readToEnd());
  EXPECT_EQ(raw.body().size(), 1000u);

  // A short stall still delivers the whole body.
  startServer();
  faultFor("get", ServerFault::stall(50ms, 0.5));
  RawHTTP shortStall(_server->port(), "/standard/?act=get&ver=1&n=fon1.jpg");
  EXPECT_TRUE(shortStall.readToEnd());
  EXPECT_EQ(shortStall.body(), full);
}

TEST_F(ServerFaultTest, GarbageCatalogueAnswersDoNotReadAsCatalogues) {
  for (ServerFault fault : {ServerFault::invalidJSON(), ServerFault::wrongShapeJSON()}) {
    faultFor("list", fault);
    auto answer = get("/standard/?act=list&dif=1");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_EQ(answer->get_header_value("Content-Type"), "application/json");
    // Not JSON at all, or JSON that is no catalogue answer.
    auto value = platform::JSONSerialization::JSONObjectWithData(answer->body);
    EXPECT_EQ(value.has_value(), fault.kind == ServerFault::Kind::WrongShapeJSON);
    ContentName::VersionMap map = {{"frame1.png", "1"}};
    ContentServiceRequest::applyChanges(map, value.value_or(platform::Value()));
    EXPECT_EQ(map, (ContentName::VersionMap{{"frame1.png", "1"}}));
  }
}

TEST_F(ServerFaultTest, SixteenClientsSendingAHeaderLineEveryHalfSecondDoNotStopTheAnswers) {
  std::atomic<bool> done{false};
  std::atomic<int> holding{0};
  std::vector<std::thread> slow;
  for (int i = 0; i < 16; ++i) {
    slow.emplace_back([&] {
      RawHTTP raw(_server->port(), "/standard/?act=nodes", "X-Slow: 1\r\n");
      holding += raw.connected();
      for (int line = 0; line < 8 && !done && raw.connected(); ++line) {
        std::this_thread::sleep_for(500ms);
        raw.sendText("X-Slow: 1\r\n");
      }
    });
  }
  for (int wait = 0; wait < 500 && holding < 16; ++wait) std::this_thread::sleep_for(10ms);
  std::this_thread::sleep_for(300ms);
  httplib::Client client("127.0.0.1", _server->port());
  client.set_read_timeout(2, 0);
  auto answer = client.Get("/standard/?act=nodes");
  done = true;
  for (auto& thread : slow) thread.join();
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->status, 200);
}

}  // namespace
