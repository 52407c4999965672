#include "GeneralTools/DispatchTaskDownload.h"

#include <atomic>

#include "Foundation/Console.h"
#include "Foundation/RunLoop.h"

using platform::Bytes;
using platform::URLConnection;

namespace {

// Off the phone nothing suspends the process, so a background task is only an identifier that
// the task carries while the transfer runs.
std::atomic<std::int64_t> nextBackgroundTaskId{1};

// ASCII with every character outside it replaced by '?': one per UTF-8 sequence.
Bytes asciiBody(const std::string& text) {
  Bytes body;
  body.reserve(text.size());
  for (unsigned char c : text) {
    if (c < 0x80) {
      body.push_back(c);
    } else if ((c & 0xC0) != 0x80) {
      body.push_back('?');  // a lead byte (or a stray one) starts one replaced character
    }
  }
  return body;
}

}  // namespace

DispatchTaskDownload::DispatchTaskDownload(std::string url, bool cacheData,
                                           std::optional<std::string> fileName, Block complete)
    : DispatchTask(
          [](DispatchTask& task) { static_cast<DispatchTaskDownload&>(task).startDownload(); },
          std::move(complete), true),
      _cacheData(cacheData),
      _fileName(std::move(fileName)),
      _url(std::move(url)) {}

DispatchTaskDownload::~DispatchTaskDownload() {
  closeFile();
}

std::shared_ptr<DispatchTaskDownload> DispatchTaskDownload::initWithURL(
    const std::string& url, bool cacheData, const std::optional<std::string>& fileName,
    Block complete) {
  if (url.empty()) return nullptr;
  std::optional<std::string> file = fileName && !fileName->empty() ? fileName : std::nullopt;
  return std::shared_ptr<DispatchTaskDownload>(
      new DispatchTaskDownload(url, cacheData, file, std::move(complete)));
}

std::shared_ptr<DispatchTaskDownload> DispatchTaskDownload::downloadTaskWithURL(
    const std::string& url, Block complete) {
  return initWithURL(url, false, std::nullopt, std::move(complete));
}

std::shared_ptr<DispatchTaskDownload> DispatchTaskDownload::downloadTaskWithURLCacheData(
    const std::string& url, bool cacheData, Block complete) {
  return initWithURL(url, cacheData, std::nullopt, std::move(complete));
}

std::shared_ptr<DispatchTaskDownload> DispatchTaskDownload::downloadTaskWithURLToFile(
    const std::string& url, const std::string& fileName, Block complete) {
  return initWithURL(url, false, fileName, std::move(complete));
}

std::string DispatchTaskDownload::description() const {
  return "<DispatchTaskDownload>(" + _url + ")";
}

platform::URLRequest DispatchTaskDownload::makeRequest() const {
  // Whatever the shared cache holds for the URL answers it, so a picture fetched once with
  // caching allowed is never fetched again.
  platform::URLRequest request(_url, platform::URLRequestCachePolicy::ReturnCacheDataElseLoad,
                               kTimeoutInterval);
  platform::Value postData = objectForKey(kDispatchTaskDownloadPostData);
  if (const std::string* form = postData.string()) {
    request.httpMethod = "POST";
    request.body = asciiBody(*form);
    request.setValueForHTTPHeaderField(std::to_string(request.body.size()), "Content-Length");
    request.setValueForHTTPHeaderField("application/x-www-form-urlencoded", "Content-Type");
  }
  return request;
}

void DispatchTaskDownload::startDownload() {
  if (_connection) return;
  if (objectForKey(kDispatchTaskDownloadUseBGTask).boolValue().value_or(false))
    setObject(platform::Value(nextBackgroundTaskId.fetch_add(1)), kBackgroundDownloadID);
  std::shared_ptr<platform::URLConnectionDelegate> delegate(
      shared_from_this(), static_cast<platform::URLConnectionDelegate*>(this));
  _connection = URLConnection::connectionWithRequest(makeRequest(), delegate);
}

