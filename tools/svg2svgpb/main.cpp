// Converts an SVG picture into an "svgpb" file that the program's renderer draws.
//
//   svg2svgpb [--strict] input.svg output.svgpb
//
// What the picture format cannot carry is reported on stderr, one line per feature.
// Exit status: 0 written; 1 with --strict when something was not carried (nothing written);
// 2 bad arguments, input that cannot be read or is not SVG, or output that cannot be written.
#include <cstdio>
#include <string>
#include <vector>

#include "Foundation/AtomicFile.h"
#include "SvgConverter.h"

namespace {

int usage() {
  std::fprintf(stderr, "usage: svg2svgpb [--strict] input.svg output.svgpb\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  bool strict = false;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    if (argument == "--strict") {
      strict = true;
    } else if (argument.size() > 1 && argument[0] == '-') {
      return usage();
    } else {
      positional.push_back(argument);
    }
  }
  if (positional.size() != 2) return usage();
  const std::string& input = positional[0];
  const std::string& output = positional[1];

  std::string error;
  auto conversion = svgconvert::SvgConverter::convertFile(input, error);
  if (!conversion) {
    std::fprintf(stderr, "svg2svgpb: %s: %s\n", input.c_str(), error.c_str());
    return 2;
  }
  for (const std::string& line : conversion->losses.lines(input))
    std::fprintf(stderr, "%s\n", line.c_str());
  if (strict && !conversion->losses.isEmpty()) {
    std::fprintf(stderr, "svg2svgpb: %s: not written (--strict and features were not carried)\n",
                 output.c_str());
    return 1;
  }
  std::string bytes = conversion->root.SerializeAsString();
  if (!platform::AtomicFile::write(output, platform::Bytes(bytes.begin(), bytes.end()))) {
    std::fprintf(stderr, "svg2svgpb: could not write %s\n", output.c_str());
    return 2;
  }
  return 0;
}
