// Top/bottom frames: decorations along the top and bottom edges of the screen, where the call
// screen shows its bars; the middle stays clear for the picture.
#include <cmath>

#include "ArtItem.h"
#include "DefaultMask.h"
#include "Painter.h"
#include "Random.h"
#include "Shapes.h"

namespace {

using platform::FillRule;
using platform::Path;
using platform::Size;
constexpr double kPi = 3.14159265358979323846;

// Art that the default mask cuts fills a little more than the kept bands, so that the mask's
// fade, not the art's edge, makes the border.
constexpr double kBand = DefaultMask::kBandHeight + DefaultMask::kFadeHeight + 4;

Path topBand(Size s) {
  return Shapes::rect(0, 0, s.width, kBand);
}

// Draws `draw` once for the top band and once, turned upside down, for the bottom band.
template <class Draw>
void bothBands(Painter& p, Size s, Draw draw) {
  draw();
  p.save();
  p.translate(s.width, s.height);
  p.rotate(kPi);
  draw();
  p.restore();
}

void floralGarland(Painter& p, Size s) {
  bothBands(p, s, [&] {
    p.fillLinear(topBand(s), {0, 0}, {0, kBand},
                 {Color::hex(0xfbe3ea).stop(0), Color::hex(0xf7c6d4).stop(1)});
    Random random(61);
    for (double x = 14; x < s.width; x += 38) {
      double y = 80 + 10 * std::sin(x / 30);
      p.save();
      p.translate(x, y);
      p.rotate(random.range(-0.6, 0.6));
      p.fill(Shapes::ellipse(18, 6, 12, 5), Color::hex(0x6fae6a));
      p.fill(Shapes::ellipse(-16, 8, 11, 4.5), Color::hex(0x5a9656));
      p.restore();
      bool big = int(x / 38) % 2 == 0;
      p.fillRadial(Shapes::petals(x, y, big ? 20 : 14, big ? 9 : 7, 5, x), {x, y}, 22,
                   {Color::hex(0xffffff).stop(0.1), Color::hex(big ? 0xff7aa2 : 0xffc857).stop(1)});
      p.fill(Shapes::circle(x, y, big ? 5 : 4), Color::hex(0xf9a03f));
    }
    for (double x = 0; x < s.width; x += 16)
      p.fill(Shapes::circle(x + 8, 30 + 6 * std::sin(x), 2), Color::hex(0xffffff, 0.8));
  });
}

void seaWaves(Painter& p, Size s) {
  const std::uint32_t blues[] = {0x0e5a8a, 0x1f7fbf, 0x58b4e8, 0xa7dcf7};
  bothBands(p, s, [&] {
    for (int i = 0; i < 4; ++i) {
      double y = 100 - i * 20;
      p.fill(Shapes::wavyTopBand(s.width, y, 7, 70 - i * 6, i * 1.3), Color::hex(blues[i]));
    }
    Random random(62);
    for (int i = 0; i < 14; ++i)
      p.stroke(
          Shapes::circle(random.range(10, s.width - 10), random.range(8, 60), random.range(2, 5)),
          Color::hex(0xffffff, 0.7), 1.2);
  });
}

void bunting(Painter& p, Size s) {
  const std::uint32_t flags[] = {0xff5a5f, 0xffd23f, 0x3db2ff, 0x5fd35f, 0xb47cff};
  auto rope = [&](double y0, double sag) {
    Path line;
    line.moveToPoint(-5, y0);
    line.addCurveToPoint(s.width / 3, y0 + sag, 2 * s.width / 3, y0 + sag, s.width + 5, y0);
    p.stroke(line, Color::hex(0x7a5c3e), 2);
    int count = 9;
    for (int i = 0; i < count; ++i) {
      double t = (i + 0.5) / count;
      double x = -5 + t * (s.width + 10);
      double y = y0 + sag * 0.75 * 4 * t * (1 - t) * 1.0 + 1;
      Path flag;
      flag.moveToPoint(x - 15, y);
      flag.addLineToPoint(x + 15, y);
      flag.addLineToPoint(x, y + 36);
      flag.closeSubpath();
      p.fill(flag, Color::hex(flags[i % 5]));
      p.fill(Shapes::circle(x, y + 12, 3), Color::hex(0xffffff, 0.7));
    }
  };
  rope(8, 40);
  rope(2, 14);
  // Grass and flowers along the bottom.
  Path grass;
  grass.moveToPoint(0, s.height + 1);
  for (int i = 0; i <= 64; ++i) {
    double x = s.width * i / 64;
    grass.addLineToPoint(x, s.height - (i % 2 ? 40 + 10 * std::sin(i * 0.7) : 18));
  }
  grass.addLineToPoint(s.width, s.height + 1);
  grass.closeSubpath();
  p.fillLinear(grass, {0, s.height - 50}, {0, s.height},
               {Color::hex(0x8fd14f).stop(0), Color::hex(0x3f8f2f).stop(1)});
  Random random(63);
  for (int i = 0; i < 9; ++i) {
    double x = 18 + i * 36 + random.range(-6, 6), y = s.height - random.range(34, 56);
    p.stroke(Shapes::line(x, y, x, s.height), Color::hex(0x3f8f2f), 2);
    p.fill(Shapes::petals(x, y, 10, 5, 5, i), Color::hex(flags[i % 5]));
    p.fill(Shapes::circle(x, y, 3), Color::hex(0xffffff));
  }
}

void starryBands(Painter& p, Size s) {
  bothBands(p, s, [&] {
    p.fillLinear(topBand(s), {0, 0}, {0, kBand},
                 {Color::hex(0x0b1340).stop(0), Color::hex(0x27306e).stop(1)});
    Random random(64);
    for (int i = 0; i < 60; ++i)
      p.fill(
          Shapes::circle(random.range(0, s.width), random.range(0, kBand), random.range(0.5, 1.4)),
          Color::hex(0xffffff, random.range(0.4, 1)));
    for (int i = 0; i < 7; ++i) {
      double x = 20 + i * 46, y = random.range(30, 84), r = random.range(5, 9);
      p.fill(Shapes::star(x, y, r, r * 0.42, 5), Color::hex(0xffe38a));
    }
  });
  p.fill(Shapes::circle(s.width - 50, 46, 22), Color::hex(0xfff1b8));
  p.fillLinear(Shapes::circle(s.width - 40, 40, 20), {0, 0}, {0, kBand},
               {Color::hex(0x0b1340).stop(0), Color::hex(0x27306e).stop(1)});
}

void lace(Painter& p, Size s) {
  bothBands(p, s, [&] {
    Path band = Shapes::rect(-2, -2, s.width + 4, 62);
    for (double x = 0; x <= s.width + 20; x += 20) Shapes::append(band, Shapes::circle(x, 60, 10));
    Path holes;
    for (double x = 10; x < s.width; x += 20) Shapes::append(holes, Shapes::circle(x, 44, 4));
    for (double x = 0; x <= s.width + 20; x += 20) Shapes::append(holes, Shapes::circle(x, 62, 3));
    p.save();
    // The holes are cut: the lace is drawn inside everything but them.
    Path outside = Shapes::rect(-10, -10, s.width + 20, s.height + 20);
    Shapes::append(outside, holes);
    p.clip(outside, FillRule::EvenOdd);
    p.fill(band, Color::hex(0xfffaf3));
    p.restore();
    for (double x = 20; x < s.width; x += 40) {
      p.stroke(Shapes::petals(x, 20, 12, 5, 6), Color::hex(0xe6d5c3), 1.2);
      p.fill(Shapes::circle(x, 20, 2.5), Color::hex(0xe6d5c3));
    }
    p.stroke(Shapes::line(0, 32, s.width, 32), Color::hex(0xe6d5c3), 1);
  });
}

void heartBands(Painter& p, Size s) {
  bothBands(p, s, [&] {
    p.fillLinear(topBand(s), {0, 0}, {s.width, kBand},
                 {Color::hex(0xff8fab).stop(0), Color::hex(0xff4d80).stop(1)});
    Random random(66);
    for (int i = 0; i < 26; ++i) {
      double x = random.range(0, s.width), y = random.range(6, kBand - 10);
      p.save();
      p.translate(x, y);
      p.rotate(random.range(-0.5, 0.5));
      p.fill(Shapes::heart(0, 0, random.range(10, 26)),
             Color::hex(0xffffff, random.range(0.4, 0.9)));
      p.restore();
    }
  });
}

}  // namespace

std::vector<ArtItem> SamplePack::tbFrameItems() {
  return {ArtItem::fullScreen("tbframe1", ArtFormat::JpegDefaultMask, floralGarland,
                              Color::hex(0xf7c6d4)),
          ArtItem::fullScreen("tbframe2", ArtFormat::JpegWithMask, seaWaves, Color::hex(0x58b4e8)),
          ArtItem::fullScreen("tbframe3", ArtFormat::Png, bunting),
          ArtItem::fullScreen("tbframe4", ArtFormat::JpegDefaultMask, starryBands,
                              Color::hex(0x27306e)),
          ArtItem::fullScreen("tbframe5", ArtFormat::JpegWithMask, lace, Color::hex(0xfffaf3)),
          ArtItem::fullScreen("tbframe6", ArtFormat::JpegDefaultMask, heartBands,
                              Color::hex(0xff6d95))};
}
