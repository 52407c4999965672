#include "Foundation/PlainTextFromHTML.h"

#include <libxml/HTMLparser.h>

#include <array>
#include <climits>
#include <memory>
#include <string_view>

namespace platform {
namespace {

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isNamed(const xmlNode* node, std::string_view name) {
  return node->type == XML_ELEMENT_NODE && node->name &&
         name == reinterpret_cast<const char*>(node->name);
}

// Elements whose end ends a line.
bool endsALine(const xmlNode* node) {
  static const std::array<std::string_view, 10> blocks = {"p",  "div", "li", "tr", "h1",
                                                          "h2", "h3",  "h4", "h5", "h6"};
  for (auto b : blocks)
    if (isNamed(node, b)) return true;
  return false;
}

// Elements whose text is not shown.
bool isHidden(const xmlNode* node) {
  return isNamed(node, "style") || isNamed(node, "script") || isNamed(node, "head");
}

class TextWriter {
 public:
  void text(std::string_view text) {
    for (char c : text) {
      if (isSpace(c)) {
        _pendingSpace = true;
        continue;
      }
      if (_pendingSpace && !_out.empty() && _out.back() != '\n') _out += ' ';
      _pendingSpace = false;
      _out += c;
    }
  }
  void lineBreak() {
    _pendingSpace = false;
    _out += '\n';
  }
  std::string finish() {
    while (!_out.empty() && (_out.back() == '\n' || _out.back() == ' ')) _out.pop_back();
    return std::move(_out);
  }

 private:
  std::string _out;
  bool _pendingSpace = false;
};

}  // namespace

std::string plainTextFromHTML(const std::string& html) {
  if (html.empty() || html.size() > INT_MAX) return {};
  // No network, no messages on stderr: the parser mends what it can and says nothing.
  const int options = HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;
  std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> document(
      htmlReadMemory(html.data(), static_cast<int>(html.size()), nullptr, "UTF-8", options),
      xmlFreeDoc);
  if (!document) return {};
  TextWriter writer;
  // A walk without recursion: the nesting is as deep as the input makes it.
  const xmlNode* node = document->children;
  while (node) {
    if (node->type == XML_TEXT_NODE && node->content)
      writer.text(reinterpret_cast<const char*>(node->content));
    else if (isNamed(node, "br"))
      writer.lineBreak();
    if (node->type == XML_ELEMENT_NODE && node->children && !isHidden(node)) {
      node = node->children;
      continue;
    }
    // Leaving a node: close every element that ends with it.
    while (node) {
      if (endsALine(node)) writer.lineBreak();
      if (node->next) {
        node = node->next;
        break;
      }
      node = node->parent && node->parent->type != XML_HTML_DOCUMENT_NODE ? node->parent : nullptr;
    }
  }
  return writer.finish();
}

}  // namespace platform
