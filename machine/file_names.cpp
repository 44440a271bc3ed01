#include "machine/file_names.h"

#include <atomic>
#include <chrono>

namespace {

constexpr std::string_view kInfix = ".k726-";
constexpr std::string_view kSuffix = ".tmp";
constexpr std::size_t kHexDigits = 16;

std::atomic<std::uint64_t> callCounter{0};

bool IsLowerHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

// splitmix64's finaliser: spreads close inputs over all bits.
std::uint64_t Mix(std::uint64_t x) {
  x ^= x >> 30;
  x *= 0xBF58476D1CE4E5B9u;
  x ^= x >> 27;
  x *= 0x94D049BB133111EBu;
  return x ^ (x >> 31);
}

}  // namespace

std::string TemporaryNameFor(const std::string& path, std::uint64_t unique) {
  std::string name;
  name.reserve(path.size() + kInfix.size() + kHexDigits + kSuffix.size());
  name.append(path).append(kInfix);
  for (int shift = 60; shift >= 0; shift -= 4) {
    name.push_back("0123456789abcdef"[(unique >> shift) & 0xF]);
  }
  name.append(kSuffix);
  return name;
}

bool IsTemporaryNameOf(std::string_view fileName, std::string_view targetName) {
  if (fileName.size() != targetName.size() + kInfix.size() + kHexDigits + kSuffix.size()) {
    return false;
  }
  if (fileName.substr(0, targetName.size()) != targetName) return false;
  fileName.remove_prefix(targetName.size());
  if (fileName.substr(0, kInfix.size()) != kInfix) return false;
  fileName.remove_prefix(kInfix.size());
  for (std::size_t i = 0; i < kHexDigits; ++i) {
    if (!IsLowerHex(fileName[i])) return false;
  }
  return fileName.substr(kHexDigits) == kSuffix;
}

std::uint64_t UniqueNumber(std::uint64_t processId) {
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
  return Mix(processId * 0x9E3779B97F4A7C15u ^ static_cast<std::uint64_t>(now) ^
             Mix(static_cast<std::uint64_t>(wall) + callCounter.fetch_add(1)));
}
