#include "ShapeBuilder.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "PathDataParser.h"
#include "StyleSheet.h"

namespace svgconvert {

namespace {

// Control distance of a cubic quarter ellipse, as the renderer draws its shapes.
constexpr double kQuarter = 0.5522847498307936;

std::optional<double> lengthAttribute(const pugi::xml_node& element, const char* name,
                                      const Viewport& viewport, Viewport::Axis axis) {
  pugi::xml_attribute attribute = element.attribute(name);
  if (!attribute) return std::nullopt;
  auto length = SvgValues::parseLength(attribute.value());
  if (!length) return std::nullopt;
  return viewport.resolve(*length, axis);
}

}  // namespace

Shape Shape::scaled(double factor) const {
  Shape result = *this;
  result.geometry = geometry.transformed(AffineTransform::makeScale(factor, factor));
  result.rect = Rect(rect.origin.x * factor, rect.origin.y * factor, rect.size.width * factor,
                     rect.size.height * factor);
  result.center = {center.x * factor, center.y * factor};
  result.rx = rx * factor;
  result.ry = ry * factor;
  return result;
}

std::optional<Shape> ShapeBuilder::build(const pugi::xml_node& element, const Viewport& viewport) {
  using Axis = Viewport::Axis;
  std::string_view name = StyleSheet::localName(element);
  auto length = [&](const char* attribute, Axis axis) {
    return lengthAttribute(element, attribute, viewport, axis).value_or(0);
  };
  Shape shape;
  if (name == "path") {
    shape.geometry = PathDataParser::parse(element.attribute("d").as_string(), &shape.complete);
  } else if (name == "rect") {
    double x = length("x", Axis::X), y = length("y", Axis::Y);
    double w = length("width", Axis::X), h = length("height", Axis::Y);
    if (!(w > 0 && h > 0)) return std::nullopt;
    auto rx = lengthAttribute(element, "rx", viewport, Axis::X);
    auto ry = lengthAttribute(element, "ry", viewport, Axis::Y);
    if (rx && *rx < 0) rx.reset();
    if (ry && *ry < 0) ry.reset();
    double cornerX = rx ? *rx : ry ? *ry : 0, cornerY = ry ? *ry : rx ? *rx : 0;
    cornerX = std::min(cornerX, w / 2);
    cornerY = std::min(cornerY, h / 2);
    PathGeometry& p = shape.geometry;
    if (cornerX > 0 && cornerY > 0) {
      double kx = (1 - kQuarter) * cornerX, ky = (1 - kQuarter) * cornerY;
      p.moveTo({x + cornerX, y});
      p.lineTo({x + w - cornerX, y});
      p.cubicTo({x + w - kx, y}, {x + w, y + ky}, {x + w, y + cornerY});
      p.lineTo({x + w, y + h - cornerY});
      p.cubicTo({x + w, y + h - ky}, {x + w - kx, y + h}, {x + w - cornerX, y + h});
      p.lineTo({x + cornerX, y + h});
      p.cubicTo({x + kx, y + h}, {x, y + h - ky}, {x, y + h - cornerY});
      p.lineTo({x, y + cornerY});
      p.cubicTo({x, y + ky}, {x + kx, y}, {x + cornerX, y});
      p.close();
    } else {
      shape.kind = Shape::Kind::Rect;
      shape.rect = Rect(x, y, w, h);
      p.moveTo({x, y});
      p.lineTo({x + w, y});
      p.lineTo({x + w, y + h});
      p.lineTo({x, y + h});
      p.close();
    }
  } else if (name == "circle" || name == "ellipse") {
    shape.center = {length("cx", Axis::X), length("cy", Axis::Y)};
    if (name == "circle") {
      shape.kind = Shape::Kind::Circle;
      shape.rx = shape.ry = length("r", Axis::Other);
    } else {
      shape.kind = Shape::Kind::Ellipse;
      auto rx = lengthAttribute(element, "rx", viewport, Axis::X);
      auto ry = lengthAttribute(element, "ry", viewport, Axis::Y);
      shape.rx = rx ? *rx : ry.value_or(0);
      shape.ry = ry ? *ry : rx.value_or(0);
    }
    if (!(shape.rx > 0 && shape.ry > 0)) return std::nullopt;
    shape.geometry.addEllipse(shape.center, shape.rx, shape.ry);
  } else if (name == "line") {
    shape.geometry.moveTo({length("x1", Axis::X), length("y1", Axis::Y)});
    shape.geometry.lineTo({length("x2", Axis::X), length("y2", Axis::Y)});
  } else if (name == "polyline" || name == "polygon") {
    std::vector<double> numbers;
    shape.complete = PathDataParser::parseNumbers(element.attribute("points").as_string(), numbers);
    if (numbers.size() % 2) {
      numbers.pop_back();
      shape.complete = false;
    }
    for (size_t i = 0; i + 1 < numbers.size(); i += 2) {
      Point p{numbers[i], numbers[i + 1]};
      if (i == 0) {
        shape.geometry.moveTo(p);
      } else {
        shape.geometry.lineTo(p);
      }
    }
    if (name == "polygon" && !shape.geometry.isEmpty()) shape.geometry.close();
  } else {
    return std::nullopt;
  }
  if (shape.geometry.isEmpty() || !shape.geometry.isFinite()) return std::nullopt;
  return shape;
}

}  // namespace svgconvert
