#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "Content/ContentServiceRequest.h"
#include "Deflate.h"
#include "Foundation/DeviceProfile.h"
#include "Foundation/JSONSerialization.h"
#include "Foundation/RunLoop.h"
#include "GeneralTools/DispatchTools.h"
#include "Graphics/Bitmap.h"
#include "Graphics/Image.h"
#include "Graphics/ImageEncoder.h"
#include "TestHTTPServer.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::runMainLoopUntil;
using testing_support::ScopedDeviceProfile;

namespace {

Bytes bytes(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

std::string asString(const Bytes& data) {
  return std::string(data.begin(), data.end());
}

Value json(const std::string& text) {
  return JSONSerialization::JSONObjectWithData(text).value_or(Value());
}

// A content server whose answers the test sets per query string; it records every target.
struct ContentServer {
  struct Answer {
    int status = 200;
    std::string mime;
    std::string encoding;
    Bytes body;
  };
  TestHTTPServer http;
  std::mutex mutex;
  std::map<std::string, Answer> answers;
  std::vector<std::string> targets;

  ContentServer() {
    http.server().Get(R"(/.*)", [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard lock(mutex);
      targets.push_back(req.target);
      auto query = req.target.substr(std::min(req.target.find('?'), req.target.size()));
      auto it = answers.find(query);
      if (it == answers.end()) {
        res.status = 404;
        return;
      }
      res.status = it->second.status;
      if (!it->second.encoding.empty()) res.set_header("Content-Encoding", it->second.encoding);
      res.set_content(asString(it->second.body), it->second.mime);
    });
    http.start();
  }
  void answer(const std::string& query, Answer answer) {
    std::lock_guard lock(mutex);
    answers[query] = std::move(answer);
  }
};

// Runs the request through the task runner; returns it after its completion ran once.
std::shared_ptr<ContentServiceRequest> run(std::shared_ptr<ContentServiceRequest> request,
                                           int* completions = nullptr) {
  static int ignored;
  int& count = completions ? *completions : ignored;
  count = 0;
  auto earlier = request->completeBlock();
  request->setCompleteBlock([&count, earlier](DispatchTask& task) {
    if (earlier) earlier(task);
    ++count;
  });
  DispatchTools::Instance().addTask(request);
  EXPECT_TRUE(runMainLoopUntil([&] { return count > 0; }));
  return request;
}

void noCompletion(DispatchTask&) {}

}  // namespace

TEST(ContentServiceRequestTest, TheThreeRequestsBuildTheirURLsByPlainConcatenation) {
  ContentServiceRequest::setDirectoryServerURLs("http://dir.example/std/",
                                                "http://dir.example/tall/");
  for (const auto& [profile, url] :
       {std::pair{DeviceProfile::phone35(2), "http://dir.example/std/?act=nodes"},
        std::pair{DeviceProfile::phoneTall(), "http://dir.example/tall/?act=nodes"}}) {
    ScopedDeviceProfile scoped(profile);
    EXPECT_EQ(ContentServiceRequest::RequestServersURLsWithCompleteBlock(noCompletion)->url(), url);
  }
  EXPECT_EQ(
      ContentServiceRequest::RequestListWithOldVersion(std::nullopt, "http://c/s.php", noCompletion)
          ->url(),
      "http://c/s.php?act=list");
  EXPECT_EQ(
      ContentServiceRequest::RequestListWithOldVersion("17", "http://c/s.php", noCompletion)->url(),
      "http://c/s.php?act=list&dif=17");
  EXPECT_EQ(ContentServiceRequest::RequestGetWithVersion("3", "frame1_small.png", "http://c/",
                                                         noCompletion)
                ->url(),
            "http://c/?act=get&ver=3&n=frame1_small.png");
}

TEST(ContentServiceRequestTest, AnswersAreDecodedByTypeAndEncoding) {
  ContentServer server;
  std::string base = server.http.url("/content/");
  std::string list = R"({"ver":"5","curList":["fon1.png"]})";
  Bytes compressed = testing_support::deflated(bytes(list));
  server.answer("?act=list", {200, "application/json", "application/gzip", compressed});
  server.answer("?act=list&dif=4", {200, "application/json", "", bytes(list)});
  // Any other encoding name is not ours to undo: the body is parsed as it came.
  server.answer("?act=list&dif=3", {200, "application/json", "gzip", compressed});
  server.answer("?act=list&dif=2",
                {200, "application/json", "application/gzip", bytes("not gzip")});
  // The text ends at the first zero byte.
  Bytes withZero = bytes("[\"http://a/\"]");
  withZero.push_back(0);
  withZero.push_back('}');
  server.answer("?act=nodes", {200, "application/json; charset=utf-8", "", withZero});
  server.answer("?act=get&ver=1&n=bad.json", {200, "application/json", "", bytes("{\"ver\":")});
  server.answer("?act=get&ver=1&n=readme.txt", {200, "text/plain", "", bytes("[1]")});
  server.answer("?act=get&ver=1&n=error", {500, "application/json", "", bytes("[1]")});
  auto bitmap = Bitmap::create(3, 2, PixelFormat::ARGB32Premultiplied);
  Bytes png = *ImageEncoder::pngData(*Image::imageWithBitmap(bitmap));
  server.answer("?act=get&ver=1&n=fon1.png", {200, "image/png", "", png});

  auto gz = run(ContentServiceRequest::RequestListWithOldVersion(std::nullopt, base, noCompletion));
  EXPECT_EQ(gz->result(), json(list));
  ASSERT_TRUE(gz->data().has_value());
  EXPECT_EQ(*gz->data(), compressed);  // the raw body stays as received

  for (auto [dif, expected] : {std::pair{"4", json(list)}, {"3", Value()}, {"2", Value()}})
    EXPECT_EQ(
        run(ContentServiceRequest::RequestListWithOldVersion(dif, base, noCompletion))->result(),
        expected)
        << dif;

  ContentServiceRequest::setDirectoryServerURLs(server.http.url("/dir/"), server.http.url("/dir/"));
  auto nodes = run(ContentServiceRequest::RequestServersURLsWithCompleteBlock(noCompletion));
  EXPECT_EQ(nodes->result(), json(R"(["http://a/"])"));

  for (const char* name : {"bad.json", "readme.txt", "error", "missing.png"}) {
    int completions = 0;
    auto request = run(ContentServiceRequest::RequestGetWithVersion("1", name, base, noCompletion),
                       &completions);
    EXPECT_TRUE(request->result().isNull()) << name;
    EXPECT_EQ(completions, 1) << name;
  }
  auto picture =
      run(ContentServiceRequest::RequestGetWithVersion("1", "fon1.png", base, noCompletion));
  auto image = picture->result().objectAs<Image>();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->size().width, 3);
  EXPECT_EQ(*picture->data(), png);

  std::lock_guard lock(server.mutex);
  EXPECT_EQ(server.targets.front(), "/content/?act=list");
  EXPECT_NE(
      std::find(server.targets.begin(), server.targets.end(), "/content/?act=get&ver=1&n=fon1.png"),
      server.targets.end());
}

TEST(ContentServiceRequestTest, AFullListReplacesTheMapAndADifferenceEditsIt) {
  ContentName::VersionMap map{{"old.png", "1"}, {"fon1.png", "1"}};
  ContentServiceRequest::applyChanges(
      map, json(R"({"ver":"7","curList":["fon1.png","frame2.png","fon1.png"]})"));
  EXPECT_EQ(map, (ContentName::VersionMap{{"fon1.png", "7"}, {"frame2.png", "7"}}));

  // "chg" of an unknown name adds it; a name both new and deleted ends up removed; unchanged
  // names keep the version under which they were last listed.
  ContentServiceRequest::applyChanges(
      map,
      json(
          R"({"ver":"8","diff":{"new":["clipart1.png","face1.png"],"chg":["tbframe1.png"],"del":["face1.png","frame2.png"]}})"));
  EXPECT_EQ(map, (ContentName::VersionMap{
                     {"clipart1.png", "8"}, {"fon1.png", "7"}, {"tbframe1.png", "8"}}));

  // Both members: the list first, then the difference.
  ContentServiceRequest::applyChanges(
      map, json(R"({"ver":"9","curList":["a.png"],"diff":{"chg":["b.png"]}})"));
  EXPECT_EQ(map, (ContentName::VersionMap{{"a.png", "9"}, {"b.png", "9"}}));
}

TEST(ContentServiceRequestTest, MalformedOrHostileAnswersChangeNothingOrSkipEntries) {
  const ContentName::VersionMap before{{"fon1.png", "3"}};
  for (const char* answer : {
           R"(["fon2.png"])",                                // not an object
           R"({"curList":["fon2.png"]})",                    // names without a version
           R"({"ver":9,"curList":["fon2.png"]})",            // version of the wrong type
           R"({"ver":"9","curList":"fon2.png"})",            // list of the wrong type
           R"({"ver":"9","diff":["fon2.png"]})",             // difference of the wrong type
           R"({"ver":"9","diff":{"new":"fon2.png"}})",       // name list of the wrong type
           R"({"ver":"9","curList":[],"diff":{"del":{}}})",  // one bad member spoils the answer
       }) {
    ContentName::VersionMap map = before;
    ContentServiceRequest::applyChanges(map, json(answer));
    EXPECT_EQ(map, before) << answer;
  }
  ContentName::VersionMap map = before;
  ContentServiceRequest::applyChanges(map, Value());
  EXPECT_EQ(map, before);

  // Entries that are not strings, or that could leave or hide in the content folder, are skipped.
  ContentServiceRequest::applyChanges(
      map,
      json(
          R"({"ver":"4","curList":["fon2.png",7,null,"../x.png","a/b.png","a\\b.png",".hidden","..",".","","fon\u0001.png",["fon3.png"]]})"));
  EXPECT_EQ(map, (ContentName::VersionMap{{"fon2.png", "4"}}));
  ContentServiceRequest::applyChanges(
      map, json(R"({"ver":"5","diff":{"new":["../../etc/passwd", 1],"del":["fon2.png"]}})"));
  EXPECT_TRUE(map.empty());
}
