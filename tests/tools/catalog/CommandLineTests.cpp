#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "CatalogTestSupport.h"

using catalog_testing::picture;
using catalog_testing::snapshot;
using testing_support::readTextFile;
using testing_support::writeTextFile;

namespace {

struct Outcome {
  int status = -1;
  std::string output;
  std::string errors;
};

class CatalogCommandLineTest : public catalog_testing::CatalogFixture {
 protected:
  Outcome run(const std::string& program, const std::string& arguments) {
    std::string output = _directory.file("stdout.txt");
    std::string errors = _directory.file("stderr.txt");
    std::string command = "cd " + _directory.path() + " && " + program + " " + arguments + " >" +
                          output + " 2>" + errors;
    int raw = std::system(command.c_str());
    Outcome result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.output = readTextFile(output);
    result.errors = readTextFile(errors);
    return result;
  }
  Outcome builder(const std::string& arguments) { return run(CATALOG_BUILDER_PATH, arguments); }
  Outcome server(const std::string& arguments) { return run(REFERENCE_SERVER_PATH, arguments); }
};

TEST_F(CatalogCommandLineTest, PublishPrintsWhatChangedAndWhatWasSkipped) {
  setContent({{"frame1.png", picture(0xFF0000FF)},
              {"fon1.jpg", picture(0xFF00FF00, true)},
              {"notes.txt", "x"}});
  Outcome first = builder("publish content catalog");
  EXPECT_EQ(first.status, 0) << first.errors;
  EXPECT_NE(first.output.find("published version 1"), std::string::npos) << first.output;
  EXPECT_NE(first.output.find("added frame1.png"), std::string::npos) << first.output;
  EXPECT_NE(first.errors.find("skipped notes.txt"), std::string::npos) << first.errors;

  setContent({{"frame1.png", picture(0xFFFF0000)}, {"clipart1.png", picture(0xFF00FFFF)}});
  Outcome second = builder("publish content catalog");
  EXPECT_EQ(second.status, 0) << second.errors;
  EXPECT_NE(second.output.find("published version 2"), std::string::npos);
  EXPECT_NE(second.output.find("added clipart1.png"), std::string::npos);
  EXPECT_NE(second.output.find("changed frame1.png"), std::string::npos);
  EXPECT_NE(second.output.find("removed fon1.jpg"), std::string::npos);
}

TEST_F(CatalogCommandLineTest, BadArgumentsExitWithTwo) {
  for (const char* arguments : {"", "frobnicate a b", "publish onlyone", "export catalog out",
                                "export catalog out --base-url http://x --gzip-threshold -5"})
    EXPECT_EQ(builder(arguments).status, 2) << arguments;
  for (const char* arguments : {"", "--catalog catalog --port abc",
                                "--catalog catalog --port 70000", "--catalog catalog --bogus"})
    EXPECT_EQ(server(arguments).status, 2) << arguments;
}

TEST_F(CatalogCommandLineTest, MissingFoldersAreReportedWithStatusOne) {
  Outcome publish = builder("publish nowhere catalog");
  EXPECT_EQ(publish.status, 1);
  EXPECT_NE(publish.errors.find("nowhere"), std::string::npos) << publish.errors;
  EXPECT_FALSE(std::filesystem::exists(catalogFolder()));

  Outcome exported = builder("export nowhere out --base-url http://x");
  EXPECT_EQ(exported.status, 1);
  EXPECT_NE(exported.errors.find("nowhere"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(_directory.file("out")));

  Outcome served = server("--catalog nowhere --port 0");
  EXPECT_EQ(served.status, 1);
  EXPECT_NE(served.errors.find("nowhere"), std::string::npos) << served.errors;
  // All addresses without a public root would announce http://0.0.0.0:PORT to devices.
  Outcome wildcard = run(std::string("timeout 10 ") + REFERENCE_SERVER_PATH,
                         "--catalog nowhere --host 0.0.0.0 --port 0");
  EXPECT_EQ(wildcard.status, 1);
  EXPECT_NE(wildcard.errors.find("--public-url"), std::string::npos) << wildcard.errors;
}

TEST_F(CatalogCommandLineTest, UnreadableFilesAreSkippedAndStrictRefusesAnySkip) {
  setContent({{"frame1.png", picture(0xFF0000FF)}, {"frame2.png", picture(0xFF00FF00)}});
  std::filesystem::permissions(contentFolder() + "/frame2.png", std::filesystem::perms::none);
  // Root reads anything, so the builder runs as nobody to meet an unreadable file.
  std::filesystem::permissions(_directory.path(), std::filesystem::perms::all);
  std::filesystem::permissions(contentFolder(), std::filesystem::perms::all);
  std::string asNobody =
      geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
  Outcome first = run(asNobody + CATALOG_BUILDER_PATH, "publish content catalog");
  EXPECT_EQ(first.status, 0) << first.errors;
  EXPECT_NE(first.errors.find("skipped frame2.png"), std::string::npos) << first.errors;
  EXPECT_NE(first.output.find("added frame1.png"), std::string::npos) << first.output;

  setContent({{"frame1.png", picture(0xFF0000FF)}, {"fon1.png", ""}});
  auto before = snapshot(catalogFolder());
  Outcome strict = builder("publish --strict content catalog");
  EXPECT_EQ(strict.status, 1) << strict.errors;
  EXPECT_NE(strict.errors.find("skipped fon1.png"), std::string::npos) << strict.errors;
  EXPECT_EQ(snapshot(catalogFolder()), before);
}

TEST_F(CatalogCommandLineTest, CorruptCatalogueIsReportedAndLeftAsItWas) {
  setContent({{"frame1.png", picture(0xFF0000FF)}});
  ASSERT_EQ(builder("publish content catalog").status, 0);
  for (const auto& [file, text] : std::vector<std::pair<std::string, std::string>>{
           {"versions/1.json", "{\"format\":1,\"version\":1,\"files\":{\"frame1.png\":7}}"},
           {"catalog.json", "\x01\x02 binary"}}) {
    std::string path = catalogFolder() + "/" + file;
    std::string good = readTextFile(path);
    writeTextFile(path, text);
    auto before = snapshot(catalogFolder());

    setContent({{"frame1.png", picture(0xFF00FF00)}});
    Outcome publish = builder("publish content catalog");
    EXPECT_EQ(publish.status, 1) << file;
    EXPECT_NE(publish.errors.find(file), std::string::npos) << publish.errors;
    EXPECT_EQ(snapshot(catalogFolder()), before) << file;

    Outcome exported = builder("export catalog out --base-url http://x");
    EXPECT_EQ(exported.status, 1) << file;
    EXPECT_FALSE(std::filesystem::exists(_directory.file("out")));

    Outcome served = server("--catalog catalog --port 0");
    EXPECT_EQ(served.status, 1) << file;
    EXPECT_NE(served.errors.find(file), std::string::npos) << served.errors;
    EXPECT_EQ(snapshot(catalogFolder()), before) << file;
    writeTextFile(path, good);
  }
}

TEST_F(CatalogCommandLineTest, ExportWritesTheAnswers) {
  setContent({{"frame1.png", picture(0xFF0000FF)}});
  ASSERT_EQ(builder("publish content catalog").status, 0);
  Outcome exported = builder("export catalog out --base-url http://cdn.example --gzip-threshold 0");
  EXPECT_EQ(exported.status, 0) << exported.errors;
  EXPECT_TRUE(std::filesystem::exists(_directory.file("out/standard/list/full.jsongz")));
  EXPECT_EQ(readTextFile(_directory.file("out/standard/get/current/frame1.png")),
            picture(0xFF0000FF));
}

}  // namespace
