#include "UI/MFMailComposeViewController.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "Foundation/AppContainer.h"
#include "Foundation/AtomicFile.h"
#include "Foundation/Console.h"
#include "Foundation/DesktopLauncher.h"
#include "Foundation/FileManager.h"
#include "Foundation/PlainTextFromHTML.h"
#include "UI/UIButton.h"
#include "UI/UILabel.h"
#include "UI/UIScreen.h"
#include "UI/UITheme.h"

namespace platform {
namespace {

std::optional<std::string>& outboxOverride() {
  static std::optional<std::string> directory;
  return directory;
}

// MIME bodies keep their lines at 76 characters (lineLength, a multiple of 4); header words
// are one line (lineLength 0). Encoded a line at a time: 57 bytes make 76 characters.
std::string base64(const std::uint8_t* data, size_t size, size_t lineLength = 76) {
  const size_t chunk = lineLength ? lineLength / 4 * 3 : std::max<size_t>(size, 1);
  std::string out;
  std::vector<unsigned char> line(4 * ((chunk + 2) / 3) + 1);
  for (size_t i = 0; i < size; i += chunk) {
    int n = EVP_EncodeBlock(line.data(), data + i, static_cast<int>(std::min(chunk, size - i)));
    if (i) out += "\r\n";
    out.append(reinterpret_cast<const char*>(line.data()), static_cast<size_t>(n));
  }
  return out;
}

std::string base64(const std::string& text, size_t lineLength = 76) {
  return base64(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), lineLength);
}

// A header value as ASCII: text with other characters, or line breaks that would forge
// headers, is sent encoded.
std::string headerText(const std::string& text) {
  bool plain = true;
  for (unsigned char c : text)
    if (c < 0x20 || c > 0x7E) plain = false;
  return plain ? text : "=?UTF-8?B?" + base64(text, 0) + "?=";
}

// Addresses keep only what an address may hold: no line breaks, commas split recipients.
std::string addressList(const std::vector<std::string>& addresses) {
  std::string out;
  for (const auto& a : addresses) {
    std::string clean;
    for (unsigned char c : a)
      if (c > 0x20 && c < 0x7F && c != ',') clean += static_cast<char>(c);
    if (clean.empty()) continue;
    out += (out.empty() ? "" : ", ") + clean;
  }
  return out;
}

// An address as the mail client gets it on its command line, or nothing (with a console
// message) when it cannot go there: one that starts with '-' would read as an option, a
// "mailto:" link would replace the whole message, and without '@' the client refuses the
// command line altogether.
std::optional<std::string> clientAddress(const std::string& address) {
  std::string clean = addressList({address});
  std::string lower = clean.substr(0, 7);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const char* why = nullptr;
  if (!clean.empty() && clean.front() == '-')
    why = "it would read as an option";
  else if (lower == "mailto:")
    why = "it is a link, not an address";
  else if (clean.find('@') == std::string::npos)
    why = "it is not an address";
  if (!why) return clean;
  Console::log("Mail: leaving out the recipient \"" + address + "\": " + why);
  return std::nullopt;
}

// A name for an attachment's file that stays inside the message's folder and differs from
// the names already given.
std::string attachmentFileName(const std::string& wanted, size_t index,
                               const std::vector<std::string>& taken) {
  std::string name = wanted.substr(wanted.find_last_of('/') + 1);
  name.erase(std::remove(name.begin(), name.end(), '\0'), name.end());
  if (name.empty() || name.front() == '.') name = "attachment-" + std::to_string(index + 1) + name;
  if (std::find(taken.begin(), taken.end(), name) != taken.end())
    name = std::to_string(index + 1) + "-" + name;
  return name;
}

}  // namespace

MFMailComposeViewController::MFMailComposeViewController() = default;

MFMailComposeViewController::~MFMailComposeViewController() {
  if (_cancelButton) _cancelButton->removeAllTargets();
  if (_sendButton) _sendButton->removeAllTargets();
}

