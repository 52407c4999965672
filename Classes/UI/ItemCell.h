#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "UI/UIView.h"

// A cell of an item strip: knows which item it shows and selects it when a touch ends on it.
// The hooks are empty here; subclasses show selection, editing or a first appearance.
class ItemCell : public platform::UIView {
 public:
  using platform::UIView::UIView;
  std::string className() const override { return "ItemCell"; }

  std::int32_t cellIndex() const { return _cellIndex.load(); }
  void setCellIndex(std::int32_t index) { _cellIndex.store(index); }

  virtual void setSelected(bool /*selected*/, bool /*animated*/) {}
  virtual void setEditing(bool /*editing*/, bool /*animated*/) {}
  // Once, when the strip puts a newly obtained cell on screen.
  virtual void cellDidShow() {}

  // A touch that ends on the cell selects its index in the strip that holds it; the touch goes
  // no further. A cancelled touch (the strip began to scroll) selects nothing.
  void touchesEnded(const platform::UITouchSet& touches, platform::UIEvent* event) override;

 private:
  std::atomic<std::int32_t> _cellIndex{0};
};
