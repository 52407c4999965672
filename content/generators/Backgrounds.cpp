// Backgrounds: opaque full-screen pictures under the user's photo or in its place.
#include <cmath>

#include "ArtItem.h"
#include "Painter.h"
#include "Random.h"
#include "Shapes.h"

namespace {

using platform::Path;
using platform::Size;
constexpr double kPi = 3.14159265358979323846;

Path screenRect(Size s) {
  return Shapes::rect(0, 0, s.width, s.height);
}

void verticalGradient(Painter& p, Size s, const Color& top, const Color& bottom) {
  p.fillLinear(screenRect(s), {0, 0}, {0, s.height}, {top.stop(0), bottom.stop(1)});
}

// A closed hill line across the screen: smooth ridge through `ridge`, filled down to the bottom.
Path hills(Size s, const std::vector<platform::Point>& ridge) {
  Path path = Shapes::smoothLine(ridge);
  path.addLineToPoint(s.width + 10, s.height + 10);
  path.addLineToPoint(-10, s.height + 10);
  path.closeSubpath();
  return path;
}

void sunset(Painter& p, Size s) {
  p.fillLinear(screenRect(s), {0, 0}, {0, s.height},
               {Color::hex(0x2b1055).stop(0), Color::hex(0x7b2e8e).stop(0.35),
                Color::hex(0xf0736a).stop(0.62), Color::hex(0xffd08a).stop(0.8)});
  double sunY = s.height * 0.6;
  p.fillRadial(screenRect(s), {160, sunY}, 150,
               {Color::hex(0xfff3c4, 0.8).stop(0), Color::hex(0xffb36b, 0).stop(1)});
  p.fillLinear(Shapes::circle(160, sunY, 58), {0, sunY - 58}, {0, sunY + 58},
               {Color::hex(0xfff7d6).stop(0), Color::hex(0xffa94d).stop(1)});
  double h = s.height;
  p.fill(
      hills(s, {{-10, h * 0.66}, {70, h * 0.62}, {150, h * 0.68}, {240, h * 0.6}, {330, h * 0.65}}),
      Color::hex(0x8c3b6b));
  p.fill(hills(s, {{-10, h * 0.74}, {90, h * 0.7}, {200, h * 0.77}, {330, h * 0.71}}),
         Color::hex(0x5d2459));
  p.fill(hills(s, {{-10, h * 0.84}, {110, h * 0.8}, {230, h * 0.86}, {330, h * 0.82}}),
         Color::hex(0x341640));
  Random random(1);
  for (int i = 0; i < 5; ++i) {  // birds: two arcs each
    double x = random.range(40, 280), y = random.range(h * 0.2, h * 0.45), w = random.range(6, 11);
    Path bird;
    bird.moveToPoint(x - w, y);
    bird.addCurveToPoint(x - w / 2, y - w / 2, x - w / 4, y - w / 3, x, y + 1);
    bird.addCurveToPoint(x + w / 4, y - w / 3, x + w / 2, y - w / 2, x + w, y);
    p.stroke(bird, Color::hex(0x2b1035, 0.8), 1.6);
  }
}

void oceanWaves(Painter& p, Size s) {
  verticalGradient(p, s, Color::hex(0xbfe9ff), Color::hex(0x0b4f8a));
  const Color blues[] = {Color::hex(0x7cc6f2), Color::hex(0x4aa3df), Color::hex(0x2f86c9),
                         Color::hex(0x1d67a8), Color::hex(0x124b82), Color::hex(0x0a3463)};
  for (int i = 0; i < 6; ++i) {
    double y = s.height * (0.28 + 0.13 * i);
    Path band = Shapes::wavyBottomBand(s.width, y, s.height, 9 + 2 * i, 90 + 12 * i, i * 1.7);
    p.fill(band, blues[i]);
    Path foam = Shapes::wavyBottomBand(s.width, y, y + 3, 9 + 2 * i, 90 + 12 * i, i * 1.7);
    p.fill(foam, Color::hex(0xffffff, 0.35));
  }
  p.fillRadial(
      Shapes::circle(250, 70, 34), {250, 70}, 34,
      {Color::hex(0xffffff).stop(0), Color::hex(0xfff4b8).stop(0.7), Color::hex(0xffe27a).stop(1)});
}

void polkaDots(Painter& p, Size s) {
  verticalGradient(p, s, Color::hex(0xd9f7ee), Color::hex(0xb6e9dc));
  const Color dots[] = {Color::hex(0xffffff, 0.9), Color::hex(0xff9fb5, 0.85),
                        Color::hex(0xffd36e, 0.85)};
  int row = 0;
  for (double y = 10; y < s.height + 20; y += 34, ++row) {
    for (double x = (row % 2) * 20 - 10; x < s.width + 20; x += 40) {
      int kind = (row + int(x / 40)) % 3;
      p.fill(Shapes::circle(x, y, kind == 0 ? 9 : 7), dots[kind]);
    }
  }
}

void candyStripes(Painter& p, Size s) {
  p.fill(screenRect(s), Color::hex(0xfff1f5));
  p.save();
  p.translate(s.width / 2, s.height / 2);
  p.rotate(-kPi / 6);
  for (double x = -500; x < 500; x += 44) {
    p.fill(Shapes::rect(x, -500, 22, 1000), Color::hex(0xff8fb1));
    p.fill(Shapes::rect(x + 24, -500, 4, 1000), Color::hex(0xffc2d4));
  }
  p.restore();
  p.fillRadial(screenRect(s), {s.width / 2, s.height / 2}, s.height * 0.7,
               {Color::hex(0xffffff, 0.0).stop(0.45), Color::hex(0x9c2a59, 0.35).stop(1)});
}

void starryNight(Painter& p, Size s) {
  Color top = Color::hex(0x050a24), bottom = Color::hex(0x243a7a);
  verticalGradient(p, s, top, bottom);
  p.fillRadial(screenRect(s), {80, s.height * 0.9}, 260,
               {Color::hex(0x7a5cc9, 0.45).stop(0), Color::hex(0x7a5cc9, 0).stop(1)});
  Random random(5);
  for (int i = 0; i < 140; ++i) {
    double x = random.range(0, s.width), y = random.range(0, s.height);
    double r = random.range(0.4, 1.5);
    p.fill(Shapes::circle(x, y, r), Color::hex(0xffffff, random.range(0.4, 1)));
  }
  for (int i = 0; i < 9; ++i) {
    double x = random.range(10, s.width - 10), y = random.range(10, s.height * 0.8);
    double r = random.range(4, 8);
    p.fill(Shapes::star(x, y, r, r * 0.22, 4), Color::hex(0xfffbe0));
  }
  // A crescent: the moon, then sky drawn over part of it.
  double mx = 236, my = 92;
  p.fillRadial(Shapes::circle(mx, my, 60), {mx, my}, 60,
               {Color::hex(0xfff6c8, 0.35).stop(0.5), Color::hex(0xfff6c8, 0).stop(1)});
  p.fill(Shapes::circle(mx, my, 34), Color::hex(0xfff4c2));
  p.fillLinear(Shapes::circle(mx + 16, my - 10, 31), {0, 0}, {0, s.height},
               {top.stop(0), bottom.stop(1)});
}

void bokeh(Painter& p, Size s) {
  p.fillLinear(screenRect(s), {0, 0}, {s.width, s.height},
               {Color::hex(0x0f3443).stop(0), Color::hex(0x34325e).stop(0.55),
                Color::hex(0x6b2c5f).stop(1)});
  Random random(6);
  const Color tints[] = {Color::hex(0xffd27f), Color::hex(0xff8fc6), Color::hex(0x9ee7ff),
                         Color::hex(0xffffff)};
  for (int i = 0; i < 46; ++i) {
    double x = random.range(-20, s.width + 20), y = random.range(-20, s.height + 20);
    double r = random.range(8, 42);
    const Color& c = tints[i % 4];
    double a = random.range(0.12, 0.4);
    p.fillRadial(
        Shapes::circle(x, y, r), {x, y}, r,
        {c.withAlpha(a * 0.6).stop(0), c.withAlpha(a).stop(0.85), c.withAlpha(a * 0.3).stop(1)});
  }
}

void sunburst(Painter& p, Size s) {
  double cx = s.width / 2, cy = s.height * 0.42;
  p.fill(screenRect(s), Color::hex(0xffb347));
  const int rays = 24;
  for (int i = 0; i < rays; i += 2) {
    double a0 = 2 * kPi * i / rays, a1 = 2 * kPi * (i + 1) / rays;
    Path ray;
    ray.moveToPoint(cx, cy);
    ray.addLineToPoint(cx + 900 * std::cos(a0), cy + 900 * std::sin(a0));
    ray.addLineToPoint(cx + 900 * std::cos(a1), cy + 900 * std::sin(a1));
    ray.closeSubpath();
    p.fill(ray, Color::hex(0xffcc66));
  }
  p.fillRadial(screenRect(s), {cx, cy}, s.height * 0.75,
               {Color::hex(0xfff5d6, 0.9).stop(0), Color::hex(0xfff5d6, 0).stop(0.45),
                Color::hex(0xd9572b, 0.45).stop(1)});
}

void heartsPattern(Painter& p, Size s) {
  verticalGradient(p, s, Color::hex(0xffe3ec), Color::hex(0xffc9d9));
  int row = 0;
  for (double y = 18; y < s.height + 20; y += 40, ++row)
    for (double x = (row % 2) * 26 + 6; x < s.width + 20; x += 52) {
      p.save();
      p.translate(x, y);
      p.rotate((row % 2 ? -1 : 1) * 0.25);
      p.fill(Shapes::heart(0, 0, row % 3 == 0 ? 20 : 14),
             row % 3 == 0 ? Color::hex(0xff6f91, 0.85) : Color::hex(0xffffff, 0.9));
      p.restore();
    }
}

void lowPoly(Painter& p, Size s) {
  Random random(9);
  const int cols = 6, rows = 12;
  double cw = s.width / cols, ch = s.height / rows;
  std::vector<platform::Point> grid((cols + 1) * (rows + 1));
  for (int r = 0; r <= rows; ++r)
    for (int c = 0; c <= cols; ++c) {
      bool edge = r == 0 || c == 0 || r == rows || c == cols;
      grid[r * (cols + 1) + c] = {c * cw + (edge ? 0 : random.range(-cw * 0.3, cw * 0.3)),
                                  r * ch + (edge ? 0 : random.range(-ch * 0.3, ch * 0.3))};
    }
  Color from = Color::hex(0x2ec4b6), to = Color::hex(0x3d348b);
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      platform::Point a = grid[r * (cols + 1) + c], b = grid[r * (cols + 1) + c + 1];
      platform::Point d = grid[(r + 1) * (cols + 1) + c], e = grid[(r + 1) * (cols + 1) + c + 1];
      for (int half = 0; half < 2; ++half) {
        platform::Point p0 = a, p1 = half ? e : b, p2 = half ? d : e;
        double t = ((p0.y + p1.y + p2.y) / 3 / s.height + (p0.x + p1.x + p2.x) / 3 / s.width * 0.4);
        Color c0 = from.mix(to, std::clamp(t / 1.2 + random.range(-0.06, 0.06), 0.0, 1.0));
        Path tri;
        tri.moveToPoint(p0.x, p0.y);
        tri.addLineToPoint(p1.x, p1.y);
        tri.addLineToPoint(p2.x, p2.y);
        tri.closeSubpath();
        p.fill(tri, c0);
        p.stroke(tri, c0, 0.8);  // hides the hairline seams between triangles
      }
    }
}

