// Photo frames: full-screen pictures with a see-through window for the photo.
#include <cmath>

#include "ArtItem.h"
#include "Painter.h"
#include "Random.h"
#include "Shapes.h"

namespace {

using platform::FillRule;
using platform::Path;
using platform::Size;
constexpr double kPi = 3.14159265358979323846;

// The screen less a window: filled with the even-odd rule it leaves the window open.
Path around(Size s, const Path& window) {
  Path path = Shapes::rect(-2, -2, s.width + 4, s.height + 4);
  Shapes::append(path, window);
  return path;
}

void goldOrnate(Painter& p, Size s) {
  const double border = 26;
  Path window =
      Shapes::roundedRect(border, border, s.width - 2 * border, s.height - 2 * border, 14);
  Path frame = around(s, window);
  p.fillLinear(frame, {0, 0}, {s.width, s.height},
               {Color::hex(0x8a6a1f).stop(0), Color::hex(0xf4dc8a).stop(0.25),
                Color::hex(0xb8892b).stop(0.5), Color::hex(0xfbe9a8).stop(0.75),
                Color::hex(0x7d5c18).stop(1)},
               FillRule::EvenOdd);
  p.stroke(Shapes::roundedRect(8, 8, s.width - 16, s.height - 16, 8), Color::hex(0x6b4e12, 0.7), 2);
  p.stroke(window, Color::hex(0x5a400c), 3);
  p.stroke(Shapes::roundedRect(border - 6, border - 6, s.width - 2 * border + 12,
                               s.height - 2 * border + 12, 18),
           Color::hex(0xfff3c7, 0.8), 1.2);
  const platform::Point corners[] = {{border, border},
                                     {s.width - border, border},
                                     {border, s.height - border},
                                     {s.width - border, s.height - border}};
  for (const platform::Point& c : corners) {
    p.fill(Shapes::circle(c.x, c.y, 17), Color::hex(0xb8892b));
    p.fillRadial(Shapes::petals(c.x, c.y, 16, 6, 8, kPi / 8), {c.x - 4, c.y - 4}, 20,
                 {Color::hex(0xfff6d0).stop(0), Color::hex(0xc9982f).stop(1)});
    p.fillRadial(Shapes::circle(c.x, c.y, 5), {c.x - 1.5, c.y - 1.5}, 5,
                 {Color::hex(0xffffff).stop(0), Color::hex(0xd23a3a).stop(0.5),
                  Color::hex(0x7a1010).stop(1)});
  }
  for (double x = 70; x < s.width - 60; x += 45) {
    p.fill(Shapes::polygon(x, 13, 4, 4), Color::hex(0xfff3c7, 0.9));
    p.fill(Shapes::polygon(x, s.height - 13, 4, 4), Color::hex(0xfff3c7, 0.9));
  }
}

void wooden(Painter& p, Size s) {
  const double border = 30;
  Path window = Shapes::rect(border, border, s.width - 2 * border, s.height - 2 * border);
  Path frame = around(s, window);
  p.fill(frame, Color::hex(0x8b5a2b), FillRule::EvenOdd);
  p.save();
  p.clip(frame, FillRule::EvenOdd);
  Random random(21);
  for (int i = 0; i < 60; ++i) {
    double y = random.range(-10, s.height + 10);
    std::vector<platform::Point> grain;
    for (double x = -10; x <= s.width + 10; x += 40) grain.push_back({x, y + random.range(-3, 3)});
    p.stroke(Shapes::smoothLine(grain), Color::hex(random.next() < 0.5 ? 0x5e3a17 : 0xb07a45, 0.5),
             random.range(0.6, 2));
  }
  // Bevels: light from the top left.
  Path top;
  top.moveToPoint(0, 0);
  top.addLineToPoint(s.width, 0);
  top.addLineToPoint(s.width - border, border);
  top.addLineToPoint(border, border);
  top.closeSubpath();
  p.fill(top, Color::hex(0xffffff, 0.18));
  Path left;
  left.moveToPoint(0, 0);
  left.addLineToPoint(border, border);
  left.addLineToPoint(border, s.height - border);
  left.addLineToPoint(0, s.height);
  left.closeSubpath();
  p.fill(left, Color::hex(0xffffff, 0.08));
  Path bottom;
  bottom.moveToPoint(0, s.height);
  bottom.addLineToPoint(border, s.height - border);
  bottom.addLineToPoint(s.width - border, s.height - border);
  bottom.addLineToPoint(s.width, s.height);
  bottom.closeSubpath();
  p.fill(bottom, Color::hex(0x000000, 0.25));
  p.restore();
  p.stroke(window, Color::hex(0x3b2410), 2.5);
  p.stroke(
      Shapes::rect(border - 5, border - 5, s.width - 2 * border + 10, s.height - 2 * border + 10),
      Color::hex(0xd9a066, 0.6), 1);
}

void polaroid(Painter& p, Size s) {
  Path window = Shapes::rect(22, 22, s.width - 44, s.height - 112);
  Path frame = around(s, window);
  p.fillLinear(frame, {0, 0}, {s.width, s.height},
               {Color::hex(0xfdfdfb).stop(0), Color::hex(0xeeece6).stop(1)}, FillRule::EvenOdd);
  p.stroke(window, Color::hex(0x000000, 0.12), 2);
  // Two strips of tape holding the print.
  for (int side = 0; side < 2; ++side) {
    p.save();
    p.translate(side ? s.width - 40 : 40, 20);
    p.rotate(side ? 0.6 : -0.6);
    p.fill(Shapes::rect(-34, -11, 68, 22), Color::hex(0xf3e3b5, 0.85));
    p.stroke(Shapes::rect(-34, -11, 68, 22), Color::hex(0xd8c28a, 0.6), 0.8);
    p.restore();
  }
  // A doodled heart and smile in the wide bottom margin.
  double y = s.height - 46;
  p.fill(Shapes::heart(s.width - 60, y, 26), Color::hex(0xe25577));
  Path smile;
  smile.moveToPoint(44, y - 4);
  smile.addCurveToPoint(54, y + 14, 84, y + 14, 94, y - 4);
  p.stroke(smile, Color::hex(0x3a3a8a), 2.5);
  p.fill(Shapes::circle(58, y - 12, 3), Color::hex(0x3a3a8a));
  p.fill(Shapes::circle(80, y - 12, 3), Color::hex(0x3a3a8a));
}

void heartWindow(Painter& p, Size s) {
  double cy = s.height * 0.47;
  Path window = Shapes::heart(s.width / 2, cy, 290);
  Path frame = around(s, window);
  p.fillLinear(frame, {0, 0}, {0, s.height},
               {Color::hex(0xff9ab8).stop(0), Color::hex(0xff5f8f).stop(1)}, FillRule::EvenOdd);
  p.save();
  p.clip(frame, FillRule::EvenOdd);
  Random random(24);
  for (int i = 0; i < 40; ++i) {
    double x = random.range(0, s.width), y = random.range(0, s.height);
    p.save();
    p.translate(x, y);
    p.rotate(random.range(-0.5, 0.5));
    p.fill(Shapes::heart(0, 0, random.range(8, 20)), Color::hex(0xffffff, random.range(0.35, 0.8)));
    p.restore();
  }
  p.restore();
  p.stroke(window, Color::hex(0xffffff), 5);
  p.stroke(window, Color::hex(0xd63a6a, 0.6), 1.5);
}

void floralCircle(Painter& p, Size s) {
  double cx = s.width / 2, cy = s.height * 0.45, r = 128;
  Path window = Shapes::circle(cx, cy, r);
  p.fillLinear(around(s, window), {0, 0}, {0, s.height},
               {Color::hex(0xe8dcff).stop(0), Color::hex(0xbfa8f0).stop(1)}, FillRule::EvenOdd);
  p.stroke(window, Color::hex(0xffffff), 6);
  const Color petalsColour[] = {Color::hex(0xff8fb1), Color::hex(0xffd166), Color::hex(0xffffff)};
  for (int i = 0; i < 14; ++i) {
    double a = 2 * kPi * i / 14;
    double x = cx + (r + 4) * std::cos(a), y = cy + (r + 4) * std::sin(a);
    double size = i % 2 ? 13 : 18;
    p.fill(Shapes::petals(x, y, size, size * 0.45, 5, a), petalsColour[i % 3]);
    p.fill(Shapes::circle(x, y, size * 0.28), Color::hex(0xf28c28));
  }
  for (int i = 0; i < 14; ++i) {  // leaves between the flowers
    double a = 2 * kPi * (i + 0.5) / 14;
    p.save();
    p.translate(cx + (r + 2) * std::cos(a), cy + (r + 2) * std::sin(a));
    p.rotate(a + kPi / 2);
    p.fill(Shapes::ellipse(0, 0, 9, 4), Color::hex(0x5fb36a));
    p.restore();
  }
}

void filmStrip(Painter& p, Size s) {
  const double side = 34;
  Path window = Shapes::rect(side + 6, 30, s.width - 2 * side - 12, s.height - 60);
  Path frame = around(s, window);
  // Sprocket holes are see-through as well.
  for (double y = 10; y < s.height - 10; y += 24) {
    Shapes::append(frame, Shapes::roundedRect(10, y, 14, 12, 3));
    Shapes::append(frame, Shapes::roundedRect(s.width - 24, y, 14, 12, 3));
  }
  p.fillLinear(
      frame, {0, 0}, {s.width, s.height},
      {Color::hex(0x2a2622).stop(0), Color::hex(0x121212).stop(0.5), Color::hex(0x2b2420).stop(1)},
      FillRule::EvenOdd);
  p.stroke(window, Color::hex(0x3a3a3a), 2);
  // Frame numbers and edge marks, printed in the film's orange.
  for (double y = 22; y < s.height - 10; y += 48) {
    p.fill(Shapes::rect(side - 4, y, 3, 10), Color::hex(0xffb000, 0.7));
    p.fill(Shapes::rect(s.width - side + 1, y + 24, 3, 10), Color::hex(0xffb000, 0.7));
  }
  p.fill(Shapes::rect(side + 6, 8, 60, 10), Color::hex(0xffb000, 0.9));
  p.fill(Shapes::polygon(s.width - side - 20, s.height - 15, 6, 3, kPi / 2),
         Color::hex(0xffb000, 0.9));
}

void stamp(Painter& p, Size s) {
  Path outer = Shapes::scallopedRect(14, 14, s.width - 28, s.height - 28, 7);
  Path window = Shapes::rect(34, 34, s.width - 68, s.height - 68);
  // The scalloped paper is a union of shapes, so the window is cut by clipping to a band.
  Path band = Shapes::rect(-2, -2, s.width + 4, s.height + 4);
  Shapes::append(band, window);
  p.save();
  p.clip(band, FillRule::EvenOdd);
  p.save();
  p.translate(2, 3);
  p.fill(outer, Color::hex(0x000000, 0.18));
  p.restore();
  p.fill(outer, Color::hex(0xfffdf6));
  p.restore();
  p.stroke(Shapes::rect(27, 27, s.width - 54, s.height - 54), Color::hex(0x2a6f97), 2);
  // A postmark over the corner.
  double mx = s.width - 70, my = 62;
  p.stroke(Shapes::circle(mx, my, 34), Color::hex(0x2b2b2b, 0.55), 2);
  p.stroke(Shapes::circle(mx, my, 26), Color::hex(0x2b2b2b, 0.55), 1);
  for (int i = 0; i < 4; ++i) {
    std::vector<platform::Point> wave;
    for (int k = 0; k <= 8; ++k)
      wave.push_back({mx - 100 + k * 10.0, my - 12 + i * 8 + 3 * std::sin(k * 1.3)});
    p.stroke(Shapes::smoothLine(wave), Color::hex(0x2b2b2b, 0.45), 1.5);
  }
  p.fill(Shapes::star(mx, my, 10, 4, 5), Color::hex(0xc0392b, 0.8));
}

void ovalVignette(Painter& p, Size s) {
  p.save();
  p.translate(s.width / 2, s.height * 0.46);
  p.scaleBy(1, 1.45);
  p.fillRadial(Shapes::rect(-400, -400, 800, 800), {0, 0}, 170,
               {Color::hex(0xf7efe2, 0).stop(0.62), Color::hex(0xf7efe2, 0.85).stop(0.74),
                Color::hex(0xf2e6d0).stop(0.8)});
  p.stroke(Shapes::ellipse(0, 0, 139, 139), Color::hex(0xb08d57, 0.9), 2.5);
  for (int i = 0; i < 36; ++i) {
    double a = 2 * kPi * i / 36;
    p.fill(Shapes::circle(146 * std::cos(a), 146 * std::sin(a), i % 3 == 0 ? 3 : 1.6),
           Color::hex(0xb08d57));
  }
  p.restore();
  // Corner sprigs.
  for (int corner = 0; corner < 4; ++corner) {
    double x = corner % 2 ? s.width - 30 : 30, y = corner < 2 ? 36 : s.height - 36;
    p.fill(Shapes::petals(x, y, 18, 6, 6, corner * 0.4), Color::hex(0xc98b8b, 0.9));
    p.fill(Shapes::circle(x, y, 4), Color::hex(0xf5d76e));
  }
}

void neon(Painter& p, Size s) {
  p.fill(around(s, Shapes::roundedRect(18, 18, s.width - 36, s.height - 36, 26)),
         Color::hex(0x0b0820, 0.55), FillRule::EvenOdd);
  auto glow = [&](const Path& path, const Color& colour) {
    for (int i = 5; i >= 1; --i) p.stroke(path, colour.withAlpha(0.08), 3.0 * i + 2);
    p.stroke(path, colour, 3);
    p.stroke(path, Color::hex(0xffffff, 0.8), 1);
  };
  glow(Shapes::roundedRect(24, 24, s.width - 48, s.height - 48, 22), Color::hex(0xff3fd0));
  glow(Shapes::roundedRect(36, 36, s.width - 72, s.height - 72, 14), Color::hex(0x3fe6ff));
  glow(Shapes::star(s.width - 46, 46, 12, 5, 5), Color::hex(0xfff04a));
  glow(Shapes::heart(46, s.height - 46, 22), Color::hex(0xff3fd0));
}

void starWindow(Painter& p, Size s) {
  double cx = s.width / 2, cy = s.height * 0.46;
  Path window = Shapes::star(cx, cy, 165, 82, 5);
  Path frame = around(s, window);
  p.fillLinear(frame, {0, 0}, {0, s.height},
               {Color::hex(0x1b1f5e).stop(0), Color::hex(0x4a2a7a).stop(1)}, FillRule::EvenOdd);
  p.save();
  p.clip(frame, FillRule::EvenOdd);
  Random random(30);
  for (int i = 0; i < 70; ++i) {
    double x = random.range(0, s.width), y = random.range(0, s.height), r = random.range(1.5, 4.5);
    p.fill(Shapes::star(x, y, r, r * 0.4, 5, random.range(0, 1)),
           Color::hex(0xfff2a8, random.range(0.5, 1)));
  }
  p.restore();
  p.stroke(window, Color::hex(0xffd54a), 4);
  p.stroke(window, Color::hex(0xfff7d1), 1.2);
}

}  // namespace

std::vector<ArtItem> SamplePack::photoFrameItems() {
  return {
      ArtItem::fullScreen("frame1", ArtFormat::Png, goldOrnate),
      ArtItem::fullScreen("frame2", ArtFormat::JpegWithMask, wooden, Color::hex(0x6b4320)),
      ArtItem::fullScreen("frame3", ArtFormat::JpegWithMask, polaroid, Color::hex(0xf4f3ef)),
      ArtItem::fullScreen("frame4", ArtFormat::Png, heartWindow),
      ArtItem::fullScreen("frame5", ArtFormat::Png, floralCircle),
      ArtItem::fullScreen("frame6", ArtFormat::JpegWithMask, filmStrip, Color::hex(0x151515)),
      ArtItem::fullScreen("frame7", ArtFormat::Png, stamp),
      ArtItem::fullScreen("frame8", ArtFormat::JpegWithMask, ovalVignette, Color::hex(0xf2e6d0)),
      ArtItem::fullScreen("frame9", ArtFormat::Png, neon),
      ArtItem::fullScreen("frame10", ArtFormat::Png, starWindow)};
}
