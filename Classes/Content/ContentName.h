#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Content/ContentType.h"

// The file-name grammar of content: a base name with a type prefix, optional variant markers
// and an extension, as in "frame12_iph5_mask.jpg". Every function here is a pure function of
// its arguments, except the acceptance overload that asks the device for its screen.
namespace ContentName {

inline constexpr std::string_view kTallScreenMarker = "_iph5";
inline constexpr std::string_view kSmallMarker = "_small";
inline constexpr std::string_view kMaskMarker = "_mask";
inline constexpr std::string_view kDoubleResolutionSuffix = "@2x";

// The base name that stands for "no decoration", and its two files (application resources).
inline constexpr std::string_view kEmptyBaseName = "empty";
inline constexpr std::string_view kEmptyFileName = "empty.png";
inline constexpr std::string_view kEmptySmallFileName = "empty_small.png";

// File name → version string, as the catalog keeps for listed and for downloaded files. A hash
// map: catalogues of tens of thousands of names are applied and looked up in constant time per
// name; functions that list its names give them in name order.
using VersionMap = std::unordered_map<std::string, std::string>;

// Whether `text` occurs anywhere in `name` (case-sensitive, literal).
bool containsString(std::string_view name, std::string_view text);

// The text after the last dot; empty when there is none or the only dot starts the name.
std::string_view pathExtension(std::string_view name);
// The name less its last extension (see `pathExtension`).
std::string_view deletingPathExtension(std::string_view name);

// The name less its last extension, then with every "_iph5", every "_small" and every "_mask"
// removed, in that order.
std::string baseName(std::string_view name);
bool hasBaseName(std::string_view name, std::string_view base);

// The content type by prefix, tested in the order "fon", "tbframe", "clipart", "frame", "face"
// (case-sensitive); ContentTypeNone when none matches.
ContentType type(std::string_view name);

// Whether the name can be used as a file name inside the content directory without leaving it
// or hiding the file: not empty, no "/" or "\", not starting with "." (which also rules out
// "." and ".."), and no control characters (bytes below 0x20 and 0x7F).
bool isSafeFileName(std::string_view name);

// Whether a file may enter the local list of its type (`localListOfType`, the list it would
// join). The first failing test rejects: a safe file name; on a tall screen the name contains
// "_iph5" or "_small", on any other it does not contain "_iph5"; the whole name does not end
// in "@2x"; the extension is exactly "svgpb", "png", "jpg" or "jpeg"; the type is not
// ContentTypeNone; the name is not already in the list.
bool isAcceptedLocalFile(std::string_view name, bool tallScreen,
                         const std::vector<std::string>& localListOfType);
// (The form that asks the current device is in "Content/ContentName+Device.h".)

// The files that make up the item `base`: for a base without a type, the placeholder files of
// "empty" or nothing; otherwise the names of the local list, then those of the server catalog,
// that have the base name, each once, unsafe names left out. Nothing when none was found.
std::optional<std::vector<std::string>> fileNamesForBaseName(
    std::string_view base, const std::vector<std::string>& localListOfType,
    const std::vector<std::string>& serverFileNames);
// Overload taking the catalog map itself; its matching names come in name order.
std::optional<std::vector<std::string>> fileNamesForBaseName(
    std::string_view base, const std::vector<std::string>& localListOfType,
    const VersionMap& serverContent);

// The names of the server catalog to download for `base`: those with that base name, in the
// list's order (name order for the map), unsafe names left out. Nothing when none was found.
std::optional<std::vector<std::string>> namesForBaseName(
    std::string_view base, const std::vector<std::string>& serverFileNames);
std::optional<std::vector<std::string>> namesForBaseName(std::string_view base,
                                                         const VersionMap& serverContent);

// The largest downloaded version among `fileNames`, in decimal; "0" when none has an entry.
std::string versionWithFileNames(const std::vector<std::string>& fileNames,
                                 const VersionMap& downloadedVersions);

// A decimal integer read from the start of `text`: an optional sign, then digits, stopping at
// the first other character; 0 without digits; saturating at the 32-bit limits.
int intValue(std::string_view text);

// The integer a name carries: its characters from '0' to ';' (digits, ':' and ';') joined and
// read with `intValue`; 0 when there are none. "frame12" gives 12, "face1:5" gives 1.
int numberFromStringOrZero(std::string_view text);

// The download order of base names: shorter first (characters counted without any extension),
// equal lengths by ordinal comparison. "frame2" precedes "frame10", "clipart9" precedes
// "frame10".
bool precedesInDownloadOrder(std::string_view left, std::string_view right);
void sortInDownloadOrder(std::vector<std::string>& baseNames);

}  // namespace ContentName