void chevrons(Painter& p, Size s) {
  p.fill(screenRect(s), Color::hex(0xf7f3e9));
  const Color colours[] = {Color::hex(0x26a69a), Color::hex(0xf4a261), Color::hex(0xe76f51)};
  int i = 0;
  for (double y = -20; y < s.height + 40; y += 36, ++i) {
    Path zig;
    zig.moveToPoint(-20, y);
    for (double x = -20; x <= s.width + 40; x += 40) {
      zig.addLineToPoint(x + 20, y - 14);
      zig.addLineToPoint(x + 40, y);
    }
    p.stroke(zig, colours[i % 3], 12);
  }
}

void aurora(Painter& p, Size s) {
  verticalGradient(p, s, Color::hex(0x020615), Color::hex(0x0d2b3e));
  Random random(11);
  for (int i = 0; i < 90; ++i)
    p.fill(Shapes::circle(random.range(0, s.width), random.range(0, s.height * 0.7),
                          random.range(0.4, 1.2)),
           Color::hex(0xffffff, random.range(0.3, 0.9)));
  const Color curtains[] = {Color::hex(0x3dff9e), Color::hex(0x7cf7d4), Color::hex(0xb77bff)};
  for (int i = 0; i < 3; ++i) {
    double base = s.height * (0.3 + 0.09 * i);
    std::vector<platform::Point> ridge;
    for (int k = 0; k <= 6; ++k)
      ridge.push_back({-20 + k * 60.0, base + 40 * std::sin(k * 1.1 + i * 2.0)});
    Path curtain = Shapes::smoothLine(ridge);
    std::vector<platform::Point> top;
    for (int k = 6; k >= 0; --k) top.push_back({-20 + k * 60.0, ridge[k].y - 150 - 30 * i});
    curtain.addLineToPoint(top[0].x, top[0].y);
    for (const platform::Point& q : top) curtain.addLineToPoint(q.x, q.y);
    curtain.closeSubpath();
    p.fillLinear(curtain, {0, base - 170}, {0, base + 30},
                 {curtains[i].withAlpha(0).stop(0), curtains[i].withAlpha(0.35).stop(0.75),
                  curtains[i].withAlpha(0.6).stop(1)});
  }
  double h = s.height;
  p.fill(hills(s, {{-10, h * 0.78},
                   {50, h * 0.7},
                   {110, h * 0.76},
                   {180, h * 0.66},
                   {260, h * 0.75},
                   {330, h * 0.7}}),
         Color::hex(0x0a1624));
  p.fill(hills(s, {{-10, h * 0.88}, {120, h * 0.83}, {230, h * 0.9}, {330, h * 0.85}}),
         Color::hex(0x040a12));
}

