#include "SVGView/SVGView.h"

#include "Foundation/Bundle.h"
#include "Foundation/DeviceProfile.h"
#include "SVGView/SVGRenderer.h"
#include "UI/InterfaceContext.h"
#include "UI/ViewClassRegistry.h"

SVGView::SVGView() {
  _init();
}

SVGView::SVGView(platform::Rect frame) : platform::UIView(frame) {
  _init();
}

SVGView::~SVGView() = default;

void SVGView::_init() {
  _render = std::make_unique<SVGRenderer>();
  setOpaque(false);
  layer().setShouldRasterize(true);
}

void SVGView::setSvgFile(std::optional<std::string> path) {
  if (_svgFile && path && *_svgFile == *path) return;
  _svgFile = path;
  std::lock_guard lock(_lock);
  if (!path) {
    _render->reset();
  } else if (_render->load(*path)) {
    _render->prepare();
  }
}

void SVGView::setStateActive(std::int32_t state) {
  _render->setStateActive(state);
}

void SVGView::setStateInactive(std::int32_t state) {
  _render->setStateInactive(state);
}

void SVGView::setAllStatesInactive() {
  _render->setAllStatesInactive();
}

void SVGView::setState(std::int32_t state, bool active) {
  active ? setStateActive(state) : setStateInactive(state);
}

void SVGView::prepareToDraw() {
  std::lock_guard lock(_lock);
  _render->prepare();
}

void SVGView::drawRect(platform::BitmapContext& context, platform::Rect) {
  std::lock_guard lock(_lock);
  platform::Rect b = bounds();
  platform::GStateSaver saver(context);
  context.translateCTM(b.origin.x, b.origin.y);
  _render->drawInContext(context, static_cast<float>(b.size.width),
                         static_cast<float>(b.size.height));
}

bool SVGView::applyAttribute(const std::string& name, const std::string& value,
                             platform::InterfaceContext& context, std::string& error) {
  if (name == "svgFile") {
    // A name in the main bundle, or a path.
    std::string path = value;
    auto bundle = platform::Bundle::mainBundle();
    if (auto found = bundle ? bundle->pathForResource(value, "") : std::nullopt) path = *found;
    setSvgFile(path);
    return true;
  }
  if (name == "activeStates") {
    std::size_t start = 0;
    while (start < value.size()) {
      std::size_t end = value.find(' ', start);
      if (end == std::string::npos) end = value.size();
      if (end > start) {
        auto state = context.parseInteger(value.substr(start, end - start), error);
        if (!state) return false;
        setStateActive(*state);
      }
      start = end + 1;
    }
    return true;
  }
  return platform::UIView::applyAttribute(name, value, context, error);
}

void SVGView::registerViewClass() {
  platform::ViewClassRegistry::registerClass("SVGView", [] { return std::make_shared<SVGView>(); });
}

std::shared_ptr<platform::Image> SVGView::imageWithSize(platform::Size size,
                                                        const std::string& path) {
  return SVGRenderer::imageWithSize(size, path);
}
