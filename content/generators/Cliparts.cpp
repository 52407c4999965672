// Cliparts: stickers placed anywhere on the picture, drawn around the screen's centre.
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

// A soft white sheen across the upper left of a shape.
void gloss(Painter& p, double x, double y, double rx, double ry) {
  p.fillRadial(Shapes::ellipse(x, y, rx, ry), {x, y}, std::max(rx, ry),
               {Color::hex(0xffffff, 0.75).stop(0), Color::hex(0xffffff, 0).stop(1)});
}

void shadow(Painter& p, double y, double rx) {
  p.save();
  p.scaleBy(1, 0.22);
  p.fillRadial(Shapes::circle(0, y / 0.22, rx), {0, y / 0.22}, rx,
               {Color::hex(0x000000, 0.28).stop(0), Color::hex(0x000000, 0).stop(1)});
  p.restore();
}

void heart(Painter& p, Size) {
  shadow(p, 100, 80);
  p.fillLinear(Shapes::heart(0, 0, 200), {0, -90}, {0, 90},
               {Color::hex(0xff6b81).stop(0), Color::hex(0xd61a46).stop(1)});
  p.stroke(Shapes::heart(0, 0, 200), Color::hex(0x9e0f31), 3);
  gloss(p, -45, -45, 34, 22);
}

void goldStar(Painter& p, Size) {
  shadow(p, 100, 90);
  Path star = Shapes::star(0, 0, 105, 45, 5);
  p.fillLinear(
      star, {-80, -100}, {80, 100},
      {Color::hex(0xfff3a0).stop(0), Color::hex(0xffc93c).stop(0.5), Color::hex(0xe08e0b).stop(1)});
  for (int i = 0; i < 5; ++i) {  // facets: the right half of every arm darker
    double a = -kPi / 2 + 2 * kPi * i / 5;
    Path facet;
    facet.moveToPoint(0, 0);
    facet.addLineToPoint(105 * std::cos(a), 105 * std::sin(a));
    facet.addLineToPoint(45 * std::cos(a + kPi / 5), 45 * std::sin(a + kPi / 5));
    facet.closeSubpath();
    p.fill(facet, Color::hex(0xb86e00, 0.18));
  }
  p.stroke(star, Color::hex(0xb86e00), 3);
}

void flower(Painter& p, Size) {
  p.save();
  p.rotate(0.2);
  p.fill(Shapes::rect(-4, 20, 8, 95), Color::hex(0x3f9b4b));
  p.restore();
  p.save();
  p.translate(20, 80);
  p.rotate(-0.6);
  p.fill(Shapes::ellipse(0, 0, 26, 10), Color::hex(0x57b85f));
  p.restore();
  p.fillRadial(Shapes::petals(0, -20, 80, 30, 8), {0, -20}, 80,
               {Color::hex(0xffffff).stop(0.15), Color::hex(0xff9ec4).stop(0.6),
                Color::hex(0xf0568f).stop(1)});
  p.fillRadial(Shapes::circle(0, -20, 24), {-6, -26}, 26,
               {Color::hex(0xfff2a6).stop(0), Color::hex(0xf5a623).stop(1)});
  Random random(41);
  for (int i = 0; i < 12; ++i)
    p.fill(Shapes::circle(random.range(-14, 14), -20 + random.range(-14, 14), 2),
           Color::hex(0xb35c00, 0.7));
}

