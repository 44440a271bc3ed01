#include "machine/platform.h"

namespace {

class QuietPlatform final : public Platform {
 public:
  std::vector<std::string> Arguments() override { return {}; }
  std::string ExecutablePath() override { return {}; }
  char DecimalSymbol() override { return '.'; }
  ScreenPoint CursorPosition() override { return {0, 0}; }
  bool IsEscapeDown() override { return false; }
};

QuietPlatform quietPlatform;
Platform* installedPlatform = &quietPlatform;

}  // namespace

Platform& CurrentPlatform() { return *installedPlatform; }

void InstallPlatform(Platform* platform) {
  installedPlatform = platform != nullptr ? platform : &quietPlatform;
}
