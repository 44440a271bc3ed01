// Test doubles of the machine and the form's window, and a scratch folder
// that stands for the executable's folder.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/form_window.h"
#include "platform/platform.h"

class FakePlatform final : public Platform {
 public:
  std::vector<std::string> arguments;
  std::string executablePath;
  ScreenPoint cursor{0, 0};
  bool escapeDown = false;

  std::vector<std::string> Arguments() override { return arguments; }
  std::string ExecutablePath() override { return executablePath; }
  char DecimalSymbol() override { return '.'; }
  ScreenPoint CursorPosition() override { return cursor; }
  bool IsEscapeDown() override { return escapeDown; }
};

class FakeWindow final : public FormWindow {
 public:
  bool minimised = false;
  bool closed = false;
  bool moved = false;
  std::int32_t left = 192;
  std::int32_t top = 107;
  std::int32_t outerWidth = 318;
  std::int32_t radio = 0;
  std::string edit;

  void Minimise() override { minimised = true; }
  void MoveTo(std::int32_t l, std::int32_t t) override {
    moved = true;
    left = l;
    top = t;
  }
  std::int32_t OuterWidth() override { return outerWidth; }
  void SetRadioIndex(std::int32_t index) override { radio = index < 0 ? -1 : (index > 0 ? 1 : 0); }
  std::int32_t RadioIndex() override { return radio; }
  void SetEditText(std::string_view text) override { edit.assign(text); }
  std::string EditText() override { return edit; }
  void Close() override { closed = true; }
};

// A fresh folder holding nothing; removed with the object.
class ScratchFolder {
 public:
  ScratchFolder() {
    path_ = std::filesystem::temp_directory_path() /
            ("k726-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + std::to_string(counter_++) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  // The folder as the form keeps it: with its trailing separator.
  std::string Folder() const { return (path_ / "").string(); }

 private:
  static inline int counter_ = 0;
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
