#pragma once

#include <string>

// The program's compiled-in configuration: server addresses and the like. There are no
// configuration files or environment variables; hosts and tools may override single values.
namespace Config {

// The server root: the reference server's default address, so that a fresh checkout syncs
// against `reference-server` on loopback. The content directory servers (one per screen kind),
// the ads feed ("version.php" and "info.php" below its folder), its statistics endpoint and the
// app-open report endpoint are paths below it.
inline constexpr const char* kServerRootURL = "http://127.0.0.1:8642/";
inline constexpr const char* kStandardScreenDirectoryPath = "standard/";
inline constexpr const char* kTallScreenDirectoryPath = "tall/";
inline constexpr const char* kAdsServerPath = "ads/";
inline constexpr const char* kAdsStatisticsPath = "ads/stats.php";

// The largest content file a device takes: far above any decoration, and small enough that a
// broken or hostile server cannot fill the memory or the disk with one answer.
inline constexpr long long kMaximumContentFileSize = 32LL << 20;

// The product's pages. Links open only when they are http or https.
inline constexpr const char* kAppPageURL = "https://pictavia.org/";
inline constexpr const char* kAppStoreURL = "https://pictavia.org/get";
inline constexpr const char* kGiftURL = "https://pictavia.org/gift";
inline constexpr const char* kFacebookURL = "https://www.facebook.com/pictavia";
inline constexpr const char* kTwitterURL = "https://twitter.com/pictavia";
inline constexpr const char* kHelpVideoURL = "https://pictavia.org/help/video";
inline constexpr const char* kMailImageURL = "https://pictavia.org/images/mail.png";
inline constexpr const char* kSupportMail = "support@pictavia.org";

// The vendors' identifiers and keys. The desktop backend only logs them.
inline constexpr const char* kAnalyticsAccountID = "UA-00000000-1";
inline constexpr double kAnalyticsDispatchPeriod = 10;
inline constexpr const char* kOfferWallAppID = "0b7a3c5e-1f2d-4e6a-9c8b-7d5e3f1a2b4c";
inline constexpr const char* kOfferWallSecretKey = "Pv7kQ2mX9rT4wL6nB3sJ";
inline constexpr const char* kInterstitialAppID = "5f2c9a7e1b3d4f6a8c0e2b4d";
inline constexpr const char* kInterstitialSignature = "3e8f1a6c9b2d4e7f0a5c8b1d3e6f9a2c4b7d0e5f";
inline constexpr long long kAttributionIdentifiers[5] = {555000111, 3001, 3002, 3003, 3004};
// The store's numeric identifier of the application (the first attribution identifier).
inline constexpr const char* kStoreAppID = "555000111";
// The ad network's app-open conversion endpoint ("f0" below it) is the server root: the
// reference server answers it on loopback.

// Hands the configuration to the parts that use it, with every server address below
// `serverRoot` (an http or https URL; a missing final slash is added). Call once at start, before
// the first cycle. False, with nothing installed, when `serverRoot` is not such a URL.
bool install(std::string serverRoot = kServerRootURL);

}  // namespace Config
