#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Foundation/DeviceProfile.h"
#include "Graphics/ImageDecoder.h"
#include "Graphics/ImageEncoder.h"
#include "Imaging/PV_Extensions.h"
#include "TestSupport.h"

using namespace platform;
using namespace PV_Extensions;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu;

bool near(std::uint32_t actual, std::uint32_t expected, int tolerance = 3) {
  for (int shift = 0; shift < 32; shift += 8) {
    int a = (actual >> shift) & 0xFF, e = (expected >> shift) & 0xFF;
    if (std::abs(a - e) > tolerance) return false;
  }
  return true;
}

int alphaOf(std::uint32_t argb) {
  return static_cast<int>(argb >> 24);
}

// A picture whose stored columns have the colour `colourAt(x)`.
template <class ColourAt>
std::shared_ptr<Image> columns(int width, int height, ColourAt colourAt, double scale = 1,
                               ImageOrientation orientation = ImageOrientation::Up,
                               PixelFormat format = PixelFormat::RGB24) {
  auto bitmap = Bitmap::create(width, height, format);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bitmap->setPixel(x, y, colourAt(x));
  return Image::imageWithBitmap(bitmap, scale, orientation);
}

// Stored left half red, right half blue.
std::shared_ptr<Image> redBlue(int width, int height, double scale = 1,
                               ImageOrientation orientation = ImageOrientation::Up) {
  return columns(
      width, height, [width](int x) { return x < width / 2 ? kRed : kBlue; }, scale, orientation);
}

// Every stored pixel a different colour.
std::shared_ptr<Image> numbered(int width, int height, double scale = 1,
                                ImageOrientation orientation = ImageOrientation::Up) {
  auto bitmap = Bitmap::create(width, height, PixelFormat::RGB24);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      bitmap->setPixel(x, y, 0xFF000000u | std::uint32_t(x) << 16 | std::uint32_t(y) << 8 | 7);
  return Image::imageWithBitmap(bitmap, scale, orientation);
}

using testing_support::ScopedScreenScale;

bool logged(const testing_support::ConsoleCapture& console, const std::string& message) {
  for (const auto& line : console.lines())
    if (line == message) return true;
  return false;
}

}  // namespace

// Cropping

TEST(PV_ExtensionsCropTest, CutsTheStoredPixelsInsideTheRectangle) {
  auto image = numbered(10, 8, 2, ImageOrientation::Left);
  auto part = imageAtRect(image, Rect(2, 3, 4, 2));
  ASSERT_TRUE(part);
  EXPECT_EQ(part->pixelWidth(), 4);
  EXPECT_EQ(part->pixelHeight(), 2);
  EXPECT_EQ(part->scale(), 2);
  EXPECT_EQ(part->orientation(), ImageOrientation::Left);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(part->bitmap().pixel(x, y), image->bitmap().pixel(2 + x, 3 + y));
}

TEST(PV_ExtensionsCropTest, PartlyOutsideGivesTheClippedPart) {
  auto image = numbered(10, 8);
  auto part = imageAtRect(image, Rect(-3, 6, 5, 10));
  ASSERT_TRUE(part);
  EXPECT_EQ(part->pixelWidth(), 2);
  EXPECT_EQ(part->pixelHeight(), 2);
  EXPECT_EQ(part->bitmap().pixel(0, 0), image->bitmap().pixel(0, 6));
  EXPECT_EQ(part->bitmap().pixel(1, 1), image->bitmap().pixel(1, 7));
}

TEST(PV_ExtensionsCropTest, FractionalAndTurnedRectanglesTakeWholePixels) {
  auto image = numbered(10, 8);
  auto part = imageAtRect(image, Rect(1.5, 1.5, 2, 2));  // pixels 1 to 3 inclusive
  ASSERT_TRUE(part);
  EXPECT_EQ(part->pixelWidth(), 3);
  EXPECT_EQ(part->pixelHeight(), 3);
  EXPECT_EQ(part->bitmap().pixel(0, 0), image->bitmap().pixel(1, 1));
  auto turned = imageAtRect(image, Rect(6, 5, -2, -3));  // (4, 2, 2, 3)
  ASSERT_TRUE(turned);
  EXPECT_EQ(turned->pixelWidth(), 2);
  EXPECT_EQ(turned->pixelHeight(), 3);
  EXPECT_EQ(turned->bitmap().pixel(0, 0), image->bitmap().pixel(4, 2));
}

