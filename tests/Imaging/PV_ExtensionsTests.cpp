#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "Foundation/DeviceProfile.h"
#include "Graphics/ImageDecoder.h"
#include "Graphics/ImageEncoder.h"
#include "Imaging/PV_Extensions.h"
#include "TestSupport.h"

using namespace platform;
using namespace PV_Extensions;
using testing_support::ScopedScreenScale;

using testing_support::near;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu,
                        kWhite = 0xFFFFFFFFu;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

int alpha(std::uint32_t argb) {
  return static_cast<int>(argb >> 24);
}

template <class ColourAt>
std::shared_ptr<Image> picture(int width, int height, ColourAt colourAt, double scale = 1,
                               ImageOrientation orientation = ImageOrientation::Up,
                               PixelFormat format = PixelFormat::RGB24) {
  auto bitmap = Bitmap::create(width, height, format);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) bitmap->setPixel(x, y, colourAt(x, y));
  return Image::imageWithBitmap(bitmap, scale, orientation);
}

// A picture with an alpha channel.
template <class ColourAt>
std::shared_ptr<Image> clearPicture(int width, int height, ColourAt colourAt) {
  return picture(width, height, colourAt, 1, ImageOrientation::Up,
                 PixelFormat::ARGB32Premultiplied);
}

// Stored quarters red (top left), green (top right), blue (bottom left), white: no flip or turn
// of it looks like another.
std::shared_ptr<Image> quarters(int width, int height, double scale = 1,
                                ImageOrientation orientation = ImageOrientation::Up) {
  return picture(
      width, height,
      [=](int x, int y) {
        bool right = x >= width / 2, bottom = y >= height / 2;
        return bottom ? (right ? kWhite : kBlue) : (right ? kGreen : kRed);
      },
      scale, orientation);
}

// The colours at the four corners (inset by `inset`), top left, top right, bottom left, bottom
// right, compared with the expected ones.
void expectCorners(const Image& image, std::array<std::uint32_t, 4> expected, int inset = 2) {
  const Bitmap& b = image.bitmap();
  int xs[] = {inset, b.width() - 1 - inset}, ys[] = {inset, b.height() - 1 - inset};
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(near(b.pixel(xs[i % 2], ys[i / 2]), expected[i])) << i;
}

bool loggedNoScale(const testing_support::ConsoleCapture& console) {
  auto lines = console.lines();
  return std::find(lines.begin(), lines.end(), "could not scale image") != lines.end();
}

}  // namespace

TEST(PV_ExtensionsTest, CroppingCutsTheStoredPixelsInWholePixels) {
  auto image = picture(
      10, 8, [](int x, int y) { return 0xFF000007u | x << 16 | y << 8; }, 2,
      ImageOrientation::Left);
  auto part = imageAtRect(image, Rect(2, 3, 4, 2));
  EXPECT_EQ(part->size(), (Size{1, 2}));  // 4×2 stored, turned, at scale 2
  EXPECT_EQ(part->orientation(), ImageOrientation::Left);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(part->bitmap().pixel(x, y), image->bitmap().pixel(2 + x, 3 + y));
  auto fractional = imageAtRect(image, Rect(1.5, 1.5, 2, 2));  // pixels 1 to 3
  EXPECT_EQ(fractional->pixelWidth(), 3);
  EXPECT_EQ(fractional->bitmap().pixel(0, 0), image->bitmap().pixel(1, 1));
  EXPECT_EQ(imageAtRect(image, Rect(-3, 6, 5, 10))->bitmap().pixel(1, 1),
            image->bitmap().pixel(1, 7));                // clipped
  auto turned = imageAtRect(image, Rect(6, 5, -2, -3));  // (4, 2, 2, 3)
  EXPECT_EQ(turned->pixelHeight(), 3);
  EXPECT_EQ(turned->bitmap().pixel(0, 0), image->bitmap().pixel(4, 2));
  for (Rect outside :
       {Rect(20, 20, 5, 5), Rect(10, 0, 5, 5), Rect(0, 0, 0, 5), Rect(0, 0, kNaN, 5)})
    EXPECT_FALSE(imageAtRect(image, outside));
  EXPECT_FALSE(imageAtRect(nullptr, Rect(0, 0, 5, 5)));
}

