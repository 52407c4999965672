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

// Hands the configuration to the parts that use it. Call once at start, before the first cycle.
void install();

}  // namespace Config
