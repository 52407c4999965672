#pragma once

#include <cstdint>
#include <string>

#include "Graphics/BitmapContext.h"
#include "Graphics/Image.h"

// Drawing helpers shared by the review sheets, on a canvas laid out top-down (y grows downward).
// Colours are 0xRRGGBB.
namespace SheetDrawing {

void setColor(platform::BitmapContext& context, std::uint32_t rgb, double alpha = 1);
void fill(platform::BitmapContext& context, const platform::Rect& rect, std::uint32_t rgb,
          double alpha = 1);
// The picture as it is shown (rows flipped back for pictures stored upside down) in `rect`.
void drawShown(platform::BitmapContext& context, const platform::Image& image,
               const platform::Rect& rect);
// The picture at its pixel size, shrunk to fit `box` when larger, centred in it.
void drawCentred(platform::BitmapContext& context, const platform::Image& image,
                 const platform::Rect& box);
// The width a label takes in canvas units.
double labelWidth(const std::string& text, double size);
// One line of text, `size` canvas units high, from (x, y) at most `width` wide (longer text is
// shortened in the middle).
void drawLabel(platform::BitmapContext& context, const std::string& text, double x, double y,
               double size, double width, std::uint32_t rgb);
// Squares of two colours, so that transparency shows.
void checkerboard(platform::BitmapContext& context, const platform::Rect& box, std::uint32_t light,
                  std::uint32_t dark);
// A red cross over a picture that could not be drawn.
void crossOut(platform::BitmapContext& context, const platform::Rect& box);

}  // namespace SheetDrawing
