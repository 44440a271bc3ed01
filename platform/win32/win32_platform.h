// The machine as Win32 reports it: the command line split as the C runtime
// splits it and the executable's path, both in UTF-8 (as the file layer
// takes paths), the user's decimal symbol, the cursor and the Escape key.
#pragma once

#include "machine/platform.h"

class Win32Platform final : public Platform {
 public:
  std::vector<std::string> Arguments() override;
  std::string ExecutablePath() override;
  char DecimalSymbol() override;
  ScreenPoint CursorPosition() override;
  bool IsEscapeDown() override;
};