void butterfly(Painter& p, Size) {
  for (int side = -1; side <= 1; side += 2) {
    p.save();
    p.scaleBy(side, 1);
    p.save();
    p.translate(48, -38);
    p.rotate(-0.5);
    p.fillLinear(Shapes::ellipse(0, 0, 58, 44), {-40, 0}, {60, 0},
                 {Color::hex(0x6a5cff).stop(0), Color::hex(0x3ec6ff).stop(1)});
    p.stroke(Shapes::ellipse(0, 0, 58, 44), Color::hex(0x1f1a66), 3);
    p.fill(Shapes::circle(18, -6, 11), Color::hex(0xffffff, 0.85));
    p.fill(Shapes::circle(18, -6, 5), Color::hex(0xff6bb0));
    p.restore();
    p.save();
    p.translate(36, 38);
    p.rotate(0.5);
    p.fillLinear(Shapes::ellipse(0, 0, 40, 30), {-30, 0}, {40, 0},
                 {Color::hex(0xff6bb0).stop(0), Color::hex(0xffb36b).stop(1)});
    p.stroke(Shapes::ellipse(0, 0, 40, 30), Color::hex(0x1f1a66), 3);
    p.restore();
    Path antenna;
    antenna.moveToPoint(3, -50);
    antenna.addCurveToPoint(10, -80, 24, -92, 36, -96);
    p.stroke(antenna, Color::hex(0x1f1a66), 3);
    p.fill(Shapes::circle(36, -96, 6), Color::hex(0x1f1a66));
    p.restore();
  }
  p.fillLinear(Shapes::roundedRect(-9, -58, 18, 120, 9), {-9, 0}, {9, 0},
               {Color::hex(0x3a2e7a).stop(0), Color::hex(0x1f1a66).stop(1)});
}

void balloons(Painter& p, Size) {
  struct Balloon {
    double x, y, r;
    std::uint32_t colour;
  };
  const Balloon list[] = {
      {-52, -40, 42, 0xff5a5f}, {50, -52, 40, 0x3db2ff}, {0, -78, 44, 0xffd23f}};
  for (const Balloon& b : list) {
    Path string;
    string.moveToPoint(b.x, b.y + b.r * 1.2);
    string.addCurveToPoint(b.x + 10, b.y + 70, -10, 60, 0, 110);
    p.stroke(string, Color::hex(0x555555), 1.5);
  }
  for (const Balloon& b : list) {
    Color c = Color::hex(b.colour);
    Path body = Shapes::ellipse(b.x, b.y, b.r, b.r * 1.2);
    p.fillRadial(body, {b.x - b.r * 0.35, b.y - b.r * 0.4}, b.r * 1.5,
                 {c.lighter(0.5).stop(0), c.stop(0.5), c.darker(0.25).stop(1)});
    p.fill(Shapes::polygon(b.x, b.y + b.r * 1.24, 7, 3), c.darker(0.2));
    gloss(p, b.x - b.r * 0.4, b.y - b.r * 0.5, b.r * 0.22, b.r * 0.32);
  }
}

void smilingSun(Painter& p, Size) {
  for (int i = 0; i < 12; ++i) {
    p.save();
    p.rotate(2 * kPi * i / 12);
    Path ray;
    ray.moveToPoint(-12, -66);
    ray.addLineToPoint(0, -108);
    ray.addLineToPoint(12, -66);
    ray.closeSubpath();
    p.fill(ray, Color::hex(i % 2 ? 0xffb627 : 0xff8c1a));
    p.restore();
  }
  p.fillRadial(
      Shapes::circle(0, 0, 68), {-20, -20}, 90,
      {Color::hex(0xfff3a3).stop(0), Color::hex(0xffc727).stop(0.6), Color::hex(0xff9f1a).stop(1)});
  p.fill(Shapes::ellipse(-22, -12, 7, 10), Color::hex(0x5a3300));
  p.fill(Shapes::ellipse(22, -12, 7, 10), Color::hex(0x5a3300));
  p.fill(Shapes::ellipse(-38, 14, 11, 7), Color::hex(0xff6f61, 0.55));
  p.fill(Shapes::ellipse(38, 14, 11, 7), Color::hex(0xff6f61, 0.55));
  Path smile;
  smile.moveToPoint(-26, 18);
  smile.addCurveToPoint(-12, 38, 12, 38, 26, 18);
  p.stroke(smile, Color::hex(0x5a3300), 5);
}

