#include "ContactSheet.h"

#include <algorithm>
#include <cmath>

#include "Graphics/BitmapContext.h"
#include "Graphics/TextRenderer.h"
#include "SheetDrawing.h"
#include "SheetLayout.h"

namespace {

using platform::BitmapContext;
using platform::GStateSaver;
using platform::Image;
using platform::Rect;
using namespace SheetDrawing;

// Colours of the sheet: a dark ground, and one accent per content type.
constexpr std::uint32_t kTypeAccents[kContentTypeCount] = {0x4fc3f7, 0xffb74d, 0x81c784, 0xf06292,
                                                           0xba68c8};

// A stand-in for the user's photo: a soft backdrop and a head and shoulders, the face at the
// centre where face effects are placed.
void samplePhoto(BitmapContext& context, const Rect& box) {
  GStateSaver saved(context);
  context.beginPath();
  context.addRect(box);
  context.clip();
  double w = box.size.width, h = box.size.height;
  double cx = box.midX(), cy = box.midY();
  platform::Gradient backdrop{{{0, 0.93, 0.88, 0.82, 1}, {1, 0.62, 0.70, 0.78, 1}}};
  context.drawLinearGradient(backdrop, box.origin, {box.origin.x, box.maxY()});
  setColor(context, 0x35495e);
  context.beginPath();
  context.addEllipseInRect(Rect(cx - w * 0.55, cy + h * 0.28, w * 1.1, h * 0.6));
  context.fillPath();
  setColor(context, 0xe0ac86);
  context.fillRect(Rect(cx - w * 0.1, cy + h * 0.12, w * 0.2, h * 0.2));
  setColor(context, 0xeec1a0);
  context.beginPath();
  context.addEllipseInRect(Rect(cx - w * 0.3, cy - h * 0.24, w * 0.6, h * 0.44));
  context.fillPath();
  setColor(context, 0x4e342e);
  context.beginPath();
  context.addEllipseInRect(Rect(cx - w * 0.33, cy - h * 0.3, w * 0.66, h * 0.24));
  context.fillPath();
  setColor(context, 0x3e2723);
  for (int side = -1; side <= 1; side += 2) {
    context.beginPath();
    context.addEllipseInRect(Rect(cx + side * w * 0.11 - 4, cy - 4, 8, 6));
    context.fillPath();
  }
}

}  // namespace

std::shared_ptr<Image> ContactSheet::render() {
  using namespace SheetLayout;
  platform::Size size = sheetSize(_folder.counts(), _tallScreen);
  auto context =
      BitmapContext::create(static_cast<int>(size.width), static_cast<int>(size.height), false);
  if (!context) return nullptr;
  // Laid out top-down.
  context->translateCTM(0, size.height);
  context->scaleCTM(1, -1);
  fill(*context, Rect(0, 0, size.width, size.height), 0x26262b);

  platform::Size full = fullSize(_tallScreen);
  double fullHeight = fullPixelHeight(_tallScreen);
  platform::Size preview{kPreviewSide / kScreenScale, kPreviewSide / kScreenScale};
  platform::Size stateSize{full.width * kPreviewSide / fullHeight,
                           full.height * kPreviewSide / fullHeight};
  int row = 0;
  for (int type = 0; type < kContentTypeCount; ++type) {
    const std::vector<PackItem>& items = _folder.itemsOfType(static_cast<ContentType>(type));
    for (size_t i = 0; i < items.size(); ++i) {
      const PackItem& item = items[i];
      double x = kMargin + static_cast<double>(i % kColumns) * kCellWidth;
      double y = kMargin + static_cast<double>(row + i / kColumns) * cellHeight(_tallScreen);
      fill(*context, Rect(x + 2, y + 2, kCellWidth - 4, cellHeight(_tallScreen) - 4), 0x34343b);
      fill(*context, Rect(x + 2, y + 2, 4, cellHeight(_tallScreen) - 4), kTypeAccents[type]);

      Rect fullBox(x + kPadding, y + kPadding, kCellWidth - 2 * kPadding, fullHeight);
      if (type == ContentTypeBackground) {
        checkerboard(*context, fullBox, 0xffffff, 0xd8d8d8);
      } else {
        samplePhoto(*context, fullBox);
      }
      bool failed = false;
      if (auto image = item.renderImage(full, false, _defaultMask)) {
        drawCentred(*context, *image, fullBox);
      } else {
        crossOut(*context, fullBox);
        failed = true;
      }

      Rect previewBox(x + kPadding, y + previewTop(_tallScreen), kPreviewSide, kPreviewSide);
      checkerboard(*context, previewBox, 0xffffff, 0xd8d8d8);
      if (auto image = item.renderImage(preview, true, _defaultMask)) {
        drawCentred(*context, *image, previewBox);
      } else {
        crossOut(*context, previewBox);
        failed = true;
      }

      std::vector<int> states = item.declaredStates();
      for (size_t s = 0; s < states.size() && s < static_cast<size_t>(kMaxStates); ++s) {
        Rect stateBox(previewBox.maxX() + 8 + static_cast<double>(s) * (stateSize.width * 2 + 6),
                      previewBox.origin.y, stateSize.width * kScreenScale, kPreviewSide);
        samplePhoto(*context, stateBox);
        if (auto image = item.renderState(stateSize, states[s])) {
          drawCentred(*context, *image, stateBox);
        } else {
          crossOut(*context, stateBox);
          failed = true;
        }
        std::string label = "s" + std::to_string(states[s]);
        double width = std::ceil(labelWidth(label, kStateLabelSize)) + 4;
        fill(*context,
             Rect(stateBox.origin.x, stateBox.origin.y, width, kStateLabelSize * 1.25 + 2),
             0x26262b, 0.8);
        drawLabel(*context, label, stateBox.origin.x + 2, stateBox.origin.y + 1, kStateLabelSize,
                  width - 4, 0xf2f2f5);
      }
      if (failed) _failures.push_back(item.name());

      drawLabel(*context, item.name(), x + kPadding, y + labelTop(_tallScreen), kLabelSize,
                kCellWidth - 2 * kPadding, failed ? 0xff6b6b : 0xf2f2f5);
    }
    row += rowsFor(static_cast<int>(items.size()));
  }
  return context->makeImage();
}
