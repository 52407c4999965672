#include "UI/PlainTextFromHTML.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace platform {
namespace {

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool endsALine(const std::string& closingTag) {
  static const std::array<std::string_view, 10> blocks = {"p",  "div", "li", "tr", "h1",
                                                          "h2", "h3",  "h4", "h5", "h6"};
  for (auto b : blocks)
    if (closingTag == b) return true;
  return false;
}

std::string utf8(std::uint32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

// The text of the entity between '&' and ';' (named or numeric), or nothing when it is not
// one this rendering knows: then the '&' stays as written.
std::optional<std::string> decodeEntity(const std::string& name) {
  if (name == "amp") return "&";
  if (name == "lt") return "<";
  if (name == "gt") return ">";
  if (name == "quot") return "\"";
  if (name == "apos") return "'";
  if (name == "nbsp") return utf8(0xA0);
  if (name.size() < 2 || name[0] != '#') return std::nullopt;
  bool hex = name[1] == 'x' || name[1] == 'X';
  std::string digits = name.substr(hex ? 2 : 1);
  if (digits.empty() || digits.size() > 7) return std::nullopt;
  for (char d : digits)
    if (!(hex ? std::isxdigit(static_cast<unsigned char>(d))
              : std::isdigit(static_cast<unsigned char>(d))))
      return std::nullopt;
  unsigned long code = std::strtoul(digits.c_str(), nullptr, hex ? 16 : 10);
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
  return utf8(static_cast<std::uint32_t>(code));
}

}  // namespace

std::string plainTextFromHTML(const std::string& html) {
  std::string out;
  bool pendingSpace = false;
  auto emit = [&](std::string_view text) {
    if (pendingSpace && !out.empty() && out.back() != '\n') out += ' ';
    pendingSpace = false;
    out += text;
  };
  auto lineBreak = [&] {
    pendingSpace = false;
    out += '\n';
  };
  size_t i = 0;
  while (i < html.size()) {
    char c = html[i];
    if (c == '<' && html.compare(i, 4, "<!--") == 0) {
      size_t end = html.find("-->", i + 4);
      i = end == std::string::npos ? html.size() : end + 3;
      continue;
    }
    if (c == '<') {
      size_t j = i + 1;
      bool closing = j < html.size() && html[j] == '/';
      if (closing) ++j;
      // Only '<' followed by a name or "!" starts markup; "a < b" is text.
      if (j < html.size() &&
          (std::isalpha(static_cast<unsigned char>(html[j])) || html[j] == '!')) {
        size_t end = html.find('>', j);
        if (end == std::string::npos) break;  // an unfinished tag: the rest is markup
        std::string name;
        while (j < end && std::isalnum(static_cast<unsigned char>(html[j])))
          name += static_cast<char>(std::tolower(static_cast<unsigned char>(html[j++])));
        if ((!closing && name == "br") || (closing && endsALine(name))) lineBreak();
        i = end + 1;
        continue;
      }
    }
    if (c == '&') {
      size_t semicolon = html.find(';', i + 1);
      if (semicolon != std::string::npos && semicolon - i <= 10) {
        if (auto text = decodeEntity(html.substr(i + 1, semicolon - i - 1))) {
          emit(*text);
          i = semicolon + 1;
          continue;
        }
      }
    }
    if (isSpace(c)) {
      pendingSpace = true;
    } else {
      emit(std::string_view(&html[i], 1));
    }
    ++i;
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

}  // namespace platform
