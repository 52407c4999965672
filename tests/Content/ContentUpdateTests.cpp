#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "Content/ContentControl.h"
#include "Content/ContentServiceRequest.h"
#include "ContentFixture.h"
#include "Foundation/JSONSerialization.h"
#include "Foundation/NotificationCenter.h"
#include "Foundation/RunLoop.h"
#include "GeneralTools/DispatchTools.h"
#include "TestHTTPServer.h"

using namespace platform;
using testing_support::VirtualTime;
using namespace content_testing;
using testing_support::runMainLoopUntil;

namespace {

// A small content server for one test: the directory at "/dir/", the content at "/c/". The
// catalogue answers are set per "dif" value; files by name; faults by name.
class ProtocolServer {
 public:
  enum class Fault { None, Status500, CutBody, Slow };

  ProtocolServer() {
    _http.server().Get(R"(/(dir|c)/)", [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard lock(_mutex);
      std::string act = req.get_param_value("act");
      _log.push_back(req.target);
      if (act == "nodes") {
        if (_down) {
          res.status = 503;
          return;
        }
        res.set_content("[\"" + url("/c/") + "\"]", "application/json");
      } else if (act == "list") {
        std::string dif = req.has_param("dif") ? req.get_param_value("dif") : "";
        auto answer = _lists.find(dif);
        if (answer == _lists.end()) answer = _lists.find("*");
        if (answer == _lists.end()) {
          res.status = 404;
          return;
        }
        res.set_content(answer->second, "application/json");
      } else if (act == "get") {
        std::string name = req.get_param_value("n");
        auto file = _files.find(name);
        Fault fault = _faults.count(name) ? _faults[name] : Fault::None;
        if (file == _files.end() || fault == Fault::Status500) {
          res.status = file == _files.end() ? 404 : 500;
          return;
        }
        if (fault == Fault::Slow) std::this_thread::sleep_for(std::chrono::milliseconds(150));
        if (fault == Fault::CutBody) {
          std::string half = file->second.substr(0, file->second.size() / 2);
          res.set_content_provider(file->second.size(), "image/png",
                                   [half](size_t offset, size_t, httplib::DataSink& sink) {
                                     if (offset > 0) return false;
                                     sink.write(half.data(), half.size());
                                     return true;
                                   });
          return;
        }
        res.set_content(file->second, "image/png");
      }
    });
    _http.start();
  }

  std::string url(const std::string& path) const { return _http.url(path); }
  void setList(const std::string& dif, const std::string& json) {
    std::lock_guard lock(_mutex);
    _lists[dif] = json;
  }
  void setFile(const std::string& name, const Bytes& bytes) {
    std::lock_guard lock(_mutex);
    _files[name] = std::string(bytes.begin(), bytes.end());
  }
  void setFault(const std::string& name, Fault fault) {
    std::lock_guard lock(_mutex);
    _faults[name] = fault;
  }
  void setDown(bool down) {
    std::lock_guard lock(_mutex);
    _down = down;
  }
  std::vector<std::string> log() {
    std::lock_guard lock(_mutex);
    return _log;
  }
  int count(const std::string& fragment) {
    int n = 0;
    for (const auto& target : log()) n += target.find(fragment) != std::string::npos;
    return n;
  }

 private:
  TestHTTPServer _http;
  std::mutex _mutex;
  std::map<std::string, std::string> _lists;
  std::map<std::string, std::string> _files;
  std::map<std::string, Fault> _faults;
  std::vector<std::string> _log;
  bool _down = false;
};

// Runs one cycle to its end.
bool cycle(ContentControl& control, Notifications& notes) {
  int before = notes.finished;
  control.updateServerContent();
  return runMainLoopUntil([&] { return notes.finished > before; }, 20);
}

// Runs the loop until every queued request has ended and its completion has run.
void settle() {
  ASSERT_TRUE(runMainLoopUntil([] { return DispatchTools::Instance().taskCount() == 0; }, 20));
  RunLoop::main().runPending();
}

struct UpdateTest : ::testing::Test {
  UpdateTest() {
    ContentServiceRequest::setDirectoryServerURLs(server.url("/dir/"), server.url("/dir/"));
  }
  ~UpdateTest() override {
    RunLoop::main().runUntil([] { return false; }, 0.05);
  }
  ContentFixture fixture;
  ProtocolServer server;
  VirtualTime time;
  Notifications notes;
};

}  // namespace

