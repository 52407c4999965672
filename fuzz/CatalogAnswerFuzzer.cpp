// A content server's catalogue answer, as the device reads it: the body inflated when it
// says so, parsed as JSON and applied to a catalogue map. Whatever the bytes, nothing may
// crash, and every name that enters the map must be safe as a file name.
#include <cstdint>
#include <cstdlib>

#include "Content/Compression.h"
#include "Content/ContentServiceRequest.h"
#include "Foundation/JSONSerialization.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte chooses whether the rest is treated as compressed.
  platform::Bytes body(data + 1, data + size);
  if (data[0] & 1) {
    auto inflated = Compression::gzipInflate(body);
    if (!inflated) return 0;
    body = std::move(*inflated);
  }
  auto answer = platform::JSONSerialization::JSONObjectWithData(body);
  if (!answer) return 0;
  ContentName::VersionMap map{{"fon1.png", "1"}, {"frame2.png", "1"}};
  ContentServiceRequest::applyChanges(map, *answer);
  for (const auto& [name, version] : map) {
    if (!ContentName::isSafeFileName(name)) std::abort();
  }
  // What was read can be written back.
  (void)platform::JSONSerialization::dataWithJSONObject(*answer);
  return 0;
}
