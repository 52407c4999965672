#include "Content/ContentServiceRequest.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <utility>

#include "Content/Compression.h"
#include "Foundation/JSONSerialization.h"
#include "GeneralTools/Tools.h"
#include "Graphics/ImageDecoder.h"

using platform::Array;
using platform::Dictionary;
using platform::Value;

namespace {

// Set from the compiled-in configuration at start.
std::mutex directoryMutex;
std::string standardDirectoryURL;
std::string tallDirectoryURL;
std::atomic<std::int64_t> maximumContentFileSize{std::int64_t{32} << 20};

// A member that is absent is fine; one that is present must have the expected kind.
template <class Kind>
bool absentOr(const Dictionary& object, const char* key, Kind expected) {
  auto it = object.find(key);
  return it == object.end() || it->second.kind() == expected;
}

const Array* arrayMember(const Dictionary& object, const char* key) {
  auto it = object.find(key);
  return it == object.end() ? nullptr : it->second.array();
}

// Every string entry that can be a file name; anything else in a name list is skipped.
template <class Visit>
void forEachName(const Array* names, Visit visit) {
  if (!names) return;
  for (const Value& entry : *names) {
    const std::string* name = entry.string();
    if (name && ContentName::isSafeFileName(*name)) visit(*name);
  }
}

}  // namespace

ContentServiceRequest::ContentServiceRequest(std::string url, Block complete,
                                             std::optional<std::string> toFile)
    : DispatchTaskDownload(std::move(url), false, std::move(toFile), std::move(complete)) {}

std::shared_ptr<ContentServiceRequest> ContentServiceRequest::make(
    std::string url, Block complete, std::optional<std::string> toFile) {
  if (url.empty()) return nullptr;
  return std::shared_ptr<ContentServiceRequest>(
      new ContentServiceRequest(std::move(url), std::move(complete), std::move(toFile)));
}

void ContentServiceRequest::setDirectoryServerURLs(std::string standardScreen,
                                                   std::string tallScreen) {
  std::lock_guard lock(directoryMutex);
  standardDirectoryURL = std::move(standardScreen);
  tallDirectoryURL = std::move(tallScreen);
}

std::string ContentServiceRequest::directoryServerURL(bool tallScreen) {
  std::lock_guard lock(directoryMutex);
  return tallScreen ? tallDirectoryURL : standardDirectoryURL;
}

void ContentServiceRequest::setMaximumFileSize(std::int64_t bytes) {
  maximumContentFileSize = bytes;
}

std::int64_t ContentServiceRequest::maximumFileSize() {
  return maximumContentFileSize;
}

std::shared_ptr<ContentServiceRequest> ContentServiceRequest::RequestServersURLsWithCompleteBlock(
    Block complete) {
  auto request =
      make(directoryServerURL(Tools::isIPhone5Screen()) + "?act=nodes", std::move(complete));
  if (request)
    request->setMaximumBodySize(static_cast<std::int64_t>(Compression::kMaxInflatedSize));
  return request;
}

std::shared_ptr<ContentServiceRequest> ContentServiceRequest::RequestListWithOldVersion(
    const std::optional<std::string>& oldVersion, const std::string& serverURL, Block complete) {
  std::string url = serverURL + "?act=list";
  if (oldVersion) url += "&dif=" + *oldVersion;
  auto request = make(std::move(url), std::move(complete));
  if (request)
    request->setMaximumBodySize(static_cast<std::int64_t>(Compression::kMaxInflatedSize));
  return request;
}

std::shared_ptr<ContentServiceRequest> ContentServiceRequest::RequestGetWithVersion(
    const std::string& version, const std::string& name, const std::string& serverURL,
    Block complete, const std::optional<std::string>& toFile) {
  auto request =
      make(serverURL + "?act=get&ver=" + version + "&n=" + name, std::move(complete), toFile);
  if (request) request->setMaximumBodySize(maximumFileSize());
  return request;
}

void ContentServiceRequest::finishNetworkTask() {
  decodeAnswer();
  DispatchTaskDownload::finishNetworkTask();
}

void ContentServiceRequest::decodeAnswer() {
  _result = Value();
  _pictureUndecoded = false;
  if (!_response) return;
  platform::Bytes body = _data.value_or(platform::Bytes{});
  if (_response->valueForHTTPHeaderField("Content-Encoding") == "application/gzip") {
    auto inflated = Compression::gzipInflate(body);
    if (!inflated) return;
    body = std::move(*inflated);
  }
  const std::string& type = _response->mimeType;
  if (type == "application/json") {
    // The text ends at its first zero byte, as a C string would.
    const char* text = reinterpret_cast<const char*>(body.data());
    size_t length = body.empty() ? 0 : strnlen(text, body.size());
    if (auto value =
            platform::JSONSerialization::JSONObjectWithData(std::string_view(text, length)))
      _result = std::move(*value);
  } else if (type == "image/jpeg" || type == "image/png") {
    _pictureUndecoded = _data.has_value();
  }
}

const Value& ContentServiceRequest::result() const {
  if (_pictureUndecoded) {
    _pictureUndecoded = false;
    if (auto image = platform::ImageDecoder::decode(*_data)) _result = Value(std::move(image));
  }
  return _result;
}

bool ContentServiceRequest::applyChanges(ContentName::VersionMap& map, const Value& changes) {
  const Dictionary* answer = changes.dictionary();
  if (!answer) return false;
  if (!absentOr(*answer, "ver", Value::Kind::String) ||
      !absentOr(*answer, "curList", Value::Kind::Array) ||
      !absentOr(*answer, "diff", Value::Kind::Dictionary))
    return false;
  const Array* curList = arrayMember(*answer, "curList");
  const Dictionary* diff = nullptr;
  if (auto it = answer->find("diff"); it != answer->end()) diff = it->second.dictionary();
  if (diff &&
      (!absentOr(*diff, "new", Value::Kind::Array) || !absentOr(*diff, "chg", Value::Kind::Array) ||
       !absentOr(*diff, "del", Value::Kind::Array)))
    return false;
  auto verMember = answer->find("ver");
  if (verMember == answer->end()) return false;  // listed names would have no version to carry
  const std::string& ver = *verMember->second.string();

  if (curList) {
    map.clear();
    map.reserve(curList->size());
    forEachName(curList, [&](const std::string& name) { map.insert_or_assign(name, ver); });
  }
  if (diff) {
    auto set = [&](const std::string& name) { map.insert_or_assign(name, ver); };
    forEachName(arrayMember(*diff, "new"), set);
    forEachName(arrayMember(*diff, "chg"), set);
    forEachName(arrayMember(*diff, "del"), [&](const std::string& name) { map.erase(name); });
  }
  return true;
}
