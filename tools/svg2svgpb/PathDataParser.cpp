#include "PathDataParser.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

namespace svgconvert {

namespace {

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

PathGeometry PathDataParser::parse(std::string_view data, bool* complete) {
  PathDataParser parser(data);
  bool ok = parser.run();
  if (complete) *complete = ok;
  return std::move(parser._path);
}

bool PathDataParser::parseNumbers(std::string_view text, std::vector<double>& numbers) {
  PathDataParser parser(text);
  while (!parser.atEnd()) {
    double value;
    if (!parser.number(value)) return false;
    numbers.push_back(value);
  }
  return true;
}

void PathDataParser::skipSeparators() {
  while (_position < _text.size() && isSpace(_text[_position])) ++_position;
  if (_position < _text.size() && _text[_position] == ',') {
    ++_position;
    while (_position < _text.size() && isSpace(_text[_position])) ++_position;
  }
}

bool PathDataParser::atEnd() {
  skipSeparators();
  return _position >= _text.size();
}

bool PathDataParser::number(double& value) {
  skipSeparators();
  size_t start = _position, i = _position;
  if (i < _text.size() && (_text[i] == '+' || _text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < _text.size() && isDigit(_text[i])) ++i, ++digits;
  if (i < _text.size() && _text[i] == '.') {
    ++i;
    while (i < _text.size() && isDigit(_text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < _text.size() && (_text[i] == 'e' || _text[i] == 'E')) {
    size_t e = i + 1;
    if (e < _text.size() && (_text[e] == '+' || _text[e] == '-')) ++e;
    if (e < _text.size() && isDigit(_text[e])) {
      while (e < _text.size() && isDigit(_text[e])) ++e;
      i = e;
    }
  }
  std::string token(_text.substr(start, i - start));
  value = std::strtod(token.c_str(), nullptr);
  if (!std::isfinite(value)) return false;
  _position = i;
  return true;
}

bool PathDataParser::flag(bool& value) {
  skipSeparators();
  if (_position >= _text.size()) return false;
  char c = _text[_position];
  if (c != '0' && c != '1') return false;
  value = c == '1';
  ++_position;
  return true;
}

bool PathDataParser::coordinatePair(Point& p, bool relative) {
  if (!number(p.x) || !number(p.y)) return false;
  if (relative) {
    p.x += _path.currentPoint().x;
    p.y += _path.currentPoint().y;
  }
  return true;
}

bool PathDataParser::run() {
  char command = 0;
  // The last control point of a cubic or quadratic, for the smooth commands' reflection.
  Point lastCubicControl, lastQuadControl;
  char previous = 0;
  if (atEnd()) return true;
  while (!atEnd()) {
    char c = _text[_position];
    if (std::isalpha(static_cast<unsigned char>(c))) {
      command = c;
      ++_position;
    } else if (command == 0 || command == 'z' || command == 'Z') {
      return false;  // numbers with no command to repeat
    }
    if (_path.isEmpty() && command != 'M' && command != 'm') return false;
    bool relative = std::islower(static_cast<unsigned char>(command));
    char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(command)));
    Point current = _path.currentPoint();
    switch (upper) {
      case 'M': {
        Point p;
        if (!coordinatePair(p, relative && !_path.isEmpty())) return false;
        _path.moveTo(p);
        command = relative ? 'l' : 'L';  // further pairs are lines
        break;
      }
      case 'L': {
        Point p;
        if (!coordinatePair(p, relative)) return false;
        _path.lineTo(p);
        break;
      }
      case 'H': {
        double x;
        if (!number(x)) return false;
        _path.lineTo({relative ? current.x + x : x, current.y});
        break;
      }
      case 'V': {
        double y;
        if (!number(y)) return false;
        _path.lineTo({current.x, relative ? current.y + y : y});
        break;
      }
      case 'C': {
        Point c1, c2, end;
        if (!coordinatePair(c1, relative) || !coordinatePair(c2, relative) ||
            !coordinatePair(end, relative))
          return false;
        _path.cubicTo(c1, c2, end);
        lastCubicControl = c2;
        break;
      }
      case 'S': {
        Point c2, end;
        if (!coordinatePair(c2, relative) || !coordinatePair(end, relative)) return false;
        Point c1 = current;
        if (previous == 'C' || previous == 'S')
          c1 = {2 * current.x - lastCubicControl.x, 2 * current.y - lastCubicControl.y};
        _path.cubicTo(c1, c2, end);
        lastCubicControl = c2;
        break;
      }
      case 'Q': {
        Point control, end;
        if (!coordinatePair(control, relative) || !coordinatePair(end, relative)) return false;
        _path.quadTo(control, end);
        lastQuadControl = control;
        break;
      }
      case 'T': {
        Point end;
        if (!coordinatePair(end, relative)) return false;
        Point control = current;
        if (previous == 'Q' || previous == 'T')
          control = {2 * current.x - lastQuadControl.x, 2 * current.y - lastQuadControl.y};
        _path.quadTo(control, end);
        lastQuadControl = control;
        break;
      }
      case 'A': {
        double rx, ry, rotation;
        bool large, sweep;
        Point end;
        if (!number(rx) || !number(ry) || !number(rotation) || !flag(large) || !flag(sweep) ||
            !coordinatePair(end, relative))
          return false;
        _path.arcTo(rx, ry, rotation, large, sweep, end);
        break;
      }
      case 'Z':
        _path.close();
        break;
      default:
        return false;
    }
    previous = upper;
  }
  return true;
}

}  // namespace svgconvert
