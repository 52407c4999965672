#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "Graphics/Geometry.h"
#include "Graphics/Image.h"
#include "UI/UIView.h"

class SVGRenderer;

// Shows one ProtoSVG picture fitted into its bounds, with the picture's states switched on and
// off by its owner. The layer is rasterized, so moving the view does not draw the picture
// again; after changing the file or the states the owner asks for a redraw (setNeedsDisplay).
class SVGView : public platform::UIView {
 public:
  SVGView();
  explicit SVGView(platform::Rect frame);
  ~SVGView() override;
  std::string className() const override { return "SVGView"; }

  // Loads the file (none empties the view); the same path again does nothing.
  void setSvgFile(std::optional<std::string> path);
  const std::optional<std::string>& svgFile() const { return _svgFile; }

  void setStateActive(std::int32_t state);
  void setStateInactive(std::int32_t state);
  void setAllStatesInactive();
  void setState(std::int32_t state, bool active);
  // Builds the picture's paths and gradients ahead of the first draw.
  void prepareToDraw();

  void drawRect(platform::BitmapContext& context, platform::Rect rect) override;
  bool applyAttribute(const std::string& name, const std::string& value,
                      platform::InterfaceContext& context, std::string& error) override;

  // Makes the class known to interface files by the name "SVGView".
  static void registerViewClass();

  // The picture in the file fitted into `size` points at the main screen's scale, with no state
  // switched on; none when the file does not load or the size gives no pixels. Any thread.
  static std::shared_ptr<platform::Image> imageWithSize(platform::Size size,
                                                        const std::string& path);

 private:
  void _init();
  std::unique_ptr<SVGRenderer> _render;
  std::optional<std::string> _svgFile;
  std::recursive_mutex _lock;
};
