#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <fstream>
#include <regex>

#include "Foundation/AtomicFile.h"
#include "Foundation/Bundle.h"
#include "Foundation/DeviceProfile.h"
#include "GeneralTools/DeviceIdentifier.h"
#include "GeneralTools/MD5Additions.h"
#include "GeneralTools/Tools.h"
#include "Graphics/ImageEncoder.h"
#include "TestSupport.h"
#include "UI/UINavigationController.h"
#include "UI/ViewControllerRegistry.h"

using namespace platform;
using testing_support::ConsoleCapture;
using testing_support::TemporaryDirectory;
using ScopedProfile = testing_support::ScopedDeviceProfile;

TEST(ToolsTest, ModelScreenAndSystemVersion) {
  EXPECT_EQ(Tools::platformExpanded("iPhone9,9"), "iPhone9,9");  // unknown: as it is
  ScopedProfile tall(DeviceProfile::phoneTall());
  EXPECT_TRUE(Tools::isIPhone5Screen());
  // A tablet whose screen happens to be 568 points high at scale 2 is no 4-inch phone.
  DeviceProfile odd = DeviceProfile::tablet(2);
  odd.screenWidth = 320;
  odd.screenHeight = 568;
  odd.systemVersion = "10.0";
  ScopedProfile scoped(odd);
  EXPECT_TRUE(Tools::isIPad());
  EXPECT_FALSE(Tools::isIPhone5Screen());
  // Versions compare as numbers, part by part.
  EXPECT_TRUE(Tools::isSystemVersionGreaterThanOrEqualTo("9.3"));
  EXPECT_FALSE(Tools::isSystemVersionGreaterThanOrEqualTo("10.0.1"));
  EXPECT_EQ(Tools::compareVersions("5.0.0", "5"), 0);
}

TEST(ToolsTest, DeviceIdentifiersAreStableAndSurviveAMissingInterface) {
  const std::regex md5("[0-9a-f]{32}");
  if (auto address = DeviceIdentifier::macaddress()) {
    EXPECT_TRUE(std::regex_match(*address, std::regex("([0-9A-F]{2}:){5}[0-9A-F]{2}"))) << *address;
    EXPECT_EQ(DeviceIdentifier::uniqueDeviceIdentifier(),
              DeviceIdentifier::uniqueDeviceIdentifier());
    // The application's identifier differs from the device's.
    EXPECT_NE(DeviceIdentifier::uniqueDeviceIdentifier(),
              DeviceIdentifier::uniqueGlobalDeviceIdentifier().value_or(""));
  }
  DeviceProfile profile = DeviceProfile::phoneTall();
  profile.primaryInterface = "lo";  // all zeros, still read and formatted
  {
    ScopedProfile scoped(profile);
    EXPECT_EQ(DeviceIdentifier::macaddress(), "00:00:00:00:00:00");
  }
  profile.primaryInterface = "en0-does-not-exist";
  ScopedProfile scoped(profile);
  ConsoleCapture console;
  EXPECT_FALSE(DeviceIdentifier::macaddress());
  EXPECT_FALSE(DeviceIdentifier::uniqueGlobalDeviceIdentifier());
  EXPECT_TRUE(std::regex_match(DeviceIdentifier::uniqueDeviceIdentifier(), md5));
  ASSERT_FALSE(console.lines().empty());
  EXPECT_EQ(console.lines()[0], "Error: if_nametoindex error");
  EXPECT_FALSE(MD5Additions::stringFromMD5(""));
}

