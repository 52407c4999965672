#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "ArtList.h"
#include "Graphics/Bitmap.h"
#include "Graphics/ImageDecoder.h"

namespace {

namespace fs = std::filesystem;

std::shared_ptr<platform::Image> built(const std::string& file) {
  return platform::ImageDecoder::imageWithContentsOfFile(std::string(PICTAVIA_RESOURCES_DIR) + "/" +
                                                         file);
}

ArtList artList() {
  std::string error;
  auto list = ArtList::read(ART_LIST_PATH, error);
  EXPECT_TRUE(list) << error;
  return list ? *list : ArtList();
}

std::string contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::uint8_t alphaAt(const platform::Image& image, int x, int y) {
  return image.bitmap().pixel(x, y) >> 24;
}

}  // namespace

// Every listed picture is in the bundle at each of its scales, of its size in points times the
// scale, and not blank; the names the screens load are all listed.
TEST(ArtTests, EveryPictureIsBuiltAtItsSize) {
  ArtList list = artList();
  std::set<std::string> files;
  for (const ArtList::Picture& picture : list.pictures()) {
    for (int scale : picture.scales) {
      std::string file = picture.fileName(scale);
      files.insert(file);
      auto image = built(file);
      ASSERT_TRUE(image) << file << " is missing or not a picture";
      EXPECT_EQ(image->pixelWidth(), picture.width * scale) << file;
      EXPECT_EQ(image->pixelHeight(), picture.height * scale) << file;
      bool drawn = false;
      for (int y = 0; y < image->pixelHeight() && !drawn; y += 3)
        for (int x = 0; x < image->pixelWidth() && !drawn; x += 3)
          drawn = alphaAt(*image, x, y) > 0;
      EXPECT_TRUE(drawn) << file << " is blank";
    }
  }
  for (const char* name : {"btn_preview_tab_frame",
                           "btn_preview_tab_frame_hl",
                           "btn_preview_tab_frame_unactiv",
                           "btn_preview_tab_art",
                           "btn_preview_tab_art_hl",
                           "btn_preview_tab_art_unactiv",
                           "btn_preview_tab_face",
                           "btn_preview_tab_face_hl",
                           "btn_preview_tab_face_unactiv",
                           "btn_preview_tab_zoomp",
                           "btn_preview_tab_zoomm",
                           "help_textbox_1",
                           "help_textbox_2",
                           "help_textbox_3",
                           "help_textbox_4",
                           "help_textbox_2_top",
                           "help_textbox_3_top",
                           "bg_light",
                           "bg_black",
                           "Default",
                           "Icon"}) {
    EXPECT_TRUE(files.count(std::string(name) + ".png")) << name;
    EXPECT_TRUE(files.count(std::string(name) + "@2x.png")) << name;
  }
  EXPECT_TRUE(files.count("Default-568h@2x.png"));
  EXPECT_TRUE(files.count("Default-Landscape.png"));
}

// A button's normal, pressed and disabled pictures differ.
TEST(ArtTests, StatesOfOneSourceDiffer) {
  std::map<std::string, std::vector<std::string>> bySource;
  ArtList list = artList();
  for (const ArtList::Picture& picture : list.pictures())
    if (picture.state) bySource[picture.source].push_back(picture.fileName(1));
  ASSERT_FALSE(bySource.empty());
  for (const auto& [source, files] : bySource) {
    EXPECT_GE(files.size(), 2u) << source;
    for (size_t a = 0; a < files.size(); ++a)
      for (size_t b = a + 1; b < files.size(); ++b) {
        auto first = built(files[a]), second = built(files[b]);
        ASSERT_TRUE(first && second) << files[a] << ", " << files[b];
        int differing = 0;
        for (int y = 0; y < first->pixelHeight(); ++y)
          for (int x = 0; x < first->pixelWidth(); ++x)
            differing += first->bitmap().pixel(x, y) != second->bitmap().pixel(x, y);
        EXPECT_GT(differing, first->pixelWidth() * first->pixelHeight() / 10)
            << files[a] << " and " << files[b] << " look alike";
      }
  }
}

// The editor stretches the incoming-call mask along its middle row, which must be clear, and
// shows the composition through the contact card's window.
TEST(ArtTests, MasksStretchWhereTheEditorStretchesThem) {
  for (int scale : {1, 2}) {
    auto call = built(scale == 1 ? "call_preview_mask.png" : "call_preview_mask@2x.png");
    ASSERT_TRUE(call);
    int middle = call->pixelHeight() / 2;
    for (int x = 0; x < call->pixelWidth(); ++x) ASSERT_EQ(alphaAt(*call, x, middle), 0) << x;
    EXPECT_GT(alphaAt(*call, 5 * scale, 5 * scale), 0) << "the caller's band is not drawn";
  }
  for (const char* name : {"cnt_preview_mask", "cnt_preview_mask_iph5"}) {
    auto card = built(std::string(name) + "@2x.png");
    ASSERT_TRUE(card);
    // The composition shrinks around (51, 96) on the 460-point editor, (51, 110) on the tall one.
    int windowY = std::string(name).ends_with("_iph5") ? 110 : 96;
    EXPECT_EQ(alphaAt(*card, 51 * 2, windowY * 2), 0) << name;
    EXPECT_EQ(alphaAt(*card, 200 * 2, windowY * 2), 255) << name;
    EXPECT_EQ(alphaAt(*card, 160 * 2, card->pixelHeight() - 1), 255) << name;
  }
}

// The bundle holds every source resource file (through links, so edits show at once), apart
// from the art sources themselves.
TEST(ArtTests, BundleMirrorsTheSourceResources) {
  fs::path source = SOURCE_RESOURCES_DIR, bundle = PICTAVIA_RESOURCES_DIR;
  int checked = 0;
  for (const auto& entry : fs::recursive_directory_iterator(source)) {
    fs::path relative = fs::relative(entry.path(), source);
    if (*relative.begin() == "Sources" || !entry.is_regular_file()) continue;
    ASSERT_TRUE(fs::exists(bundle / relative)) << relative;
    EXPECT_EQ(contents(bundle / relative), contents(entry.path())) << relative;
    ++checked;
  }
  EXPECT_GT(checked, 3);
  EXPECT_FALSE(fs::exists(bundle / "Sources"));
}
