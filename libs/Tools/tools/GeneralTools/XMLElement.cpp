#include "GeneralTools/XMLElement.h"

#include <pugixml.hpp>

#include "GeneralTools/XMLDocument.h"

namespace {

bool isNamed(const pugi::xml_node& node, std::string_view name) {
  return node.type() == pugi::node_element && (name.empty() || name == node.name());
}

// `node` or the first element after it with that name (any name when empty).
pugi::xml_node_struct* elementFrom(pugi::xml_node node, std::string_view name) {
  while (node && !isNamed(node, name)) node = node.next_sibling();
  return node.internal_object();
}

}  // namespace

XMLElement::XMLElement(std::shared_ptr<const XMLDocument> document, pugi::xml_node_struct* node)
    : _document(node ? std::move(document) : nullptr), _node(node) {}

std::string XMLElement::name() const {
  return pugi::xml_node(_node).name();
}

std::string XMLElement::text() const {
  // A character reference may name a code point that is not a character (a surrogate): such a
  // text is refused rather than shown half-decoded.
  std::string text = pugi::xml_node(_node).text().get();
  return XMLDocument::isValidUTF8(text) ? text : std::string();
}

std::optional<std::string> XMLElement::attribute(std::string_view name) const {
  for (pugi::xml_attribute a = pugi::xml_node(_node).first_attribute(); a; a = a.next_attribute())
    if (name == a.name()) return std::string(a.value());
  return std::nullopt;
}

XMLElement XMLElement::firstChild(std::string_view name) const {
  if (!_node) return {};
  return XMLElement(_document, elementFrom(pugi::xml_node(_node).first_child(), name));
}

XMLElement XMLElement::firstChild() const {
  return firstChild(std::string_view());
}

XMLElement XMLElement::nextSibling(std::string_view name) const {
  if (!_node) return {};
  return XMLElement(_document, elementFrom(pugi::xml_node(_node).next_sibling(), name));
}

XMLElement XMLElement::nextSibling() const {
  return nextSibling(std::string_view());
}
