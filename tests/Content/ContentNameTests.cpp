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
  EXPECT_EQ(ContentName::baseName("tbframe3_iph5_mask.jpg"), "tbframe3");
  EXPECT_EQ(ContentName::baseName("frame7_small_iph5.png"), "frame7");
  EXPECT_EQ(ContentName::baseName("fon1_small_small.svgpb"), "fon1");
  EXPECT_EQ(ContentName::baseName("clipart4_mask_iph5_small.jpeg"), "clipart4");
  EXPECT_EQ(ContentName::baseName("face2"), "face2");
  EXPECT_EQ(ContentName::baseName("frame1.png.jpg"), "frame1.png");
  EXPECT_EQ(ContentName::baseName("frame1@2x"), "frame1@2x");
  EXPECT_EQ(ContentName::baseName("fon1_small@2x.png"), "fon1@2x");
  // "_iph5" goes first; what is left then forms a "_small" that goes too.
  EXPECT_EQ(ContentName::baseName("fon1_sm_iph5all.png"), "fon1");
  // "_small" goes before "_mask", so a "_mask" formed by removing "_small" is removed as well,
  // but an "_iph5" formed by removing "_small" stays.
  EXPECT_EQ(ContentName::baseName("fon1_ma_smallsk.png"), "fon1");
  EXPECT_EQ(ContentName::baseName("fon1_ip_smallh5.png"), "fon1_iph5");
  EXPECT_TRUE(ContentName::hasBaseName("frame1_iph5_mask.jpg", "frame1"));
  EXPECT_TRUE(ContentName::hasBaseName("frame1.png", "frame1"));
  EXPECT_FALSE(ContentName::hasBaseName("frame10.png", "frame1"));
  EXPECT_FALSE(ContentName::hasBaseName("frame1.png", "Frame1"));
  EXPECT_FALSE(ContentName::hasBaseName("frame1.png", "frame1.png"));
}

TEST(ContentNameType, FollowsThePrefixTableInOrderElseNone) {
  EXPECT_EQ(ContentName::type("fon1.png"), ContentTypeBackground);
  EXPECT_EQ(ContentName::type("frame1.png"), ContentTypePhotoFrame);
  EXPECT_EQ(ContentName::type("clipart1.svgpb"), ContentTypeClipart);
  EXPECT_EQ(ContentName::type("face1.png"), ContentTypeFaceEffect);
  EXPECT_EQ(ContentName::type("tbframe1.png"), ContentTypeTBFrame);
  // Base names alike.
  EXPECT_EQ(ContentName::type("tbframe3"), ContentTypeTBFrame);
  EXPECT_EQ(ContentName::type("fon"), ContentTypeBackground);
  EXPECT_EQ(ContentName::type("Frame1.png"), ContentTypeNone);
  EXPECT_EQ(ContentName::type("empty.png"), ContentTypeNone);
  EXPECT_EQ(ContentName::type("empty"), ContentTypeNone);
  EXPECT_EQ(ContentName::type("btn_close.png"), ContentTypeNone);
  EXPECT_EQ(ContentName::type("xframe1.png"), ContentTypeNone);
  EXPECT_EQ(ContentName::type(""), ContentTypeNone);
}

