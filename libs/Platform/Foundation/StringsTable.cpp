#include "Foundation/StringsTable.h"

#include <algorithm>
#include <initializer_list>

#include "Foundation/Console.h"
#include "Foundation/FileManager.h"

namespace platform {
namespace {

// Tables are small resource files; anything larger is not one.
constexpr size_t kMaximumTableSize = size_t{16} << 20;

void appendUtf8(std::string& out, char32_t c) {
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
}

bool isHighSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char32_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}
char32_t combineSurrogates(char32_t high, char32_t low) {
  return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// Turns the bytes into UTF-8 text, checking them on the way; line numbers stay those of the
// bytes since line ends are kept.
class Decoder {
 public:
  Decoder(const Bytes& data, StringsTable::Failure& failure) : _data(data), _failure(failure) {}

  std::optional<std::string> text() {
    if (startsWith({0xFF, 0xFE})) return utf16(2, false);
    if (startsWith({0xFE, 0xFF})) return utf16(2, true);
    return utf8(startsWith({0xEF, 0xBB, 0xBF}) ? 3 : 0);
  }

 private:
  bool startsWith(std::initializer_list<std::uint8_t> mark) const {
    return _data.size() >= mark.size() && std::equal(mark.begin(), mark.end(), _data.begin());
  }

  std::nullopt_t fail(std::string reason) {
    _failure = {_line, std::move(reason)};
    return std::nullopt;
  }

  std::optional<std::string> utf16(size_t start, bool bigEndian) {
    if ((_data.size() - start) % 2 != 0) {
      for (size_t i = start; i + 1 < _data.size(); i += 2)
        if (unit(i, bigEndian) == '\n') ++_line;
      return fail("UTF-16 text ends in the middle of a character");
    }
    std::string out;
    for (size_t i = start; i < _data.size(); i += 2) {
      char32_t c = unit(i, bigEndian);
      if (isHighSurrogate(c) && i + 3 < _data.size() && isLowSurrogate(unit(i + 2, bigEndian))) {
        c = combineSurrogates(c, unit(i + 2, bigEndian));
        i += 2;
      } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
        return fail("unpaired UTF-16 surrogate");
      }
      if (c == '\n') ++_line;
      appendUtf8(out, c);
    }
    return out;
  }

  char32_t unit(size_t i, bool bigEndian) const {
    return bigEndian ? (_data[i] << 8 | _data[i + 1]) : (_data[i + 1] << 8 | _data[i]);
  }

  std::optional<std::string> utf8(size_t start) {
    for (size_t i = start; i < _data.size();) {
      std::uint8_t b = _data[i];
      if (b == '\n') ++_line;
      if (b < 0x80) {
        ++i;
        continue;
      }
      size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
      if (length == 0 || b > 0xF4 || i + length > _data.size())
        return fail("the text is not valid UTF-8");
      char32_t c = b & (0x7F >> length);
      for (size_t k = 1; k < length; ++k) {
        if ((_data[i + k] & 0xC0) != 0x80) return fail("the text is not valid UTF-8");
        c = c << 6 | (_data[i + k] & 0x3F);
      }
      static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
      if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return fail("the text is not valid UTF-8");
      i += length;
    }
    return std::string(_data.begin() + start, _data.end());
  }

  const Bytes& _data;
  StringsTable::Failure& _failure;
  int _line = 1;
};

// `"key" = "value";` entries between white space and comments.
class Parser {
 public:
  Parser(const std::string& text, StringsTable::Failure& failure)
      : _text(text), _failure(failure) {}

  std::optional<StringsTable::Entries> entries() {
    StringsTable::Entries entries;
    while (skipSpaceAndComments() && _pos < _text.size()) {
      std::string key, value;
      if (!quoted(key, "a quoted key") || !skipSpaceAndComments() || !expect('=') ||
          !skipSpaceAndComments() || !quoted(value, "a quoted value") || !skipSpaceAndComments() ||
          !expect(';'))
        return std::nullopt;
      entries[std::move(key)] = std::move(value);
    }
    if (!_failure.reason.empty()) return std::nullopt;
    return entries;
  }

