// The device against the reference server over a catalogue published by the builder from the
// sample pack: first sync, a second version, a restart, renders of every item, faults, and a
// sync killed at several moments.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <set>

#include "CatalogPublisher.h"
#include "Content/ContentControl.h"
#include "Content/ContentServiceRequest.h"
#include "ContentFixture.h"
#include "Foundation/NotificationCenter.h"
#include "Foundation/RunLoop.h"
#include "GeneralTools/DispatchTools.h"
#include "ReferenceServer.h"

using namespace platform;
using testing_support::VirtualTime;
using namespace content_testing;
using testing_support::runMainLoopUntil;
using testing_support::TemporaryDirectory;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> folderNames(const std::string& folder) {
  std::vector<std::string> names;
  if (!fs::exists(folder)) return names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

Bytes fileBytes(const std::string& path) {
  return FileManager::contentsAtPath(path).value_or(Bytes{});
}

// The pack's names that a device of the kind lists.
std::vector<std::string> namesFor(const std::string& pack, bool tall) {
  std::vector<std::string> names;
  for (const std::string& name : folderNames(pack)) {
    if (ContentName::isAcceptedLocalFile(name, tall, {})) names.push_back(name);
  }
  return names;
}

// A catalogue folder, its publishing source and a server over it.
class Catalogue {
 public:
  using Files = std::map<std::string, Bytes>;

  // Published from the sample pack, or from `files` (name -> contents) when given.
  explicit Catalogue(const Files& files = {}) {
    if (files.empty()) {
      fs::copy(CONTENT_PACK_DIR, _source.path(),
               fs::copy_options::recursive | fs::copy_options::overwrite_existing);
      publish();
    } else {
      publish(files);
    }
    ReferenceServer::Configuration configuration;
    configuration.catalogFolder = _catalog.path();
    configuration.port = 0;
    configuration.logRequests = false;
    configuration.keepRequests = true;
    _server = std::make_unique<ReferenceServer>(configuration);
    std::string error;
    EXPECT_TRUE(_server->start(error)) << error;
    ContentServiceRequest::setDirectoryServerURLs(_server->baseURL(ScreenKind::Standard),
                                                  _server->baseURL(ScreenKind::Tall));
  }
  void publish() {
    std::string error;
    ASSERT_TRUE(CatalogPublisher::publish(_source.path(), _catalog.path(), error)) << error;
  }
  // Publishes exactly these files.
  void publish(const Files& files) {
    fs::remove_all(_source.path());
    for (const auto& [name, bytes] : files) writeFile(_source.file(name), bytes);
    publish();
  }
  std::string source(const std::string& name) const { return _source.file(name); }
  const std::string& sourceFolder() const { return _source.path(); }
  ReferenceServer& server() { return *_server; }
  // The requests so far with this act and, when given, this parameter (of this value).
  size_t requests(const std::string& act, const std::string& parameter = "",
                  const std::optional<std::string>& value = std::nullopt) const {
    size_t count = 0;
    for (const auto& record : _server->requests()) {
      auto given = record.request.parameter(parameter);
      count +=
          record.request.act == act && (parameter.empty() || (given && (!value || given == value)));
    }
    return count;
  }

 private:
  TemporaryDirectory _source;
  TemporaryDirectory _catalog;
  std::unique_ptr<ReferenceServer> _server;
};

bool runCycle(ContentControl& control, Notifications& notes, double timeout = 60) {
  int before = notes.finished;
  control.updateServerContent();
  return runMainLoopUntil([&] { return notes.finished > before; }, timeout);
}

// Every name the device lists is a complete copy of the catalogue's file; every catalogue file
// for this device is listed.
void expectInStep(const ContentControl& control, const Catalogue& catalogue,
                  const ContentFixture& fixture, bool tall) {
  std::set<std::string> listed;
  for (int type = 0; type < kContentTypeCount; ++type) {
    for (const std::string& name : control.localListOfType(static_cast<ContentType>(type))) {
      if (ContentName::containsString(name, "tbframe_") && !fs::exists(fixture.contentPath(name)))
        continue;  // resources
      listed.insert(name);
      EXPECT_EQ(fileBytes(fixture.contentPath(name)), fileBytes(catalogue.source(name))) << name;
    }
  }
  std::vector<std::string> expected = namesFor(catalogue.sourceFolder(), tall);
  EXPECT_EQ(std::vector<std::string>(listed.begin(), listed.end()), expected);
}

// The update cycle on the virtual clock against a small catalogue of the test's own.
struct UpdateTest : ::testing::Test {
  ~UpdateTest() override {
    RunLoop::main().runUntil([] { return false; }, 0.05);
  }
  // Runs the loop until every queued request has ended and its completion has run.
  static void settle() {
    ASSERT_TRUE(runMainLoopUntil([] { return DispatchTools::Instance().taskCount() == 0; }, 20));
    RunLoop::main().runPending();
  }
  static Catalogue::Files files(const std::vector<std::string>& names) {
    Catalogue::Files files;
    for (const std::string& name : names) files[name] = pictureBytes(8, 8, 0xFF204080);
    return files;
  }
  ContentFixture fixture;
  VirtualTime time;
  Notifications notes;
};

}  // namespace

