#include "UI/UIButton.h"

#include <algorithm>

#include "UI/ImageDrawing.h"
#include "UI/InterfaceContext.h"
#include "UI/UITheme.h"

namespace platform {
namespace {

Rect inset(const Rect& r, const EdgeInsets& e) {
  return Rect(r.origin.x + e.left, r.origin.y + e.top, r.size.width - e.left - e.right,
              r.size.height - e.top - e.bottom);
}

std::optional<UIControlState> stateNamed(const std::string& name) {
  if (name == "normal") return UIControlStateNormal;
  if (name == "highlighted") return UIControlStateHighlighted;
  if (name == "disabled") return UIControlStateDisabled;
  if (name == "selected") return UIControlStateSelected;
  return std::nullopt;
}

}  // namespace

UIButton::UIButton() {
  setupSubviews();
}

UIButton::UIButton(Rect frame) : UIControl(frame) {
  setupSubviews();
}

void UIButton::setupSubviews() {
  setOpaque(false);
  _imageView = std::make_shared<UIImageView>();
  _imageView->setContentMode(UIViewContentMode::ScaleAspectFit);
  _titleLabel = std::make_shared<UILabel>();
  _titleLabel->setFont(UITheme::current().buttonFont);
  _titleLabel->setTextAlignment(NSTextAlignment::Center);
  _titleLabel->setLineBreakMode(NSLineBreakMode::TruncatingMiddle);
  addSubview(_imageView);
  addSubview(_titleLabel);
  _titleColors[UIControlStateNormal] = UIColor::whiteColor();
}

std::shared_ptr<UIButton> UIButton::buttonWithType(UIButtonType type) {
  auto button = std::make_shared<UIButton>();
  button->_type = type;
  if (type == UIButtonType::RoundedRect) {
    button->_titleColors[UIControlStateNormal] = UITheme::current().buttonTitle;
    button->_titleColors[UIControlStateHighlighted] = UITheme::current().buttonHighlightedTitle;
    button->layer().setCornerRadius(9);
  }
  return button;
}

template <class T>
T UIButton::lookup(const std::map<UIControlState, T>& values, UIControlState state) {
  if (auto it = values.find(state); it != values.end()) return it->second;
  if (auto it = values.find(UIControlStateNormal); it != values.end()) return it->second;
  return T{};
}

void UIButton::contentChanged() {
  setNeedsLayout();
  setNeedsComposite();
}

void UIButton::setTitle(std::optional<std::string> title, UIControlState state) {
  title ? void(_titles[state] = *title) : void(_titles.erase(state));
  contentChanged();
}

std::optional<std::string> UIButton::titleForState(UIControlState state) const {
  if (auto it = _titles.find(state); it != _titles.end()) return it->second;
  if (auto it = _titles.find(UIControlStateNormal); it != _titles.end()) return it->second;
  return std::nullopt;
}

void UIButton::setTitleColor(std::optional<UIColor> color, UIControlState state) {
  color ? void(_titleColors[state] = *color) : void(_titleColors.erase(state));
  contentChanged();
}

std::optional<UIColor> UIButton::titleColorForState(UIControlState state) const {
  if (auto it = _titleColors.find(state); it != _titleColors.end()) return it->second;
  if (auto it = _titleColors.find(UIControlStateNormal); it != _titleColors.end())
    return it->second;
  return std::nullopt;
}

void UIButton::setImage(std::shared_ptr<Image> image, UIControlState state) {
  image ? void(_images[state] = std::move(image)) : void(_images.erase(state));
  contentChanged();
}

std::shared_ptr<Image> UIButton::imageForState(UIControlState state) const {
  return lookup(_images, state);
}

void UIButton::setBackgroundImage(std::shared_ptr<Image> image, UIControlState state) {
  image ? void(_backgroundImages[state] = std::move(image)) : void(_backgroundImages.erase(state));
  contentChanged();
}

std::shared_ptr<Image> UIButton::backgroundImageForState(UIControlState state) const {
  return lookup(_backgroundImages, state);
}

void UIButton::setContentEdgeInsets(EdgeInsets insets) {
  _contentInsets = insets;
  contentChanged();
}

void UIButton::setImageEdgeInsets(EdgeInsets insets) {
  _imageInsets = insets;
  contentChanged();
}

void UIButton::setTitleEdgeInsets(EdgeInsets insets) {
  _titleInsets = insets;
  contentChanged();
}

void UIButton::setAdjustsImageWhenDisabled(bool adjusts) {
  _adjustsWhenDisabled = adjusts;
  contentChanged();
}

void UIButton::stateDidChange() {
  contentChanged();
}

void UIButton::layoutSubviews() {
  UIControlState s = state();
  auto image = imageForState(s);
  auto title = titleForState(s);
  _imageView->setImage(image);
  _titleLabel->setText(title.value_or(""));
  _titleLabel->setTextColor(titleColorForState(s).value_or(UIColor::whiteColor()));
  // The toolkit dims a disabled button's picture unless the disabled state has its own.
  bool dim = !isEnabled() && _adjustsWhenDisabled && !_images.count(UIControlStateDisabled);
  _imageView->setAlpha(dim ? 0.4 : 1);

  Rect content = inset(bounds(), _contentInsets);
  Rect imageArea = inset(content, _imageInsets);
  Rect titleArea = inset(content, _titleInsets);
  Size imageSize = image ? image->size() : Size{};
  imageSize.width = std::min(imageSize.width, std::max(0.0, imageArea.size.width));
  imageSize.height = std::min(imageSize.height, std::max(0.0, imageArea.size.height));
  Size titleSize = title && !title->empty() ? _titleLabel->sizeThatFits(Size{}) : Size{};
  titleSize.width =
      std::min(titleSize.width, std::max(0.0, titleArea.size.width - imageSize.width));
  titleSize.height = std::min(titleSize.height, std::max(0.0, titleArea.size.height));
  // Side by side and centred; each part keeps the shift its own insets give it.
  double total = imageSize.width + titleSize.width;
  double imageX = imageArea.midX() - total / 2;
  double titleX = titleArea.midX() - total / 2 + imageSize.width;
  _imageView->setFrame(
      Rect(imageX, imageArea.midY() - imageSize.height / 2, imageSize.width, imageSize.height));
  _titleLabel->setFrame(
      Rect(titleX, titleArea.midY() - titleSize.height / 2, titleSize.width, titleSize.height));
  setNeedsComposite();
}

Size UIButton::sizeThatFits(Size) const {
  auto image = currentImage();
  auto background = currentBackgroundImage();
  Size imageSize = image ? image->size() : Size{};
  auto title = currentTitle();
  Size titleSize = title && !title->empty()
                       ? TextRenderer::sizeOfText(*title, {_titleLabel->font()}, 0)
                       : Size{};
  Size size{
      imageSize.width + titleSize.width + _contentInsets.left + _contentInsets.right,
      std::max(imageSize.height, titleSize.height) + _contentInsets.top + _contentInsets.bottom};
  if (background) {
    size.width = std::max(size.width, background->size().width);
    size.height = std::max(size.height, background->size().height);
  }
  return size;
}

void UIButton::drawLayerContents(BitmapContext& context, double) const {
  Rect b = bounds();
  if (auto background = currentBackgroundImage()) {
    drawPicture(context, *background, b);
    return;
  }
  if (_type == UIButtonType::RoundedRect) {
    GStateSaver saver(context);
    double r = layer().cornerRadius();
    const UITheme& theme = UITheme::current();
    auto setFill = [&](const UIColor& c) { context.setFillColor(c.red, c.green, c.blue, c.alpha); };
    setFill(theme.buttonBorder);
    context.beginPath();
    addRoundedRect(context, b, r);
    context.fillPath();
    setFill(isHighlighted() ? theme.buttonHighlightedFill : theme.buttonFill);
    context.beginPath();
    addRoundedRect(context, b.insetBy(1, 1), std::max(0.0, r - 1));
    context.fillPath();
  }
}

bool UIButton::applyAttribute(const std::string& name, const std::string& value,
                              InterfaceContext& context, std::string& error) {
  // Per-state values: "title", "title.selected", "image.highlighted", ...
  std::string key = name;
  UIControlState s = UIControlStateNormal;
  if (auto dot = name.find('.'); dot != std::string::npos) {
    key = name.substr(0, dot);
    auto named = stateNamed(name.substr(dot + 1));
    if (!named) {
      error = "unknown control state in \"" + name + "\"";
      return false;
    }
    s = *named;
  }
  if (key == "title") {
    setTitle(value, s);
    return true;
  }
  if (key == "titleColor") {
    auto c = context.parseColor(value, error);
    if (c) setTitleColor(*c, s);
    return c.has_value();
  }
  if (key == "image" || key == "backgroundImage") {
    auto picture = context.image(value, error);
    if (!picture) return false;
    key == "image" ? setImage(*picture, s) : setBackgroundImage(*picture, s);
    return true;
  }
  if (name == "imageEdgeInsets" || name == "titleEdgeInsets" || name == "contentEdgeInsets") {
    auto e = context.parseInsets(value, error);
    if (!e) return false;
    if (name == "imageEdgeInsets") setImageEdgeInsets(*e);
    if (name == "titleEdgeInsets") setTitleEdgeInsets(*e);
    if (name == "contentEdgeInsets") setContentEdgeInsets(*e);
    return true;
  }
  if (name == "titleFont") return _titleLabel->applyAttribute("font", value, context, error);
  if (name == "buttonType") {
    if (value != "custom" && value != "roundedRect") {
      error = "unknown button type \"" + value + "\"";
      return false;
    }
    _type = value == "custom" ? UIButtonType::Custom : UIButtonType::RoundedRect;
    if (_type == UIButtonType::RoundedRect) {
      if (!_titleColors.count(UIControlStateHighlighted))
        _titleColors[UIControlStateHighlighted] = UITheme::current().buttonHighlightedTitle;
      _titleColors[UIControlStateNormal] = UITheme::current().buttonTitle;
      layer().setCornerRadius(9);
    }
    contentChanged();
    return true;
  }
  return UIControl::applyAttribute(name, value, context, error);
}

}  // namespace platform
