// The SVG converter on the fidelity set of the converter's tests: conversion time per file
// (from SVG text in memory to serialized ProtoSVG bytes), with each output's size against its
// source; totals for the set are printed after the runs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "SvgConverter.h"

namespace {

struct Sample {
  std::string name;
  std::string svg;
  size_t outputBytes = 0;
};

std::vector<Sample> loadSamples() {
  std::filesystem::path directory =
      std::filesystem::path(__FILE__).parent_path() / "../../tests/tools/svg2svgpb/fidelity";
  std::vector<Sample> samples;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
    if (entry.path().extension() != ".svg") continue;
    std::ifstream file(entry.path(), std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    samples.push_back({entry.path().filename().string(), text.str()});
  }
  std::sort(samples.begin(), samples.end(),
            [](const Sample& a, const Sample& b) { return a.name < b.name; });
  return samples;
}

void convert(benchmark::State& state, Sample* sample) {
  std::string error;
  for (auto _ : state) {
    auto conversion = svgconvert::SvgConverter::convert(sample->svg, error);
    if (!conversion) {
      state.SkipWithError(error.c_str());
      return;
    }
    std::string bytes = conversion->root.SerializeAsString();
    sample->outputBytes = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sample->svg.size()));
  state.counters["svg_bytes"] = static_cast<double>(sample->svg.size());
  state.counters["svgpb_bytes"] = static_cast<double>(sample->outputBytes);
  state.counters["size_ratio"] =
      static_cast<double>(sample->outputBytes) / static_cast<double>(sample->svg.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<Sample> samples = loadSamples();
  if (samples.empty()) {
    std::fprintf(stderr, "Svg2SvgpbBench: no SVG files found beside the converter's tests\n");
    return 1;
  }
  for (Sample& sample : samples)
    benchmark::RegisterBenchmark(("Convert/" + sample.name).c_str(), convert, &sample)
        ->Unit(benchmark::kMicrosecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  // One more timed pass over the whole set, for totals.
  size_t svgBytes = 0, svgpbBytes = 0;
  std::string error;
  auto start = std::chrono::steady_clock::now();
  for (const Sample& sample : samples) {
    auto conversion = svgconvert::SvgConverter::convert(sample.svg, error);
    svgBytes += sample.svg.size();
    if (conversion) svgpbBytes += conversion->root.SerializeAsString().size();
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("Totals: %zu files, %zu SVG bytes -> %zu svgpb bytes (%.2f), %.1f ms for the set\n",
              samples.size(), svgBytes, svgpbBytes,
              static_cast<double>(svgpbBytes) / static_cast<double>(svgBytes), seconds * 1000);
  return 0;
}
