#include "UI/UIActivityViewController.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "Dispatch/GlobalQueue.h"
#include "Foundation/AppContainer.h"
#include "Foundation/AtomicFile.h"
#include "Foundation/Console.h"
#include "Foundation/DesktopLauncher.h"
#include "Foundation/FileManager.h"
#include "Foundation/RunLoop.h"
#include "Graphics/ImageEncoder.h"
#include "UI/MFMailComposeViewController.h"
#include "UI/UIButton.h"
#include "UI/UIImageWriteToSavedPhotosAlbum.h"
#include "UI/UIScreen.h"
#include "UI/UITheme.h"

namespace platform {
namespace {

const char* activityTitle(const std::string& type) {
  if (type == UIActivityTypeSaveToCameraRoll) return "Save Image";
  if (type == UIActivityTypeMail) return "Mail";
  if (type == UIActivityTypeOpenInViewer) return "Open in Viewer";
  return "";
}

const char* const viewerProgram = "xdg-open";

// Writes the picture for the viewer and removes the ones shared before: the viewer has read
// those by now, and the folder must not grow with every share. Any thread. Answers the path,
// or nothing (with a console message).
std::optional<std::string> writeSharedPicture(const Image& image, const std::string& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  auto png = ImageEncoder::pngData(image);
  if (ec || !png) {
    Console::log("Share sheet: cannot " +
                 (ec ? "make the folder " + folder : std::string("encode the picture")));
    return std::nullopt;
  }
  std::string name = "Picture-" + FileManager::uniqueTimeStamp("-") + ".png";
  std::string path = folder + "/" + name;
  if (!AtomicFile::write(path, *png)) {
    Console::log("Share sheet: cannot write " + path);
    return std::nullopt;
  }
  AtomicFile::removeStaleTemporariesInDirectory(folder);
  for (const auto& entry :
       FileManager::contentsOfDirectoryAtPath(folder).value_or(std::vector<std::string>{})) {
    if (entry != name && entry.rfind("Picture-", 0) == 0 && entry.ends_with(".png"))
      FileManager::removeItemAtPath(folder + "/" + entry);
  }
  return path;
}

// Closes a mail composer the share sheet opened and passes the outcome on. Kept alive by the
// table below until the composer finishes.
class MailRelay : public MFMailComposeViewControllerDelegate {
 public:
  explicit MailRelay(UIActivityViewController::CompletionHandler completion)
      : _completion(std::move(completion)) {}
  void mailComposeControllerDidFinishWithResult(MFMailComposeViewController& controller,
                                                MFMailComposeResult result,
                                                const std::optional<std::string>&) override;