 private:
  bool fail(int line, std::string reason) {
    _failure = {line, std::move(reason)};
    return false;
  }

  char peek(size_t ahead = 0) const {
    return _pos + ahead < _text.size() ? _text[_pos + ahead] : '\0';
  }

  bool skipSpaceAndComments() {
    while (_pos < _text.size()) {
      char c = peek();
      if (c == '\n') {
        ++_line;
        ++_pos;
      } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
        ++_pos;
      } else if (c == '/' && peek(1) == '/') {
        while (_pos < _text.size() && peek() != '\n') ++_pos;
      } else if (c == '/' && peek(1) == '*') {
        int start = _line;
        size_t end = _text.find("*/", _pos + 2);
        if (end == std::string::npos) return fail(start, "unterminated comment");
        for (; _pos < end + 2; ++_pos)
          if (_text[_pos] == '\n') ++_line;
      } else {
        break;
      }
    }
    return true;
  }

  bool expect(char wanted) {
    if (peek() != wanted || _pos >= _text.size())
      return fail(_line, std::string("expected '") + wanted + "'");
    ++_pos;
    return true;
  }

  bool hexUnit(char32_t& unit) {
    unit = 0;
    for (int k = 0; k < 4; ++k) {
      char h = peek();
      int digit = h >= '0' && h <= '9'   ? h - '0'
                  : h >= 'a' && h <= 'f' ? h - 'a' + 10
                  : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                         : -1;
      if (digit < 0) return fail(_line, "\\U needs four hexadecimal digits");
      unit = unit << 4 | digit;
      ++_pos;
    }
    return true;
  }

  bool unicodeEscape(std::string& out) {
    char32_t c;
    if (!hexUnit(c)) return false;
    if (isHighSurrogate(c) && peek() == '\\' && (peek(1) == 'U' || peek(1) == 'u')) {
      _pos += 2;
      char32_t low;
      if (!hexUnit(low)) return false;
      if (!isLowSurrogate(low)) return fail(_line, "unpaired UTF-16 surrogate in \\U");
      c = combineSurrogates(c, low);
    } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
      return fail(_line, "unpaired UTF-16 surrogate in \\U");
    }
    appendUtf8(out, c);
    return true;
  }

  bool quoted(std::string& out, const char* what) {
    if (peek() != '"' || _pos >= _text.size()) return fail(_line, std::string("expected ") + what);
    int start = _line;
    ++_pos;
    while (_pos < _text.size()) {
      char c = _text[_pos++];
      if (c == '"') return true;
      if (c == '\n') ++_line;
      if (c != '\\') {
        out += c;
        continue;
      }
      char e = peek();
      ++_pos;
      switch (e) {
        case '"':
        case '\\':
        case '\'':
          out += e;
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'U':
        case 'u':
          if (!unicodeEscape(out)) return false;
          break;
        default:
          if (_pos > _text.size()) break;  // a lone backslash at the end: unterminated
          return fail(_line, std::string("unknown escape \\") + e);
      }
    }
    return fail(start, "unterminated string");
  }

  const std::string& _text;
  StringsTable::Failure& _failure;
  size_t _pos = 0;
  int _line = 1;
};

}  // namespace

std::optional<StringsTable::Entries> StringsTable::read(const Bytes& data, Failure* failure) {
  Failure local;
  Failure& out = failure ? *failure : local;
  out = {};
  auto text = Decoder(data, out).text();
  if (!text) return std::nullopt;
  return Parser(*text, out).entries();
}

std::optional<StringsTable::Entries> StringsTable::readFile(const std::string& path) {
  auto data = FileManager::contentsAtPath(path, kMaximumTableSize);
  if (!data) return std::nullopt;
  Failure failure;
  auto entries = read(*data, &failure);
  if (!entries)
    Console::logf("StringsTable: %s:%d: %s; the table is not used", path.c_str(), failure.line,
                  failure.reason.c_str());
  return entries;
}

}  // namespace platform
