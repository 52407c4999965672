#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SVGView/SVGRenderer.h"
#include "SvgConverter.h"
#include "TestSupport.h"

namespace converter_test {

// An SVG document with the namespaces, the root's attributes and its content.
inline std::string svg(const std::string& attributes, const std::string& body) {
  return R"~(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" )~" +
         attributes + ">" + body + "</svg>";
}

// Converts SVG text, failing the test when it is refused.
inline svgconvert::Conversion convert(const std::string& svg) {
  std::string error;
  auto conversion = svgconvert::SvgConverter::convert(svg, error);
  EXPECT_TRUE(conversion) << error;
  return conversion ? std::move(*conversion) : svgconvert::Conversion();
}

// Loads the converted picture into the renderer through a real file, as the program does.
inline bool load(const svgconvert::Conversion& conversion, SVGRenderer& renderer) {
  testing_support::TemporaryDirectory directory;
  testing_support::writeTextFile(directory.file("p.svgpb"), conversion.root.SerializeAsString());
  return renderer.load(directory.file("p.svgpb")) == 1;
}

// Every path of the picture in drawing order, through groups.
inline void collectPaths(const ProtoSVGGeneralParams& params,
                         std::vector<const ProtoSVGElementPath*>& out) {
  for (const ProtoSVGElement& element : params.children()) {
    if (element.has_path()) out.push_back(&element.path());
    if (element.has_group()) collectPaths(element.group(), out);
  }
}

inline std::vector<const ProtoSVGElementPath*> paths(const svgconvert::Conversion& conversion) {
  std::vector<const ProtoSVGElementPath*> out;
  collectPaths(conversion.root.params(), out);
  return out;
}

inline std::vector<const ProtoSVGElementGradient*> gradients(
    const svgconvert::Conversion& conversion) {
  std::vector<const ProtoSVGElementGradient*> out;
  for (const ProtoSVGElement& element : conversion.root.params().children())
    if (element.has_defs())
      for (const ProtoSVGElement& child : element.defs().children())
        if (child.has_gradient()) out.push_back(&child.gradient());
  return out;
}

inline void expectTransform(const ProtoAffineTransformMatrix& m, double a, double b, double c,
                            double d, double tx, double ty) {
  EXPECT_NEAR(m.a(), a, 1e-4);
  EXPECT_NEAR(m.b(), b, 1e-4);
  EXPECT_NEAR(m.c(), c, 1e-4);
  EXPECT_NEAR(m.d(), d, 1e-4);
  EXPECT_NEAR(m.tx(), tx, 1e-3);
  EXPECT_NEAR(m.ty(), ty, 1e-3);
}

}  // namespace converter_test
