// Shared by the reader tests: a fixture that starts from the defaults, line
// and file feeding, and a look at EntityOrder.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/reader.h"
#include "interchange/state.h"

class ReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetInterchangeState(); }
};

// Parses the lines in order; false at the first that fails.
inline bool ParseLines(const std::vector<std::string_view>& lines) {
  for (const std::string_view line : lines) {
    if (!ParseInterchangeLine(line)) return false;
  }
  return true;
}

// The kinds of EntityOrder, in reading order.
inline std::vector<int> OrderKinds() {
  std::vector<int> kinds;
  for (std::int32_t i = 0; i < Entities.EntityOrder.Count(); ++i) {
    kinds.push_back(Entities.EntityOrder[static_cast<std::size_t>(i)].Kind);
  }
  return kinds;
}

// A file in the temporary folder, removed when the test ends.
class TempFile {
 public:
  explicit TempFile(std::string_view bytes) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = (std::filesystem::temp_directory_path() /
             ("k726_" + std::string(test->name()) + "_" + std::to_string(++counter_) + ".txt"))
                .string();
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    if (file == nullptr) throw std::runtime_error("cannot create " + path_);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  ~TempFile() { std::remove(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  static inline int counter_ = 0;
  std::string path_;
};
