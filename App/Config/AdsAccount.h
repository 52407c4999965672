#pragma once

// The publisher's account at its ads server and the salt that signs statistics reports:
// configuration shared by the application and the reference server, which checks the
// signatures. Header only, so that the server needs nothing else of the application.
namespace AdsAccount {

// 32 hexadecimal digits.
inline constexpr const char* kUser = "6f1c2a9e4b7d40c8a3e5f0b19d2c7e84";
// 12 letters and digits, appended to the values before they are digested.
inline constexpr const char* kSalt = "Qm7rT2xK9vLp";

}  // namespace AdsAccount
