// The catalogue controller at scale: starting over 10,000 files on disk (new and restored),
// planning the downloads of a catalogue and ordering its items (the cost per name should not
// grow from 1,000 to 20,000 names), taking names out of the local lists, and rendering previews of
// the sample pack on both cores against one after another.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "Content/ContentControl.h"
#include "Content/ContentServiceRequest.h"
#include "Foundation/AppContainer.h"
#include "Foundation/Bundle.h"
#include "Foundation/FileManager.h"
#include "Foundation/JSONSerialization.h"
#include "Foundation/KeyedArchiver.h"
#include "Foundation/KeyedUnarchiver.h"
#include "Foundation/RunLoop.h"
#include "GeneralTools/DataSource.h"
#include "GeneralTools/DispatchTools.h"
#include "Imaging/ImageCache.h"
#include "TestSupport.h"

namespace {

const char* const kPrefixes[] = {"fon", "frame", "clipart", "face", "tbframe"};

std::string contentName(size_t i) {
  // Two files per item: the picture and its preview.
  return std::string(kPrefixes[(i / 2) % 5]) + std::to_string(i / 10) +
         (i % 2 ? "_small.png" : ".png");
}

// An app container whose content folder holds `count` small files, all recorded as downloaded
// in version "1" and listed by the catalogue in the same version.
class Device {
 public:
  explicit Device(size_t count) {
    platform::AppContainer::setRootOverride(_root.path());
    platform::Bundle::setMainBundlePath(_resources.path());
    std::string folder =
        _root.path() + "/Library/Application Support/" + ContentControl::kContentFolderName;
    std::filesystem::create_directories(folder);
    platform::Dictionary versions;
    for (size_t i = 0; i < count; ++i) {
      std::ofstream(folder + "/" + contentName(i)) << "x";
      versions.emplace(contentName(i), platform::Value("1"));
    }
    _maps = std::move(versions);
  }
  ~Device() {
    platform::AppContainer::setRootOverride(std::nullopt);
    platform::Bundle::setMainBundlePath(std::nullopt);
  }
  // The archive of a controller that knows every file.
  platform::Bytes archive() const {
    class Archived : public platform::Archivable {
     public:
      explicit Archived(const platform::Dictionary& maps) : _maps(maps) {}
      std::string className() const override { return ContentControl::kArchiveKey; }
      void encodeWithCoder(platform::KeyedArchiver& coder) const override {
        coder.encodeObject(platform::Value(_maps), "curServerContent");
        coder.encodeObject(platform::Value(_maps), "curDownloadedContent");
      }
      const platform::Dictionary& _maps;
    };
    return platform::KeyedArchiver::archivedDataWithRootObject(
        platform::Value(std::make_shared<Archived>(_maps)));
  }

