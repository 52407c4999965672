#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "ExifJpeg.h"
#include "Foundation/AtomicFile.h"
#include "Graphics/BitmapContext.h"
#include "Graphics/BitmapReduction.h"
#include "Graphics/ExifOrientation.h"
#include "Graphics/ImageCanvas.h"
#include "Graphics/ImageDecoder.h"
#include "Graphics/ImageEncoder.h"
#include "TestSupport.h"

using namespace platform;

using testing_support::channelDistance;

namespace {

std::shared_ptr<Image> gradientImage(PixelFormat format, int width = 40, int height = 30) {
  auto bitmap = Bitmap::create(width, height, format);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      std::uint32_t alpha = x < width / 2 ? 0xFF : 0x80;
      bitmap->setPixel(x, y, alpha << 24 | (x * 6) << 16 | (y * 8) << 8 | 0x40);
    }
  return Image::imageWithBitmap(bitmap);
}

int worstDistance(const Bitmap& a, const Bitmap& b) {
  int worst = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      worst = std::max(worst, channelDistance(a.pixel(x, y), b.pixel(x, y)));
  return worst;
}

// A PNG whose header claims `width` x `height`, with a valid checksum.
Bytes pngHeaderClaiming(std::uint32_t width, std::uint32_t height) {
  Bytes png = *ImageEncoder::pngData(*gradientImage(PixelFormat::RGB24, 2, 2));
  auto putBigEndian = [&](size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) png[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
  };
  putBigEndian(16, width);  // IHDR data starts after the 8-byte signature and 8 bytes of chunk head
  putBigEndian(20, height);
  std::uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 12; i < 29; ++i) {  // chunk type and data
    crc ^= png[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  putBigEndian(29, crc ^ 0xFFFFFFFFu);
  return png;
}

}  // namespace

TEST(BitmapTest, PixelsAreStoredPremultipliedAndReadBackAndBadImagesAreRefused) {
  auto bitmap = Bitmap::create(3, 2, PixelFormat::ARGB32Premultiplied);
  ASSERT_TRUE(bitmap);
  EXPECT_EQ(bitmap->pixel(0, 0), 0u);  // made transparent
  bitmap->setPixel(1, 1, 0x80FF0000u);
  std::uint32_t stored;
  std::memcpy(&stored, bitmap->row(1) + 4, 4);
  EXPECT_EQ(stored, 0x80800000u);
  EXPECT_EQ(bitmap->pixel(1, 1), 0x80FF0000u);
  EXPECT_EQ(bitmap->pixel(5, 5), 0u);
  EXPECT_FALSE(Bitmap::create(0, 10, PixelFormat::RGB24));
  EXPECT_FALSE(Bitmap::create(100000, 100000, PixelFormat::Grey8));
  // Images over no pixels or with a scale below zero are refused or set right.
  EXPECT_FALSE(Image::imageWithBitmap(nullptr));
  EXPECT_EQ(Image::imageWithBitmap(bitmap, -1)->scale(), 1);
}

TEST(ImageCodecTest, PngRoundTripsEveryPixelFormatAndJpegKeepsGreyPicturesGrey) {
  for (PixelFormat format :
       {PixelFormat::ARGB32Premultiplied, PixelFormat::RGB24, PixelFormat::Grey8}) {
    auto original = gradientImage(format);
    auto png = ImageEncoder::pngData(*original);
    ASSERT_TRUE(png);
    auto decoded = ImageDecoder::decode(*png, 2);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->bitmap().format(), format);
    EXPECT_EQ(decoded->scale(), 2);
    EXPECT_EQ(decoded->orientation(), ImageOrientation::Up);
    ASSERT_EQ(decoded->pixelWidth(), 40);
    ASSERT_EQ(decoded->pixelHeight(), 30);
    // Premultiplying half-transparent pixels loses a little precision.
    EXPECT_LE(worstDistance(decoded->bitmap(), original->bitmap()), 2);
  }

  // JPEG keeps grey pictures grey.
  auto colour =
      ImageDecoder::decode(*ImageEncoder::jpegData(*gradientImage(PixelFormat::RGB24), 0.95));
  ASSERT_TRUE(colour);
  EXPECT_EQ(colour->bitmap().format(), PixelFormat::RGB24);
  EXPECT_LE(worstDistance(colour->bitmap(), gradientImage(PixelFormat::RGB24)->bitmap()), 24);

  auto mask = Bitmap::create(16, 16, PixelFormat::Grey8);
  for (int y = 0; y < 16; ++y) std::memset(mask->row(y), y < 8 ? 0 : 255, 16);
  auto grey = ImageDecoder::decode(*ImageEncoder::jpegData(*Image::imageWithBitmap(mask)));
  ASSERT_TRUE(grey);
  EXPECT_EQ(grey->bitmap().format(), PixelFormat::Grey8);
  EXPECT_LT(grey->bitmap().row(2)[3], 10);
  EXPECT_GT(grey->bitmap().row(13)[3], 245);
}

