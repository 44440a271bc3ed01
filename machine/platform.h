// What the core needs of the machine, and nothing more. The Windows build
// answers from Win32; the headless build from Linux; tests pass doubles.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ScreenPoint {
  std::int32_t X;
  std::int32_t Y;
};

// The one thing re-emission asks of the machine: whether Escape is held at
// this moment. Waits for and consumes nothing.
class EscapeKey {
 public:
  virtual bool IsEscapeDown() = 0;

 protected:
  ~EscapeKey() = default;
};

class Platform : public EscapeKey {
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
  bool IsEscapeDown() override = 0;
};
