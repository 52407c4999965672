#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "GeneralTools/DispatchTask.h"
#include "Network/URLConnection.h"

// The network task that performs one HTTP request: a GET, or a form POST when the parameter
// "kDispatchTaskDownloadPostData" holds a body. The body is collected in memory (`data`) or
// streamed to a file; the task finishes itself once, when the transfer ends, fails, answers
// with a status other than 200, or at the first chunk after it was cancelled.
//
// Subclasses override finishNetworkTask(): read `_response` and `data` there, keep the parsed
// result in fields of their own, and call this class's finishNetworkTask() last. Their
// completion block runs after that; `_response` is gone by then.
class DispatchTaskDownload : public DispatchTask, public platform::URLConnectionDelegate {
 public:
  static constexpr const char* kDispatchTaskDownloadPostData = "kDispatchTaskDownloadPostData";
  static constexpr const char* kDispatchTaskDownloadUseBGTask = "kDispatchTaskDownloadUseBGTask";
  static constexpr const char* kBackgroundDownloadID = "backgroundDownloadID";
  static constexpr double kTimeoutInterval = 10;

  // None when the URL is empty. `fileName` empty: memory mode.
  static std::shared_ptr<DispatchTaskDownload> initWithURL(
      const std::string& url, bool cacheData, const std::optional<std::string>& fileName,
      Block complete);
  // Memory mode, not cached.
  static std::shared_ptr<DispatchTaskDownload> downloadTaskWithURL(const std::string& url,
                                                                   Block complete);
  // Memory mode, cached as asked.
  static std::shared_ptr<DispatchTaskDownload> downloadTaskWithURLCacheData(const std::string& url,
                                                                            bool cacheData,
                                                                            Block complete);
  // File mode, not cached.
  static std::shared_ptr<DispatchTaskDownload> downloadTaskWithURLToFile(
      const std::string& url, const std::string& fileName, Block complete);

  ~DispatchTaskDownload() override;

  // Main thread: starts the transfer, unless one exists.
  void startDownload();
  void finishNetworkTask() override;

  // The length the response announced; -1 without a response or when none was announced.
  std::int64_t contentLength() const;
  // Bytes received over contentLength(); 0 when that is unknown or 0.
  float currentDownloadProgress() const;

  // The body received so far (memory mode); none until the first bytes arrive.
  const std::optional<platform::Bytes>& data() const { return _data; }
  void setData(std::optional<platform::Bytes> data) { _data = std::move(data); }
  const Block& downloadProgressBlock() const { return _downloadProgressBlock; }
  void setDownloadProgressBlock(Block block) { _downloadProgressBlock = std::move(block); }

  // Whether the transfer ran to its end with status 200 (or was answered by the cache). A
  // failed, cut or cancelled transfer leaves `data` partial; callers that store it ask here.
  bool transferSucceeded() const { return _transferSucceeded; }

  // The most body bytes the task takes (negative: no limit, the default). An answer that
  // announces more, or sends more, ends the task at once as a failed transfer, so a broken or
  // hostile server fills neither the memory nor the disk.
  void setMaximumBodySize(std::int64_t bytes) { _maximumBodySize = bytes; }
  std::int64_t maximumBodySize() const { return _maximumBodySize; }
  bool exceededMaximumBodySize() const { return _exceededMaximumBodySize; }

  const std::string& url() const { return _url; }
  std::string description() const override;

 protected:
  DispatchTaskDownload(std::string url, bool cacheData, std::optional<std::string> fileName,
                       Block complete);

  // The connection's reports, on the main thread.
  void connectionDidReceiveResponse(platform::URLConnection& connection,
                                    const platform::URLResponse& response) override;
  void connectionDidReceiveData(platform::URLConnection& connection,
                                const platform::Bytes& data) override;
  std::optional<platform::CachedURLResponse> connectionWillCacheResponse(
      platform::URLConnection& connection, const platform::CachedURLResponse& response) override;
  void connectionDidFinishLoading(platform::URLConnection& connection) override;
  void connectionDidFailWithError(platform::URLConnection& connection,
                                  const platform::URLError& error) override;

  std::optional<platform::Bytes> _data;
  Block _downloadProgressBlock;
  std::optional<platform::URLResponse> _response;
  bool _cacheData;
  std::FILE* _fileHandle = nullptr;
  std::optional<std::string> _fileName;
  std::string _url;
  std::shared_ptr<platform::URLConnection> _connection;
  std::int64_t _currentContentLength = 0;
  bool _transferSucceeded = false;
  std::int64_t _maximumBodySize = -1;
  bool _exceededMaximumBodySize = false;

 private:
  bool isCurrent(const platform::URLConnection& connection) const {
    return _connection.get() == &connection;
  }
  void appendToFile(const platform::Bytes& chunk);
  void closeFile();
  // Ends the task as failed when `bytes` would pass the limit; returns whether it did.
  bool refuseBeyondLimit(std::int64_t bytes);
  platform::URLRequest makeRequest() const;
};
