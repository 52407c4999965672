// Saving and loading a settings archive that holds a 20,000-entry string map.
#include <benchmark/benchmark.h>

#include <string>

#include "GeneralTools/DataSource.h"
#include "TestSupport.h"

namespace {

constexpr int kEntries = 20000;

platform::Dictionary stringMap() {
  platform::Dictionary map;
  for (int i = 0; i < kEntries; ++i)
    map.emplace("clipart_" + std::to_string(i) + ".svgpb", std::to_string(100000 + i));
  return map;
}

void BM_SaveData(benchmark::State& state) {
  testing_support::ScopedAppContainer container;
  DataSource store;
  store.dictionary()["curServerContent"] = stringMap();
  for (auto _ : state) store.saveData();
  state.SetItemsProcessed(state.iterations() * kEntries);
}

void BM_LoadData(benchmark::State& state) {
  testing_support::ScopedAppContainer container;
  {
    DataSource store;
    store.dictionary()["curServerContent"] = stringMap();
    store.saveData();
  }
  DataSource store;
  for (auto _ : state) {
    store.loadData();
    benchmark::DoNotOptimize(store.dictionary().size());
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}

}  // namespace

BENCHMARK(BM_SaveData)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadData)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