TEST(ContentSyncTest, SyncsTheSamplePackThenAVersionWithChangesAndSurvivesARestart) {
  ContentFixture fixture(DeviceProfile::phoneTall());
  Catalogue catalogue;
  Notifications notes;
  auto control = ContentControl::Instance();
  ASSERT_TRUE(runCycle(*control, notes));
  EXPECT_EQ(catalogue.requests("list", "dif"), 0u);  // the first catalogue request has no version
  expectInStep(*control, catalogue, fixture, true);
  size_t items = 0;
  for (int type = 0; type < kContentTypeCount; ++type)
    items += control->contentItemsForType(ContentType(type))->size();
  EXPECT_GE(items, 60u);
  EXPECT_EQ(static_cast<size_t>(notes.newContent), items);

  // Version 2: an item removed, a file changed, an item added.
  for (const char* variant : {".png", "_iph5.png", "_small.png"})
    fs::remove(catalogue.source(std::string("clipart1") + variant));
  fs::copy_file(catalogue.source("fon1_small.jpg"), catalogue.source("fon2_small.jpg"),
                fs::copy_options::overwrite_existing);
  for (const char* variant : {".png", "_iph5.png", "_small.png"})
    fs::copy_file(catalogue.source(std::string("face1") + variant),
                  catalogue.source(std::string("face99") + variant));
  catalogue.publish();
  size_t before = catalogue.requests("get");
  ASSERT_TRUE(runCycle(*control, notes));
  EXPECT_EQ(catalogue.requests("list", "dif", "1"), 1u);
  EXPECT_EQ(catalogue.requests("get") - before, 3u);  // fon2's preview and face99's two files
  // Up-to-date files take the list's version without a download.
  EXPECT_EQ(control->curServerContent().at("fon1_small.jpg"), "2");
  EXPECT_EQ(control->curDownloadedContent().at("fon1_small.jpg"), "2");
  EXPECT_EQ(control->contentImageWithName("clipart1"), nullptr);
  EXPECT_FALSE(fs::exists(fixture.contentPath("clipart1_iph5.png")));
  EXPECT_NE(control->contentImageWithName("face99"), nullptr);
  expectInStep(*control, catalogue, fixture, true);
  EXPECT_EQ(ContentControl::storedListVersion(), "2");

  // A restart: the settings archive brings the catalogue back; the lists come from the disk.
  DataSource::source().saveData();
  auto faces = [](const ContentControl& catalogue) {
    auto names = catalogue.localListOfType(ContentTypeFaceEffect);
    return std::set<std::string>(names.begin(), names.end());
  };
  DataSource restarted;
  auto revived =
      valueForKey(restarted.dictionary(), ContentControl::kArchiveKey).objectAs<ContentControl>();
  ASSERT_NE(revived, nullptr);
  EXPECT_EQ(revived->curServerContent(), control->curServerContent());
  EXPECT_EQ(revived->curDownloadedContent(), control->curDownloadedContent());
  EXPECT_EQ(faces(*revived), faces(*control));
  DataSource::data().insert_or_assign(ContentControl::kArchiveKey, Value(revived));
  before = catalogue.requests("get");
  ASSERT_TRUE(runCycle(*revived, notes));
  EXPECT_EQ(catalogue.requests("get"), before);  // nothing fetched again

  // Every item renders, full picture and preview, from every kind of file in the pack.
  int rendered = 0;
  for (int type = 0; type < kContentTypeCount; ++type) {
    auto items = revived->contentItemsForType(ContentType(type));
    for (const auto& item : *items) {
      std::shared_ptr<Image> full, preview;
      int done = 0;
      auto into = [&](std::shared_ptr<Image>& image) {
        return [&](std::shared_ptr<Image> rendered) { image = rendered, ++done; };
      };
      item->getBigImageWithSize(Size{320, 568}, into(full));
      item->getPreviewImageWithSize(Size{75, 75}, into(preview));
      ASSERT_TRUE(runMainLoopUntil([&] { return done == 2; }));
      EXPECT_NE(full, nullptr) << item->name();
      EXPECT_NE(preview, nullptr) << item->name();
      EXPECT_FALSE(item->isBigImageLoadPage()) << item->name();
      EXPECT_LE(full ? full->bitmap().width() : 0, 640) << item->name();
      ++rendered;
    }
  }
  EXPECT_GE(rendered, 60);
}

