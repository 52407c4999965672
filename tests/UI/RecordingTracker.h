#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "GeneralTools/AnalyticsTracker.h"

// Keeps what the analytics tracker was told, one line per call.
class RecordingTracker : public AnalyticsTracker {
 public:
  void trackEvent(const std::string& category, const std::string& action,
                  const std::optional<std::string>& label, long value) override {
    calls.push_back((withCategory ? category + "|" : "") + action + "|" + label.value_or("(none)") +
                    "|" + std::to_string(value));
  }
  void trackPageview(const std::string& page) override { calls.push_back("page " + page); }
  // How many calls begin with `prefix`.
  long count(const std::string& prefix) const {
    return std::count_if(calls.begin(), calls.end(),
                         [&](const std::string& c) { return c.starts_with(prefix); });
  }
  std::vector<std::string> calls;
  // Without, a line does not depend on which screen other tests of the process left visible.
  bool withCategory = true;
};
