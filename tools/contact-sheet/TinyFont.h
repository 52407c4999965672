#pragma once

#include <string_view>

#include "Graphics/BitmapContext.h"

// A 5x7-pixel font for the contact sheet's labels (lower-case letters, digits, "_", "-" and
// "."), drawn as filled squares so that no font library is needed. Other characters show as
// a hollow box.
namespace TinyFont {

inline constexpr int kGlyphWidth = 5, kGlyphHeight = 7, kAdvance = 6;

// Draws `text` with its top-left corner at (x, y) in a canvas whose y grows downward, each font
// pixel `size` canvas units wide, in the current fill colour.
void draw(platform::BitmapContext& context, std::string_view text, double x, double y,
          double size);

// The width of `text` in font pixels.
int width(std::string_view text);

}  // namespace TinyFont