TEST(ImageCodecTest, CorruptTruncatedAndHugePicturesGiveNoImage) {
  Bytes png = *ImageEncoder::pngData(*gradientImage(PixelFormat::ARGB32Premultiplied));
  Bytes jpeg = *ImageEncoder::jpegData(*gradientImage(PixelFormat::RGB24));
  EXPECT_FALSE(ImageDecoder::decode({}));
  EXPECT_FALSE(ImageDecoder::decode(Bytes{'G', 'I', 'F', '8', '9', 'a'}));
  EXPECT_FALSE(ImageDecoder::decode(Bytes(png.begin(), png.begin() + png.size() / 2)));
  EXPECT_FALSE(ImageDecoder::decode(Bytes(jpeg.begin(), jpeg.begin() + 40)));
  Bytes garbage = jpeg;
  for (size_t i = 200; i < garbage.size(); i += 7) garbage[i] ^= 0x5A;
  ImageDecoder::decode(garbage);  // may decode to noise, must not crash or exit
  EXPECT_FALSE(ImageDecoder::decode(pngHeaderClaiming(60000, 60000)));
  EXPECT_TRUE(ImageDecoder::decode(pngHeaderClaiming(2, 2)));  // the forged header itself is fine

  testing_support::TemporaryDirectory directory;
  ASSERT_TRUE(AtomicFile::write(directory.file("a.png"), png));
  auto fromFile = ImageDecoder::imageWithContentsOfFile(directory.file("a.png"));
  ASSERT_TRUE(fromFile);
  EXPECT_EQ(fromFile->pixelWidth(), 40);
  EXPECT_FALSE(ImageDecoder::imageWithContentsOfFile(directory.file("missing.png")));
}

// A picture whose four quarters differ, stored 32 x 16 with each EXIF value: shown[v] names the
// stored quarter (0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right) that the upright
// picture shows at each of its quarters, in the same order (the EXIF standard's table).
TEST(ImageCodecTest, JpegsShowAsTheirExifOrientationSays) {
  const std::uint32_t colours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
  const int shown[9][4] = {{},           {0, 1, 2, 3}, {1, 0, 3, 2}, {3, 2, 1, 0}, {2, 3, 0, 1},
                           {0, 2, 1, 3}, {2, 0, 3, 1}, {3, 1, 2, 0}, {1, 3, 0, 2}};
  auto bitmap = Bitmap::create(32, 16, PixelFormat::RGB24);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 32; ++x) bitmap->setPixel(x, y, colours[(y >= 8) * 2 + (x >= 16)]);
  auto stored = Image::imageWithBitmap(bitmap);
  for (int v = 1; v <= 8; ++v) {
    SCOPED_TRACE(v);
    auto image = ImageDecoder::decode(testing_support::jpegWithExifOrientation(*stored, v, v % 2));
    ASSERT_TRUE(image);
    Size size = v >= 5 ? Size{16, 32} : Size{32, 16};
    EXPECT_EQ(image->size(), size);
    ImageCanvasScope canvas(size);
    drawImageInRect(*image, Rect(0, 0, size.width, size.height));
    auto upright = canvas.image();
    int w = static_cast<int>(size.width), h = static_cast<int>(size.height);
    const int xs[4] = {w / 4, 3 * w / 4, w / 4, 3 * w / 4},
              ys[4] = {h / 4, h / 4, 3 * h / 4, 3 * h / 4};
    for (int q = 0; q < 4; ++q)
      EXPECT_LE(channelDistance(upright->bitmap().pixel(xs[q], ys[q]), colours[shown[v][q]]), 40)
          << "quarter " << q;
  }
  // Values outside 1 to 8 and files without the block stay upright; a damaged block never
  // keeps the picture from decoding, and no cut or corrupted byte of it reads past its end.
  EXPECT_EQ(
      ImageDecoder::decode(testing_support::jpegWithExifOrientation(*stored, 9))->orientation(),
      ImageOrientation::Up);
  EXPECT_EQ(ImageDecoder::decode(*ImageEncoder::jpegData(*stored))->orientation(),
            ImageOrientation::Up);
  const Bytes good = testing_support::jpegWithExifOrientation(*stored, 6, true);
  const size_t block = (good[4] << 8 | good[5]) - 2u;  // the APP1 payload after the length
  EXPECT_EQ(ExifOrientation::fromExifBlock(good.data() + 6, block), ImageOrientation::Right);
  for (size_t n = 0; n < block; ++n) ExifOrientation::fromExifBlock(good.data() + 6, n);
  for (size_t i = 12; i < 6 + block; ++i) {
    Bytes bad = good;
    bad[i] ^= 0xFF;
    ImageDecoder::decode(bad);
  }
}