TEST(PV_ExtensionsCropTest, WhollyOutsideOrWithoutReceiverGivesNone) {
  auto image = numbered(10, 8);
  EXPECT_FALSE(imageAtRect(image, Rect(20, 20, 5, 5)));
  EXPECT_FALSE(imageAtRect(image, Rect(10, 0, 5, 5)));  // touching the right edge only
  EXPECT_FALSE(imageAtRect(image, Rect(0, 0, 0, 5)));
  EXPECT_FALSE(imageAtRect(image, Rect(0, 0, std::numeric_limits<double>::quiet_NaN(), 5)));
  EXPECT_FALSE(imageAtRect(nullptr, Rect(0, 0, 5, 5)));
}

// Scaling to fit

TEST(PV_ExtensionsFitTest, WideImageFitsInASquare) {
  auto image = redBlue(1000, 500);
  auto scaled = imageByScalingProportionallyToSize(image, Size{320, 320});
  ASSERT_TRUE(scaled);
  EXPECT_NE(scaled, image);
  EXPECT_EQ(scaled->pixelWidth(), 320);
  EXPECT_EQ(scaled->pixelHeight(), 160);
  EXPECT_EQ(scaled->scale(), 1);
  EXPECT_EQ(scaled->orientation(), ImageOrientation::Up);
  EXPECT_TRUE(near(scaled->bitmap().pixel(40, 80), kRed));
  EXPECT_TRUE(near(scaled->bitmap().pixel(280, 80), kBlue));
  EXPECT_TRUE(near(scaled->bitmap().pixel(0, 0), kRed));
  EXPECT_TRUE(near(scaled->bitmap().pixel(319, 159), kBlue));
}

TEST(PV_ExtensionsFitTest, ReturnsTheReceiverWhenItFitsWithOneSideExact) {
  auto image = redBlue(200, 100);
  EXPECT_EQ(imageByScalingProportionallyToSize(image, Size{320, 100}), image);
  EXPECT_EQ(imageByScalingProportionallyToSize(image, Size{200, 300}), image);
  EXPECT_EQ(imageByScalingProportionallyToSize(image, Size{200, 100}), image);
  // Smaller on one side and larger on the other is scaled.
  auto shrunk = imageByScalingProportionallyToSize(image, Size{100, 300});
  ASSERT_TRUE(shrunk);
  EXPECT_NE(shrunk, image);
  EXPECT_EQ(shrunk->pixelWidth(), 100);
  EXPECT_EQ(shrunk->pixelHeight(), 50);
}

TEST(PV_ExtensionsFitTest, EnlargesASmallerImage) {
  auto image = redBlue(200, 100);
  auto scaled = imageByScalingProportionallyToSize(image, Size{400, 400});
  ASSERT_TRUE(scaled);
  EXPECT_EQ(scaled->pixelWidth(), 400);
  EXPECT_EQ(scaled->pixelHeight(), 200);
  EXPECT_TRUE(near(scaled->bitmap().pixel(100, 100), kRed));
  EXPECT_TRUE(near(scaled->bitmap().pixel(300, 100), kBlue));
}

TEST(PV_ExtensionsFitTest, SidewaysImagesAreScaledInStoredOrder) {
  // Stored 400×300 shown turned clockwise: 300×400 points.
  auto image = redBlue(400, 300, 1, ImageOrientation::Right);
  ASSERT_EQ(image->size(), (Size{300, 400}));
  auto scaled = imageByScalingProportionallyToSize(image, Size{150, 150});
  ASSERT_TRUE(scaled);
  // f = 0.375: 112.5 rounds up to 113 shown wide, 150 high; stored 150×113.
  EXPECT_EQ(scaled->pixelWidth(), 150);
  EXPECT_EQ(scaled->pixelHeight(), 113);
  EXPECT_EQ(scaled->orientation(), ImageOrientation::Right);
  EXPECT_EQ(scaled->size(), (Size{113, 150}));
  EXPECT_TRUE(near(scaled->bitmap().pixel(20, 56), kRed));
  EXPECT_TRUE(near(scaled->bitmap().pixel(130, 56), kBlue));
}

