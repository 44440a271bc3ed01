// Reads the host's interchange file: one command per line, the command word
// first, then blank-separated values; a text runs from a quote to the end of
// the line. A line of four numbers and no command word is a plain line.
//
//   hzs 420 297          paper size
//   lg2                  layer group 2 (one hexadecimal digit)
//   lc10 255             colour 10 with its value
//   z1                   a z flag for the next entity
//   ch 10 20 5 0 "A B    a text at (10, 20) reading «A B»
//   pl                   the plain lines after it form polyline 1
//   0 0 100 0            a plain line
//   #                    ends the polyline
//   \x1A                 a 0x1A byte at the start of a line: the end of the file
//
// The lines come from a LineSource; each is tokenised where it lies and
// interpreted by the rule table (reader_rules.cpp). Every real of a line is
// parsed before anything changes, so a real too large for a double leaves
// the state as it was.
#include "interchange/reader.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <span>

#include "interchange/line_source.h"
#include "interchange/line_tokens.h"
#include "interchange/reader_rules.h"
#include "interchange/state.h"
#include "machine/file_io.h"

namespace {

constexpr char kEndOfFile = '\x1A';

// Tokenises the line in its own storage, then interprets it.
bool ParseLineInPlace(char* line, std::size_t size, LineTokens& tokens) {
  if (size == 0) return true;
  TokeniseLineInPlace(line, size, tokens);
  if (tokens.IsBlank()) return true;
  return InterpretLine(tokens);
}

// After an end-of-file byte only more of them, line ends and blanks may
// follow: anything else is a part of the selection the host would lose.
template <class Source>
bool OnlyFillerFollows(Source& lines, std::span<char> line) {
  const auto filler = [](char c) { return c == kEndOfFile || c == '\r' || c == ' ' || c == '\t'; };
  for (;;) {
    if (!std::all_of(line.begin(), line.end(), filler)) return false;
    const LineSource::Status status = lines.Next(line);
    if (status != LineSource::Status::Line) return status == LineSource::Status::End;
  }
}

// Tokenises the next line where it lies in the read buffer, finding its line
// end on the way. False when the buffer holds no whole line, or the line may
// be the end of the file: nothing is taken or changed then, and lines.Next
// must handle it.
bool TokeniseBufferedLine(FileLineSource& lines, LineTokens& tokens) {
  const std::span<char> pending = lines.Pending();
  if (pending.empty() || pending[0] == kEndOfFile) return false;
  const std::size_t taken = TokeniseFirstLine(pending.data(), pending.size(), tokens);
  lines.Skip(taken);
  return taken != 0;
}

// Every line to its end, or to a line that begins with the end-of-file byte.
bool ReadLines(FileLineSource& lines) {
  LineTokens tokens;
  std::span<char> line;
  for (;;) {
    if (TokeniseBufferedLine(lines, tokens)) {
      if (!tokens.IsBlank() && !InterpretLine(tokens)) return false;
      continue;
    }
    const LineSource::Status status = lines.Next(line);
    if (status != LineSource::Status::Line) return status == LineSource::Status::End;
    if (!line.empty() && line[0] == kEndOfFile) return OnlyFillerFollows(lines, line);
    if (!ParseLineInPlace(line.data(), line.size(), tokens)) return false;
  }
}

}  // namespace

bool ReadInterchangeFileInBlocks(const std::string& path, std::size_t blockBytes) noexcept {
  try {
    if (!FileExists(path)) return false;
    InputFile file(path);
    if (!file.IsOpen()) return false;
    FileLineSource lines(file, blockBytes);
    if (!ReadLines(lines)) return false;
    // The end of the file ends a dimension too.
    return !Modes.LineDropped && !Modes.MessageLineWaiting;
  } catch (...) {
    return false;
  }
}

bool ReadInterchangeFile(const std::string& path) noexcept {
  return ReadInterchangeFileInBlocks(path, kReadBlockBytes);
}

bool ParseInterchangeLine(std::string_view line) noexcept {
  try {
    // Tokenising compacts the line in place, so it works on a copy; short
    // lines, nearly all of them, stay on the stack.
    char local[512];
    std::unique_ptr<char[]> heap;
    char* copy = local;
    if (line.size() > sizeof local) {
      heap = std::make_unique_for_overwrite<char[]>(line.size());
      copy = heap.get();
    }
    if (!line.empty()) std::memcpy(copy, line.data(), line.size());
    LineTokens tokens;
    return ParseLineInPlace(copy, line.size(), tokens);
  } catch (...) {
    return false;
  }
}
