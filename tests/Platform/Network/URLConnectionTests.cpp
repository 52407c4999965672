#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Foundation/RunLoop.h"
#include "Network/URLCache.h"
#include "Network/URLConnection.h"
#include "TestHTTPServer.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::runMainLoopUntil;

namespace {

// Records every callback as one line, and whether each came on the main thread.
class RecordingDelegate : public URLConnectionDelegate {
 public:
  void connectionDidReceiveResponse(URLConnection& connection,
                                    const URLResponse& response) override {
    note("response " + std::to_string(response.statusCode));
    this->response = response;
    if (cancelOnResponse) connection.cancel();
  }
  void connectionDidReceiveData(URLConnection&, const Bytes& data) override {
    note("data");
    body.append(data.begin(), data.end());
  }
  std::optional<CachedURLResponse> connectionWillCacheResponse(
      URLConnection&, const CachedURLResponse& offered) override {
    note("cache");
    if (!allowCaching) return std::nullopt;
    return offered;
  }
  void connectionDidFinishLoading(URLConnection&) override { note("finish"); }
  void connectionDidFailWithError(URLConnection&, const URLError& error) override {
    note("fail");
    this->error = error;
  }

  bool ended() const {
    return !events.empty() && (events.back() == "finish" || events.back() == "fail");
  }
  // The callbacks with every run of "data" folded into one, for order checks.
  std::vector<std::string> shape() const {
    std::vector<std::string> folded;
    for (const auto& event : events) {
      if (event == "data" && !folded.empty() && folded.back() == "data") continue;
      folded.push_back(event);
    }
    return folded;
  }

  std::vector<std::string> events;
  bool allOnMainThread = true;
  URLResponse response;
  std::string body;
  URLError error;
  bool cancelOnResponse = false;
  bool allowCaching = true;

 private:
  void note(std::string event) {
    allOnMainThread = allOnMainThread && RunLoop::isMainThread();
    events.push_back(std::move(event));
  }
};

struct Fixture {
  TestHTTPServer http;
  std::atomic<int> hits{0};
  std::atomic<bool> release{false};

  Fixture() {
    auto& server = http.server();
    server.Get("/chunks", [this](const httplib::Request&, httplib::Response& res) {
      ++hits;
      res.set_header("X-Answer", "42");
      res.set_chunked_content_provider("application/json; charset=utf-8",
                                       [](size_t offset, httplib::DataSink& sink) {
                                         static const char* parts[] = {"[1,", "2,", "3]"};
                                         size_t index = offset == 0 ? 0 : offset < 4 ? 1 : 2;
                                         sink.write(parts[index], strlen(parts[index]));
                                         // Separate writes with a pause so they arrive as chunks.
                                         std::this_thread::sleep_for(std::chrono::milliseconds(20));
                                         if (index == 2) sink.done();
                                         return true;
                                       });
    });
    server.Get("/picture.png", [this](const httplib::Request&, httplib::Response& res) {
      ++hits;
      res.set_content(std::string(300, 'p'), "image/png");
    });
    server.Get("/missing", [this](const httplib::Request&, httplib::Response& res) {
      ++hits;
      res.status = 404;
      res.set_content("no such thing", "text/plain");
    });
    server.Get("/broken", [](const httplib::Request&, httplib::Response& res) {
      // Announces 1000 bytes, sends 100, then drops the connection.
      res.set_content_provider(1000, "application/octet-stream",
                               [](size_t offset, size_t, httplib::DataSink& sink) {
                                 if (offset > 0) return false;
                                 std::string part(100, 'b');
                                 sink.write(part.data(), part.size());
                                 return true;
                               });
    });
    server.Get("/stall", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content_provider(100, "application/octet-stream",
                               [this](size_t offset, size_t, httplib::DataSink& sink) {
                                 if (offset > 0) {
                                   for (int i = 0; i < 500 && !release; ++i)
                                     std::this_thread::sleep_for(std::chrono::milliseconds(10));
                                   return false;
                                 }
                                 sink.write("0123456789", 10);
                                 return true;
                               });
    });
    http.start();
  }
  ~Fixture() { release = true; }
};

