#include "GalleryPage.h"

#include "GeneralTools/Localization.h"
#include "UI/UIScreen.h"

using namespace platform;

std::string Gallery::text(const char* key) {
  return Localization::Instance().localizationForKey(key);
}

std::string Gallery::text(const char* key, const std::vector<std::string>& values) {
  std::string result = text(key);
  for (size_t i = values.size(); i-- > 0;) {
    // From the last: "%1" must not take the start of "%10".
    std::string mark = "%" + std::to_string(i + 1);
    for (size_t at = result.find(mark); at != std::string::npos;
         at = result.find(mark, at + values[i].size()))
      result.replace(at, mark.size(), values[i]);
  }
  return result;
}

UIColor Gallery::background() {
  return *UIColor::fromString("#303840");
}

std::shared_ptr<UILabel> Gallery::caption(Rect frame, const std::string& text, double size) {
  auto label = std::make_shared<UILabel>(frame);
  label->setText(text);
  label->setFont(UIFont::systemFontOfSize(size));
  label->setTextColor(UIColor::whiteColor());
  label->setTextAlignment(NSTextAlignment::Center);
  return label;
}

std::shared_ptr<UIButton> Gallery::button(Rect frame, const std::string& title,
                                          std::function<void()> action) {
  auto button = UIButton::buttonWithType(UIButtonType::RoundedRect);
  button->setFrame(frame);
  button->setTitle(title, UIControlStateNormal);
  button->addTarget([action = std::move(action)](UIControl&) { action(); },
                    UIControlEventTouchUpInside);
  return button;
}

void GalleryPage::loadView() {
  auto page = std::make_shared<UIView>(UIScreen::mainScreen().applicationFrame());
  page->setBackgroundColor(Gallery::background());
  page->setClipsToBounds(true);
  setView(page);
  auto heading = Gallery::caption(Rect(44, 10, page->bounds().size.width - 88, 30), title(), 26);
  heading->setFont(UIFont::fontWithName("HelveticaNeue-CondensedBold", 26));
  page->addSubview(heading);
  buildPage(*page);
  addTurnButtons(*page);
}

void GalleryPage::addTurnButtons(UIView& page) {
  auto turnButton = [this](Rect frame, const char* title, int step) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setFrame(frame);
    button->setTitle(title, UIControlStateNormal);
    button->setTitleColor(UIColor::colorWithWhite(1, 0.4), UIControlStateHighlighted);
    button->titleLabel()->setFont(UIFont::boldSystemFontOfSize(30));
    // The page owns its buttons, so it is alive whenever one of them acts.
    button->addTarget(
        [this, step](UIControl&) {
          if (_turn) _turn(step);
        },
        UIControlEventTouchUpInside);
    return button;
  };
  _previous = turnButton(Rect(0, 4, 44, 40), "‹", -1);
  _next = turnButton(Rect(page.bounds().size.width - 44, 4, 44, 40), "›", +1);
  page.addSubview(_previous);
  page.addSubview(_next);
}
