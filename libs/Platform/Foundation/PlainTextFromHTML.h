#pragma once

#include <string>

namespace platform {

// A readable plain-text rendering of an HTML fragment, for programs that only take plain text
// (the desktop's mail client on its command line), parsed by libxml2's forgiving HTML parser.
// Tags, comments, the head and the content of <style> and <script> go; <br> and the ends of
// paragraphs, divisions, list items, table rows and headings become line breaks; runs of white
// space become one space, as a browser shows them; character references are decoded (&nbsp;
// stays a no-break space). No attempt at layout beyond that.
std::string plainTextFromHTML(const std::string& html);

}  // namespace platform
