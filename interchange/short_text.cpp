#include "interchange/short_text.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "interchange/state.h"

namespace {

// Offsets are 32 bits: the arena stops short of 4 GiB so that an offset plus
// a length never wraps, whatever the width of size_t.
constexpr std::size_t kMaxBlocks =
    static_cast<std::size_t>((std::uint64_t{1} << 32) / TextArena::kBlockBytes - 1);

std::uint8_t ShortLength(std::string_view value) {
  return static_cast<std::uint8_t>(std::min(value.size(), kMaxShortTextBytes));
}

}  // namespace

std::uint32_t TextArena::Append(std::string_view bytes) {
  bytes = bytes.substr(0, kMaxShortTextBytes);
  if (end_ + bytes.size() > blocks_.size() * kBlockBytes) {
    if (blocks_.size() >= kMaxBlocks) throw std::bad_alloc();
    blocks_.reserve(blocks_.size() + 1);
    blocks_.push_back(spare_ ? std::move(spare_) : std::unique_ptr<char[]>(new char[kBlockBytes]));
    end_ = static_cast<std::uint32_t>((blocks_.size() - 1) * kBlockBytes);
  }
  const std::uint32_t offset = end_;
  std::memcpy(blocks_.back().get() + offset % kBlockBytes, bytes.data(), bytes.size());
  end_ += static_cast<std::uint32_t>(bytes.size());
  return offset;
}

void TextArena::Clear() {
  if (!blocks_.empty()) spare_ = std::move(blocks_[0]);
  std::vector<std::unique_ptr<char[]>>().swap(blocks_);
  end_ = 0;
}

void TextArena::Release() {
  Clear();
  spare_.reset();
}

std::uint32_t FontPool::Intern(TextArena& arena, std::string_view name) {
  name = name.substr(0, kMaxShortTextBytes);
  if (!name.empty() && name == last_.first) return last_.second;
  if (const auto found = offsets_.find(name); found != offsets_.end()) {
    last_ = *found;
    return found->second;
  }
  // The bytes first, so the key views the arena; if the pool cannot grow,
  // they are left unused and nothing refers to them.
  const std::uint32_t offset = arena.Append(name);
  const std::string_view stored = arena.View(offset, name.size());
  offsets_.emplace(stored, offset);
  last_ = {stored, offset};
  return offset;
}

std::string_view ShortText::View() const { return ShortStrings.Bytes.View(offset_, length_); }

void ArenaText::assign(std::string_view value) {
  const std::uint8_t length = ShortLength(value);
  offset_ = length == 0 ? 0 : ShortStrings.Bytes.Append(value);
  length_ = length;
}

void PooledText::assign(std::string_view value) {
  const std::uint8_t length = ShortLength(value);
  offset_ = length == 0 ? 0 : ShortStrings.Fonts.Intern(ShortStrings.Bytes, value);
  length_ = length;
}
