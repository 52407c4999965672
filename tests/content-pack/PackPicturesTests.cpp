// The pack's pictures: sizes, masks, transparency where the photo must show, vector pictures
// and their states, rendered as the application renders them.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "Content/ContentName.h"
#include "Graphics/ImageDecoder.h"
#include "Imaging/PV_Extensions.h"
#include "PackFixture.h"
#include "PackFolder.h"
#include "SVGView/SVGRenderer.h"
#include "TestSupport.h"

namespace {

using pack_fixture::fileNames;
using pack_fixture::path;

std::shared_ptr<platform::Image> decode(const std::string& name) {
  return platform::ImageDecoder::imageWithContentsOfFile(path(name));
}

// Distinct colours on a coarse grid of samples: flat placeholder boxes have a handful.
size_t colourVariety(const platform::Image& image) {
  std::set<std::uint32_t> colours;
  const platform::Bitmap& bitmap = image.bitmap();
  for (int y = 0; y < bitmap.height(); y += 7)
    for (int x = 0; x < bitmap.width(); x += 7) colours.insert(bitmap.pixel(x, y));
  return colours.size();
}

std::uint32_t alphaAt(const platform::Image& image, double fx, double fy) {
  const platform::Bitmap& bitmap = image.bitmap();
  return bitmap.pixel(static_cast<int>(fx * (bitmap.width() - 1)),
                      static_cast<int>(fy * (bitmap.height() - 1))) >>
         24;
}

// The share of pixels within `band` pixels of the picture's edges that are mostly opaque.
double opaqueShareNearEdges(const platform::Image& image, int band) {
  const platform::Bitmap& bitmap = image.bitmap();
  int opaque = 0, total = 0;
  for (int y = 0; y < bitmap.height(); y += 3)
    for (int x = 0; x < bitmap.width(); x += 3) {
      int fromEdge = std::min({x, y, bitmap.width() - 1 - x, bitmap.height() - 1 - y});
      if (fromEdge >= band) continue;
      ++total;
      opaque += (bitmap.pixel(x, y) >> 24) > 100;
    }
  return total ? double(opaque) / total : 0;
}

bool anyAlpha(const platform::Image& image) {
  const platform::Bitmap& bitmap = image.bitmap();
  for (int y = 0; y < bitmap.height(); ++y)
    for (int x = 0; x < bitmap.width(); ++x)
      if (bitmap.pixel(x, y) >> 24) return true;
  return false;
}

std::shared_ptr<platform::Image> defaultMask(bool tall) {
  return platform::ImageDecoder::imageWithContentsOfFile(
      std::string(CONTENT_RESOURCES_DIR) +
          (tall ? "/tbframe_iph5_mask@2x.jpg" : "/tbframe_mask@2x.jpg"),
      2);
}

TEST(PackPictures, RasterFilesDecodeAtTheScreensPixelSizes) {
  int checked = 0;
  for (const std::string& name : fileNames()) {
    std::string_view extension = ContentName::pathExtension(name);
    if (extension != "png" && extension != "jpg") continue;
    SCOPED_TRACE(name);
    auto image = decode(name);
    ASSERT_TRUE(image);
    ++checked;
    bool tall = ContentName::containsString(name, "_iph5");
    if (ContentName::containsString(name, "_small")) {
      EXPECT_LT(image->pixelWidth(), 640);
      EXPECT_LT(image->pixelHeight(), 960);
      EXPECT_GE(image->pixelWidth(), 100);
      continue;
    }
    EXPECT_EQ(image->pixelWidth(), 640);
    EXPECT_EQ(image->pixelHeight(), tall ? 1136 : 960);
    if (ContentName::containsString(name, "_mask")) {
      EXPECT_EQ(image->bitmap().format(), platform::PixelFormat::Grey8) << "masks are grey";
    } else {
      EXPECT_GE(colourVariety(*image), 40u) << "looks like a flat box";
    }
  }
  EXPECT_GT(checked, 150);
}

TEST(PackPictures, BackgroundsAreOpaqueAndOverlaysLetThePhotoThrough) {
  testing_support::ScopedDeviceProfile device(platform::DeviceProfile::phone35(2));
  std::string error;
  auto folder = PackFolder::read(CONTENT_PACK_DIR, false, error);
  ASSERT_TRUE(folder) << error;
  auto mask = defaultMask(false);
  ASSERT_TRUE(mask);
  for (int type = 0; type < kContentTypeCount; ++type)
    for (const PackItem& item : folder->itemsOfType(static_cast<ContentType>(type))) {
      SCOPED_TRACE(item.name());
      auto image = item.renderImage({320, 480}, false, mask);
      ASSERT_TRUE(image);
      EXPECT_EQ(image->pixelWidth(), 640);
      EXPECT_EQ(image->pixelHeight(), 960);
      switch (type) {
        case ContentTypeBackground:
          for (double f : {0.0, 0.5, 1.0}) EXPECT_EQ(alphaAt(*image, f, f), 255u);
          break;
        case ContentTypePhotoFrame:
          EXPECT_EQ(alphaAt(*image, 0.5, 0.45), 0u) << "the window is not open";
          EXPECT_GT(opaqueShareNearEdges(*image, 80), 0.4) << "no frame along the edges";
          break;
        case ContentTypeTBFrame:
          EXPECT_EQ(alphaAt(*image, 0.5, 0.5), 0u) << "the middle is not clear";
          EXPECT_GT(alphaAt(*image, 0.5, 0.01) + alphaAt(*image, 0.5, 0.99), 200u);
          break;
        default:  // cliparts and face effects: art in the middle, nothing at the corners
          EXPECT_EQ(alphaAt(*image, 0, 0) + alphaAt(*image, 1, 1), 0u);
          EXPECT_TRUE(anyAlpha(*image));
      }
    }
}

TEST(PackPictures, TopBottomFramesWithoutAMaskNeedTheDefaultOne) {
  int found = 0;
  for (const auto& [base, files] : pack_fixture::itemFiles()) {
    if (ContentName::type(base) != ContentTypeTBFrame ||
        std::find(files.begin(), files.end(), base + ".jpg") == files.end() ||
        std::find(files.begin(), files.end(), base + "_mask.jpg") != files.end())
      continue;
    ++found;
    for (bool tall : {false, true}) {
      SCOPED_TRACE(base + (tall ? " tall" : ""));
      auto picture = decode(base + (tall ? "_iph5.jpg" : ".jpg"));
      ASSERT_TRUE(picture);
      EXPECT_EQ(alphaAt(*picture, 0.5, 0.5), 255u) << "a JPEG is opaque by itself";
      auto mask = defaultMask(tall);
      ASSERT_TRUE(mask);
      EXPECT_EQ(mask->pixelHeight(), picture->pixelHeight());
      auto cut = PV_Extensions::imageByMaskingUsingImage(picture, mask);
      ASSERT_TRUE(cut);
      EXPECT_EQ(alphaAt(*cut, 0.5, 0.5), 0u);
      EXPECT_GT(alphaAt(*cut, 0.5, 0.02), 240u);
      EXPECT_GT(alphaAt(*cut, 0.5, 0.98), 240u);
    }
  }
  EXPECT_GE(found, 1);
}

TEST(PackPictures, VectorPicturesDrawAndTheStateGroupItemDrawsDifferentlyInEachState) {
  int found = 0, withStates = 0;
  for (const std::string& name : fileNames()) {
    if (ContentName::pathExtension(name) != "svgpb") continue;
    SCOPED_TRACE(name);
    ++found;
    SVGRenderer renderer;
    ASSERT_EQ(renderer.load(path(name)), 1);
    bool tall = ContentName::containsString(name, "_iph5");
    auto image = renderer.renderImage(320, tall ? 568 : 480, 2);
    ASSERT_TRUE(image);
    EXPECT_TRUE(anyAlpha(*image)) << "draws nothing";
    EXPECT_GE(colourVariety(*image), 10u);

    std::set<std::int32_t> states = renderer.declaredStates();
    if (states.empty()) continue;
    ++withStates;
    std::vector<std::shared_ptr<const platform::Bitmap>> drawings;
    std::vector<std::int32_t> choices = {-1};
    choices.insert(choices.end(), states.begin(), states.end());
    for (std::int32_t state : choices) {
      SVGRenderer fresh;
      ASSERT_EQ(fresh.load(path(name)), 1);
      if (state >= 0) fresh.setStateActive(state);
      auto drawing = fresh.renderImage(320, 480, 1);
      ASSERT_TRUE(drawing);
      drawings.push_back(drawing->sharedBitmap());
    }
    auto same = [](const platform::Bitmap& a, const platform::Bitmap& b) {
      return std::equal(a.data(), a.data() + a.bytesPerRow() * a.height(), b.data());
    };
    for (size_t i = 0; i < drawings.size(); ++i)
      for (size_t j = i + 1; j < drawings.size(); ++j)
        EXPECT_FALSE(same(*drawings[i], *drawings[j])) << "choices " << i << " and " << j;
  }
  EXPECT_GE(found, 3);
  EXPECT_GE(withStates, 1);
}

}  // namespace
