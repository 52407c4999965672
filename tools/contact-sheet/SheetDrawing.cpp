#include "SheetDrawing.h"

#include <algorithm>

#include "Graphics/TextRenderer.h"

namespace SheetDrawing {

using platform::BitmapContext;
using platform::GStateSaver;
using platform::Image;
using platform::Rect;

void setColor(BitmapContext& context, std::uint32_t rgb, double alpha) {
  context.setFillColor(((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                       (rgb & 0xFF) / 255.0, alpha);
}

void fill(BitmapContext& context, const Rect& rect, std::uint32_t rgb, double alpha) {
  setColor(context, rgb, alpha);
  context.fillRect(rect);
}

// Draws the picture as it is shown (rows flipped back for pictures stored upside down) into
// `rect` of a canvas whose y grows downward.
void drawShown(BitmapContext& context, const Image& image, const Rect& rect) {
  if (image.orientation() == platform::ImageOrientation::DownMirrored) {
    context.drawImage(rect, image);
    return;
  }
  GStateSaver saved(context);
  context.translateCTM(rect.origin.x, rect.origin.y + rect.size.height);
  context.scaleCTM(1, -1);
  context.drawImage(Rect(0, 0, rect.size.width, rect.size.height), image);
}

// The picture at its pixel size, shrunk to fit `box` when larger, centred in it.
void drawCentred(BitmapContext& context, const Image& image, const Rect& box) {
  double w = image.pixelWidth(), h = image.pixelHeight();
  double f = std::min({1.0, box.size.width / w, box.size.height / h});
  w *= f;
  h *= f;
  drawShown(context, image,
            Rect(box.origin.x + (box.size.width - w) / 2, box.origin.y + (box.size.height - h) / 2,
                 w, h));
}

namespace {

platform::TextRenderer::Style labelStyle(double size, std::uint32_t rgb) {
  platform::TextRenderer::Style style;
  style.font = platform::UIFont::fontWithName("Helvetica", size);
  style.color = platform::UIColor::colorWithRed(
      ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, 1);
  style.lineBreakMode = platform::NSLineBreakMode::TruncatingMiddle;
  return style;
}

}  // namespace

// The width a label takes in canvas units.
double labelWidth(const std::string& text, double size) {
  return platform::TextRenderer::sizeOfText(text, labelStyle(size, 0), 0).width;
}

// One line of text, `size` canvas units high, from (x, y) at most `width` wide (longer text
// is shortened in the middle).
void drawLabel(BitmapContext& context, const std::string& text, double x, double y, double size,
               double width, std::uint32_t rgb) {
  if (auto image =
          platform::TextRenderer::renderText(text, labelStyle(size, rgb), {width, size * 1.25}, 1))
    drawShown(context, *image, Rect(x, y, width, size * 1.25));
}

void checkerboard(BitmapContext& context, const Rect& box, std::uint32_t light,
                  std::uint32_t dark) {
  fill(context, box, light);
  setColor(context, dark);
  context.beginPath();
  const int square = 8;
  for (int y = 0; y * square < box.size.height; ++y)
    for (int x = 0; x * square < box.size.width; ++x)
      if ((x + y) % 2)
        context.addRect(Rect(box.origin.x + x * square, box.origin.y + y * square,
                             std::min<double>(square, box.size.width - x * square),
                             std::min<double>(square, box.size.height - y * square)));
  context.fillPath();
}

void crossOut(BitmapContext& context, const Rect& box) {
  setColor(context, 0xe53935);
  GStateSaver saved(context);
  context.beginPath();
  context.moveToPoint(box.origin.x, box.origin.y);
  context.addLineToPoint(box.maxX(), box.maxY());
  context.moveToPoint(box.maxX(), box.origin.y);
  context.addLineToPoint(box.origin.x, box.maxY());
  context.fillStrokeOfPath();
}

}  // namespace SheetDrawing
