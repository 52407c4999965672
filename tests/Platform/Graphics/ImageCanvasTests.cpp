#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <thread>

#include "Graphics/ImageCanvas.h"
#include "TestSupport.h"

using namespace platform;

using testing_support::near;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u;

// A 2×3 stored picture whose six pixels all differ.
constexpr std::uint32_t kStored[3][2] = {
    {0xFFFF0000u, 0xFF00FF00u}, {0xFF0000FFu, 0xFFFFFF00u}, {0xFF00FFFFu, 0xFFFF00FFu}};

std::shared_ptr<Image> sixColours(ImageOrientation orientation) {
  auto bitmap = Bitmap::create(2, 3, PixelFormat::ARGB32Premultiplied);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 2; ++x) bitmap->setPixel(x, y, kStored[y][x]);
  return Image::imageWithBitmap(bitmap, 1, orientation);
}

using testing_support::ScopedScreenScale;

}  // namespace

TEST(ImageCanvasTest, PixelSizesFollowTheScaleRoundedUpAndScaleZeroIsTheScreens) {
  ScopedScreenScale screen(3);
  struct Case {
    Size size;
    std::optional<double> scale;  // none: the one-argument form
    int width, height;
    double imageScale;
  };
  for (const Case& c : {Case{{10.5, 3}, 2, 21, 6, 2}, Case{{2.2, 1.01}, 1, 3, 2, 1},
                        Case{{2, 1}, 0, 6, 3, 3}, Case{{5, 4}, std::nullopt, 5, 4, 1}}) {
    SCOPED_TRACE(c.width);
    auto canvas = c.scale ? std::make_unique<ImageCanvasScope>(c.size, false, *c.scale)
                          : std::make_unique<ImageCanvasScope>(c.size);
    ASSERT_TRUE(canvas->context());
    EXPECT_EQ(canvas->context()->width(), c.width);
    EXPECT_EQ(canvas->context()->height(), c.height);
    auto image = canvas->image();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->scale(), c.imageScale);
    EXPECT_EQ(image->size(), (Size{c.width / c.imageScale, c.height / c.imageScale}));
    EXPECT_TRUE(image->bitmap().hasAlpha());
    EXPECT_EQ(image->bitmap().pixel(1, 1), 0u);  // transparent where nothing is drawn
  }
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

TEST(ImageCanvasTest, UnusableSizesGiveNoCanvasButStayPairedAndCanvasesArePerThread) {
  ImageCanvas::end();  // with nothing begun: ignored
  EXPECT_EQ(ImageCanvas::depth(), 0);
  EXPECT_EQ(ImageCanvas::imageFromCurrentContext(), nullptr);
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
  BitmapContext* seenElsewhere = outerContext;
  std::thread([&] { seenElsewhere = ImageCanvas::currentContext(); }).join();
  EXPECT_EQ(seenElsewhere, nullptr);
}

// Every EXIF orientation, drawn, is checked on real JPEG files in ImageCodecTest.
TEST(ImageCanvasTest, DrawInRectTurnsPlacesAndStretchesIntoTheRectangle) {
  // Turned clockwise, stored pixel (i, j) is shown at (2 - j, i): 3 wide and 2 high. Drawn twice
  // as large at (1, 2) on a scale-2 canvas, each shown pixel becomes a 4×4 block starting at
  // pixel (2, 4). Smoothing blends a block's middle with its neighbours by up to a quarter; any
  // two stored colours differ by 255 in some channel.
  auto image = sixColours(ImageOrientation::Right);
  ImageCanvasScope canvas(Size{8, 7}, false, 2);
  drawImageInRect(*image, Rect(1, 2, 6, 4));
  auto result = canvas.image();
  ASSERT_TRUE(result);
  const Bitmap& pixels = result->bitmap();
  for (int j = 0; j < 3; ++j)
    for (int i = 0; i < 2; ++i) {
      int cx = 2 + 4 * (2 - j) + 2, cy = 4 + 4 * i + 2;
      EXPECT_TRUE(near(pixels.pixel(cx, cy), kStored[j][i], 90))
          << std::hex << pixels.pixel(cx, cy);
    }
  EXPECT_EQ(pixels.pixel(1, 6), 0u);   // left of the rectangle
  EXPECT_EQ(pixels.pixel(4, 3), 0u);   // above it
  EXPECT_EQ(pixels.pixel(4, 12), 0u);  // below it
  EXPECT_EQ(pixels.pixel(14, 6), 0u);  // right of it
}