TEST(PV_ExtensionsFitTest, TheTargetIsInPixelsAndTheResultKeepsTheScale) {
  // 200×100 pixels at scale 2 is 100×50 points; the target (50, 25) at scale 2 is (100, 50),
  // which the size in points equals.
  auto image = redBlue(200, 100, 2);
  EXPECT_EQ(imageByScalingProportionallyToSize(image, Size{50, 25}), image);
  auto scaled = imageByScalingProportionallyToSize(image, Size{40, 40});  // 80×80: f = 0.8
  ASSERT_TRUE(scaled);
  EXPECT_EQ(scaled->pixelWidth(), 80);
  EXPECT_EQ(scaled->pixelHeight(), 40);
  EXPECT_EQ(scaled->scale(), 2);
}

TEST(PV_ExtensionsFitTest, ReturnsTheReceiverWhenNoCanvasCanBeMade) {
  auto image = redBlue(20, 10);
  EXPECT_EQ(imageByScalingProportionallyToSize(image, Size{1e9, 1e9}), image);
  EXPECT_EQ(imageByScalingProportionallyToSize(image, Size{0.01, 0.01}), image);  // 0×0 canvas
  EXPECT_EQ(imageByScalingProportionallyToSize(nullptr, Size{10, 10}), nullptr);
}

TEST(PV_ExtensionsFitTest, KeepsTransparency) {
  auto image = columns(
      20, 10, [](int x) { return x < 10 ? 0u : kGreen; }, 1, ImageOrientation::Up,
      PixelFormat::ARGB32Premultiplied);
  auto scaled = imageByScalingProportionallyToSize(image, Size{10, 10});
  ASSERT_TRUE(scaled);
  EXPECT_EQ(scaled->bitmap().pixel(1, 2), 0u);
  EXPECT_TRUE(near(scaled->bitmap().pixel(8, 2), kGreen));
}

// Scaling to cover

TEST(PV_ExtensionsCoverTest, WideImageIsCentredAndCropped) {
  ScopedScreenScale screen(1);
  // Left quarter red, middle half green, right quarter blue: only the green part is left.
  auto image = columns(100, 50, [](int x) { return x < 25 ? kRed : x < 75 ? kGreen : kBlue; });
  auto covered = imageByScalingProportionallyToMinimumSize(image, Size{50, 50});
  ASSERT_TRUE(covered);
  EXPECT_EQ(covered->pixelWidth(), 50);
  EXPECT_EQ(covered->pixelHeight(), 50);
  EXPECT_EQ(covered->scale(), 1);
  EXPECT_FALSE(covered->bitmap().hasAlpha());
  for (int x : {0, 1, 25, 48, 49})
    for (int y : {0, 25, 49})
      EXPECT_TRUE(near(covered->bitmap().pixel(x, y), kGreen)) << x << "," << y;
}

TEST(PV_ExtensionsCoverTest, TallImageIsCentredVertically) {
  ScopedScreenScale screen(1);
  auto bitmap = Bitmap::create(20, 40, PixelFormat::RGB24);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 20; ++x) bitmap->setPixel(x, y, y < 10 || y >= 30 ? kRed : kGreen);
  auto covered =
      imageByScalingProportionallyToMinimumSize(Image::imageWithBitmap(bitmap), Size{40, 40});
  ASSERT_TRUE(covered);  // scaled to 40×80, y = −20
  EXPECT_EQ(covered->pixelWidth(), 40);
  EXPECT_EQ(covered->pixelHeight(), 40);
  EXPECT_TRUE(near(covered->bitmap().pixel(20, 1), kGreen));
  EXPECT_TRUE(near(covered->bitmap().pixel(20, 38), kGreen));
}

