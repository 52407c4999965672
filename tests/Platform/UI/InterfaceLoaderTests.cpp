#include <gtest/gtest.h>

#include "Foundation/Bundle.h"
#include "Graphics/ImageEncoder.h"
#include "TestSupport.h"
#include "UI/InterfaceLoader.h"
#include "UI/UIButton.h"
#include "UI/UIImageView.h"
#include "UI/UILabel.h"

using namespace platform;

namespace {

class Owner : public InterfaceOwner {
 public:
  void registerOutlets(OutletRegistry& outlets) override {
    outlets.add("root", root);
    outlets.add("title", title);
    outlets.add("picture", picture);
    outlets.add("go", go);
  }
  // Writes down each named action it is sent, with the sender's tag.
  void registerActions(ActionRegistry& actions) override {
    for (const char* name : {"save", "press", "paged"})
      actions.add(name, [this, name](UIControl& sender) {
        calls.push_back(std::string(name) + ":" + std::to_string(sender.tag()));
      });
  }
  std::shared_ptr<UIView> root;
  std::shared_ptr<UILabel> title;
  std::shared_ptr<UIImageView> picture;
  std::shared_ptr<UIButton> go;
  std::vector<std::string> calls;
};

class InterfaceLoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto bitmap = Bitmap::create(4, 6, PixelFormat::ARGB32Premultiplied);
    auto png = ImageEncoder::pngData(*Image::imageWithBitmap(bitmap));
    testing_support::writeTextFile(_dir.file("dot.png"), std::string(png->begin(), png->end()));
    _bundle = Bundle::bundleWithPath(_dir.path());
  }
  InterfaceLoader::Result load(const std::string& body, Owner& owner) {
    return InterfaceLoader::loadString("<interface>\n" + body + "\n</interface>\n", "Test.ui",
                                       &owner, _bundle);
  }

  testing_support::TemporaryDirectory _dir;
  std::shared_ptr<Bundle> _bundle;
  testing_support::ScopedScreenScale _scale{1};
  testing_support::ConsoleCapture _console;
};

}  // namespace

TEST_F(InterfaceLoaderTest, BuildsTheTreeAndBindsOutlets) {
  Owner owner;
  auto result = load(R"(<UIView outlet="root" frame="0 0 320 480" backgroundColor="#102030">
  <UILabel outlet="title" frame="10 20 300 30" text="Hello" font="Helvetica-Bold 18"
           textColor="white" textAlignment="1" tag="5"/>
  <UIImageView outlet="picture" frame="0 60 40 60" image="dot.png" contentMode="1"/>
  <UIButton outlet="go" frame="10 400 100 44" title="Go" title.selected="Gone"
            image.selected="dot" imageEdgeInsets="1 2 3 4" enabled="NO" hidden="YES"/>
</UIView>)",
                     owner);
  ASSERT_TRUE(result.ok()) << result.error;
  ASSERT_EQ(result.topLevelViews.size(), 1u);
  EXPECT_EQ(owner.root, result.topLevelViews[0]);
  ASSERT_TRUE(owner.title);
  EXPECT_EQ(owner.title->text(), "Hello");
  EXPECT_EQ(owner.title->font(), UIFont::fontWithName("Helvetica-Bold", 18));
  EXPECT_EQ(owner.title->textAlignment(), NSTextAlignment::Center);
  EXPECT_EQ(owner.root->viewWithTag(5), owner.title.get());
  EXPECT_EQ(owner.title->superview(), owner.root.get());
  ASSERT_TRUE(owner.picture && owner.picture->image());
  EXPECT_EQ(owner.picture->image()->size(), (Size{4, 6}));
  EXPECT_EQ(owner.picture->contentMode(), UIViewContentMode::ScaleAspectFit);
  ASSERT_TRUE(owner.go);
  EXPECT_EQ(owner.go->titleForState(UIControlStateSelected), "Gone");
  EXPECT_TRUE(owner.go->imageForState(UIControlStateSelected));
  EXPECT_EQ(owner.go->imageEdgeInsets(), (EdgeInsets{1, 2, 3, 4}));
  EXPECT_FALSE(owner.go->isEnabled());
  EXPECT_TRUE(owner.go->isHidden());
  EXPECT_EQ(owner.root->backgroundColor(), (UIColor{0x10 / 255.0, 0x20 / 255.0, 0x30 / 255.0, 1}));
}