void rainbow(Painter& p, Size) {
  const std::uint32_t colours[] = {0xff4d4d, 0xff9f40, 0xffe14d, 0x5fd35f, 0x4da6ff, 0x9b6bff};
  for (int i = 0; i < 6; ++i) {
    double r = 104 - i * 12;
    Path arc = Shapes::circle(0, 30, r);
    Shapes::append(arc, Shapes::circle(0, 30, r - 12));
    p.save();
    p.clip(Shapes::rect(-120, -100, 240, 130));
    p.fill(arc, Color::hex(colours[i]), FillRule::EvenOdd);
    p.restore();
  }
  for (int side = -1; side <= 1; side += 2) {
    double x = side * 80;
    Path cloud;
    Shapes::append(cloud, Shapes::circle(x, 26, 22));
    Shapes::append(cloud, Shapes::circle(x - 22, 36, 16));
    Shapes::append(cloud, Shapes::circle(x + 22, 36, 16));
    Shapes::append(cloud, Shapes::roundedRect(x - 38, 30, 76, 22, 11));
    p.fillLinear(cloud, {0, 4}, {0, 52},
                 {Color::hex(0xffffff).stop(0.3), Color::hex(0xdbe7f3).stop(1)});
  }
}

void rainCloud(Painter& p, Size) {
  Path cloud;
  Shapes::append(cloud, Shapes::circle(-10, -30, 46));
  Shapes::append(cloud, Shapes::circle(-56, -6, 32));
  Shapes::append(cloud, Shapes::circle(44, -10, 38));
  Shapes::append(cloud, Shapes::roundedRect(-88, -8, 172, 44, 22));
  p.fillLinear(cloud, {0, -76}, {0, 36},
               {Color::hex(0xbfd4ea).stop(0), Color::hex(0x7f9bb8).stop(1)});
  gloss(p, -22, -50, 30, 14);
  for (int i = 0; i < 5; ++i) {
    double x = -60 + i * 30, y = 62 + (i % 2) * 22;
    Path drop;
    drop.moveToPoint(x, y - 14);
    drop.addCurveToPoint(x + 4, y - 6, x + 9, y, x + 9, y + 5);
    drop.addCurveToPoint(x + 9, y + 10, x + 5, y + 14, x, y + 14);
    drop.addCurveToPoint(x - 5, y + 14, x - 9, y + 10, x - 9, y + 5);
    drop.addCurveToPoint(x - 9, y, x - 4, y - 6, x, y - 14);
    drop.closeSubpath();
    p.fill(drop, Color::hex(0x3d9df2));
  }
}

void crown(Painter& p, Size) {
  Path body;
  body.moveToPoint(-90, 50);
  body.addLineToPoint(-100, -50);
  body.addLineToPoint(-50, -5);
  body.addLineToPoint(0, -75);
  body.addLineToPoint(50, -5);
  body.addLineToPoint(100, -50);
  body.addLineToPoint(90, 50);
  body.closeSubpath();
  p.fillLinear(
      body, {0, -75}, {0, 50},
      {Color::hex(0xfff0a0).stop(0), Color::hex(0xf5c400).stop(0.5), Color::hex(0xc98f00).stop(1)});
  p.stroke(body, Color::hex(0x8a5f00), 3);
  p.fill(Shapes::roundedRect(-94, 42, 188, 24, 6), Color::hex(0xd9a400));
  p.stroke(Shapes::roundedRect(-94, 42, 188, 24, 6), Color::hex(0x8a5f00), 3);
  const std::uint32_t gems[] = {0xe0245e, 0x1da1f2, 0x17bf63};
  for (int i = 0; i < 3; ++i) {
    double x = -50 + 50 * i;
    p.fillRadial(Shapes::circle(x, 54, 8), {x - 2, 51}, 9,
                 {Color::hex(0xffffff).stop(0), Color::hex(gems[i]).stop(0.6),
                  Color::hex(gems[i]).darker(0.4).stop(1)});
  }
  for (double x : {-100.0, 0.0, 100.0}) {
    double y = x == 0 ? -75 : -50;
    p.fill(Shapes::circle(x, y, 9), Color::hex(0xfff0a0));
    p.stroke(Shapes::circle(x, y, 9), Color::hex(0x8a5f00), 2);
  }
  p.fillRadial(
      Shapes::polygon(0, 12, 16, 4), {-4, 8}, 18,
      {Color::hex(0xffffff).stop(0), Color::hex(0xb14aed).stop(0.6), Color::hex(0x5c1a8a).stop(1)});
}

