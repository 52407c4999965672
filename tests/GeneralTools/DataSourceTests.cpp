#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

#include "Foundation/AtomicFile.h"
#include "Foundation/FileManager.h"
#include "Foundation/KeyedArchiver.h"
#include "Foundation/RunLoop.h"
#include "GeneralTools/DataSource.h"
#include "Graphics/ImageEncoder.h"
#include "Network/URLCache.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::ConsoleCapture;
using testing_support::ScopedAppContainer;

extern char** environ;

namespace {

Bytes bytesOf(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

// The archive's inode, which changes each time a save renames a new file over it; 0 when none.
ino_t archiveInode() {
  struct stat info {};
  return stat(DataSource::archivePath().c_str(), &info) == 0 ? info.st_ino : 0;
}

}  // namespace

TEST(DataSourceTest, AFreshInstallStartsEmptyAndSavedValuesSurviveARestart) {
  {
    ScopedAppContainer container;
    {
      DataSource store;
      EXPECT_TRUE(store.dictionary().empty());
      EXPECT_EQ(DataSource::archivePath(), container.root() + "/Documents/.Settings.archive");
      store.dictionary()["AppVersion"] = "1.0";
      store.dictionary()["LastActiveDate"] = Date{1765000000.5};
      store.dictionary()["ADSAlertsCount"] = Dictionary{{"alert-7", 2}};
      store.saveData();
      store.dictionary()["AppActiveCount"] = 5;  // changed after the last save
    }
    const Dictionary data = DataSource().dictionary();
    EXPECT_EQ(*valueForKey(data, "AppVersion").string(), "1.0");
    EXPECT_EQ(valueForKey(data, "LastActiveDate").dateValue(), Date{1765000000.5});
    EXPECT_EQ(valueForKey(data, "ADSAlertsCount"), Value(Dictionary{{"alert-7", 2}}));
    EXPECT_TRUE(valueForKey(data, "AppActiveCount").isNull());  // never saved: lost
  }
  // Without a home there is no documents directory: nothing is read or written.
  testing_support::ScopedEnvironment xdg("XDG_DATA_HOME", std::nullopt);
  testing_support::ScopedEnvironment home("HOME", std::nullopt);
  EXPECT_FALSE(DataSource::applicationDocumentsDirectory());
  EXPECT_EQ(DataSource::archivePath(), "");
  DataSource homeless;
  homeless.dictionary()["AppLaunchCount"] = 1;
  homeless.saveData();
}

TEST(DataSourceTest, AnUndecodableArchiveIsMovedAsideNotOverwritten) {
  ScopedAppContainer container;
  std::string path = DataSource::archivePath();
  {
    // An archive that holds something else than settings starts empty, quietly.
    KeyedArchiver archiver;
    archiver.encodeObject("something else", "other");
    ASSERT_TRUE(AtomicFile::write(path, archiver.finishEncoding()));
    ConsoleCapture console;
    EXPECT_TRUE(DataSource().dictionary().empty());
    EXPECT_TRUE(console.lines().empty());
    EXPECT_FALSE(FileManager::fileExistsAtPath(path + ".corrupt"));
  }
  // Each bad archive is set aside under a name of its own, and settings saved after it load.
  const std::vector<Bytes> corruptions = {
      bytesOf("this is not a property list at all"), bytesOf("bplist00 truncated"),
      KeyedArchiver::archivedDataWithRootObject("a string, not a dictionary", "data")};
  const char* asides[] = {".corrupt", ".corrupt-1", ".corrupt-2"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(AtomicFile::write(path, corruptions[i]));
    ConsoleCapture console;
    DataSource store;
    EXPECT_TRUE(store.dictionary().empty());
    ASSERT_EQ(console.lines().size(), 1u);
    EXPECT_NE(console.lines()[0].find(std::string(".Settings.archive") + asides[i]),
              std::string::npos);
    store.dictionary()["AppLaunchCount"] = i;
    store.saveData();
    EXPECT_EQ(valueForKey(DataSource().dictionary(), "AppLaunchCount").integerValue(), i);
  }
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(FileManager::contentsAtPath(path + asides[i]), corruptions[i]);
}

namespace {

constexpr int kEntries = 20000;

// Runs the writer on the container until the kernel stops it inside the first write that
// passes the file-size limit, or until SIGKILL `killAfter` from its start (or from its first
// finished save, which renames a new file over the archive); answers the ending signal.
int runWriter(const std::string& container, unsigned long fileSizeLimit,
              std::optional<std::chrono::milliseconds> killAfter = {}, bool afterASave = false) {
  std::string entries = std::to_string(kEntries), limit = std::to_string(fileSizeLimit);
  char* argv[] = {const_cast<char*>(SETTINGS_WRITER_PATH), const_cast<char*>(container.c_str()),
                  entries.data(), limit.data(), nullptr};
  const ino_t before = archiveInode();
  pid_t child = 0;
  if (posix_spawn(&child, SETTINGS_WRITER_PATH, nullptr, nullptr, argv, environ) != 0) return -1;
  if (killAfter) {
    for (int wait = 0; afterASave && archiveInode() == before && wait < 3000; ++wait)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(*killAfter);
    kill(child, SIGKILL);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

size_t temporariesIn(const std::string& directory) {
  auto names = FileManager::contentsOfDirectoryAtPath(directory).value();
  return std::count_if(names.begin(), names.end(), [](const std::string& n) {
    return n.starts_with(".Settings.archive.tmp-");
  });
}

// The archive loads without complaint and holds one whole generation; returns it.
std::int64_t expectCompleteArchive() {
  ConsoleCapture console;
  DataSource store;
  EXPECT_TRUE(console.lines().empty()) << console.lines()[0];
  auto generation = valueForKey(store.dictionary(), "generation").integerValue();
  const Dictionary* map = valueForKey(store.dictionary(), "map").dictionary();
  if (!generation || !map) {
    ADD_FAILURE() << "settings lost";
    return -1;
  }
  EXPECT_EQ(map->size(), static_cast<size_t>(kEntries));
  std::string expected = "value " + std::to_string(*generation);
  EXPECT_EQ(*valueForKey(*map, "name_0").string(), expected);
  EXPECT_EQ(*valueForKey(*map, "name_" + std::to_string(kEntries - 1)).string(), expected);
  EXPECT_FALSE(FileManager::fileExistsAtPath(DataSource::archivePath() + ".corrupt"));
  return *generation;
}

}  // namespace

TEST(DataSourceTest, AWriterKilledAtAnyMomentOfSavingLeavesACompleteArchive) {
  ScopedAppContainer container;
  std::mt19937 random(7);
  for (int round = 0; round < 6; ++round) {  // the first after a finished save
    auto delay = std::chrono::milliseconds(random() % 500);
    ASSERT_EQ(runWriter(container.root(), 0, delay, round == 0), SIGKILL) << "stopped by itself";
    expectCompleteArchive();
  }
}

TEST(DataSourceTest, AWriteInterruptedByTheKernelLeavesThePreviousArchive) {
  ScopedAppContainer container;
  ASSERT_EQ(runWriter(container.root(), 0, std::chrono::milliseconds(0), true), SIGKILL);
  const std::int64_t kept = expectCompleteArchive();
  std::string documents = container.root() + "/Documents";
  auto size = FileManager::contentsAtPath(DataSource::archivePath())->size();
  // Stopped inside write(): at its first byte, half-way, and close to the end (the new archive
  // is about as large as the old one).
  for (unsigned long limit : {1ul, size / 2, size - 1000}) {
    EXPECT_EQ(runWriter(container.root(), limit), SIGXFSZ);
    EXPECT_EQ(temporariesIn(documents), 1u);  // the interrupted write's partial file
    EXPECT_EQ(expectCompleteArchive(), kept) << "limit " << limit << " of " << size;
    EXPECT_EQ(temporariesIn(documents), 0u);  // loading cleared it
  }
}

TEST(DataSourceTest, TheSingletonIsCreatedOnceAndSeededByTheHook) {
  ScopedAppContainer container;
  int hookCalls = 0;
  // The hook reads the settings through the class, as application code does.
  DataSource::setInitDefaultDataHook([&](DataSource& store) {
    ++hookCalls;
    EXPECT_EQ(&DataSource::source(), &store);
    DataSource::data()["Seeded"] = true;
  });
  DataSource* first = nullptr;
  std::thread other([&] { first = &DataSource::source(); });
  DataSource& second = DataSource::source();
  other.join();
  EXPECT_EQ(first, &second);
  EXPECT_EQ(hookCalls, 1);
  EXPECT_EQ(valueForKey(DataSource::data(), "Seeded").boolValue(), true);
  DataSource::setInitDefaultDataHook(nullptr);
}

TEST(DataSourceTest, InstallsTheSharedResponseCacheAndMakesPicturesFromIt) {
  ScopedAppContainer container;
  DataSource store;
  auto cache = URLCache::sharedURLCache();
  ASSERT_TRUE(cache);
  EXPECT_EQ(cache->path(), container.root() + "/Library/Caches/URLCache.sqlite");
  Bytes png =
      *ImageEncoder::pngData(*Image::imageWithBitmap(Bitmap::create(40, 20, PixelFormat::RGB24)));
  for (auto [name, body] :
       {std::pair{"icon.png", png}, {"icon@2x.png", png}, {"info.xml", bytesOf("<ads/>")}}) {
    CachedURLResponse response;
    response.url = std::string("http://ads.example/") + name;
    response.statusCode = 200;
    response.data = body;
    cache->storeCachedResponse(std::move(response));
  }
  auto icon = store.cachedImageForURL("http://ads.example/icon.png");
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->size(), (Size{40, 20}));
  EXPECT_EQ(store.cachedImageForURL("http://ads.example/icon@2x.png")->size(), (Size{20, 10}));
  for (const char* none : {"http://ads.example/info.xml", "http://ads.example/never.png", ""})
    EXPECT_FALSE(store.cachedImageForURL(none)) << none;
  // A picture made once is the same object, even after the cache forgets the response.
  cache->removeAllCachedResponses();
  EXPECT_EQ(store.cachedImageForURL("http://ads.example/icon.png"), icon);
  URLCache::setSharedURLCache(nullptr);
}

TEST(DataSourceTest, SavesAskedForOftenAreWrittenAtMostOnceASecondAndNothingIsLost) {
  ScopedAppContainer container;
  testing_support::VirtualTime time;
  {
    DataSource store;
    for (int i = 0; i < 50; ++i) {
      store.dictionary()["Stored"] = i;
      store.setNeedsSave();
    }
    ASSERT_TRUE(testing_support::runMainLoopUntil([&] { return archiveInode() != 0; }));
    auto first = archiveInode();
    store.dictionary()["Stored"] = 50;
    store.setNeedsSave();
    store.setNeedsSave();
    RunLoop::main().runUntil([] { return false; }, 0.1);
    EXPECT_EQ(archiveInode(), first);  // not twice within a second
    EXPECT_TRUE(store.hasPendingSave());
    RunLoop::main().advanceBy(1);
    ASSERT_TRUE(testing_support::runMainLoopUntil([&] { return archiveInode() != first; }));
    EXPECT_FALSE(store.hasPendingSave());
  }
  DataSource restarted;
  EXPECT_EQ(valueForKey(restarted.dictionary(), "Stored").integerValue(), 50);
  // The settings stay the user's own.
  struct stat info {};
  ASSERT_EQ(stat(DataSource::archivePath().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0077, 0u);
}
