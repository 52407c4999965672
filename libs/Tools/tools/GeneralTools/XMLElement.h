#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pugi {
struct xml_node_struct;
}

class XMLDocument;

// One element of a parsed XMLDocument, or none (false in a test). It keeps its document alive.
// Only elements are seen: text, comments and the like between them are skipped.
class XMLElement {
 public:
  XMLElement() = default;
  XMLElement(std::shared_ptr<const XMLDocument> document, pugi::xml_node_struct* node);

  explicit operator bool() const { return _node != nullptr; }

  std::string name() const;
  // The element's own text (its first text or CDATA part); empty when it has none or when a
  // character reference in it names no character.
  std::string text() const;
  std::optional<std::string> attribute(std::string_view name) const;
  bool hasChildElements() const { return static_cast<bool>(firstChild()); }

  // The first child element, with that name or any.
  XMLElement firstChild(std::string_view name) const;
  XMLElement firstChild() const;
  // The next element after this one under the same parent, with that name or any.
  XMLElement nextSibling(std::string_view name) const;
  XMLElement nextSibling() const;

 private:
  std::shared_ptr<const XMLDocument> _document;
  pugi::xml_node_struct* _node = nullptr;
};