void musicNotes(Painter& p, Size) {
  Color ink = Color::hex(0x6c3ce0);
  p.save();
  p.rotate(-0.12);
  p.fill(Shapes::ellipse(-50, 60, 26, 19), ink);
  p.fill(Shapes::ellipse(40, 40, 26, 19), ink);
  p.fill(Shapes::rect(-28, -60, 7, 120), ink);
  p.fill(Shapes::rect(62, -80, 7, 120), ink);
  Path beam;
  beam.moveToPoint(-28, -60);
  beam.addLineToPoint(69, -80);
  beam.addLineToPoint(69, -55);
  beam.addLineToPoint(-28, -35);
  beam.closeSubpath();
  p.fill(beam, ink);
  p.restore();
  p.fill(Shapes::ellipse(-78, -40, 14, 10), Color::hex(0xff5fa2));
  p.fill(Shapes::rect(-67, -96, 5, 56), Color::hex(0xff5fa2));
  Path flag;
  flag.moveToPoint(-62, -96);
  flag.addCurveToPoint(-44, -86, -40, -74, -48, -60);
  flag.addCurveToPoint(-46, -72, -52, -80, -62, -82);
  flag.closeSubpath();
  p.fill(flag, Color::hex(0xff5fa2));
  p.fill(Shapes::star(86, 76, 12, 5, 4), Color::hex(0xffc93c));
}

void speechBubble(Painter& p, Size) {
  Path bubble = Shapes::roundedRect(-100, -80, 200, 130, 40);
  Path tail;
  tail.moveToPoint(-40, 40);
  tail.addLineToPoint(-70, 96);
  tail.addLineToPoint(0, 46);
  tail.closeSubpath();
  Shapes::append(bubble, tail);
  p.save();
  p.translate(4, 5);
  p.fill(bubble, Color::hex(0x000000, 0.2));
  p.restore();
  p.fill(bubble, Color::hex(0xffffff));
  p.stroke(Shapes::roundedRect(-100, -80, 200, 130, 40), Color::hex(0x2d2d5a), 4);
  p.fill(Shapes::heart(0, -16, 70), Color::hex(0xff4d6d));
  for (int i = -1; i <= 1; i += 2) p.fill(Shapes::circle(i * 56, -16, 8), Color::hex(0xffb3c1));
}

void lightning(Painter& p, Size) {
  Path bolt;
  bolt.moveToPoint(20, -110);
  bolt.addLineToPoint(-60, 10);
  bolt.addLineToPoint(-8, 10);
  bolt.addLineToPoint(-30, 110);
  bolt.addLineToPoint(62, -22);
  bolt.addLineToPoint(8, -22);
  bolt.addLineToPoint(40, -110);
  bolt.closeSubpath();
  p.save();
  p.translate(5, 6);
  p.fill(bolt, Color::hex(0x000000, 0.2));
  p.restore();
  p.fillLinear(
      bolt, {-60, -110}, {60, 110},
      {Color::hex(0xfff59d).stop(0), Color::hex(0xffd600).stop(0.5), Color::hex(0xff9800).stop(1)});
  p.stroke(bolt, Color::hex(0x8a4b00), 3.5);
}

void giftBox(Painter& p, Size) {
  p.fillLinear(Shapes::rect(-80, -20, 160, 110), {-80, 0}, {80, 0},
               {Color::hex(0x29b6f6).stop(0), Color::hex(0x0277bd).stop(1)});
  p.fillLinear(Shapes::rect(-92, -50, 184, 36), {-92, 0}, {92, 0},
               {Color::hex(0x4fc3f7).stop(0), Color::hex(0x0288d1).stop(1)});
  p.fill(Shapes::rect(-14, -50, 28, 140), Color::hex(0xff4081));
  for (int side = -1; side <= 1; side += 2) {
    p.save();
    p.scaleBy(side, 1);
    Path loop;
    loop.moveToPoint(0, -50);
    loop.addCurveToPoint(20, -100, 80, -100, 60, -60);
    loop.addCurveToPoint(50, -45, 20, -48, 0, -50);
    loop.closeSubpath();
    p.fill(loop, Color::hex(0xff4081));
    p.stroke(loop, Color::hex(0xc2185b), 2.5);
    p.restore();
  }
  p.fill(Shapes::circle(0, -52, 12), Color::hex(0xf50057));
  for (double y : {-20.0, 30.0, 70.0})
    for (double x : {-55.0, 45.0}) p.fill(Shapes::star(x, y, 7, 3, 5), Color::hex(0xffffff, 0.8));
}

