// Loads arbitrary bytes as an "svgpb" file and draws whatever parsed, with every state on.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "SVGView/SVGRenderer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  static const std::string path = "/tmp/svgpb-fuzz-" + std::to_string(getpid()) + ".svgpb";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  SVGRenderer renderer;
  renderer.load(path);
  for (std::int32_t state : renderer.declaredStates()) renderer.setStateActive(state);
  renderer.prepare();
  renderer.renderImage(64, 48, 1);
  auto context = platform::BitmapContext::create(32, 32, true);
  renderer.drawInContext(*context, 32, 32);
  // The canvas must still draw after whatever the picture did to it.
  context->setFillColor(1, 0, 0, 1);
  context->fillRect(platform::Rect(0, 0, 32, 32));
  if (context->makeImage()->bitmap().pixel(16, 16) != 0xFFFF0000u) __builtin_trap();
  return 0;
}