std::shared_ptr<URLConnection> startConnection(
    const std::string& url, const std::shared_ptr<RecordingDelegate>& delegate,
    URLRequestCachePolicy policy = URLRequestCachePolicy::UseProtocolCachePolicy,
    double timeout = 10) {
  return URLConnection::connectionWithRequest(URLRequest(url, policy, timeout), delegate);
}

// Installs a memory-only shared cache for one test.
struct ScopedSharedCache {
  std::shared_ptr<URLCache> cache = std::make_shared<URLCache>(1 << 20, 0, "");
  ScopedSharedCache() { URLCache::setSharedURLCache(cache); }
  ~ScopedSharedCache() { URLCache::setSharedURLCache(nullptr); }
};

}  // namespace

TEST(URLConnectionTest, CallbacksComeOnTheMainThreadInOrderUntilTheEndOrACancel) {
  Fixture fixture;
  auto delegate = std::make_shared<RecordingDelegate>();
  auto connection = startConnection(fixture.http.url("/chunks"), delegate);
  // Nothing is reported from inside start().
  EXPECT_TRUE(delegate->events.empty());
  // Cancelling inside a callback silences the connection; a delegate that goes away ends its
  // connection quietly. Neither disturbs the others.
  auto cancelling = std::make_shared<RecordingDelegate>(),
       gone = std::make_shared<RecordingDelegate>();
  cancelling->cancelOnResponse = true;
  auto cancelled = startConnection(fixture.http.url("/chunks"), cancelling);
  auto orphan = startConnection(fixture.http.url("/chunks"), gone);
  gone.reset();
  ASSERT_TRUE(runMainLoopUntil([&] { return delegate->ended(); }));
  RunLoop::main().runUntil([] { return false; }, 0.2);
  EXPECT_EQ(cancelling->events, (std::vector<std::string>{"response 200"}));
  EXPECT_FALSE(cancelled->isRunning());
  EXPECT_EQ(delegate->shape(), (std::vector<std::string>{"response 200", "data", "finish"}));
  EXPECT_GE(std::count(delegate->events.begin(), delegate->events.end(), "data"), 2);
  EXPECT_TRUE(delegate->allOnMainThread);
  EXPECT_EQ(delegate->body, "[1,2,3]");
  EXPECT_EQ(delegate->response.mimeType, "application/json");
  EXPECT_EQ(delegate->response.expectedContentLength, -1);
  EXPECT_EQ(delegate->response.valueForHTTPHeaderField("x-answer"), "42");
  EXPECT_FALSE(connection->isRunning());
}

TEST(URLConnectionTest, ErrorStatusesAreAnswersAndBrokenOrSilentTransfersAreFailures) {
  Fixture fixture;
  auto notFound = std::make_shared<RecordingDelegate>(),
       broken = std::make_shared<RecordingDelegate>(),
       refused = std::make_shared<RecordingDelegate>(),
       badURL = std::make_shared<RecordingDelegate>(),
       stalled = std::make_shared<RecordingDelegate>();
  auto started = std::chrono::steady_clock::now();
  auto silent = startConnection(fixture.http.url("/stall"), stalled,
                                URLRequestCachePolicy::UseProtocolCachePolicy, 1);
  auto a = startConnection(fixture.http.url("/missing"), notFound);
  auto b = startConnection(fixture.http.url("/broken"), broken);
  // A port nobody listens on: the server's own, after it is gone, would race; port 1 is closed.
  auto c = startConnection("http://127.0.0.1:1/", refused);
  auto d = startConnection("file:///etc/passwd", badURL);
  ASSERT_TRUE(runMainLoopUntil([&] {
    return notFound->ended() && broken->ended() && refused->ended() && badURL->ended() &&
           stalled->ended();
  }));
  double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

  EXPECT_EQ(notFound->shape(), (std::vector<std::string>{"response 404", "data", "finish"}));
  EXPECT_EQ(notFound->body, "no such thing");

  EXPECT_EQ(broken->shape(), (std::vector<std::string>{"response 200", "data", "fail"}));
  EXPECT_EQ(broken->response.expectedContentLength, 1000);
  EXPECT_EQ(broken->body, std::string(100, 'b'));
  EXPECT_EQ(broken->error.code, URLError::Code::ConnectionLost);

  EXPECT_EQ(refused->events, (std::vector<std::string>{"fail"}));
  EXPECT_EQ(refused->error.code, URLError::Code::CannotConnect);
  // Only web URLs are fetched: a file URL never reaches the disk.
  EXPECT_EQ(badURL->events, (std::vector<std::string>{"fail"}));
  EXPECT_EQ(badURL->error.code, URLError::Code::BadURL);
  // A server that goes silent mid-body times out after the request's interval.
  EXPECT_EQ(stalled->shape(), (std::vector<std::string>{"response 200", "data", "fail"}));
  EXPECT_EQ(stalled->error.code, URLError::Code::TimedOut);
  EXPECT_EQ(stalled->body, "0123456789");
  EXPECT_GE(waited, 0.9);

  // Nothing more arrives once a transfer has ended.
  size_t counts[] = {notFound->events.size(), broken->events.size()};
  RunLoop::main().runUntil([] { return false; }, 0.1);
  EXPECT_EQ(notFound->events.size(), counts[0]);
  EXPECT_EQ(broken->events.size(), counts[1]);
}

