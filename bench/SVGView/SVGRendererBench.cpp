// The vector renderer on a synthetic picture of 2,000 curved paths (solid and gradient fills) at
// 640x960 pixels: the first draw (paths and gradients built) and later draws (cached), beside the
// same geometry drawn with plain cairo calls. Argument 1 adds a stroke to every path, and makes a
// quarter of the paths translucent outlines (no fill, stroke at opacity 0.5).
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <random>

#include "SVGView/SVGRenderer.h"
#include "TestSupport.h"

namespace {

constexpr int kPaths = 2000, kGradients = 10;
constexpr float kWidth = 320, kHeight = 480;  // picture units; drawn at twice that

struct Blob {
  float cx, cy, r;
  int red, green, blue;
  int gradient;  // -1: solid
};

std::vector<Blob> blobs() {
  std::mt19937 random(42);
  std::uniform_real_distribution<float> x(0, kWidth), y(0, kHeight), r(4, 30);
  std::uniform_int_distribution<int> channel(0, 255), kind(0, 3), which(0, kGradients - 1);
  std::vector<Blob> list;
  for (int i = 0; i < kPaths; ++i)
    list.push_back({x(random), y(random), r(random), channel(random), channel(random),
                    channel(random), kind(random) == 0 ? which(random) : -1});
  return list;
}

// The four curves of a rounded blob around (cx, cy), as both drawings trace them.
template <class Curve>
void trace(const Blob& b, Curve curve) {
  float k = 0.55f * b.r;
  curve(b.cx + b.r, b.cy, b.cx + b.r, b.cy + k, b.cx + k, b.cy + b.r, b.cx, b.cy + b.r);
  curve(b.cx, b.cy + b.r, b.cx - k, b.cy + b.r, b.cx - b.r, b.cy + k, b.cx - b.r, b.cy);
  curve(b.cx - b.r, b.cy, b.cx - b.r, b.cy - k, b.cx - k, b.cy - b.r, b.cx, b.cy - b.r);
  curve(b.cx, b.cy - b.r, b.cx + k, b.cy - b.r, b.cx + b.r, b.cy - k, b.cx + b.r, b.cy);
}

bool translucentOutline(size_t index) {
  return index % 4 == 0;
}

std::string pictureFile(const testing_support::TemporaryDirectory& directory, bool strokes) {
  ProtoSVGRoot root;
  for (ProtoRect* r : {root.mutable_viewport(), root.mutable_view_box()}) {
    r->set_width(kWidth);
    r->set_height(kHeight);
  }
  auto* defs = root.mutable_params()->add_children()->mutable_defs();
  for (int g = 0; g < kGradients; ++g) {
    auto* gradient = defs->add_children()->mutable_gradient();
    gradient->mutable_params()->set_id("g" + std::to_string(g));
    gradient->mutable_start()->set_x(0);
    gradient->mutable_end()->set_x(kWidth);
    gradient->mutable_end()->set_y(kHeight);
    for (int s = 0; s < 2; ++s) {
      auto* stop = gradient->add_stops();
      stop->set_offset(s);
      stop->mutable_color()->set_red(s ? 255 : 25 * g);
      stop->mutable_color()->set_blue(s ? 25 * g : 255);
    }
  }
  std::vector<Blob> list = blobs();
  for (size_t i = 0; i < list.size(); ++i) {
    const Blob& b = list[i];
    auto* path = root.mutable_params()->add_children()->mutable_path();
    auto* start = path->add_points()->mutable_move_to();
    start->set_x(b.cx + b.r);
    start->set_y(b.cy);
    trace(b, [&](float, float, float x1, float y1, float x2, float y2, float x, float y) {
      auto* c = path->add_points()->mutable_curve_to();
      c->set_x1(x1), c->set_y1(y1), c->set_x2(x2), c->set_y2(y2), c->set_x(x), c->set_y(y);
    });
    path->add_points()->set_close(true);
    auto* fill = path->mutable_params()->mutable_fill();
    if (b.gradient >= 0) {
      fill->set_gradient_id("g" + std::to_string(b.gradient));
    } else {
      fill->mutable_color()->set_red(b.red);
      fill->mutable_color()->set_green(b.green);
      fill->mutable_color()->set_blue(b.blue);
    }
    if (!strokes) continue;
    auto* stroke = path->mutable_params()->mutable_stroke()->mutable_color();
    stroke->set_red(255 - b.red);
    stroke->set_green(255 - b.green);
    stroke->set_blue(255 - b.blue);
    if (translucentOutline(i)) {
      path->mutable_params()->mutable_fill()->Clear();
      path->mutable_params()->mutable_fill()->set_none(true);
      path->mutable_params()->set_opacity(0.5);
    }
  }
  std::string path = directory.file("blobs.svgpb");
  FILE* file = std::fopen(path.c_str(), "wb");
  std::string bytes = root.SerializeAsString();
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  return path;
}

void BM_RendererFirstDraw(benchmark::State& state) {
  testing_support::TemporaryDirectory directory;
  std::string file = pictureFile(directory, state.range(0));
  auto context = platform::BitmapContext::create(640, 960, true);
  for (auto _ : state) {
    state.PauseTiming();
    SVGRenderer renderer;
    renderer.load(file);
    state.ResumeTiming();
    renderer.drawInContext(*context, 640, 960);
  }
}

void BM_RendererCachedDraw(benchmark::State& state) {
  testing_support::TemporaryDirectory directory;
  SVGRenderer renderer;
  renderer.load(pictureFile(directory, state.range(0)));
  renderer.prepare();
  auto context = platform::BitmapContext::create(640, 960, true);
  for (auto _ : state) renderer.drawInContext(*context, 640, 960);
}

void BM_RawCairoDraw(benchmark::State& state) {
  bool strokes = state.range(0);
  std::vector<Blob> list = blobs();
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 640, 960);
  cairo_t* cr = cairo_create(surface);
  std::vector<cairo_pattern_t*> gradients;
  for (int g = 0; g < kGradients; ++g) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, kWidth, kHeight);
    cairo_pattern_add_color_stop_rgba(p, 0, 25 * g / 255.0, 0, 1, 1);
    cairo_pattern_add_color_stop_rgba(p, 1, 1, 0, 25 * g / 255.0, 1);
    cairo_pattern_set_extend(p, CAIRO_EXTEND_PAD);
    gradients.push_back(p);
  }
  for (auto _ : state) {
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_save(cr);
    cairo_scale(cr, 2, 2);
    for (size_t i = 0; i < list.size(); ++i) {
      const Blob& b = list[i];
      bool outline = strokes && translucentOutline(i);
      cairo_new_path(cr);
      cairo_move_to(cr, b.cx + b.r, b.cy);
      trace(b, [&](float, float, float x1, float y1, float x2, float y2, float x, float y) {
        cairo_curve_to(cr, x1, y1, x2, y2, x, y);
      });
      cairo_close_path(cr);
      if (outline) {
      } else if (b.gradient >= 0) {
        cairo_set_source(cr, gradients[b.gradient]);
        cairo_fill_preserve(cr);
      } else {
        cairo_set_source_rgba(cr, b.red / 255.0, b.green / 255.0, b.blue / 255.0, 1);
        cairo_fill_preserve(cr);
      }
      if (strokes) {
        cairo_set_line_width(cr, 1);
        cairo_set_source_rgba(cr, 1 - b.red / 255.0, 1 - b.green / 255.0, 1 - b.blue / 255.0,
                              outline ? 0.5 : 1);
        cairo_stroke(cr);
      }
    }
    cairo_restore(cr);
    cairo_surface_flush(surface);
  }
  for (auto* p : gradients) cairo_pattern_destroy(p);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

}  // namespace

BENCHMARK(BM_RendererFirstDraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RendererCachedDraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RawCairoDraw)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
