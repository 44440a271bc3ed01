// The Linux stand-in: arguments from argv, the executable from /proc/self/exe,
// the decimal symbol from the C library's numeric locale. There is no screen
// and no keyboard: the cursor is at (0, 0) and Escape is never down.
#pragma once

#include <string>
#include <vector>

#include "machine/platform.h"

class HeadlessPlatform final : public Platform {
 public:
  HeadlessPlatform(int argc, char** argv);
  std::vector<std::string> Arguments() override { return arguments_; }
  std::string ExecutablePath() override;
  char DecimalSymbol() override;
  ScreenPoint CursorPosition() override { return {0, 0}; }
  bool IsEscapeDown() override { return false; }

 private:
  std::vector<std::string> arguments_;
  std::string argv0_;
};
