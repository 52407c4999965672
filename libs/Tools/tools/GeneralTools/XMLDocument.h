#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "Foundation/Value.h"
#include "GeneralTools/XMLElement.h"

namespace pugi {
class xml_document;
}

// A whole XML document parsed into a tree of named elements with text and attributes. Only
// well-formed UTF-8 is accepted: a document that is not is refused as a whole, so that no text
// from it reaches the screen half-decoded. The parser keeps no recursion of its own, so nesting
// depth cannot exhaust the stack; entities are the five predefined ones only.
class XMLDocument : public std::enable_shared_from_this<XMLDocument> {
 public:
  // The parsed document, or none when the bytes are not well-formed UTF-8 XML with a root
  // element.
  static std::shared_ptr<XMLDocument> documentWithData(const platform::Bytes& data);
  // The file parsed whole; none when it cannot be read, is larger than `maxSize` or does not
  // parse.
  static std::shared_ptr<XMLDocument> documentWithContentsOfFile(const std::string& path,
                                                                 std::size_t maxSize);

  ~XMLDocument();
  XMLDocument(const XMLDocument&) = delete;
  XMLDocument& operator=(const XMLDocument&) = delete;

  XMLElement rootXMLElement() const;

  // Whether the bytes are UTF-8 as the standard defines it: no overlong forms, no surrogates,
  // nothing above U+10FFFF, and no NUL (which would end a text early).
  static bool isValidUTF8(std::string_view data);

 private:
  XMLDocument();

  std::unique_ptr<pugi::xml_document> _document;
};
