#include <gtest/gtest.h>
#include <sys/stat.h>

#include "Foundation/AtomicFile.h"
#include "Foundation/FileManager.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::TemporaryDirectory;

TEST(AtomicFileTest, ReplacesTheWholeFileAndLeavesNoTemporaries) {
  TemporaryDirectory directory;
  std::string path = directory.file(".Settings.archive");
  ASSERT_TRUE(AtomicFile::write(path, Bytes(1000, 'a')));
  ASSERT_TRUE(AtomicFile::write(path, Bytes{'b', 'c'}));
  EXPECT_EQ(FileManager::contentsAtPath(path), (Bytes{'b', 'c'}));
  EXPECT_EQ(FileManager::contentsOfDirectoryAtPath(directory.path())->size(), 1u);
  ASSERT_TRUE(AtomicFile::write(path, {}));
  EXPECT_EQ(FileManager::contentsAtPath(path), Bytes{});
  // Stale temporaries of that file (left by a killed write) are removed, no others.
  ASSERT_TRUE(AtomicFile::write(path + ".tmp-Ab12Cd", Bytes{'t'}));
  ASSERT_TRUE(AtomicFile::write(directory.file("other.tmp-Ab12Cd"), Bytes{'o'}));
  AtomicFile::removeStaleTemporaries(path);
  EXPECT_FALSE(FileManager::fileExistsAtPath(path + ".tmp-Ab12Cd"));
  EXPECT_TRUE(FileManager::fileExistsAtPath(path));
  EXPECT_TRUE(FileManager::fileExistsAtPath(directory.file("other.tmp-Ab12Cd")));
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

TEST(FileManagerTest, ReadsOnlyPlainFilesWithinTheLimitAndNeverWaitsOnAPipe) {
  TemporaryDirectory directory;
  std::string path = directory.file("data");
  ASSERT_TRUE(AtomicFile::write(path, Bytes(100, 'x')));
  EXPECT_EQ(FileManager::contentsAtPath(path, 100), Bytes(100, 'x'));
  EXPECT_EQ(FileManager::contentsAtPath(path, 99), std::nullopt);
  // Opening a pipe for reading would wait for a writer; it must come back at once, refused.
  std::string pipe = directory.file("pipe");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(FileManager::contentsAtPath(pipe), std::nullopt);
  EXPECT_EQ(FileManager::contentsAtPath(directory.path()), std::nullopt);
  EXPECT_EQ(FileManager::contentsAtPath(directory.file("missing")), std::nullopt);
}

TEST(FileManagerTest, TimeStampsMadeInARowDiffer) {
  std::string a = FileManager::uniqueTimeStamp("_"), b = FileManager::uniqueTimeStamp("_");
  EXPECT_NE(a, b);
  ASSERT_NE(a.find('_'), std::string::npos);
  EXPECT_GT(std::stoll(a.substr(0, a.find('_'))), 1'600'000'000'000LL);  // milliseconds
}
