#include "Host/SDLEventSource.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <poll.h>

#include <cstring>
#include <limits>

namespace platform {
namespace {

// The descriptor of the window's display connection, -1 when the driver has none we know.
int displayDescriptor(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11 &&
      info.info.x11.display)
    return ConnectionNumber(info.info.x11.display);
#else
  (void)window;
#endif
  return -1;
}

// SDL marks the end of each poll with an event of its own, which nobody needs to hear about.
constexpr Uint32 kPollSentinel = 0x7F00;

bool eventsWaiting() {
  return SDL_HasEvents(SDL_FIRSTEVENT, kPollSentinel - 1) ||
         SDL_HasEvents(kPollSentinel + 1, SDL_LASTEVENT);
}

bool driverOnlyGetsPushedEvents() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0);
}

}  // namespace

SDLEventSource::SDLEventSource(SDL_Window* window, std::function<void()> handle)
    : _handler(std::make_shared<Handler>()), _fd(displayDescriptor(window)) {
  _handler->handle = std::move(handle);
  _pollInterval =
      _fd >= 0 || driverOnlyGetsPushedEvents() ? std::numeric_limits<double>::infinity() : 1.0 / 60;
  SDL_AddEventWatch(&SDLEventSource::pushed, this);
  RunLoop::main().addSource(this);
}

SDLEventSource::~SDLEventSource() {
  RunLoop::main().removeSource(this);
  SDL_DelEventWatch(&SDLEventSource::pushed, this);
}

int SDLEventSource::pushed(void* source, SDL_Event* event) {
  if (event->type == kPollSentinel) return 0;
  // Called as an event is queued, before it is in the queue; the posted handling runs after
  // the pushing code on the main thread has returned, and not at all once the source is gone.
  auto& handler = static_cast<SDLEventSource*>(source)->_handler;
  if (!handler->posted.exchange(true)) {
    RunLoop::main().post([weak = std::weak_ptr<Handler>(handler)] {
      if (auto h = weak.lock()) {
        h->posted = false;
        h->handle();
      }
    });
  }
  return 0;
}

double SDLEventSource::prepare(std::vector<pollfd>& fds) {
  // Moves what the display connection has already read into SDL's queue (and flushes what we
  // sent): those events would leave the descriptor quiet.
  SDL_PumpEvents();
  if (eventsWaiting()) return 0;
  if (_fd >= 0) fds.push_back(pollfd{_fd, POLLIN, 0});
  return _pollInterval;
}

bool SDLEventSource::dispatch(const pollfd*, size_t, bool) {
  SDL_PumpEvents();
  bool had = eventsWaiting();
  if (had) _handler->handle();
  return had;
}

}  // namespace platform
