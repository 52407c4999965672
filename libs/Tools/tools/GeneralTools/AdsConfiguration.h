#pragma once

#include <string>

// Where the house ads come from and how their statistics are signed: compiled-in values that
// the application installs at start (the reference server shares the account and the salt).
// Main thread only. Empty URLs mean no ads server: nothing is requested.
struct AdsConfiguration {
  // The ads server's folder: "version.php" and "info.php" are fetched below it.
  std::string serverURL;
  // The statistics endpoint ("…/stats.php").
  std::string statisticsURL;
  // The publisher's account at the ads server: 32 hexadecimal digits.
  std::string user;
  // The 12-character text the statistics digest ends with.
  std::string salt;

  static const AdsConfiguration& current();
  static void setCurrent(AdsConfiguration configuration);
};