 private:
  testing_support::TemporaryDirectory _root;
  testing_support::TemporaryDirectory _resources;
  platform::Dictionary _maps;
};

void BM_StartOverFiles(benchmark::State& state) {
  Device device(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ContentControl::init());
  state.counters["files"] = static_cast<double>(state.range(0));
}

void BM_RestoreOverFiles(benchmark::State& state) {
  Device device(static_cast<size_t>(state.range(0)));
  platform::Bytes archive = device.archive();
  for (auto _ : state)
    benchmark::DoNotOptimize(platform::KeyedUnarchiver::unarchiveObjectWithData(archive));
}

// Planning when every file is up to date (a check and a look at the disk per name), and when
// every file is missing (a download task per name, grouped by item).
void BM_PlanDownloads(benchmark::State& state) {
  size_t count = static_cast<size_t>(state.range(0));
  bool missing = state.range(1) != 0;
  Device device(missing ? 0 : count);
  platform::Value catalogue = platform::JSONSerialization::JSONObjectWithData([&] {
                                std::string json = "{\"ver\":\"1\",\"curList\":[";
                                for (size_t i = 0; i < count; ++i)
                                  json += (i ? ",\"" : "\"") + contentName(i) + "\"";
                                return json + "]}";
                              }())
                                  .value();
  auto archive = device.archive();
  auto restored =
      platform::KeyedUnarchiver::unarchiveObjectWithData(archive)->objectAs<ContentControl>();
  DataSource::data().insert_or_assign(ContentControl::kCurrentServerContentVersionDataSourceKey,
                                      platform::Value("1"));
  for (auto _ : state) {
    state.PauseTiming();
    // Up to date: the restored controller knows every file (planning leaves it as it was).
    // Missing: a new controller that has downloaded nothing.
    std::shared_ptr<ContentControl> control = restored;
    if (missing) {
      control = ContentControl::init();
      ContentServiceRequest::applyChanges(
          const_cast<ContentName::VersionMap&>(control->curServerContent()), catalogue);
    }
    state.ResumeTiming();
    control->downloadContent();
    state.PauseTiming();
    control->conveyor()->stopConveyor();
    control->conveyor()->clearLines();
    DispatchTools::Instance().cancelAllTasks();
    platform::RunLoop::main().runUntil([] { return DispatchTools::Instance().taskCount() == 0; },
                                       10);
    state.ResumeTiming();
  }
  state.counters["ns_per_name"] =
      benchmark::Counter(static_cast<double>(state.iterations() * count),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The least planning can cost per name: one look-up in each of two maps of the catalogue's size
// and one look at the disk. Planning's cost divided by this shows what it adds per name.
void BM_BaselineLookups(benchmark::State& state) {
  size_t count = static_cast<size_t>(state.range(0));
  Device device(count);
  std::string folder = platform::AppContainer::rootPath().value() +
                       "/Library/Application Support/" + ContentControl::kContentFolderName;
  ContentName::VersionMap listed, downloaded;
  for (size_t i = 0; i < count; ++i) {
    listed.emplace(contentName(i), "1");
    downloaded.emplace(contentName(i), "1");
  }
  for (auto _ : state) {
    size_t found = 0;
    for (const auto& [name, version] : listed) {
      auto entry = downloaded.find(name);
      found += entry != downloaded.end() && entry->second == version &&
               platform::FileManager::fileExistsAtPath(
                   platform::FileManager::stringByAppendingPathComponent(folder, name));
    }
    benchmark::DoNotOptimize(found);
  }
  state.counters["ns_per_name"] =
      benchmark::Counter(static_cast<double>(state.iterations() * count),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_OrderItems(benchmark::State& state) {
  size_t count = static_cast<size_t>(state.range(0));
  Device device(count);
  auto control = platform::KeyedUnarchiver::unarchiveObjectWithData(device.archive())
                     ->objectAs<ContentControl>();
  size_t items = 0;
  for (auto _ : state) {
    auto list = control->contentItemsForType(ContentTypeClipart);
    items = list->size();
    benchmark::DoNotOptimize(list);
  }
  state.counters["ns_per_name"] =
      benchmark::Counter(static_cast<double>(state.iterations() * count),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["items"] = static_cast<double>(items);
}

// Taking every name out of the local lists one by one, first listed first (a failed group takes
// its item's names out; a removed item leaves): the cost per name should not grow with the
// list's length.
void BM_RemoveFromLists(benchmark::State& state) {
  size_t count = static_cast<size_t>(state.range(0));
  Device device(count);
  for (auto _ : state) {
    state.PauseTiming();
    auto control = ContentControl::init();
    std::vector<std::string> names;
    for (int type = 0; type < kContentTypeCount; ++type) {
      auto list = control->localListOfType(static_cast<ContentType>(type));
      names.insert(names.end(), list.begin(), list.end());
    }
    state.ResumeTiming();
    for (const std::string& name : names) control->removeContentFile(name);
    state.PauseTiming();
    control.reset();
    state.ResumeTiming();
  }
  state.counters["ns_per_name"] =
      benchmark::Counter(static_cast<double>(state.iterations() * count),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_StartOverFiles)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RestoreOverFiles)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlanDownloads)
    ->ArgsProduct({{1000, 5000, 20000}, {0, 1}})
    ->ArgNames({"names", "missing"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineLookups)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OrderItems)->Arg(1000)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveFromLists)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(50000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
