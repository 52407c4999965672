#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "AppUI/ImageListController.h"
#include "Graphics/Image.h"
#include "UI/UIView.h"
#include "UI/UIViewController.h"

// Saves the editor's composition: the composition view drawn at the screen's scale over black,
// then handed to the share sheet (systems 6.0 and later) or written to the photo album with an
// alert that tells how it went.
class CompositionSaver : public std::enable_shared_from_this<CompositionSaver> {
 public:
  // What the editor shows at the moment of saving; any list may be absent.
  struct Composition {
    std::shared_ptr<platform::UIView> assetView;
    std::shared_ptr<ImageListController> backgrounds;
    std::shared_ptr<ImageListController> frames;
    std::shared_ptr<ImageListController> tbFrames;
  };
  using CompositionSource = std::function<Composition()>;

  // The share sheet is presented by `presenter`; `source` is asked when the save runs, so
  // lists the editor replaced meanwhile are the ones saved.
  CompositionSaver(std::weak_ptr<platform::UIViewController> presenter, CompositionSource source);

  // The save action: reported, the loading indicator shown, doSaveImage on the next turn of
  // the main loop so that the indicator appears first.
  void saveImage();
  void doSaveImage();
  // The album's answer: the indicator goes and an alert says how it went.
  void imageDidFinishSavingWithError(const std::optional<std::string>& error);

  // The composition view's layer tree at the main screen's scale, over black.
  static std::shared_ptr<platform::Image> renderComposition(platform::UIView& assetView);

 private:
  std::weak_ptr<platform::UIViewController> _presenter;
  CompositionSource _source;
};
