#include "SvgConverter.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "Dasher.h"
#include "FiniteCheck.h"
#include "PathDataParser.h"
#include "ProtoPathWriter.h"
#include "SVGView/ProtoSVGFile.h"
#include "SVGView/SVGRenderer.h"
#include "Stroker.h"

namespace svgconvert {

namespace {

using Axis = Viewport::Axis;

// Deeper state groups are flattened: every group costs two levels of the reader's message
// nesting limit.
constexpr int kMaxStateDepth = 16;

// Colours and opacities closer than this draw the same 8-bit pixels.
constexpr double kAlphaEpsilon = 1.0 / 512;

std::optional<Rect> viewBoxOf(const pugi::xml_node& element) {
  std::vector<double> numbers;
  if (!element.attribute("viewBox")) return std::nullopt;
  if (!PathDataParser::parseNumbers(element.attribute("viewBox").as_string(), numbers) ||
      numbers.size() != 4 || !(numbers[2] > 0) || !(numbers[3] > 0))
    return std::nullopt;
  return Rect(numbers[0], numbers[1], numbers[2], numbers[3]);
}

// The viewBox-to-viewport transform with preserveAspectRatio.
AffineTransform viewBoxTransform(const Rect& box, const std::string& aspect, double width,
                                 double height) {
  std::istringstream words(aspect);
  std::string align = "xMidYMid", meetOrSlice = "meet";
  words >> align;
  if (align == "defer") words >> align;
  words >> meetOrSlice;
  double sx = width / box.size.width, sy = height / box.size.height;
  if (align == "none") return {sx, 0, 0, sy, -box.origin.x * sx, -box.origin.y * sy};
  double s = meetOrSlice == "slice" ? std::max(sx, sy) : std::min(sx, sy);
  double tx = -box.origin.x * s, ty = -box.origin.y * s;
  double spareX = width - box.size.width * s, spareY = height - box.size.height * s;
  if (align.find("xMid") != std::string::npos) tx += spareX / 2;
  if (align.find("xMax") != std::string::npos) tx += spareX;
  if (align.find("YMid") != std::string::npos) ty += spareY / 2;
  if (align.find("YMax") != std::string::npos) ty += spareY;
  return {s, 0, 0, s, tx, ty};
}

double lengthAttribute(const pugi::xml_node& element, const char* name, const Viewport& viewport,
                       Axis axis, double fallback) {
  auto length = SvgValues::parseLength(element.attribute(name).as_string());
  return length ? viewport.resolve(*length, axis) : fallback;
}

double scaleOf(const AffineTransform& t) {
  double determinant = std::fabs(t.a * t.d - t.b * t.c);
  if (determinant > 1e-12) return std::sqrt(determinant);
  return std::max({std::hypot(t.a, t.b), std::hypot(t.c, t.d), 1e-6});
}

void setColor(ProtoSVGPaint* paint, const Color& color) {
  ProtoColor* out = paint->mutable_color();
  out->set_red(color.red);
  out->set_green(color.green);
  out->set_blue(color.blue);
}

void setTransform(ProtoSVGGeneralParams* params, const AffineTransform& t) {
  if (t.isIdentity()) return;
  ProtoAffineTransformMatrix* m = params->mutable_transform();
  m->set_a(static_cast<float>(t.a));
  m->set_b(static_cast<float>(t.b));
  m->set_c(static_cast<float>(t.c));
  m->set_d(static_cast<float>(t.d));
  m->set_tx(static_cast<float>(t.tx));
  m->set_ty(static_cast<float>(t.ty));
}

// Sets a paint; `alpha` is that of the colour (a gradient's stops carry their own).
void setPaint(ProtoSVGPaint* out, const ResolvedPaint& paint) {
  if (paint.kind == ResolvedPaint::Kind::Color) {
    setColor(out, paint.color);
  } else if (paint.kind == ResolvedPaint::Kind::Gradient) {
    out->set_gradient_id(paint.gradientId);
  } else {
    out->set_none(true);
  }
}

double paintAlpha(const ResolvedPaint& paint) {
  return paint.kind == ResolvedPaint::Kind::Color      ? paint.color.alpha
         : paint.kind == ResolvedPaint::Kind::Gradient ? 1
                                                       : 0;
}

bool overlapAmong(const std::vector<Rect>& rects, size_t first) {
  // Large groups are not compared pairwise; they are taken to overlap.
  if (rects.size() - first > 400) return true;
  for (size_t i = first; i < rects.size(); ++i)
    for (size_t j = i + 1; j < rects.size(); ++j)
      if (!rects[i].intersection(rects[j]).isEmpty()) return true;
  return false;
}

// The conditions a switch tests: no extension is supported; languages match English.
bool passesConditions(const pugi::xml_node& element) {
  if (!SvgValues::trim(element.attribute("requiredExtensions").as_string()).empty()) return false;
  pugi::xml_attribute languages = element.attribute("systemLanguage");
  if (!languages) return true;
  std::string list = languages.value();
  std::replace(list.begin(), list.end(), ',', ' ');
  std::istringstream words(list);
  std::string language;
  while (words >> language)
    if (language == "en" || language.rfind("en-", 0) == 0) return true;
  return false;
}

bool namesStates(const pugi::xml_node& element) {
  pugi::xml_attribute id = element.attribute("id");
  return id && !SVGRenderer::statesFromIdentifier(id.value()).empty();
}

}  // namespace

std::optional<Conversion> SvgConverter::convertFile(const std::string& path, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot read " + path;
    return std::nullopt;
  }
  std::stringstream buffer;
  buffer << file.rdbuf();
  if (file.bad()) {
    error = "cannot read " + path;
    return std::nullopt;
  }
  return convert(buffer.str(), error);
}

