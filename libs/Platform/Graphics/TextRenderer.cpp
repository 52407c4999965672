#include "Graphics/TextRenderer.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>

#include "Graphics/Bitmap.h"

namespace platform {
namespace {

// The process's font map. It lives until the process ends: releasing it and fontconfig's caches
// at exit races with worker threads still measuring text, and fontconfig aborts when a cache is
// still in use. Its allocations are suppressed in the leak checker's list (tests/lsan.supp).
class FontMap {
 public:
  FontMap() {
    _map = pango_cairo_font_map_new();
    _context = pango_font_map_create_context(_map);
    // Unhinted metrics: text measured at one scale fits the same box at another.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(_context, options);
    cairo_font_options_destroy(options);
  }
  PangoContext* context() const { return _context; }

 private:
  PangoFontMap* _map;
  PangoContext* _context;
};

FontMap& fontMap() {
  static FontMap* map = new FontMap();
  return *map;
}

struct Layout {
  PangoLayout* layout;
  ~Layout() { g_object_unref(layout); }
};

Layout makeLayout(const std::string& text, const TextRenderer::Style& style, double width) {
  PangoLayout* layout = pango_layout_new(fontMap().context());
  pango_layout_set_text(layout, text.data(), static_cast<int>(text.size()));
  PangoFontDescription* font =
      pango_font_description_from_string(style.font.pangoDescription().c_str());
  pango_layout_set_font_description(layout, font);
  pango_font_description_free(font);
  switch (style.alignment) {
    case NSTextAlignment::Center:
      pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
      break;
    case NSTextAlignment::Right:
      pango_layout_set_alignment(layout, PANGO_ALIGN_RIGHT);
      break;
    default:
      pango_layout_set_alignment(layout, PANGO_ALIGN_LEFT);
  }
  if (width > 0) pango_layout_set_width(layout, static_cast<int>(width * PANGO_SCALE));
  bool wraps = style.numberOfLines != 1;
  pango_layout_set_wrap(layout, style.lineBreakMode == NSLineBreakMode::CharWrapping
                                    ? PANGO_WRAP_CHAR
                                    : PANGO_WRAP_WORD_CHAR);
  if (!wraps && width > 0) {
    pango_layout_set_height(layout, -1);  // one line
    switch (style.lineBreakMode) {
      case NSLineBreakMode::TruncatingHead:
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_START);
        break;
      case NSLineBreakMode::TruncatingMiddle:
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_MIDDLE);
        break;
      case NSLineBreakMode::TruncatingTail:
      case NSLineBreakMode::WordWrapping:
      case NSLineBreakMode::CharWrapping:
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
        break;
      case NSLineBreakMode::Clipping:
        break;
    }
  } else if (style.numberOfLines > 1 && width > 0) {
    pango_layout_set_height(layout, -style.numberOfLines);
    pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
  }
  if (!wraps && width <= 0) pango_layout_set_width(layout, -1);
  return Layout{layout};
}

}  // namespace

Size TextRenderer::sizeOfText(const std::string& text, const Style& style, double width) {
  Layout layout = makeLayout(text, style, width);
  PangoRectangle logical;
  pango_layout_get_extents(layout.layout, nullptr, &logical);
  return {std::ceil(static_cast<double>(logical.width) / PANGO_SCALE),
          std::ceil(static_cast<double>(logical.height) / PANGO_SCALE)};
}

std::shared_ptr<Image> TextRenderer::renderText(const std::string& text, const Style& style,
                                                Size box, double scale) {
  int w = Bitmap::pixelLength(box.width, scale);
  int h = Bitmap::pixelLength(box.height, scale);
  if (w <= 0 || h <= 0) return nullptr;
  auto bitmap = Bitmap::create(w, h, PixelFormat::ARGB32Premultiplied);
  if (!bitmap) return nullptr;
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      bitmap->data(), CAIRO_FORMAT_ARGB32, w, h, static_cast<int>(bitmap->bytesPerRow()));
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, scale, scale);
  Layout layout = makeLayout(text, style, box.width);
  pango_cairo_update_context(cr, fontMap().context());
  pango_layout_context_changed(layout.layout);
  PangoRectangle logical;
  pango_layout_get_extents(layout.layout, nullptr, &logical);
  double textHeight = static_cast<double>(logical.height) / PANGO_SCALE;
  double y = std::floor((box.height - textHeight) / 2 * scale) / scale;
  cairo_move_to(cr, 0, y);
  cairo_set_source_rgba(cr, style.color.red, style.color.green, style.color.blue,
                        style.color.alpha);
  pango_cairo_show_layout(cr, layout.layout);
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  cairo_surface_destroy(surface);
  return Image::imageWithBitmap(std::move(bitmap), scale);
}

}  // namespace platform
