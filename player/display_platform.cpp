#include "display_platform.h"

namespace quillmark {
namespace {
bool Given(const char* value) { return value != nullptr && *value != '\0'; }
}  // namespace

std::string ChosenDisplayPlatform(const char* qtPlatform, const char* waylandDisplay,
                                  const char* x11Display) {
  if (Given(qtPlatform) || !Given(waylandDisplay) || !Given(x11Display)) return {};
  // Qt tries the plugins in order and takes the first that connects.
  return "xcb;wayland";
}

}  // namespace quillmark
