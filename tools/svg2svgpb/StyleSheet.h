#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace svgconvert {

// One property setting, from an attribute, a style attribute or a style sheet rule.
struct Declaration {
  std::string name;
  std::string value;
  bool important = false;
};

// The rules of the document's <style> elements. Selectors made of an element name, classes and
// an identifier ("rect", ".a", "#b", "path.a.b", "*", lists of these) are used; rules with other
// selectors (combinators, pseudo-classes, attributes) and at-rules are counted as not used.
class StyleSheet {
 public:
  // Adds the rules of one style sheet's text; answers how many rules could not be used.
  int addRules(std::string_view css);
  // The declarations of `element`: presentation attributes, then matching rules by
  // specificity and order, then its style attribute, with !important declarations last.
  std::vector<Declaration> declarationsFor(const pugi::xml_node& element) const;
  bool isEmpty() const { return _rules.empty(); }

  static std::vector<Declaration> parseDeclarations(std::string_view text);
  // Whether an attribute of this name is a presentation attribute (a styling property).
  static bool isProperty(std::string_view name);
  // The element name without a namespace prefix.
  static std::string_view localName(const pugi::xml_node& element);

 private:
  struct Selector {
    std::string type;  // empty for any element
    std::string id;
    std::vector<std::string> classes;
    int specificity = 0;
  };
  struct Rule {
    Selector selector;
    std::vector<Declaration> declarations;
    size_t order = 0;
  };

  static bool parseSelector(std::string_view text, Selector& selector);
  static bool matches(const Selector& selector, const pugi::xml_node& element);

  std::vector<Rule> _rules;
};

}  // namespace svgconvert
