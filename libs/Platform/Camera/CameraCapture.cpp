#include "Camera/CameraCapture.h"

#include <fcntl.h>
#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "Foundation/Console.h"
#include "Foundation/RunLoop.h"
#include "Graphics/Bitmap.h"

namespace platform {
namespace {

constexpr const char* kSinkName = "pictavia_camera_sink";

// GStreamer starts once per process; whether it could.
bool gstreamerReady() {
  static const bool ready = [] {
    GError* error = nullptr;
    if (gst_init_check(nullptr, nullptr, &error)) {
      // A streaming thread ends as its pipeline stops instead of idling in GLib's pool for
      // the next one: a stopped camera leaves nothing running behind it.
      g_thread_pool_set_max_unused_threads(0);
      return true;
    }
    Console::log(std::string("Camera: GStreamer cannot start: ") +
                 (error ? error->message : "no reason given"));
    if (error) g_error_free(error);
    return false;
  }();
  return ready;
}

// The source, then: turned upright as the stream's orientation tags say, in the drawing
// library's 32-bit words (0xXXRRGGBB in machine byte order), square pixels, no side longer
// than the maximum, into the sink that hands frames over.
std::string pipelineDescription(const std::string& source) {
  const char* format = G_BYTE_ORDER == G_LITTLE_ENDIAN ? "BGRx" : "xRGB";
  const std::string side = std::to_string(CameraCapture::kMaximumSide);
  return source +
         " ! videoconvert ! videoflip video-direction=auto ! videoscale ! video/x-raw,format=" +
         format + ",width=[1," + side + "],height=[1," + side +
         "],pixel-aspect-ratio=1/1 ! appsink name=" + kSinkName;
}

// The pipeline, or nothing with the reason in `error`.
GstElement* buildPipeline(const std::string& source, std::string& error) {
  if (!gstreamerReady()) {
    error = "GStreamer could not start";
    return nullptr;
  }
  GError* parseError = nullptr;
  GstElement* pipeline = gst_parse_launch(pipelineDescription(source).c_str(), &parseError);
  if (pipeline) gst_object_ref_sink(pipeline);
  // A pipeline may come back with an error (an unknown property, say): refused all the same.
  if (parseError || !pipeline || !GST_IS_BIN(pipeline)) {
    error = parseError ? parseError->message : "not a pipeline";
    if (parseError) g_error_free(parseError);
    if (pipeline) gst_object_unref(pipeline);
    return nullptr;
  }
  return pipeline;
}

// The frame as a bitmap of its own; null when it cannot be read or is too large to hold.
std::shared_ptr<Bitmap> bitmapOfSample(GstSample* sample) {
  GstVideoInfo info;
  GstCaps* caps = gst_sample_get_caps(sample);
  GstBuffer* buffer = gst_sample_get_buffer(sample);
  if (!caps || !buffer || !gst_video_info_from_caps(&info, caps)) return nullptr;
  GstVideoFrame frame;
  if (!gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ)) return nullptr;
  const int width = GST_VIDEO_FRAME_WIDTH(&frame);
  const int height = GST_VIDEO_FRAME_HEIGHT(&frame);
  auto bitmap = Bitmap::create(width, height, PixelFormat::RGB24);
  if (bitmap && GST_VIDEO_FRAME_N_PLANES(&frame) == 1) {
    const auto* pixels = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    const size_t stride = static_cast<size_t>(GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0));
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
      std::memcpy(bitmap->row(y), pixels + static_cast<size_t>(y) * stride, rowBytes);
  } else {
    bitmap = nullptr;
  }
  gst_video_frame_unmap(&frame);
  return bitmap;
}

}  // namespace

// What the pipeline's threads share with the main thread for one start: the newest frame
// waiting to be delivered, and the handlers, which only the main thread touches.
class CameraCapture::Delivery {
 public:
  void activate(FrameHandler onFrame, EndHandler onEnd) {
    _active = true;
    _onFrame = std::move(onFrame);
    _onEnd = std::move(onEnd);
  }
  // The handlers go at once, with what they hold.
  void deactivate() {
    _active = false;
    _onFrame = nullptr;
    _onEnd = nullptr;
  }

  // The pipeline's callbacks; each holds the delivery it was given until the pipeline lets
  // it go.
  using Holder = std::shared_ptr<Delivery>;
  static void release(gpointer data) { delete static_cast<Holder*>(data); }

  static GstFlowReturn onNewSample(GstAppSink* sink, gpointer data) {
    GstSample* sample = gst_app_sink_pull_sample(sink);
    if (!sample) return GST_FLOW_OK;  // flushing or at its end: the bus tells the rest
    auto bitmap = bitmapOfSample(sample);
    gst_sample_unref(sample);
    if (bitmap) offer(*static_cast<Holder*>(data), std::move(bitmap));
    return GST_FLOW_OK;
  }

