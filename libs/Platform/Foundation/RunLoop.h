#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

struct pollfd;

#include "Foundation/Clock.h"

namespace platform {

// The main run loop: the one place where screens, notifications, task completions, connection
// callbacks and timers run. Work can be posted and timers scheduled from any thread; the loop
// itself is run only by the main thread (the thread that started the process).
//
// Timers follow the loop's clock. With a virtual clock they fire only when advanceBy() moves
// time, so a test can jump over a 300-second retry without sleeping; posted work still runs at
// once.
class RunLoop {
 public:
  using Task = std::function<void()>;
  using TimerId = std::uint64_t;

  // Something besides posted work and timers that the loop waits for: descriptors to poll and a
  // deadline in real time (the loop's clock may be virtual, but sockets are not). Sources are
  // added and served on the main thread only; an HTTP client is the typical one.
  class Source {
   public:
    virtual ~Source() = default;
    // Appends the descriptors to watch; returns the real seconds until the source wants
    // service even without descriptor events (infinity for never, 0 or less for now).
    virtual double prepare(std::vector<pollfd>& fds) = 0;
    // Called after each wait with the descriptors it appended, their events filled in, and
    // whether its deadline has passed. Returns whether it did any work.
    virtual bool dispatch(const pollfd* fds, size_t count, bool deadlinePassed) = 0;
  };

  static RunLoop& main();
  static bool isMainThread();

  // Queues `task` to run on the loop's thread, after the work already queued.
  void post(Task task);
  // Runs `task` on the loop's thread once `delay` seconds of the loop's clock have passed.
  TimerId schedule(double delay, Task task);
  // Cancels a timer that has not fired; returns whether it was still pending.
  bool cancel(TimerId id);
  size_t pendingTimerCount() const;

  // Runs posted work and due timers until `condition` holds or `timeout` seconds of real time
  // pass (real time even under a virtual clock, so a wait can never be endless). Returns the
  // condition's last answer. Main thread only; may be nested inside a handler.
  bool runUntil(const std::function<bool()>& condition, double timeout);
  // Runs until stop() is called (a stop() already requested ends it at once).
  void run();
  void stop();
  // Runs what is ready now (posted work and due timers) without waiting; returns how many
  // handlers ran.
  size_t runPending();
  // Virtual clock only: moves time forward by `seconds`, firing each timer that falls due in
  // deadline order, with the posted work it causes run between timers.
  void advanceBy(double seconds);

  // Main thread only. The source must stay alive until it is removed.
  void addSource(Source* source);
  void removeSource(Source* source);

  double now() const;
  std::shared_ptr<Clock> clock() const;
  // Replaces the clock; pending timers keep the time they had left.
  void setClock(std::shared_ptr<Clock> clock);

  RunLoop(const RunLoop&) = delete;
  RunLoop& operator=(const RunLoop&) = delete;

 private:
  RunLoop();
  ~RunLoop();

  size_t runReadyWork();
  bool takeDueTimer(double now, Task& task);
  // Waits up to `maxSeconds` for posted work, a due timer or a source; serves the sources that
  // became ready and returns how many did work.
  size_t waitForWork(double maxSeconds);
  void wakeUp();
  bool checkThread(const char* operation) const;

  mutable std::mutex _mutex;
  std::deque<Task> _posted;
  std::map<std::pair<double, TimerId>, Task> _timers;
  std::unordered_map<TimerId, double> _timerDeadlines;
  TimerId _nextTimerId = 1;
  std::shared_ptr<Clock> _clock;
  bool _stopRequested = false;
  int _wakeFd = -1;
  std::vector<Source*> _sources;  // main thread only
};

}  // namespace platform