std::optional<Conversion> SvgConverter::convert(std::string_view text, std::string& error) {
  pugi::xml_document document;
  pugi::xml_parse_result parsed = document.load_buffer(
      text.data(), text.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
  if (!parsed) {
    error = std::string("not well-formed XML (") + parsed.description() + " at byte " +
            std::to_string(parsed.offset) + ")";
    return std::nullopt;
  }
  Conversion output;
  SvgConverter converter(output);
  if (!converter.run(document, error)) return std::nullopt;
  if (!converter._failure.empty()) {
    error = converter._failure;
    return std::nullopt;
  }
  if (output.root.ByteSizeLong() > static_cast<size_t>(ProtoSVGFile::kTotalBytesLimit)) {
    error = "the converted picture would be larger than the 64 MiB a reader accepts";
    return std::nullopt;
  }
  if (!FiniteCheck::picture(output.root)) {
    error = "a size or coordinate is beyond the range of the picture format";
    return std::nullopt;
  }
  return output;
}

void SvgConverter::fail(const std::string& message) {
  if (_failure.empty()) _failure = message;
}

void SvgConverter::collectIdentifiersAndStyles(const pugi::xml_node& node, int depth) {
  if (depth > kMaxDepth) {
    fail("elements nested more than " + std::to_string(kMaxDepth) + " deep");
    return;
  }
  for (const pugi::xml_node& child : node.children()) {
    if (child.type() != pugi::node_element) continue;
    if (pugi::xml_attribute id = child.attribute("id")) _elements.emplace(id.value(), child);
    if (StyleSheet::localName(child) == "style") {
      std::string css;
      for (const pugi::xml_node& part : child.children())
        if (part.type() == pugi::node_pcdata || part.type() == pugi::node_cdata)
          css += part.value();
      for (int i = _styleSheet.addRules(css); i > 0; --i)
        _output.losses.add("style sheet rule", "rule");
    }
    collectIdentifiersAndStyles(child, depth + 1);
  }
}

bool SvgConverter::run(const pugi::xml_document& document, std::string& error) {
  pugi::xml_node svg = document.document_element();
  if (!svg || StyleSheet::localName(svg) != "svg") {
    error = std::string("not an SVG document (root element <") + (svg ? svg.name() : "") + ">)";
    return false;
  }
  collectIdentifiersAndStyles(document, 0);
  if (!_failure.empty()) return true;
  _gradients.emplace(_elements, _styleSheet);

  // The picture's size in px; percentages and missing sizes fall back to the view box.
  std::optional<Rect> box = viewBoxOf(svg);
  auto size = [&](const char* name, double boxSize) {
    auto length = SvgValues::parseLength(svg.attribute(name).as_string());
    if (!length) return boxSize;
    return length->percent ? boxSize * length->value / 100 : length->value;
  };
  double width = size("width", box ? box->size.width : 100);
  double height = size("height", box ? box->size.height : 100);
  for (ProtoRect* r : {_output.root.mutable_viewport(), _output.root.mutable_view_box()}) {
    r->set_width(static_cast<float>(width));
    r->set_height(static_cast<float>(height));
  }
  Context context;
  context.viewport = {width, height};
  if (box && width > 0 && height > 0) {
    _rootTransform =
        viewBoxTransform(*box, svg.attribute("preserveAspectRatio").as_string(), width, height);
    context.viewport = {box->size.width, box->size.height};
  }
  ProtoSVGGeneralParams* params = _output.root.mutable_params();
  setTransform(params, _rootTransform);
  // Gradients go into one definitions container ahead of everything drawn.
  ProtoSVGGeneralParams* definitions = params->add_children()->mutable_defs();
  _gradientTable.emplace(*definitions);
  context.container = params;

  ComputedStyle rootStyle =
      ComputedStyle::derive(ComputedStyle(), _styleSheet.declarationsFor(svg));
  if (!rootStyle.displayed) return true;
  context.style = rootStyle;
  reportUnsupportedStyle(rootStyle);
  context.opacity = rootStyle.opacity;
  size_t first = _drawn.size();
  Context inner = context;
  if (namesStates(svg)) {
    ProtoSVGGeneralParams* group = params->add_children()->mutable_group();
    group->set_id(svg.attribute("id").value());
    inner.container = group;
    inner.stateDepth = 1;
  }
  for (const pugi::xml_node& child : svg.children())
    if (child.type() == pugi::node_element) visit(child, inner);
  if (rootStyle.opacity < 1 && overlapAmong(_drawn, first))
    _output.losses.add("group opacity over overlapping shapes", "group");
  if (definitions->children_size() == 0) params->mutable_children()->DeleteSubrange(0, 1);
  return true;
}

void SvgConverter::reportUnsupportedStyle(const ComputedStyle& style) {
  if (style.filter) _output.losses.add("filter");
  if (style.mask) _output.losses.add("mask");
  if (style.clipPath) _output.losses.add("clip-path");
  if (style.blended) _output.losses.add("mix-blend-mode");
}

double SvgConverter::flatteningTolerance(const AffineTransform& transform) const {
  // About a thirtieth of a picture unit, which the program draws at two or three pixels.
  return 0.03 / scaleOf(AffineTransform::concat(transform, _rootTransform));
}

void SvgConverter::visit(const pugi::xml_node& element, const Context& parent) {
  if (!_failure.empty()) return;
  if (parent.depth >= kMaxDepth) {
    fail("elements nested more than " + std::to_string(kMaxDepth) + " deep (uses included)");
    return;
  }
  if (++_visited > kMaxElements) {
    fail("more than " + std::to_string(kMaxElements) + " elements once uses are expanded");
    return;
  }
  std::string_view fullName = element.name();
  size_t colon = fullName.find(':');
  // Elements of other vocabularies (editor metadata and the like) draw nothing.
  if (colon != std::string_view::npos && fullName.substr(0, colon) != "svg") return;
  std::string_view name = StyleSheet::localName(element);
  static const char* const kNotDrawn[] = {
      "defs",           "title",          "desc",    "metadata",         "style",        "script",
      "linearGradient", "radialGradient", "pattern", "clipPath",         "mask",         "marker",
      "symbol",         "filter",         "font",    "font-face",        "cursor",       "view",
      "stop",           "animate",        "set",     "animateTransform", "animateMotion"};
  if (std::any_of(std::begin(kNotDrawn), std::end(kNotDrawn),
                  [&](const char* n) { return name == n; }))
    return;

  Context context = parent;
  ++context.depth;
  context.style = ComputedStyle::derive(parent.style, _styleSheet.declarationsFor(element));
  if (!context.style.displayed) return;
  if (auto transform = SvgValues::parseTransform(element.attribute("transform").as_string()))
    context.transform = AffineTransform::concat(*transform, parent.transform);

  if (name == "text") {
    reportUnsupportedStyle(context.style);
    visitText(element, context);
    return;
  }
  if (name == "image" || name == "foreignObject" || name == "video") {
    _output.losses.add(std::string(name));
    return;
  }
  reportUnsupportedStyle(context.style);
  if (name == "g" || name == "a" || name == "switch") {
    visitChildren(element, element, context);
  } else if (name == "svg") {
    double x = lengthAttribute(element, "x", parent.viewport, Axis::X, 0);
    double y = lengthAttribute(element, "y", parent.viewport, Axis::Y, 0);
    double w = lengthAttribute(element, "width", parent.viewport, Axis::X, parent.viewport.width);
    double h = lengthAttribute(element, "height", parent.viewport, Axis::Y, parent.viewport.height);
    if (!(w > 0 && h > 0)) return;
    AffineTransform inner = AffineTransform::makeTranslation(x, y);
    context.viewport = {w, h};
    if (auto box = viewBoxOf(element)) {
      inner = AffineTransform::concat(
          viewBoxTransform(*box, element.attribute("preserveAspectRatio").as_string(), w, h),
          inner);
      context.viewport = {box->size.width, box->size.height};
    }
    context.transform = AffineTransform::concat(inner, context.transform);
    visitChildren(element, element, context);
  } else if (name == "use") {
    visitUse(element, context);
  } else if (auto shape = ShapeBuilder::build(element, parent.viewport)) {
    if (!shape->complete) _output.losses.add("path data after an error");
    emitShape(element, *shape, context);
  }
}

void SvgConverter::visitChildren(const pugi::xml_node& element, const pugi::xml_node& childrenOf,
                                 Context context) {
  bool isSwitch = StyleSheet::localName(element) == "switch";
  if (namesStates(element) && context.stateDepth < kMaxStateDepth) {
    ProtoSVGGeneralParams* group = context.container->add_children()->mutable_group();
    group->set_id(element.attribute("id").value());
    context.container = group;
    ++context.stateDepth;
  } else if (namesStates(element)) {
    _output.losses.add("state group nested too deeply", "group");
  }
  double groupOpacity = context.style.opacity;
  context.opacity *= groupOpacity;
  size_t first = _drawn.size();
  for (const pugi::xml_node& child : childrenOf.children()) {
    if (child.type() != pugi::node_element) continue;
    if (isSwitch && !passesConditions(child)) continue;
    visit(child, context);
    // A switch draws its first child whose conditions hold.
    if (isSwitch) break;
  }
  if (groupOpacity < 1 && overlapAmong(_drawn, first))
    _output.losses.add("group opacity over overlapping shapes", "group");
}

void SvgConverter::visitUse(const pugi::xml_node& element, const Context& context) {
  pugi::xml_attribute href = element.attribute("href");
  if (!href) href = element.attribute("xlink:href");
  auto found = _elements.find(SvgValues::referenceIdentifier(href.as_string()));
  if (found == _elements.end()) return;
  pugi::xml_node target = found->second;
  // A use inside what it references, or reached again through other uses, is circular and
  // draws nothing.
  for (pugi::xml_node above = element.parent(); above; above = above.parent())
    if (above == target) return;
  if (!_useStack.insert(target.internal_object()).second) return;
  Context inner = context;
  double x = lengthAttribute(element, "x", context.viewport, Axis::X, 0);
  double y = lengthAttribute(element, "y", context.viewport, Axis::Y, 0);
  inner.transform =
      AffineTransform::concat(AffineTransform::makeTranslation(x, y), context.transform);
  std::string_view targetName = StyleSheet::localName(target);
  if (targetName == "symbol" || targetName == "svg") {
    ComputedStyle symbolStyle =
        ComputedStyle::derive(context.style, _styleSheet.declarationsFor(target));
    if (symbolStyle.displayed || targetName == "symbol") {
      Viewport viewport = context.viewport;
      double w =
          lengthAttribute(element, "width", viewport, Axis::X,
                          lengthAttribute(target, "width", viewport, Axis::X, viewport.width));
      double h =
          lengthAttribute(element, "height", viewport, Axis::Y,
                          lengthAttribute(target, "height", viewport, Axis::Y, viewport.height));
      if (auto box = viewBoxOf(target); box && w > 0 && h > 0) {
        inner.transform = AffineTransform::concat(
            viewBoxTransform(*box, target.attribute("preserveAspectRatio").as_string(), w, h),
            inner.transform);
        inner.viewport = {box->size.width, box->size.height};
      } else {
        inner.viewport = {w, h};
      }
      // The use element is the group (with the use's opacity); the symbol's own style applies
      // to its children.
      Context symbolContext = inner;
      symbolContext.style = symbolStyle;
      reportUnsupportedStyle(symbolStyle);
      symbolContext.opacity = inner.opacity * context.style.opacity;
      size_t first = _drawn.size();
      Context wrapper = symbolContext;
      if (namesStates(element) && wrapper.stateDepth < kMaxStateDepth) {
        ProtoSVGGeneralParams* group = wrapper.container->add_children()->mutable_group();
        group->set_id(element.attribute("id").value());
        wrapper.container = group;
        ++wrapper.stateDepth;
      }
      visitChildren(target, target, wrapper);
      if (context.style.opacity < 1 && overlapAmong(_drawn, first))
        _output.losses.add("group opacity over overlapping shapes", "group");
    }
  } else {
    // The referenced element is drawn as the only child of a group that the use stands for.
    Context wrapper = inner;
    if (namesStates(element) && wrapper.stateDepth < kMaxStateDepth) {
      ProtoSVGGeneralParams* group = wrapper.container->add_children()->mutable_group();
      group->set_id(element.attribute("id").value());
      wrapper.container = group;
      ++wrapper.stateDepth;
    }
    wrapper.opacity *= context.style.opacity;
    size_t first = _drawn.size();
    visit(target, wrapper);
    if (context.style.opacity < 1 && overlapAmong(_drawn, first))
      _output.losses.add("group opacity over overlapping shapes", "group");
  }
  _useStack.erase(target.internal_object());
}

namespace {

// The characters of a text element and its spans, with white space collapsed as SVG does by
// default: line breaks dropped, tabs and runs of spaces made one space, the ends trimmed.
void gatherText(const pugi::xml_node& node, std::string& text, bool& positioned, bool& onPath) {
  for (const pugi::xml_node& child : node.children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
      for (const char* c = child.value(); *c; ++c) {
        if (*c == '\n' || *c == '\r') continue;
        char ch = *c == '\t' ? ' ' : *c;
        if (ch == ' ' && (text.empty() || text.back() == ' ')) continue;
        text += ch;
      }
    } else if (child.type() == pugi::node_element) {
      std::string_view name = StyleSheet::localName(child);
      if (name == "textPath") onPath = true;
      for (const char* attribute : {"x", "y", "dx", "dy", "rotate"})
        if (child.attribute(attribute)) positioned = true;
      if (name == "tspan" || name == "a" || name == "textPath")
        gatherText(child, text, positioned, onPath);
    }
  }
}

// The first number of a coordinate list attribute.
double firstCoordinate(const pugi::xml_node& element, const char* name, const Viewport& viewport,
                       Viewport::Axis axis) {
  std::string list = element.attribute(name).as_string();
  std::replace(list.begin(), list.end(), ',', ' ');
  std::istringstream items(list);
  std::string first;
  items >> first;
  auto length = SvgValues::parseLength(first);
  return length ? viewport.resolve(*length, axis) : 0;
}

}  // namespace