TEST(PV_ExtensionsTest, FittingScalesInPixelsOrReturnsTheReceiver) {
  auto image = quarters(1000, 500);
  auto scaled = imageByScalingProportionallyToSize(image, Size{320, 320});
  EXPECT_EQ(scaled->size(), (Size{320, 160}));
  expectCorners(*scaled, {kRed, kGreen, kBlue, kWhite});
  auto enlarged = imageByScalingProportionallyToSize(quarters(200, 100), Size{400, 400});
  EXPECT_EQ(enlarged->size(), (Size{400, 200}));
  // A sideways picture (stored 400×300, shown 300×400) is scaled in its stored pixels:
  // f = 0.375, 112.5 rounds up to 113 shown wide.
  auto sideways = imageByScalingProportionallyToSize(quarters(400, 300, 1, ImageOrientation::Right),
                                                     Size{150, 150});
  EXPECT_EQ(sideways->pixelWidth(), 150);
  EXPECT_EQ(sideways->pixelHeight(), 113);
  EXPECT_EQ(sideways->orientation(), ImageOrientation::Right);
  expectCorners(*sideways, {kRed, kGreen, kBlue, kWhite});
  // One side exact and the other inside: the receiver itself.
  auto small = quarters(200, 100);
  for (Size fits : {Size{320, 100}, Size{200, 300}, Size{200, 100}})
    EXPECT_EQ(imageByScalingProportionallyToSize(small, fits), small);
  EXPECT_EQ(imageByScalingProportionallyToSize(small, Size{100, 300})->pixelHeight(), 50);
  // The target is in pixels: (40, 40) at scale 2 is 80×80.
  auto retina = imageByScalingProportionallyToSize(quarters(200, 100, 2), Size{40, 40});
  EXPECT_EQ(retina->pixelWidth(), 80);
  EXPECT_EQ(retina->scale(), 2);
  // No canvas: the receiver.
  EXPECT_EQ(imageByScalingProportionallyToSize(small, Size{1e9, 1e9}), small);
  EXPECT_EQ(imageByScalingProportionallyToSize(small, Size{0.01, 0.01}), small);
  EXPECT_EQ(imageByScalingProportionallyToSize(nullptr, Size{10, 10}), nullptr);
  auto keptClear = imageByScalingProportionallyToSize(
      clearPicture(20, 10, [](int x, int) { return x < 10 ? 0u : kGreen; }), Size{10, 10});
  EXPECT_EQ(keptClear->bitmap().pixel(1, 2), 0u);
  EXPECT_TRUE(near(keptClear->bitmap().pixel(8, 2), kGreen));
}

TEST(PV_ExtensionsTest, CoveringCentresCropsAndDrawsTheOrientationOnAnOpaqueCanvas) {
  ScopedScreenScale screen(1);
  auto wide = picture(100, 50, [](int x, int) { return x < 25 ? kRed : x < 75 ? kGreen : kBlue; });
  auto covered = imageByScalingProportionallyToMinimumSize(wide, Size{50, 50});
  EXPECT_EQ(covered->size(), (Size{50, 50}));
  expectCorners(*covered, {kGreen, kGreen, kGreen, kGreen}, 0);
  // Every orientation comes out drawn upright.
  auto down = imageByScalingProportionallyToMinimumSize(
      quarters(100, 100, 1, ImageOrientation::Down), Size{50, 50});
  EXPECT_EQ(down->orientation(), ImageOrientation::Up);
  expectCorners(*down, {kWhite, kBlue, kGreen, kRed});
  auto mirrored = imageByScalingProportionallyToMinimumSize(
      quarters(100, 100, 1, ImageOrientation::DownMirrored), Size{50, 50});
  expectCorners(*mirrored, {kBlue, kWhite, kRed, kGreen});
  // Exactly the size: the same pixels in a new image.
  auto exact = quarters(50, 50, 1, ImageOrientation::LeftMirrored);
  auto same = imageByScalingProportionallyToMinimumSize(exact, Size{50, 50});
  EXPECT_NE(same, exact);
  EXPECT_EQ(same->sharedBitmap(), exact->sharedBitmap());
  EXPECT_EQ(same->orientation(), ImageOrientation::LeftMirrored);

  // The canvas is opaque, at the screen's scale.
  ScopedScreenScale retina(2);
  auto image = clearPicture(100, 50, [](int x, int) { return x < 50 ? 0u : kBlue; });
  auto sharp = imageByScalingProportionallyToMinimumSize(image, Size{50, 50});
  // 50 points at screen scale 2 over image scale 1: a 100-point canvas of 200 pixels.
  EXPECT_EQ(sharp->pixelWidth(), 200);
  EXPECT_EQ(sharp->scale(), 2);
  EXPECT_EQ(sharp->bitmap().pixel(10, 100), 0xFF000000u);  // transparency comes out black
  EXPECT_TRUE(near(sharp->bitmap().pixel(190, 100), kBlue));
  testing_support::ConsoleCapture console;
  EXPECT_FALSE(imageByScalingProportionallyToMinimumSize(quarters(10, 10), Size{0, 0}));
  EXPECT_FALSE(imageByScalingProportionallyToMinimumSize(nullptr, Size{10, 10}));
  EXPECT_TRUE(loggedNoScale(console));
}

TEST(PV_ExtensionsTest, StretchingDrawsTheOrientationAtTheScreensScale) {
  ScopedScreenScale screen(1);
  // Stored 40×20, shown turned anticlockwise: the stored right column becomes the top row.
  auto stretched = imageByScalingToSize(quarters(40, 20, 1, ImageOrientation::Left), Size{30, 60});
  EXPECT_EQ(stretched->size(), (Size{30, 60}));
  expectCorners(*stretched, {kGreen, kWhite, kRed, kBlue});
  ScopedScreenScale retina(2);
  auto sharp = imageByScalingToSize(quarters(40, 20, 2), Size{10, 5});
  EXPECT_EQ(sharp->pixelWidth(), 20);
  EXPECT_EQ(sharp->scale(), 2);
  testing_support::ConsoleCapture console;
  EXPECT_FALSE(
      imageByScalingToSize(quarters(10, 10), Size{std::numeric_limits<double>::infinity(), 5}));
  EXPECT_TRUE(loggedNoScale(console));
  EXPECT_FALSE(imageByScalingToSize(nullptr, Size{5, 5}));
}

