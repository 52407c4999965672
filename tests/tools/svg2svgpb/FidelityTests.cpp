#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "RasterCompare.h"
#include "SvgConverter.h"
#include "TestSupport.h"

namespace {

// Both pictures are drawn as large as fits in this square.
constexpr int kSize = 200;
// A pixel counts as differing when a premultiplied channel is more than this far off.
constexpr int kThreshold = 32;

// Bounds for files converted without loss. cairo draws both pictures, so where the geometry
// agrees the two differ only in anti-aliasing along edges and in gradient dithering: the set
// measures a mean of at most about 0.9 and under 2% of differing pixels. A shape in a wrong
// colour, place or size over even a few percent of the picture moves the mean past 2 and the
// share past 3%, so these bounds leave room for rasteriser noise and catch real faults.
constexpr double kMaxMean = 2.0;
constexpr double kMaxShare = 0.03;
// Files with reported losses miss something by design (markers, focal points, fonts); they
// must still be the same picture in the main, not blank or misplaced.
constexpr double kMaxMeanWithLosses = 8.0;

}  // namespace

TEST(Fidelity, ConvertedArtDrawsLikeRsvg) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(FIDELITY_DIR))
    if (entry.path().extension() == ".svg") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  ASSERT_GE(files.size(), 30u);

  testing_support::TemporaryDirectory directory;
  double sumMean = 0, worstMean = 0;
  std::string worst;
  std::printf("%-40s %8s %8s %8s %8s  %s\n", "file", "mean", "share", "svg", "svgpb", "losses");
  for (const auto& path : files) {
    std::string name = path.filename().string();
    std::string error;
    auto conversion = svgconvert::SvgConverter::convertFile(path.string(), error);
    ASSERT_TRUE(conversion) << name << ": " << error;
    std::string output = directory.file("picture.svgpb");
    std::string bytes = conversion->root.SerializeAsString();
    std::ofstream(output, std::ios::binary) << bytes;

    auto reference =
        svg_fidelity::renderReference(path.string(), kSize, kSize, directory.file("ref.png"));
    ASSERT_TRUE(reference) << name << ": rsvg-convert failed";
    // A blank reference would make the comparison say nothing.
    EXPECT_GT(svg_fidelity::coverage(*reference), 0.02) << name;
    auto ours = svg_fidelity::renderOurs(output, reference->width(), reference->height());
    ASSERT_TRUE(ours) << name << ": the converted picture does not render";
    svg_fidelity::Difference d = svg_fidelity::compare(*ours, *reference, kThreshold);

    std::string losses;
    for (const std::string& line : conversion->losses.lines("")) losses += line.substr(2) + "; ";
    std::printf("%-40s %8.3f %8.4f %8ju %8zu  %s\n", name.c_str(), d.meanAbsolute, d.shareOver,
                static_cast<std::uintmax_t>(std::filesystem::file_size(path)), bytes.size(),
                losses.c_str());
    sumMean += d.meanAbsolute;
    if (d.meanAbsolute > worstMean) {
      worstMean = d.meanAbsolute;
      worst = name;
    }
    if (conversion->losses.isEmpty()) {
      EXPECT_LE(d.meanAbsolute, kMaxMean) << name;
      EXPECT_LE(d.shareOver, kMaxShare) << name;
    } else {
      EXPECT_LE(d.meanAbsolute, kMaxMeanWithLosses) << name;
    }
  }
  std::printf("%zu files: mean difference %.3f, worst %.3f (%s); bound %.1f (%.1f with losses)\n",
              files.size(), sumMean / files.size(), worstMean, worst.c_str(), kMaxMean,
              kMaxMeanWithLosses);
}
