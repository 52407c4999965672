#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

#include "Foundation/DeviceProfile.h"
#include "Graphics/ImageCanvas.h"
#include "TestSupport.h"

using namespace platform;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u;

// Each channel within `tolerance`.
bool near(std::uint32_t actual, std::uint32_t expected, int tolerance = 2) {
  for (int shift = 0; shift < 32; shift += 8) {
    int a = (actual >> shift) & 0xFF, e = (expected >> shift) & 0xFF;
    if (std::abs(a - e) > tolerance) return false;
  }
  return true;
}

// A 2×3 stored picture whose six pixels all differ.
constexpr std::uint32_t kStored[3][2] = {
    {0xFFFF0000u, 0xFF00FF00u}, {0xFF0000FFu, 0xFFFFFF00u}, {0xFF00FFFFu, 0xFFFF00FFu}};

std::shared_ptr<Image> sixColours(ImageOrientation orientation) {
  auto bitmap = Bitmap::create(2, 3, PixelFormat::ARGB32Premultiplied);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 2; ++x) bitmap->setPixel(x, y, kStored[y][x]);
  return Image::imageWithBitmap(bitmap, 1, orientation);
}

// Where stored pixel (i, j) of a W×H picture is shown, as the phone's orientations define it.
Point shownAt(ImageOrientation o, int i, int j, int W, int H) {
  switch (o) {
    case ImageOrientation::Up:
      return {double(i), double(j)};
    case ImageOrientation::Down:
      return {double(W - 1 - i), double(H - 1 - j)};
    case ImageOrientation::Left:
      return {double(j), double(W - 1 - i)};  // turned anticlockwise
    case ImageOrientation::Right:
      return {double(H - 1 - j), double(i)};  // turned clockwise
    case ImageOrientation::UpMirrored:
      return {double(W - 1 - i), double(j)};
    case ImageOrientation::DownMirrored:
      return {double(i), double(H - 1 - j)};
    case ImageOrientation::LeftMirrored:
      return {double(j), double(i)};
    case ImageOrientation::RightMirrored:
      return {double(H - 1 - j), double(W - 1 - i)};
  }
  return {};
}

using testing_support::ScopedScreenScale;

}  // namespace

TEST(ImageCanvasTest, ScaleTwoDoublesThePixelsAndMarksTheImage) {
  ImageCanvasScope canvas(Size{10.5, 3}, false, 2);
  ASSERT_TRUE(canvas.context());
  EXPECT_EQ(canvas.context()->width(), 21);
  EXPECT_EQ(canvas.context()->height(), 6);
  auto image = canvas.image();
  ASSERT_TRUE(image);
  EXPECT_EQ(image->scale(), 2);
  EXPECT_EQ(image->orientation(), ImageOrientation::Up);
  EXPECT_EQ(image->size(), (Size{10.5, 3}));
  EXPECT_TRUE(image->bitmap().hasAlpha());
  EXPECT_EQ(image->bitmap().pixel(3, 3), 0u);  // transparent where nothing is drawn
}

TEST(ImageCanvasTest, FractionalSizesRoundUpToWholePixels) {
  ImageCanvasScope canvas(Size{2.2, 1.01}, false, 1);
  ASSERT_TRUE(canvas.context());
  EXPECT_EQ(canvas.context()->width(), 3);
  EXPECT_EQ(canvas.context()->height(), 2);
}

TEST(ImageCanvasTest, UserSpaceHasTheOriginTopLeftInPoints) {
  ImageCanvasScope canvas(Size{4, 4}, true, 2);
  ASSERT_TRUE(canvas.context());
  canvas.context()->setFillColor(1, 0, 0, 1);
  canvas.context()->fillRect(Rect(1, 0, 2, 1));  // one point high at the top
  auto image = canvas.image();
  ASSERT_TRUE(image);
  const Bitmap& pixels = image->bitmap();
  EXPECT_FALSE(pixels.hasAlpha());
  EXPECT_EQ(pixels.pixel(2, 0), kRed);
  EXPECT_EQ(pixels.pixel(5, 1), kRed);
  EXPECT_EQ(pixels.pixel(2, 2), 0xFF000000u);  // opaque black below
  EXPECT_EQ(pixels.pixel(1, 0), 0xFF000000u);
  EXPECT_EQ(pixels.pixel(6, 0), 0xFF000000u);
}

TEST(ImageCanvasTest, ScaleZeroMeansTheScreenScale) {
  ScopedScreenScale screen(3);
  ImageCanvasScope canvas(Size{2, 1}, false, 0);
  ASSERT_TRUE(canvas.context());
  EXPECT_EQ(canvas.context()->width(), 6);
  EXPECT_EQ(canvas.image()->scale(), 3);
}