// A server that is down: UpdateTest.ActivationsWhileOfflineLeaveOneRetryChainThatTriesEveryMinute.
TEST(ContentSyncTest, ConvergesOnceAFaultyServerRecovers) {
  ContentFixture fixture(DeviceProfile::phone35(2));
  VirtualTime time;
  Catalogue catalogue;
  Notifications notes;
  std::atomic<int> phase{1};
  catalogue.server().setFaultHook([&](const ServerRequest& request) {
    std::string name = request.parameter("n").value_or("");
    if (phase == 1 && request.act == "get") {
      if (name.starts_with("fon")) return ServerFault::withStatus(500);
      if (name.starts_with("frame")) return ServerFault::truncate(0.5);
      if (name == "face2.png") return ServerFault::stall(std::chrono::milliseconds(11000), 0.3);
    }
    if (phase == 2 && request.act == "list") return ServerFault::invalidJSON();
    return ServerFault::none();
  });
  auto control = ContentControl::Instance();
  ASSERT_TRUE(runCycle(*control, notes));
  // What failed is not listed; what arrived cut short is not on disk; a file that arrived
  // whole stays, though its item is not listed without its sibling.
  EXPECT_TRUE(control->localListOfType(ContentTypeBackground).empty());
  EXPECT_TRUE(control->localListOfType(ContentTypePhotoFrame).empty());
  for (const std::string& name : folderNames(fixture.contentPath(""))) {
    if (name.starts_with("frame")) ADD_FAILURE() << "partial file kept: " << name;
  }
  EXPECT_EQ(control->contentImageWithName("face2"), nullptr);
  EXPECT_TRUE(fs::exists(fixture.contentPath("face2_small.png")));
  EXPECT_NE(control->contentImageWithName("face1"), nullptr);

  // Healthy files, but a garbage catalogue: the known catalogue is used again, five minutes on.
  phase = 2;
  size_t nodes = catalogue.requests("nodes");
  RunLoop::main().advanceBy(299);
  RunLoop::main().runUntil([] { return false; }, 0.1);
  EXPECT_EQ(catalogue.requests("nodes"), nodes);
  RunLoop::main().advanceBy(1);
  ASSERT_TRUE(runMainLoopUntil([&] { return notes.finished == 2; }, 60));
  EXPECT_EQ(catalogue.requests("nodes"), nodes + 1);
  phase = 3;
  ASSERT_TRUE(runCycle(*control, notes));
  expectInStep(*control, catalogue, fixture, false);
  EXPECT_TRUE(control->invalidDownloadedNames().empty());
  EXPECT_EQ(ContentFixture::pendingRetries(), 0u);
}

TEST(ContentSyncTest, TheToolWaitsBetweenFailedCyclesAndStopsAtItsTimeLimit) {
  Catalogue catalogue;
  catalogue.server().setFaultHook([](const ServerRequest& request) {
    return request.act == "list" ? ServerFault::withStatus(500) : ServerFault::none();
  });
  TemporaryDirectory container;
  std::string command = std::string(CONTENT_SYNC_PATH) + " --container " + container.path() +
                        " --directory " + catalogue.server().baseURL(ScreenKind::Standard) +
                        " --time-limit 3 --quiet >/dev/null";
  int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  size_t lists = catalogue.requests("list");
  EXPECT_GE(lists, 2u);
  EXPECT_LE(lists, 5u);  // a pause between tries that grows, not a request storm
}

