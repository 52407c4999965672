#include "Graphics/UIColor.h"

#include <cmath>
#include <sstream>

namespace platform {
namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<UIColor> UIColor::fromString(const std::string& text) {
  if (text == "clear") return clearColor();
  if (text == "black") return blackColor();
  if (text == "white") return whiteColor();
  if (text == "gray") return grayColor();
  if (text == "red") return redColor();
  if (text == "green") return greenColor();
  if (text == "blue") return blueColor();
  if (!text.empty() && text[0] == '#') {
    std::string hex = text.substr(1);
    if (hex.size() == 3) hex = {hex[0], hex[0], hex[1], hex[1], hex[2], hex[2]};
    if (hex.size() != 6 && hex.size() != 8) return std::nullopt;
    double channels[4] = {0, 0, 0, 1};
    for (size_t i = 0; i < hex.size(); i += 2) {
      int hi = hexDigit(hex[i]), lo = hexDigit(hex[i + 1]);
      if (hi < 0 || lo < 0) return std::nullopt;
      channels[i / 2] = (hi * 16 + lo) / 255.0;
    }
    return UIColor{channels[0], channels[1], channels[2], channels[3]};
  }
  std::istringstream in(text);
  double c[4];
  for (double& v : c)
    if (!(in >> v) || !std::isfinite(v) || v < 0 || v > 1) return std::nullopt;
  std::string rest;
  if (in >> rest) return std::nullopt;
  return UIColor{c[0], c[1], c[2], c[3]};
}

}  // namespace platform