void cupcake(Painter& p, Size) {
  Path wrapper;
  wrapper.moveToPoint(-70, 10);
  wrapper.addLineToPoint(70, 10);
  wrapper.addLineToPoint(50, 100);
  wrapper.addLineToPoint(-50, 100);
  wrapper.closeSubpath();
  p.fill(wrapper, Color::hex(0x7ec8e3));
  p.save();
  p.clip(wrapper);
  for (double x = -80; x < 80; x += 20) {
    Path pleat;
    pleat.moveToPoint(x, 10);
    pleat.addLineToPoint(x * 0.72 + 2, 100);
    p.stroke(pleat, Color::hex(0x4a9bbd), 4);
  }
  p.restore();
  Path frosting;
  Shapes::append(frosting, Shapes::circle(-45, -5, 32));
  Shapes::append(frosting, Shapes::circle(45, -5, 32));
  Shapes::append(frosting, Shapes::circle(0, -28, 45));
  Shapes::append(frosting, Shapes::circle(0, -70, 26));
  Shapes::append(frosting, Shapes::roundedRect(-76, -10, 152, 30, 14));
  p.fillRadial(
      frosting, {-20, -60}, 120,
      {Color::hex(0xffe3ef).stop(0), Color::hex(0xff9ec7).stop(0.7), Color::hex(0xf06ba8).stop(1)});
  Random random(47);
  const std::uint32_t sprinkles[] = {0xffd23f, 0x3db2ff, 0x5fd35f, 0xffffff};
  for (int i = 0; i < 18; ++i) {
    p.save();
    p.translate(random.range(-60, 60), random.range(-60, 5));
    p.rotate(random.range(0, kPi));
    p.fill(Shapes::roundedRect(-5, -1.5, 10, 3, 1.5), Color::hex(sprinkles[i % 4]));
    p.restore();
  }
  p.fillRadial(Shapes::circle(0, -102, 16), {-5, -107}, 18,
               {Color::hex(0xff8a8a).stop(0), Color::hex(0xd50000).stop(1)});
  Path stem;
  stem.moveToPoint(2, -116);
  stem.addCurveToPoint(6, -130, 16, -136, 24, -138);
  p.stroke(stem, Color::hex(0x4e7d2a), 3);
}

void diamond(Painter& p, Size) {
  const platform::Point crownPts[] = {{-100, -30}, {-60, -80}, {60, -80}, {100, -30}};
  Path outline;
  outline.moveToPoint(-100, -30);
  outline.addLineToPoint(-60, -80);
  outline.addLineToPoint(60, -80);
  outline.addLineToPoint(100, -30);
  outline.addLineToPoint(0, 100);
  outline.closeSubpath();
  p.fillLinear(
      outline, {-100, -80}, {100, 100},
      {Color::hex(0xc9f6ff).stop(0), Color::hex(0x4fd1ff).stop(0.5), Color::hex(0x1565c0).stop(1)});
  const double facetX[] = {-100, -50, 0, 50, 100};
  for (int i = 0; i < 4; ++i) {
    Path facet;
    facet.moveToPoint(facetX[i], -30);
    facet.addLineToPoint(facetX[i + 1], -30);
    facet.addLineToPoint(0, 100);
    facet.closeSubpath();
    p.fill(facet, Color::hex(i % 2 ? 0xffffff : 0x0d47a1, i % 2 ? 0.25 : 0.15));
  }
  for (int i = 0; i < 3; ++i) {
    Path top;
    top.moveToPoint(crownPts[i].x, crownPts[i].y);
    top.addLineToPoint(crownPts[i + 1].x, crownPts[i + 1].y);
    top.addLineToPoint(facetX[i + 1], -30);
    top.closeSubpath();
    p.fill(top, Color::hex(0xffffff, 0.3 - 0.08 * i));
  }
  p.stroke(Shapes::line(-100, -30, 100, -30), Color::hex(0x0d47a1, 0.6), 2);
  p.stroke(outline, Color::hex(0x0d3c7a), 3);
  p.fill(Shapes::star(-52, -60, 14, 3, 4), Color::hex(0xffffff));
  p.fill(Shapes::star(70, 40, 9, 2, 4), Color::hex(0xffffff, 0.9));
}

