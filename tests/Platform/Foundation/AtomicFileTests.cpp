#include <gtest/gtest.h>

#include "Foundation/AtomicFile.h"
#include "Foundation/FileManager.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::TemporaryDirectory;

TEST(AtomicFileTest, ReplacesTheWholeFileAndLeavesNoTemporaries) {
  TemporaryDirectory directory;
  std::string path = directory.file("settings");
  ASSERT_TRUE(AtomicFile::write(path, Bytes(1000, 'a')));
  ASSERT_TRUE(AtomicFile::write(path, Bytes{'b', 'c'}));
  EXPECT_EQ(FileManager::contentsAtPath(path), (Bytes{'b', 'c'}));
  EXPECT_EQ(FileManager::contentsOfDirectoryAtPath(directory.path())->size(), 1u);
  ASSERT_TRUE(AtomicFile::write(path, {}));
  EXPECT_EQ(FileManager::contentsAtPath(path), Bytes{});
}

TEST(AtomicFileTest, AFailedWriteKeepsTheOldFile) {
  TemporaryDirectory directory;
  EXPECT_FALSE(AtomicFile::write(directory.file("missing/settings"), Bytes{'x'}));
  EXPECT_FALSE(AtomicFile::write("", Bytes{'x'}));
  // The target is a directory: the rename fails and nothing changes.
  ASSERT_TRUE(FileManager::createDirectoryAtPath(directory.file("taken"), false));
  EXPECT_FALSE(AtomicFile::write(directory.file("taken"), Bytes{'x'}));
  EXPECT_EQ(FileManager::contentsOfDirectoryAtPath(directory.path())->size(), 1u);
}

TEST(AtomicFileTest, StaleTemporariesOfThatFileAreRemoved) {
  TemporaryDirectory directory;
  std::string path = directory.file(".Settings.archive");
  ASSERT_TRUE(AtomicFile::write(path, Bytes{'k'}));
  ASSERT_TRUE(AtomicFile::write(path + ".tmp-Ab12Cd", Bytes{'t'}));  // left by a killed write
  ASSERT_TRUE(AtomicFile::write(directory.file("other.tmp-Ab12Cd"), Bytes{'o'}));
  AtomicFile::removeStaleTemporaries(path);
  EXPECT_FALSE(FileManager::fileExistsAtPath(path + ".tmp-Ab12Cd"));
  EXPECT_TRUE(FileManager::fileExistsAtPath(path));
  EXPECT_TRUE(FileManager::fileExistsAtPath(directory.file("other.tmp-Ab12Cd")));
}
