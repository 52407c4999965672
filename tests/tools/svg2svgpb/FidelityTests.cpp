#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "Graphics/ImageDecoder.h"
#include "SVGView/SVGRenderer.h"
#include "SvgConverter.h"
#include "TestSupport.h"

using platform::Bitmap;

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

// Premultiplied channels of an unpremultiplied 0xAARRGGBB pixel, alpha first.
void premultiplied(std::uint32_t argb, int out[4]) {
  int alpha = static_cast<int>(argb >> 24);
  out[0] = alpha;
  for (int i = 1; i < 4; ++i) {
    int channel = static_cast<int>((argb >> (8 * (3 - i))) & 0xff);
    out[i] = (channel * alpha + 127) / 255;
  }
}

// The pixels top row first, whatever the image's orientation.
std::shared_ptr<Bitmap> upright(const platform::Image& image) {
  const Bitmap& stored = image.bitmap();
  auto copy = Bitmap::create(stored.width(), stored.height(), stored.format());
  if (!copy) return nullptr;
  bool flip = image.orientation() == platform::ImageOrientation::DownMirrored;
  for (int y = 0; y < stored.height(); ++y)
    std::copy(stored.row(y), stored.row(y) + stored.bytesPerRow(),
              copy->row(flip ? stored.height() - 1 - y : y));
  return copy;
}

// An svgpb file drawn by the program's renderer; null when it does not load.
std::shared_ptr<Bitmap> renderOurs(const std::string& svgpbPath, int width, int height) {
  SVGRenderer renderer;
  if (!renderer.load(svgpbPath)) return nullptr;
  auto image = renderer.renderImage(static_cast<float>(width), static_cast<float>(height), 1);
  return image ? upright(*image) : nullptr;
}

// An SVG file drawn by rsvg-convert as large as fits with its aspect ratio kept (as the
// program's renderer fits pictures); null when that fails.
std::shared_ptr<Bitmap> renderReference(const std::string& svgPath, int width, int height,
                                        const std::string& scratchPng) {
  pid_t child = fork();
  if (child < 0) return nullptr;
  if (child == 0) {
    std::string w = std::to_string(width), h = std::to_string(height);
    execlp("rsvg-convert", "rsvg-convert", "-a", "-w", w.c_str(), "-h", h.c_str(), "-f", "png",
           "-o", scratchPng.c_str(), svgPath.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return nullptr;
  auto image = platform::ImageDecoder::imageWithContentsOfFile(scratchPng);
  return image ? upright(*image) : nullptr;
}

// The share of pixels that are not fully transparent.
double coverage(const Bitmap& bitmap) {
  long covered = 0;
  for (int y = 0; y < bitmap.height(); ++y)
    for (int x = 0; x < bitmap.width(); ++x) covered += (bitmap.pixel(x, y) >> 24) != 0;
  return static_cast<double>(covered) / (static_cast<double>(bitmap.width()) * bitmap.height());
}

// How far two renderings are apart over premultiplied RGBA: the mean absolute channel
// difference, and the share of pixels whose largest channel difference exceeds the threshold.
// Bitmaps of different sizes compare as completely different.
std::pair<double, double> compare(const Bitmap& a, const Bitmap& b) {
  if (a.width() != b.width() || a.height() != b.height()) return {255, 1};
  double total = 0;
  long over = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      int pa[4], pb[4];
      premultiplied(a.pixel(x, y), pa);
      premultiplied(b.pixel(x, y), pb);
      int largest = 0;
      for (int i = 0; i < 4; ++i) {
        int d = std::abs(pa[i] - pb[i]);
        total += d;
        largest = std::max(largest, d);
      }
      over += largest > kThreshold;
    }
  }
  double pixels = static_cast<double>(a.width()) * a.height();
  return {total / (4 * pixels), static_cast<double>(over) / pixels};
}

}  // namespace

TEST(Fidelity, ConvertedArtDrawsLikeRsvg) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(FIDELITY_DIR))
    if (entry.path().extension() == ".svg") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  ASSERT_GE(files.size(), 30u);

  testing_support::TemporaryDirectory directory;
  std::printf("%-40s %8s %8s %8s %8s  %s\n", "file", "mean", "share", "svg", "svgpb", "losses");
  for (const auto& path : files) {
    std::string name = path.filename().string();
    std::string error;
    auto conversion = svgconvert::SvgConverter::convertFile(path.string(), error);
    ASSERT_TRUE(conversion) << name << ": " << error;
    std::string output = directory.file("picture.svgpb");
    std::string bytes = conversion->root.SerializeAsString();
    testing_support::writeTextFile(output, bytes);

    auto reference = renderReference(path.string(), kSize, kSize, directory.file("ref.png"));
    ASSERT_TRUE(reference) << name << ": rsvg-convert failed";
    // A blank reference would make the comparison say nothing.
    EXPECT_GT(coverage(*reference), 0.02) << name;
    auto ours = renderOurs(output, reference->width(), reference->height());
    ASSERT_TRUE(ours) << name << ": the converted picture does not render";
    auto [mean, share] = compare(*ours, *reference);

    std::string losses;
    for (const std::string& line : conversion->losses.lines("")) losses += line.substr(2) + "; ";
    std::printf("%-40s %8.3f %8.4f %8ju %8zu  %s\n", name.c_str(), mean, share,
                static_cast<std::uintmax_t>(std::filesystem::file_size(path)), bytes.size(),
                losses.c_str());
    if (conversion->losses.isEmpty()) {
      EXPECT_LE(mean, kMaxMean) << name;
      EXPECT_LE(share, kMaxShare) << name;
    } else {
      EXPECT_LE(mean, kMaxMeanWithLosses) << name;
    }
  }
}
