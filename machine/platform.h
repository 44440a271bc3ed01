// What the core needs of the machine, and nothing more. The Windows build
// answers from Win32; the headless build from Linux; tests install doubles.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ScreenPoint {
  std::int32_t X;
  std::int32_t Y;
};

class Platform {
 public:
  virtual ~Platform() = default;
  // Command-line arguments after the program name, split as the OS splits them.
  virtual std::vector<std::string> Arguments() = 0;
  // Full path of the running executable, in the file layer's encoding
  // (UTF-8 on Windows, the bytes as they are on Linux).
  virtual std::string ExecutablePath() = 0;
  // The user's decimal symbol; '.' when the locale defines none.
  virtual char DecimalSymbol() = 0;
  // Mouse cursor in screen pixels.
  virtual ScreenPoint CursorPosition() = 0;
  // Whether Escape is held at this moment; waits for and consumes nothing.
  virtual bool IsEscapeDown() = 0;
};

// The installed platform; a quiet stand-in (no arguments, '.', Escape never
// down) until the program entry or a test installs one.
Platform& CurrentPlatform();
// nullptr restores the stand-in. The caller keeps ownership.
void InstallPlatform(Platform* platform);