TEST(PV_ExtensionsCoverTest, CanvasIsAtTheScreenScaleAndOpaque) {
  ScopedScreenScale screen(2);
  // Transparent on the left: it comes out black.
  auto image = columns(
      100, 50, [](int x) { return x < 50 ? 0u : kBlue; }, 1, ImageOrientation::Up,
      PixelFormat::ARGB32Premultiplied);
  auto covered = imageByScalingProportionallyToMinimumSize(image, Size{50, 50});
  ASSERT_TRUE(covered);
  // 50 points at screen scale 2 over image scale 1 is a 100-point canvas of 200 pixels.
  EXPECT_EQ(covered->pixelWidth(), 200);
  EXPECT_EQ(covered->pixelHeight(), 200);
  EXPECT_EQ(covered->scale(), 2);
  EXPECT_EQ(covered->bitmap().pixel(10, 100), 0xFF000000u);
  EXPECT_TRUE(near(covered->bitmap().pixel(190, 100), kBlue));
}

TEST(PV_ExtensionsCoverTest, AppliesTheOrientation) {
  ScopedScreenScale screen(1);
  // Stored left half red; shown upside down, so red is on the right.
  auto image = redBlue(100, 50, 1, ImageOrientation::Down);
  auto covered = imageByScalingProportionallyToMinimumSize(image, Size{100, 100});
  ASSERT_TRUE(covered);
  EXPECT_EQ(covered->orientation(), ImageOrientation::Up);
  EXPECT_TRUE(near(covered->bitmap().pixel(2, 50), kBlue));
  EXPECT_TRUE(near(covered->bitmap().pixel(97, 50), kRed));
}

TEST(PV_ExtensionsCoverTest, ExactSizeGivesANewImageWithTheSamePixels) {
  ScopedScreenScale screen(1);
  auto image = redBlue(50, 50, 1, ImageOrientation::LeftMirrored);
  auto same = imageByScalingProportionallyToMinimumSize(image, Size{50, 50});
  ASSERT_TRUE(same);
  EXPECT_NE(same, image);
  EXPECT_EQ(same->sharedBitmap(), image->sharedBitmap());
  EXPECT_EQ(same->orientation(), ImageOrientation::LeftMirrored);
  EXPECT_EQ(same->scale(), 1);
}

TEST(PV_ExtensionsCoverTest, LogsWhenNoCanvasCanBeMade) {
  testing_support::ConsoleCapture console;
  EXPECT_FALSE(imageByScalingProportionallyToMinimumSize(redBlue(10, 10), Size{0, 0}));
  EXPECT_TRUE(logged(console, "could not scale image"));
  testing_support::ConsoleCapture again;
  EXPECT_FALSE(imageByScalingProportionallyToMinimumSize(nullptr, Size{10, 10}));
  EXPECT_TRUE(logged(again, "could not scale image"));
}

// Stretching

TEST(PV_ExtensionsStretchTest, StretchesToTheSizeWithTheOrientation) {
  ScopedScreenScale screen(1);
  // Stored 40×20 left half red, shown turned anticlockwise: red at the bottom.
  auto image = redBlue(40, 20, 1, ImageOrientation::Left);
  auto stretched = imageByScalingToSize(image, Size{30, 60});
  ASSERT_TRUE(stretched);
  EXPECT_EQ(stretched->pixelWidth(), 30);
  EXPECT_EQ(stretched->pixelHeight(), 60);
  EXPECT_FALSE(stretched->bitmap().hasAlpha());
  EXPECT_TRUE(near(stretched->bitmap().pixel(15, 5), kBlue));
  EXPECT_TRUE(near(stretched->bitmap().pixel(15, 55), kRed));
  EXPECT_TRUE(near(stretched->bitmap().pixel(0, 0), kBlue));
  EXPECT_TRUE(near(stretched->bitmap().pixel(29, 59), kRed));
}

TEST(PV_ExtensionsStretchTest, UsesTheScreenScaleOverTheImageScale) {
  ScopedScreenScale screen(2);
  auto stretched = imageByScalingToSize(redBlue(40, 20, 2), Size{10, 5});
  ASSERT_TRUE(stretched);
  EXPECT_EQ(stretched->pixelWidth(), 20);
  EXPECT_EQ(stretched->pixelHeight(), 10);
  EXPECT_EQ(stretched->scale(), 2);
}

