#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ServerAnswer.h"
#include "ServerRequest.h"
#include "StatsStore.h"

// The ads server's endpoints, under "/ads/", from a folder that holds "feed.xml" and "icons/":
//   version.php      the feed's version: a digest of the feed as it is served
//   info.php         the feed; "%SERVER%" in it becomes the server's root URL, so that icon
//                    links reach this server wherever it listens
//   stats.php        a statistics report: accepted (and stored) only when its "hash" is the MD5
//                    of the other values in query order, each percent-decoded, and the salt;
//                    403 otherwise
//   icons/NAME       the icon files
// Safe from several threads at once.
class AdsHandler {
 public:
  using Parameters = StatsStore::Parameters;
  static constexpr const char* kPathPrefix = "/ads/";
  static constexpr const char* kServerPlaceholder = "%SERVER%";

  AdsHandler(std::string folder, std::string rootURL, StatsStore* store, std::string salt)
      : _folder(std::move(folder)),
        _rootURL(std::move(rootURL)),
        _store(store),
        _salt(std::move(salt)) {}

  // The answer for a path under "/ads/"; 404 for any other.
  ServerAnswer answer(const ServerRequest& request, const std::string& remoteAddress) const;

  // The query's parameters in the order they were sent, percent-decoded once.
  static Parameters orderedParameters(const std::string& target);
  // The signature a report with these parameters (without "hash") carries.
  static std::string signature(const Parameters& parameters, const std::string& salt);

 private:
  std::optional<std::string> feed() const;
  ServerAnswer stats(const ServerRequest& request, const std::string& remoteAddress) const;
  ServerAnswer icon(const std::string& name) const;

  std::string _folder;
  std::string _rootURL;
  StatsStore* _store;
  std::string _salt;
};
