#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "SVGView/SVGRenderer.h"
#include "TestSupport.h"

using testing_support::readTextFile;
using testing_support::writeTextFile;

namespace {

struct Outcome {
  int status = -1;
  std::string errors;
};

class CommandLine : public ::testing::Test {
 protected:
  Outcome run(const std::string& arguments) {
    std::string errors = _directory.file("stderr.txt");
    // Fontconfig's leaks are suppressed; the sanitizer's note saying so is not output.
    const char* leaks = std::getenv("LSAN_OPTIONS");
    std::string command =
        "cd " + _directory.path() + " && LSAN_OPTIONS=" + (leaks ? std::string(leaks) + ":" : "") +
        "print_suppressions=0 " + SVG2SVGPB_PATH + " " + arguments + " 2>" + errors;
    int raw = std::system(command.c_str());
    Outcome result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.errors = readTextFile(errors);
    return result;
  }
  std::string file(const std::string& name) const { return _directory.file(name); }
  bool exists(const std::string& name) const { return std::filesystem::exists(file(name)); }
  // Names in the directory other than the ones the test made.
  int strayFiles() const {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(_directory.path())) {
      std::string name = entry.path().filename().string();
      if (entry.path().extension() != ".svg" && name != "stderr.txt") ++count;
    }
    return count;
  }

  testing_support::TemporaryDirectory _directory;
};

const char* kPlain =
    R"~(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10"><rect width="5" height="5" fill="red"/></svg>)~";
const char* kLossy =
    R"~(<svg xmlns="http://www.w3.org/2000/svg" width="10" height="10"><rect width="5" height="5" filter="url(#f)"/>)~"
    R"~(<circle r="3" style="filter:url(#f)"/><text>hi</text></svg>)~";

}  // namespace

TEST_F(CommandLine, ConvertsAndTheRendererLoadsTheResult) {
  writeTextFile(file("in.svg"), kPlain);
  Outcome result = run("in.svg out.svgpb");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.errors, "");
  SVGRenderer renderer;
  EXPECT_EQ(renderer.load(file("out.svgpb")), 1);
  EXPECT_EQ(renderer.root().params().children_size(), 1);
  EXPECT_EQ(strayFiles(), 1);  // the output, and no temporary beside it
}

TEST_F(CommandLine, ReportsLossesOneLinePerFeature) {
  writeTextFile(file("input.svg"), kLossy);
  Outcome result = run("input.svg out.svgpb");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.errors, "input.svg: filter: 2 elements not carried\n");  // text is drawn
  EXPECT_TRUE(exists("out.svgpb"));
}

TEST_F(CommandLine, StrictRefusesLossesAndWritesNothing) {
  writeTextFile(file("input.svg"), kLossy);
  Outcome result = run("--strict input.svg out.svgpb");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.errors.find("input.svg: filter: 2 elements not carried"), std::string::npos);
  EXPECT_FALSE(exists("out.svgpb"));
  EXPECT_EQ(strayFiles(), 0);
  writeTextFile(file("plain.svg"), kPlain);
  EXPECT_EQ(run("--strict plain.svg out.svgpb").status, 0);
  EXPECT_TRUE(exists("out.svgpb"));
}

TEST_F(CommandLine, BadInputExitsTwoWithoutOutput) {
  writeTextFile(file("broken.svg"), "<svg><g></svg>");
  Outcome notXml = run("broken.svg out.svgpb");
  EXPECT_EQ(notXml.status, 2);
  EXPECT_NE(notXml.errors.find("broken.svg: not well-formed XML"), std::string::npos);
  writeTextFile(file("page.svg"), "<html><body/></html>");
  Outcome notSvg = run("page.svg out.svgpb");
  EXPECT_EQ(notSvg.status, 2);
  EXPECT_NE(notSvg.errors.find("not an SVG document"), std::string::npos);
  Outcome missing = run("absent.svg out.svgpb");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.errors.find("cannot read"), std::string::npos);
  writeTextFile(file("binary.svg"), std::string("\x89PNG\r\n\x1a\n\x00\x00", 10));
  EXPECT_EQ(run("binary.svg out.svgpb").status, 2);
  EXPECT_FALSE(exists("out.svgpb"));
  EXPECT_EQ(strayFiles(), 0);
}

TEST_F(CommandLine, FailedRunLeavesAnEarlierOutputWhole) {
  writeTextFile(file("out.svgpb"), "earlier");
  writeTextFile(file("broken.svg"), "not xml at all <");
  EXPECT_EQ(run("broken.svg out.svgpb").status, 2);
  EXPECT_EQ(readTextFile(file("out.svgpb")), "earlier");
}

TEST_F(CommandLine, BadArgumentsExitTwo) {
  EXPECT_EQ(run("").status, 2);
  EXPECT_EQ(run("only-one.svg").status, 2);
  EXPECT_EQ(run("--bogus a.svg b.svgpb").status, 2);
  EXPECT_NE(run("").errors.find("usage:"), std::string::npos);
}

TEST_F(CommandLine, PicturesBeyondTheLimitsAreRefusedWithoutOutput) {
  auto svg = [](const std::string& body) {
    return R"(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" )"
           R"(width="10" height="10">)" +
           body + "</svg>";
  };
  std::string nested;
  for (int i = 0; i < 5000; ++i) nested += "<g>";
  nested += R"(<rect width="1" height="1"/>)";
  for (int i = 0; i < 5000; ++i) nested += "</g>";
  // Each level uses the one before twice: 2^24 copies of the rectangle.
  std::string bomb = R"(<defs><rect id="l0" width="1" height="1"/>)";
  for (int i = 1; i <= 24; ++i)
    bomb += "<g id=\"l" + std::to_string(i) + "\"><use xlink:href=\"#l" + std::to_string(i - 1) +
            "\"/><use xlink:href=\"#l" + std::to_string(i - 1) + "\"/></g>";
  bomb += R"(</defs><use xlink:href="#l24"/>)";
  // Ten copies of a 600,000-point path: about 80 MiB once converted.
  std::string longPath = R"(<defs><path id="p" d="M0 0)";
  for (int i = 0; i < 600000; ++i) longPath += " L1.5 2.5";
  longPath += R"("/></defs>)";
  for (int i = 0; i < 10; ++i) longPath += R"(<use xlink:href="#p"/>)";
  std::string infinite =
      R"(<svg xmlns="http://www.w3.org/2000/svg" width="1e308" height="10"><rect width="5" height="5"/></svg>)";

  for (const std::string& text : {svg(nested), svg(bomb), svg(longPath), infinite}) {
    writeTextFile(file("in.svg"), text);
    Outcome result = run("--strict in.svg out.svgpb");
    EXPECT_EQ(result.status, 2) << result.errors;
    EXPECT_FALSE(exists("out.svgpb"));
  }
}
