#pragma once

// The program's compiled-in configuration: server addresses and the like. There are no
// configuration files or environment variables; hosts and tools may override single values.
namespace Config {

// The content directory servers, one per screen kind: the reference server's default address,
// so that a fresh checkout syncs against `reference-server` on loopback.
inline constexpr const char* kStandardScreenDirectoryURL = "http://127.0.0.1:8642/standard/";
inline constexpr const char* kTallScreenDirectoryURL = "http://127.0.0.1:8642/tall/";

// The ads server: the feed's "version.php" and "info.php" below it, and its statistics
// endpoint. The reference server serves them beside the content.
inline constexpr const char* kAdsServerURL = "http://127.0.0.1:8642/ads/";
inline constexpr const char* kAdsStatisticsURL = "http://127.0.0.1:8642/ads/stats.php";

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
// The ad network's app-open conversion endpoint: the reference server answers it on loopback.
inline constexpr const char* kAppOpenReportBaseURL = "http://127.0.0.1:8642/";

// Hands the configuration to the parts that use it. Call once at start, before the first cycle.
void install();

}  // namespace Config