  // Runs on whichever thread posts the message; every message is dropped here, so none piles
  // up on the bus.
  static GstBusSyncReply onBusMessage(GstBus*, GstMessage* message, gpointer data) {
    const Holder& delivery = *static_cast<Holder*>(data);
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
      GError* error = nullptr;
      gst_message_parse_error(message, &error, nullptr);
      std::string reason = error ? error->message : "the pipeline failed";
      if (GST_MESSAGE_SRC(message))
        reason += std::string(" (") + GST_MESSAGE_SRC_NAME(message) + ")";
      if (error) g_error_free(error);
      end(delivery, reason);
    } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
      end(delivery, "the picture source ended");
    }
    return GST_BUS_DROP;
  }

  // Pipeline threads.
  static void offer(const std::shared_ptr<Delivery>& self, std::shared_ptr<Bitmap> bitmap) {
    bool post;
    {
      std::lock_guard lock(self->_mutex);
      self->_pending = std::move(bitmap);
      post = !self->_posted;
      self->_posted = true;
    }
    if (post) RunLoop::main().post([self] { self->deliverFrame(); });
  }
  static void end(const std::shared_ptr<Delivery>& self, std::string reason) {
    {
      std::lock_guard lock(self->_mutex);
      if (self->_error.empty()) self->_error = reason;
    }
    RunLoop::main().post([self, reason] { self->deliverEnd(reason); });
  }
  std::string firstError() const {
    std::lock_guard lock(_mutex);
    return _error;
  }

 private:
  void deliverFrame() {
    std::shared_ptr<Bitmap> bitmap;
    {
      std::lock_guard lock(_mutex);
      bitmap = std::move(_pending);
      _posted = false;
    }
    if (!_active || !bitmap || !_onFrame) return;
    if (auto image = Image::imageWithBitmap(std::move(bitmap))) {
      FrameHandler handler = _onFrame;  // the handler may stop the capture
      handler(image);
    }
  }
  void deliverEnd(const std::string& reason) {
    if (!_active) return;
    Console::log("Camera: " + reason);
    EndHandler handler = std::move(_onEnd);
    deactivate();
    if (handler) handler(reason);
  }

  mutable std::mutex _mutex;
  std::shared_ptr<Bitmap> _pending;
  bool _posted = false;
  std::string _error;
  // Main thread only.
  bool _active = false;
  FrameHandler _onFrame;
  EndHandler _onEnd;
};

namespace {

bool isCaptureDevice(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) return false;
  int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  v4l2_capability capability{};
  bool capture = false;
  if (ioctl(fd, VIDIOC_QUERYCAP, &capability) == 0) {
    // A node's own abilities, where the driver tells them apart from the whole device's.
    std::uint32_t caps = (capability.capabilities & V4L2_CAP_DEVICE_CAPS) ? capability.device_caps
                                                                          : capability.capabilities;
    capture = (caps & (V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_VIDEO_CAPTURE_MPLANE)) != 0;
  }
  close(fd);
  return capture;
}

}  // namespace

std::vector<std::string> CameraCapture::captureDevices(const std::string& directory) {
  std::vector<std::string> devices;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
    std::string name = entry.path().filename().string();
    if (name.rfind("video", 0) == 0 && isCaptureDevice(entry.path().string()))
      devices.push_back(entry.path().string());
  }
  std::sort(devices.begin(), devices.end());
  return devices;
}

std::string CameraCapture::deviceSource(const std::string& path) {
  std::string quoted;
  for (char c : path) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  // Whatever the device gives (raw or JPEG frames) is decoded before the conversion.
  return "v4l2src device=\"" + quoted + "\" ! decodebin";
}

std::optional<std::string> CameraCapture::checkSource(const std::string& source) {
  std::string error;
  GstElement* pipeline = buildPipeline(source, error);
  if (!pipeline) return error;
  gst_object_unref(pipeline);
  return std::nullopt;
}

CameraCapture::CameraCapture(std::string source) : _source(std::move(source)) {}

CameraCapture::~CameraCapture() {
  stop();
}

bool CameraCapture::start(FrameHandler onFrame, EndHandler onEnd) {
  stop();
  std::string error;
  GstElement* pipeline = buildPipeline(_source, error);
  if (!pipeline) {
    Console::log("Camera: cannot use \"" + _source + "\": " + error);
    return false;
  }
  GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), kSinkName);
  if (!sink || !GST_IS_APP_SINK(sink)) {
    if (sink) gst_object_unref(sink);
    gst_object_unref(pipeline);
    Console::log("Camera: \"" + _source + "\" hides the frame sink");
    return false;
  }
  _delivery = std::make_shared<Delivery>();
  _delivery->activate(std::move(onFrame), std::move(onEnd));
  // Only the newest frame is kept; an older one is dropped rather than making the source wait.
  g_object_set(sink, "max-buffers", 1u, "drop", TRUE, "enable-last-sample", FALSE, nullptr);
  GstAppSinkCallbacks callbacks{};
  callbacks.new_sample = Delivery::onNewSample;
  gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, new Delivery::Holder(_delivery),
                             Delivery::release);
  gst_object_unref(sink);
  GstBus* bus = gst_element_get_bus(pipeline);
  gst_bus_set_sync_handler(bus, Delivery::onBusMessage, new Delivery::Holder(_delivery),
                           Delivery::release);
  gst_object_unref(bus);
  _pipeline = pipeline;
  if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    std::string reason = _delivery->firstError();
    stop();
    Console::log("Camera: cannot start \"" + _source + "\"" +
                 (reason.empty() ? std::string() : ": " + reason));
    return false;
  }
  return true;
}

void CameraCapture::stop() {
  if (_delivery) _delivery->deactivate();
  _delivery.reset();
  if (!_pipeline) return;
  auto* pipeline = static_cast<GstElement*>(_pipeline);
  _pipeline = nullptr;
  // Returns once the streaming threads have left the elements.
  gst_element_set_state(pipeline, GST_STATE_NULL);
  GstBus* bus = gst_element_get_bus(pipeline);
  gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
  gst_object_unref(bus);
  gst_object_unref(pipeline);
}

}  // namespace platform
