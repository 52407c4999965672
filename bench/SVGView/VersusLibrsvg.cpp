// Side by side with librsvg, in one process, at the same pixel size (640 pixels wide): for each
// SVG file of a folder, librsvg's parse and render (rsvg_handle_new_from_data and
// rsvg_handle_render_document into a cairo image surface) against our load of the converted
// "svgpb" file and its render. The files are converted first, outside the timing. Each time is
// the median of several runs. With --encode both sides also encode the pixels as PNG (cairo's
// writer for librsvg, ours for us).
//
//   VersusLibrsvg [--encode] [--runs N] FOLDER
//
// librsvg is only ever linked here, never into the program.
#include <cairo.h>
#include <librsvg/rsvg.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Graphics/ImageEncoder.h"
#include "SVGView/SVGRenderer.h"
#include "SvgConverter.h"

namespace {

constexpr double kWidth = 640;

using Clock = std::chrono::steady_clock;

// Median times of both, run in turns so that a change in the machine's load hits both alike.
template <class Theirs, class Ours>
std::pair<double, double> medianMilliseconds(int runs, Theirs theirs, Ours ours) {
  std::vector<double> times[2];
  for (int i = 0; i < runs; ++i) {
    auto start = Clock::now();
    theirs();
    auto middle = Clock::now();
    ours();
    auto end = Clock::now();
    times[0].push_back(std::chrono::duration<double, std::milli>(middle - start).count());
    times[1].push_back(std::chrono::duration<double, std::milli>(end - middle).count());
  }
  for (auto& list : times) std::sort(list.begin(), list.end());
  return {times[0][runs / 2], times[1][runs / 2]};
}

cairo_status_t discard(void* closure, const unsigned char*, unsigned int length) {
  *static_cast<size_t*>(closure) += length;
  return CAIRO_STATUS_SUCCESS;
}

// librsvg: parse, render at 640 pixels wide (height by the picture's proportions), encode.
bool librsvgOnce(const std::string& svg, bool encode) {
  GError* error = nullptr;
  RsvgHandle* handle =
      rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(svg.data()), svg.size(), &error);
  if (!handle) {
    g_clear_error(&error);
    return false;
  }
  gdouble width = 0, height = 0;
  if (!rsvg_handle_get_intrinsic_size_in_pixels(handle, &width, &height) || width <= 0) {
    RsvgRectangle ink, logical;
    rsvg_handle_get_geometry_for_element(handle, nullptr, &ink, &logical, nullptr);
    width = logical.width, height = logical.height;
  }
  int h = std::max(1, static_cast<int>(std::lround(kWidth * height / std::max(width, 1.0))));
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, h);
  cairo_t* cr = cairo_create(surface);
  RsvgRectangle viewport{0, 0, kWidth, static_cast<double>(h)};
  bool drawn = rsvg_handle_render_document(handle, cr, &viewport, &error);
  g_clear_error(&error);
  cairo_destroy(cr);
  if (encode) {
    size_t bytes = 0;
    cairo_surface_write_to_png_stream(surface, discard, &bytes);
  }
  cairo_surface_destroy(surface);
  g_object_unref(handle);
  return drawn;
}

// Ours: load the converted file, render at 640 pixels wide, encode.
bool oursOnce(const std::string& path, bool encode) {
  SVGRenderer renderer;
  if (!renderer.load(path)) return false;
  const ProtoRect& v = renderer.root().viewport();
  if (!(v.width() > 0 && v.height() > 0)) return false;
  auto image = renderer.renderImage(kWidth, kWidth * v.height() / v.width(), 1);
  if (!image) return false;
  if (encode) platform::ImageEncoder::pngData(*image);
  return true;
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

int main(int argc, char** argv) {
  bool encode = false;
  int runs = 5;
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--encode") == 0) {
      encode = true;
    } else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else {
      folder = argv[i];
    }
  }
  if (folder.empty()) {
    std::fprintf(stderr, "usage: VersusLibrsvg [--encode] [--runs N] FOLDER\n");
    return 2;
  }
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().extension() == ".svg") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  std::filesystem::path scratch =
      std::filesystem::temp_directory_path() / ("versus-librsvg-" + std::to_string(getpid()));
  std::filesystem::create_directories(scratch);

  std::printf("%-44s %10s %10s %7s\n", "file", "librsvg ms", "ours ms", "ratio");
  double totalTheirs = 0, totalOurs = 0;
  int compared = 0;
  for (const auto& file : files) {
    std::string svg = readFile(file), error;
    auto conversion = svgconvert::SvgConverter::convert(svg, error);
    std::string converted = (scratch / file.filename()).string() + "pb";
    if (!conversion) {
      std::printf("%-44s not converted: %s\n", file.filename().c_str(), error.c_str());
      continue;
    }
    std::ofstream(converted, std::ios::binary) << conversion->root.SerializeAsString();
    if (!librsvgOnce(svg, encode) || !oursOnce(converted, encode)) {
      std::printf("%-44s not drawn by one side\n", file.filename().c_str());
      continue;
    }
    auto [theirs, ours] = medianMilliseconds(
        runs, [&] { librsvgOnce(svg, encode); }, [&] { oursOnce(converted, encode); });
    std::printf("%-44s %10.3f %10.3f %7.2f\n", file.filename().c_str(), theirs, ours,
                ours / theirs);
    totalTheirs += theirs, totalOurs += ours;
    ++compared;
  }
  std::filesystem::remove_all(scratch);
  std::printf("total (%d files%s)                    %10.2f %10.2f %7.3f\n", compared,
              encode ? ", PNG encoding included" : "", totalTheirs, totalOurs,
              totalOurs / totalTheirs);
  return 0;
}
