#include <gtest/gtest.h>

#include <numbers>

#include "UI/UIButton.h"
#include "UI/UIImageView.h"
#include "UI/UIView.h"
#include "UI/UIWindow.h"

using namespace platform;

namespace {

void expectPoint(Point actual, double x, double y) {
  EXPECT_NEAR(actual.x, x, 1e-9);
  EXPECT_NEAR(actual.y, y, 1e-9);
}

}  // namespace

TEST(UIViewGeometry, FrameFollowsTransformsAndPointsConvertThroughBoundsOriginsAndTransforms) {
  auto root = std::make_shared<UIView>(Rect(0, 0, 320, 480));
  auto parent = std::make_shared<UIView>(Rect(100, 100, 100, 100));
  auto child = std::make_shared<UIView>(Rect(10, 10, 20, 20));
  root->addSubview(parent);
  parent->addSubview(child);
  expectPoint(child->convertPointToView(Point{0, 0}, root.get()), 110, 110);
  // A scrolled parent: its bounds origin moves its content.
  parent->setBounds(Rect(5, 0, 100, 100));
  expectPoint(child->convertPointToView(Point{0, 0}, root.get()), 105, 110);
  parent->setBounds(Rect(0, 0, 100, 100));
  // Scaled by 2 about the parent's centre (150, 150).
  parent->setTransform(AffineTransform::makeScale(2, 2));
  expectPoint(child->convertPointToView(Point{0, 0}, root.get()), 70, 70);
  expectPoint(child->convertPointFromView(Point{70, 70}, root.get()), 0, 0);
  expectPoint(root->convertPointToView(Point{150, 150}, child.get()), 40, 40);
  Rect r = child->convertRectToView(Rect(0, 0, 20, 20), root.get());
  expectPoint(Point{r.origin.x, r.size.width}, 70, 40);
  // Between siblings' subtrees.
  auto other = std::make_shared<UIView>(Rect(0, 0, 50, 50));
  root->addSubview(other);
  expectPoint(child->convertPointToView(Point{0, 0}, other.get()), 70, 70);

  auto view = std::make_shared<UIView>(Rect(10, 20, 100, 50));
  EXPECT_EQ(view->center(), (Point{60, 45}));
  EXPECT_EQ(view->bounds(), Rect(0, 0, 100, 50));
  view->setTransform(AffineTransform::makeScale(2, 2));
  // Scaling acts about the centre.
  EXPECT_EQ(view->frame(), Rect(-40, -5, 200, 100));
  EXPECT_EQ(view->bounds(), Rect(0, 0, 100, 50));
  view->setTransform(AffineTransform::makeRotation(std::numbers::pi / 2));
  Rect turned = view->frame();
  expectPoint(turned.origin, 35, -5);
  expectPoint(Point{turned.size.width, turned.size.height}, 50, 100);
}

TEST(UIViewGeometry, HitTestFindsFrontmostThroughTransformsAndSkipsHidden) {
  auto root = std::make_shared<UIView>(Rect(0, 0, 320, 480));
  auto back = std::make_shared<UIView>(Rect(0, 0, 200, 200));
  auto front = std::make_shared<UIView>(Rect(100, 100, 100, 100));
  root->addSubview(back);
  root->addSubview(front);
  EXPECT_EQ(root->hitTest(Point{150, 150}), front.get());
  EXPECT_EQ(root->hitTest(Point{50, 50}), back.get());
  EXPECT_EQ(root->hitTest(Point{300, 400}), root.get());
  EXPECT_EQ(root->hitTest(Point{400, 400}), nullptr);
  front->setHidden(true);
  EXPECT_EQ(root->hitTest(Point{150, 150}), back.get());
  front->setHidden(false);
  front->setUserInteractionEnabled(false);
  EXPECT_EQ(root->hitTest(Point{150, 150}), back.get());
  front->setUserInteractionEnabled(true);
  // Scaled by 0.5 about its centre (150, 150), front now covers 125..175.
  front->setTransform(AffineTransform::makeScale(0.5, 0.5));
  EXPECT_EQ(root->hitTest(Point{120, 120}), back.get());
  EXPECT_EQ(root->hitTest(Point{130, 130}), front.get());
  // Turned a quarter: a 100x20 bar becomes 20x100 about its centre (160, 60).
  auto bar = std::make_shared<UIView>(Rect(110, 50, 100, 20));
  bar->setTransform(AffineTransform::makeRotation(std::numbers::pi / 2));
  root->addSubview(bar);
  EXPECT_EQ(root->hitTest(Point{160, 100}), bar.get());
  EXPECT_NE(root->hitTest(Point{200, 60}), bar.get());
  // Picture views and fully transparent views take no touches.
  auto image = std::make_shared<UIImageView>(Rect(250, 300, 50, 50));
  auto faded = std::make_shared<UIView>(Rect(250, 300, 50, 50));
  faded->setAlpha(0);
  root->addSubview(image);
  root->addSubview(faded);
  EXPECT_EQ(root->hitTest(Point{270, 320}), root.get());
}

