#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "Content/ContentName+Device.h"
#include "Foundation/DeviceProfile.h"
#include "GeneralTools/Tools.h"
#include "TestSupport.h"

namespace {

using platform::DeviceProfile;
using testing_support::ScopedDeviceProfile;
using Names = std::vector<std::string>;

const Names kNoNames;

TEST(ContentNameBaseName, RemovesTheLastExtensionAndEveryMarkerInOrder) {
  // "_iph5" goes first, then "_small", then "_mask": a marker formed by removing an earlier one
  // goes too ("fon1_sm_iph5all", "fon1_ma_smallsk"), one formed by removing a later one stays.
  const std::vector<std::pair<std::string, Names>> cases = {
      {"tbframe3", {"tbframe3_iph5_mask.jpg"}},
      {"frame7", {"frame7_small_iph5.png"}},
      {"fon1", {"fon1_small_small.svgpb", "fon1_sm_iph5all.png", "fon1_ma_smallsk.png"}},
      {"clipart4", {"clipart4_mask_iph5_small.jpeg"}},
      {"face2", {"face2"}},
      {"frame1.png", {"frame1.png.jpg"}},
      {"frame1@2x", {"frame1@2x"}},
      {"fon1@2x", {"fon1_small@2x.png"}},
      {"fon1_iph5", {"fon1_ip_smallh5.png"}}};
  for (const auto& [base, names] : cases)
    for (const std::string& name : names) EXPECT_EQ(ContentName::baseName(name), base) << name;
  EXPECT_TRUE(ContentName::hasBaseName("frame1_iph5_mask.jpg", "frame1"));
  EXPECT_TRUE(ContentName::hasBaseName("frame1.png", "frame1"));
  EXPECT_FALSE(ContentName::hasBaseName("frame10.png", "frame1"));
  EXPECT_FALSE(ContentName::hasBaseName("frame1.png", "Frame1"));
  EXPECT_FALSE(ContentName::hasBaseName("frame1.png", "frame1.png"));
}

TEST(ContentNameType, FollowsThePrefixTableInOrderElseNone) {
  const std::vector<std::pair<ContentType, Names>> cases = {
      {ContentTypeBackground, {"fon1.png", "fon"}},
      {ContentTypePhotoFrame, {"frame1.png"}},
      {ContentTypeClipart, {"clipart1.svgpb"}},
      {ContentTypeFaceEffect, {"face1.png"}},
      {ContentTypeTBFrame, {"tbframe1.png", "tbframe3"}},
      {ContentTypeNone, {"Frame1.png", "empty.png", "empty", "btn_close.png", "xframe1.png", ""}}};
  for (const auto& [type, names] : cases)
    for (const std::string& name : names) EXPECT_EQ(ContentName::type(name), type) << name;
}

TEST(ContentNameSafety, RefusesNamesThatLeaveOrHideInTheDirectoryOnly) {
  for (const char* name : {"", ".", "..", ".frame1.png", "../frame1.png", "frame1/../../x.png",
                           "/etc/passwd", "frame1\\x.png", "..\\frame1.png", "frame1\n.png",
                           "frame1\x7f.png", "frame1\t.png", "frame1\x1f.png"})
    EXPECT_FALSE(ContentName::isSafeFileName(name)) << testing::PrintToString(name);
  EXPECT_FALSE(ContentName::isSafeFileName(std::string("fr\0me1.png", 10)));
  for (const char* name : {"frame1.png", "frame1_iph5_mask.jpg", "fon 1.png", "x", "a..b",
                           "frame1.", "face\xc3\xa9.png", "readme.txt"})
    EXPECT_TRUE(ContentName::isSafeFileName(name)) << name;
}

TEST(ContentNameAcceptance, EachScreenListsItsOwnPicturesMasksAndPreviewsOnly) {
  // Whether the names are accepted on a standard and on a tall screen. The "@2x" test is on the
  // whole name, extension included.
  const std::vector<std::tuple<bool, bool, Names>> cases = {
      {true, false, {"frame1.png", "frame1_mask.jpg", "frame1@2x.png"}},
      {false, true, {"frame1_iph5.png", "frame1_iph5_small.png", "frame1_iph5_mask.jpg"}},
      {true,
       true,
       {"frame1_small.png", "clipart2_small.svgpb", "clipart2_small.png", "clipart2_small.jpg",
        "clipart2_small.jpeg"}},
      {false,
       false,
       {"frame1_small@2x", "frame1.gif", "frame1_small.gif", "readme_small.txt",
        "btn_close_small.png", "frame1_small.PNG", "frame1_small", "empty_small.png",
        "frame1/../../x_small.png", "frame1_small\\..\\x.png", "frame1_small\n.png",
        "frame1_small\x7f.png", "frame1_small\r.png"}}};
  for (const auto& [standard, tall, names] : cases) {
    for (const std::string& name : names) {
      SCOPED_TRACE(testing::PrintToString(name));
      EXPECT_EQ(ContentName::isAcceptedLocalFile(name, false, kNoNames), standard);
      EXPECT_EQ(ContentName::isAcceptedLocalFile(name, true, kNoNames), tall);
    }
  }
  // Without an explicit answer the device's screen decides.
  for (const DeviceProfile& profile :
       {DeviceProfile::phone35(1), DeviceProfile::phone35(2), DeviceProfile::tablet(1),
        DeviceProfile::tablet(2), DeviceProfile::phoneTall()}) {
    ScopedDeviceProfile scoped(profile);
    bool tall = Tools::isIPhone5Screen();
    EXPECT_EQ(tall, profile.name == DeviceProfile::phoneTall().name);
    EXPECT_EQ(ContentName::isAcceptedLocalFile("frame1.png", kNoNames), !tall) << profile.name;
    EXPECT_EQ(ContentName::isAcceptedLocalFile("frame1_iph5_mask.jpg", kNoNames), tall);
    EXPECT_TRUE(ContentName::isAcceptedLocalFile("frame1_small.png", kNoNames));
  }
  // Names already listed are refused.
  Names list{"fon1.png", "fon1_small.png"};
  EXPECT_FALSE(ContentName::isAcceptedLocalFile("fon1.png", false, list));
  EXPECT_FALSE(ContentName::isAcceptedLocalFile("fon1_small.png", true, list));
  EXPECT_TRUE(ContentName::isAcceptedLocalFile("fon2.png", false, list));
}

TEST(ContentNameFiles, LocalNamesFirstThenServerNamesAndEmptyIsThePlaceholderPair) {
  Names expected{"empty.png", "empty_small.png"};
  EXPECT_EQ(ContentName::fileNamesForBaseName("empty", kNoNames, kNoNames), expected);
  EXPECT_EQ(ContentName::fileNamesForBaseName("empty", Names{"empty_small.png", "empty_iph5.png"},
                                              Names{"empty.jpg", "fon1.png"}),
            expected);
  EXPECT_FALSE(ContentName::fileNamesForBaseName("logo", Names{"logo.png"}, Names{"logo.png"}));
  EXPECT_FALSE(ContentName::fileNamesForBaseName("Frame1", Names{"Frame1.png"}, kNoNames));

  // Local names first, then the server's, each once.
  Names local{"frame1_small.png", "frame10.png", "frame1.png"};
  Names server{"frame1.png", "frame1_mask.jpg", "frame2.png", "frame1_iph5.png"};
  EXPECT_EQ(ContentName::fileNamesForBaseName("frame1", local, server),
            (Names{"frame1_small.png", "frame1.png", "frame1_mask.jpg", "frame1_iph5.png"}));
  ContentName::VersionMap serverMap{{"frame1.png", "3"}, {"frame1_mask.jpg", "4"}};
  EXPECT_EQ(ContentName::fileNamesForBaseName("frame1", Names{"frame1_small.png"}, serverMap),
            (Names{"frame1_small.png", "frame1.png", "frame1_mask.jpg"}));
  EXPECT_EQ(ContentName::fileNamesForBaseName("frame3", Names{"frame1.png"}, Names{"frame30.png"}),
            std::nullopt);
}

TEST(ContentNameFiles, TheServersNamesWithTheBaseNameLeavingUnsafeOnesOut) {
  // Ask for the exact base names of the unsafe names, so that only the safety test keeps them
  // out.
  ASSERT_TRUE(ContentName::hasBaseName("fon1/x.png", "fon1/x"));
  EXPECT_EQ(ContentName::fileNamesForBaseName("fon1/x", Names{"fon1/x.png"}, Names{"fon1/x.png"}),
            std::nullopt);
  EXPECT_EQ(ContentName::fileNamesForBaseName(std::string("fon1\x01"), kNoNames,
                                              Names{std::string("fon1\x01.png"), "fon1.png"}),
            std::nullopt);
  ASSERT_TRUE(ContentName::hasBaseName("fon1/...png", "fon1/.."));
  EXPECT_EQ(ContentName::namesForBaseName("fon1/..", Names{"fon1/...png"}), std::nullopt);
  // Unsafe bytes in the extension leave the base name clean.
  Names server{"fon1.p\ng", "fon1.a\\b", "fon1.png"};
  ASSERT_TRUE(ContentName::hasBaseName(server[0], "fon1"));
  ASSERT_TRUE(ContentName::hasBaseName(server[1], "fon1"));
  EXPECT_EQ(ContentName::namesForBaseName("fon1", server), (Names{"fon1.png"}));
  EXPECT_EQ(ContentName::fileNamesForBaseName("fon1", Names{"fon1.p\ng"}, server),
            (Names{"fon1.png"}));

  // The server's names with the base name.
  Names names{"clipart5.svgpb", "clipart5_small.png", "clipart50.png", "fon5.png"};
  EXPECT_EQ(ContentName::namesForBaseName("clipart5", names),
            (Names{"clipart5.svgpb", "clipart5_small.png"}));
  EXPECT_EQ(ContentName::namesForBaseName("clipart6", names), std::nullopt);
  ContentName::VersionMap serverMap{{"face1.png", "1"}, {"face1_small.png", "2"}};
  EXPECT_EQ(ContentName::namesForBaseName("face1", serverMap),
            (Names{"face1.png", "face1_small.png"}));
  EXPECT_EQ(ContentName::namesForBaseName("face1", ContentName::VersionMap{}), std::nullopt);
}

TEST(ContentNameVersion, LargestDownloadedVersionOfTheSetComparedNumericallyNeverBelowZero) {
  ContentName::VersionMap downloaded{{"fon1.png", "3"}, {"fon1_small.png", "12"}};
  EXPECT_EQ(ContentName::versionWithFileNames({"fon1.png", "fon1_small.png"}, downloaded), "12");
  EXPECT_EQ(ContentName::versionWithFileNames({"fon1.png", "fon2.png"}, downloaded), "3");
  EXPECT_EQ(ContentName::versionWithFileNames({"fon2.png", "fon2_small.png"}, downloaded), "0");
  EXPECT_EQ(ContentName::versionWithFileNames({}, downloaded), "0");
  ContentName::VersionMap odd{{"a.png", "9"}, {"b.png", "10"}, {"c.png", "-4"}, {"d.png", "7x"}};
  EXPECT_EQ(ContentName::versionWithFileNames({"a.png", "b.png"}, odd), "10");
  EXPECT_EQ(ContentName::versionWithFileNames({"c.png"}, odd), "0");
  EXPECT_EQ(ContentName::versionWithFileNames({"d.png", "c.png"}, odd), "7");
}

TEST(ContentNameNumbers, IntValueAndNumericKeySaturateAndDownloadOrderIsShorterFirst) {
  const std::vector<std::pair<int, Names>> intValues = {
      {17, {"17"}},
      {5, {"+5"}},
      {-5, {"-5"}},
      {12, {"12abc3"}},
      {0, {"0", "abc", "", "-"}},
      {INT_MAX, {"2147483647", "2147483648", "99999999999999999999999"}},
      {INT_MIN, {"-2147483648", "-99999999999999999999999"}}};
  for (const auto& [value, texts] : intValues)
    for (const std::string& text : texts) EXPECT_EQ(ContentName::intValue(text), value) << text;
  const std::pair<const char*, int> keys[] = {
      {"frame12", 12}, {"fon", 0},      {"face1:5", 1}, {"a", 0},
      {"x0007", 7},    {"f1a2b3", 123}, {";4", 0},      {"fon99999999999", INT_MAX}};
  for (auto [text, key] : keys) EXPECT_EQ(ContentName::numberFromStringOrZero(text), key) << text;
  // Shorter names first, then by characters (not bytes), the extension not counted.
  EXPECT_TRUE(ContentName::precedesInDownloadOrder("fon\xc3\xa4", "fon10"));
  EXPECT_FALSE(ContentName::precedesInDownloadOrder("fon1", "fon1"));
  EXPECT_TRUE(ContentName::precedesInDownloadOrder("frame10.png", "frame100"));
  const Names ordered{"fon2",   "face1",  "fon10",   "face10",
                      "fon100", "frame2", "frame10", "clipart9"};
  Names names{"frame10", "fon2", "clipart9", "frame2", "fon100", "face1", "fon10", "face10"};
  ContentName::sortInDownloadOrder(names);
  EXPECT_EQ(names, ordered);
  for (size_t i = 0; i + 1 < ordered.size(); ++i) {
    EXPECT_TRUE(ContentName::precedesInDownloadOrder(ordered[i], ordered[i + 1])) << ordered[i];
    EXPECT_FALSE(ContentName::precedesInDownloadOrder(ordered[i + 1], ordered[i])) << ordered[i];
  }
}

}  // namespace
