#include <gtest/gtest.h>
#include <sys/utsname.h>
#include <sys/xattr.h>

#include <fstream>
#include <regex>

#include "Foundation/AtomicFile.h"
#include "Foundation/Bundle.h"
#include "Foundation/DeviceProfile.h"
#include "GeneralTools/DeviceIdentifier.h"
#include "GeneralTools/MD5Additions.h"
#include "GeneralTools/Tools.h"
#include "UI/UINavigationController.h"
#include "UI/ViewControllerRegistry.h"
#include "Graphics/ImageEncoder.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::ConsoleCapture;
using testing_support::TemporaryDirectory;
using ScopedProfile = testing_support::ScopedDeviceProfile;

namespace {

DeviceProfile withModel(const char* model) {
  DeviceProfile profile = DeviceProfile::phoneTall();
  profile.hardwareModel = model;
  return profile;
}

}  // namespace

TEST(ToolsTest, ModelNames) {
  {
    ScopedProfile profile(withModel("iPad3,3"));
    EXPECT_EQ(Tools::platform(), "iPad3,3");
    EXPECT_EQ(Tools::platformExpanded(), "iPad-3G (4G)");
  }
  EXPECT_EQ(Tools::platformExpanded("iPad3,2"), "iPad-3G (4G)");
  EXPECT_EQ(Tools::platformExpanded("iPhone3,3"), "Verizon iPhone 4");
  EXPECT_EQ(Tools::platformExpanded("iPhone9,9"), "iPhone9,9");
  EXPECT_EQ(Tools::platformExpanded(""), "");
  // Without a phone model, the machine's own architecture answers.
  ScopedProfile profile(DeviceProfile::phoneTall());
  utsname machine{};
  ASSERT_EQ(uname(&machine), 0);
  EXPECT_EQ(Tools::platform(), machine.machine);
}

TEST(ToolsTest, ScreenClasses) {
  struct Case {
    DeviceProfile profile;
    bool iPad, iPhone5;
  } cases[] = {
      {DeviceProfile::phoneTall(), false, true}, {DeviceProfile::phone35(2), false, false},
      {DeviceProfile::phone35(1), false, false}, {DeviceProfile::tablet(1), true, false},
      {DeviceProfile::tablet(2), true, false},
  };
  for (const Case& c : cases) {
    ScopedProfile profile(c.profile);
    EXPECT_EQ(Tools::isIPad(), c.iPad) << c.profile.name;
    EXPECT_EQ(Tools::isIPhone5Screen(), c.iPhone5) << c.profile.name;
  }
  // A tablet whose screen happens to be 568 points high at scale 2 is still no 4-inch phone.
  DeviceProfile odd = DeviceProfile::tablet(2);
  odd.screenWidth = 320;
  odd.screenHeight = 568;
  ScopedProfile profile(odd);
  EXPECT_FALSE(Tools::isIPhone5Screen());
  EXPECT_EQ(DeviceProfile::named("phone-3.5@2x")->screenHeight, 480);
  EXPECT_FALSE(DeviceProfile::named("watch"));
}

TEST(ToolsTest, SystemVersionsCompareNumericallyPartByPart) {
  DeviceProfile profile = DeviceProfile::phoneTall();
  profile.systemVersion = "5.0";
  {
    ScopedProfile scoped(profile);
    EXPECT_TRUE(Tools::isSystemVersionGreaterThanOrEqualTo("5.0"));
    EXPECT_FALSE(Tools::isSystemVersionGreaterThanOrEqualTo("5.0.1"));
    EXPECT_TRUE(Tools::isSystemVersionGreaterThanOrEqualTo("4.3.5"));
    EXPECT_TRUE(Tools::isSystemVersionGreaterThanOrEqualTo("5"));
    EXPECT_FALSE(Tools::isSystemVersionGreaterThanOrEqualTo("6.0"));
  }
  profile.systemVersion = "10.0";
  ScopedProfile scoped(profile);
  EXPECT_TRUE(Tools::isSystemVersionGreaterThanOrEqualTo("9.3"));
  EXPECT_EQ(Tools::compareVersions("5.0.1", "5.0"), 1);
  EXPECT_EQ(Tools::compareVersions("5.0.0", "5"), 0);
  EXPECT_EQ(Tools::compareVersions("1.10", "1.9"), 1);
}

