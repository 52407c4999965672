#pragma once

#include <optional>
#include <pugixml.hpp>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ComputedStyle.h"
#include "GradientResolver.h"
#include "GradientTable.h"
#include "LossReport.h"
#include "SVGView/ProtoSVGFile.h"
#include "ShapeBuilder.h"
#include "StyleSheet.h"
#include "svg.pb.h"

namespace svgconvert {

// A converted picture and what it could not carry.
struct Conversion {
  ProtoSVGRoot root;
  LossReport losses;
};

// Resolves an SVG document into one ProtoSVG picture: geometry in absolute moves, lines and
// cubics, every transform composed into the paths (groups carry none in the format), styles
// cascaded, uses inlined, gradients bound to the shapes' user spaces, wide or styled strokes
// turned into filled outlines, opacities folded into the paths. Groups whose identifier names
// states stay groups.
class SvgConverter {
 public:
  // Beyond these a picture is refused: deeper nesting would exhaust the stack, more elements
  // (uses referencing uses multiply them) time and memory, and a larger result the reader.
  static constexpr int kMaxDepth = 256;
  static constexpr size_t kMaxElements = 200000;

  // None, with a message in `error`, for text that is not XML or not an SVG document, and for a
  // picture beyond the limits or one that the reader could not take (too large, or a number
  // beyond the float range).
  // `maximumBytes` is what the picture may take once encoded: what a reader accepts, unless a
  // caller wants less.
  static std::optional<Conversion> convert(
      std::string_view text, std::string& error,
      size_t maximumBytes = static_cast<size_t>(ProtoSVGFile::kTotalBytesLimit));
  static std::optional<Conversion> convertFile(const std::string& path, std::string& error);

 private:
  // What an element inherits from where it stands.
  struct Context {
    ComputedStyle style;
    AffineTransform transform;  // the element's user space to the picture's
    double opacity = 1;         // the product of the enclosing groups' opacities
    Viewport viewport;
    ProtoSVGGeneralParams* container = nullptr;
    int stateDepth = 0;
    int depth = 0;  // elements above this one, uses' targets counted where they are drawn
  };

  // Refuses the picture with `message`; the walk stops.
  void fail(const std::string& message);

  explicit SvgConverter(Conversion& output) : _output(output) {}
  bool run(const pugi::xml_document& document, std::string& error);
  void collectIdentifiersAndStyles(const pugi::xml_node& node, int depth);
  void visit(const pugi::xml_node& element, const Context& parent);
  // A group-like element: its children under `context`, in a state group if its id names one.
  void visitChildren(const pugi::xml_node& element, const pugi::xml_node& childrenOf,
                     Context context);
  void visitUse(const pugi::xml_node& element, const Context& context);
  // Text and its spans as outlines of one line.
  void visitText(const pugi::xml_node& element, const Context& context);
  void emitShape(const pugi::xml_node& element, const Shape& shape, const Context& context);
  ResolvedPaint resolvePaint(const Paint& paint, const ComputedStyle& style,
                             const std::optional<Rect>& bounds, const Viewport& viewport);
  void reportUnsupportedStyle(const ComputedStyle& style);
  double flatteningTolerance(const AffineTransform& transform) const;

  Conversion& _output;
  std::unordered_map<std::string, pugi::xml_node> _elements;
  StyleSheet _styleSheet;
  std::optional<GradientResolver> _gradients;
  std::optional<GradientTable> _gradientTable;
  AffineTransform _rootTransform;
  std::set<const void*> _useStack;
  // Picture-space bounds of every shape drawn, to tell when folding a group opacity is exact.
  std::vector<Rect> _drawn;
  size_t _visited = 0;  // elements drawn, each use's copies counted again
  // The encoded size of the paths before the last one written: a picture that outgrows the
  // limit is refused as it grows rather than once all of it was made.
  size_t _maximumBytes = 0;
  size_t _writtenBytes = 0;
  const ProtoSVGElementPath* _lastPath = nullptr;
  std::string _failure;
};

}  // namespace svgconvert