TEST(PV_ExtensionsStretchTest, LogsWhenNoCanvasCanBeMade) {
  testing_support::ConsoleCapture console;
  EXPECT_FALSE(
      imageByScalingToSize(redBlue(10, 10), Size{std::numeric_limits<double>::infinity(), 5}));
  EXPECT_TRUE(logged(console, "could not scale image"));
  EXPECT_FALSE(imageByScalingToSize(nullptr, Size{5, 5}));
}

// Rotating

TEST(PV_ExtensionsRotateTest, QuarterTurnSwapsTheSidesAndTurnsClockwise) {
  auto rotated = imageRotatedByDegrees(redBlue(100, 50), 90);
  ASSERT_TRUE(rotated);
  // 50×100 up to single precision, which may add a pixel.
  EXPECT_GE(rotated->pixelWidth(), 50);
  EXPECT_LE(rotated->pixelWidth(), 51);
  EXPECT_GE(rotated->pixelHeight(), 100);
  EXPECT_LE(rotated->pixelHeight(), 101);
  EXPECT_EQ(rotated->scale(), 1);
  EXPECT_EQ(rotated->orientation(), ImageOrientation::Up);
  // The left (red) half is now on top.
  EXPECT_TRUE(near(rotated->bitmap().pixel(25, 20), kRed));
  EXPECT_TRUE(near(rotated->bitmap().pixel(25, 80), kBlue));
}

TEST(PV_ExtensionsRotateTest, EighthTurnHasTransparentCorners) {
  auto rotated = imageRotatedByDegrees(redBlue(100, 50), 45);
  ASSERT_TRUE(rotated);
  // 150 / √2 ≈ 106.07 points on each side.
  EXPECT_GE(rotated->pixelWidth(), 106);
  EXPECT_LE(rotated->pixelWidth(), 107);
  EXPECT_EQ(rotated->pixelHeight(), rotated->pixelWidth());
  int last = rotated->pixelWidth() - 1;
  const Bitmap& pixels = rotated->bitmap();
  EXPECT_TRUE(pixels.hasAlpha());
  for (auto [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}})
    EXPECT_EQ(alphaOf(pixels.pixel(x, y)), 0) << x << "," << y;
  EXPECT_EQ(alphaOf(pixels.pixel(last / 2, last / 2)), 255);
  // The red half turned clockwise by 45°: upper left of the centre.
  EXPECT_TRUE(near(pixels.pixel(last / 2 - 15, last / 2 - 15), kRed));
  EXPECT_TRUE(near(pixels.pixel(last / 2 + 15, last / 2 + 15), kBlue));
}

TEST(PV_ExtensionsRotateTest, RadiansAgreeWithDegrees) {
  auto image = redBlue(100, 50);
  auto byRadians = imageRotatedByRadians(image, 3.14159265358979 / 2);
  auto byDegrees = imageRotatedByDegrees(image, 90);
  ASSERT_TRUE(byRadians);
  ASSERT_TRUE(byDegrees);
  EXPECT_EQ(byRadians->pixelWidth(), byDegrees->pixelWidth());
  EXPECT_EQ(byRadians->pixelHeight(), byDegrees->pixelHeight());
  EXPECT_TRUE(near(byRadians->bitmap().pixel(25, 20), kRed));
}

TEST(PV_ExtensionsRotateTest, CanvasIsInPointsAtScaleOne) {
  auto rotated = imageRotatedByDegrees(redBlue(100, 50, 2), 0);
  ASSERT_TRUE(rotated);
  EXPECT_EQ(rotated->pixelWidth(), 50);
  EXPECT_EQ(rotated->pixelHeight(), 25);
  EXPECT_EQ(rotated->scale(), 1);
  EXPECT_TRUE(near(rotated->bitmap().pixel(5, 12), kRed));
  EXPECT_TRUE(near(rotated->bitmap().pixel(45, 12), kBlue));
  EXPECT_FALSE(imageRotatedByDegrees(nullptr, 30));
}

// Masking

namespace {

// Left third black, middle third mid grey, right third white.
std::shared_ptr<Image> greyThirds(int width, int height) {
  auto mask = Bitmap::create(width, height, PixelFormat::Grey8);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      mask->row(y)[x] = x < width / 3 ? 0 : x < 2 * width / 3 ? 128 : 255;
  return Image::imageWithBitmap(mask);
}

}  // namespace