void SvgConverter::visitText(const pugi::xml_node& element, const Context& context) {
  std::string text;
  bool positioned = false, onPath = false;
  gatherText(element, text, positioned, onPath);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  if (text.empty()) return;
  if (onPath) _output.losses.addApproximate("text on a path", "text");
  // Spans are laid out in one run with the text's own font; their positions and styles are not.
  if (positioned) _output.losses.addApproximate("positioned text spans", "text");
  const ComputedStyle& style = context.style;
  TextOutliner::Font font{style.fontFamily, style.fontSize, style.fontWeight, style.italic,
                          style.fontStretch};
  Point origin{firstCoordinate(element, "x", context.viewport, Axis::X) +
                   firstCoordinate(element, "dx", context.viewport, Axis::X),
               firstCoordinate(element, "y", context.viewport, Axis::Y) +
                   firstCoordinate(element, "dy", context.viewport, Axis::Y)};
  TextOutliner::Outline outline = TextOutliner::outline(text, font, origin, style.textAnchor);
  // Outlines in another font than the one named are drawn, and reported as approximate.
  if (outline.substituted) _output.losses.addApproximate("text in a substituted font", "text");
  if (outline.geometry.isEmpty()) return;
  Shape shape;
  shape.geometry = std::move(outline.geometry);
  emitShape(element, shape, context);
}

