#pragma once

#include <array>

#include "Content/ContentType.h"
#include "Graphics/Geometry.h"

// The contact sheet's grid, in pixels: one row or more per content type (backgrounds, photo
// frames, cliparts, face effects, top/bottom frames, in that order), a fixed number of columns,
// one cell per item. A cell holds the full picture, below it the preview and up to two state
// pictures, and the item's name.
namespace SheetLayout {

inline constexpr int kColumns = 8;
inline constexpr int kMargin = 20;
inline constexpr int kPadding = 10;
inline constexpr int kCellWidth = 180;
inline constexpr int kPreviewSide = 64;
inline constexpr int kLabelSize = 11;      // text height of the item's name
inline constexpr int kStateLabelSize = 8;  // and of a state's number
inline constexpr int kLabelHeight = 14;
inline constexpr int kMaxStates = 2;
inline constexpr double kScreenScale = 2;

// The full picture is requested at a quarter of the screen's points.
inline platform::Size fullSize(bool tallScreen) {
  return {80, tallScreen ? 142.0 : 120.0};
}
inline int fullPixelHeight(bool tallScreen) {
  return static_cast<int>(fullSize(tallScreen).height * kScreenScale);
}
inline int previewTop(bool tallScreen) {
  return kPadding + fullPixelHeight(tallScreen) + 8;
}
inline int labelTop(bool tallScreen) {
  return previewTop(tallScreen) + kPreviewSide + 8;
}
inline int cellHeight(bool tallScreen) {
  return labelTop(tallScreen) + kLabelHeight + kPadding;
}

inline int rowsFor(int items) {
  return (items + kColumns - 1) / kColumns;
}

// The sheet for the given number of items of each type.
inline platform::Size sheetSize(const std::array<int, kContentTypeCount>& counts, bool tallScreen) {
  int rows = 0;
  for (int count : counts) rows += rowsFor(count);
  return {2.0 * kMargin + kColumns * kCellWidth,
          2.0 * kMargin + rows * static_cast<double>(cellHeight(tallScreen))};
}

}  // namespace SheetLayout