TEST(PV_ExtensionsMaskTest, OpaqueJpegGetsAlphaFromAGreyMask) {
  auto solid = columns(60, 20, [](int) { return 0xFFC86432u; });
  auto decoded = ImageDecoder::decodeJPEG(*ImageEncoder::jpegData(*solid, 1.0), 2);
  ASSERT_TRUE(decoded);
  ASSERT_FALSE(decoded->bitmap().hasAlpha());
  auto photo = Image::imageWithBitmap(decoded->sharedBitmap(), 2, ImageOrientation::Down);
  // A mask of another size is stretched: each third of the mask covers a third of the photo.
  auto masked = imageByMaskingUsingImage(photo, greyThirds(15, 5));
  ASSERT_TRUE(masked);
  EXPECT_EQ(masked->bitmap().format(), PixelFormat::ARGB32Premultiplied);
  EXPECT_EQ(masked->pixelWidth(), 60);
  EXPECT_EQ(masked->pixelHeight(), 20);
  EXPECT_EQ(masked->scale(), 2);
  EXPECT_EQ(masked->orientation(), ImageOrientation::Down);
  const Bitmap& pixels = masked->bitmap();
  for (int y : {0, 10, 19}) {
    for (int x : {0, 10, 19}) EXPECT_TRUE(near(pixels.pixel(x, y), 0xFFC86432u, 4));
    for (int x : {20, 30, 39}) {
      EXPECT_NEAR(alphaOf(pixels.pixel(x, y)), 127, 1);
      EXPECT_TRUE(near(pixels.pixel(x, y) | 0xFF000000u, 0xFFC86432u, 6));
    }
    for (int x : {40, 50, 59}) EXPECT_EQ(alphaOf(pixels.pixel(x, y)), 0);
  }
  EXPECT_EQ(photo->bitmap().format(), PixelFormat::RGB24);  // the receiver is unchanged
}

TEST(PV_ExtensionsMaskTest, AlphaOfTheReceiverIsMultiplied) {
  auto halfGreen = columns(
      6, 2, [](int) { return 0x8000FF00u; }, 1, ImageOrientation::Up,
      PixelFormat::ARGB32Premultiplied);
  auto masked = imageByMaskingUsingImage(halfGreen, greyThirds(6, 2));
  ASSERT_TRUE(masked);
  EXPECT_NEAR(alphaOf(masked->bitmap().pixel(0, 0)), 128, 1);
  EXPECT_NEAR(alphaOf(masked->bitmap().pixel(2, 1)), 64, 1);
  EXPECT_EQ(alphaOf(masked->bitmap().pixel(5, 0)), 0);
}

TEST(PV_ExtensionsMaskTest, ColourAndAlphaMasksAreReadAsGrey) {
  auto photo = redBlue(4, 2);
  auto colourMask = columns(4, 2, [](int x) { return x < 2 ? 0xFF000000u : 0xFFFFFFFFu; });
  auto masked = imageByMaskingUsingImage(photo, colourMask);
  ASSERT_TRUE(masked);
  EXPECT_EQ(masked->bitmap().pixel(0, 0), kRed);
  EXPECT_EQ(masked->bitmap().pixel(3, 1), 0u);

  // Transparency reads as white: the clear part removes, the opaque black part keeps.
  auto alphaMask = columns(
      4, 2, [](int x) { return x < 2 ? 0u : 0xFF000000u; }, 1, ImageOrientation::Up,
      PixelFormat::ARGB32Premultiplied);
  auto cut = imageByMaskingUsingImage(photo, alphaMask);
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->bitmap().pixel(0, 0), 0u);
  EXPECT_EQ(cut->bitmap().pixel(3, 1), kBlue);
}

TEST(PV_ExtensionsMaskTest, WithoutMaskOrReceiverGivesNone) {
  EXPECT_FALSE(imageByMaskingUsingImage(redBlue(4, 2), nullptr));
  EXPECT_FALSE(imageByMaskingUsingImage(nullptr, greyThirds(3, 1)));
}
