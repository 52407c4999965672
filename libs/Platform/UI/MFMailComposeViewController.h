#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Foundation/Value.h"
#include "UI/UIViewController.h"

namespace platform {

class MFMailComposeViewController;
class UIButton;
class UILabel;

enum class MFMailComposeResult { Cancelled = 0, Saved = 1, Sent = 2, Failed = 3 };

// Told how composing ended; the composer stays on screen until the delegate dismisses it.
class MFMailComposeViewControllerDelegate {
 public:
  virtual ~MFMailComposeViewControllerDelegate() = default;
  virtual void mailComposeControllerDidFinishWithResult(
      MFMailComposeViewController& controller, MFMailComposeResult result,
      const std::optional<std::string>& error) = 0;
};

// A mail ready to go: recipients, subject, a plain or HTML body and attachments, shown with
// Cancel and Send. Sending hands the message to the desktop's mail client ("xdg-email") when
// one can be started in a graphical session; otherwise, or when the client does not start, it
// writes the message as a MIME file ("<time>-<n>.eml") into the outbox folder, where the user
// picks it up. Either way the result is Sent.
class MFMailComposeViewController : public UIViewController {
 public:
  MFMailComposeViewController();
  ~MFMailComposeViewController() override;
  std::string className() const override { return "MFMailComposeViewController"; }

  // Whether mail can be composed: an outbox folder is known.
  static bool canSendMail();
  // The outbox: set by hosts and tests; by default "Outbox" in the app container's documents.
  static void setOutboxDirectory(std::optional<std::string> directory);
  static std::optional<std::string> outboxDirectory();

  std::shared_ptr<MFMailComposeViewControllerDelegate> mailComposeDelegate() const {
    return _delegate.lock();
  }
  void setMailComposeDelegate(std::weak_ptr<MFMailComposeViewControllerDelegate> delegate) {
    _delegate = std::move(delegate);
  }
  void setSubject(std::string subject);
  void setToRecipients(std::vector<std::string> recipients);
  void setCcRecipients(std::vector<std::string> recipients) { _cc = std::move(recipients); }
  void setMessageBody(std::string body, bool isHTML);
  void addAttachmentData(Bytes data, std::string mimeType, std::string fileName);

  const std::string& subject() const { return _subject; }
  const std::vector<std::string>& toRecipients() const { return _to; }

  // The message in MIME form (what Send writes).
  std::string mimeMessage() const;
  // What the two buttons do. Send answers where the message went: the .eml file, or, when
  // the mail client took it, the message's folder in the outbox ("<time>-<n>", holding the
  // attachment files the client was given; empty without attachments). Nothing when it failed.
  std::optional<std::string> send();
  void cancel();

  void loadView() override;

 private:
  struct Attachment {
    Bytes data;
    std::string mimeType;
    std::string fileName;
  };
  void finish(MFMailComposeResult result, std::optional<std::string> error);
  // Writes the attachments into `folder` and starts the mail client; false (the folder
  // removed again) when either fails.
  bool sendThroughMailClient(const std::string& folder) const;
  void updateLabels();

  std::weak_ptr<MFMailComposeViewControllerDelegate> _delegate;
  std::string _subject;
  std::vector<std::string> _to;
  std::vector<std::string> _cc;
  std::string _body;
  bool _html = false;
  std::vector<Attachment> _attachments;
  bool _finished = false;
  std::shared_ptr<UILabel> _summary;
  std::shared_ptr<UIButton> _cancelButton;
  std::shared_ptr<UIButton> _sendButton;
};

}  // namespace platform
