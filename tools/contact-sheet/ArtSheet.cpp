#include "ArtSheet.h"

#include <algorithm>

#include "Graphics/BitmapContext.h"
#include "Graphics/ImageDecoder.h"
#include "SheetDrawing.h"

namespace {

using platform::Rect;
using namespace SheetDrawing;

constexpr double kSheetWidth = 2240;
constexpr double kMargin = 24;
constexpr double kGap = 14;
constexpr double kMaxPictureHeight = 480;
constexpr double kLabelSize = 12;
constexpr double kLabelHeight = 2 * kLabelSize * 1.25 + 6;

struct Cell {
  const ArtList::Picture* picture;
  std::string file;
  std::shared_ptr<platform::Image> image;  // null when missing or of the wrong size
  double pictureWidth, height;             // the picture's box on the sheet
  double width;                            // the cell's, at least wide enough for the labels
  double x = 0, y = 0;
};

}  // namespace

std::shared_ptr<platform::Image> ArtSheet::render() {
  std::vector<Cell> cells;
  for (const ArtList::Picture& picture : _list.pictures()) {
    // A picture drawn at one scale only is shown at that scale.
    int scale = std::count(picture.scales.begin(), picture.scales.end(), _scale)
                    ? _scale
                    : picture.scales.front();
    Cell cell{&picture, picture.fileName(scale), nullptr, 0, 0, 0};
    auto image = platform::ImageDecoder::imageWithContentsOfFile(_bundleFolder + "/" + cell.file);
    if (image && image->pixelWidth() == picture.width * scale &&
        image->pixelHeight() == picture.height * scale)
      cell.image = image;
    else
      _failures.push_back(cell.file);
    double w = picture.width * scale, h = picture.height * scale;
    double f = std::min({1.0, kMaxPictureHeight / h, (kSheetWidth - 2 * kMargin) / w});
    cell.pictureWidth = w * f;
    cell.height = h * f;
    cell.width = std::max(cell.pictureWidth, 228.0);
    cells.push_back(std::move(cell));
  }

  // Rows: a new one for each group of the list, and wherever the sheet is full.
  double x = kMargin, y = kMargin, rowHeight = 0;
  int group = cells.empty() ? 0 : cells.front().picture->group;
  for (Cell& cell : cells) {
    if (cell.picture->group != group || x + cell.width > kSheetWidth - kMargin) {
      y += rowHeight + kGap;
      x = kMargin;
      rowHeight = 0;
      group = cell.picture->group;
    }
    cell.x = x;
    cell.y = y;
    x += cell.width + kGap;
    rowHeight = std::max(rowHeight, cell.height + kLabelHeight);
  }
  double height = y + rowHeight + kMargin;

  auto context = platform::BitmapContext::create(static_cast<int>(kSheetWidth),
                                                 static_cast<int>(height), false);
  if (!context) return nullptr;
  context->translateCTM(0, height);
  context->scaleCTM(1, -1);
  fill(*context, Rect(0, 0, kSheetWidth, height), 0x26262b);
  for (const Cell& cell : cells) {
    const ArtList::Picture& picture = *cell.picture;
    Rect box(cell.x, cell.y, cell.pictureWidth, cell.height);
    checkerboard(*context, box, 0x5c5c66, 0x4a4a54);
    if (cell.image)
      drawCentred(*context, *cell.image, box);
    else
      crossOut(*context, box);
    std::uint32_t color = cell.image ? 0xf2f2f5 : 0xff6b6b;
    drawLabel(*context, cell.file, cell.x, cell.y + cell.height + 4, kLabelSize, cell.width, color);
    drawLabel(*context,
              std::to_string(picture.width) + " x " + std::to_string(picture.height) + " pt" +
                  (picture.state ? ", state " + std::to_string(*picture.state) : ""),
              cell.x, cell.y + cell.height + 4 + kLabelSize * 1.25, kLabelSize, cell.width,
              0xa0a0ab);
  }
  return context->makeImage();
}