TEST(ImageCanvasTest, BeginWithoutSizeDefaultsToScaleOneWithAlpha) {
  ScopedScreenScale screen(2);
  ImageCanvasScope canvas(Size{5, 4});
  ASSERT_TRUE(canvas.context());
  EXPECT_EQ(canvas.context()->width(), 5);
  EXPECT_TRUE(canvas.context()->hasAlpha());
  EXPECT_EQ(canvas.image()->scale(), 1);
}

TEST(ImageCanvasTest, UnusableSizesGiveNoCanvasButStayPaired) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  ImageCanvasScope outer(Size{3, 3});
  ASSERT_TRUE(outer.context());
  BitmapContext* outerContext = outer.context();
  for (Size size : {Size{nan, 5}, Size{5, inf}, Size{0, 5}, Size{5, -1}, Size{1e6, 1e6}}) {
    ImageCanvas::begin(size, false, 1);
    EXPECT_EQ(ImageCanvas::depth(), 2);
    EXPECT_EQ(ImageCanvas::currentContext(), nullptr);
    EXPECT_EQ(ImageCanvas::imageFromCurrentContext(), nullptr);
    drawImageInRect(*sixColours(ImageOrientation::Up), Rect(0, 0, 3, 3));  // draws nowhere
    ImageCanvas::end();
    EXPECT_EQ(ImageCanvas::currentContext(), outerContext);
  }
  EXPECT_EQ(outer.image()->bitmap().pixel(1, 1), 0u);
}

TEST(ImageCanvasTest, EndingWithNothingBegunDoesNothing) {
  EXPECT_EQ(ImageCanvas::depth(), 0);
  ImageCanvas::end();
  EXPECT_EQ(ImageCanvas::depth(), 0);
  EXPECT_EQ(ImageCanvas::currentContext(), nullptr);
  EXPECT_EQ(ImageCanvas::imageFromCurrentContext(), nullptr);
}

TEST(ImageCanvasTest, EachThreadHasItsOwnCanvases) {
  ImageCanvasScope canvas(Size{2, 2});
  ASSERT_TRUE(canvas.context());
  BitmapContext* seenElsewhere = canvas.context();
  std::thread([&] { seenElsewhere = ImageCanvas::currentContext(); }).join();
  EXPECT_EQ(seenElsewhere, nullptr);
}

TEST(ImageCanvasTest, DrawInRectAppliesEveryOrientation) {
  for (int o = 0; o < 8; ++o) {
    SCOPED_TRACE(o);
    auto orientation = static_cast<ImageOrientation>(o);
    auto image = sixColours(orientation);
    Size shown = image->size();
    ASSERT_EQ(shown, isSideways(orientation) ? (Size{3, 2}) : (Size{2, 3}));
    ImageCanvasScope canvas(shown, false, 1);
    drawImageInRect(*image, Rect(Point{0, 0}, shown));
    auto result = canvas.image();
    ASSERT_TRUE(result);
    for (int j = 0; j < 3; ++j)
      for (int i = 0; i < 2; ++i) {
        Point at = shownAt(orientation, i, j, 2, 3);
        std::uint32_t actual = result->bitmap().pixel(int(at.x), int(at.y));
        EXPECT_TRUE(near(actual, kStored[j][i]))
            << "stored (" << i << "," << j << ") shown at (" << at.x << "," << at.y << ") is "
            << std::hex << actual;
      }
  }
}

TEST(ImageCanvasTest, DrawInRectPlacesAndStretchesIntoTheRectangle) {
  // Shown 3 wide and 2 high; drawn twice as large at (1, 2) on a scale-2 canvas, so each shown
  // pixel becomes a 4×4 block starting at pixel (2, 4). Smoothing blends a block's middle with
  // its neighbours by up to a quarter; any two stored colours differ by 255 in some channel.
  auto image = sixColours(ImageOrientation::Right);
  ImageCanvasScope canvas(Size{8, 7}, false, 2);
  drawImageInRect(*image, Rect(1, 2, 6, 4));
  auto result = canvas.image();
  ASSERT_TRUE(result);
  const Bitmap& pixels = result->bitmap();
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 2; ++i) {
      Point at = shownAt(ImageOrientation::Right, i, j, 2, 3);
      int cx = 2 + 4 * int(at.x) + 2, cy = 4 + 4 * int(at.y) + 2;
      EXPECT_TRUE(near(pixels.pixel(cx, cy), kStored[j][i], 90))
          << std::hex << pixels.pixel(cx, cy);
    }
  EXPECT_EQ(pixels.pixel(1, 6), 0u);   // left of the rectangle
  EXPECT_EQ(pixels.pixel(4, 3), 0u);   // above it
  EXPECT_EQ(pixels.pixel(4, 12), 0u);  // below it
  EXPECT_EQ(pixels.pixel(14, 6), 0u);  // right of it
}
