#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "Foundation/AtomicFile.h"
#include "Foundation/FileManager.h"
#include "Foundation/KeyedArchiver.h"
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

}  // namespace

TEST(DataSourceTest, AFreshInstallStartsEmptyAndSavedValuesSurviveARestart) {
  ScopedAppContainer container;
  {
    DataSource store;
    EXPECT_TRUE(store.dictionary().empty());
    EXPECT_EQ(DataSource::archivePath(), container.root() + "/Documents/.Settings.archive");
    EXPECT_FALSE(FileManager::fileExistsAtPath(DataSource::archivePath()));
    store.dictionary()["AppLaunchCount"] = 1;
    store.dictionary()["AppVersion"] = "1.0";
    store.dictionary()["LastActiveDate"] = Date{1765000000.5};
    store.dictionary()["ADSAlertsCount"] = Dictionary{{"alert-7", 2}};
    store.saveData();
    store.dictionary()["AppActiveCount"] = 5;  // changed after the last save
  }
  DataSource restarted;
  const Dictionary& data = restarted.dictionary();
  EXPECT_EQ(valueForKey(data, "AppLaunchCount").integerValue(), 1);
  EXPECT_EQ(*valueForKey(data, "AppVersion").string(), "1.0");
  EXPECT_EQ(valueForKey(data, "LastActiveDate").dateValue(), Date{1765000000.5});
  EXPECT_EQ(valueForKey(data, "ADSAlertsCount"), Value(Dictionary{{"alert-7", 2}}));
  EXPECT_TRUE(valueForKey(data, "AppActiveCount").isNull());  // never saved: lost
}

TEST(DataSourceTest, TheDirectoriesComeFromTheAppContainer) {
  ScopedAppContainer container;
  EXPECT_EQ(DataSource::applicationDocumentsDirectory(), container.root() + "/Documents");
  EXPECT_EQ(DataSource::applicationLibraryCachesDirectory(), container.root() + "/Library/Caches");
  EXPECT_EQ(DataSource::applicationLibraryApplicationSupportDirectory(),
            container.root() + "/Library/Application Support");
}

TEST(DataSourceTest, WithoutADocumentsDirectoryNothingIsReadOrWritten) {
  testing_support::ScopedEnvironment xdg("XDG_DATA_HOME", std::nullopt);
  testing_support::ScopedEnvironment home("HOME", std::nullopt);
  EXPECT_FALSE(DataSource::applicationDocumentsDirectory());
  EXPECT_EQ(DataSource::archivePath(), "");
  DataSource store;
  store.dictionary()["AppLaunchCount"] = 1;
  store.saveData();  // not reported, and nothing is written anywhere
  EXPECT_EQ(valueForKey(store.dictionary(), "AppLaunchCount").integerValue(), 1);
}

TEST(DataSourceTest, ValuesOfTheWrongKindReadAsAbsent) {
  ScopedAppContainer container;
  {
    DataSource store;
    store.dictionary()["AppLaunchCount"] = "many";
    store.dictionary()["ADSAlertsCount"] = 3;
    store.saveData();
  }
  DataSource restarted;
  EXPECT_FALSE(valueForKey(restarted.dictionary(), "AppLaunchCount").integerValue());
  EXPECT_EQ(valueForKey(restarted.dictionary(), "ADSAlertsCount").dictionary(), nullptr);
  EXPECT_EQ(valueForKey(restarted.dictionary(), "AppLaunchCount").integerValue().value_or(0), 0);
}

TEST(DataSourceTest, AnArchiveWithoutSettingsStartsEmpty) {
  ScopedAppContainer container;
  KeyedArchiver archiver;
  archiver.encodeObject("something else", "other");
  std::string path = DataSource::archivePath();
  ASSERT_TRUE(AtomicFile::write(path, archiver.finishEncoding()));
  ConsoleCapture console;
  DataSource store;
  EXPECT_TRUE(store.dictionary().empty());
  EXPECT_TRUE(console.lines().empty());
  EXPECT_FALSE(FileManager::fileExistsAtPath(path + ".corrupt"));
}

TEST(DataSourceTest, AnUndecodableArchiveIsMovedAsideNotOverwritten) {
  ScopedAppContainer container;
  std::string path = DataSource::archivePath();
  const std::vector<Bytes> corruptions = {
      bytesOf("this is not a property list at all"),
      bytesOf("bplist00 truncated"),
      KeyedArchiver::archivedDataWithRootObject("a string, not a dictionary", "data"),
  };
  for (const Bytes& corrupt : corruptions) {
    ASSERT_TRUE(AtomicFile::write(path, corrupt));
    ConsoleCapture console;
    DataSource store;
    EXPECT_TRUE(store.dictionary().empty());
    ASSERT_EQ(console.lines().size(), 1u);
    EXPECT_NE(console.lines()[0].find(".Settings.archive.corrupt"), std::string::npos);
    EXPECT_EQ(FileManager::contentsAtPath(path + ".corrupt"), corrupt);
    EXPECT_FALSE(FileManager::fileExistsAtPath(path));

    store.dictionary()["AppLaunchCount"] = 1;
    store.saveData();
    EXPECT_EQ(FileManager::contentsAtPath(path + ".corrupt"), corrupt);
    EXPECT_EQ(valueForKey(DataSource().dictionary(), "AppLaunchCount").integerValue(), 1);
    FileManager::removeItemAtPath(path);
    FileManager::removeItemAtPath(path + ".corrupt");
  }
  // A second bad archive does not replace the first one set aside.
  ASSERT_TRUE(AtomicFile::write(path, corruptions[0]));
  DataSource first;
  ASSERT_TRUE(AtomicFile::write(path, corruptions[1]));
  ConsoleCapture console;
  DataSource second;
  EXPECT_EQ(FileManager::contentsAtPath(path + ".corrupt"), corruptions[0]);
  EXPECT_EQ(FileManager::contentsAtPath(path + ".corrupt-1"), corruptions[1]);
}