TEST(URLConnectionTest,
     TheSharedCacheAnswersWhenThePolicyAllowsAndTheDelegateAgreedAlsoSynchronously) {
  Fixture fixture;
  ScopedSharedCache shared;
  std::string url = fixture.http.url("/picture.png");

  // A delegate may refuse to have its answer kept.
  auto refusing = std::make_shared<RecordingDelegate>();
  refusing->allowCaching = false;
  auto first = startConnection(url, refusing);
  ASSERT_TRUE(runMainLoopUntil([&] { return refusing->ended(); }));
  EXPECT_EQ(refusing->shape(),
            (std::vector<std::string>{"response 200", "data", "cache", "finish"}));
  EXPECT_EQ(shared.cache->cachedResponseForURL(url), nullptr);

  auto storing = std::make_shared<RecordingDelegate>();
  auto second = startConnection(url, storing, URLRequestCachePolicy::ReturnCacheDataElseLoad);
  ASSERT_TRUE(runMainLoopUntil([&] { return storing->ended(); }));
  EXPECT_EQ(fixture.hits.load(), 2);
  ASSERT_NE(shared.cache->cachedResponseForURL(url), nullptr);

  // Now answered from the cache without the network, still asynchronously and in order.
  auto cached = std::make_shared<RecordingDelegate>();
  auto third = startConnection(url, cached, URLRequestCachePolicy::ReturnCacheDataElseLoad);
  EXPECT_TRUE(cached->events.empty());
  ASSERT_TRUE(runMainLoopUntil([&] { return cached->ended(); }));
  EXPECT_EQ(cached->shape(), (std::vector<std::string>{"response 200", "data", "finish"}));
  EXPECT_EQ(cached->body, std::string(300, 'p'));
  EXPECT_EQ(cached->response.mimeType, "image/png");
  EXPECT_EQ(fixture.hits.load(), 2);

  // Other policies go to the network; error answers are never stored.
  auto reloading = std::make_shared<RecordingDelegate>();
  auto fourth =
      startConnection(url, reloading, URLRequestCachePolicy::ReloadIgnoringLocalCacheData);
  auto missing = std::make_shared<RecordingDelegate>();
  auto fifth = startConnection(fixture.http.url("/missing"), missing);
  ASSERT_TRUE(runMainLoopUntil([&] { return reloading->ended() && missing->ended(); }));
  EXPECT_EQ(fixture.hits.load(), 4);
  EXPECT_EQ(std::count(missing->events.begin(), missing->events.end(), "cache"), 0);
  EXPECT_EQ(shared.cache->cachedResponseForURL(fixture.http.url("/missing")), nullptr);

  // Synchronous requests serve background threads under the same rules.
  struct Answer {
    std::optional<Bytes> body;
    URLResponse response;
    URLError error;
  };
  auto fetch = [](std::string target, URLRequestCachePolicy policy) {
    return std::async(std::launch::async,
                      [target, policy] {
                        Answer a;
                        a.body = URLConnection::sendSynchronousRequest(URLRequest(target, policy),
                                                                       &a.response, &a.error);
                        return a;
                      })
        .get();
  };
  Answer reloaded = fetch(url, URLRequestCachePolicy::ReloadIgnoringLocalCacheData);
  ASSERT_TRUE(reloaded.body.has_value());
  EXPECT_EQ(reloaded.body->size(), 300u);
  EXPECT_EQ(reloaded.response.statusCode, 200);
  EXPECT_EQ(fixture.hits.load(), 5);
  EXPECT_EQ(fetch(url, URLRequestCachePolicy::ReturnCacheDataElseLoad).body, reloaded.body);
  EXPECT_EQ(fixture.hits.load(), 5);  // the second came from the cache

  Answer notFound =
      fetch(fixture.http.url("/missing"), URLRequestCachePolicy::UseProtocolCachePolicy);
  EXPECT_TRUE(notFound.body.has_value());
  EXPECT_EQ(notFound.response.statusCode, 404);
  Answer refused = fetch("http://127.0.0.1:1/", URLRequestCachePolicy::UseProtocolCachePolicy);
  EXPECT_FALSE(refused.body.has_value());
  EXPECT_EQ(refused.error.code, URLError::Code::CannotConnect);
}

