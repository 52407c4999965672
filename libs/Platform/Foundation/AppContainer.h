#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

// The application's own directories, laid out like the phone's sandbox:
//   <root>/Documents, <root>/Library/Caches, <root>/Library/Application Support
// with <root> = $XDG_DATA_HOME/pictavia (default ~/.local/share/pictavia), or the folder a host
// option or a test sets.
class AppContainer {
 public:
  enum class Directory { Documents, Caches, ApplicationSupport };

  // The container's root, or nothing when neither an override nor a home directory is known.
  static std::optional<std::string> rootPath();
  // Points the container at `root` (nothing: back to the default). For hosts and tests.
  static void setRootOverride(std::optional<std::string> root);

  // Like the platform's directory search: the matching directories (created when missing), or an
  // empty list when there is no container.
  static std::vector<std::string> searchPathForDirectory(Directory directory);
};

}  // namespace platform
