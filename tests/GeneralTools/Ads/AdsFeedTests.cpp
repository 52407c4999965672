#include <gtest/gtest.h>

#include <string>

#include "GeneralTools/AdsAlertItem.h"
#include "GeneralTools/AdsItem.h"
#include "GeneralTools/XMLDocument.h"
#include "TestSupport.h"

using testing_support::ScopedDeviceProfile;
using testing_support::ScopedEnvironment;

namespace {

std::shared_ptr<XMLDocument> parse(const std::string& text) {
  return XMLDocument::documentWithData(platform::Bytes(text.begin(), text.end()));
}

XMLElement root(const std::string& text) {
  auto document = parse(text);
  return document ? document->rootXMLElement() : XMLElement();
}

}  // namespace

TEST(AdsFeedTest, AdsTakeTheBlocksOfThisDeviceInOrderAndNeedBothIdentifiers) {
  const std::string ad = R"(<ad><id>a1</id><target_app_id>com.x</target_app_id>
      <app_info device="all"><title>All</title><desc>Both</desc><icon>http://h/i.png</icon>
        <unknown>ignored</unknown><url>https://store.example/app%C3%A9%20x</url></app_info>
      <app_info device="iphone_retina"><title>Retina</title></app_info>
      <app_info device="ipad"><desc>Tablet</desc></app_info>
      <app_info><title>No device</title></app_info>
      <app_info device="iphone"><title>Scale one</title></app_info></ad>)";
  {
    ScopedDeviceProfile phone(platform::DeviceProfile::phoneTall());
    auto item = AdsItem::itemWithXMLElement(root(ad));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->itemID(), "a1");
    EXPECT_EQ(item->targetAppId(), "com.x");
    EXPECT_EQ(item->title(), "Retina");
    EXPECT_EQ(item->description(), "Both");
    EXPECT_EQ(item->urlImgIcon(), "http://h/i.png");
    EXPECT_EQ(item->urlApp(), "https://store.example/app\xC3\xA9 x");
    EXPECT_EQ(item->properties().size(), 4u);
    item->setTitleFontSize(18);
    EXPECT_EQ(*item->property("TitleFontSize"), "18.000000");
    EXPECT_EQ(item->descriptionFontSize(), 0.0f);
  }
  ScopedDeviceProfile tablet(platform::DeviceProfile::tablet());
  EXPECT_EQ(AdsItem::itemWithXMLElement(root(ad))->description(), "Tablet");
  ScopedDeviceProfile old(platform::DeviceProfile::phone35(1));
  EXPECT_EQ(AdsItem::itemWithXMLElement(root(ad))->title(), "Scale one");

  // Dropped: either identifier missing or empty, or another element.
  EXPECT_FALSE(AdsItem::itemWithXMLElement(root("<ad><target_app_id>x</target_app_id></ad>")));
  EXPECT_FALSE(
      AdsItem::itemWithXMLElement(root("<ad><id></id><target_app_id>x</target_app_id></ad>")));
  EXPECT_FALSE(AdsItem::itemWithXMLElement(
      root("<alert><id>1</id><target_app_id>x</target_app_id></alert>")));
  // Kept without any data block, with no properties.
  auto bare =
      AdsItem::itemWithXMLElement(root("<ad><id>1</id><target_app_id>x</target_app_id></ad>"));
  ASSERT_TRUE(bare);
  EXPECT_TRUE(bare->properties().empty());
  EXPECT_EQ(bare->imgIcon(), nullptr);
}