namespace {

bool accepts(int port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return connected;
}

}  // namespace

// Through a real proxy (tinyproxy on loopback) to an https server whose certificate is made
// here: the proxy's "Connection established" head must not be taken for the answer's.
TEST(URLConnectionTest, AnswersThroughAnHTTPSProxyTunnelCarryTheServersOwnHead) {
  if (std::system("command -v tinyproxy >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "tinyproxy is not installed";
  testing_support::TemporaryDirectory directory;
  std::string certificate = directory.file("cert.pem"), key = directory.file("key.pem");
  std::string make =
      "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 "
      "-addext subjectAltName=IP:127.0.0.1 -keyout " +
      key + " -out " + certificate + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(make.c_str()), 0) << make;
  httplib::SSLServer server(certificate.c_str(), key.c_str());
  server.Get("/content/", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(R"(["https://127.0.0.1/content/"])", "application/json");
  });
  int serverPort = server.bind_to_any_port("127.0.0.1");
  ASSERT_GT(serverPort, 0);
  std::thread serving([&] { server.listen_after_bind(); });

  int proxyPort = testing_support::freeLoopbackPort();
  std::string log = directory.file("proxy.log");
  testing_support::writeTextFile(directory.file("proxy.conf"),
                                 "Port " + std::to_string(proxyPort) +
                                     "\nListen 127.0.0.1\nTimeout 10\n"
                                     "Allow 127.0.0.1\nMaxClients 4\nLogLevel Info\nLogFile \"" +
                                     log + "\"\n");
  pid_t proxy = fork();
  if (proxy == 0) {
    execlp("tinyproxy", "tinyproxy", "-d", "-c", directory.file("proxy.conf").c_str(), nullptr);
    _exit(127);
  }
  for (int i = 0; i < 500 && !accepts(proxyPort); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));

  using Environment = testing_support::ScopedEnvironment;
  std::string proxyURL = "http://127.0.0.1:" + std::to_string(proxyPort);
  Environment proxies[] = {{"https_proxy", proxyURL},       {"HTTPS_PROXY", proxyURL},
                           {"no_proxy", std::nullopt},      {"NO_PROXY", std::nullopt},
                           {"CURL_CA_BUNDLE", certificate}, {"SSL_CERT_FILE", certificate}};
  auto delegate = std::make_shared<RecordingDelegate>();
  auto connection = startConnection(
      "https://127.0.0.1:" + std::to_string(serverPort) + "/content/?act=nodes", delegate);
  bool ended = runMainLoopUntil([&] { return delegate->ended(); }, 20);

  kill(proxy, SIGTERM);
  waitpid(proxy, nullptr, 0);
  server.stop();
  serving.join();
  ASSERT_TRUE(ended);
  EXPECT_EQ(delegate->shape(), (std::vector<std::string>{"response 200", "data", "finish"}))
      << delegate->error.description;
  EXPECT_EQ(delegate->response.mimeType, "application/json");
  EXPECT_EQ(delegate->body, R"(["https://127.0.0.1/content/"])");
  EXPECT_NE(testing_support::readTextFile(log).find("CONNECT"), std::string::npos)
      << "the proxy was not used";
}
