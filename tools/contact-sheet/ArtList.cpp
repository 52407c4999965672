#include "ArtList.h"

#include <fstream>
#include <sstream>

namespace {

bool parseSize(const std::string& text, int& value) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  value = std::stoi(text);
  return value > 0;
}

bool parseScales(const std::string& text, std::vector<int>& scales) {
  if (text == "1,2") {
    scales = {1, 2};
  } else if (text == "1" || text == "2") {
    scales = {text[0] - '0'};
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::string ArtList::Picture::fileName(int scale) const {
  return scale == 1 ? name + ".png" : name + "@" + std::to_string(scale) + "x.png";
}

std::optional<ArtList> ArtList::read(const std::string& path, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read " + path;
    return std::nullopt;
  }
  ArtList list;
  int group = 0, number = 0;
  bool groupHasPictures = false;
  std::string line;
  while (std::getline(in, line)) {
    ++number;
    std::istringstream words(line);
    std::vector<std::string> fields;
    for (std::string word; words >> word;) fields.push_back(word);
    if (fields.empty()) {
      if (groupHasPictures) ++group;
      groupHasPictures = false;
      continue;
    }
    if (fields[0][0] == '#') continue;
    Picture picture;
    picture.name = fields[0];
    picture.group = group;
    picture.source = fields.size() > 3 ? fields[3] : "";
    bool valid = (fields.size() == 5 || fields.size() == 6) &&
                 parseSize(fields[1], picture.width) && parseSize(fields[2], picture.height) &&
                 parseScales(fields.size() == 6 ? fields[5] : "1,2", picture.scales);
    if (valid && fields[4] != "-") {
      if (fields[4].find_first_not_of("0123456789") != std::string::npos || fields[4].size() > 4)
        valid = false;
      else
        picture.state = std::stoi(fields[4]);
    }
    if (!valid) {
      error = path + ":" + std::to_string(number) + ": not NAME WIDTH HEIGHT SOURCE STATE [SCALES]";
      return std::nullopt;
    }
    list._pictures.push_back(std::move(picture));
    groupHasPictures = true;
  }
  return list;
}
