// Draws the raster part of the sample decoration pack.
//
//   content-raster fon|frame|clipart|face|tbframe PACK_FOLDER
//   content-raster masks RESOURCE_FOLDER
//
// The first form writes every item of one content type into the pack folder; the second writes
// the application's default top/bottom-frame masks. Folders are made when missing.
// Exit status: 0 written, 1 a picture could not be drawn or written, 2 bad arguments.
#include <cstdio>
#include <filesystem>
#include <string>

#include "ArtItem.h"
#include "ArtWriter.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: content-raster fon|frame|clipart|face|tbframe PACK_FOLDER\n"
               "       content-raster masks RESOURCE_FOLDER\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return usage();
  std::string kind = argv[1];
  std::string folder = argv[2];
  std::vector<ArtItem> items;
  if (kind == "fon") {
    items = SamplePack::backgroundItems();
  } else if (kind == "frame") {
    items = SamplePack::photoFrameItems();
  } else if (kind == "clipart") {
    items = SamplePack::clipartItems();
  } else if (kind == "face") {
    items = SamplePack::faceEffectItems();
  } else if (kind == "tbframe") {
    items = SamplePack::tbFrameItems();
  } else if (kind != "masks") {
    return usage();
  }
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::fprintf(stderr, "content-raster: cannot make %s: %s\n", folder.c_str(),
                 error.message().c_str());
    return 1;
  }
  ArtWriter writer(folder);
  if (kind == "masks") return writer.writeDefaultMasks() ? 0 : 1;
  for (const ArtItem& item : items)
    if (!writer.write(item)) return 1;
  return 0;
}