TEST(ToolsTest, BackupExclusionAttributeByPathOrLocalFileURL) {
  TemporaryDirectory directory;
  std::string path = directory.file("PVXContent dir");
  ASSERT_TRUE(AtomicFile::write(path, Bytes{'x'}));
  unsigned char value = 0;
  if (!Tools::addMobileBackupAttributeToItemAtURL(path)) {
    EXPECT_EQ(errno, ENOTSUP);  // only a file system without user attributes may refuse
    GTEST_SKIP() << "no user extended attributes on " << directory.path();
  }
  ASSERT_EQ(getxattr(path.c_str(), Tools::kMobileBackupAttributeName, &value, 1), 1);
  EXPECT_EQ(value, 1);
  // File URLs with escapes name the same item; other hosts and escaped NULs name none.
  for (std::string url :
       {"file://" + directory.path() + "/PVXContent%20dir",
        "FILE://localhost" + directory.path() + "/PVXContent%20dir", "file://" + path}) {
    ASSERT_EQ(removexattr(path.c_str(), Tools::kMobileBackupAttributeName), 0);
    EXPECT_TRUE(Tools::addMobileBackupAttributeToItemAtURL(url)) << url;
  }
  ConsoleCapture console;
  for (std::string url : {"file://example.org" + directory.path() + "/PVXContent%20dir",
                          "file://" + directory.path() + "/PVXContent%00dir",
                          directory.file("missing"), std::string()})
    EXPECT_FALSE(Tools::addMobileBackupAttributeToItemAtURL(url)) << url;
}

namespace {

// A screen class known to the registry; its view comes from "LoaderTestScreen.ui".
class LoaderTestScreen : public UIViewController {
 public:
  std::string className() const override { return "LoaderTestScreen"; }
};

}  // namespace

TEST(ToolsTest, PicturesByScreenAndScreensByClassFromTheChosenBundle) {
  TemporaryDirectory directory, mainBundle;
  for (auto [name, width] :
       {std::pair{"Default.png", 320}, {"Default@2x.png", 640}, {"Only.png", 10}})
    ASSERT_TRUE(AtomicFile::write(directory.file(name),
                                  *ImageEncoder::pngData(*Image::imageWithBitmap(
                                      Bitmap::create(width, 4, PixelFormat::RGB24)))));
  for (auto [dir, tag] : {std::pair{&directory, 11}, {&mainBundle, 22}})
    std::ofstream(dir->file("LoaderTestScreen.ui"))
        << "<interface><UIView frame=\"0 0 320 480\" tag=\"" << tag << "\"/></interface>";
  auto bundle = Bundle::bundleWithPath(directory.path());
  for (auto [p, width] : {std::pair{DeviceProfile::phone35(2), 640},
                          {DeviceProfile::phone35(1), 320},
                          {DeviceProfile::tablet(2), 320}}) {
    ScopedProfile scoped(p);
    auto image = Tools::hiresImageNamed("Default.png", bundle);
    ASSERT_TRUE(image) << p.name;
    EXPECT_EQ(image->pixelWidth(), width) << p.name;
    EXPECT_EQ(image->size().width, 320) << p.name;
    EXPECT_EQ(Tools::hiresImageNamed("Only.png", bundle)->scale(), 1);
    EXPECT_FALSE(Tools::hiresImageNamed("Missing.png", bundle));
  }
  // The default bundle is the main bundle until it is set.
  EXPECT_EQ(Tools::Instance().defaultBundle(), Bundle::mainBundle());
  ScopedProfile profile(DeviceProfile::phone35(2));
  Tools::Instance().setDefaultBundle(bundle);
  Bundle::setMainBundlePath(mainBundle.path());
  EXPECT_EQ(Tools::hiresImageNamed("Default.png")->pixelWidth(), 640);
  EXPECT_FALSE(Tools::hiresImageNamed("Default.png", false));
  ViewControllerRegistry::registerClass("LoaderTestScreen",
                                        [] { return std::make_shared<LoaderTestScreen>(); });
  EXPECT_EQ(Tools::loadViewControllerNamed("LoaderTestScreen")->view()->tag(), 11);
  EXPECT_EQ(Tools::loadViewControllerNamed("LoaderTestScreen", false)->view()->tag(), 22);
  auto navigation = Tools::loadToNavigationControlerViewControllerNamed("LoaderTestScreen");
  ASSERT_NE(navigation, nullptr);
  EXPECT_EQ(navigation->viewControllers().at(0)->className(), "LoaderTestScreen");
  ConsoleCapture console;
  EXPECT_EQ(Tools::loadViewControllerNamed("NoSuchScreen"), nullptr);
  EXPECT_EQ(Tools::loadToNavigationControlerViewControllerNamed("NoSuchScreen"), nullptr);
  Bundle::setMainBundlePath(std::nullopt);
  Tools::Instance().setDefaultBundle(Bundle::mainBundle());
}
