#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "Foundation/RunLoop.h"
#include "GeneralTools/DispatchTaskDownload.h"
#include "GeneralTools/DispatchTools.h"
#include "Network/URLCache.h"
#include "TestHTTPServer.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::runMainLoopUntil;
using testing_support::TemporaryDirectory;
using testing_support::writeTextFile;

namespace {

std::string text(const std::optional<Bytes>& data) {
  return data ? std::string(data->begin(), data->end()) : std::string("<none>");
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::stringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

// The server every test talks to. "/sized/N" answers N bytes in 1000-byte writes with a length;
// "/chunked" the same without one; "/drop" breaks off after 100 of 1000 announced bytes.
struct Server {
  TestHTTPServer http;
  std::atomic<int> hits{0};
  std::string lastForm;
  std::string lastContentType;
  std::string lastContentLength;

  Server() {
    auto& server = http.server();
    server.Get(R"(/sized/(\d+))", [this](const httplib::Request& req, httplib::Response& res) {
      ++hits;
      size_t total = std::stoul(req.matches[1]);
      res.set_content_provider(total, "application/octet-stream",
                               [](size_t offset, size_t length, httplib::DataSink& sink) {
                                 std::string part(std::min<size_t>(length, 1000),
                                                  static_cast<char>('a' + offset / 1000 % 26));
                                 sink.write(part.data(), part.size());
                                 std::this_thread::sleep_for(std::chrono::milliseconds(2));
                                 return true;
                               });
    });
    server.Get("/chunked", [this](const httplib::Request&, httplib::Response& res) {
      ++hits;
      res.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
        if (offset >= 3000) {
          sink.done();
          return true;
        }
        std::string part(1000, 'c');
        sink.write(part.data(), part.size());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return true;
      });
    });
    server.Get("/missing", [this](const httplib::Request&, httplib::Response& res) {
      ++hits;
      res.status = 404;
      res.set_content("not here", "text/plain");
    });
    server.Get("/error", [](const httplib::Request&, httplib::Response& res) {
      res.status = 500;
      res.set_content("broken", "text/plain");
    });
    server.Get("/drop", [](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(1000, "application/octet-stream",
                               [](size_t offset, size_t, httplib::DataSink& sink) {
                                 if (offset > 0) return false;
                                 sink.write(std::string(100, 'd').data(), 100);
                                 return true;
                               });
    });
    // A body that does not end (bounded here at 64 MiB, sent fast) and one that announces 2 GiB.
    server.Get("/endless", [](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider("application/octet-stream",
                                       [](size_t offset, httplib::DataSink& sink) {
                                         if (offset >= (size_t{64} << 20)) return false;
                                         std::string part(64 * 1024, 'e');
                                         return sink.write(part.data(), part.size());
                                       });
    });
    server.Get("/huge", [](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(size_t{2} << 30, "image/png",
                               [](size_t, size_t length, httplib::DataSink& sink) {
                                 std::string part(std::min<size_t>(length, 64 * 1024), 'h');
                                 return sink.write(part.data(), part.size());
                               });
    });
    server.Post("/form", [this](const httplib::Request& req, httplib::Response& res) {
      lastForm = req.body;
      lastContentType = req.get_header_value("Content-Type");
      lastContentLength = req.get_header_value("Content-Length");
      res.set_content("ok", "text/plain");
    });
    http.start();
  }
};

// Runs a task through the process's runner and waits for its completion.
struct Outcome {
  int completions = 0;
  bool onMainThread = true;
  std::string body;
};

Outcome runToCompletion(const std::shared_ptr<DispatchTaskDownload>& task, Outcome& outcome) {
  DispatchTools::Instance().addTask(task);
  EXPECT_TRUE(runMainLoopUntil([&] { return outcome.completions > 0; }));
  // Anything that would arrive late arrives now.
  RunLoop::main().runUntil([] { return false; }, 0.05);
  return outcome;
}

DispatchTask::Block recordInto(Outcome& outcome) {
  return [&outcome](DispatchTask& task) {
    ++outcome.completions;
    outcome.onMainThread = outcome.onMainThread && RunLoop::isMainThread();
    outcome.body = text(static_cast<DispatchTaskDownload&>(task).data());
  };
}

struct ScopedSharedCache {
  std::shared_ptr<URLCache> cache = std::make_shared<URLCache>(1 << 20, 0, "");
  ScopedSharedCache() { URLCache::setSharedURLCache(cache); }
  ~ScopedSharedCache() { URLCache::setSharedURLCache(nullptr); }
};

}  // namespace

