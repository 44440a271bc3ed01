#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "interchange/line_tokens.h"
#include "support/reference_tokens.h"

namespace {

struct TokenCase {
  std::string line;
  std::vector<std::string> tokens;  // their number is the token count
};

std::vector<std::string> Tokenise(std::string line) {
  LineTokens tokens;
  TokeniseLineInPlace(line.data(), line.size(), tokens);
  return std::vector<std::string>(tokens.Slots, tokens.Slots + tokens.Count);
}

std::string Numbers(int from, int to) {
  std::string s;
  for (int i = from; i <= to; ++i) s += std::to_string(i) + " ";
  return s;
}

std::vector<std::string> NumberTokens(int from, int to) {
  std::vector<std::string> v;
  for (int i = from; i <= to; ++i) v.push_back(std::to_string(i));
  return v;
}

TEST(KzmGaibuTokens, SplitsLinesAsTheHostMeansThem) {
  const TokenCase cases[] = {
      {"pt 1 2", {"pt", "1", "2"}},
      // A trailing blank opens a slot that counts; a run of blanks opens one.
      {"pt 1 2 ", {"pt", "1", "2", ""}},
      {"pt 1 2 \t  ", {"pt", "1", "2", ""}},
      {"  \tpt\t\t1", {"pt", "1"}},
      {"", {""}},
      {"   ", {""}},
      // A quote is dropped and makes the rest literal, further quotes included.
      {"ch 10 20 5 0 \"A  B\"C", {"ch", "10", "20", "5", "0", "A  B\"C"}},
      {"ch 1 2 3 4 \"", {"ch", "1", "2", "3", "4", ""}},
      {"cn\"$<MS X>", {"cn$<MS X>"}},
      // An equals sign is kept and makes the rest literal.
      {"file=C:\\a b\\c", {"file=C:\\a b\\c"}},
      {"a=b \"c\" d", {"a=b \"c\" d"}},
      // A lead byte takes the next byte along: no literal mode, no split.
      {"x\x82\" y", {"x\x82\"", "y"}},
      {"x\x83= y", {"x\x83=", "y"}},
      {"\x81 a b", {"\x81 a", "b"}},
      {"\x80\" x", {"\x80\"", "x"}},
      {"\x9F\" x", {"\x9F\"", "x"}},
      {"\xE0\" x", {"\xE0\"", "x"}},
      {"\xFD\" x", {"\xFD\"", "x"}},
      // 0xA0..0xDF are single bytes; 0xFE and 0xFF are dropped.
      {"\xA0\" x", {"\xA0 x"}},
      {"\xDF\" x", {"\xDF x"}},
      {"\xFE\" x", {" x"}},
      {"\xB1\xB2 \xFFx", {"\xB1\xB2", "x"}},
      // In literal mode pairs still hold, even with a tab as trail byte.
      {"\"\x81\t \x82\"", {"\x81\t \x82\""}},
      // A lone lead byte at the end is dropped, in either mode.
      {"ab\x82", {"ab"}},
      {"ab \x82", {"ab", ""}},
      {"\"ab\x82", {"ab"}},
      // Control bytes go, the tab in literal mode too; 0x7F stays.
      {"a\x01"
       "b\rc\x1A"
       "d\x7F",
       {"abcd\x7F"}},
      {"\"a\tb\x1F"
       "c d",
       {"abc d"}},
      {"pt 1 2 \x01", {"pt", "1", "2", ""}},
      // Past 32 slots the rest of the line is dropped, a quote included.
      {Numbers(1, 40), NumberTokens(1, 32)},
      {Numbers(1, 32) + "\"x y", NumberTokens(1, 32)},
      {Numbers(1, 31) + "\"x y",
       [] {
         auto v = NumberTokens(1, 31);
         v.push_back("x y");
         return v;
       }()},
  };
  for (const TokenCase& c : cases) {
    EXPECT_EQ(Tokenise(c.line), c.tokens) << "line: " << c.line;
  }
}

TEST(KzmGaibuTokens, NothingIsWrittenPastTheLine) {
  // Kept bytes never move past where they were read: a guard after the line
  // stays as it was.
  std::string line = "\"\x82\x01\x01 " + std::string(100, 'x') + "\x81";
  const std::string guarded = line + "GUARD";
  std::string buffer = guarded;
  LineTokens tokens;
  TokeniseLineInPlace(buffer.data(), line.size(), tokens);
  EXPECT_EQ(buffer.substr(line.size()), "GUARD");
  EXPECT_EQ(tokens.Count, 1);
  EXPECT_EQ(tokens.Slots[0], "\x82\x01 " + std::string(100, 'x'));
}

// Random lines of numbers and blanks with now and then a byte of another
// class, at every offset within the eight-byte words the blanks are found in.
TEST(KzmGaibuTokens, AgreesWithTheByteByByteRules) {
  const char alphabet[] = "0123456789.- ";
  const char others[] = {'\t', '"', '=', '\x01', '\x81', '\xB1', '\xE0', '\xFE', '\x7F'};
  std::mt19937 random(32);
  for (int i = 0; i < 20000; ++i) {
    std::string line(random() % 80, ' ');
    for (char& c : line) {
      c = random() % 24 == 0 ? others[random() % sizeof others] : alphabet[random() % 13];
    }
    EXPECT_EQ(Tokenise(line), ReferenceTokens(line)) << "line: " << line;
  }
}

// Lines one after another in a buffer, as the reader finds them: each is
// taken with its line end and splits as alone, whether its end lies in the
// 64 bytes looked at first or past them, and whatever follows it; no byte
// past those given is read. Without an
// LF in the bytes given nothing is taken or changed.
TEST(KzmGaibuTokens, FirstLineOfBytesSplitsAsTheLineAlone) {
  const char alphabet[] = "0123456789.- ";
  const char others[] = {'\t', '"', '=', '\x01', '\r', '\x81', '\xB1', '\xFE', '\x7F'};
  std::mt19937 random(64);
  for (int i = 0; i < 20000; ++i) {
    std::string line(random() % 3 == 0 ? random() % 150 : random() % 50, ' ');
    for (char& c : line) {
      c = random() % 24 == 0 ? others[random() % sizeof others] : alphabet[random() % 13];
    }
    const std::string end = random() % 2 ? "\r\n" : "\n";
    std::string follows(random() % 80, '1');
    // A buffer that ends where the bytes do, for ASan to catch a read past.
    const std::string given = line + end + follows;
    auto bytes = std::make_unique<char[]>(given.size());
    std::memcpy(bytes.get(), given.data(), given.size());
    // The line alone, as the reader sees it: without a CR that ends it.
    std::string alone = line;
    if (end == "\n" && !alone.empty() && alone.back() == '\r') alone.pop_back();
    const std::vector<std::string> expected = Tokenise(alone);
    LineTokens tokens;
    ASSERT_EQ(TokeniseFirstLine(bytes.get(), given.size(), tokens), line.size() + end.size())
        << "line: " << line;
    EXPECT_EQ(std::vector<std::string>(tokens.Slots, tokens.Slots + tokens.Count), expected)
        << "line: " << line;

    // Cut before its LF: nothing taken, nothing moved.
    std::string cut = line + end.substr(0, end.size() - 1);
    const std::string before = cut;
    EXPECT_EQ(TokeniseFirstLine(cut.data(), cut.size(), tokens), 0u) << "line: " << line;
    EXPECT_EQ(cut, before);
  }
}

// A text after its quote stays where it lies unless a byte of it is dropped:
// each byte at the edges of the dropped ones, at every place in a text long
// enough to be looked at sixteen bytes at a time.
TEST(KzmGaibuTokens, TextKeepsAllButItsDroppedBytes) {
  const char edges[] = {'\x00', '\x1F', ' ', '\x7F', '\x80', '\x81', '\xFD', '\xFE', '\xFF'};
  for (const char edge : edges) {
    for (std::size_t at = 0; at < 40; ++at) {
      std::string text(40, 'a');
      text[at] = edge;
      const std::string line = "ch 1 2 3 4 \"" + text;
      EXPECT_EQ(Tokenise(line), ReferenceTokens(line)) << "byte " << int(edge) << " at " << at;
      std::string bytes = line + "\n";
      LineTokens tokens;
      ASSERT_EQ(TokeniseFirstLine(bytes.data(), bytes.size(), tokens), bytes.size());
      EXPECT_EQ(std::vector<std::string>(tokens.Slots, tokens.Slots + tokens.Count),
                ReferenceTokens(line))
          << "byte " << int(edge) << " at " << at;
    }
  }
}

}  // namespace
