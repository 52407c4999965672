#pragma once

#include <google/protobuf/io/zero_copy_stream.h>

#include <string>

#include "svg.pb.h"

// Reading "svgpb" files: one serialized ProtoSVGRoot from the first byte to the last.
namespace ProtoSVGFile {

// Input limits of the parse. They are set explicitly because protobuf releases differ in their
// defaults.
inline constexpr int kTotalBytesLimit = 64 << 20;
inline constexpr int kTotalBytesWarningThreshold = 32 << 20;
inline constexpr int kRecursionLimit = 64;

// Merges the whole stream into `root`. True when the stream was consumed to its end with every
// record well formed; on failure whatever was merged before the fault stays in `root`.
bool parse(google::protobuf::io::ZeroCopyInputStream& stream, ProtoSVGRoot& root);

// Clears `root` and parses the file at `path` into it; false, with `root` left empty, when the
// file cannot be stat'ed or opened.
bool load(const std::string& path, ProtoSVGRoot& root);

}  // namespace ProtoSVGFile