TEST(DispatchTaskDownloadTest, MemoryModeCollectsTheBodyAndReportsProgress) {
  Server server;
  EXPECT_EQ(DispatchTaskDownload::downloadTaskWithURL("", [](DispatchTask&) {}), nullptr);

  Outcome sized;
  auto task =
      DispatchTaskDownload::downloadTaskWithURL(server.http.url("/sized/5000"), recordInto(sized));
  EXPECT_EQ(task->description(), "<DispatchTaskDownload>(" + server.http.url("/sized/5000") + ")");
  EXPECT_EQ(task->contentLength(), -1);
  std::vector<float> progress;
  std::vector<std::int64_t> lengths;
  task->setDownloadProgressBlock([&](DispatchTask& t) {
    auto& download = static_cast<DispatchTaskDownload&>(t);
    progress.push_back(download.currentDownloadProgress());
    lengths.push_back(download.contentLength());
  });
  runToCompletion(task, sized);
  EXPECT_EQ(sized.completions, 1);
  EXPECT_TRUE(sized.onMainThread);
  EXPECT_TRUE(task->transferSucceeded());
  EXPECT_EQ(sized.body.size(), 5000u);
  EXPECT_EQ(sized.body.substr(0, 3) + sized.body.substr(4997), "aaaeee");
  ASSERT_FALSE(progress.empty());
  EXPECT_FLOAT_EQ(progress.back(), 1.0f);
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
  EXPECT_EQ(lengths.back(), 5000);
  // The response is let go when the task finishes.
  EXPECT_EQ(task->contentLength(), -1);

  Outcome chunked;
  auto unsized =
      DispatchTaskDownload::downloadTaskWithURL(server.http.url("/chunked"), recordInto(chunked));
  std::vector<float> unknown;
  unsized->setDownloadProgressBlock([&](DispatchTask& t) {
    unknown.push_back(static_cast<DispatchTaskDownload&>(t).currentDownloadProgress());
  });
  runToCompletion(unsized, chunked);
  EXPECT_EQ(chunked.body, std::string(3000, 'c'));
  ASSERT_FALSE(unknown.empty());
  EXPECT_EQ(*std::max_element(unknown.begin(), unknown.end()), 0.0f);
}

TEST(DispatchTaskDownloadTest, FailuresAndErrorStatusesFinishOnceWithWhatArrived) {
  Server server;
  for (const char* path : {"/missing", "/error"}) {
    Outcome outcome;
    auto task =
        DispatchTaskDownload::downloadTaskWithURL(server.http.url(path), recordInto(outcome));
    runToCompletion(task, outcome);
    EXPECT_FALSE(task->transferSucceeded()) << path;
    EXPECT_EQ(outcome.completions, 1) << path;
    EXPECT_EQ(outcome.body, "<none>") << path;  // an error page is not the answer
  }
  Outcome dropped;
  auto task =
      DispatchTaskDownload::downloadTaskWithURL(server.http.url("/drop"), recordInto(dropped));
  runToCompletion(task, dropped);
  EXPECT_EQ(dropped.completions, 1);
  EXPECT_EQ(dropped.body, std::string(100, 'd'));
  EXPECT_FALSE(task->transferSucceeded());  // some bytes, but not the whole answer

  Outcome refused;
  auto nowhere =
      DispatchTaskDownload::downloadTaskWithURL("http://127.0.0.1:1/x", recordInto(refused));
  runToCompletion(nowhere, refused);
  EXPECT_EQ(refused.completions, 1);
  EXPECT_EQ(DispatchTools::Instance().taskCount(), 0u);
}

TEST(DispatchTaskDownloadTest, CancellingTakesEffectAtTheNextChunk) {
  Server server;
  Outcome outcome;
  auto task = DispatchTaskDownload::downloadTaskWithURL(server.http.url("/sized/50000"),
                                                        recordInto(outcome));
  int chunksSeen = 0;
  task->setDownloadProgressBlock([&](DispatchTask& t) {
    ++chunksSeen;
    t.cancelTask();
  });
  runToCompletion(task, outcome);
  EXPECT_EQ(outcome.completions, 1);
  EXPECT_EQ(chunksSeen, 1);
  EXPECT_FALSE(task->transferSucceeded());
  EXPECT_GT(outcome.body.size(), 0u);
  EXPECT_LT(outcome.body.size(), 50000u);
}

TEST(DispatchTaskDownloadTest, PostSendsAnAsciiFormWithItsTwoHeaders) {
  Server server;
  Outcome outcome;
  auto task =
      DispatchTaskDownload::downloadTaskWithURL(server.http.url("/form"), recordInto(outcome));
  task->setObject("id=7&n=abcd", DispatchTaskDownload::kDispatchTaskDownloadPostData);
  runToCompletion(task, outcome);
  EXPECT_EQ(outcome.body, "ok");
  EXPECT_EQ(server.lastForm, "id=7&n=abcd");
  EXPECT_EQ(server.lastContentLength, "11");
  EXPECT_EQ(server.lastContentType, "application/x-www-form-urlencoded");

  Outcome accented;
  auto other =
      DispatchTaskDownload::downloadTaskWithURL(server.http.url("/form"), recordInto(accented));
  other->setObject("n=caf\xC3\xA9!\xE2\x82\xAC",
                   DispatchTaskDownload::kDispatchTaskDownloadPostData);
  runToCompletion(other, accented);
  EXPECT_EQ(server.lastForm, "n=caf?!?");
  EXPECT_EQ(server.lastContentLength, "8");
}

