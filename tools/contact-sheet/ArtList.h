#pragma once

#include <optional>
#include <string>
#include <vector>

// The list of the application's drawn pictures (Resources/Sources/art.list): one line per
// picture, "NAME WIDTH HEIGHT SOURCE STATE [SCALES]", '#' comments, and blank lines that start
// a new group on the review sheet. The build draws from the same file.
class ArtList {
 public:
  struct Picture {
    std::string name;  // without ".png"
    int width = 0;     // points
    int height = 0;
    std::string source;
    std::optional<int> state;
    std::vector<int> scales;  // 1, 2 or both
    int group = 0;

    // "NAME.png" for scale 1, "NAME@2x.png" for scale 2.
    std::string fileName(int scale) const;
  };

  // None, with `error` naming the line, when the file cannot be read or a line is malformed.
  static std::optional<ArtList> read(const std::string& path, std::string& error);

  const std::vector<Picture>& pictures() const { return _pictures; }

 private:
  std::vector<Picture> _pictures;
};
