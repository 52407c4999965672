#pragma once

#include <optional>
#include <string>

// The share mail and the support mail, composed with the platform's mail composer and shown
// over the application's navigation controller.
class SocialFunctions {
 public:
  // The share mail: `title` as subject, the localized template as HTML body with the
  // product's links filled in, and the file at `attachment` (when given) as a ringtone.
  static void sendMailWithTitle(const std::string& title,
                                const std::optional<std::string>& attachment);
  // The share mail with the localized share subject and nothing attached.
  static void sendMail();
  // A mail to support: "<name> iPhone ver. <version> - Support", no body.
  static void sendSupportMail();
  // The share mail's body: the template with its four placeholders replaced.
  static std::string shareMailBody();
  static std::string supportMailSubject();
};
