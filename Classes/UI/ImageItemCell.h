#pragma once

#include <memory>
#include <string>

#include "AppUI/ItemCell.h"
#include "Content/ContentItem.h"
#include "UI/UIImageView.h"

// A cell showing the preview picture of one content item, centred, inset from the cell's edges.
// The preview is asked for once the cell has a size and no picture yet; a cell handed another
// item cancels the old item's pending preview, so fast scrolling does not pile up renders.
class ImageItemCell : public ItemCell {
 public:
  ImageItemCell();
  std::string className() const override { return "ImageItemCell"; }

  void layoutSubviews() override;

  const std::shared_ptr<ContentItem>& data() const { return _data; }
  void setData(std::shared_ptr<ContentItem> item);
  const std::shared_ptr<platform::UIImageView>& imgView() const { return _imgView; }

 private:
  void requestPreview();

  std::shared_ptr<ContentItem> _data;
  std::shared_ptr<platform::UIImageView> _imgView;
};
