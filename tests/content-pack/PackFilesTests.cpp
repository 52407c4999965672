// The pack's file names and the files each item is made of.
#include <gtest/gtest.h>

#include <array>
#include <regex>
#include <set>

#include "Content/ContentName.h"
#include "PackFixture.h"
#include "PackFolder.h"

namespace {

using pack_fixture::fileNames;
using pack_fixture::itemFiles;

bool has(const std::vector<std::string>& files, const std::string& name) {
  return std::find(files.begin(), files.end(), name) != files.end();
}

TEST(PackFiles, EveryNameFollowsTheFileNameGrammarAndEachScreenSeesItsOwn) {
  // Markers in one fixed order, a mask never being a preview.
  const std::regex grammar(
      R"(^(fon|frame|clipart|face|tbframe)([1-9][0-9]*)(_iph5)?(_mask|_small)?\.(png|jpg|svgpb)$)");
  std::vector<std::string> names = fileNames();
  ASSERT_FALSE(names.empty()) << "no files in " << CONTENT_PACK_DIR;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    std::smatch match;
    ASSERT_TRUE(std::regex_match(name, match, grammar));
    EXPECT_TRUE(ContentName::isSafeFileName(name));
    bool tallVariant = match[3].matched, preview = match[4].str() == "_small";
    EXPECT_EQ(ContentName::isAcceptedLocalFile(name, false, {}), !tallVariant);
    EXPECT_EQ(ContentName::isAcceptedLocalFile(name, true, {}), tallVariant || preview);
  }
}

TEST(PackFiles, EveryItemHasItsFilesEveryTypeItsMinimumAndEveryKindOfFileIsPresent) {
  std::array<int, kContentTypeCount> counts{};
  std::set<std::string> kinds;
  for (const auto& [base, files] : itemFiles()) {
    SCOPED_TRACE(base);
    ContentType type = ContentName::type(base);
    ASSERT_NE(type, ContentTypeNone);
    ++counts[type];
    std::string extension;
    for (const char* candidate : {"png", "jpg", "svgpb"})
      if (has(files, base + "." + candidate)) extension = candidate;
    ASSERT_FALSE(extension.empty()) << "no full picture";
    EXPECT_TRUE(has(files, base + "_iph5." + extension)) << "no tall variant of the same kind";
    int previews = 0;
    for (const std::string& file : files)
      previews += ContentName::containsString(file, ContentName::kSmallMarker);
    EXPECT_EQ(previews, 1);

    bool mask = has(files, base + "_mask.jpg"), tallMask = has(files, base + "_iph5_mask.jpg");
    EXPECT_EQ(mask, tallMask) << "a mask for one screen only";
    if (mask) {
      EXPECT_EQ(extension, "jpg") << "masks cut JPEG pictures only";
    }
    // A JPEG overlay without a mask would hide the photo; top/bottom frames have the default.
    if (extension == "jpg" && (type == ContentTypePhotoFrame || type == ContentTypeClipart ||
                               type == ContentTypeFaceEffect)) {
      EXPECT_TRUE(mask);
    }
    EXPECT_EQ(files.size(), 3u + (mask ? 2 : 0)) << "unexpected extra files";

    if (extension == "png") kinds.insert("png");
    if (extension == "svgpb") kinds.insert("svgpb");
    if (extension == "jpg" && mask) kinds.insert("jpeg with mask");
    if (extension == "jpg" && !mask && type == ContentTypeTBFrame)
      kinds.insert("top/bottom frame on the default mask");
    if (extension == "jpg" && type == ContentTypeBackground) kinds.insert("jpeg background");
  }
  EXPECT_EQ(kinds,
            (std::set<std::string>{"png", "jpeg with mask", "top/bottom frame on the default mask",
                                   "jpeg background", "svgpb"}));
  EXPECT_GE(counts[ContentTypeBackground], 12);
  EXPECT_GE(counts[ContentTypePhotoFrame], 10);
  EXPECT_GE(counts[ContentTypeClipart], 20);
  EXPECT_GE(counts[ContentTypeFaceEffect], 10);
  EXPECT_GE(counts[ContentTypeTBFrame], 6);
}

// What each device lists, through the application's acceptance rule, and which files an item
// then picks for its full picture, preview and mask.
TEST(PackFiles, EachScreenPicksItsOwnVariants) {
  for (bool tall : {false, true}) {
    SCOPED_TRACE(tall ? "tall screen" : "standard screen");
    std::string error;
    auto folder = PackFolder::read(CONTENT_PACK_DIR, tall, error);
    ASSERT_TRUE(folder) << error;
    std::set<std::string> allBases;
    for (const auto& [base, files] : itemFiles()) allBases.insert(base);
    size_t listed = 0;
    for (int type = 0; type < kContentTypeCount; ++type)
      for (const PackItem& item : folder->itemsOfType(static_cast<ContentType>(type))) {
        SCOPED_TRACE(item.name());
        ++listed;
        auto full = item.fileWithSuffixesSmall(false, false);
        ASSERT_TRUE(full);
        EXPECT_EQ(ContentName::containsString(*full, "_iph5"), tall) << *full;
        auto preview = item.fileWithSuffixesSmall(true, false);
        ASSERT_TRUE(preview);
        EXPECT_TRUE(ContentName::containsString(*preview, "_small")) << *preview;
        if (auto mask = item.fileWithSuffixesSmall(false, true)) {
          EXPECT_EQ(ContentName::containsString(*mask, "_iph5"), tall) << *mask;
        }
      }
    EXPECT_EQ(listed, allBases.size()) << "an item is missing on this screen";
  }
}

}  // namespace
