#include "StyleSheet.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "SvgValues.h"

namespace svgconvert {

namespace {

bool isNameCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

std::string withoutComments(std::string_view css) {
  std::string result;
  size_t position = 0;
  while (position < css.size()) {
    size_t open = css.find("/*", position);
    if (open == std::string_view::npos) {
      result.append(css.substr(position));
      break;
    }
    result.append(css.substr(position, open - position));
    size_t close = css.find("*/", open + 2);
    if (close == std::string_view::npos) break;
    position = close + 2;
  }
  return result;
}

}  // namespace

bool StyleSheet::isProperty(std::string_view name) {
  static const char* const kProperties[] = {"fill",
                                            "fill-opacity",
                                            "fill-rule",
                                            "stroke",
                                            "stroke-width",
                                            "stroke-opacity",
                                            "stroke-linecap",
                                            "stroke-linejoin",
                                            "stroke-miterlimit",
                                            "stroke-dasharray",
                                            "stroke-dashoffset",
                                            "color",
                                            "visibility",
                                            "display",
                                            "opacity",
                                            "filter",
                                            "mask",
                                            "clip-path",
                                            "marker",
                                            "marker-start",
                                            "marker-mid",
                                            "marker-end",
                                            "stop-color",
                                            "stop-opacity",
                                            "mix-blend-mode",
                                            "font-family",
                                            "font-size",
                                            "font-weight",
                                            "font-stretch",
                                            "font-style",
                                            "text-anchor"};
  return std::any_of(std::begin(kProperties), std::end(kProperties),
                     [&](const char* p) { return name == p; });
}

std::string_view StyleSheet::localName(const pugi::xml_node& element) {
  std::string_view name = element.name();
  size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::vector<Declaration> StyleSheet::parseDeclarations(std::string_view text) {
  std::vector<Declaration> result;
  std::string clean = withoutComments(text);
  std::stringstream stream(clean);
  std::string item;
  while (std::getline(stream, item, ';')) {
    size_t colon = item.find(':');
    if (colon == std::string::npos) continue;
    Declaration declaration;
    declaration.name = std::string(SvgValues::trim(std::string_view(item).substr(0, colon)));
    std::string_view value = SvgValues::trim(std::string_view(item).substr(colon + 1));
    size_t bang = value.rfind('!');
    if (bang != std::string_view::npos && SvgValues::trim(value.substr(bang + 1)) == "important") {
      declaration.important = true;
      value = SvgValues::trim(value.substr(0, bang));
    }
    declaration.value = std::string(value);
    std::transform(declaration.name.begin(), declaration.name.end(), declaration.name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (!declaration.name.empty()) result.push_back(std::move(declaration));
  }
  return result;
}

bool StyleSheet::parseSelector(std::string_view text, Selector& selector) {
  text = SvgValues::trim(text);
  if (text.empty()) return false;
  size_t position = 0;
  auto readName = [&]() {
    size_t start = position;
    while (position < text.size() && isNameCharacter(text[position])) ++position;
    return std::string(text.substr(start, position - start));
  };
  int ids = 0, classes = 0, types = 0;
  if (text[0] == '*') {
    ++position;
  } else if (isNameCharacter(text[0])) {
    selector.type = readName();
    ++types;
  }
  while (position < text.size()) {
    char c = text[position++];
    std::string name = readName();
    if (name.empty()) return false;
    if (c == '.') {
      selector.classes.push_back(name);
      ++classes;
    } else if (c == '#' && selector.id.empty()) {
      selector.id = name;
      ++ids;
    } else {
      return false;
    }
  }
  selector.specificity = ids * 10000 + classes * 100 + types;
  return true;
}

int StyleSheet::addRules(std::string_view css) {
  std::string clean = withoutComments(css);
  int unused = 0;
  size_t position = 0;
  while (position < clean.size()) {
    size_t open = clean.find('{', position);
    if (open == std::string::npos) break;
    std::string_view prelude =
        SvgValues::trim(std::string_view(clean).substr(position, open - position));
    // Blocks nest only inside at-rules; find the matching close.
    int depth = 0;
    size_t close = open;
    for (; close < clean.size(); ++close) {
      if (clean[close] == '{') ++depth;
      if (clean[close] == '}' && --depth == 0) break;
    }
    std::string_view body = std::string_view(clean).substr(open + 1, close - open - 1);
    position = close == clean.size() ? close : close + 1;
    if (!prelude.empty() && prelude[0] == '@') {
      ++unused;
      continue;
    }
    auto declarations = parseDeclarations(body);
    std::stringstream selectors{std::string(prelude)};
    std::string one;
    bool allUsed = true;
    while (std::getline(selectors, one, ',')) {
      Selector selector;
      if (!parseSelector(one, selector)) {
        allUsed = false;
        continue;
      }
      _rules.push_back({selector, declarations, _rules.size()});
    }
    if (!allUsed) ++unused;
  }
  return unused;
}

bool StyleSheet::matches(const Selector& selector, const pugi::xml_node& element) {
  if (!selector.type.empty() && selector.type != localName(element)) return false;
  if (!selector.id.empty() && selector.id != element.attribute("id").as_string()) return false;
  if (selector.classes.empty()) return true;
  std::stringstream stream{std::string(element.attribute("class").as_string())};
  std::vector<std::string> own;
  std::string name;
  while (stream >> name) own.push_back(name);
  return std::all_of(selector.classes.begin(), selector.classes.end(), [&](const std::string& c) {
    return std::find(own.begin(), own.end(), c) != own.end();
  });
}

std::vector<Declaration> StyleSheet::declarationsFor(const pugi::xml_node& element) const {
  std::vector<Declaration> normal, important;
  for (const pugi::xml_attribute& attribute : element.attributes())
    if (isProperty(attribute.name())) normal.push_back({attribute.name(), attribute.value()});
  std::vector<const Rule*> matched;
  for (const Rule& rule : _rules)
    if (matches(rule.selector, element)) matched.push_back(&rule);
  std::stable_sort(matched.begin(), matched.end(), [](const Rule* a, const Rule* b) {
    return a->selector.specificity < b->selector.specificity;
  });
  std::vector<Declaration> importantRules;
  for (const Rule* rule : matched)
    for (const Declaration& d : rule->declarations)
      (d.important ? importantRules : normal).push_back(d);
  for (const Declaration& d : parseDeclarations(element.attribute("style").as_string()))
    (d.important ? important : normal).push_back(d);
  normal.insert(normal.end(), importantRules.begin(), importantRules.end());
  normal.insert(normal.end(), important.begin(), important.end());
  return normal;
}

}  // namespace svgconvert
