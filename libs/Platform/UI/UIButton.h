#pragma once

#include <map>
#include <memory>
#include <string>

#include "Graphics/Image.h"
#include "UI/UIControl.h"
#include "UI/UIImageView.h"
#include "UI/UILabel.h"

namespace platform {

enum class UIButtonType { Custom = 0, RoundedRect = 1 };

// A control with a title, a picture and a background picture per state. A state without its
// own value shows the normal state's. The picture and the title sit side by side, centred in
// the bounds less the content insets, each moved by its own insets; the background picture
// fills the bounds (stretched by its caps when it has them).
class UIButton : public UIControl {
 public:
  UIButton();
  explicit UIButton(Rect frame);
  static std::shared_ptr<UIButton> buttonWithType(UIButtonType type);
  std::string className() const override { return "UIButton"; }

  UIButtonType buttonType() const { return _type; }

  void setTitle(std::optional<std::string> title, UIControlState state);
  std::optional<std::string> titleForState(UIControlState state) const;
  void setTitleColor(std::optional<UIColor> color, UIControlState state);
  std::optional<UIColor> titleColorForState(UIControlState state) const;
  void setImage(std::shared_ptr<Image> image, UIControlState state);
  std::shared_ptr<Image> imageForState(UIControlState state) const;
  void setBackgroundImage(std::shared_ptr<Image> image, UIControlState state);
  std::shared_ptr<Image> backgroundImageForState(UIControlState state) const;

  std::optional<std::string> currentTitle() const { return titleForState(state()); }
  std::shared_ptr<Image> currentImage() const { return imageForState(state()); }
  std::shared_ptr<Image> currentBackgroundImage() const { return backgroundImageForState(state()); }

  EdgeInsets contentEdgeInsets() const { return _contentInsets; }
  void setContentEdgeInsets(EdgeInsets insets);
  EdgeInsets imageEdgeInsets() const { return _imageInsets; }
  void setImageEdgeInsets(EdgeInsets insets);
  EdgeInsets titleEdgeInsets() const { return _titleInsets; }
  void setTitleEdgeInsets(EdgeInsets insets);
  bool adjustsImageWhenDisabled() const { return _adjustsWhenDisabled; }
  void setAdjustsImageWhenDisabled(bool adjusts);

  // The label and image view that show the title and the picture; their font and content
  // mode may be changed, their texts and pictures follow the state.
  UILabel* titleLabel() const { return _titleLabel.get(); }
  UIImageView* imageView() const { return _imageView.get(); }

  void layoutSubviews() override;
  Size sizeThatFits(Size size) const override;
  void drawLayerContents(BitmapContext& context, double scale) const override;
  bool applyAttribute(const std::string& name, const std::string& value, InterfaceContext& context,
                      std::string& error) override;

 protected:
  void stateDidChange() override;

 private:
  template <class T>
  static T lookup(const std::map<UIControlState, T>& values, UIControlState state);
  void setupSubviews();
  void contentChanged();

  UIButtonType _type = UIButtonType::Custom;
  std::map<UIControlState, std::string> _titles;
  std::map<UIControlState, UIColor> _titleColors;
  std::map<UIControlState, std::shared_ptr<Image>> _images;
  std::map<UIControlState, std::shared_ptr<Image>> _backgroundImages;
  EdgeInsets _contentInsets, _imageInsets, _titleInsets;
  bool _adjustsWhenDisabled = true;
  std::shared_ptr<UILabel> _titleLabel;
  std::shared_ptr<UIImageView> _imageView;
};

}  // namespace platform
