#include <gtest/gtest.h>

#include "Foundation/AppContainer.h"
#include "Foundation/FileManager.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::ScopedEnvironment;
using testing_support::TemporaryDirectory;

TEST(AppContainerTest, DirectoriesLiveUnderXdgDataHomeAndAreCreatedUnlessOverridden) {
  TemporaryDirectory data;
  ScopedEnvironment xdg("XDG_DATA_HOME", data.path());
  EXPECT_EQ(AppContainer::rootPath(), data.path() + "/pictavia");
  auto documents = AppContainer::searchPathForDirectory(AppContainer::Directory::Documents);
  auto caches = AppContainer::searchPathForDirectory(AppContainer::Directory::Caches);
  auto support = AppContainer::searchPathForDirectory(AppContainer::Directory::ApplicationSupport);
  ASSERT_EQ(documents.size(), 1u);
  EXPECT_EQ(documents[0], data.path() + "/pictavia/Documents");
  EXPECT_EQ(caches[0], data.path() + "/pictavia/Library/Caches");
  EXPECT_EQ(support[0], data.path() + "/pictavia/Library/Application Support");
  bool isDirectory = false;
  EXPECT_TRUE(FileManager::fileExistsAtPath(support[0], &isDirectory) && isDirectory);
  // An override wins.
  testing_support::ScopedAppContainer container;
  EXPECT_EQ(AppContainer::searchPathForDirectory(AppContainer::Directory::Documents)[0],
            container.root() + "/Documents");
}

TEST(AppContainerTest, FallsBackToHomeAndHasNoneWithoutOne) {
  ScopedEnvironment xdg("XDG_DATA_HOME", "relative/is/ignored");
  {
    ScopedEnvironment home("HOME", "/home/someone");
    EXPECT_EQ(AppContainer::rootPath(), "/home/someone/.local/share/pictavia");
  }
  ScopedEnvironment home("HOME", std::nullopt);
  EXPECT_FALSE(AppContainer::rootPath());
  EXPECT_TRUE(AppContainer::searchPathForDirectory(AppContainer::Directory::Documents).empty());
}