ResolvedPaint SvgConverter::resolvePaint(const Paint& paint, const ComputedStyle& style,
                                         const std::optional<Rect>& bounds,
                                         const Viewport& viewport) {
  ResolvedPaint result;
  switch (paint.kind) {
    case Paint::Kind::None:
      return result;
    case Paint::Kind::Color:
    case Paint::Kind::CurrentColor:
      result.color = paint.kind == Paint::Kind::Color ? paint.color : style.color;
      if (result.color.alpha > 0) result.kind = ResolvedPaint::Kind::Color;
      return result;
    case Paint::Kind::Reference:
      break;
  }
  if (auto definition = _gradients->resolve(paint.reference))
    return _gradientTable->paintFor(paint.reference, *definition, bounds, viewport, _output.losses);
  if (_gradients->names(paint.reference, "pattern")) _output.losses.add("pattern paint", "paint");
  if (paint.fallbackColor) {
    result.color = *paint.fallbackColor;
    result.kind = ResolvedPaint::Kind::Color;
  }
  return result;
}

void SvgConverter::emitShape(const pugi::xml_node& element, const Shape& shape,
                             const Context& context) {
  const ComputedStyle& style = context.style;
  if (!style.visible) return;
  std::string_view name = StyleSheet::localName(element);
  std::optional<Rect> bounds = shape.geometry.bounds();
  double alpha = context.opacity * style.opacity;
  if (!(alpha > 0)) return;

  ResolvedPaint fill =
      name == "line" ? ResolvedPaint() : resolvePaint(style.fill, style, bounds, context.viewport);
  double fillAlpha = paintAlpha(fill) * style.fillOpacity * alpha;
  bool hasFill = fill.kind != ResolvedPaint::Kind::None && fillAlpha > 0;

  double width = context.viewport.resolve(style.strokeWidth, Axis::Other);
  ResolvedPaint stroke;
  if (width > 0) stroke = resolvePaint(style.stroke, style, bounds, context.viewport);
  double strokeAlpha = paintAlpha(stroke) * style.strokeOpacity * alpha;
  bool hasStroke = stroke.kind != ResolvedPaint::Kind::None && strokeAlpha > 0;
  if (!hasFill && !hasStroke) return;

  if (style.markers && name != "rect" && name != "circle" && name != "ellipse")
    _output.losses.add("marker");
  if (hasFill && hasStroke && style.opacity * context.opacity < 1)
    _output.losses.add("opacity over a filled and stroked shape");
  if (hasFill && style.evenOdd && fill.kind == ResolvedPaint::Kind::Gradient &&
      shape.geometry.subpathCount() > 1)
    _output.losses.add("even-odd gradient fill");

  auto addPath = [&](const AffineTransform& transform, double opacity) {
    ProtoSVGElementPath* path = context.container->add_children()->mutable_path();
    ProtoSVGGeneralParams* params = path->mutable_params();
    setTransform(params, transform);
    if (opacity < 1 - kAlphaEpsilon) params->set_opacity(static_cast<float>(opacity));
    return path;
  };

  ProtoSVGElementPath* fillPath = nullptr;
  if (hasFill) {
    fillPath = addPath(context.transform, fillAlpha);
    ProtoSVGPaint* paint = fillPath->mutable_params()->mutable_fill();
    setPaint(paint, fill);
    if (style.evenOdd) paint->set_even_odd(true);
    ProtoPathWriter::writeShape(shape, *fillPath);
  }
  // A dashed stroke is the stroke of its dashes.
  Shape dashes;
  if (hasStroke && style.dashed) {
    std::vector<double> pattern;
    for (const Length& length : style.dashArray)
      pattern.push_back(context.viewport.resolve(length, Axis::Other));
    dashes.geometry = Dasher::dash(shape.geometry, pattern,
                                   context.viewport.resolve(style.dashOffset, Axis::Other),
                                   flatteningTolerance(context.transform));
  }
  const Shape& stroked = style.dashed ? dashes : shape;
  if (hasStroke && !stroked.geometry.isEmpty()) {
    StrokeStyle strokeStyle{width, style.lineCap, style.lineJoin, style.miterLimit};
    // The renderer strokes with width 1, butt caps and miter joins limited at 10 in the path's
    // user space: a path scaled by 1 / width under a transform scaled by width strokes exactly.
    // Under a pixel wide at the picture's own size, joins and caps differ by less than a
    // pixel; such hairlines keep the renderer's stroke, which is far smaller than outlines.
    double pixelWidth = width * scaleOf(AffineTransform::concat(context.transform, _rootTransform));
    bool native = stroke.kind == ResolvedPaint::Kind::Color &&
                  (pixelWidth < 1 || Stroker::matchesButtMiter(stroked.geometry, strokeStyle, 10));
    if (native && std::fabs(width - 1) < 1e-9) {
      if (fillPath && !style.dashed && std::fabs(fillAlpha - strokeAlpha) < kAlphaEpsilon) {
        setPaint(fillPath->mutable_params()->mutable_stroke(), stroke);
      } else {
        ProtoSVGElementPath* path = addPath(context.transform, strokeAlpha);
        path->mutable_params()->mutable_fill()->set_none(true);
        setPaint(path->mutable_params()->mutable_stroke(), stroke);
        ProtoPathWriter::writeShape(stroked, *path);
      }
    } else if (native) {
      ProtoSVGElementPath* path = addPath(
          AffineTransform::concat(AffineTransform::makeScale(width, width), context.transform),
          strokeAlpha);
      path->mutable_params()->mutable_fill()->set_none(true);
      setPaint(path->mutable_params()->mutable_stroke(), stroke);
      ProtoPathWriter::writeShape(stroked.scaled(1 / width), *path);
    } else if (stroke.kind == ResolvedPaint::Kind::Color && strokeAlpha >= 1 - kAlphaEpsilon &&
               style.lineJoin == LineJoin::Round && style.lineCap != LineCap::Square) {
      // Opaque: the pieces may overlap without showing it.
      Stroker::RoundPieces pieces =
          Stroker::roundPieces(stroked.geometry, style.lineCap == LineCap::Round);
      if (!pieces.spine.isEmpty()) {
        ProtoSVGElementPath* path = addPath(
            AffineTransform::concat(AffineTransform::makeScale(width, width), context.transform),
            1);
        path->mutable_params()->mutable_fill()->set_none(true);
        setPaint(path->mutable_params()->mutable_stroke(), stroke);
        ProtoPathWriter::writeGeometry(
            pieces.spine.transformed(AffineTransform::makeScale(1 / width, 1 / width)), *path);
      }
      if (!pieces.dots.empty()) {
        PathGeometry disks;
        for (const Point& dot : pieces.dots) disks.addEllipse(dot, width / 2, width / 2);
        ProtoSVGElementPath* path = addPath(context.transform, 1);
        setPaint(path->mutable_params()->mutable_fill(), stroke);
        ProtoPathWriter::writeGeometry(disks, *path);
      }
    } else {
      PathGeometry outline =
          Stroker::outline(stroked.geometry, strokeStyle, flatteningTolerance(context.transform));
      if (!outline.isEmpty()) {
        ProtoSVGElementPath* path = addPath(context.transform, strokeAlpha);
        setPaint(path->mutable_params()->mutable_fill(), stroke);
        ProtoPathWriter::writeGeometry(outline, *path);
      }
    }
  }
  if (auto drawn = shape.geometry.transformed(context.transform).bounds()) {
    double grow = hasStroke ? width / 2 * scaleOf(context.transform) * 1.5 : 0;
    // Touching rectangles do not overlap; a hair of growth for curves does not change that.
    _drawn.push_back(drawn->insetBy(-grow, -grow));
  }
}

}  // namespace svgconvert
