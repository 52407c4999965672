#include "UI/InterfaceContext.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "Graphics/ImageNamed.h"

namespace platform {
namespace {

std::optional<std::vector<double>> numbers(const std::string& text, size_t count) {
  std::vector<double> values;
  const char* p = text.data();
  const char* end = p + text.size();
  while (p < end) {
    while (p < end && (*p == ' ' || *p == ',' || *p == '\t')) ++p;
    if (p == end) break;
    double v;
    auto [next, ec] = std::from_chars(p, end, v);
    if (ec != std::errc() || !std::isfinite(v)) return std::nullopt;
    values.push_back(v);
    p = next;
  }
  if (values.size() != count) return std::nullopt;
  return values;
}

}  // namespace

std::optional<Rect> InterfaceContext::parseRect(const std::string& text, std::string& error) const {
  auto v = numbers(text, 4);
  if (!v || (*v)[2] < 0 || (*v)[3] < 0) {
    error = "malformed rectangle \"" + text + "\" (expected \"x y width height\")";
    return std::nullopt;
  }
  return Rect((*v)[0], (*v)[1], (*v)[2], (*v)[3]);
}

std::optional<EdgeInsets> InterfaceContext::parseInsets(const std::string& text,
                                                        std::string& error) const {
  auto v = numbers(text, 4);
  if (!v) {
    error = "malformed insets \"" + text + "\" (expected \"top left bottom right\")";
    return std::nullopt;
  }
  return EdgeInsets{(*v)[0], (*v)[1], (*v)[2], (*v)[3]};
}

std::optional<double> InterfaceContext::parseNumber(const std::string& text,
                                                    std::string& error) const {
  auto v = numbers(text, 1);
  if (!v) {
    error = "malformed number \"" + text + "\"";
    return std::nullopt;
  }
  return (*v)[0];
}

std::optional<int> InterfaceContext::parseInteger(const std::string& text,
                                                  std::string& error) const {
  int value;
  auto [next, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || next != text.data() + text.size()) {
    error = "malformed integer \"" + text + "\"";
    return std::nullopt;
  }
  return value;
}

std::optional<bool> InterfaceContext::parseBool(const std::string& text, std::string& error) const {
  if (text == "YES" || text == "true" || text == "1") return true;
  if (text == "NO" || text == "false" || text == "0") return false;
  error = "malformed boolean \"" + text + "\" (expected YES or NO)";
  return std::nullopt;
}

std::optional<UIColor> InterfaceContext::parseColor(const std::string& text,
                                                    std::string& error) const {
  auto color = UIColor::fromString(text);
  if (!color) error = "malformed colour \"" + text + "\"";
  return color;
}

std::optional<std::shared_ptr<Image>> InterfaceContext::image(const std::string& name,
                                                              std::string& error) const {
  if (name.empty()) return std::shared_ptr<Image>();
  auto picture = imageNamed(name, _bundle.get());
  if (!picture) {
    error = "no picture named \"" + name + "\"";
    return std::nullopt;
  }
  return picture;
}

}  // namespace platform