TEST(AdsFeedTest, TranslationsFollowThePreferredLanguagesCutToTwoLetters) {
  ScopedEnvironment language("LANGUAGE", "ru:en_GB");
  auto element = [](const std::string& text) { return root(text); };
  EXPECT_EQ(AdsBaseItem::findParamValue(element("<t><en>Hi</en><ru>Привет</ru></t>")), "Привет");
  EXPECT_EQ(AdsBaseItem::findParamValue(element("<t><de>Hallo</de><en>Hi</en></t>")), "Hi");
  EXPECT_EQ(AdsBaseItem::findParamValue(element("<t><de>Hallo</de><fr>Salut</fr></t>")),
            std::nullopt);
  EXPECT_EQ(AdsBaseItem::findParamValue(element("<t>Plain &amp; simple</t>")), "Plain & simple");
  // A title in no preferred language leaves the property absent.
  auto alert =
      AdsAlertItem::itemWithXMLElement(root(R"(<alert><id>1</id><target_app_id>x</target_app_id>
      <alert_info device="all"><title><de>Hallo</de></title><msg>M</msg></alert_info></alert>)"));
  ASSERT_TRUE(alert);
  EXPECT_FALSE(alert->property("Title"));
  EXPECT_EQ(alert->message(), "M");
}

TEST(AdsFeedTest, AlertCountsAreAtLeastOneAndButtonsNeedATitleAndALink) {
  auto alertWith = [](const std::string& times, const std::string& delta) {
    return AdsAlertItem::itemWithXMLElement(
        root("<alert><id>1</id><target_app_id>x</target_app_id>" + times + delta + "</alert>"));
  };
  struct Case {
    std::string text;
    std::int64_t count;
  } cases[] = {{"", 1},
               {"<times_to_show>abc</times_to_show>", 1},
               {"<times_to_show>0</times_to_show>", 1},
               {"<times_to_show>-4</times_to_show>", 1},
               {"<times_to_show> 4 </times_to_show>", 4},
               {"<times_to_show>3x</times_to_show>", 1},
               {"<times_to_show>99999999999999999999</times_to_show>", 2147483647}};
  for (const auto& c : cases) EXPECT_EQ(alertWith(c.text, "")->timesToShow(), c.count) << c.text;
  EXPECT_EQ(alertWith("", "<show_delata>3</show_delata>")->showDelta(), 3);

  auto alert =
      AdsAlertItem::itemWithXMLElement(root(R"(<alert><id>1</id><target_app_id>x</target_app_id>
      <buttons>
        <button><title>Both</title><url>http://plain</url><advert_url>http://advert</advert_url></button>
        <button><title>Plain</title><url>http://plain</url></button>
        <button><url>http://no-title</url></button>
        <button><title>No link</title></button>
        <button><title><de>Nur Deutsch</de></title><url>http://de</url></button>
      </buttons></alert>)"));
  ASSERT_TRUE(alert);
  ASSERT_EQ(alert->buttons().size(), 3u);
  EXPECT_EQ(alert->buttons()[0]->url(), "http://advert");
  EXPECT_TRUE(alert->buttons()[0]->isAdvertURL());
  EXPECT_FALSE(alert->buttons()[1]->isAdvertURL());
  EXPECT_EQ(alert->buttons()[2]->title(), "");
  EXPECT_EQ(alert->buttons()[2]->displayTitle(), "Nur Deutsch");
}

TEST(AdsFeedTest, OnlyWellFormedUTF8DocumentsParse) {
  EXPECT_TRUE(parse("<info><ads/></info>"));
  EXPECT_FALSE(parse("<info><ads><ad><id>1</id></ad>"));  // truncated
  EXPECT_FALSE(parse("<info>caf\xE9</info>"));            // Latin-1
  EXPECT_FALSE(parse("<info>\xED\xA0\x80</info>"));       // an encoded surrogate
  EXPECT_FALSE(parse("<info>a\0b</info>"));
  EXPECT_FALSE(parse(""));
  EXPECT_FALSE(parse("no markup at all"));
  // A character reference to a surrogate gives no text rather than broken UTF-8.
  EXPECT_EQ(root("<t>&#xD800;</t>").text(), "");
  // Nesting far beyond any stack is parsed without recursion.
  std::string deep;
  for (int i = 0; i < 200000; ++i) deep += "<a>";
  EXPECT_FALSE(parse(deep));
  for (int i = 0; i < 200000; ++i) deep += "</a>";
  auto document = parse(deep);
  ASSERT_TRUE(document);
  EXPECT_EQ(document->rootXMLElement().firstChild("a").firstChild().name(), "a");
}
