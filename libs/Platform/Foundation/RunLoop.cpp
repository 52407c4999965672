#include "Foundation/RunLoop.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <limits>
#include <thread>

#include "Foundation/Console.h"

namespace platform {
namespace {

// Captured during static initialization, which runs on the thread that starts the process.
const std::thread::id kMainThreadId = std::this_thread::get_id();

double realNow() {
  return SystemClock().now();
}

}  // namespace

RunLoop& RunLoop::main() {
  // Never destroyed: background threads may still post to it while the process exits.
  static RunLoop* loop = new RunLoop();
  return *loop;
}

bool RunLoop::isMainThread() {
  return std::this_thread::get_id() == kMainThreadId;
}

RunLoop::RunLoop() : _clock(std::make_shared<SystemClock>()) {
  _wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (_wakeFd < 0) Console::logf("RunLoop: eventfd failed (errno %d)", errno);
}

RunLoop::~RunLoop() {
  if (_wakeFd >= 0) close(_wakeFd);
}

void RunLoop::post(Task task) {
  if (!task) return;
  {
    std::lock_guard lock(_mutex);
    _posted.push_back(std::move(task));
  }
  wakeUp();
}

RunLoop::TimerId RunLoop::schedule(double delay, Task task) {
  if (!task) return 0;
  if (!(delay > 0)) delay = 0;  // also maps NaN to "now"
  TimerId id;
  {
    std::lock_guard lock(_mutex);
    id = _nextTimerId++;
    double deadline = _clock->now() + delay;
    _timers.emplace(std::make_pair(deadline, id), std::move(task));
    _timerDeadlines.emplace(id, deadline);
  }
  wakeUp();
  return id;
}

bool RunLoop::cancel(TimerId id) {
  Task doomed;  // destroyed outside the lock: its captures may run arbitrary destructors
  std::lock_guard lock(_mutex);
  auto it = _timerDeadlines.find(id);
  if (it == _timerDeadlines.end()) return false;
  auto timer = _timers.find(std::make_pair(it->second, id));
  doomed = std::move(timer->second);
  _timers.erase(timer);
  _timerDeadlines.erase(it);
  return true;
}

size_t RunLoop::pendingTimerCount() const {
  std::lock_guard lock(_mutex);
  return _timers.size();
}

double RunLoop::now() const {
  std::lock_guard lock(_mutex);
  return _clock->now();
}

std::shared_ptr<Clock> RunLoop::clock() const {
  std::lock_guard lock(_mutex);
  return _clock;
}

void RunLoop::setClock(std::shared_ptr<Clock> clock) {
  if (!clock) clock = std::make_shared<SystemClock>();
  {
    std::lock_guard lock(_mutex);
    double oldNow = _clock->now();
    double newNow = clock->now();
    std::map<std::pair<double, TimerId>, Task> rebased;
    for (auto& [key, task] : _timers) {
      double deadline = newNow + (key.first - oldNow);
      rebased.emplace(std::make_pair(deadline, key.second), std::move(task));
      _timerDeadlines[key.second] = deadline;
    }
    _timers = std::move(rebased);
    _clock = std::move(clock);
  }
  wakeUp();
}

bool RunLoop::checkThread(const char* operation) const {
  if (isMainThread()) return true;
  Console::logf("RunLoop: %s called off the main thread; ignored", operation);
  return false;
}

bool RunLoop::takeDueTimer(double now, Task& task) {
  std::lock_guard lock(_mutex);
  if (_timers.empty() || _timers.begin()->first.first > now) return false;
  auto first = _timers.begin();
  _timerDeadlines.erase(first->first.second);
  task = std::move(first->second);
  _timers.erase(first);
  return true;
}

size_t RunLoop::runReadyWork() {
  size_t ran = 0;
  // Work posted while this pass runs waits for the next pass, so a handler that posts itself
  // again cannot starve timers.
  std::deque<Task> batch;
  {
    std::lock_guard lock(_mutex);
    batch.swap(_posted);
  }
  for (Task& task : batch) {
    task();
    ++ran;
  }
  double now = this->now();
  Task timer;
  while (takeDueTimer(now, timer)) {
    timer();
    timer = nullptr;
    ++ran;
  }
  return ran;
}

size_t RunLoop::runPending() {
  if (!checkThread("runPending")) return 0;
  size_t total = 0;
  while (size_t ran = runReadyWork() + waitForWork(0)) total += ran;
  return total;
}

void RunLoop::wakeUp() {
  if (_wakeFd < 0) return;
  std::uint64_t one = 1;
  ssize_t written = write(_wakeFd, &one, sizeof one);
  (void)written;  // a full counter already means "wake up"
}

void RunLoop::addSource(Source* source) {
  if (!source || !checkThread("addSource")) return;
  if (std::find(_sources.begin(), _sources.end(), source) == _sources.end())
    _sources.push_back(source);
}

void RunLoop::removeSource(Source* source) {
  if (!checkThread("removeSource")) return;
  std::erase(_sources, source);
}

size_t RunLoop::waitForWork(double maxSeconds) {
  double wait = maxSeconds;
  {
    std::lock_guard lock(_mutex);
    if (!_posted.empty()) wait = 0;
    if (!_timers.empty() && !_clock->isVirtual())
      wait = std::min(wait, _timers.begin()->first.first - _clock->now());
  }
  if (!(wait > 0)) wait = 0;

  std::vector<pollfd> fds;
  if (_wakeFd >= 0) fds.push_back(pollfd{_wakeFd, POLLIN, 0});
  struct Range {
    Source* source;
    size_t begin;
    size_t count;
    double deadline;  // real time
  };
  std::vector<Range> ranges;
  double start = realNow();
  const std::vector<Source*> sources = _sources;  // a source may remove itself while served
  for (Source* source : sources) {
    size_t begin = fds.size();
    double due = source->prepare(fds);
    ranges.push_back(Range{source, begin, fds.size() - begin, start + due});
    wait = std::min(wait, std::max(due, 0.0));
  }

  if (fds.empty()) {
    if (wait > 0) std::this_thread::sleep_for(std::chrono::duration<double>(std::min(wait, 0.01)));
  } else {
    timespec timeout{};
    timespec* timeoutPointer = nullptr;
    if (std::isfinite(wait)) {
      double whole = std::floor(wait);
      timeout.tv_sec = static_cast<time_t>(whole);
      timeout.tv_nsec = static_cast<long>((wait - whole) * 1e9);
      timeoutPointer = &timeout;
    }
    int ready = ppoll(fds.data(), fds.size(), timeoutPointer, nullptr);
    if (ready < 0) {
      for (pollfd& fd : fds) fd.revents = 0;  // interrupted: treat as a plain wake-up
    } else if (_wakeFd >= 0 && (fds[0].revents & POLLIN)) {
      std::uint64_t count;
      ssize_t got = read(_wakeFd, &count, sizeof count);
      (void)got;
    }
  }

  size_t served = 0;
  double after = realNow();
  for (const Range& range : ranges) {
    if (std::find(_sources.begin(), _sources.end(), range.source) == _sources.end()) continue;
    bool events = false;
    for (size_t i = range.begin; i < range.begin + range.count; ++i) events |= fds[i].revents != 0;
    bool due = after >= range.deadline;
    if (!events && !due) continue;
    const pollfd* first = range.count ? &fds[range.begin] : nullptr;
    if (range.source->dispatch(first, range.count, due)) ++served;
  }
  return served;
}

bool RunLoop::runUntil(const std::function<bool()>& condition, double timeout) {
  if (!checkThread("runUntil")) return condition && condition();
  double deadline = realNow() + (timeout > 0 ? timeout : 0);
  while (true) {
    if (condition && condition()) return true;
    bool ranSomething = runReadyWork() > 0;
    double remaining = deadline - realNow();
    if (remaining <= 0) return condition && condition();
    // The condition may turn true without anything reaching the loop (another thread sets
    // it), so it is looked at again at least every few milliseconds. Sources are served even
    // while posted work keeps coming, so a busy loop cannot starve a transfer.
    waitForWork(ranSomething ? 0 : std::min(remaining, 0.005));
  }
}

void RunLoop::run() {
  if (!checkThread("run")) return;
  // A stop() that came before run() got going is not lost: run() returns at once.
  while (true) {
    {
      std::lock_guard lock(_mutex);
      if (_stopRequested) {
        _stopRequested = false;
        return;
      }
    }
    bool ranSomething = runReadyWork() > 0;
    waitForWork(ranSomething ? 0 : std::numeric_limits<double>::infinity());
  }
}

void RunLoop::stop() {
  {
    std::lock_guard lock(_mutex);
    _stopRequested = true;
  }
  wakeUp();
}

void RunLoop::advanceBy(double seconds) {
  if (!checkThread("advanceBy")) return;
  auto virtualClock = std::dynamic_pointer_cast<VirtualClock>(clock());
  if (!virtualClock) {
    Console::log("RunLoop: advanceBy needs a virtual clock; ignored");
    return;
  }
  double target = virtualClock->now() + (seconds > 0 ? seconds : 0);
  runPending();
  while (true) {
    double nextDeadline;
    {
      std::lock_guard lock(_mutex);
      if (_timers.empty() || _timers.begin()->first.first > target) break;
      nextDeadline = _timers.begin()->first.first;
    }
    virtualClock->advanceTo(nextDeadline);
    runPending();
  }
  virtualClock->advanceTo(target);
  runPending();
}

}  // namespace platform
