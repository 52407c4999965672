#include "ProtoPathWriter.h"

namespace svgconvert {

namespace {

void setPoint(ProtoPoint* point, Point p) {
  point->set_x(static_cast<float>(p.x));
  point->set_y(static_cast<float>(p.y));
}

}  // namespace

void ProtoPathWriter::writeGeometry(const PathGeometry& geometry, ProtoSVGElementPath& path) {
  using Verb = PathGeometry::Verb;
  ProtoSVGElementPath::PathPoint* current = nullptr;
  int lastSlot = 4;  // slots in format order: 0 move, 1 line, 2 curve, 3 close
  for (const PathGeometry::Segment& segment : geometry.segments()) {
    int slot = static_cast<int>(segment.verb);
    if (!current || slot <= lastSlot) current = path.add_points();
    lastSlot = slot;
    switch (segment.verb) {
      case Verb::Move:
        setPoint(current->mutable_move_to(), segment.points[0]);
        break;
      case Verb::Line:
        setPoint(current->mutable_line_to(), segment.points[0]);
        break;
      case Verb::Cubic: {
        ProtoCurve* curve = current->mutable_curve_to();
        curve->set_x1(static_cast<float>(segment.points[0].x));
        curve->set_y1(static_cast<float>(segment.points[0].y));
        curve->set_x2(static_cast<float>(segment.points[1].x));
        curve->set_y2(static_cast<float>(segment.points[1].y));
        curve->set_x(static_cast<float>(segment.points[2].x));
        curve->set_y(static_cast<float>(segment.points[2].y));
        break;
      }
      case Verb::Close:
        current->set_close(true);
        break;
    }
  }
}

void ProtoPathWriter::writeShape(const Shape& shape, ProtoSVGElementPath& path) {
  switch (shape.kind) {
    case Shape::Kind::Rect: {
      ProtoRect* rect = path.mutable_rect();
      rect->set_x(static_cast<float>(shape.rect.origin.x));
      rect->set_y(static_cast<float>(shape.rect.origin.y));
      rect->set_width(static_cast<float>(shape.rect.size.width));
      rect->set_height(static_cast<float>(shape.rect.size.height));
      return;
    }
    case Shape::Kind::Circle:
    case Shape::Kind::Ellipse:
      if (shape.center.x != 0) path.set_cx(static_cast<float>(shape.center.x));
      if (shape.center.y != 0) path.set_cy(static_cast<float>(shape.center.y));
      if (shape.kind == Shape::Kind::Circle) {
        path.set_r(static_cast<float>(shape.rx));
      } else {
        path.set_rx(static_cast<float>(shape.rx));
        path.set_ry(static_cast<float>(shape.ry));
      }
      return;
    case Shape::Kind::Outline:
      writeGeometry(shape.geometry, path);
      return;
  }
}

}  // namespace svgconvert