void clover(Painter& p, Size) {
  Path stem;
  stem.moveToPoint(0, 0);
  stem.addCurveToPoint(10, 40, 30, 80, 20, 112);
  p.stroke(stem, Color::hex(0x2e7d32), 7);
  for (int i = 0; i < 4; ++i) {
    p.save();
    p.rotate(kPi / 4 + i * kPi / 2);
    p.translate(0, -40);
    p.fillLinear(Shapes::heart(0, 0, 84), {0, -40}, {0, 40},
                 {Color::hex(0x9ed99f).stop(0), Color::hex(0x2e7d32).stop(1)});
    p.stroke(Shapes::line(0, -34, 0, 30), Color::hex(0xc8e6c9, 0.6), 2);
    p.restore();
  }
}

void sparkles(Painter& p, Size) {
  struct Sparkle {
    double x, y, r;
    std::uint32_t colour;
  };
  const Sparkle list[] = {{-20, -10, 70, 0xffe066}, {62, -72, 30, 0xffffff},
                          {70, 60, 38, 0x9be7ff},   {-80, 70, 26, 0xffb3e6},
                          {-78, -80, 18, 0xffffff}, {20, 96, 14, 0xffe066}};
  for (const Sparkle& s : list) {
    Color c = Color::hex(s.colour);
    p.fillRadial(Shapes::circle(s.x, s.y, s.r * 0.8), {s.x, s.y}, s.r * 0.8,
                 {c.withAlpha(0.45).stop(0), c.withAlpha(0).stop(1)});
    p.fillRadial(Shapes::star(s.x, s.y, s.r, s.r * 0.18, 4), {s.x, s.y}, s.r,
                 {Color::hex(0xffffff).stop(0), c.stop(0.5), c.darker(0.15).stop(1)});
  }
}

void iceCream(Painter& p, Size) {
  Path cone;
  cone.moveToPoint(-52, 0);
  cone.addLineToPoint(52, 0);
  cone.addLineToPoint(0, 118);
  cone.closeSubpath();
  p.fillLinear(cone, {-52, 0}, {52, 0},
               {Color::hex(0xf2c27b).stop(0), Color::hex(0xd99a4e).stop(1)});
  p.save();
  p.clip(cone);
  for (double d = -120; d < 140; d += 16) {
    p.stroke(Shapes::line(d, 0, d + 120, 120), Color::hex(0xb5762e), 2);
    p.stroke(Shapes::line(d, 0, d - 120, 120), Color::hex(0xb5762e), 2);
  }
  p.restore();
  auto scoop = [&](double x, double y, double r, std::uint32_t colour) {
    Color c = Color::hex(colour);
    Path s = Shapes::circle(x, y, r);
    for (int i = 0; i < 5; ++i)
      Shapes::append(s, Shapes::circle(x - r * 0.8 + i * r * 0.4, y + r * 0.75, r * 0.24));
    p.fillRadial(s, {x - r * 0.3, y - r * 0.4}, r * 1.5,
                 {c.lighter(0.45).stop(0), c.stop(0.6), c.darker(0.15).stop(1)});
  };
  scoop(-26, -26, 40, 0xff9ec4);
  scoop(28, -30, 38, 0xa5e887);
  scoop(0, -74, 40, 0xfff1c1);
  p.fillRadial(Shapes::circle(4, -118, 12), {0, -122}, 14,
               {Color::hex(0xff8a8a).stop(0), Color::hex(0xd50000).stop(1)});
}