TEST(DispatchTaskDownloadTest, FileModeReplacesAFileOnlyWhenBytesArrive) {
  Server server;
  TemporaryDirectory directory;
  std::string path = directory.file("picture.bin");

  writeTextFile(path, "old contents");
  Outcome missing;
  auto notFound = DispatchTaskDownload::downloadTaskWithURLToFile(server.http.url("/missing"), path,
                                                                  recordInto(missing));
  runToCompletion(notFound, missing);
  EXPECT_EQ(readFile(path), "old contents");

  Outcome fetched;
  auto task = DispatchTaskDownload::downloadTaskWithURLToFile(server.http.url("/sized/3000"), path,
                                                              recordInto(fetched));
  runToCompletion(task, fetched);
  EXPECT_EQ(fetched.body, "<none>");  // nothing is kept in memory in file mode
  EXPECT_EQ(readFile(path),
            std::string(1000, 'a') + std::string(1000, 'b') + std::string(1000, 'c'));

  // A broken transfer leaves what arrived for the completion to judge.
  Outcome dropped;
  auto broken = DispatchTaskDownload::downloadTaskWithURLToFile(server.http.url("/drop"), path,
                                                                recordInto(dropped));
  runToCompletion(broken, dropped);
  EXPECT_EQ(readFile(path), std::string(100, 'd'));

  // A file that cannot be created ends the task instead of losing bytes silently.
  Outcome unwritable;
  auto nowhere = DispatchTaskDownload::downloadTaskWithURLToFile(
      server.http.url("/sized/3000"), directory.file("no/such/folder/x"), recordInto(unwritable));
  runToCompletion(nowhere, unwritable);
  EXPECT_EQ(unwritable.completions, 1);
}

TEST(DispatchTaskDownloadTest, ACachedAnswerServesLaterTasksWithoutTheNetwork) {
  Server server;
  ScopedSharedCache shared;
  std::string url = server.http.url("/sized/2000");

  Outcome uncached;
  runToCompletion(DispatchTaskDownload::downloadTaskWithURL(url, recordInto(uncached)), uncached);
  Outcome again;
  runToCompletion(DispatchTaskDownload::downloadTaskWithURL(url, recordInto(again)), again);
  EXPECT_EQ(server.hits.load(), 2);  // a task that does not allow caching stores nothing

  Outcome caching;
  auto task = DispatchTaskDownload::downloadTaskWithURLCacheData(url, true, recordInto(caching));
  task->setObject(true, DispatchTaskDownload::kDispatchTaskDownloadUseBGTask);
  bool hadBackgroundTask = false;
  task->setDownloadProgressBlock([&](DispatchTask& t) {
    hadBackgroundTask = hadBackgroundTask ||
                        t.objectForKey(DispatchTaskDownload::kBackgroundDownloadID).integerValue();
  });
  runToCompletion(task, caching);
  EXPECT_EQ(server.hits.load(), 3);
  EXPECT_TRUE(hadBackgroundTask);
  EXPECT_TRUE(task->objectForKey(DispatchTaskDownload::kBackgroundDownloadID).isNull());

  server.http.stop();
  Outcome fromCache;
  runToCompletion(DispatchTaskDownload::downloadTaskWithURL(url, recordInto(fromCache)), fromCache);
  EXPECT_EQ(fromCache.body, caching.body);
  EXPECT_EQ(fromCache.body.size(), 2000u);
}

TEST(DispatchTaskDownloadTest, AnswersOverTheSizeLimitFailWithoutBeingKept) {
  Server server;
  TemporaryDirectory directory;
  for (const char* path : {"/endless", "/huge"}) {
    for (bool toFile : {false, true}) {
      Outcome outcome;
      std::string file = directory.file("answer");
      std::filesystem::remove(file);
      auto task = DispatchTaskDownload::initWithURL(
          server.http.url(path), false, toFile ? std::optional<std::string>(file) : std::nullopt,
          recordInto(outcome));
      task->setMaximumBodySize(1 << 20);
      runToCompletion(task, outcome);
      EXPECT_EQ(outcome.completions, 1) << path;
      EXPECT_FALSE(task->transferSucceeded()) << path;
      EXPECT_TRUE(task->exceededMaximumBodySize()) << path;
      EXPECT_LE(outcome.body.size(), size_t{1} << 20) << path;
      if (std::filesystem::exists(file))
        EXPECT_LE(std::filesystem::file_size(file), uintmax_t{1} << 20) << path;
    }
  }
}
