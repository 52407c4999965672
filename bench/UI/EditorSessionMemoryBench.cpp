// The peak resident memory of a session in the editor on the tall phone: each of the four
// editors opened in turn over the sample pack, and every item of every list it has brought
// on screen by a swipe (the overlays on the picture, then the backgrounds after the
// background tab, then the top/bottom frames on the top strip), each picture rendered and the
// screen drawn after each swipe. Prints the items of each list, the swipes, the pictures
// shown (the empty background has none), the peak and the image cache's pictures after each
// editor, and the peak (VmHWM) of the session alone (the peak is reset once the pack is
// synced) and of the whole process. Not a Google Benchmark: one session, one figure.
//
//   EditorSessionMemoryBench
#include <sys/resource.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "EditorOnPack.h"

using namespace platform;

namespace {

// The process's resident set high-water mark in KiB, or -1.
long peakKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// Starts the high-water mark again from the current resident set.
bool resetPeak() {
  std::ofstream refs("/proc/self/clear_refs");
  refs << "5";
  return static_cast<bool>(refs.flush());
}

struct Session {
  EditorOnPack& pack;
  int drawn = 0;
  int shown = 0;
  int swipes = 0;
  int failures = 0;

  // Swipes `count` times at height `y`, each bringing the next item of `list`; the picture is
  // rendered and the screen drawn after each.
  void swipeThrough(const ImageListController& list, double y) {
    for (int i = 0; i < list.imagesCount(); ++i) {
      int before = list.curIndex();
      pack.swipe(y, -120), ++swipes;
      pack.settle();
      if (list.curIndex() != list.indexFromCircleIndex(before + 1)) ++failures;
      if (list.swapView() && list.swapView()->image()) ++shown;
      if (pack.host->captureScreen()) ++drawn;
    }
  }
};

const char* kTypeNames[] = {"backgrounds", "photo frames", "cliparts", "face effects"};

}  // namespace

int main() {
  EditorOnPack pack(DeviceProfile::phoneTall());
  if (!pack.synced) return std::fprintf(stderr, "the pack did not sync\n"), 1;
  long setupPeak = peakKiB();
  bool reset = resetPeak();
  Session session{pack};
  for (int type = 0; type < 4; ++type) {
    pack.open(type);
    auto& editor = *pack.editor;
    pack.host->tapView(*editor.listView->findVisibleCellWithIndex(0));
    pack.settle();
    std::printf("%-13s", kTypeNames[type]);
    if (editor.framesList()) {
      std::printf(" overlays %3d", editor.framesList()->imagesCount());
      session.swipeThrough(*editor.framesList(), 300);
      pack.host->tapView(pack.control(AssetViewController::kTagBackgroundTab));
      pack.settle();
      if (editor.viewState() == AssetViewController::kViewStateList)
        pack.host->tapView(pack.control(AssetViewController::kTagBackgroundTab));
      pack.settle();
    }
    if (editor.selectionMode() != AssetViewController::kSelectionModeBackground ||
        editor.viewState() != AssetViewController::kViewStateEditing)
      ++session.failures;
    std::printf(" backgrounds %3d", editor.backgroundsList()->imagesCount());
    session.swipeThrough(*editor.backgroundsList(), 300);
    std::printf(" top/bottom frames %3d", editor.tbFramesList()->imagesCount());
    session.swipeThrough(*editor.tbFramesList(), 40);
    std::printf("  peak so far %.1f MiB, pictures in the image cache %zu\n", peakKiB() / 1024.0,
                ImageCache::Instance().count());
  }
  pack.close();
  pack.settle();
  long sessionPeak = peakKiB();
  std::printf("swipes %d, pictures shown %d, screens drawn %d, swipes that missed their item %d\n",
              session.swipes, session.shown, session.drawn, session.failures);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf(
      "peak resident memory: session %.1f MiB%s (goal: under 300), after the sync %.1f MiB, "
      "whole process %.1f MiB\n",
      sessionPeak / 1024.0, reset ? "" : " (not reset: whole process)", setupPeak / 1024.0,
      usage.ru_maxrss / 1024.0);
  return session.failures == 0 ? 0 : 1;
}