 private:
  UIActivityViewController::CompletionHandler _completion;
};

std::map<const MFMailComposeViewController*, std::shared_ptr<MailRelay>>& relays() {
  static std::map<const MFMailComposeViewController*, std::shared_ptr<MailRelay>> table;
  return table;
}

void MailRelay::mailComposeControllerDidFinishWithResult(MFMailComposeViewController& controller,
                                                         MFMailComposeResult result,
                                                         const std::optional<std::string>&) {
  auto self = relays()[&controller];  // keeps this alive to the end of the call
  relays().erase(&controller);
  controller.dismissViewControllerAnimated(true);
  if (_completion) _completion(UIActivityTypeMail, result == MFMailComposeResult::Sent);
}

}  // namespace

UIActivityViewController::UIActivityViewController(
    std::vector<std::shared_ptr<Image>> activityItems) {
  for (auto& item : activityItems)
    if (item) _items.push_back(std::move(item));
}

UIActivityViewController::~UIActivityViewController() {
  for (auto& b : _buttons) b->removeAllTargets();
}

std::vector<std::string> UIActivityViewController::availableActivityTypes() const {
  std::vector<std::string> types;
  if (_items.empty()) return types;
  for (const std::string& type :
       {UIActivityTypeSaveToCameraRoll, UIActivityTypeMail, UIActivityTypeOpenInViewer}) {
    if (std::find(_excluded.begin(), _excluded.end(), type) != _excluded.end()) continue;
    if (type == UIActivityTypeMail && !MFMailComposeViewController::canSendMail()) continue;
    if (type == UIActivityTypeOpenInViewer &&
        (!AppContainer::rootPath() || !DesktopLauncher::canLaunch(viewerProgram)))
      continue;
    types.push_back(type);
  }
  return types;
}

void UIActivityViewController::finish(const std::string& activityType, bool completed) {
  if (_completion) _completion(activityType, completed);
}

void UIActivityViewController::dismissThen(std::function<void(UIViewController*)> next) {
  auto self = std::static_pointer_cast<UIActivityViewController>(shared_from_this());
  UIViewController* presenter = presentingViewController();
  std::weak_ptr<UIViewController> weakPresenter =
      presenter ? presenter->weak_from_this() : std::weak_ptr<UIViewController>();
  if (!presenter) {
    next(nullptr);
    return;
  }
  dismissViewControllerAnimated(true, [self, weakPresenter, next] {
    auto p = weakPresenter.lock();
    next(p.get());
  });
}

bool UIActivityViewController::performActivity(const std::string& activityType) {
  auto offered = availableActivityTypes();
  if (_busy || std::find(offered.begin(), offered.end(), activityType) == offered.end()) {
    Console::log("Share sheet: \"" + activityType + "\" is not offered");
    return false;
  }
  _busy = true;
  auto self = std::static_pointer_cast<UIActivityViewController>(shared_from_this());
  if (activityType == UIActivityTypeSaveToCameraRoll) {
    dismissThen([self](UIViewController*) {
      UIImageWriteToSavedPhotosAlbum(self->_items.front(),
                                     [self](const std::optional<std::string>& error) {
                                       if (error) Console::log("Share sheet: " + *error);
                                       self->_busy = false;
                                       self->finish(UIActivityTypeSaveToCameraRoll, !error);
                                     });
    });
    return true;
  }
  if (activityType == UIActivityTypeOpenInViewer) {
    auto caches = AppContainer::searchPathForDirectory(AppContainer::Directory::Caches);
    std::error_code ec;
    std::string folder =
        caches.empty() ? "" : std::filesystem::absolute(caches.front() + "/Shared Pictures", ec);
    if (folder.empty()) Console::log("Share sheet: there is no caches folder for the picture");
    dismissThen([self, folder](UIViewController*) mutable {
      // Encoding waits for no one on the main thread; the sheet comes back there to finish,
      // so it is never released on the worker.
      std::shared_ptr<Image> image = self->_items.front();
      GlobalQueue::defaultPriority().async(
          [self = std::move(self), image = std::move(image), folder]() mutable {
            auto path = folder.empty() ? std::nullopt : writeSharedPicture(*image, folder);
            RunLoop::main().post([self = std::move(self), path] {
              // The path is absolute, so the opener cannot take it for an option.
              bool started = path && DesktopLauncher::launch({viewerProgram, *path});
              if (path && !started) Console::log("Share sheet: the picture viewer did not start");
              self->_busy = false;
              self->finish(UIActivityTypeOpenInViewer, started);
            });
          });
    });
    return true;
  }
  // Mail: the pictures go as PNG attachments of a new mail, presented where the sheet was.
  dismissThen([self](UIViewController* presenter) {
    self->_busy = false;
    auto mail = std::make_shared<MFMailComposeViewController>();
    int n = 0;
    for (const auto& item : self->_items) {
      auto png = ImageEncoder::pngData(*item);
      if (!png) continue;
      std::string name = ++n == 1 ? "picture.png" : "picture-" + std::to_string(n) + ".png";
      mail->addAttachmentData(std::move(*png), "image/png", name);
    }
    auto relay = std::make_shared<MailRelay>(self->_completion);
    relays()[mail.get()] = relay;
    mail->setMailComposeDelegate(relay);
    if (!presenter) {
      Console::log("Share sheet: nothing to show the mail over");
      relays().erase(mail.get());
      self->finish(UIActivityTypeMail, false);
      return;
    }
    presenter->presentViewController(mail, true);
  });
  return true;
}

void UIActivityViewController::cancel() {
  if (_busy) return;
  _busy = true;
  auto self = std::static_pointer_cast<UIActivityViewController>(shared_from_this());
  dismissThen([self](UIViewController*) {
    self->_busy = false;
    self->finish("", false);
  });
}

void UIActivityViewController::loadView() {
  Rect frame = UIScreen::mainScreen().applicationFrame();
  auto root = std::make_shared<UIView>(frame);
  root->setBackgroundColor(UITheme::current().dimming);
  setView(root);
  auto types = availableActivityTypes();
  const double height = 44, gap = 8;
  double panelHeight = gap + (types.size() + 1) * (height + gap) + gap;
  auto panel = std::make_shared<UIView>(
      Rect(0, frame.size.height - panelHeight, frame.size.width, panelHeight));
  panel->setBackgroundColor(UITheme::current().sheetPanel);
  root->addSubview(panel);
  double y = gap;
  auto addButton = [&](const std::string& title, std::function<void()> action) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setFrame(Rect(20, y, frame.size.width - 40, height));
    button->setTitle(title, UIControlStateNormal);
    button->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    button->setBackgroundColor(UITheme::current().sheetButton);
    button->layer().setCornerRadius(6);
    button->addTarget([action](UIControl&) { action(); }, UIControlEventTouchUpInside);
    panel->addSubview(button);
    _buttons.push_back(button);
    y += height + gap;
  };
  // The buttons lose their targets when this goes, so `this` is alive when one runs.
  for (const auto& type : types)
    addButton(activityTitle(type), [this, type] { performActivity(type); });
  y += gap;
  addButton("Cancel", [this] { cancel(); });
}

}  // namespace platform