TEST(PV_ExtensionsTest, RotatingTurnsClockwiseOnACanvasInPoints) {
  auto quarter = imageRotatedByDegrees(quarters(100, 50), 90);
  // 50×100 up to single precision, which may add a pixel.
  EXPECT_NEAR(quarter->pixelWidth(), 50, 1);
  EXPECT_NEAR(quarter->pixelHeight(), 100, 1);
  EXPECT_EQ(quarter->orientation(), ImageOrientation::Up);
  expectCorners(*quarter, {kBlue, kRed, kWhite, kGreen});
  expectCorners(*imageRotatedByRadians(quarters(100, 50), 3.14159265358979 / 2),
                {kBlue, kRed, kWhite, kGreen});

  auto eighth = imageRotatedByDegrees(quarters(100, 50), 45);
  EXPECT_NEAR(eighth->pixelWidth(), 106.07, 1);  // 150 / √2
  int last = eighth->pixelWidth() - 1, mid = last / 2;
  const Bitmap& pixels = eighth->bitmap();
  for (auto [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}})
    EXPECT_EQ(alpha(pixels.pixel(x, y)), 0) << x << "," << y;
  // Red's quarter (up and left of the centre) turned clockwise by 45°: straight above it.
  EXPECT_TRUE(near(pixels.pixel(mid, mid - 15), kRed));
  EXPECT_TRUE(near(pixels.pixel(mid, mid + 15), kWhite));

  auto unturned = imageRotatedByDegrees(quarters(100, 50, 2), 0);
  EXPECT_EQ(unturned->size(), (Size{50, 25}));
  EXPECT_EQ(unturned->scale(), 1);
  expectCorners(*unturned, {kRed, kGreen, kBlue, kWhite});
  EXPECT_FALSE(imageRotatedByDegrees(nullptr, 30));
}

TEST(PV_ExtensionsTest, AGreyMaskStretchedOverTheStoredPixelsGivesAlpha) {
  auto solid = picture(60, 20, [](int, int) { return 0xFFC86432u; });
  auto decoded = ImageDecoder::decodeJPEG(*ImageEncoder::jpegData(*solid, 1.0), 2);
  ASSERT_TRUE(decoded);
  auto photo = Image::imageWithBitmap(decoded->sharedBitmap(), 2, ImageOrientation::Down);
  // A 15×6 mask: black in the top left quarter, mid grey in the top right, white below. Applied
  // to the stored pixels whatever the orientation, so a flipped application would show.
  auto mask = Bitmap::create(15, 6, PixelFormat::Grey8);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 15; ++x) mask->row(y)[x] = y >= 3 ? 255 : x < 7 ? 0 : 128;
  auto masked = imageByMaskingUsingImage(photo, Image::imageWithBitmap(mask));
  EXPECT_EQ(masked->bitmap().format(), PixelFormat::ARGB32Premultiplied);
  EXPECT_EQ(masked->size(), photo->size());
  EXPECT_EQ(masked->orientation(), ImageOrientation::Down);
  const Bitmap& pixels = masked->bitmap();
  EXPECT_TRUE(near(pixels.pixel(2, 2), 0xFFC86432u, 4));
  EXPECT_NEAR(alpha(pixels.pixel(55, 2)), 127, 1);
  EXPECT_TRUE(near(pixels.pixel(55, 2) | 0xFF000000u, 0xFFC86432u, 6));
  EXPECT_EQ(alpha(pixels.pixel(2, 17)) + alpha(pixels.pixel(55, 17)), 0);
  EXPECT_EQ(photo->bitmap().format(), PixelFormat::RGB24);  // the receiver is unchanged

  // The receiver's alpha is multiplied; colour masks read by luminance, clear as white.
  auto halfGreen = clearPicture(4, 2, [](int, int) { return 0x8000FF00u; });
  auto greyish = picture(4, 2, [](int x, int) { return x < 2 ? 0xFF000000u : 0xFF808080u; });
  auto faded = imageByMaskingUsingImage(halfGreen, greyish);
  EXPECT_NEAR(alpha(faded->bitmap().pixel(0, 0)), 128, 1);
  EXPECT_NEAR(alpha(faded->bitmap().pixel(3, 1)), 64, 1);
  auto alphaMask = clearPicture(4, 2, [](int x, int) { return x < 2 ? 0u : 0xFF000000u; });
  auto cut = imageByMaskingUsingImage(quarters(4, 2), alphaMask);
  EXPECT_EQ(cut->bitmap().pixel(0, 0), 0u);
  EXPECT_EQ(cut->bitmap().pixel(3, 1), kWhite);
  EXPECT_FALSE(imageByMaskingUsingImage(quarters(4, 2), nullptr));
  EXPECT_FALSE(imageByMaskingUsingImage(nullptr, greyish));
}