TEST(UIViewGeometry, TreeOperationsKeepOrderAndParents) {
  auto root = std::make_shared<UIView>();
  auto a = std::make_shared<UIView>(), b = std::make_shared<UIView>(),
       c = std::make_shared<UIView>();
  root->addSubview(a);
  root->addSubview(b);
  root->insertSubview(c, 0);
  ASSERT_EQ(root->subviews().size(), 3u);
  EXPECT_EQ(root->subviews()[0], c);
  root->bringSubviewToFront(c.get());
  EXPECT_EQ(root->subviews().back(), c);
  root->sendSubviewToBack(b.get());
  EXPECT_EQ(root->subviews().front(), b);
  root->insertSubviewAboveSubview(b, a.get());
  EXPECT_EQ(root->subviews()[0], a);
  EXPECT_EQ(root->subviews()[1], b);
  a->addSubview(c);  // moves
  EXPECT_EQ(root->subviews().size(), 2u);
  EXPECT_EQ(c->superview(), a.get());
  EXPECT_TRUE(c->isDescendantOfView(root.get()));
  root->addSubview(root);  // refused: a view cannot contain itself
  a->addSubview(root);     // nor its ancestor
  EXPECT_EQ(root->superview(), nullptr);
  // Tags are searched depth first, the view itself included.
  a->setTag(1);
  c->setTag(7);
  b->setTag(7);
  EXPECT_EQ(root->viewWithTag(7), c.get());
  EXPECT_EQ(a->viewWithTag(1), a.get());
  EXPECT_EQ(root->viewWithTag(99), nullptr);
  c->removeFromSuperview();
  EXPECT_EQ(c->superview(), nullptr);
  EXPECT_TRUE(a->subviews().empty());
}

namespace {

class CountingView : public UIView {
 public:
  using UIView::UIView;
  void layoutSubviews() override { ++layouts; }
  void didMoveToWindow() override { ++windowMoves; }
  int layouts = 0;
  int windowMoves = 0;
};

}  // namespace

TEST(UIViewGeometry, LayoutRunsOnceWhenRequestedAndOnResizeAndViewsLearnTheirWindow) {
  auto view = std::make_shared<CountingView>(Rect(0, 0, 10, 10));
  view->layoutIfNeeded();
  EXPECT_EQ(view->layouts, 1);
  view->layoutIfNeeded();
  EXPECT_EQ(view->layouts, 1);
  view->setNeedsLayout();
  view->layoutIfNeeded();
  EXPECT_EQ(view->layouts, 2);
  view->setCenter(Point{50, 50});  // a move alone needs no layout
  view->layoutIfNeeded();
  EXPECT_EQ(view->layouts, 2);
  view->setFrame(Rect(0, 0, 20, 10));
  view->layoutIfNeeded();
  EXPECT_EQ(view->layouts, 3);

  auto window = std::make_shared<UIWindow>(Rect(0, 0, 320, 480));
  auto container = std::make_shared<UIView>();
  container->addSubview(view);
  EXPECT_EQ(view->window(), nullptr);
  window->addSubview(container);
  EXPECT_EQ(view->window(), window.get());
  EXPECT_EQ(view->windowMoves, 1);
  container->removeFromSuperview();
  EXPECT_EQ(view->windowMoves, 2);
}

TEST(UIViewGeometry, ButtonPlacesPictureAndTitleWithInsets) {
  auto button = std::make_shared<UIButton>(Rect(0, 0, 100, 40));
  auto bitmap = Bitmap::create(20, 20, PixelFormat::ARGB32Premultiplied);
  button->setImage(Image::imageWithBitmap(bitmap, 2), UIControlStateNormal);  // 10x10 points
  button->layoutIfNeeded();
  EXPECT_EQ(button->imageView()->frame(), Rect(45, 15, 10, 10));
  button->setImageEdgeInsets(EdgeInsets{0, 10, 0, 0});
  button->layoutIfNeeded();
  EXPECT_EQ(button->imageView()->frame(), Rect(50, 15, 10, 10));
  auto selected = Image::imageWithBitmap(Bitmap::create(8, 8, PixelFormat::RGB24), 1);
  button->setImage(selected, UIControlStateSelected);
  button->setSelected(true);
  EXPECT_EQ(button->currentImage(), selected);
  button->setSelected(false);
  button->setEnabled(false);
  EXPECT_EQ(button->state(), UIControlStateDisabled);
  EXPECT_NE(button->currentImage(), selected);  // falls back to the normal picture
  button->setTitle("Go", UIControlStateNormal);
  button->setTitle("Wait", UIControlStateHighlighted);
  EXPECT_EQ(button->currentTitle(), "Go");
  button->setHighlighted(true);
  EXPECT_EQ(button->state(), UIControlStateDisabled | UIControlStateHighlighted);
  EXPECT_EQ(button->titleForState(UIControlStateHighlighted), "Wait");
}
