#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>

#include "Graphics/BitmapContext.h"
#include "Graphics/GradientPattern.h"
#include "Graphics/Image.h"
#include "Graphics/Path.h"
#include "svg.pb.h"

// Draws a ProtoSVG picture: loads a file into its message tree and indexes its gradients by
// identifier, builds and caches a drawing path per path message and a pattern per gradient, keeps
// the states the picture declares and the ones switched on, and draws the picture fitted to an
// output size, onto a canvas or into a new image. Not thread-safe: one owner uses it at a time.
class SVGRenderer {
 public:
  SVGRenderer() = default;
  SVGRenderer(const SVGRenderer&) = delete;
  SVGRenderer& operator=(const SVGRenderer&) = delete;

  // Empties the caches and the tree; the state sets stay.
  void reset();
  // 1 when the whole file parsed, 0 otherwise (what parsed before a fault is kept and drawn).
  int load(const std::string& path);
  // Builds every path and gradient ahead of the first draw.
  void prepare();

  // Switches a state on, only if a loaded picture declared it.
  void setStateActive(std::int32_t state);
  void setStateInactive(std::int32_t state);
  void setAllStatesInactive();
  const std::set<std::int32_t>& activeStates() const { return _activeStates; }
  const std::set<std::int32_t>& declaredStates() const { return _declaredStates; }

  // Clears (0, 0, width, height) and draws the picture fitted into it; the canvas's graphics
  // state is as before afterwards.
  void drawInContext(platform::BitmapContext& context, float width, float height);
  // The picture as an image of width × height points at `scale`; none for an empty pixel size.
  std::shared_ptr<platform::Image> renderImage(float width, float height, double scale);
  // The picture in the file fitted into `size` points at the main screen's scale, with no state
  // switched on; none when the file does not load or the size gives no pixels. Any thread.
  static std::shared_ptr<platform::Image> imageWithSize(platform::Size size,
                                                        const std::string& path);

  // The picture-to-output transform for an output of width × height.
  platform::AffineTransform fitTransform(float width, float height) const;
  // The states a group identifier names ("layer_state-1-4" names 1 and 4).
  static std::set<std::int32_t> statesFromIdentifier(const std::string& identifier);

  const ProtoSVGRoot& root() const { return _root; }

 private:
  using Callback = std::function<void(const ProtoSVGElement&)>;
  enum class Mode { Full, Drawing };

  void walk(Mode mode, const Callback& callback) const;
  void visit(const ProtoSVGElement& element, Mode mode, const Callback& callback) const;
  bool isGroupVisible(const ProtoSVGGeneralParams& group) const;
  // Built on first use, then cached under the message's address.
  const platform::Path& pathFor(const ProtoSVGElementPath& message);
  const platform::GradientPattern& patternFor(const ProtoSVGElementGradient& message);
  bool applyParams(platform::BitmapContext& context, const ProtoSVGGeneralParams& params) const;
  void drawPath(platform::BitmapContext& context, const ProtoSVGElementPath& message);
  // drawInContext without clearing first.
  void drawPicture(platform::BitmapContext& context, float width, float height);

  ProtoSVGRoot _root;
  std::map<const ProtoSVGElementPath*, platform::Path> _pathCache;
  std::map<const ProtoSVGElementGradient*, platform::GradientPattern> _patternCache;
  // The last definition of an identifier in tree order wins.
  std::unordered_map<std::string, const ProtoSVGElementGradient*> _gradientsById;
  std::set<std::int32_t> _activeStates;
  std::set<std::int32_t> _declaredStates;
};
