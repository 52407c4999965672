#include "Content/ContentServiceRequest.h"

#include <algorithm>
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

ContentServiceRequest::ContentServiceRequest(std::string url, Block complete)
    : DispatchTaskDownload(std::move(url), false, std::nullopt, std::move(complete)) {}

std::shared_ptr<ContentServiceRequest> ContentServiceRequest::make(std::string url, Block complete) {
  if (url.empty()) return nullptr;
  return std::shared_ptr<ContentServiceRequest>(new ContentServiceRequest(std::move(url), std::move(complete)));
}

void ContentServiceRequest::setDirectoryServerURLs(std::string standardScreen, std::string tallScreen) {
  std::lock_guard lock(directoryMutex);
  standardDirectoryURL = std::move(standardScreen);
  tallDirectoryURL = std::move(tallScreen);
}

std::string ContentServiceRequest::directoryServerURL(bool tallScreen) {
  std::lock_guard lock(directoryMutex);
  return tallScreen ? tallDirectoryURL : standardDirectoryURL;
}

std::shared_ptr<ContentServiceRequest> ContentServiceRequest::RequestServersURLsWithCompleteBlock(Block complete) {
  return make(directoryServerURL(Tools::isIPhone5Screen()) + "?act=nodes", std::move(complete));
}

std::shared_ptr<ContentServiceRequest> ContentServiceRequest::RequestListWithOldVersion(
    const std::optional<std::string>& oldVersion, const std::string& serverURL, Block complete) {
  std::string url = serverURL + "?act=list";
  if (oldVersion) url += "&dif=" + *oldVersion;
  return make(std::move(url), std::move(complete));
}

std::shared_ptr<ContentServiceRequest> ContentServiceRequest::RequestGetWithVersion(const std::string& version,
                                                                                  const std::string& name,
                                                                                  const std::string& serverURL,
                                                                                  Block complete) {
  return make(serverURL + "?act=get&ver=" + version + "&n=" + name, std::move(complete));
}

void ContentServiceRequest::finishNetworkTask() {
  decodeAnswer();
  DispatchTaskDownload::finishNetworkTask();
}

void ContentServiceRequest::decodeAnswer() {
  _result = Value();
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
    if (auto value = platform::JSONSerialization::JSONObjectWithData(std::string_view(text, length)))
      _result = std::move(*value);
  } else if (type == "image/jpeg" || type == "image/png") {
    if (auto image = platform::ImageDecoder::decode(body)) _result = Value(std::move(image));
  }
}

bool ContentServiceRequest::applyChanges(ContentName::VersionMap& map, const Value& changes) {
  const Dictionary* answer = changes.dictionary();
  if (!answer) return false;
  if (!absentOr(*answer, "ver", Value::Kind::String) || !absentOr(*answer, "curList", Value::Kind::Array) ||
      !absentOr(*answer, "diff", Value::Kind::Dictionary))
    return false;
  const Array* curList = arrayMember(*answer, "curList");
  const Dictionary* diff = nullptr;
  if (auto it = answer->find("diff"); it != answer->end()) diff = it->second.dictionary();
  if (diff && (!absentOr(*diff, "new", Value::Kind::Array) || !absentOr(*diff, "chg", Value::Kind::Array) ||
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