void pawPrint(Painter& p, Size) {
  Color c = Color::hex(0x8d5a97);
  Path pad;
  pad.moveToPoint(0, 0);
  pad.addCurveToPoint(40, 0, 70, 40, 60, 70);
  pad.addCurveToPoint(50, 100, 20, 82, 0, 82);
  pad.addCurveToPoint(-20, 82, -50, 100, -60, 70);
  pad.addCurveToPoint(-70, 40, -40, 0, 0, 0);
  pad.closeSubpath();
  p.fill(pad, c);
  const platform::Point toes[] = {{-72, -10}, {-30, -56}, {30, -56}, {72, -10}};
  for (const platform::Point& t : toes) {
    p.save();
    p.translate(t.x, t.y);
    p.rotate(t.x / 150);
    p.fill(Shapes::ellipse(0, 0, 22, 28), c);
    p.restore();
  }
  p.fill(Shapes::heart(0, 44, 38), Color::hex(0xffc1e3));
}

void catFace(Painter& p, Size) {
  Color fur = Color::hex(0xf4a259);
  for (int side = -1; side <= 1; side += 2) {
    Path ear;
    ear.moveToPoint(side * 90, -30);
    ear.addLineToPoint(side * 80, -110);
    ear.addLineToPoint(side * 25, -70);
    ear.closeSubpath();
    p.fill(ear, fur);
    Path inner;
    inner.moveToPoint(side * 76, -46);
    inner.addLineToPoint(side * 74, -92);
    inner.addLineToPoint(side * 40, -68);
    inner.closeSubpath();
    p.fill(inner, Color::hex(0xffb6b9));
  }
  p.fillRadial(Shapes::ellipse(0, 0, 100, 84), {-20, -30}, 130,
               {fur.lighter(0.3).stop(0), fur.stop(0.7), fur.darker(0.12).stop(1)});
  for (int side = -1; side <= 1; side += 2) {
    p.fill(Shapes::ellipse(side * 36, -10, 15, 19), Color::hex(0x2f2f2f));
    p.fill(Shapes::circle(side * 36 - 4, -16, 5), Color::hex(0xffffff));
    for (int w = -1; w <= 1; ++w)
      p.stroke(Shapes::line(side * 30, 28 + w * 8, side * 96, 20 + w * 16), Color::hex(0x6b3e1e),
               2);
  }
  p.fill(Shapes::polygon(0, 22, 10, 3, kPi), Color::hex(0xff7b8a));
  Path mouth;
  mouth.moveToPoint(-16, 34);
  mouth.addCurveToPoint(-8, 44, 0, 40, 0, 30);
  mouth.addCurveToPoint(0, 40, 8, 44, 16, 34);
  p.stroke(mouth, Color::hex(0x6b3e1e), 3);
  for (double x : {-20.0, 0.0, 20.0}) p.fill(Shapes::polygon(x, -66, 6, 3, kPi), fur.darker(0.25));
}

}  // namespace

std::vector<ArtItem> SamplePack::clipartItems() {
  return {ArtItem::centred("clipart1", 250, heart),
          ArtItem::centred("clipart2", 250, goldStar),
          ArtItem::centred("clipart3", 250, flower),
          ArtItem::centred("clipart4", 250, butterfly),
          ArtItem::centred("clipart5", 250, balloons),
          ArtItem::centred("clipart6", 250, smilingSun),
          ArtItem::centred("clipart7", 250, rainbow),
          ArtItem::centred("clipart8", 250, rainCloud),
          ArtItem::centred("clipart9", 250, crown),
          ArtItem::centred("clipart10", 250, musicNotes),
          ArtItem::centred("clipart11", 250, speechBubble),
          ArtItem::centred("clipart12", 250, lightning),
          ArtItem::centred("clipart13", 250, giftBox),
          ArtItem::centred("clipart14", 250, cupcake),
          ArtItem::centred("clipart15", 250, diamond),
          ArtItem::centred("clipart16", 250, clover),
          ArtItem::centred("clipart17", 250, sparkles),
          ArtItem::centred("clipart18", 250, iceCream),
          ArtItem::centred("clipart19", 250, pawPrint),
          ArtItem::centred("clipart20", 250, catFace)};
}
