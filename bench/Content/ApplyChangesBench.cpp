// applyChanges with full lists and differences of growing size: the cost per name should not
// grow with the catalogue (1,000 to 50,000 names; differences a tenth of the list, at most 5,000).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>

#include "Content/ContentServiceRequest.h"

using platform::Array;
using platform::Dictionary;
using platform::Value;

namespace {

const char* const kPrefixes[] = {"fon", "frame", "clipart", "face", "tbframe"};
const char* const kVariants[] = {".png", "_small.png", "_iph5.png", "_mask.jpg", ".svgpb"};

// Catalogue names in server order (shuffled), all distinct.
std::vector<std::string> names(size_t count, unsigned seed) {
  std::vector<std::string> list;
  list.reserve(count);
  for (size_t i = 0; i < count; ++i)
    list.push_back(std::string(kPrefixes[i % 5]) + std::to_string(i / 25) + kVariants[(i / 5) % 5]);
  std::shuffle(list.begin(), list.end(), std::mt19937(seed));
  return list;
}

Array asArray(const std::vector<std::string>& list) {
  return Array(list.begin(), list.end());
}

void BM_FullList(benchmark::State& state) {
  size_t count = static_cast<size_t>(state.range(0));
  Value answer(Dictionary{{"ver", Value("12")}, {"curList", Value(asArray(names(count, 1)))}});
  for (auto _ : state) {
    ContentName::VersionMap map;
    ContentServiceRequest::applyChanges(map, answer);
    benchmark::DoNotOptimize(map);
  }
  state.counters["ns_per_name"] =
      benchmark::Counter(static_cast<double>(state.iterations() * count),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The least any full list can cost: the same strings put into the same kind of map, without
// reading values. The ratio of BM_FullList to this shows what applyChanges adds per name.
void BM_BaselineMapFill(benchmark::State& state) {
  size_t count = static_cast<size_t>(state.range(0));
  std::vector<std::string> list = names(count, 1);
  for (auto _ : state) {
    ContentName::VersionMap map;
    map.reserve(count);
    for (const auto& name : list) map.insert_or_assign(name, "12");
    benchmark::DoNotOptimize(map);
  }
  state.counters["ns_per_name"] =
      benchmark::Counter(static_cast<double>(state.iterations() * count),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Difference(benchmark::State& state) {
  size_t count = static_cast<size_t>(state.range(0));
  size_t changes = std::min<size_t>(count / 10, 5000);
  std::vector<std::string> catalogue = names(count, 2);
  ContentName::VersionMap base;
  for (const auto& name : catalogue) base.emplace(name, "11");
  // A third new, a third changed, a third deleted.
  Array added, changed, deleted;
  for (size_t i = 0; i < changes; ++i) {
    if (i % 3 == 0) added.push_back(Value("new" + std::to_string(i) + ".png"));
    if (i % 3 == 1) changed.push_back(Value(catalogue[i]));
    if (i % 3 == 2) deleted.push_back(Value(catalogue[i]));
  }
  Value answer(Dictionary{
      {"ver", Value("12")},
      {"diff", Value(Dictionary{
                   {"new", Value(added)}, {"chg", Value(changed)}, {"del", Value(deleted)}})}});
  for (auto _ : state) {
    state.PauseTiming();
    ContentName::VersionMap map = base;
    state.ResumeTiming();
    ContentServiceRequest::applyChanges(map, answer);
    benchmark::DoNotOptimize(map);
  }
  state.counters["ns_per_name"] =
      benchmark::Counter(static_cast<double>(state.iterations() * changes),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_FullList)->Arg(1000)->Arg(5000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineMapFill)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(50000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Difference)->Arg(10000)->Arg(20000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
