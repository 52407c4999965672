#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

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

TEST_F(CommandLine, ConvertsReportsLossesAndStrictRefusesThem) {
  writeTextFile(file("plain.svg"), kPlain);
  Outcome plain = run("--strict plain.svg plain.svgpb");
  EXPECT_EQ(plain.status, 0);
  EXPECT_EQ(plain.errors, "");
  SVGRenderer renderer;
  EXPECT_EQ(renderer.load(file("plain.svgpb")), 1);
  EXPECT_EQ(renderer.root().params().children_size(), 1);
  EXPECT_EQ(strayFiles(), 1);  // the output, and no temporary beside it

  writeTextFile(file("input.svg"), kLossy);
  Outcome strict = run("--strict input.svg out.svgpb");
  EXPECT_EQ(strict.status, 1);
  EXPECT_NE(strict.errors.find("input.svg: filter: 2 elements not carried"), std::string::npos);
  EXPECT_EQ(strayFiles(), 1);
  Outcome lossy = run("input.svg out.svgpb");
  EXPECT_EQ(lossy.status, 0);
  EXPECT_EQ(lossy.errors, "input.svg: filter: 2 elements not carried\n");  // text is drawn
  EXPECT_TRUE(exists("out.svgpb"));
}

TEST_F(CommandLine, BadInputOrArgumentsExitTwoAndLeaveAnEarlierOutputWhole) {
  writeTextFile(file("out.svgpb"), "earlier");
  writeTextFile(file("broken.svg"), "<svg><g></svg>");
  writeTextFile(file("page.svg"), "<html><body/></html>");
  writeTextFile(file("empty.svg"), "");
  writeTextFile(file("binary.svg"), std::string("\x89PNG\r\n\x1a\n\x00\x00", 10));
  for (auto [arguments, message] :
       {std::pair{"broken.svg out.svgpb", "broken.svg: not well-formed XML"},
        {"page.svg out.svgpb", "not an SVG document"},
        {"absent.svg out.svgpb", "cannot read"},
        {"empty.svg out.svgpb", ""},
        {"binary.svg out.svgpb", ""},
        {"", "usage:"},
        {"only-one.svg", ""},
        {"--bogus broken.svg out.svgpb", ""}}) {
    Outcome result = run(arguments);
    EXPECT_EQ(result.status, 2) << arguments;
    EXPECT_NE(result.errors.find(message), std::string::npos) << arguments << ": " << result.errors;
  }
  EXPECT_EQ(readTextFile(file("out.svgpb")), "earlier");
  EXPECT_EQ(strayFiles(), 1);
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
  std::string infinite =
      R"(<svg xmlns="http://www.w3.org/2000/svg" width="1e308" height="10"><rect width="5" height="5"/></svg>)";

  for (const std::string& text : {svg(nested), svg(bomb), infinite}) {
    writeTextFile(file("in.svg"), text);
    Outcome result = run("--strict in.svg out.svgpb");
    EXPECT_EQ(result.status, 2) << result.errors;
    EXPECT_FALSE(exists("out.svgpb"));
  }
}