void cloudySky(Painter& p, Size s) {
  verticalGradient(p, s, Color::hex(0x5fb4f5), Color::hex(0xd7efff));
  auto cloud = [&](double x, double y, double size) {
    Path puff;
    Shapes::append(puff, Shapes::circle(x, y, size * 0.5));
    Shapes::append(puff, Shapes::circle(x - size * 0.55, y + size * 0.15, size * 0.36));
    Shapes::append(puff, Shapes::circle(x + size * 0.6, y + size * 0.12, size * 0.4));
    Shapes::append(puff, Shapes::roundedRect(x - size * 0.9, y + size * 0.05, size * 1.9,
                                             size * 0.42, size * 0.2));
    p.save();
    p.translate(3, 5);
    p.fill(puff, Color::hex(0x3d7fb8, 0.18));
    p.restore();
    p.fillLinear(puff, {0, y - size * 0.5}, {0, y + size * 0.5},
                 {Color::hex(0xffffff).stop(0.4), Color::hex(0xe4eef7).stop(1)});
  };
  cloud(90, s.height * 0.16, 70);
  cloud(250, s.height * 0.34, 56);
  cloud(70, s.height * 0.55, 48);
  cloud(230, s.height * 0.74, 80);
  cloud(60, s.height * 0.92, 60);
}

}  // namespace

std::vector<ArtItem> SamplePack::backgroundItems() {
  return {ArtItem::fullScreen("fon1", ArtFormat::Jpeg, sunset),
          ArtItem::fullScreen("fon2", ArtFormat::Jpeg, oceanWaves),
          ArtItem::fullScreen("fon3", ArtFormat::Png, polkaDots),
          ArtItem::fullScreen("fon4", ArtFormat::Jpeg, candyStripes),
          ArtItem::fullScreen("fon5", ArtFormat::Jpeg, starryNight),
          ArtItem::fullScreen("fon6", ArtFormat::Jpeg, bokeh),
          ArtItem::fullScreen("fon7", ArtFormat::Jpeg, sunburst),
          ArtItem::fullScreen("fon8", ArtFormat::Png, heartsPattern),
          ArtItem::fullScreen("fon9", ArtFormat::Jpeg, lowPoly),
          ArtItem::fullScreen("fon10", ArtFormat::Png, chevrons),
          ArtItem::fullScreen("fon11", ArtFormat::Jpeg, aurora),
          ArtItem::fullScreen("fon12", ArtFormat::Jpeg, cloudySky)};
}