void MFMailComposeViewController::setOutboxDirectory(std::optional<std::string> directory) {
  outboxOverride() = std::move(directory);
}

std::optional<std::string> MFMailComposeViewController::outboxDirectory() {
  if (outboxOverride()) return outboxOverride();
  auto documents = AppContainer::searchPathForDirectory(AppContainer::Directory::Documents);
  if (documents.empty()) return std::nullopt;
  return documents.front() + "/Outbox";
}

bool MFMailComposeViewController::canSendMail() {
  return outboxDirectory().has_value();
}

void MFMailComposeViewController::setSubject(std::string subject) {
  _subject = std::move(subject);
  updateLabels();
}

void MFMailComposeViewController::setToRecipients(std::vector<std::string> recipients) {
  _to = std::move(recipients);
  updateLabels();
}

void MFMailComposeViewController::setMessageBody(std::string body, bool isHTML) {
  _body = std::move(body);
  _html = isHTML;
}

void MFMailComposeViewController::addAttachmentData(Bytes data, std::string mimeType,
                                                    std::string fileName) {
  _attachments.push_back({std::move(data), std::move(mimeType), std::move(fileName)});
  updateLabels();
}

std::string MFMailComposeViewController::mimeMessage() const {
  const std::string boundary = "=_pictavia_part_boundary";
  std::string m;
  if (!_to.empty()) m += "To: " + addressList(_to) + "\r\n";
  if (!_cc.empty()) m += "Cc: " + addressList(_cc) + "\r\n";
  m += "Subject: " + headerText(_subject) + "\r\n";
  m += "MIME-Version: 1.0\r\n";
  m += "X-Unsent: 1\r\n";
  m += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
  m += "--" + boundary + "\r\n";
  m += std::string("Content-Type: ") + (_html ? "text/html" : "text/plain") +
       "; charset=UTF-8\r\nContent-Transfer-Encoding: base64\r\n\r\n";
  m += base64(_body) + "\r\n";
  for (const auto& a : _attachments) {
    m += "--" + boundary + "\r\n";
    std::string name = headerText(a.fileName);
    m += "Content-Type: " +
         (a.mimeType.empty() ? "application/octet-stream" : headerText(a.mimeType)) + "; name=\"" +
         name + "\"\r\n";
    m += "Content-Transfer-Encoding: base64\r\n";
    m += "Content-Disposition: attachment; filename=\"" + name + "\"\r\n\r\n";
    m += base64(a.data.data(), a.data.size()) + "\r\n";
  }
  m += "--" + boundary + "--\r\n";
  return m;
}

std::optional<std::string> MFMailComposeViewController::send() {
  if (_finished) return std::nullopt;
  auto dir = outboxDirectory();
  std::error_code ec;
  if (dir) std::filesystem::create_directories(*dir, ec);
  if (!dir || ec) {
    std::string why = dir ? "cannot make the outbox " + *dir : "no outbox folder is known";
    Console::log("Mail not sent: " + why);
    finish(MFMailComposeResult::Failed, why);
    return std::nullopt;
  }
  std::string name = FileManager::uniqueTimeStamp("-");
  // Without a graphical session a mail client would have nowhere to show the message.
  if (DesktopLauncher::hasDisplay() && DesktopLauncher::canLaunch("xdg-email")) {
    std::string folder = std::filesystem::absolute(*dir + "/" + name, ec).string();
    if (!ec && sendThroughMailClient(folder)) {
      finish(MFMailComposeResult::Sent, std::nullopt);
      return folder;
    }
    Console::log("Mail: the message did not reach the mail client; it goes to the outbox");
  }
  std::string path = *dir + "/" + name + ".eml";
  std::string text = mimeMessage();
  if (!AtomicFile::write(path, Bytes(text.begin(), text.end()))) {
    Console::log("Mail not sent: cannot write " + path);
    finish(MFMailComposeResult::Failed, "cannot write " + path);
    return std::nullopt;
  }
  finish(MFMailComposeResult::Sent, std::nullopt);
  return path;
}

