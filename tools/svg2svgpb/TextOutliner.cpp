#include "TextOutliner.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <sstream>

namespace svgconvert {
namespace {

std::string lowered(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The family names of a font-family list, unquoted and trimmed.
std::vector<std::string> familyNames(const std::string& families) {
  std::vector<std::string> names;
  std::stringstream list(families);
  for (std::string name; std::getline(list, name, ',');) {
    name.erase(0, name.find_first_not_of(" \t\n\"'"));
    name.erase(name.find_last_not_of(" \t\n\"'") + 1);
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

bool isGeneric(const std::string& name) {
  for (const char* generic : {"serif", "sans-serif", "monospace", "cursive", "fantasy", "sans"})
    if (lowered(name) == generic) return true;
  return false;
}

// The outline of cairo's current path.
PathGeometry geometryOf(cairo_t* cr) {
  PathGeometry geometry;
  cairo_path_t* path = cairo_copy_path(cr);
  for (int i = 0; path->status == CAIRO_STATUS_SUCCESS && i < path->num_data;
       i += path->data[i].header.length) {
    const cairo_path_data_t* d = &path->data[i];
    switch (d->header.type) {
      case CAIRO_PATH_MOVE_TO:
        geometry.moveTo({d[1].point.x, d[1].point.y});
        break;
      case CAIRO_PATH_LINE_TO:
        geometry.lineTo({d[1].point.x, d[1].point.y});
        break;
      case CAIRO_PATH_CURVE_TO:
        geometry.cubicTo({d[1].point.x, d[1].point.y}, {d[2].point.x, d[2].point.y},
                         {d[3].point.x, d[3].point.y});
        break;
      case CAIRO_PATH_CLOSE_PATH:
        geometry.close();
        break;
    }
  }
  cairo_path_destroy(path);
  return geometry;
}

}  // namespace

TextOutliner::Outline TextOutliner::outline(const std::string& text, const Font& font, Point origin,
                                            Anchor anchor) {
  Outline result;
  if (text.empty() || !(font.size > 0)) return result;
  cairo_surface_t* surface = cairo_recording_surface_create(CAIRO_CONTENT_ALPHA, nullptr);
  cairo_t* cr = cairo_create(surface);
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* description = pango_font_description_new();
  std::vector<std::string> names = familyNames(font.families);
  std::string families;
  for (const std::string& name : names) families += (families.empty() ? "" : ",") + name;
  pango_font_description_set_family(description,
                                    families.empty() ? "sans-serif" : families.c_str());
  pango_font_description_set_absolute_size(description, font.size * PANGO_SCALE);
  pango_font_description_set_weight(description, static_cast<PangoWeight>(font.weight));
  pango_font_description_set_stretch(description, static_cast<PangoStretch>(font.stretch));
  pango_font_description_set_style(description,
                                   font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
  pango_layout_set_font_description(layout, description);
  pango_layout_set_text(layout, text.c_str(), static_cast<int>(text.size()));

  // Which family fontconfig settled on, against the ones named.
  result.substituted = !names.empty();
  if (PangoFont* loaded = pango_context_load_font(pango_layout_get_context(layout), description)) {
    PangoFontDescription* used = pango_font_describe(loaded);
    std::string usedFamily = lowered(pango_font_description_get_family(used));
    for (const std::string& name : names)
      if (isGeneric(name) || lowered(name) == usedFamily) result.substituted = false;
    pango_font_description_free(used);
    g_object_unref(loaded);
  }

  PangoRectangle logical;
  pango_layout_get_extents(layout, nullptr, &logical);
  double width = static_cast<double>(logical.width) / PANGO_SCALE;
  double shift = anchor == Anchor::Middle ? width / 2 : anchor == Anchor::End ? width : 0;
  double baseline = static_cast<double>(pango_layout_get_baseline(layout)) / PANGO_SCALE;
  cairo_move_to(cr, origin.x - shift, origin.y - baseline);
  pango_cairo_layout_path(cr, layout);
  result.geometry = geometryOf(cr);

  pango_font_description_free(description);
  g_object_unref(layout);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  return result;
}

}  // namespace svgconvert