TEST(ToolsTest, MD5OfStrings) {
  EXPECT_FALSE(MD5Additions::stringFromMD5(""));
  EXPECT_EQ(MD5Additions::stringFromMD5("The quick brown fox jumps over the lazy dog"),
            "9e107d9d372bb6826bd81d3542a419d6");
  EXPECT_EQ(MD5Additions::stringFromMD5("a"), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(MD5Additions::stringFromMD5("Привет"), "8a669e9418750c81ab90ae159a8ec410");
}

TEST(ToolsTest, DeviceIdentifiersDeriveFromTheHardwareAddress) {
  std::string bundleIdentifier = *Bundle::mainBundle()->bundleIdentifier();
  auto address = DeviceIdentifier::macaddress();
  if (address) {
    EXPECT_TRUE(std::regex_match(*address, std::regex("([0-9A-F]{2}:){5}[0-9A-F]{2}"))) << *address;
    EXPECT_EQ(DeviceIdentifier::uniqueGlobalDeviceIdentifier(),
              MD5Additions::stringFromMD5(*address));
    EXPECT_EQ(DeviceIdentifier::uniqueDeviceIdentifier(),
              *MD5Additions::stringFromMD5(*address + bundleIdentifier));
    EXPECT_EQ(DeviceIdentifier::uniqueDeviceIdentifier(),
              DeviceIdentifier::uniqueDeviceIdentifier());
  }

  DeviceProfile profile = DeviceProfile::phoneTall();
  profile.primaryInterface = "en0-does-not-exist";
  ScopedProfile scoped(profile);
  ConsoleCapture console;
  EXPECT_FALSE(DeviceIdentifier::macaddress());
  EXPECT_FALSE(DeviceIdentifier::uniqueGlobalDeviceIdentifier());
  EXPECT_EQ(DeviceIdentifier::uniqueDeviceIdentifier(),
            *MD5Additions::stringFromMD5("(null)" + bundleIdentifier));
  ASSERT_FALSE(console.lines().empty());
  EXPECT_EQ(console.lines()[0], "Error: if_nametoindex error");
}

TEST(ToolsTest, TheLoopbackInterfaceHasNoHardwareAddressToShow) {
  DeviceProfile profile = DeviceProfile::phoneTall();
  profile.primaryInterface = "lo";
  ScopedProfile scoped(profile);
  // Loopback's link-level address is all zeros; it is still read and formatted.
  auto address = DeviceIdentifier::macaddress();
  ASSERT_TRUE(address);
  EXPECT_EQ(*address, "00:00:00:00:00:00");
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

TEST(ToolsTest, HighResolutionPicturesByScreen) {
  TemporaryDirectory directory;
  auto writePicture = [&](const std::string& name, int width) {
    auto bitmap = Bitmap::create(width, 4, PixelFormat::RGB24);
    ASSERT_TRUE(AtomicFile::write(directory.file(name),
                                  *ImageEncoder::pngData(*Image::imageWithBitmap(bitmap))));
  };
  writePicture("Default.png", 320);
  writePicture("Default@2x.png", 640);
  writePicture("Only.png", 10);
  auto bundle = Bundle::bundleWithPath(directory.path());
  ASSERT_TRUE(bundle);
  {
    ScopedProfile profile(DeviceProfile::phone35(2));
    auto image = Tools::hiresImageNamed("Default.png", bundle);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelWidth(), 640);
    EXPECT_EQ(image->scale(), 2);
    EXPECT_EQ(image->size().width, 320);
    auto fallback = Tools::hiresImageNamed("Only.png", bundle);
    ASSERT_TRUE(fallback);
    EXPECT_EQ(fallback->scale(), 1);
    EXPECT_FALSE(Tools::hiresImageNamed("Missing.png", bundle));
  }
  for (DeviceProfile profile : {DeviceProfile::phone35(1), DeviceProfile::tablet(2)}) {
    ScopedProfile scoped(profile);
    auto image = Tools::hiresImageNamed("Default.png", bundle);
    ASSERT_TRUE(image) << profile.name;
    EXPECT_EQ(image->pixelWidth(), 320) << profile.name;
  }
  // The default bundle is the main bundle until it is set.
  EXPECT_EQ(Tools::Instance().defaultBundle(), Bundle::mainBundle());
  ScopedProfile profile(DeviceProfile::phone35(2));
  Tools::Instance().setDefaultBundle(bundle);
  EXPECT_EQ(Tools::hiresImageNamed("Default.png")->pixelWidth(), 640);
  EXPECT_FALSE(Tools::hiresImageNamed("Default.png", false));
  Tools::Instance().setDefaultBundle(Bundle::mainBundle());
}

namespace {

// A screen class known to the registry; its view comes from "LoaderTestScreen.ui".
class LoaderTestScreen : public platform::UIViewController {
 public:
  std::string className() const override { return "LoaderTestScreen"; }
};

}  // namespace

TEST(ToolsTest, ScreensLoadByClassNameFromTheChosenBundle) {
  TemporaryDirectory defaultBundle, mainBundle;
  auto write = [](const std::string& path, int tag) {
    std::ofstream(path) << "<interface><UIView frame=\"0 0 320 480\" tag=\"" << tag << "\"/></interface>";
  };
  write(defaultBundle.file("LoaderTestScreen.ui"), 11);
  write(mainBundle.file("LoaderTestScreen.ui"), 22);
  platform::ViewControllerRegistry::registerClass("LoaderTestScreen",
                                                  [] { return std::make_shared<LoaderTestScreen>(); });
  auto savedDefault = Tools::Instance().defaultBundle();
  Tools::Instance().setDefaultBundle(platform::Bundle::bundleWithPath(defaultBundle.path()));
  platform::Bundle::setMainBundlePath(mainBundle.path());

  auto fromDefault = Tools::loadViewControllerNamed("LoaderTestScreen");
  ASSERT_NE(fromDefault, nullptr);
  EXPECT_EQ(fromDefault->view()->tag(), 11);
  auto fromMain = Tools::loadViewControllerNamed("LoaderTestScreen", false);
  ASSERT_NE(fromMain, nullptr);
  EXPECT_EQ(fromMain->view()->tag(), 22);
  auto navigation = Tools::loadToNavigationControlerViewControllerNamed("LoaderTestScreen");
  ASSERT_NE(navigation, nullptr);
  ASSERT_EQ(navigation->viewControllers().size(), 1u);
  EXPECT_EQ(navigation->viewControllers()[0]->className(), "LoaderTestScreen");

  ConsoleCapture console;
  EXPECT_EQ(Tools::loadViewControllerNamed("NoSuchScreen"), nullptr);
  EXPECT_EQ(Tools::loadToNavigationControlerViewControllerNamed("NoSuchScreen"), nullptr);

  platform::Bundle::setMainBundlePath(std::nullopt);
  Tools::Instance().setDefaultBundle(savedDefault);
}
