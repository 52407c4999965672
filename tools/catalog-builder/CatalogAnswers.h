#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Catalog.h"
#include "Foundation/Value.h"
#include "ScreenKind.h"

// The protocol's answers computed from a catalogue, shared by the server and the static export.
namespace CatalogAnswers {

// A list of names as the answers and the manifests write it: an array of strings.
platform::Value namesValue(const std::vector<std::string>& names);

// The base URL of a kind's path under a server root such as "http://127.0.0.1:8642" (a
// trailing slash of the root is dropped): "http://127.0.0.1:8642/tall/".
std::string baseURL(std::string_view root, ScreenKind kind);

// "?act=nodes": the base URL of the kind's path under each root.
platform::Value nodes(const std::vector<std::string>& roots, ScreenKind kind);

// "?act=list" with an optional "&dif=": the full list ("ver", "curList") unless `dif` names a
// published version, then "ver" and the "diff" from that version to the current one.
platform::Value list(const Catalog& catalog, ScreenKind kind,
                     const std::optional<std::string>& dif);
platform::Value fullList(const CatalogManifest& manifest, ScreenKind kind);
platform::Value difference(const CatalogManifest& older, const CatalogManifest& current,
                           ScreenKind kind);

// "?act=get": the content hash of what `name` had at version `ver` when that version is
// published and the kind listed the name then, else its current content; nothing when the
// kind's current catalogue does not list it either or the name is not safe.
std::optional<std::string> fileHash(const Catalog& catalog, ScreenKind kind,
                                    const std::optional<std::string>& ver, std::string_view name);

// The MIME type a file is served with, by extension.
std::string_view mimeType(std::string_view fileName);

}  // namespace CatalogAnswers