namespace {

constexpr int kEntries = 20000;

// Starts the writer on the container; it saves until it dies.
pid_t startWriter(const std::string& container, unsigned long fileSizeLimit) {
  std::string entries = std::to_string(kEntries), limit = std::to_string(fileSizeLimit);
  char* argv[] = {const_cast<char*>(SETTINGS_WRITER_PATH), const_cast<char*>(container.c_str()),
                  entries.data(), limit.data(), nullptr};
  pid_t child = 0;
  if (posix_spawn(&child, SETTINGS_WRITER_PATH, nullptr, nullptr, argv, environ) != 0) return -1;
  return child;
}

int waitForSignal(pid_t child) {
  int status = 0;
  waitpid(child, &status, 0);
  return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

size_t temporariesIn(const std::string& directory) {
  size_t count = 0;
  auto names = FileManager::contentsOfDirectoryAtPath(directory);
  for (const std::string& name : names.value())
    if (name.find(".Settings.archive.tmp-") == 0) ++count;
  return count;
}

// The archive loads without complaint and holds one whole generation; returns it.
std::int64_t expectCompleteArchive() {
  ConsoleCapture console;
  DataSource store;
  EXPECT_TRUE(console.lines().empty()) << console.lines()[0];
  const Dictionary& data = store.dictionary();
  auto generation = valueForKey(data, "generation").integerValue();
  const Dictionary* map = valueForKey(data, "map").dictionary();
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

TEST(DataSourceTest, AWriteInterruptedByTheKernelLeavesThePreviousArchive) {
  ScopedAppContainer container;
  {
    DataSource store;
    Dictionary map;
    for (int i = 0; i < kEntries; ++i) map.emplace("name_" + std::to_string(i), "value 0");
    store.dictionary()["map"] = std::move(map);
    store.dictionary()["generation"] = 0;
    store.saveData();
  }
  std::string documents = container.root() + "/Documents";
  auto archiveSize = FileManager::contentsAtPath(DataSource::archivePath())->size();
  // The writer dies inside write(): at its first byte, half-way, and close to the end (the new
  // archive is about as large as the old one).
  for (unsigned long limit : {1ul, archiveSize / 2, archiveSize - 1000}) {
    pid_t writer = startWriter(container.root(), limit);
    ASSERT_GT(writer, 0);
    EXPECT_EQ(waitForSignal(writer), SIGXFSZ);
    EXPECT_EQ(temporariesIn(documents), 1u);  // the interrupted write's partial file
    EXPECT_EQ(expectCompleteArchive(), 0) << "limit " << limit << " of " << archiveSize;
    EXPECT_EQ(temporariesIn(documents), 0u);  // loading cleared it
  }
}

TEST(DataSourceTest, AKillAtAnyMomentOfSavingLeavesACompleteArchive) {
  ScopedAppContainer container;
  std::mt19937 random(7);
  std::int64_t newest = 0;
  for (int round = 0; round < 6; ++round) {
    pid_t writer = startWriter(container.root(), 0);
    ASSERT_GT(writer, 0);
    if (round == 0) {
      // However slow the machine, the first writer finishes one save before it is killed.
      for (int wait = 0; wait < 3000 && !FileManager::fileExistsAtPath(DataSource::archivePath());
           ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % 500));
    kill(writer, SIGKILL);
    ASSERT_EQ(waitForSignal(writer), SIGKILL) << "the writer stopped by itself";
    ASSERT_TRUE(FileManager::fileExistsAtPath(DataSource::archivePath()));
    newest = expectCompleteArchive();
  }
  EXPECT_GT(newest, 0) << "the writer never finished a save";
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
  EXPECT_EQ(cache->memoryCapacity(), 1048576u);
  EXPECT_EQ(cache->diskCapacity(), 10485760u);
  EXPECT_EQ(cache->path(), container.root() + "/Library/Caches/URLCache.sqlite");

  auto respond = [&](const std::string& url, Bytes body, const std::string& mime) {
    CachedURLResponse response;
    response.url = url;
    response.statusCode = 200;
    response.mimeType = mime;
    response.data = std::move(body);
    cache->storeCachedResponse(std::move(response));
  };
  auto picture = Image::imageWithBitmap(Bitmap::create(40, 20, PixelFormat::RGB24));
  Bytes png = *ImageEncoder::pngData(*picture);
  respond("http://ads.example/icon.png", png, "image/png");
  respond("http://ads.example/icon@2x.png", png, "image/png");
  respond("http://ads.example/info.xml", bytesOf("<ads/>"), "text/xml");

  auto icon = store.cachedImageForURL("http://ads.example/icon.png");
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->size(), (Size{40, 20}));
  EXPECT_EQ(store.cachedImageForURL("http://ads.example/icon.png"), icon);  // the same object
  auto retina = store.cachedImageForURL("http://ads.example/icon@2x.png");
  ASSERT_TRUE(retina);
  EXPECT_EQ(retina->size(), (Size{20, 10}));  // half its pixel size in points
  EXPECT_FALSE(store.cachedImageForURL("http://ads.example/info.xml"));
  EXPECT_FALSE(store.cachedImageForURL("http://ads.example/never-fetched.png"));
  EXPECT_FALSE(store.cachedImageForURL(""));
  // A picture made once stays, even after the cache forgets the response.
  cache->removeAllCachedResponses();
  EXPECT_EQ(store.cachedImageForURL("http://ads.example/icon.png"), icon);
  URLCache::setSharedURLCache(nullptr);
}
