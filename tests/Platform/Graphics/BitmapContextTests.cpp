#include <gtest/gtest.h>

#include <cmath>

#include "Graphics/BitmapContext.h"

using namespace platform;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu;

std::shared_ptr<Image> twoBandImage() {
  // Top half red, bottom half blue, in stored order.
  auto bitmap = Bitmap::create(4, 4, PixelFormat::RGB24);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) bitmap->setPixel(x, y, y < 2 ? kRed : kBlue);
  return Image::imageWithBitmap(bitmap);
}

}  // namespace

TEST(BitmapContextTest, TheOriginIsAtTheBottomLeft) {
  auto context = BitmapContext::create(100, 100, true);
  ASSERT_TRUE(context);
  context->setFillColor(1, 0, 0, 1);
  context->fillRect(Rect(10, 10, 20, 30));
  auto image = context->makeImage();
  const Bitmap& pixels = image->bitmap();
  EXPECT_EQ(pixels.pixel(15, 100 - 11), kRed);  // y = 10..40 up is row 89..60 down
  EXPECT_EQ(pixels.pixel(15, 100 - 39), kRed);
  EXPECT_EQ(pixels.pixel(15, 100 - 41), 0u);
  EXPECT_EQ(pixels.pixel(15, 100 - 9), 0u);
  EXPECT_EQ(pixels.pixel(5, 80), 0u);
  EXPECT_FALSE(BitmapContext::create(0, 5, true));
}

TEST(BitmapContextTest, ImagesAreDrawnUprightAndFlipWithTheCanvas) {
  auto context = BitmapContext::create(40, 40, false);
  context->drawImage(Rect(0, 0, 40, 40), *twoBandImage());
  auto upright = context->makeImage();
  EXPECT_EQ(upright->bitmap().pixel(20, 5), kRed);
  EXPECT_EQ(upright->bitmap().pixel(20, 35), kBlue);
  EXPECT_EQ(upright->bitmap().format(), PixelFormat::RGB24);

  // Flipped the way the toolkit's image canvases flip, the same call shows it upside down.
  auto flipped = BitmapContext::create(40, 40, false);
  flipped->translateCTM(0, 40);
  flipped->scaleCTM(1, -1);
  flipped->drawImage(Rect(0, 0, 40, 40), *twoBandImage());
  EXPECT_EQ(flipped->makeImage()->bitmap().pixel(20, 5), kBlue);
}

TEST(BitmapContextTest, StatesAlphaClipsFillRulesAndUndrawableTransforms) {
  auto context = BitmapContext::create(60, 60, true);
  {
    GStateSaver saver(*context);
    context->setAlpha(0.5);
    context->setFillColor(0, 0, 1, 1);
    context->fillRect(Rect(0, 0, 10, 10));
  }
  context->setFillColor(0, 1, 0, 1);
  context->fillRect(Rect(50, 50, 10, 10));
  // A ring: the inner square is a hole under even-odd.
  context->beginPath();
  context->addRect(Rect(20, 20, 20, 20));
  context->addRect(Rect(25, 25, 10, 10));
  context->setFillColor(1, 0, 0, 1);
  context->fillPath(FillRule::EvenOdd);
  // Clipped to an ellipse: the corners of its box stay empty.
  {
    GStateSaver saver(*context);
    context->addEllipseInRect(Rect(0, 40, 20, 20));
    context->clip();
    context->fillRect(Rect(0, 40, 20, 20));
  }
  auto image = context->makeImage();
  const Bitmap& pixels = image->bitmap();
  EXPECT_NEAR(pixels.pixel(5, 55) >> 24, 128, 1);  // half alpha, restored afterwards
  EXPECT_EQ(pixels.pixel(55, 5), 0xFF00FF00u);
  EXPECT_EQ(pixels.pixel(22, 37), kRed);
  EXPECT_EQ(pixels.pixel(30, 30), 0u);
  EXPECT_EQ(pixels.pixel(10, 10), kRed);  // ellipse centre
  EXPECT_EQ(pixels.pixel(1, 1), 0u);      // ellipse box corner

  context->clearRect(Rect(0, 0, 60, 60));
  EXPECT_EQ(context->makeImage()->bitmap().pixel(22, 37), 0u);

  // Undrawable transforms draw nothing until restored.
  for (AffineTransform bad : {AffineTransform::makeScale(0, 0), AffineTransform::makeScale(NAN, 1),
                              AffineTransform::makeTranslation(INFINITY, 0)}) {
    GStateSaver saver(*context);
    context->concatCTM(bad);
    context->moveToPoint(0, 0);
    context->addLineToPoint(NAN, 5);
    context->fillRect(Rect(0, 0, 20, 20));
    context->drawImage(Rect(0, 0, 20, 20), *twoBandImage());
  }
  EXPECT_EQ(context->makeImage()->bitmap().pixel(10, 50), 0u);
  context->restoreGState();  // unbalanced: ignored
  context->fillRect(Rect(0, 0, NAN, 20));
  context->fillRect(Rect(0, 0, 20, 20));
  EXPECT_EQ(context->makeImage()->bitmap().pixel(10, 50), kRed);
}
