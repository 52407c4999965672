#include "SvgValues.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "NamedColors.h"
#include "PathDataParser.h"

namespace svgconvert::SvgValues {

namespace {

constexpr double kPi = 3.14159265358979323846;

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// A number at the start of `text`, with what follows it.
std::optional<double> leadingNumber(std::string_view text, std::string_view& rest) {
  std::string token(text);
  const char* begin = token.c_str();
  char* end = nullptr;
  double value = std::strtod(begin, &end);
  if (end == begin || !std::isfinite(value)) return std::nullopt;
  // strtod reads hexadecimal and infinity words, which SVG does not have.
  std::string_view read(begin, static_cast<size_t>(end - begin));
  if (read.find_first_of("xXnN") != std::string_view::npos) return std::nullopt;
  rest = text.substr(read.size());
  return value;
}

int channel(double value) {
  return static_cast<int>(std::lround(std::clamp(value, 0.0, 255.0)));
}

std::optional<Color> functionalColor(std::string_view name, std::string_view arguments) {
  std::string normalized(arguments);
  std::replace(normalized.begin(), normalized.end(), '/', ',');
  // Both the comma and the blank-separated forms are read.
  bool commas = normalized.find(',') != std::string::npos;
  std::vector<std::string> tokens;
  std::string current;
  for (char c : normalized) {
    if (c == ',' || (!commas && std::isspace(static_cast<unsigned char>(c)))) {
      tokens.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  tokens.push_back(current);
  tokens.erase(std::remove_if(tokens.begin(), tokens.end(),
                              [](const std::string& t) { return trim(t).empty(); }),
               tokens.end());
  if (tokens.size() != 3 && tokens.size() != 4) return std::nullopt;
  double values[4] = {0, 0, 0, 1};
  bool percents[4] = {};
  for (size_t i = 0; i < tokens.size(); ++i) {
    std::string_view token = trim(tokens[i]), rest;
    auto value = leadingNumber(token, rest);
    if (!value) return std::nullopt;
    rest = trim(rest);
    if (rest == "%") {
      percents[i] = true;
    } else if (!rest.empty() && !(i == 0 && equalsIgnoringCase(rest, "deg"))) {
      return std::nullopt;
    }
    values[i] = *value;
  }
  double alpha = percents[3] ? values[3] / 100 : values[3];
  alpha = std::clamp(alpha, 0.0, 1.0);
  if (equalsIgnoringCase(name, "rgb") || equalsIgnoringCase(name, "rgba")) {
    Color color;
    int* out[3] = {&color.red, &color.green, &color.blue};
    for (int i = 0; i < 3; ++i) *out[i] = channel(percents[i] ? values[i] * 255 / 100 : values[i]);
    color.alpha = alpha;
    return color;
  }
  if (equalsIgnoringCase(name, "hsl") || equalsIgnoringCase(name, "hsla")) {
    double h = std::fmod(values[0], 360) / 360;
    if (h < 0) h += 1;
    double s = std::clamp(values[1] / 100, 0.0, 1.0), l = std::clamp(values[2] / 100, 0.0, 1.0);
    double q = l < 0.5 ? l * (1 + s) : l + s - l * s, p = 2 * l - q;
    auto hue = [&](double t) {
      if (t < 0) t += 1;
      if (t > 1) t -= 1;
      if (t < 1.0 / 6) return p + (q - p) * 6 * t;
      if (t < 0.5) return q;
      if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
      return p;
    };
    return Color{channel(hue(h + 1.0 / 3) * 255), channel(hue(h) * 255),
                 channel(hue(h - 1.0 / 3) * 255), alpha};
  }
  return std::nullopt;
}

}  // namespace

std::string_view trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

std::optional<double> parseNumber(std::string_view text) {
  std::string_view rest;
  auto value = leadingNumber(trim(text), rest);
  if (!value || !rest.empty()) return std::nullopt;
  return value;
}

std::optional<Length> parseLength(std::string_view text) {
  std::string_view rest;
  auto value = leadingNumber(trim(text), rest);
  if (!value) return std::nullopt;
  rest = trim(rest);
  struct Unit {
    const char* name;
    double factor;
  };
  static const Unit kUnits[] = {{"", 1},    {"px", 1},         {"pt", 96.0 / 72},
                                {"pc", 16}, {"mm", 96 / 25.4}, {"cm", 96 / 2.54},
                                {"in", 96}, {"em", 16},        {"ex", 8}};
  if (rest == "%") return Length{*value, true};
  for (const Unit& unit : kUnits)
    if (equalsIgnoringCase(rest, unit.name)) return Length{*value * unit.factor, false};
  return std::nullopt;
}

std::optional<platform::AffineTransform> parseTransform(std::string_view text) {
  using platform::AffineTransform;
  AffineTransform result;
  size_t position = 0;
  while (true) {
    while (position < text.size() &&
           (std::isspace(static_cast<unsigned char>(text[position])) || text[position] == ','))
      ++position;
    if (position >= text.size()) break;
    size_t open = text.find('(', position);
    if (open == std::string_view::npos) return std::nullopt;
    size_t close = text.find(')', open);
    if (close == std::string_view::npos) return std::nullopt;
    std::string_view name = trim(text.substr(position, open - position));
    std::vector<double> args;
    if (!PathDataParser::parseNumbers(text.substr(open + 1, close - open - 1), args))
      return std::nullopt;
    AffineTransform step;
    size_t n = args.size();
    if (name == "matrix" && n == 6) {
      step = {args[0], args[1], args[2], args[3], args[4], args[5]};
    } else if (name == "translate" && (n == 1 || n == 2)) {
      step = AffineTransform::makeTranslation(args[0], n == 2 ? args[1] : 0);
    } else if (name == "scale" && (n == 1 || n == 2)) {
      step = AffineTransform::makeScale(args[0], n == 2 ? args[1] : args[0]);
    } else if (name == "rotate" && (n == 1 || n == 3)) {
      double radians = args[0] * kPi / 180;
      double cx = n == 3 ? args[1] : 0, cy = n == 3 ? args[2] : 0;
      step = AffineTransform::concat(
          AffineTransform::concat(AffineTransform::makeTranslation(-cx, -cy),
                                  AffineTransform::makeRotation(radians)),
          AffineTransform::makeTranslation(cx, cy));
    } else if (name == "skewX" && n == 1) {
      step = {1, 0, std::tan(args[0] * kPi / 180), 1, 0, 0};
    } else if (name == "skewY" && n == 1) {
      step = {1, std::tan(args[0] * kPi / 180), 0, 1, 0, 0};
    } else {
      return std::nullopt;
    }
    // In "A B" the point goes through B first, then A.
    result = AffineTransform::concat(step, result);
    position = close + 1;
  }
  return result;
}

std::optional<Color> parseColor(std::string_view text) {
  text = trim(text);
  if (text.empty()) return std::nullopt;
  if (text[0] == '#') {
    std::string_view hex = text.substr(1);
    if (!std::all_of(hex.begin(), hex.end(),
                     [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
      return std::nullopt;
    auto digit = [&](size_t i) {
      return static_cast<int>(std::strtol(std::string(1, hex[i]).c_str(), nullptr, 16));
    };
    if (hex.size() == 3 || hex.size() == 4) {
      Color color{digit(0) * 17, digit(1) * 17, digit(2) * 17, 1};
      if (hex.size() == 4) color.alpha = digit(3) * 17 / 255.0;
      return color;
    }
    if (hex.size() == 6 || hex.size() == 8) {
      Color color{digit(0) * 16 + digit(1), digit(2) * 16 + digit(3), digit(4) * 16 + digit(5), 1};
      if (hex.size() == 8) color.alpha = (digit(6) * 16 + digit(7)) / 255.0;
      return color;
    }
    return std::nullopt;
  }
  size_t open = text.find('(');
  if (open != std::string_view::npos) {
    if (text.back() != ')') return std::nullopt;
    return functionalColor(trim(text.substr(0, open)),
                           text.substr(open + 1, text.size() - open - 2));
  }
  if (equalsIgnoringCase(text, "transparent")) return Color{0, 0, 0, 0};
  return namedColor(text);
}

std::string referenceIdentifier(std::string_view text) {
  text = trim(text);
  if (text.size() > 4 && text.substr(0, 4) == "url(") {
    size_t close = text.find(')');
    if (close == std::string_view::npos) return "";
    text = trim(text.substr(4, close - 4));
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\''))
      text = text.substr(1, text.size() - 2);
  }
  if (text.size() < 2 || text[0] != '#') return "";
  return std::string(text.substr(1));
}

std::optional<Paint> parsePaint(std::string_view text) {
  text = trim(text);
  Paint paint;
  if (text == "none") return paint;
  if (equalsIgnoringCase(text, "currentColor")) {
    paint.kind = Paint::Kind::CurrentColor;
    return paint;
  }
  if (text.substr(0, 4) == "url(") {
    size_t close = text.find(')');
    if (close == std::string_view::npos) return std::nullopt;
    paint.kind = Paint::Kind::Reference;
    paint.reference = referenceIdentifier(text.substr(0, close + 1));
    std::string_view fallback = trim(text.substr(close + 1));
    if (fallback == "none") {
      paint.fallbackNone = true;
    } else if (!fallback.empty()) {
      paint.fallbackColor = parseColor(fallback);
    }
    return paint;
  }
  auto color = parseColor(text);
  if (!color) return std::nullopt;
  paint.kind = Paint::Kind::Color;
  paint.color = *color;
  return paint;
}

}  // namespace svgconvert::SvgValues

namespace svgconvert {

double Viewport::resolve(const Length& length, Axis axis) const {
  if (!length.percent) return length.value;
  double base = axis == Axis::X   ? width
                : axis == Axis::Y ? height
                                  : std::sqrt((width * width + height * height) / 2);
  return length.value / 100 * base;
}

}  // namespace svgconvert