TEST_F(UpdateTest, AFirstSyncThenADifferenceThatAddsChangesAndDeletes) {
  for (const char* name :
       {"fon1.png", "fon1_small.png", "frame3.png", "frame3_small.png", "clipart2.png"})
    server.setFile(name, pictureBytes(8, 8, 0xFF204080));
  server.setList(
      "",
      R"({"ver":"1","curList":["fon1.png","fon1_small.png","frame3.png","frame3_small.png","clipart2.png"]})");
  auto control = ContentControl::Instance();
  ASSERT_TRUE(cycle(*control, notes));
  EXPECT_EQ(server.count("act=list&dif"), 0);  // the first catalogue request has no version
  EXPECT_EQ(notes.newContent, 3);
  EXPECT_EQ(ContentControl::storedListVersion(), "1");
  // Files of one group arrive in any order.
  auto frames = control->localListOfType(ContentTypePhotoFrame);
  std::sort(frames.begin(), frames.end());
  EXPECT_EQ(frames, (std::vector<std::string>{"frame3.png", "frame3_small.png"}));
  EXPECT_TRUE(std::filesystem::exists(fixture.contentPath("clipart2.png")));
  ASSERT_NE(control->contentImageWithName("frame3"), nullptr);
  EXPECT_EQ(control->contentImageWithName("fon1")->version(), "1");

  // Version 2: frame3 goes, clipart2 changes, face1 arrives; fon1 is unchanged.
  server.setFile("clipart2.png", pictureBytes(8, 8, 0xFF00FF00));
  server.setFile("face1.png", pictureBytes(8, 8, 0xFF00FF00));
  server.setList(
      "1",
      R"({"ver":"2","diff":{"new":["face1.png"],"chg":["clipart2.png"],"del":["frame3.png","frame3_small.png"]}})");
  int filesBefore = server.count("act=get");
  ASSERT_TRUE(cycle(*control, notes));
  EXPECT_EQ(server.count("act=list&dif=1"), 1);
  EXPECT_EQ(server.count("act=get") - filesBefore, 2);  // only what changed
  EXPECT_FALSE(std::filesystem::exists(fixture.contentPath("frame3.png")));
  EXPECT_TRUE(control->localListOfType(ContentTypePhotoFrame).empty());
  EXPECT_EQ(control->contentImageWithName("frame3"), nullptr);
  EXPECT_NE(control->contentImageWithName("face1"), nullptr);
  // Up-to-date files take the list version without a download.
  EXPECT_EQ(control->curServerContent().at("fon1.png"), "2");
  EXPECT_EQ(control->curDownloadedContent().at("fon1.png"), "2");
  EXPECT_EQ(control->curDownloadedContent().at("clipart2.png"), "2");
  EXPECT_EQ(*FileManager::contentsAtPath(fixture.contentPath("clipart2.png")),
            pictureBytes(8, 8, 0xFF00FF00));
}

TEST_F(UpdateTest, NoServerListRetriesEverySixtySeconds) {
  server.setDown(true);
  auto control = ContentControl::Instance();
  control->updateServerContent();
  ASSERT_TRUE(runMainLoopUntil([&] { return ContentFixture::pendingRetries() == 1; }));
  EXPECT_EQ(server.count("act=nodes"), 1);
  RunLoop::main().advanceBy(59);
  RunLoop::main().runUntil([] { return false; }, 0.1);
  EXPECT_EQ(server.count("act=nodes"), 1);
  RunLoop::main().advanceBy(1);
  ASSERT_TRUE(runMainLoopUntil([&] { return server.count("act=nodes") == 2; }));

  server.setDown(false);
  server.setList("", R"({"ver":"3","curList":[]})");
  RunLoop::main().advanceBy(60);
  ASSERT_TRUE(runMainLoopUntil([&] { return notes.finished == 1; }));
  EXPECT_EQ(control->contentSericeURL(), server.url("/c/"));
}

TEST_F(UpdateTest, FailedFilesStayUnlistedAndACycleFollowsAfterFiveMinutes) {
  for (const char* name :
       {"face2.png", "face2_small.png", "face3.png", "fon4.png", "fon4_small.png"})
    server.setFile(name, pictureBytes(8, 8, 0xFF204080));
  server.setFault("face2_small.png", ProtocolServer::Fault::Status500);
  server.setFault("face3.png", ProtocolServer::Fault::CutBody);
  server.setList(
      "",
      R"({"ver":"1","curList":["face2.png","face2_small.png","face3.png","fon4.png","fon4_small.png"]})");
  server.setList("*", R"({"ver":"1","diff":{}})");
  auto control = ContentControl::Instance();
  ASSERT_TRUE(cycle(*control, notes));
  EXPECT_EQ(notes.newContent, 1);  // only fon4
  // The file that did arrive stays on disk, but its item is not listed as present.
  EXPECT_TRUE(std::filesystem::exists(fixture.contentPath("face2.png")));
  EXPECT_TRUE(control->localListOfType(ContentTypeFaceEffect).empty());
  // A cut body never becomes a file.
  EXPECT_FALSE(std::filesystem::exists(fixture.contentPath("face3.png")));
  EXPECT_EQ(control->contentSericeURL(), std::nullopt);

  server.setFault("face2_small.png", ProtocolServer::Fault::None);
  server.setFault("face3.png", ProtocolServer::Fault::None);
  int nodes = server.count("act=nodes");
  RunLoop::main().advanceBy(299);
  RunLoop::main().runUntil([] { return false; }, 0.1);
  EXPECT_EQ(server.count("act=nodes"), nodes);
  RunLoop::main().advanceBy(1);
  ASSERT_TRUE(runMainLoopUntil([&] { return notes.finished == 2; }));
  EXPECT_EQ(server.count("act=nodes"), nodes + 1);
  auto faces = control->localListOfType(ContentTypeFaceEffect);
  std::sort(faces.begin(), faces.end());
  EXPECT_EQ(faces, (std::vector<std::string>{"face2.png", "face2_small.png", "face3.png"}));
  EXPECT_TRUE(
      control->isAllContentDownloaded(control->contentImageWithName("face2")->filesNames()));
  EXPECT_TRUE(control->invalidDownloadedNames().empty());
  EXPECT_EQ(ContentFixture::pendingRetries(), 0u);
}

