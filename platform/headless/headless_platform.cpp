#include "platform/headless/headless_platform.h"

#include <clocale>
#include <filesystem>
#include <system_error>

HeadlessPlatform::HeadlessPlatform(int argc, char** argv) {
  if (argc > 0 && argv[0] != nullptr) argv0_ = argv[0];
  for (int i = 1; i < argc; ++i) arguments_.emplace_back(argv[i]);
}

std::string HeadlessPlatform::ExecutablePath() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) return self.string();
  // Without /proc, argv[0] made absolute is the best guess.
  const std::filesystem::path guess = std::filesystem::absolute(argv0_, error);
  return error ? argv0_ : guess.string();
}

char HeadlessPlatform::DecimalSymbol() {
  const std::lconv* conventions = std::localeconv();
  if (conventions == nullptr || conventions->decimal_point == nullptr) return '.';
  const char symbol = conventions->decimal_point[0];
  return symbol != '\0' ? symbol : '.';
}
