#include "RecyclingListView.h"

#include <algorithm>
#include <cmath>

using namespace platform;

namespace {

std::shared_ptr<Image> solid(std::uint32_t argb) {
  auto bitmap = Bitmap::create(1, 1, PixelFormat::ARGB32Premultiplied);
  bitmap->setPixel(0, 0, argb);
  return Image::imageWithBitmap(bitmap);
}

}  // namespace

RecyclingListView::RecyclingListView(Rect frame, int rowCount, double rowHeight)
    : UIScrollView(frame), _rowCount(std::max(0, rowCount)), _rowHeight(rowHeight) {
  setContentSize(Size{frame.size.width, _rowCount * _rowHeight});
  _even = solid(0xFF3A4450u);
  _odd = solid(0xFF444F5Cu);
  _highlighted = solid(0xFFFFCC00u);
  _selectedImage = solid(0xFF2060C0u);
}

std::string RecyclingListView::rowTitle(int row) {
  return "Row " + std::to_string(row + 1);
}

int RecyclingListView::firstVisibleRow() const {
  if (_rowCount == 0) return -1;
  int row = static_cast<int>(std::floor(contentOffset().y / _rowHeight));
  return std::clamp(row, 0, _rowCount - 1);
}

UIButton* RecyclingListView::viewForRow(int row) const {
  auto found = _shown.find(row);
  return found == _shown.end() ? nullptr : found->second.get();
}

void RecyclingListView::setSelectedRow(int row) {
  int before = _selected;
  _selected = row >= 0 && row < _rowCount ? row : -1;
  if (UIButton* view = viewForRow(before)) view->setSelected(false);
  if (UIButton* view = viewForRow(_selected)) view->setSelected(true);
}

std::shared_ptr<UIButton> RecyclingListView::dequeueRowView() {
  if (!_reusable.empty()) {
    auto view = std::move(_reusable.back());
    _reusable.pop_back();
    return view;
  }
  ++_made;
  auto view = UIButton::buttonWithType(UIButtonType::Custom);
  view->setBackgroundImage(_highlighted, UIControlStateHighlighted);
  view->setBackgroundImage(_selectedImage, UIControlStateSelected);
  view->setBackgroundImage(_highlighted, UIControlStateSelected | UIControlStateHighlighted);
  view->setTitleColor(UIColor::blackColor(), UIControlStateHighlighted);
  view->titleLabel()->setFont(UIFont::systemFontOfSize(17));
  view->setContentEdgeInsets(EdgeInsets{0, 16, 0, 16});
  // The list owns its row views, so it is alive whenever one of them acts.
  UIButton* raw = view.get();
  view->addTarget(
      [this, raw](UIControl&) {
        setSelectedRow(raw->tag());
        if (_onSelect) _onSelect(raw->tag());
      },
      UIControlEventTouchUpInside);
  return view;
}

void RecyclingListView::configure(UIButton& view, int row) {
  view.setTag(row);
  view.setFrame(Rect(0, row * _rowHeight, bounds().size.width, _rowHeight - 1));
  view.setTitle(rowTitle(row), UIControlStateNormal);
  view.setBackgroundImage(row % 2 ? _odd : _even, UIControlStateNormal);
  view.setHighlighted(false);
  view.setSelected(row == _selected);
}

void RecyclingListView::layoutSubviews() {
  UIScrollView::layoutSubviews();
  int first = 0, last = -1;
  if (_rowCount > 0) {
    double top = contentOffset().y, bottom = top + bounds().size.height;
    first = firstVisibleRow();
    // A row counts while any of it shows.
    last = std::clamp(static_cast<int>(std::ceil(bottom / _rowHeight)) - 1, first, _rowCount - 1);
  }
  for (auto it = _shown.begin(); it != _shown.end();) {
    if (it->first >= first && it->first <= last) {
      ++it;
      continue;
    }
    it->second->removeFromSuperview();
    _reusable.push_back(std::move(it->second));
    it = _shown.erase(it);
  }
  for (int row = first; row <= last; ++row) {
    if (_shown.count(row)) continue;
    auto view = dequeueRowView();
    configure(*view, row);
    addSubview(view);
    _shown[row] = std::move(view);
  }
}
