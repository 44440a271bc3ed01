// Reading whole files: line ends, Ctrl+Z, block boundaries, long lines, and
// every way a reading can fail without leaving a broken state behind.
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "reader_test_util.h"
#include "support/interchange_generator.h"
#include "support/state_dump.h"

// Allocation failure on demand: the n-th allocation from now throws.
namespace {
long allocationsBeforeFailure = -1;  // -1: never
bool allocationFailed = false;

void* Allocate(std::size_t size) {
  if (allocationsBeforeFailure >= 0 && allocationsBeforeFailure-- == 0) {
    allocationFailed = true;
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr std::size_t kBlockSizes[] = {1, 2, 3, 7, 64, 4096, std::size_t{1} << 20};

// The state the lines give when parsed one by one.
std::string DumpAfterParsing(const std::vector<std::string_view>& lines) {
  ResetInterchangeState();
  EXPECT_TRUE(ParseLines(lines));
  return DumpInterchangeState();
}

// Every EntityOrder entry names the next record of its kind, and every record
// has its entry.
bool OrderMatchesTables() {
  const EntityTables& e = Entities;
  const std::int32_t counts[16] = {0,
                                   e.LineTable.Count(),
                                   e.CircleTable.Count(),
                                   e.ArcTable.Count(),
                                   e.TextTable.Count(),
                                   e.PointTable.Count(),
                                   e.TypedPointTable.Count(),
                                   e.MessageTable.Count(),
                                   e.BlockTable.Count(),
                                   e.Sl2Table.Count(),
                                   e.Sl3Table.Count(),
                                   e.Sl4Table.Count(),
                                   e.ScTable.Count(),
                                   e.SeTable.Count(),
                                   e.SoTable.Count(),
                                   e.SgTable.Count()};
  std::int32_t seen[16] = {};
  for (std::int32_t i = 0; i < e.EntityOrder.Count(); ++i) {
    const EntityOrderEntry& entry = e.EntityOrder[static_cast<std::size_t>(i)];
    const std::int32_t kind = entry.Kind;
    if (kind < 1 || kind > 15 || entry.Index != seen[kind]++) return false;
  }
  for (int kind = 1; kind < 16; ++kind) {
    if (seen[kind] != counts[kind]) return false;
  }
  return true;
}

class KzmGaibuReaderFile : public ReaderTest {};

TEST_F(KzmGaibuReaderFile, LineEndsAndCtrlZ) {
  struct Case {
    std::string_view bytes;
    std::vector<std::string_view> lines;
    bool complete = true;
  };
  const Case cases[] = {
      {"pt 1 2\r\npt 3 4\r\n", {"pt 1 2", "pt 3 4"}},
      {"pt 1 2\npt 3 4", {"pt 1 2", "pt 3 4"}},
      {"pt 1 2\r\npt 3 4\n", {"pt 1 2", "pt 3 4"}},
      // The CR of a line end never pairs with a lead byte before it.
      {"ch 1 2 3 4 \"A\x82\r\npt 1 2\r\n", {"ch 1 2 3 4 \"A", "pt 1 2"}},
      {"ch 1 2 3 4 \"A\x82\r", {"ch 1 2 3 4 \"A"}},
      {"pt 1 2\rpt 3 4\r\n", {"pt 1 2pt 3 4"}},  // a lone CR ends nothing
      {"pt 1 2\x1A\npt 3 4\n", {"pt 1 2", "pt 3 4"}},
      {"pt 1 2\n\x1A\x1A\r\n \t\n\x1A", {"pt 1 2"}},
      // Reading stops at the 0x1A all the same, but what follows it is lost.
      {"pt 1 2\n\x1Apt 3 4\npt 5 6\n", {"pt 1 2"}, false},
      {"\x1A\npt 1 2\n", {}, false},
      {"\x1A\n\n\n#", {}, false},
      {"", {}},
      {"\n\r\n  \n\t\r\n\n", {}},
  };
  for (const Case& c : cases) {
    const std::string expected = DumpAfterParsing(c.lines);
    const TempFile file(c.bytes);
    for (const std::size_t block : kBlockSizes) {
      ResetInterchangeState();
      EXPECT_EQ(ReadInterchangeFileInBlocks(file.Path(), block), c.complete) << c.bytes;
      EXPECT_EQ(DumpInterchangeState(), expected) << c.bytes << " in blocks of " << block;
    }
  }
}

// A dimension's plain line that no "cs" takes is lost to the host, and so
// is a text cut at 255 bytes; a real whose written form no reader takes back
// is refused like one too large for a double.
TEST_F(KzmGaibuReaderFile, AReadThatLosesPartOfTheSelectionIsIncomplete) {
  const std::string longText(256, 'A');
  const std::string longBlank(300, ' ');
  const struct {
    std::string bytes;
    bool complete;
    std::int32_t cutTexts;
  } cases[] = {
      {"msg\n0 0 1 0\ncn3\nz1\ncs 0 0 1 0 \"5\n", true, 0},
      {"msg\ncs 0 0 1 0 \"5\n", true, 0},                     // the default line
      {"msg\n0 0 1 0\nmsg\ncs 0 0 1 0 \"5\n", true, 0},       // a second "msg" keeps it
      {"msg\n0 0 1 0\n2 2 3 3\ncs 0 0 1 0 \"5\n", false, 0},  // replaced
      {"msg\n0 0 1 0\n#\n", false, 0},
      {"msg\n0 0 1 0\npl\n", false, 0},
      {"msg\n0 0 1 0\npt 1 1\n", false, 0},
      {"msg\n0 0 1 0\n", false, 0},  // the end of the file
      {"ch 0 0 1 0 \"" + longText + "\n", true, 1},
      {"msg\n0 0 1 0\ncs 0 0 1 0 \"" + longText + "\n", true, 1},
      {"ch 0 0 1 0 \"" + longBlank + "\n", true, 0},
      {"ch 0 0 1 0 \"" + std::string(255, 'A') + "\n", true, 0},
      {"ci 0 0 1.797693134862315e308\n", true, 0},
      {"ci 0 0 1.7976931348623157e308\n", false, 0},
      {"pt -1.7976931348623157e308 0\n", false, 0},
  };
  for (const auto& c : cases) {
    ResetInterchangeState();
    const TempFile file(c.bytes);
    EXPECT_EQ(ReadInterchangeFile(file.Path()), c.complete) << c.bytes;
    EXPECT_EQ(Entities.CutTextCount, c.cutTexts) << c.bytes;
  }
}

TEST_F(KzmGaibuReaderFile, GeneratedFileReadsAsItsLines) {
  for (const bool crlf : {true, false}) {
    GeneratorOptions options;
    options.Entities = 400;
    options.Seed = crlf ? 7 : 8;
    options.CrLf = crlf;
    const GeneratedFile generated = GenerateInterchangeFile(options);

    std::vector<std::string> lines;
    for (std::size_t at = 0; at < generated.Bytes.size();) {
      const std::size_t lf = generated.Bytes.find('\n', at);
      std::string line = generated.Bytes.substr(at, lf - at);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(std::move(line));
      at = lf + 1;
    }
    const std::string expected =
        DumpAfterParsing(std::vector<std::string_view>(lines.begin(), lines.end()));
    EXPECT_EQ(Entities.EntityOrder.Count(), generated.Entities);
    EXPECT_EQ(Entities.TextTable.Count(), generated.Texts);

    const TempFile file(generated.Bytes);
    for (const std::size_t block : kBlockSizes) {
      ResetInterchangeState();
      EXPECT_TRUE(ReadInterchangeFileInBlocks(file.Path(), block));
      EXPECT_EQ(DumpInterchangeState(), expected) << "blocks of " << block;
    }
  }
}

TEST_F(KzmGaibuReaderFile, LinesOfSeveralMegabytes) {
  std::string bytes = "cn$" + std::string(3'000'000, 'F') + "\r\nch 1 2 3 4 \"";
  for (int i = 0; i < 2'500'000; ++i) bytes += "\x82\xA0";
  bytes += "\r\n" + std::string(4'000'000, ' ') + "pt 1 2\r\n";
  const TempFile file(bytes);
  ASSERT_TRUE(ReadInterchangeFile(file.Path()));
  EXPECT_EQ(OrderKinds(), (std::vector<int>{KindText, KindPoint}));
  EXPECT_EQ(Attributes.CurrentFontName.size(), 3'000'000u);
  EXPECT_EQ(Entities.TextTable[0].Text.size(), 255u);
}

TEST_F(KzmGaibuReaderFile, MissingFileOrFolderChangesNothing) {
  ASSERT_TRUE(ParseLines({"lc5", "z1", "pl", "pt 1 2"}));
  const std::string before = DumpInterchangeState();
  const std::string folder = std::filesystem::temp_directory_path().string();
  for (const std::string& path : {folder + "/k726_no_such_file.txt", folder, std::string()}) {
    EXPECT_FALSE(ReadInterchangeFile(path)) << path;
    EXPECT_EQ(DumpInterchangeState(), before) << path;
  }
}

TEST_F(KzmGaibuReaderFile, RealTooLargeOnlyWhereTheLineUsesIt) {
  struct Case {
    std::string_view line;
    bool ok;
  };
  const Case cases[] = {
      {"hk 1e400", false},
      {"hs 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 1e400", false},
      {"hn 1 2 3 1e400", false},
      {"cn0 1 1e400 3 4", false},
      {"hp5 1 1e400", false},
      {"ci 0 0 1e400", false},
      {"ch 1 2 3 1e400 \"x", false},
      {"pt 1e400 0", false},
      {"BL 1 1e400 n", false},
      {"sl 1 2 3 1e400", false},
      {"sl 1 2 3 4 5 6 7 1e400", false},
      {"sc 1 2 3 4 5 6 1e400 8", false},
      {"1e400 0 0 0", false},
      {"hn 1 2 1e400", false},  // taken as a plain line, which uses it
      // Values no rule reads.
      {"hk 1 1e400", true},
      {"hp0 1e400 2", true},
      {"hp5 1 2 1e400", true},
      {"ch 1 2 3 4 1e400", true},
      {"sc 1 2 3 4 5 6 7 1e400", true},
      {"sl 1 2 3 4 5 6 7 8 1e400", true},
      {"cn1 1e400 2 3 4", true},
      {"cn0 1 2 1e400", true},
      {"lc10 1e400", true},
      {"1 2 3 1e400 5", true},
      {"1e-400 0 0 0", true},  // too small is no failure
  };
  for (const Case& c : cases) {
    ResetInterchangeState();
    ASSERT_TRUE(ParseLines({"lc4", "z2", "msg"}));
    const std::string before = DumpInterchangeState();
    EXPECT_EQ(ParseInterchangeLine(c.line), c.ok) << c.line;
    if (!c.ok) {
      EXPECT_EQ(DumpInterchangeState(), before) << c.line;
    }
  }
}

TEST_F(KzmGaibuReaderFile, RealTooLargeEndsTheReadingAtItsLine) {
  const TempFile file("lc5\r\npt 1 2\r\nz1\r\nci 0 0 1e400\r\npt 3 4\r\n");
  const std::string expected = DumpAfterParsing({"lc5", "pt 1 2", "z1"});
  ResetInterchangeState();
  EXPECT_FALSE(ReadInterchangeFile(file.Path()));
  EXPECT_EQ(DumpInterchangeState(), expected);
}

TEST_F(KzmGaibuReaderFile, OutOfMemoryAnywhereLeavesAConsistentState) {
  GeneratorOptions options;
  options.Entities = 30;
  const TempFile file(GenerateInterchangeFile(options).Bytes);
  for (long failAt = 0;; ++failAt) {
    ResetInterchangeState();
    allocationFailed = false;
    allocationsBeforeFailure = failAt;
    const bool ok = ReadInterchangeFile(file.Path());
    allocationsBeforeFailure = -1;
    if (!allocationFailed) {
      EXPECT_TRUE(ok);
      EXPECT_EQ(Entities.EntityOrder.Count(), 30);
      break;
    }
    EXPECT_FALSE(ok) << "failure at allocation " << failAt;
    EXPECT_TRUE(OrderMatchesTables()) << "failure at allocation " << failAt;
  }
}

}  // namespace
