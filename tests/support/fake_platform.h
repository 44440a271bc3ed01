// The machine as a test sets it up: arguments, paths, cursor and Escape are
// plain values; Escape can go down after a number of polls, and the decimal
// symbol can come from a real platform.
#pragma once

#include <climits>
#include <string>
#include <vector>

#include "machine/platform.h"

// Escape never held: for walks that are not about it.
class EscapeNeverDown final : public EscapeKey {
 public:
  bool IsEscapeDown() override { return false; }
};

class FakePlatform final : public Platform {
 public:
  std::vector<std::string> arguments;
  std::string executablePath;
  char decimalSymbol = '.';
  // When set, the decimal symbol is this platform's: the real locale's.
  Platform* decimalSymbolSource = nullptr;
  ScreenPoint cursor{0, 0};
  // Escape is up for this many polls and held from the next one on.
  int escapeUpPolls = INT_MAX;
  int polls = 0;

  std::vector<std::string> Arguments() override { return arguments; }
  std::string ExecutablePath() override { return executablePath; }
  char DecimalSymbol() override {
    return decimalSymbolSource != nullptr ? decimalSymbolSource->DecimalSymbol() : decimalSymbol;
  }
  ScreenPoint CursorPosition() override { return cursor; }
  bool IsEscapeDown() override { return polls++ >= escapeUpPolls; }
};
