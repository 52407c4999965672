#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Graphics/Image.h"

namespace platform {

// Live pictures from a camera through a GStreamer pipeline: a video capture device (v4l2src)
// or any source a host describes in gst-launch syntax ("videotestsrc ! video/x-raw,width=640").
// The pipeline's own threads turn each frame into an upright bitmap in the drawing library's
// pixel words; the newest one is handed to the main run loop, where the handlers run. A frame
// that comes while another still waits replaces it, so a busy main thread skips frames
// instead of queueing them, and the pipeline never waits for the main thread.
class CameraCapture {
 public:
  // Main thread; the picture is upright, one pixel per point.
  using FrameHandler = std::function<void(const std::shared_ptr<Image>& frame)>;
  // Main thread, at most once a start, when the pipeline fails or its source ends; the reason
  // has already been told to the console. No frame follows.
  using EndHandler = std::function<void(const std::string& reason)>;

  // Larger frames are scaled down to fit this side: a still of a few megapixels at most.
  static constexpr int kMaximumSide = 1920;

  // The video capture devices among `directory`'s "video*" nodes, sorted (metadata and
  // output nodes are left out).
  static std::vector<std::string> captureDevices(const std::string& directory = "/dev");
  // The source that reads the capture device at `path`.
  static std::string deviceSource(const std::string& path);
  // Nothing when `source` makes a pipeline; otherwise why it cannot (GStreamer could not
  // start, a syntax error, an element that is not installed). Builds the pipeline without
  // starting it: no device is opened.
  static std::optional<std::string> checkSource(const std::string& source);

  explicit CameraCapture(std::string source);
  // Stops the pipeline.
  ~CameraCapture();
  CameraCapture(const CameraCapture&) = delete;
  CameraCapture& operator=(const CameraCapture&) = delete;

  const std::string& source() const { return _source; }

  // Builds and starts the pipeline (stopping a running one first). False, with a console line,
  // when it cannot be built or refuses to start. Main thread only, like everything below.
  bool start(FrameHandler onFrame, EndHandler onEnd);
  // Takes the pipeline down: its threads have stopped when this returns and no handler runs
  // after it. Safe to call from a handler and when nothing runs.
  void stop();
  bool isRunning() const { return _pipeline != nullptr; }

 private:
  class Delivery;
  std::string _source;
  void* _pipeline = nullptr;  // GstElement*, kept out of this header
  std::shared_ptr<Delivery> _delivery;
};

}  // namespace platform