TEST(ImageCodecTest, APictureTooLongForACanvasIsRefusedAndCannotBreakOne) {
  auto bitmap = Bitmap::create(40000, 10, PixelFormat::RGB24);  // 400,000 pixels: under the limit
  ASSERT_TRUE(bitmap);
  auto longPicture = Image::imageWithBitmap(bitmap);
  auto png = ImageEncoder::pngData(*longPicture);
  ASSERT_TRUE(png);
  EXPECT_FALSE(ImageDecoder::decode(*png));
  EXPECT_FALSE(BitmapContext::create(40000, 10, true));

  // Drawn anyway, it is skipped; the canvas keeps drawing.
  auto canvas = BitmapContext::create(8, 8, true);
  canvas->drawImage(Rect(0, 0, 8, 8), *longPicture);
  canvas->setFillColor(1, 0, 0, 1);
  canvas->fillRect(Rect(0, 0, 8, 8));
  EXPECT_EQ(canvas->makeImage()->bitmap().pixel(4, 4), 0xFFFF0000u);

  // Sizes in points become pixel counts only when in range.
  EXPECT_EQ(Bitmap::pixelLength(10.2, 2), 21);
  for (double bad : {std::nan(""), 1e300, -5.0, 0.0, 40000.0})
    EXPECT_EQ(Bitmap::pixelLength(bad, 1), 0) << bad;
}

TEST(BitmapContextTest, TakingTheImageHandsOverThePixelsAndEndsTheCanvas) {
  auto canvas = BitmapContext::create(4, 2, false);
  canvas->setFillColor(0, 0, 1, 1);
  canvas->fillRect(Rect(0, 0, 2, 2));
  auto image = canvas->takeImage();
  ASSERT_TRUE(image);
  EXPECT_EQ(image->bitmap().row(0)[3], 0xFF);  // opaque bytes set
  EXPECT_EQ(image->bitmap().pixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(image->bitmap().pixel(3, 0), 0xFF000000u);
  canvas->fillRect(Rect(0, 0, 4, 2));  // nothing more reaches the taken pixels
  EXPECT_EQ(image->bitmap().pixel(3, 0), 0xFF000000u);
  EXPECT_FALSE(canvas->takeImage());
  EXPECT_FALSE(canvas->makeImage());
}

TEST(ImageCodecTest, PhotosDecodeStraightToTheirFittedSizeKeepingTheirOrientation) {
  // Stored 1600 x 1200 in four colours, shown turned (EXIF 6): 1200 x 1600 as shown.
  const std::uint32_t colours[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
  auto bitmap = Bitmap::create(1600, 1200, PixelFormat::RGB24);
  for (int y = 0; y < 1200; ++y)
    for (int x = 0; x < 1600; ++x) bitmap->setPixel(x, y, colours[(y >= 600) * 2 + (x >= 800)]);
  const Bytes jpeg = testing_support::jpegWithExifOrientation(*Image::imageWithBitmap(bitmap), 6);
  auto fitted = ImageDecoder::decodeFittingSize(jpeg, Size{640, 960}, 2);
  ASSERT_TRUE(fitted);
  EXPECT_EQ(fitted->orientation(), ImageOrientation::Right);
  EXPECT_EQ(fitted->scale(), 2);
  // 1200 x 1600 fitted in 640 x 960 is 640 x 853 as shown: stored across, 853 x 640.
  ASSERT_EQ(fitted->pixelWidth(), 853);
  ASSERT_EQ(fitted->pixelHeight(), 640);
  for (int q = 0; q < 4; ++q)
    EXPECT_LE(
        channelDistance(fitted->bitmap().pixel(q % 2 ? 640 : 213, q / 2 ? 480 : 160), colours[q]),
        12)
        << "quarter " << q;
  // As the whole decode reduced would look: the DCT scaling loses nothing visible.
  auto whole = ImageDecoder::decode(jpeg);
  auto reference = BitmapReduction::reduce(whole->bitmap(), 853, 640);
  EXPECT_LE(worstDistance(fitted->bitmap(), *reference), 48);  // at the colour edges only

  // Never enlarged; PNG and grey pictures are reduced too, grey staying grey.
  auto small = ImageDecoder::decodeFittingSize(
      *ImageEncoder::jpegData(*gradientImage(PixelFormat::RGB24)), Size{640, 960});
  EXPECT_EQ(small->size(), (Size{40, 30}));
  auto png = ImageDecoder::decodeFittingSize(
      *ImageEncoder::pngData(*gradientImage(PixelFormat::Grey8)), Size{20, 20});
  EXPECT_EQ(png->size(), (Size{20, 15}));
  EXPECT_EQ(png->bitmap().format(), PixelFormat::Grey8);
  EXPECT_EQ(ImageDecoder::decodeFittingSize(Bytes{0xFF, 0xD8, 0xFF}, Size{10, 10}), nullptr);

  // Area averaging: black and white side by side make mid grey.
  auto pair = Bitmap::create(2, 1, PixelFormat::Grey8);
  pair->row(0)[1] = 255;
  EXPECT_EQ(BitmapReduction::reduce(*pair, 1, 1)->row(0)[0], 128);
  EXPECT_EQ(BitmapReduction::reduce(*pair, 3, 1), nullptr);
}