TEST_F(InterfaceLoaderTest, BadFilesAndMalformedAttributesBindNothingAndNameFileLineAndElement) {
  Owner owner;
  auto unknown =
      load("<UIView outlet=\"root\">\n  <UIWidget frame=\"0 0 1 1\"/>\n</UIView>", owner);
  EXPECT_FALSE(unknown.ok());
  EXPECT_EQ(unknown.error, "Test.ui:3: element <UIWidget>: unknown class \"UIWidget\"");
  EXPECT_TRUE(unknown.topLevelViews.empty());
  ASSERT_FALSE(_console.lines().empty());
  EXPECT_EQ(_console.lines().back(), unknown.error);
  auto missing = load(R"(<UIView outlet="nowhere"/>)", owner);
  EXPECT_EQ(missing.error, "Test.ui:2: element <UIView>: the owner has no outlet \"nowhere\"");
  auto wrong = load(R"(<UIView outlet="root"><UIView outlet="title"/></UIView>)", owner);
  EXPECT_EQ(wrong.error, "Test.ui:2: element <UIView>: outlet \"title\" cannot hold a UIView");
  EXPECT_FALSE(owner.root);  // nothing bound from a bad file

  auto broken =
      InterfaceLoader::loadString("<interface>\n<UIView>\n</interface>", "Bad.ui", &owner, _bundle);
  EXPECT_EQ(broken.error.rfind("Bad.ui:", 0), 0u) << broken.error;
  EXPECT_NE(broken.error.find("not well-formed XML"), std::string::npos);
  auto wrongRoot = InterfaceLoader::loadString("<views/>", "Root.ui", &owner, _bundle);
  EXPECT_EQ(wrongRoot.error, "Root.ui:1: element <views>: the root element must be <interface>");
  auto none = InterfaceLoader::loadNibNamed("Absent", &owner, _bundle);
  EXPECT_EQ(none.error, "Absent.ui: no such interface file");

  // A file by name from the bundle.
  testing_support::writeTextFile(
      _dir.file("Screen.ui"),
      "<interface><UILabel outlet=\"title\" text=\"From disk\"/></interface>");
  auto named = InterfaceLoader::loadNibNamed("Screen", &owner, _bundle);
  ASSERT_TRUE(named.ok()) << named.error;
  ASSERT_TRUE(owner.title);
  EXPECT_EQ(owner.title->text(), "From disk");

  struct Case {
    const char* element;
    const char* message;
  } cases[] = {
      {R"(<UIView frame="1 2 3"/>)", "attribute \"frame\": malformed rectangle"},
      {R"(<UIView tag="seven"/>)", "attribute \"tag\": malformed integer"},
      {R"(<UIView hidden="maybe"/>)", "attribute \"hidden\": malformed boolean"},
      {R"(<UIView backgroundColor="#12"/>)", "attribute \"backgroundColor\": malformed colour"},
      {R"(<UIView colour="red"/>)", "attribute \"colour\": unknown attribute"},
      {R"(<UILabel font="Helvetica"/>)", "attribute \"font\": malformed font"},
      {R"(<UIImageView image="missing.png"/>)", "attribute \"image\": no picture named"},
      {R"(<UIButton title.pressed="x"/>)", "attribute \"title.pressed\": unknown control state"},
      {R"(<UIView contentMode="13"/>)", "attribute \"contentMode\": content mode must be"},
  };
  for (const Case& c : cases) {
    Owner owner;
    auto result = load(c.element, owner);
    EXPECT_FALSE(result.ok()) << c.element;
    EXPECT_NE(result.error.find("Test.ui:2: element <"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find(c.message), std::string::npos) << result.error;
  }
}

TEST_F(InterfaceLoaderTest, ActionsAttachTheOwnersOperationsToControlEvents) {
  Owner owner;
  auto result = load(R"(<UIView outlet="root">
  <UIButton outlet="go" tag="1" action="save" action.touchDown="press"/>
  <UIPageControl tag="2" numberOfPages="3" action.valueChanged="paged"/>
</UIView>)",
                     owner);
  ASSERT_TRUE(result.ok()) << result.error;
  owner.go->sendActionsForControlEvents(UIControlEventTouchDown);
  owner.go->sendActionsForControlEvents(UIControlEventTouchUpInside);
  owner.go->sendActionsForControlEvents(UIControlEventValueChanged);  // nothing attached
  auto* pages = dynamic_cast<UIControl*>(owner.root->subviews()[1].get());
  ASSERT_NE(pages, nullptr);
  pages->sendActionsForControlEvents(UIControlEventValueChanged | UIControlEventTouchUpInside);
  EXPECT_EQ(owner.calls, (std::vector<std::string>{"press:1", "save:1", "paged:2"}));

  // Refused, with nothing bound: an unknown action, an unknown event, a view that is no
  // control.
  Owner fresh;
  auto unknown = load(R"(<UIView outlet="root"><UIButton action="print"/></UIView>)", fresh);
  EXPECT_EQ(unknown.error, "Test.ui:2: element <UIButton>: the owner has no action \"print\"");
  auto event = load(R"(<UIButton action.touchTwice="save"/>)", fresh);
  EXPECT_EQ(event.error,
            "Test.ui:2: element <UIButton>: unknown control event in \"action.touchTwice\"");
  auto label = load(R"(<UILabel action="save"/>)", fresh);
  EXPECT_EQ(label.error,
            "Test.ui:2: element <UILabel>: a UILabel is not a control and sends "
            "no actions");
  EXPECT_FALSE(fresh.root);
  // Without an owner there are no actions to name.
  auto ownerless = InterfaceLoader::loadString("<interface><UIButton action=\"save\"/></interface>",
                                               "Test.ui", nullptr, _bundle);
  EXPECT_FALSE(ownerless.ok());
}
