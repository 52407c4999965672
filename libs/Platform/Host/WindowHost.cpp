#include "Host/WindowHost.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>

#include "Foundation/Console.h"
#include "Foundation/RunLoop.h"
#include "Graphics/ImageDecoder.h"
#include "Host/PointerTouchEmulator.h"
#include "Host/SDLEventSource.h"
#include "Host/SurfacePresenter.h"
#include "UI/CALayer.h"
#include "UI/Compositor.h"
#include "UI/UIApplication.h"
#include "UI/UIImagePickerController.h"
#include "UI/UIWindow.h"

namespace platform {
namespace {

// The picture at `path` as the window's icon; a console line when it cannot be read.
void setWindowIcon(SDL_Window* window, const std::string& path) {
  auto icon = ImageDecoder::imageWithContentsOfFile(path, 1);
  if (!icon) {
    Console::log("Window host: cannot read the icon " + path);
    return;
  }
  const Bitmap& pixels = icon->bitmap();
  if (pixels.bytesPerPixel() != 4) return;
  // The bitmap's 32-bit pixels are ARGB in native order, as SDL's ARGB8888 format is.
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<std::uint8_t*>(pixels.data()), pixels.width(), pixels.height(), 32,
      static_cast<int>(pixels.bytesPerRow()), SDL_PIXELFORMAT_ARGB8888);
  if (!surface) return;
  SDL_SetWindowIcon(window, surface);
  SDL_FreeSurface(surface);
}

constexpr double kFrameInterval = 1.0 / 60;

// The SDL window of one run, released whatever way the run ends.
struct Session {
  SDL_Window* window = nullptr;
  ~Session() {
    if (window) SDL_DestroyWindow(window);
    SDL_Quit();
  }
};

}  // namespace

WindowHost::WindowHost(DeviceProfile profile) : WindowHost(std::move(profile), Options{}) {}

WindowHost::WindowHost(DeviceProfile profile, Options options)
    : _profile(std::move(profile)), _options(std::move(options)) {}

