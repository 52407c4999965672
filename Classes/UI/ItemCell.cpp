#include "AppUI/ItemCell.h"

#include "AppUI/ItemsView.h"
#include "UI/UITouch.h"

void ItemCell::touchesEnded(const platform::UITouchSet& touches, platform::UIEvent*) {
  if (touches.empty() || !bounds().contains(touches.front()->locationInView(this))) return;
  if (auto* strip = dynamic_cast<ItemsView*>(superview())) strip->setSelectedIndex(cellIndex());
}
