#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "UI/UIButton.h"
#include "UI/UIScrollView.h"

// A vertical list of many rows that keeps as subviews only the rows on screen (one more while
// a row is partly out), taking the rows that scrolled away for those that scroll in. The scroll
// view lays it out at every change of the offset. A tap selects a row; a drag that starts on a
// row scrolls instead, the row's touch cancelled.
class RecyclingListView : public platform::UIScrollView {
 public:
  RecyclingListView(platform::Rect frame, int rowCount, double rowHeight);
  std::string className() const override { return "RecyclingListView"; }

  int rowCount() const { return _rowCount; }
  double rowHeight() const { return _rowHeight; }
  // The first row on screen, at least partly; -1 without rows.
  int firstVisibleRow() const;
  // The row views that are subviews now, and how many were ever made.
  int rowViewCount() const { return static_cast<int>(_shown.size()); }
  int rowViewsMade() const { return _made; }
  // The view showing `row`, or null when that row is not on screen.
  platform::UIButton* viewForRow(int row) const;
  // The title a row shows.
  static std::string rowTitle(int row);

  int selectedRow() const { return _selected; }
  void setSelectedRow(int row);
  // Told of every selection made by a tap.
  void setOnSelect(std::function<void(int)> onSelect) { _onSelect = std::move(onSelect); }

  void layoutSubviews() override;

 private:
  std::shared_ptr<platform::UIButton> dequeueRowView();
  void configure(platform::UIButton& view, int row);

  int _rowCount;
  double _rowHeight;
  int _selected = -1;
  int _made = 0;
  std::function<void(int)> _onSelect;
  // Row number to the view showing it; row views off screen wait in _reusable.
  std::map<int, std::shared_ptr<platform::UIButton>> _shown;
  std::vector<std::shared_ptr<platform::UIButton>> _reusable;
  std::shared_ptr<platform::Image> _even, _odd, _highlighted, _selectedImage;
};
