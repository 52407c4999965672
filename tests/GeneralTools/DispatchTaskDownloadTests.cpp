#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "Foundation/RunLoop.h"
#include "GeneralTools/DispatchTaskDownload.h"
#include "GeneralTools/DispatchTools.h"
#include "Network/URLCache.h"
#include "TestHTTPServer.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::readTextFile;
using testing_support::TemporaryDirectory;

namespace {

// "/sized/N" answers N bytes in 1000-byte writes (a, b, c...) with a length, "/chunked" 3000
// without one; "/drop" breaks off after 100 of 1000 announced bytes; "/missing" is a 404 page;
// "/form" answers "ok" to a POST.
struct Server {
  TestHTTPServer http;
  std::atomic<int> hits{0};
  std::string form, contentType, contentLength;

  Server() {
    auto& server = http.server();
    server.Get(R"(/sized/(\d+))", [this](const httplib::Request& req, httplib::Response& res) {
      ++hits;
      res.set_content_provider(std::stoul(req.matches[1]), "application/octet-stream",
                               [](size_t offset, size_t length, httplib::DataSink& sink) {
                                 std::string part(std::min<size_t>(length, 1000),
                                                  static_cast<char>('a' + offset / 1000 % 26));
                                 std::this_thread::sleep_for(std::chrono::milliseconds(2));
                                 return sink.write(part.data(), part.size());
                               });
    });
    server.Get("/chunked", [](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
        return offset >= 3000 ? (sink.done(), true)
                              : sink.write(std::string(1000, 'c').data(), 1000);
      });
    });
    server.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("an error page", "text/plain");
    });
    server.Get("/drop", [](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(
          1000, "application/octet-stream", [](size_t offset, size_t, httplib::DataSink& sink) {
            return offset == 0 && sink.write(std::string(100, 'd').data(), 100);
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
      form = req.body;
      contentType = req.get_header_value("Content-Type");
      contentLength = req.get_header_value("Content-Length");
      res.set_content("ok", "text/plain");
    });
    http.start();
  }
};

// What a task's completions saw.
struct Outcome {
  int completions = 0;
  bool onMainThread = true;
  std::string body = "<none>";
};

// Runs the task through the process's runner until it completes, and a little longer, so that
// anything arriving late arrives.
Outcome run(const std::shared_ptr<DispatchTaskDownload>& task) {
  auto outcome = std::make_shared<Outcome>();
  task->setCompleteBlock([outcome](DispatchTask& t) {
    ++outcome->completions;
    outcome->onMainThread = outcome->onMainThread && RunLoop::isMainThread();
    if (auto data = static_cast<DispatchTaskDownload&>(t).data())
      outcome->body.assign(data->begin(), data->end());
  });
  DispatchTools::Instance().addTask(task);
  EXPECT_TRUE(testing_support::runMainLoopUntil([&] { return outcome->completions > 0; }));
  RunLoop::main().runUntil([] { return false; }, 0.05);
  return *outcome;
}

std::shared_ptr<DispatchTaskDownload> download(const std::string& url) {
  return DispatchTaskDownload::downloadTaskWithURL(url, [](DispatchTask&) {});
}

std::string abc(int blocks) {
  std::string text;
  for (int i = 0; i < blocks; ++i) text += std::string(1000, static_cast<char>('a' + i));
  return text;
}

}  // namespace

TEST(DispatchTaskDownloadTest, MemoryModeCollectsTheBodyAndReportsProgress) {
  Server server;
  EXPECT_EQ(download(""), nullptr);
  auto task = download(server.http.url("/sized/5000"));
  std::vector<float> progress;
  std::int64_t length = 0;
  task->setDownloadProgressBlock([&](DispatchTask& t) {
    progress.push_back(static_cast<DispatchTaskDownload&>(t).currentDownloadProgress());
    length = static_cast<DispatchTaskDownload&>(t).contentLength();
  });
  Outcome sized = run(task);
  EXPECT_EQ(sized.completions, 1);
  EXPECT_TRUE(sized.onMainThread);
  EXPECT_TRUE(task->transferSucceeded());
  EXPECT_EQ(sized.body, abc(5));
  ASSERT_FALSE(progress.empty());
  EXPECT_FLOAT_EQ(progress.back(), 1.0f);
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
  EXPECT_EQ(length, 5000);
  EXPECT_EQ(task->contentLength(), -1);  // the response is let go when the task finishes
  // Without a length, progress stays 0.
  auto unsized = download(server.http.url("/chunked"));
  float most = 0;
  unsized->setDownloadProgressBlock([&](DispatchTask& t) {
    most = std::max(most, static_cast<DispatchTaskDownload&>(t).currentDownloadProgress());
  });
  EXPECT_EQ(run(unsized).body, std::string(3000, 'c'));
  EXPECT_EQ(most, 0.0f);
}

