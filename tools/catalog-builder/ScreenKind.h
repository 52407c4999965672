#pragma once

#include <array>
#include <optional>
#include <string_view>

// The two kinds of device a catalogue is served to. Each has its own catalogue: the names that
// the device's local lists admit.
enum class ScreenKind { Standard, Tall };

namespace ScreenKinds {

inline constexpr std::array<ScreenKind, 2> kAll = {ScreenKind::Standard, ScreenKind::Tall};

// "standard" or "tall": the path segment of the kind's base URL and its key in manifests.
std::string_view pathName(ScreenKind kind);
std::optional<ScreenKind> fromPathName(std::string_view name);

// Whether a device of this kind lists the file (the device's own acceptance rule).
bool admits(ScreenKind kind, std::string_view fileName);

}  // namespace ScreenKinds
