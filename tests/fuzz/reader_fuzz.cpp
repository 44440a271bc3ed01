// The reader on any bytes. Each input is read three ways: tokenised line by
// line against a plain byte-by-byte reading of the tokeniser's rules, parsed
// line by line with ParseInterchangeLine, and read as a file in small blocks
// with ReadInterchangeFileInBlocks from the in-memory folder. The last two must agree on the result
// and on the whole state. Every step starts from ResetInterchangeState, so
// memory stays bounded across runs.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/line_tokens.h"
#include "interchange/reader.h"
#include "interchange/state.h"
#include "memory_files.h"
#include "support/reference_tokens.h"
#include "support/state_dump.h"

namespace {

void CheckTokens(std::string_view line) {
  std::string copy(line);
  LineTokens tokens;
  TokeniseLineInPlace(copy.data(), copy.size(), tokens);
  const std::vector<std::string> expected = ReferenceTokens(line);
  bool same = tokens.Count == static_cast<int>(expected.size());
  for (int k = 0; same && k < tokens.Count; ++k) same = tokens.Slots[k] == expected[k];
  if (!same) {
    std::fprintf(stderr, "tokeniser disagrees on a line of %zu bytes\n", line.size());
    std::abort();
  }
}

// The file reader's line rules, said plainly: LF or CR LF ends a line, 0x1A
// at the start of one ends the file (and only more of it, line ends and
// blanks may follow), a failing line ends the reading.
template <class Each>
bool ForEachLine(std::string_view bytes, Each each) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    if (bytes[at] == '\x1A') {
      return bytes.find_first_not_of(std::string_view("\x1A\r\n \t", 5), at) == bytes.npos;
    }
    const std::size_t lf = bytes.find('\n', at);
    std::string_view line = bytes.substr(at, lf == std::string_view::npos ? lf : lf - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!each(line)) return false;
    if (lf == std::string_view::npos) break;
    at = lf + 1;
  }
  return true;
}

// In the in-memory folder: the file is read through the reader's own block
// loop without a disk write per input.
const std::string kPath = "/k726-fuzz/KZC_TEMP.TXT";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  ForEachLine(bytes, [](std::string_view line) {
    CheckTokens(line);
    return true;
  });

  ResetInterchangeState();
  ParseInterchangeLine(bytes);  // the whole input as one line

  ResetInterchangeState();
  // A dimension's plain line that no "cs" took is lost, at the end too.
  const bool parsed =
      ForEachLine(bytes, ParseInterchangeLine) && !Modes.LineDropped && !Modes.MessageLineWaiting;
  const std::uint64_t parsedState = DigestInterchangeState();

  PutMemoryFile(kPath, bytes);
  ResetInterchangeState();
  const bool read = ReadInterchangeFileInBlocks(kPath, 1 + size % 17);
  if (read != parsed || DigestInterchangeState() != parsedState) {
    std::fprintf(stderr, "reading the file differs from parsing its lines\n");
    std::abort();
  }
  ResetInterchangeState();
  return 0;
}
