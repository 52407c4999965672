#pragma once

#include <atomic>
#include <functional>
#include <memory>

#include "Foundation/RunLoop.h"

typedef struct SDL_Window SDL_Window;
typedef union SDL_Event SDL_Event;

namespace platform {

// Brings the window system's events into the main run loop, so that a window sleeps until
// something happens: the display connection's descriptor is polled with the loop's other
// sources, and events pushed into SDL's queue on the main thread (SDL_PushEvent) post their
// handling to the loop. Video drivers that offer no descriptor (other than the dummy and
// offscreen ones, which only ever get pushed events) are looked at 60 times a second instead.
// Added to the main run loop on construction, removed on destruction; main thread only.
class SDLEventSource : public RunLoop::Source {
 public:
  // `handle` takes the events out of SDL's queue (SDL_PollEvent) and handles them.
  SDLEventSource(SDL_Window* window, std::function<void()> handle);
  ~SDLEventSource() override;
  SDLEventSource(const SDLEventSource&) = delete;
  SDLEventSource& operator=(const SDLEventSource&) = delete;

  // Whether the driver's descriptor is watched; false where the source polls or needs nothing.
  bool watchesDescriptor() const { return _fd >= 0; }

  double prepare(std::vector<pollfd>& fds) override;
  bool dispatch(const pollfd* fds, size_t count, bool deadlinePassed) override;

 private:
  // What posted handling reaches, only while the source lives.
  struct Handler {
    std::function<void()> handle;
    std::atomic<bool> posted{false};
  };
  static int pushed(void* source, SDL_Event* event);

  std::shared_ptr<Handler> _handler;
  int _fd = -1;
  double _pollInterval;  // real seconds; infinite when nothing needs looking at
};

}  // namespace platform
