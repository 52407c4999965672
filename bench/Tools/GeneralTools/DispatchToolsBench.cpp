// Per-task cost of the task runner for batches of 100, 1,000 and 10,000 tasks added together,
// beside a bare thread pool. The cost per task must not grow with the batch.
#include <benchmark/benchmark.h>

#include <atomic>

#include "Dispatch/GlobalQueue.h"
#include "Dispatch/Semaphore.h"
#include "Foundation/RunLoop.h"
#include "GeneralTools/DispatchTools.h"

using platform::RunLoop;

namespace {

void reportPerTask(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["per_task"] =
      benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_LocalTasks(benchmark::State& state) {
  DispatchTools tools;
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    int completed = 0;
    for (int i = 0; i < count; ++i)
      tools.addTask(DispatchTask::taskWithExecuteBlock(
          [](DispatchTask& task) { benchmark::DoNotOptimize(&task); },
          [&](DispatchTask&) { ++completed; }));
    RunLoop::main().runUntil([&] { return completed == count; }, 600);
  }
  reportPerTask(state);
}

void BM_NetworkTasks(benchmark::State& state) {
  DispatchTools tools;
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    int completed = 0;
    for (int i = 0; i < count; ++i)
      tools.addTask(DispatchTask::networkTaskWithExecuteBlock(
          [](DispatchTask& task) { task.finishNetworkTask(); },  // the answer is there at once
          [&](DispatchTask&) { ++completed; }));
    RunLoop::main().runUntil([&] { return completed == count; }, 600);
  }
  reportPerTask(state);
}

void BM_BareThreadPool(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  platform::GlobalQueue& pool = platform::GlobalQueue::defaultPriority();
  for (auto _ : state) {
    std::atomic<int> completed{0};
    platform::Semaphore done(0);
    for (int i = 0; i < count; ++i)
      pool.async([&] {
        if (++completed == count) done.signal();
      });
    done.wait();
  }
  reportPerTask(state);
}

}  // namespace

BENCHMARK(BM_LocalTasks)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_NetworkTasks)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_BareThreadPool)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
