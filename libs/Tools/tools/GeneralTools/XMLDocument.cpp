#include "GeneralTools/XMLDocument.h"

#include <pugixml.hpp>

#include "Foundation/FileManager.h"

bool XMLDocument::isValidUTF8(std::string_view data) {
  size_t i = 0, n = data.size();
  while (i < n) {
    auto c = static_cast<unsigned char>(data[i]);
    if (c == 0) return false;
    if (c < 0x80) {
      ++i;
      continue;
    }
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      if (c == 0xE0) low = 0xA0;
      if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (i + length > n) return false;
    for (int k = 1; k < length; ++k) {
      auto next = static_cast<unsigned char>(data[i + k]);
      if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return false;
    }
    i += length;
  }
  return true;
}

XMLDocument::XMLDocument() : _document(std::make_unique<pugi::xml_document>()) {}

XMLDocument::~XMLDocument() = default;

std::shared_ptr<XMLDocument> XMLDocument::documentWithData(const platform::Bytes& data) {
  if (data.empty() ||
      !isValidUTF8(std::string_view(reinterpret_cast<const char*>(data.data()), data.size())))
    return nullptr;
  std::shared_ptr<XMLDocument> document(new XMLDocument());
  // Escapes and end-of-line handling only: no document type, no processing instructions.
  unsigned options = pugi::parse_escapes | pugi::parse_eol | pugi::parse_cdata;
  pugi::xml_parse_result result =
      document->_document->load_buffer(data.data(), data.size(), options, pugi::encoding_utf8);
  if (!result || !document->_document->document_element()) return nullptr;
  return document;
}

std::shared_ptr<XMLDocument> XMLDocument::documentWithContentsOfFile(const std::string& path,
                                                                     std::size_t maxSize) {
  auto data = platform::FileManager::contentsAtPath(path, maxSize);
  return data ? documentWithData(*data) : nullptr;
}

XMLElement XMLDocument::rootXMLElement() const {
  return XMLElement(shared_from_this(), _document->document_element().internal_object());
}