void DispatchTaskDownload::connectionDidReceiveResponse(URLConnection& connection,
                                                        const platform::URLResponse& response) {
  if (!isCurrent(connection)) return;
  _response = response;
  if (response.statusCode != 200) {
    finishNetworkTask();
    return;
  }
  refuseBeyondLimit(response.expectedContentLength);
}

bool DispatchTaskDownload::refuseBeyondLimit(std::int64_t bytes) {
  if (_maximumBodySize < 0 || bytes <= _maximumBodySize) return false;
  platform::Console::logf("%s: the answer is larger than %lld bytes; refused",
                          description().c_str(), static_cast<long long>(_maximumBodySize));
  _exceededMaximumBodySize = true;
  finishNetworkTask();
  return true;
}

void DispatchTaskDownload::connectionDidReceiveData(URLConnection& connection, const Bytes& chunk) {
  if (!isCurrent(connection)) return;
  if (isCancelled()) {
    finishNetworkTask();
    return;
  }
  std::int64_t received =
      (_fileName ? _fileHandle != nullptr : _data.has_value()) ? _currentContentLength : 0;
  if (refuseBeyondLimit(received + static_cast<std::int64_t>(chunk.size()))) return;
  if (_fileName) {
    appendToFile(chunk);
    if (!_connection) return;  // the file could not be written: the task has finished
  } else if (!_data) {
    _currentContentLength = 0;
    _data = chunk;
  } else {
    _data->insert(_data->end(), chunk.begin(), chunk.end());
  }
  _currentContentLength += static_cast<std::int64_t>(chunk.size());
  if (_downloadProgressBlock) _downloadProgressBlock(*this);
}

void DispatchTaskDownload::appendToFile(const Bytes& chunk) {
  if (!_fileHandle) {
    _currentContentLength = 0;
    // The first bytes replace whatever file was there; until they come, it stays untouched.
    _fileHandle = std::fopen(_fileName->c_str(), "wb");
    if (!_fileHandle) {
      platform::Console::logf("%s: cannot create %s", description().c_str(), _fileName->c_str());
      finishNetworkTask();
      return;
    }
  }
  if (!chunk.empty() && std::fwrite(chunk.data(), 1, chunk.size(), _fileHandle) != chunk.size()) {
    platform::Console::logf("%s: cannot write %s", description().c_str(), _fileName->c_str());
    finishNetworkTask();
  }
}

std::optional<platform::CachedURLResponse> DispatchTaskDownload::connectionWillCacheResponse(
    URLConnection& connection, const platform::CachedURLResponse& response) {
  if (!isCurrent(connection) || !_cacheData) return std::nullopt;
  return response;
}

void DispatchTaskDownload::connectionDidFinishLoading(URLConnection& connection) {
  if (!isCurrent(connection)) return;
  _transferSucceeded = _response && _response->statusCode == 200 && !isCancelled();
  finishNetworkTask();
}

void DispatchTaskDownload::connectionDidFailWithError(URLConnection& connection,
                                                      const platform::URLError&) {
  // Not recorded: the completion judges what arrived.
  if (isCurrent(connection)) finishNetworkTask();
}

void DispatchTaskDownload::closeFile() {
  if (!_fileHandle) return;
  if (std::fclose(_fileHandle) != 0 && _fileName)
    platform::Console::logf("%s: cannot finish writing %s", description().c_str(),
                            _fileName->c_str());
  _fileHandle = nullptr;
}

void DispatchTaskDownload::finishNetworkTask() {
  if (_connection) {
    if (!objectForKey(kBackgroundDownloadID).isNull()) removeObjectForKey(kBackgroundDownloadID);
    std::shared_ptr<URLConnection> connection = std::move(_connection);
    connection->cancel();
    closeFile();
    _response.reset();
  }
  DispatchTask::finishNetworkTask();
}

std::int64_t DispatchTaskDownload::contentLength() const {
  return _response ? _response->expectedContentLength : -1;
}

float DispatchTaskDownload::currentDownloadProgress() const {
  std::int64_t expected = contentLength();
  if (expected <= 0) return 0;
  return static_cast<float>(static_cast<double>(_currentContentLength) /
                            static_cast<double>(expected));
}
