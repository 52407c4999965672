#pragma once

#include <optional>
#include <string>

// Where the application's analytics events and page views go. The application installs the
// vendor tracker behind it at launch; until then events are dropped, as a tracker that cannot
// send would drop them.
class AnalyticsTracker {
 public:
  virtual ~AnalyticsTracker() = default;
  virtual void trackEvent(const std::string& category, const std::string& action,
                          const std::optional<std::string>& label, long value) = 0;
  virtual void trackPageview(const std::string& page) = 0;
};
