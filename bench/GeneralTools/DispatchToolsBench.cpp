// Per-task cost of the task runner for batches of 100, 1,000 and 10,000 tasks added together,
// beside a bare thread pool. The cost per task must not grow with the batch.
#include <benchmark/benchmark.h>

#include <atomic>
#include <semaphore>

#include "Dispatch/GlobalQueue.h"
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

// Adds state.range(0) tasks made by `make` at once and runs the main loop until all completed.
template <class MakeTask>
void runTasks(benchmark::State& state, MakeTask make) {
  DispatchTools tools;
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    int completed = 0;
    DispatchTask::Block complete = [&](DispatchTask&) { ++completed; };
    for (int i = 0; i < count; ++i) tools.addTask(make(complete));
    RunLoop::main().runUntil([&] { return completed == count; }, 600);
  }
  reportPerTask(state);
}

void BM_LocalTasks(benchmark::State& state) {
  runTasks(state, [](const DispatchTask::Block& complete) {
    return DispatchTask::taskWithExecuteBlock(
        [](DispatchTask& task) { benchmark::DoNotOptimize(&task); }, complete);
  });
}

void BM_NetworkTasks(benchmark::State& state) {
  runTasks(state, [](const DispatchTask::Block& complete) {
    // The answer is there at once: the task finishes inside its execute block.
    return DispatchTask::networkTaskWithExecuteBlock(
        [](DispatchTask& task) { task.finishNetworkTask(); }, complete);
  });
}

void BM_BareThreadPool(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  platform::GlobalQueue& pool = platform::GlobalQueue::defaultPriority();
  for (auto _ : state) {
    std::atomic<int> completed{0};
    std::binary_semaphore done(0);
    for (int i = 0; i < count; ++i)
      pool.async([&] {
        if (++completed == count) done.release();
      });
    done.acquire();
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