int WindowHost::run(std::shared_ptr<UIApplicationDelegate> delegate,
                    const Dictionary& launchOptions) {
  DeviceProfile::setCurrent(_profile);
  if (_options.cameraPipeline) UIImagePickerController::setCameraPipeline(_options.cameraPipeline);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    Console::log(std::string("Window host: no display: ") + SDL_GetError());
    return 1;
  }
  Session session;
  int pw = static_cast<int>(std::ceil(_profile.screenWidth * _profile.scale));
  int ph = static_cast<int>(std::ceil(_profile.screenHeight * _profile.scale));
  double zoom = _options.zoom;
  if (zoom <= 0) {
    SDL_Rect usable;
    zoom = 1;
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0 && usable.w > 0 && usable.h > 0)
      zoom =
          std::min({1.0, usable.w / static_cast<double>(pw), usable.h / static_cast<double>(ph)});
  }
  int ww = std::max(1, static_cast<int>(pw * zoom)), wh = std::max(1, static_cast<int>(ph * zoom));
  // The window's surface in memory shared with the display server (where the driver has one)
  // takes a few small copies per frame; one drawn through OpenGL would redraw the whole window
  // each time, on the CPU where the GL is a software one. A setting by the user still wins.
  SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
  session.window = SDL_CreateWindow(_options.title.c_str(), SDL_WINDOWPOS_CENTERED,
                                    SDL_WINDOWPOS_CENTERED, ww, wh, SDL_WINDOW_SHOWN);
  if (!session.window || !SDL_GetWindowSurface(session.window)) {
    Console::log(std::string("Window host: cannot make the window: ") + SDL_GetError());
    return 1;
  }
  if (_options.iconPath) setWindowIcon(session.window, *_options.iconPath);

  UIApplication& app = UIApplication::sharedApplication();
  RunLoop& loop = RunLoop::main();
  Compositor compositor;
  SurfacePresenter presenter(session.window);
  std::uint64_t presentedSerial = 0;
  bool presentAll = true;
  _frames = 0;
  _pixels = 0;
  // Window pixels to the screen's points.
  double toPoints = 1.0 / (zoom * _profile.scale);

  auto touch = [&](HostTouch::Phase phase, long id, double x, double y) {
    app.handleHostTouch(HostTouch{phase, id, Point{x, y}, loop.now()});
  };
  PointerTouchEmulator pointer([&](const HostTouch& t) { app.handleHostTouch(t); },
                               Point{_profile.screenWidth / 2, _profile.screenHeight / 2});
  auto twoFingerModifier = [] { return (SDL_GetModState() & (KMOD_CTRL | KMOD_ALT)) != 0; };
  auto quit = [&] {
    app.terminate();
    loop.stop();
  };

  auto handleEvents = [&] {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      switch (event.type) {
        case SDL_QUIT:
          quit();
          return;
        case SDL_WINDOWEVENT:
          switch (event.window.event) {
            case SDL_WINDOWEVENT_FOCUS_LOST:
              pointer.cancel();
              app.resignActive();
              break;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
              app.becomeActive();
              break;
            case SDL_WINDOWEVENT_MINIMIZED:
              app.enterBackground();
              break;
            case SDL_WINDOWEVENT_RESTORED:
              app.enterForeground();
              break;
            case SDL_WINDOWEVENT_EXPOSED:
              // The window's surface still holds the screen: it only needs showing again.
              presentAll = true;
              Compositor::setNeedsComposite();
              break;
          }
          break;
        case SDL_MOUSEBUTTONDOWN:
          if (event.button.which == SDL_TOUCH_MOUSEID || event.button.button != SDL_BUTTON_LEFT)
            break;
          pointer.buttonDown(Point{event.button.x * toPoints, event.button.y * toPoints},
                             twoFingerModifier());
          break;
        case SDL_MOUSEMOTION:
          if (event.motion.which != SDL_TOUCH_MOUSEID)
            pointer.pointerMoved(Point{event.motion.x * toPoints, event.motion.y * toPoints});
          break;
        case SDL_MOUSEBUTTONUP:
          if (event.button.which == SDL_TOUCH_MOUSEID || event.button.button != SDL_BUTTON_LEFT)
            break;
          pointer.buttonUp(Point{event.button.x * toPoints, event.button.y * toPoints});
          break;
        case SDL_MOUSEWHEEL: {
          if (event.wheel.which == SDL_TOUCH_MOUSEID) break;
          int x = 0, y = 0;
          SDL_GetMouseState(&x, &y);
          double flip = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
          bool shift = (SDL_GetModState() & KMOD_SHIFT) != 0;
          // A sideways wheel, or the wheel with shift, turns; the wheel alone pinches.
          if (event.wheel.preciseX != 0)
            pointer.wheel(Point{x * toPoints, y * toPoints}, flip * event.wheel.preciseX, true);
          if (event.wheel.preciseY != 0)
            pointer.wheel(Point{x * toPoints, y * toPoints}, flip * event.wheel.preciseY, shift);
          break;
        }
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP: {
          auto phase = event.type == SDL_FINGERDOWN ? HostTouch::Phase::Began
                       : event.type == SDL_FINGERUP ? HostTouch::Phase::Ended
                                                    : HostTouch::Phase::Moved;
          // Finger positions come normalised to the window. Touch-screen fingers count from 1,
          // clear of the pointer's own fingers (0 and -1).
          long finger = 1 + static_cast<long>(event.tfinger.fingerId & 0x7fffffff);
          touch(phase, finger, event.tfinger.x * _profile.screenWidth,
                event.tfinger.y * _profile.screenHeight);
          break;
        }
      }
    }
  };

  // Work left on the loop when the run ends must not reach this frame's locals.
  auto alive = std::make_shared<bool>(true);
  auto guarded = [alive](std::function<void()> task) {
    return [alive, task = std::move(task)] {
      if (*alive) task();
    };
  };
  // A change asks for one frame, paced to at most 60 a second; running animations ask for the
  // next one from each frame. Nothing runs while nothing changes.
  std::atomic<bool> frameWanted{false};
  std::atomic<double> lastFrame{-std::numeric_limits<double>::infinity()};
  std::function<void()> frame;
  auto requestFrame = [&] {
    if (!frameWanted.exchange(true))
      loop.schedule(std::max(0.0, lastFrame + kFrameInterval - loop.now()), guarded(frame));
  };
  frame = [&] {
    frameWanted = false;  // changes made while drawing ask for another frame
    lastFrame = loop.now();
    auto window = app.keyWindow();
    bool changed = Compositor::changeSerial() != presentedSerial || CALayer::layersAnimating() > 0;
    presentedSerial = Compositor::changeSerial();
    std::vector<Rect> damage;
    if (window && (changed || !_options.fullFrames))
      damage = compositor.updateWindow(*window, _profile.scale, loop.now(), _options.fullFrames);
    const BitmapContext* canvas = compositor.canvas();
    const Bitmap* pixels = canvas ? canvas->pixels() : nullptr;
    if (pixels && (!damage.empty() || presentAll) &&
        presenter.present(*pixels, damage, presentAll || _options.fullFrames)) {
      ++_frames;
      for (const Rect& r : damage) _pixels += r.width() * r.height();
      if (_frames == 1 && _options.firstFramePresented) _options.firstFramePresented();
    }
    presentAll = false;
    if (_options.fullFrames) {
      loop.schedule(kFrameInterval, guarded(frame));
    } else if (CALayer::layersAnimating() > 0) {
      requestFrame();
    }
  };

  SDLEventSource events(session.window, handleEvents);
  if (!_options.fullFrames) Compositor::setChangeObserver(requestFrame);
  if (_options.quitAfter > 0) loop.schedule(_options.quitAfter, guarded(quit));
  app.setDelegate(std::move(delegate));
  app.launch(launchOptions);
  if (_options.fullFrames) {
    loop.schedule(0, guarded(frame));
  } else {
    requestFrame();
  }
  loop.run();
  Compositor::setChangeObserver(nullptr);
  *alive = false;
  return 0;
}

}  // namespace platform