TEST(ContentSyncTest, ASyncKilledAtAnyMomentConvergesOnRestart) {
  Catalogue catalogue;
  // Slow files, so that the kills land in the middle of the work.
  catalogue.server().setFaultHook([](const ServerRequest& request) {
    return request.act == "get" ? ServerFault::stall(std::chrono::milliseconds(15), 0.5)
                                : ServerFault::none();
  });
  TemporaryDirectory container;
  std::string directory = catalogue.server().baseURL(ScreenKind::Standard);
  auto runSync = [&](double killAfter) {
    pid_t child = fork();
    if (child == 0) {
      int quiet = open("/dev/null", O_WRONLY);
      dup2(quiet, 1);
      execl(CONTENT_SYNC_PATH, CONTENT_SYNC_PATH, "--container", container.path().c_str(),
            "--directory", directory.c_str(), "--profile", "phone-3.5@2x", "--time-limit", "60",
            "--quiet", nullptr);
      _exit(127);
    }
    if (killAfter > 0) {
      usleep(static_cast<useconds_t>(killAfter * 1e6));
      kill(child, SIGKILL);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
  };
  for (double moment : {0.05, 0.3, 0.6, 1.0, 1.5}) runSync(moment);
  int status = runSync(0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  std::string folder =
      container.path() + "/Library/Application Support/" + ContentControl::kContentFolderName;
  EXPECT_EQ(folderNames(folder), namesFor(catalogue.sourceFolder(), false));
  for (const std::string& name : folderNames(folder))
    EXPECT_EQ(fileBytes(folder + "/" + name), fileBytes(catalogue.source(name))) << name;
  // Nothing else in the container but the settings, the response cache and the content.
  for (const auto& entry : fs::recursive_directory_iterator(container.path())) {
    if (!entry.is_regular_file()) continue;
    std::string path = entry.path().string().substr(container.path().size());
    bool expected = path.starts_with("/Documents/.Settings.archive") ||
                    path.starts_with("/Library/Caches/") ||
                    path.starts_with("/Library/Application Support/PVXContent/");
    EXPECT_TRUE(expected) << path;
  }
}

// A first sync and a difference: ContentSyncTest.SyncsTheSamplePack...
TEST_F(UpdateTest, AGarbageCatalogueChangesNothingAndKeepsTheVersion) {
  Catalogue catalogue(files({"fon5.png"}));
  auto control = ContentControl::Instance();
  ASSERT_TRUE(runCycle(*control, notes));
  for (ServerFault garbage : {ServerFault::invalidJSON(), ServerFault::wrongShapeJSON()}) {
    catalogue.server().setFaultHook([garbage](const ServerRequest& request) {
      return request.act == "list" ? garbage : ServerFault::none();
    });
    ASSERT_TRUE(runCycle(*control, notes));
    EXPECT_EQ(ContentControl::storedListVersion(), "1");
    EXPECT_EQ(control->curServerContent(), (ContentName::VersionMap{{"fon5.png", "1"}}));
    EXPECT_TRUE(fs::exists(fixture.contentPath("fon5.png")));
  }
}

TEST_F(UpdateTest, ActivationsWhileOfflineLeaveOneRetryChainThatTriesEveryMinute) {
  Catalogue catalogue(files({"fon1.png"}));
  std::atomic<bool> down{true};
  catalogue.server().setFaultHook(
      [&](const ServerRequest&) { return down ? ServerFault::down() : ServerFault::none(); });
  auto control = ContentControl::Instance();
  for (int i = 0; i < 10; ++i) control->updateServerContent();
  settle();
  EXPECT_EQ(ContentFixture::pendingRetries(), 1u);
  size_t before = catalogue.requests("nodes");
  RunLoop::main().advanceBy(59);
  settle();
  EXPECT_EQ(catalogue.requests("nodes"), before);
  for (int minute = 0; minute < 60; ++minute) {
    RunLoop::main().advanceBy(minute == 0 ? 1 : 60);
    settle();
  }
  EXPECT_EQ(catalogue.requests("nodes") - before, 60u);

  down = false;
  RunLoop::main().advanceBy(60);
  ASSERT_TRUE(runMainLoopUntil([&] { return notes.finished == 1; }));
  EXPECT_EQ(control->contentSericeURL(), catalogue.server().baseURL(ScreenKind::Standard));
}

TEST_F(UpdateTest, AnItemThatLostOneFileIsRebuiltOnceNotOnEveryActivation) {
  Catalogue catalogue(files({"frame3.png", "frame3_small.png"}));
  auto control = ContentControl::Instance();
  ASSERT_TRUE(runCycle(*control, notes));
  int first = notes.newContent;
  catalogue.publish(files({"frame3.png"}));
  ASSERT_TRUE(runCycle(*control, notes));
  ContentItem* item = control->contentImageWithName("frame3").get();
  ASSERT_NE(item, nullptr);
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(runCycle(*control, notes));
  EXPECT_EQ(control->contentImageWithName("frame3").get(), item);
  EXPECT_LE(notes.newContent - first, 1);
  EXPECT_EQ(control->curDownloadedContent().count("frame3_small.png"), 0u);
}

TEST_F(UpdateTest, TwoActivationsInQuickSuccessionFetchEachFileOnce) {
  const std::vector<std::string> names{"fon1.png", "fon1_small.png", "clipart2.png",
                                       "clipart2_small.png", "face1.png"};
  Catalogue catalogue(files(names));
  catalogue.server().setFaultHook([](const ServerRequest& request) {
    return request.act == "get" ? ServerFault::stall(std::chrono::milliseconds(150), 0.5)
                                : ServerFault::none();
  });
  auto control = ContentControl::Instance();
  control->updateServerContent();
  control->updateServerContent();
  ASSERT_TRUE(runMainLoopUntil(
      [&] {
        return notes.finished > 0 && DispatchTools::Instance().taskCount() == 0 &&
               control->curDownloadedContent().size() == names.size();
      },
      20));
  for (const std::string& name : names) EXPECT_EQ(catalogue.requests("get", "n", name), 1u) << name;
}