TEST(ContentNameSafety, RefusesNamesThatLeaveOrHideInTheDirectoryOnly) {
  const Names unsafe{"",
                     ".",
                     "..",
                     ".frame1.png",
                     "../frame1.png",
                     "frame1/../../x.png",
                     "/etc/passwd",
                     "frame1\\x.png",
                     "..\\frame1.png",
                     "frame1\n.png",
                     "frame1\x7f.png",
                     "frame1\t.png",
                     std::string("fr\0me1.png", 10),
                     "frame1\x1f.png"};
  for (const std::string& name : unsafe) {
    SCOPED_TRACE(testing::PrintToString(name));
    EXPECT_FALSE(ContentName::isSafeFileName(name));
  }
  for (const char* name : {"frame1.png", "frame1_iph5_mask.jpg", "fon 1.png", "x", "a..b",
                           "frame1.", "face\xc3\xa9.png", "readme.txt"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(ContentName::isSafeFileName(name));
  }
}

TEST(ContentNameAcceptance, EachScreenListsItsPicturesMasksAndPreviews) {
  for (const DeviceProfile& profile : {DeviceProfile::phone35(1), DeviceProfile::phone35(2),
                                       DeviceProfile::tablet(1), DeviceProfile::tablet(2)}) {
    ScopedDeviceProfile scoped(profile);
    SCOPED_TRACE(profile.name);
    ASSERT_FALSE(Tools::isIPhone5Screen());
    EXPECT_TRUE(ContentName::isAcceptedLocalFile("frame1.png", kNoNames));
    EXPECT_TRUE(ContentName::isAcceptedLocalFile("frame1_small.png", kNoNames));
    EXPECT_TRUE(ContentName::isAcceptedLocalFile("frame1_mask.jpg", kNoNames));
    EXPECT_FALSE(ContentName::isAcceptedLocalFile("frame1_iph5.png", kNoNames));
    EXPECT_FALSE(ContentName::isAcceptedLocalFile("frame1_iph5_small.png", kNoNames));
  }
  ScopedDeviceProfile scoped(DeviceProfile::phoneTall());
  ASSERT_TRUE(Tools::isIPhone5Screen());
  EXPECT_TRUE(ContentName::isAcceptedLocalFile("frame1_iph5.png", kNoNames));
  EXPECT_TRUE(ContentName::isAcceptedLocalFile("frame1_small.png", kNoNames));
  EXPECT_TRUE(ContentName::isAcceptedLocalFile("frame1_iph5_mask.jpg", kNoNames));
  EXPECT_TRUE(ContentName::isAcceptedLocalFile("frame1_iph5_small.png", kNoNames));
  EXPECT_FALSE(ContentName::isAcceptedLocalFile("frame1.png", kNoNames));
  EXPECT_FALSE(ContentName::isAcceptedLocalFile("frame1_mask.jpg", kNoNames));
}

TEST(ContentNameAcceptance,
     ExplicitScreenAnswerOverridesTheDeviceAndListedOrUnsafeNamesAreRefused) {
  ScopedDeviceProfile scoped(DeviceProfile::phone35(2));
  EXPECT_TRUE(ContentName::isAcceptedLocalFile("frame1_iph5.png", true, kNoNames));
  EXPECT_FALSE(ContentName::isAcceptedLocalFile("frame1.png", true, kNoNames));
  EXPECT_TRUE(ContentName::isAcceptedLocalFile("frame1.png", false, kNoNames));
}

TEST(ContentNameAcceptance, RejectsOtherExtensionsDoubleResolutionAndNonContent) {
  for (bool tall : {false, true}) {
    SCOPED_TRACE(tall ? "tall" : "standard");
    EXPECT_FALSE(ContentName::isAcceptedLocalFile("frame1_small.gif", tall, kNoNames));
    EXPECT_FALSE(ContentName::isAcceptedLocalFile("readme_small.txt", tall, kNoNames));
    EXPECT_FALSE(ContentName::isAcceptedLocalFile("frame1_small@2x", tall, kNoNames));
    EXPECT_FALSE(ContentName::isAcceptedLocalFile("btn_close_small.png", tall, kNoNames));
    EXPECT_FALSE(ContentName::isAcceptedLocalFile("frame1_small.PNG", tall, kNoNames));
    EXPECT_FALSE(ContentName::isAcceptedLocalFile("frame1_small", tall, kNoNames));
    EXPECT_FALSE(ContentName::isAcceptedLocalFile("empty_small.png", tall, kNoNames));
    for (const char* extension : {"svgpb", "png", "jpg", "jpeg"}) {
      EXPECT_TRUE(ContentName::isAcceptedLocalFile(std::string("clipart2_small.") + extension, tall,
                                                   kNoNames))
          << extension;
    }
  }
  EXPECT_FALSE(ContentName::isAcceptedLocalFile("frame1.gif", false, kNoNames));
  EXPECT_FALSE(ContentName::isAcceptedLocalFile("readme.txt", false, kNoNames));
  EXPECT_FALSE(ContentName::isAcceptedLocalFile("frame1@2x", false, kNoNames));
  EXPECT_FALSE(ContentName::isAcceptedLocalFile("btn_close.png", false, kNoNames));
  // The "@2x" test is on the whole name, extension included.
  EXPECT_TRUE(ContentName::isAcceptedLocalFile("frame1@2x.png", false, kNoNames));
  Names list{"fon1.png", "fon1_small.png"};
  EXPECT_FALSE(ContentName::isAcceptedLocalFile("fon1.png", false, list));
  EXPECT_FALSE(ContentName::isAcceptedLocalFile("fon1_small.png", true, list));
  EXPECT_TRUE(ContentName::isAcceptedLocalFile("fon2.png", false, list));
  for (bool tall : {false, true}) {
    SCOPED_TRACE(tall ? "tall" : "standard");
    for (const std::string name :
         {"frame1/../../x_small.png", "frame1_small\\..\\x.png", "frame1_small\n.png",
          "frame1_small\x7f.png", "frame1_small\r.png"}) {
      SCOPED_TRACE(testing::PrintToString(name));
      ASSERT_NE(ContentName::type(name), ContentTypeNone);
      EXPECT_FALSE(ContentName::isAcceptedLocalFile(name, tall, kNoNames));
    }
  }
}

TEST(ContentNameFiles, EmptyIsThePlaceholderPairAndUntypedOrUnfoundBasesHaveNone) {
  Names expected{"empty.png", "empty_small.png"};
  EXPECT_EQ(ContentName::fileNamesForBaseName("empty", kNoNames, kNoNames), expected);
  EXPECT_EQ(ContentName::fileNamesForBaseName("empty", Names{"empty_small.png", "empty_iph5.png"},
                                              Names{"empty.jpg", "fon1.png"}),
            expected);
  EXPECT_FALSE(ContentName::fileNamesForBaseName("logo", Names{"logo.png"}, Names{"logo.png"}));
  EXPECT_FALSE(ContentName::fileNamesForBaseName("Frame1", Names{"Frame1.png"}, kNoNames));
}

TEST(ContentNameFiles, LocalNamesFirstThenServerNamesEachOnce) {
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

TEST(ContentNameFiles, UnsafeNamesAreLeftOut) {
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
}

TEST(ContentNameFetchable, ServerNamesWithTheBaseName) {
  Names server{"clipart5.svgpb", "clipart5_small.png", "clipart50.png", "fon5.png"};
  EXPECT_EQ(ContentName::namesForBaseName("clipart5", server),
            (Names{"clipart5.svgpb", "clipart5_small.png"}));
  EXPECT_EQ(ContentName::namesForBaseName("clipart6", server), std::nullopt);
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
  EXPECT_EQ(ContentName::intValue("17"), 17);
  EXPECT_EQ(ContentName::intValue("0"), 0);
  EXPECT_EQ(ContentName::intValue("+5"), 5);
  EXPECT_EQ(ContentName::intValue("-5"), -5);
  EXPECT_EQ(ContentName::intValue("12abc3"), 12);
  EXPECT_EQ(ContentName::intValue("abc"), 0);
  EXPECT_EQ(ContentName::intValue(""), 0);
  EXPECT_EQ(ContentName::intValue("-"), 0);
  EXPECT_EQ(ContentName::intValue("2147483647"), INT_MAX);
  EXPECT_EQ(ContentName::intValue("2147483648"), INT_MAX);
  EXPECT_EQ(ContentName::intValue("99999999999999999999999"), INT_MAX);
  EXPECT_EQ(ContentName::intValue("-2147483648"), INT_MIN);
  EXPECT_EQ(ContentName::intValue("-99999999999999999999999"), INT_MIN);
  EXPECT_EQ(ContentName::numberFromStringOrZero("frame12"), 12);
  EXPECT_EQ(ContentName::numberFromStringOrZero("fon"), 0);
  EXPECT_EQ(ContentName::numberFromStringOrZero("face1:5"), 1);
  EXPECT_EQ(ContentName::numberFromStringOrZero("a"), 0);
  EXPECT_EQ(ContentName::numberFromStringOrZero("x0007"), 7);
  EXPECT_EQ(ContentName::numberFromStringOrZero("f1a2b3"), 123);
  EXPECT_EQ(ContentName::numberFromStringOrZero(";4"), 0);
  EXPECT_EQ(ContentName::numberFromStringOrZero("fon99999999999"), INT_MAX);
  EXPECT_TRUE(ContentName::precedesInDownloadOrder("frame2", "frame10"));
  EXPECT_FALSE(ContentName::precedesInDownloadOrder("frame10", "frame2"));
  // Length decides before the characters do.
  EXPECT_TRUE(ContentName::precedesInDownloadOrder("frame10", "clipart9"));
  EXPECT_FALSE(ContentName::precedesInDownloadOrder("clipart9", "frame10"));
  EXPECT_TRUE(ContentName::precedesInDownloadOrder("fon10", "face10"));
  EXPECT_TRUE(ContentName::precedesInDownloadOrder("face10", "fon100"));
  // Characters are counted, not bytes: "fon\xc3\xa4" has four.
  EXPECT_TRUE(ContentName::precedesInDownloadOrder("fon\xc3\xa4", "fon10"));
  EXPECT_FALSE(ContentName::precedesInDownloadOrder("fon1", "fon1"));
  // The length is counted without the extension.
  EXPECT_TRUE(ContentName::precedesInDownloadOrder("frame10.png", "frame100"));

  std::vector<std::string> names{"frame10", "fon2", "clipart9", "frame2", "face1", "fon10"};
  ContentName::sortInDownloadOrder(names);
  EXPECT_EQ(names, (Names{"fon2", "face1", "fon10", "frame2", "frame10", "clipart9"}));
}

}  // namespace