TEST_F(UpdateTest, AGarbageCatalogueChangesNothingAndKeepsTheVersion) {
  server.setFile("fon5.png", pictureBytes(8, 8, 0xFF204080));
  server.setList("", R"({"ver":"4","curList":["fon5.png"]})");
  auto control = ContentControl::Instance();
  ASSERT_TRUE(cycle(*control, notes));
  for (const char* garbage :
       {"{\"ver\":", R"({"ver":"9","curList":"fon6.png"})", R"(["fon6.png"])"}) {
    server.setList("4", garbage);
    ASSERT_TRUE(cycle(*control, notes)) << garbage;
    EXPECT_EQ(ContentControl::storedListVersion(), "4") << garbage;
    EXPECT_EQ(control->curServerContent(), (ContentName::VersionMap{{"fon5.png", "4"}}));
    EXPECT_TRUE(std::filesystem::exists(fixture.contentPath("fon5.png")));
  }
}

TEST_F(UpdateTest, ActivationsWhileOfflineLeaveOneRetryChain) {
  server.setDown(true);
  auto control = ContentControl::Instance();
  for (int i = 0; i < 10; ++i) control->updateServerContent();
  settle();
  EXPECT_EQ(ContentFixture::pendingRetries(), 1u);
  int before = server.count("act=nodes");
  for (int minute = 0; minute < 60; ++minute) {
    RunLoop::main().advanceBy(60);
    settle();
  }
  EXPECT_EQ(server.count("act=nodes") - before, 60);
}

TEST_F(UpdateTest, AnItemThatLostOneFileIsRebuiltOnceNotOnEveryActivation) {
  for (const char* name : {"frame3.png", "frame3_small.png"})
    server.setFile(name, pictureBytes(8, 8, 0xFF204080));
  server.setList("", R"({"ver":"1","curList":["frame3.png","frame3_small.png"]})");
  server.setList("1", R"({"ver":"2","diff":{"del":["frame3_small.png"]}})");
  server.setList("2", R"({"ver":"2","diff":{}})");
  auto control = ContentControl::Instance();
  ASSERT_TRUE(cycle(*control, notes));
  int first = notes.newContent;
  ASSERT_TRUE(cycle(*control, notes));
  ContentItem* item = control->contentImageWithName("frame3").get();
  ASSERT_NE(item, nullptr);
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(cycle(*control, notes));
  EXPECT_EQ(control->contentImageWithName("frame3").get(), item);
  EXPECT_LE(notes.newContent - first, 1);
  EXPECT_EQ(control->curDownloadedContent().count("frame3_small.png"), 0u);
}

TEST_F(UpdateTest, TwoActivationsInQuickSuccessionFetchEachFileOnce) {
  const std::vector<std::string> names{"fon1.png", "fon1_small.png", "clipart2.png",
                                       "clipart2_small.png", "face1.png"};
  for (const std::string& name : names) {
    server.setFile(name, pictureBytes(8, 8, 0xFF204080));
    server.setFault(name, ProtocolServer::Fault::Slow);
  }
  server.setList(
      "",
      R"({"ver":"1","curList":["fon1.png","fon1_small.png","clipart2.png","clipart2_small.png","face1.png"]})");
  server.setList("*", R"({"ver":"1","diff":{}})");
  auto control = ContentControl::Instance();
  control->updateServerContent();
  control->updateServerContent();
  ASSERT_TRUE(runMainLoopUntil(
      [&] {
        return notes.finished > 0 && DispatchTools::Instance().taskCount() == 0 &&
               control->curDownloadedContent().size() == names.size();
      },
      20));
  for (const std::string& name : names) EXPECT_EQ(server.count("n=" + name), 1) << name;
}
