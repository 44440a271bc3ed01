// The strings of text records, kept compactly: a record holds an 8-byte handle
// (offset and length) into one process-wide byte arena instead of a
// std::string of its own, and a font name, shared by almost every text of a
// drawing, is stored once in the arena and its handle shared.
//
// A handle reads as a std::string_view, compares with strings, and takes a
// new value from anything that converts to std::string_view. Giving a text a
// new value appends its bytes; nothing is freed before ResetInterchangeState
// clears the arena, so the bytes a view shows stay put while others are added.
// A handle made before that reset reads as empty afterwards.
//
// A short string is at most 255 bytes; the reader cuts longer ones before
// storing them, and assigning a longer value keeps its first 255 bytes.
// Storing may throw std::bad_alloc (inside the reader, which ends the read as
// failed, and inside the join, which answers "hq").
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

inline constexpr std::size_t kMaxShortTextBytes = 255;

// The bytes of every stored text and font name, in blocks that never move: a
// string never spans two blocks, so it reads as one view.
class TextArena {
 public:
  static constexpr std::size_t kBlockBytes = std::size_t{64} << 10;

  std::string_view View(std::uint32_t offset, std::size_t length) const {
    if (length == 0 || offset + length > end_) return {};
    return {blocks_[offset / kBlockBytes].get() + offset % kBlockBytes, length};
  }

  // Copies bytes (at most kMaxShortTextBytes) in and returns their offset.
  std::uint32_t Append(std::string_view bytes);

  // Bytes stored, the slack at the end of full blocks included.
  std::size_t Size() const { return end_; }

  // Empty again; the first block is kept for the next read, as the tables do.
  void Clear();
  // Empty, all storage released.
  void Release();

 private:
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::unique_ptr<char[]> spare_;
  std::uint32_t end_ = 0;
};

// Font names by content, so each is stored once. The keys view the arena.
class FontPool {
 public:
  // The offset of name in the arena, appending it the first time it is seen.
  std::uint32_t Intern(TextArena& arena, std::string_view name);
  std::size_t Count() const { return offsets_.size(); }
  void Clear() {
    std::unordered_map<std::string_view, std::uint32_t>().swap(offsets_);
    last_ = {};
  }

 private:
  std::unordered_map<std::string_view, std::uint32_t> offsets_;
  // The name interned last, which is the next one's too for text after text.
  std::pair<std::string_view, std::uint32_t> last_;
};

// What the two kinds of text handles share: reading and comparing.
class ShortText {
 public:
  std::string_view View() const;
  operator std::string_view() const { return View(); }
  std::size_t size() const { return length_; }
  bool empty() const { return length_ == 0; }
  void clear() { offset_ = 0, length_ = 0; }
  const char* begin() const { return View().data(); }
  const char* end() const { return begin() + length_; }

  friend bool operator==(const ShortText& a, const ShortText& b) { return a.View() == b.View(); }
  friend bool operator==(const ShortText& a, std::string_view b) { return a.View() == b; }

 protected:
  std::uint32_t offset_ = 0;
  std::uint8_t length_ = 0;
};

// A text's content: every new value is appended to the arena.
class ArenaText : public ShortText {
 public:
  void assign(std::string_view value);
  ArenaText& operator=(std::string_view value) {
    assign(value);
    return *this;
  }
};

// A font name: equal names share their bytes in the arena.
class PooledText : public ShortText {
 public:
  void assign(std::string_view value);
  PooledText& operator=(std::string_view value) {
    assign(value);
    return *this;
  }
};
