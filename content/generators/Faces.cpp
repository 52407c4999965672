// Face effects: glasses, hats, moustaches and masks, drawn around the screen's centre, where
// the user then moves them onto a face.
#include <cmath>

#include "ArtItem.h"
#include "Painter.h"
#include "Shapes.h"

namespace {

using platform::FillRule;
using platform::Path;
using platform::Size;
constexpr double kPi = 3.14159265358979323846;

void roundGlasses(Painter& p, Size) {
  Color rim = Color::hex(0x2b2118);
  for (int side = -1; side <= 1; side += 2) {
    double x = side * 56;
    p.fillLinear(Shapes::circle(x, 0, 44), {x, -44}, {x, 44},
                 {Color::hex(0xcfe8ff, 0.35).stop(0), Color::hex(0x9cc9f0, 0.2).stop(1)});
    p.stroke(Shapes::circle(x, 0, 44), rim, 8);
    Path glint;
    glint.moveToPoint(x - 26, -14);
    glint.addCurveToPoint(x - 22, -26, x - 14, -32, x - 2, -34);
    p.stroke(glint, Color::hex(0xffffff, 0.8), 4);
    p.stroke(Shapes::line(side * 99, -8, side * 122, -14), rim, 7);
  }
  Path bridge;
  bridge.moveToPoint(-14, -6);
  bridge.addCurveToPoint(-8, -18, 8, -18, 14, -6);
  p.stroke(bridge, rim, 7);
}

void aviators(Painter& p, Size) {
  Color gold = Color::hex(0xc9a227);
  for (int side = -1; side <= 1; side += 2) {
    p.save();
    p.scaleBy(side, 1);
    Path lens;
    lens.moveToPoint(12, -30);
    lens.addCurveToPoint(50, -36, 98, -36, 104, -22);
    lens.addCurveToPoint(112, 0, 96, 44, 66, 48);
    lens.addCurveToPoint(36, 52, 14, 30, 12, 0);
    lens.closeSubpath();
    p.fillLinear(lens, {0, -34}, {0, 50},
                 {Color::hex(0x1c2f4a, 0.95).stop(0), Color::hex(0x3c6e9e, 0.9).stop(0.6),
                  Color::hex(0xa6c8e6, 0.85).stop(1)});
    p.stroke(lens, gold, 4);
    p.fill(Shapes::ellipse(44, -12, 16, 7), Color::hex(0xffffff, 0.35));
    p.stroke(Shapes::line(104, -24, 126, -28), gold, 4);
    p.restore();
  }
  p.stroke(Shapes::line(-12, -30, 12, -30), gold, 4);
  Path brow;
  brow.moveToPoint(-16, -22);
  brow.addCurveToPoint(-6, -28, 6, -28, 16, -22);
  p.stroke(brow, gold, 3);
}

void partyHat(Painter& p, Size) {
  Path cone;
  cone.moveToPoint(-70, 60);
  cone.addLineToPoint(0, -110);
  cone.addLineToPoint(70, 60);
  cone.addCurveToPoint(30, 72, -30, 72, -70, 60);
  cone.closeSubpath();
  p.fillLinear(cone, {-70, 0}, {70, 0},
               {Color::hex(0x8e5cf7).stop(0), Color::hex(0x5b2ee0).stop(1)});
  p.save();
  p.clip(cone);
  for (int i = 0; i < 5; ++i) {
    double y = -80 + i * 34;
    Path stripe;
    stripe.moveToPoint(-100, y + 30);
    stripe.addLineToPoint(100, y - 10);
    stripe.addLineToPoint(100, y + 2);
    stripe.addLineToPoint(-100, y + 42);
    stripe.closeSubpath();
    p.fill(stripe, Color::hex(i % 2 ? 0xffd23f : 0xff5fa2));
  }
  for (int i = 0; i < 10; ++i)
    p.fill(Shapes::circle(-40 + (i * 37) % 80, -40 + i * 10, 3), Color::hex(0xffffff, 0.8));
  p.restore();
  Path trim;
  trim.moveToPoint(-74, 58);
  trim.addCurveToPoint(-30, 74, 30, 74, 74, 58);
  p.stroke(trim, Color::hex(0xffffff), 10);
  for (int i = 0; i < 10; ++i) {
    double a = 2 * kPi * i / 10;
    p.fill(Shapes::ellipse(12 * std::cos(a), -112 + 12 * std::sin(a), 9, 9),
           Color::hex(i % 2 ? 0xffd23f : 0xff5fa2));
  }
  p.fill(Shapes::circle(0, -112, 10), Color::hex(0xfff3b0));
}

void topHat(Painter& p, Size) {
  Color felt = Color::hex(0x1e1e24);
  p.fillLinear(Shapes::ellipse(0, 50, 120, 22), {-120, 0}, {120, 0},
               {felt.lighter(0.15).stop(0), felt.stop(0.5), felt.lighter(0.1).stop(1)});
  Path body;
  body.moveToPoint(-70, 48);
  body.addLineToPoint(-64, -90);
  body.addCurveToPoint(-30, -100, 30, -100, 64, -90);
  body.addLineToPoint(70, 48);
  body.addCurveToPoint(30, 58, -30, 58, -70, 48);
  body.closeSubpath();
  p.fillLinear(body, {-70, 0}, {70, 0},
               {felt.lighter(0.2).stop(0), felt.stop(0.35), felt.lighter(0.08).stop(1)});
  p.fill(Shapes::ellipse(0, -90, 64, 12), felt.lighter(0.25));
  Path band;
  band.moveToPoint(-69, 20);
  band.addCurveToPoint(-30, 30, 30, 30, 69, 20);
  band.addLineToPoint(70, 44);
  band.addCurveToPoint(30, 54, -30, 54, -70, 44);
  band.closeSubpath();
  p.fill(band, Color::hex(0xc62828));
  p.fill(Shapes::petals(44, 34, 18, 7, 6), Color::hex(0xffffff));
  p.fill(Shapes::circle(44, 34, 5), Color::hex(0xffd23f));
  p.fill(Shapes::rect(-52, -80, 8, 96), Color::hex(0xffffff, 0.08));
}

void handlebarMoustache(Painter& p, Size) {
  Path half;
  half.moveToPoint(0, -8);
  half.addCurveToPoint(20, -26, 60, -22, 80, 0);
  half.addCurveToPoint(92, 14, 112, 10, 116, -6);
  half.addCurveToPoint(122, -24, 108, -36, 98, -28);
  half.addCurveToPoint(112, -24, 112, -6, 100, -4);
  half.addCurveToPoint(86, -2, 78, 22, 48, 24);
  half.addCurveToPoint(24, 26, 8, 14, 0, 6);
  half.closeSubpath();
  for (int side = -1; side <= 1; side += 2) {
    p.save();
    p.scaleBy(side, 1);
    p.fillLinear(half, {0, -30}, {0, 26},
                 {Color::hex(0x6d4526).stop(0), Color::hex(0x3b2413).stop(1)});
    for (int i = 0; i < 6; ++i) {
      Path hair;
      hair.moveToPoint(10 + i * 12, -10 + i);
      hair.addCurveToPoint(16 + i * 12, 0, 20 + i * 12, 6, 26 + i * 12, 10);
      p.stroke(hair, Color::hex(0x9a6a3f, 0.5), 1.2);
    }
    p.restore();
  }
}

void catMask(Painter& p, Size) {
  Color fur = Color::hex(0x4a4a52);
  for (int side = -1; side <= 1; side += 2) {
    Path ear;
    ear.moveToPoint(side * 40, -100);
    ear.addLineToPoint(side * 100, -170);
    ear.addLineToPoint(side * 118, -70);
    ear.closeSubpath();
    p.fill(ear, fur);
    Path inner;
    inner.moveToPoint(side * 60, -100);
    inner.addLineToPoint(side * 98, -148);
    inner.addLineToPoint(side * 108, -86);
    inner.closeSubpath();
    p.fill(inner, Color::hex(0xff9eb5));
    for (int w = -1; w <= 1; ++w) {
      Path whisker;
      whisker.moveToPoint(side * 30, 40 + w * 8);
      whisker.addCurveToPoint(side * 60, 34 + w * 14, side * 90, 30 + w * 20, side * 118,
                              32 + w * 26);
      p.stroke(whisker, Color::hex(0x1e1e1e), 2.5);
    }
    p.fill(Shapes::ellipse(side * 40, 56, 16, 10), Color::hex(0xff7a9a, 0.45));
  }
  Path nose;
  nose.moveToPoint(-14, 24);
  nose.addLineToPoint(14, 24);
  nose.addCurveToPoint(10, 34, 4, 38, 0, 40);
  nose.addCurveToPoint(-4, 38, -10, 34, -14, 24);
  nose.closeSubpath();
  p.fill(nose, Color::hex(0xff6f91));
  Path mouth;
  mouth.moveToPoint(-18, 52);
  mouth.addCurveToPoint(-10, 60, 0, 56, 0, 40);
  mouth.addCurveToPoint(0, 56, 10, 60, 18, 52);
  p.stroke(mouth, Color::hex(0x1e1e1e), 2.5);
}

void bunnyEars(Painter& p, Size) {
  for (int side = -1; side <= 1; side += 2) {
    p.save();
    p.translate(side * 50, -40);
    p.rotate(side * 0.22);
    p.fillLinear(Shapes::ellipse(0, -80, 34, 96), {-34, 0}, {34, 0},
                 {Color::hex(0xffffff).stop(0), Color::hex(0xe8e4ef).stop(1)});
    p.stroke(Shapes::ellipse(0, -80, 34, 96), Color::hex(0xc7c0d4), 2.5);
    p.fillLinear(Shapes::ellipse(0, -74, 18, 70), {0, -140}, {0, 0},
                 {Color::hex(0xffc6d9).stop(0), Color::hex(0xff8fb5).stop(1)});
    p.restore();
  }
  Path band;
  band.moveToPoint(-110, 10);
  band.addCurveToPoint(-70, -50, 70, -50, 110, 10);
  p.stroke(band, Color::hex(0xff8fb5), 10);
  p.fill(Shapes::petals(80, -20, 22, 9, 5, 0.3), Color::hex(0xfff1a8));
  p.fill(Shapes::circle(80, -20, 6), Color::hex(0xff9f40));
}

void eyePatch(Painter& p, Size) {
  p.stroke(Shapes::line(-120, -52, 120, 36), Color::hex(0x1b1b1b), 7);
  Path patch;
  patch.moveToPoint(-86, -34);
  patch.addCurveToPoint(-60, -42, -20, -40, -6, -28);
  patch.addCurveToPoint(6, -10, -6, 30, -46, 34);
  patch.addCurveToPoint(-80, 36, -100, 10, -98, -12);
  patch.addCurveToPoint(-98, -24, -94, -30, -86, -34);
  patch.closeSubpath();
  p.fillLinear(patch, {-90, -40}, {0, 34},
               {Color::hex(0x3a3a3a).stop(0), Color::hex(0x111111).stop(1)});
  p.stroke(patch, Color::hex(0x000000), 2);
  // A little skull on the patch.
  p.fill(Shapes::circle(-50, -6, 12), Color::hex(0xf2f2f2));
  p.fill(Shapes::rect(-57, 2, 14, 8), Color::hex(0xf2f2f2));
  p.fill(Shapes::circle(-55, -7, 3.2), Color::hex(0x111111));
  p.fill(Shapes::circle(-45, -7, 3.2), Color::hex(0x111111));
}

void clownNose(Painter& p, Size) {
  for (int side = -1; side <= 1; side += 2)
    p.fillRadial(Shapes::circle(side * 78, 30, 30), {side * 78.0, 30}, 30,
                 {Color::hex(0xff5c7a, 0.55).stop(0), Color::hex(0xff5c7a, 0).stop(1)});
  p.save();
  p.translate(0, 6);
  p.fill(Shapes::ellipse(0, 36, 30, 6), Color::hex(0x000000, 0.12));
  p.restore();
  p.fillRadial(Shapes::circle(0, 0, 34), {-12, -14}, 46,
               {Color::hex(0xffb3b3).stop(0), Color::hex(0xf01c1c).stop(0.45),
                Color::hex(0x9b0000).stop(1)});
  p.fill(Shapes::ellipse(-12, -14, 9, 6), Color::hex(0xffffff, 0.8));
  for (int side = -1; side <= 1; side += 2)
    p.fill(Shapes::star(side * 70, -70, 14, 6, 4), Color::hex(0x3db2ff));
}

void heartShades(Painter& p, Size) {
  for (int side = -1; side <= 1; side += 2) {
    p.save();
    p.translate(side * 58, 0);
    p.fillLinear(Shapes::heart(0, 0, 100), {0, -45}, {0, 45},
                 {Color::hex(0xff4f8b, 0.92).stop(0), Color::hex(0xb3145a, 0.92).stop(1)});
    p.stroke(Shapes::heart(0, 0, 100), Color::hex(0xffffff), 5);
    p.fill(Shapes::ellipse(-20, -20, 12, 7), Color::hex(0xffffff, 0.55));
    p.restore();
    p.stroke(Shapes::line(side * 106, -18, side * 126, -24), Color::hex(0xffffff), 5);
  }
  Path bridge;
  bridge.moveToPoint(-12, -16);
  bridge.addCurveToPoint(-6, -24, 6, -24, 12, -16);
  p.stroke(bridge, Color::hex(0xffffff), 5);
}

void beardAndBowTie(Painter& p, Size) {
  Path beard;
  beard.moveToPoint(-100, -40);
  beard.addCurveToPoint(-96, 30, -60, 90, 0, 100);
  beard.addCurveToPoint(60, 90, 96, 30, 100, -40);
  beard.addCurveToPoint(80, -10, 60, 0, 40, -4);
  beard.addCurveToPoint(20, -20, -20, -20, -40, -4);
  beard.addCurveToPoint(-60, 0, -80, -10, -100, -40);
  beard.closeSubpath();
  Path mouth = Shapes::ellipse(0, 22, 26, 12);
  Shapes::append(beard, mouth);
  p.fillLinear(beard, {0, -40}, {0, 100},
               {Color::hex(0xa0522d).stop(0), Color::hex(0x6b3416).stop(1)}, FillRule::EvenOdd);
  for (int i = 0; i < 14; ++i) {
    double x = -80 + i * 12.3;
    Path curl;
    curl.moveToPoint(x, 0 + std::abs(x) * 0.2);
    curl.addCurveToPoint(x + 4, 30, x - 4, 50, x * 0.8, 80 - std::abs(x) * 0.3);
    p.stroke(curl, Color::hex(0xc87a4a, 0.45), 1.5);
  }
  for (int side = -1; side <= 1; side += 2) {
    Path wing;
    wing.moveToPoint(0, 126);
    wing.addLineToPoint(side * 44, 106);
    wing.addCurveToPoint(side * 50, 120, side * 50, 132, side * 44, 146);
    wing.closeSubpath();
    p.fill(wing, Color::hex(0x1e88e5));
  }
  p.fill(Shapes::roundedRect(-10, 116, 20, 20, 5), Color::hex(0x1565c0));
  for (double x : {-30.0, 30.0}) p.fill(Shapes::circle(x, 126, 3), Color::hex(0xffffff));
}

}  // namespace

std::vector<ArtItem> SamplePack::faceEffectItems() {
  return {ArtItem::centred("face1", 260, roundGlasses),
          ArtItem::centred("face2", 260, aviators),
          ArtItem::centred("face3", 260, partyHat),
          ArtItem::centred("face4", 260, topHat),
          ArtItem::centred("face5", 260, handlebarMoustache),
          ArtItem::centred("face6", 360, catMask),
          ArtItem::centred("face7", 340, bunnyEars),
          ArtItem::centred("face8", 260, eyePatch),
          ArtItem::centred("face9", 260, clownNose),
          ArtItem::centred("face10", 260, heartShades),
          ArtItem::centred("face11", 320, beardAndBowTie)};
}