bool MFMailComposeViewController::sendThroughMailClient(const std::string& folder) const {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return false;
  // Every value follows its option, and the recipients that stand alone are checked, so
  // nothing the message holds can reach the client as an option of its own.
  DesktopLauncher::Arguments argv = {"xdg-email", "--utf8"};
  if (!_subject.empty()) argv.insert(argv.end(), {"--subject", _subject});
  for (const auto& cc : _cc)
    if (auto address = clientAddress(cc)) argv.insert(argv.end(), {"--cc", *address});
  std::string body = _html ? plainTextFromHTML(_body) : _body;
  if (!body.empty()) argv.insert(argv.end(), {"--body", body});
  std::vector<std::string> names;
  bool written = true;
  for (size_t i = 0; i < _attachments.size() && written; ++i) {
    names.push_back(attachmentFileName(_attachments[i].fileName, i, names));
    std::string path = folder + "/" + names.back();
    written = AtomicFile::write(path, _attachments[i].data);
    if (!written) Console::log("Mail: cannot write the attachment " + path);
    argv.insert(argv.end(), {"--attach", path});
  }
  for (const auto& to : _to)
    if (auto address = clientAddress(to)) argv.push_back(*address);
  if (written && DesktopLauncher::launch(argv)) return true;
  std::filesystem::remove_all(folder, ec);
  return false;
}

void MFMailComposeViewController::cancel() {
  if (!_finished) finish(MFMailComposeResult::Cancelled, std::nullopt);
}

void MFMailComposeViewController::finish(MFMailComposeResult result,
                                         std::optional<std::string> error) {
  _finished = true;
  auto keep = weak_from_this().lock();
  if (auto d = mailComposeDelegate())
    d->mailComposeControllerDidFinishWithResult(*this, result, error);
}

void MFMailComposeViewController::loadView() {
  Rect frame = UIScreen::mainScreen().applicationFrame();
  auto root = std::make_shared<UIView>(frame);
  root->setBackgroundColor(UIColor::colorWithWhite(0.95, 1));
  setView(root);
  auto bar = std::make_shared<UIView>(Rect(0, 0, frame.size.width, 44));
  bar->setBackgroundColor(UITheme::current().systemBar);
  root->addSubview(bar);
  _cancelButton = UIButton::buttonWithType(UIButtonType::Custom);
  _cancelButton->setFrame(Rect(5, 7, 70, 30));
  _cancelButton->setTitle("Cancel", UIControlStateNormal);
  _sendButton = UIButton::buttonWithType(UIButtonType::Custom);
  _sendButton->setFrame(Rect(frame.size.width - 75, 7, 70, 30));
  _sendButton->setTitle("Send", UIControlStateNormal);
  // The buttons lose their targets when this goes, so `this` is alive when one runs.
  _cancelButton->addTarget([this](UIControl&) { cancel(); }, UIControlEventTouchUpInside);
  _sendButton->addTarget([this](UIControl&) { send(); }, UIControlEventTouchUpInside);
  for (auto& b : {_cancelButton, _sendButton}) {
    b->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    bar->addSubview(b);
  }
  _summary = std::make_shared<UILabel>(Rect(10, 54, frame.size.width - 20, 120));
  _summary->setNumberOfLines(0);
  _summary->setBackgroundColor(std::nullopt);
  root->addSubview(_summary);
  updateLabels();
}

void MFMailComposeViewController::updateLabels() {
  if (!_summary) return;
  std::string text = "To: " + addressList(_to) + "\nSubject: " + _subject;
  for (const auto& a : _attachments) text += "\nAttached: " + a.fileName;
  _summary->setText(text);
}

}  // namespace platform
