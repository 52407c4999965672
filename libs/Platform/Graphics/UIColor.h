#pragma once

#include <optional>
#include <string>

namespace platform {

// A colour as the toolkit passes it around: red, green, blue and alpha from 0 to 1, not
// premultiplied.
struct UIColor {
  double red = 0, green = 0, blue = 0, alpha = 1;

  static UIColor colorWithRed(double r, double g, double b, double a) { return {r, g, b, a}; }
  static UIColor colorWithWhite(double white, double a) { return {white, white, white, a}; }
  static UIColor clearColor() { return {0, 0, 0, 0}; }
  static UIColor blackColor() { return {0, 0, 0, 1}; }
  static UIColor whiteColor() { return {1, 1, 1, 1}; }
  static UIColor darkTextColor() { return {0, 0, 0, 1}; }
  static UIColor grayColor() { return {0.5, 0.5, 0.5, 1}; }
  static UIColor redColor() { return {1, 0, 0, 1}; }
  static UIColor greenColor() { return {0, 1, 0, 1}; }
  static UIColor blueColor() { return {0, 0, 1, 1}; }

  // "#rgb", "#rrggbb", "#rrggbbaa", a name ("clear", "black", "white", "gray", "red", "green",
  // "blue") or four numbers "r g b a" from 0 to 1; nothing for anything else.
  static std::optional<UIColor> fromString(const std::string& text);

  UIColor colorWithAlphaComponent(double a) const { return {red, green, blue, a}; }
  bool operator==(const UIColor&) const = default;
};

}  // namespace platform
