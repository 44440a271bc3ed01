// The output lines held in memory, for tests, benchmarks and the fuzz
// targets: attached to OutputLines while it lives, so that what the emitters
// add can be read back line by line or as the file's image.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/line_sink.h"

class HeldLines final : public LineSink {
 public:
  // Clears OutputLines and attaches to it.
  HeldLines();
  ~HeldLines();
  HeldLines(const HeldLines&) = delete;
  HeldLines& operator=(const HeldLines&) = delete;

  const std::vector<std::string>& Lines() const { return lines_; }
  std::string_view operator[](std::int32_t i) const { return lines_[static_cast<std::size_t>(i)]; }
  // The interchange file's image of the lines, as a run writes it.
  std::string Image() const;

  char* ComposeSpace(std::size_t) override { return nullptr; }
  bool PutComposed(const char* begin, const char* end) override {
    return Put({begin, static_cast<std::size_t>(end - begin)});
  }
  bool Put(std::string_view line) override {
    lines_.emplace_back(line);
    return true;
  }
  bool TakeBack(int count) override;
  bool AtBoundary() override { return true; }
  bool Restart() override {
    lines_.clear();
    return true;
  }

 private:
  std::vector<std::string> lines_;
};