TEST(DispatchTaskDownloadTest, FailuresCutsAndCancelsFinishOnceWithWhatArrived) {
  Server server;
  auto missing = download(server.http.url("/missing")),
       dropped = download(server.http.url("/drop"));
  auto refused = download("http://127.0.0.1:1/x"),
       cancelled = download(server.http.url("/sized/50000"));
  int chunksSeen = 0;
  cancelled->setDownloadProgressBlock([&](DispatchTask& t) { ++chunksSeen, t.cancelTask(); });
  EXPECT_EQ(run(missing).body, "<none>");  // an error page is not the answer
  EXPECT_EQ(run(dropped).body, std::string(100, 'd'));
  EXPECT_EQ(run(refused).completions, 1);
  Outcome partial = run(cancelled);  // cancelling takes effect at the next chunk
  EXPECT_EQ(partial.completions, 1);
  EXPECT_EQ(chunksSeen, 1);
  EXPECT_GT(partial.body.size(), 0u);
  EXPECT_LT(partial.body.size(), 50000u);
  for (const auto& task : {missing, dropped, refused, cancelled})
    EXPECT_FALSE(task->transferSucceeded());
  EXPECT_EQ(DispatchTools::Instance().taskCount(), 0u);
}

TEST(DispatchTaskDownloadTest, PostSendsAnAsciiFormWithItsTwoHeaders) {
  Server server;
  auto task = download(server.http.url("/form")), accented = download(server.http.url("/form"));
  task->setObject("id=7&n=abcd", DispatchTaskDownload::kDispatchTaskDownloadPostData);
  EXPECT_EQ(run(task).body, "ok");
  EXPECT_EQ(server.form + " " + server.contentLength + " " + server.contentType,
            "id=7&n=abcd 11 application/x-www-form-urlencoded");
  accented->setObject("n=caf\xC3\xA9!\xE2\x82\xAC",
                      DispatchTaskDownload::kDispatchTaskDownloadPostData);
  run(accented);
  EXPECT_EQ(server.form + " " + server.contentLength, "n=caf?!? 8");
}

TEST(DispatchTaskDownloadTest, FileModeReplacesAFileOnlyWhenBytesArrive) {
  Server server;
  TemporaryDirectory directory;
  std::string path = directory.file("picture.bin");
  auto toFile = [&](const char* urlPath, const std::string& file) {
    return run(DispatchTaskDownload::downloadTaskWithURLToFile(server.http.url(urlPath), file,
                                                               [](DispatchTask&) {}));
  };
  testing_support::writeTextFile(path, "old contents");
  toFile("/missing", path);
  EXPECT_EQ(readTextFile(path), "old contents");
  EXPECT_EQ(toFile("/sized/3000", path).body, "<none>");  // nothing is kept in memory
  EXPECT_EQ(readTextFile(path), abc(3));
  toFile("/drop", path);  // what arrived is left for the completion to judge
  EXPECT_EQ(readTextFile(path), std::string(100, 'd'));
  // A file that cannot be created ends the task instead of losing bytes silently.
  EXPECT_EQ(toFile("/sized/3000", directory.file("no/such/folder/x")).completions, 1);
}

TEST(DispatchTaskDownloadTest, ACachedAnswerServesLaterTasksWithoutTheNetwork) {
  Server server;
  URLCache::setSharedURLCache(std::make_shared<URLCache>(1 << 20, 0, ""));
  std::string url = server.http.url("/sized/2000");
  run(download(url));
  run(download(url));
  EXPECT_EQ(server.hits.load(), 2);  // a task that does not allow caching stores nothing
  auto task = DispatchTaskDownload::downloadTaskWithURLCacheData(url, true, [](DispatchTask&) {});
  task->setObject(true, DispatchTaskDownload::kDispatchTaskDownloadUseBGTask);
  bool hadBackgroundTask = false;
  task->setDownloadProgressBlock([&](DispatchTask& t) {
    hadBackgroundTask = hadBackgroundTask ||
                        t.objectForKey(DispatchTaskDownload::kBackgroundDownloadID).integerValue();
  });
  EXPECT_EQ(run(task).body, abc(2));
  EXPECT_EQ(server.hits.load(), 3);
  EXPECT_TRUE(hadBackgroundTask);
  EXPECT_TRUE(task->objectForKey(DispatchTaskDownload::kBackgroundDownloadID).isNull());
  server.http.stop();
  EXPECT_EQ(run(download(url)).body, abc(2));
  URLCache::setSharedURLCache(nullptr);
}

TEST(DispatchTaskDownloadTest, AnswersOverTheSizeLimitFailWithoutBeingKept) {
  Server server;
  TemporaryDirectory directory;
  for (const char* path : {"/endless", "/huge"}) {
    for (bool toFile : {false, true}) {
      std::string file = directory.file("answer");
      std::filesystem::remove(file);
      auto task = DispatchTaskDownload::initWithURL(
          server.http.url(path), false, toFile ? std::optional<std::string>(file) : std::nullopt,
          [](DispatchTask&) {});
      task->setMaximumBodySize(1 << 20);
      Outcome outcome = run(task);
      EXPECT_EQ(outcome.completions, 1) << path;
      EXPECT_FALSE(task->transferSucceeded()) << path;
      EXPECT_TRUE(task->exceededMaximumBodySize()) << path;
      EXPECT_LE(outcome.body.size(), size_t{1} << 20) << path;
      if (std::filesystem::exists(file))
        EXPECT_LE(std::filesystem::file_size(file), uintmax_t{1} << 20) << path;
    }
  }
}
