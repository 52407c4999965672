#include "GradientResolver.h"

#include <algorithm>
#include <set>

#include "ComputedStyle.h"

namespace svgconvert {

namespace {

const char* hrefOf(const pugi::xml_node& element) {
  pugi::xml_attribute href = element.attribute("href");
  if (!href) href = element.attribute("xlink:href");
  return href.as_string();
}

// A stop offset: a number or a percentage, clamped to 0 .. 1.
double offsetValue(std::string_view text) {
  text = SvgValues::trim(text);
  bool percent = !text.empty() && text.back() == '%';
  auto value = SvgValues::parseNumber(percent ? text.substr(0, text.size() - 1) : text);
  if (!value) return 0;
  return std::clamp(percent ? *value / 100 : *value, 0.0, 1.0);
}

}  // namespace

bool GradientResolver::names(const std::string& identifier, std::string_view localName) const {
  auto found = _elements.find(identifier);
  return found != _elements.end() && StyleSheet::localName(found->second) == localName;
}

std::optional<GradientDefinition> GradientResolver::resolve(const std::string& identifier) const {
  std::vector<pugi::xml_node> chain;
  std::set<std::string> seen;
  std::string next = identifier;
  while (!next.empty() && seen.insert(next).second) {
    auto found = _elements.find(next);
    if (found == _elements.end()) break;
    std::string_view name = StyleSheet::localName(found->second);
    if (name != "linearGradient" && name != "radialGradient") break;
    chain.push_back(found->second);
    next = SvgValues::referenceIdentifier(hrefOf(found->second));
  }
  if (chain.empty()) return std::nullopt;

  GradientDefinition definition;
  definition.radial = StyleSheet::localName(chain.front()) == "radialGradient";
  auto attribute = [&](const char* name, bool sameKindOnly) -> pugi::xml_attribute {
    for (const pugi::xml_node& element : chain) {
      if (sameKindOnly && StyleSheet::localName(element) != StyleSheet::localName(chain.front()))
        continue;
      if (pugi::xml_attribute a = element.attribute(name)) return a;
    }
    return {};
  };
  if (auto units = attribute("gradientUnits", false))
    definition.userSpace = std::string_view(units.value()) == "userSpaceOnUse";
  if (auto transform = attribute("gradientTransform", false))
    definition.transform =
        SvgValues::parseTransform(transform.value()).value_or(definition.transform);
  if (auto spread = attribute("spreadMethod", false)) definition.spread = spread.value();
  auto length = [&](const char* name, Length& out) {
    if (auto a = attribute(name, true))
      if (auto parsed = SvgValues::parseLength(a.value())) out = *parsed;
  };
  if (definition.radial) {
    length("cx", definition.cx);
    length("cy", definition.cy);
    length("r", definition.r);
    if (auto a = attribute("fx", true); a && SvgValues::parseLength(a.value()))
      definition.fx = SvgValues::parseLength(a.value());
    if (auto a = attribute("fy", true); a && SvgValues::parseLength(a.value()))
      definition.fy = SvgValues::parseLength(a.value());
  } else {
    length("x1", definition.x1);
    length("y1", definition.y1);
    length("x2", definition.x2);
    length("y2", definition.y2);
  }
  for (const pugi::xml_node& element : chain) {
    bool any = false;
    double previous = 0;
    for (const pugi::xml_node& stop : element.children()) {
      if (stop.type() != pugi::node_element || StyleSheet::localName(stop) != "stop") continue;
      any = true;
      ComputedStyle style =
          ComputedStyle::derive(ComputedStyle(), _styleSheet.declarationsFor(stop));
      GradientDefinition::Stop out;
      // Offsets never go back: a smaller one is taken as the largest so far.
      out.offset = std::max(previous, offsetValue(stop.attribute("offset").as_string()));
      previous = out.offset;
      out.color = style.stopColor;
      out.color.alpha = style.stopColor.alpha * style.stopOpacity;
      definition.stops.push_back(out);
    }
    if (any) break;
  }
  return definition;
}

}  // namespace svgconvert
