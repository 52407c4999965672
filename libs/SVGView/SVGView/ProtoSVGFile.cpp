#include "SVGView/ProtoSVGFile.h"

#include <google/protobuf/io/coded_stream.h>

#include "Foundation/Console.h"
#include "SVGView/SVGFileStream.h"

namespace ProtoSVGFile {

bool parse(google::protobuf::io::ZeroCopyInputStream& stream, ProtoSVGRoot& root) {
  google::protobuf::io::CodedInputStream input(&stream);
  input.SetTotalBytesLimit(kTotalBytesLimit);
  input.SetRecursionLimit(kRecursionLimit);
  // The merge stops early, and still answers true, at an end-group record or a zero tag; only a
  // stream read to its very end counts as a complete file.
  bool parsed = root.MergeFromCodedStream(&input) && input.ConsumedEntireMessage();
  if (input.CurrentPosition() >= kTotalBytesWarningThreshold) {
    platform::Console::logf(
        "ProtoSVG: reading a large file (%d bytes read); files over %d bytes are refused",
        input.CurrentPosition(), kTotalBytesLimit);
  }
  return parsed;
}

bool load(const std::string& path, ProtoSVGRoot& root) {
  root.Clear();
  SVGFileStream stream;
  if (!stream.open(path)) return false;
  return parse(stream, root);
}

}  // namespace ProtoSVGFile
