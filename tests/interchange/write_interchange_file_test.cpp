#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "interchange/emit_line.h"
#include "interchange/file_writer.h"
#include "interchange/output_lines.h"
#include "interchange/state.h"
#include "support/held_lines.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "support/taken_names.h"
#endif

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Writes lines as a run does, streamed while they are added; true only when
// they replaced the file at path.
bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  ClearOutputLines();
  StreamedInterchangeFile file(path);
  for (const std::string& line : lines) {
    AddOutputLine(line);
    OutputLines.EndEntity();
  }
  return file.Finish();
}

#ifndef _WIN32
// Runs body in a child process whose files may grow to limit bytes, SIGXFSZ
// ignored so that a write past it fails: body's exit code, or -1 when there
// was no child or it ended by a signal. The limit stays in the child.
template <class Body>
int InChildWithFileSizeLimit(rlim_t limit, Body body) {
  const pid_t child = fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit bytes{limit, limit};
    _exit(setrlimit(RLIMIT_FSIZE, &bytes) != 0 ? 10 : body());
  }
  int status = 0;
  if (child == -1 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}
#endif

std::string ImageOf(const std::vector<std::string>& lines) {
  HeldLines held;
  for (const std::string& line : lines) AddOutputLine(line);
  return held.Image();
}

class KzmGaibuWriter : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetInterchangeState();
    std::random_device seed;
    folder_ = fs::temp_directory_path() / ("k726-writer-" + std::to_string(seed()));
    fs::create_directories(folder_);
    target_ = folder_ / "KZC_TEMP.TXT";
  }
  void TearDown() override {
    ResetInterchangeState();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  // Names of everything in the folder: catches temporary files left behind.
  std::set<std::string> FolderContents() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  fs::path folder_;
  fs::path target_;
};

TEST_F(KzmGaibuWriter, EmptyListWritesTheQuitCommand) {
  EXPECT_TRUE(WriteLines(target_.string(), {}));
  EXPECT_EQ(ReadBytes(target_), "hq\r\n");
  EXPECT_EQ(FolderContents(), std::set<std::string>{"KZC_TEMP.TXT"});
}

TEST_F(KzmGaibuWriter, WritesTheRenderedList) {
  const std::vector<std::string> lines = {"hd", "bz", "ch 1 2 3 0 \"", "\x8E\x9A", "", "A \""};
  ASSERT_TRUE(WriteLines(target_.string(), lines));
  EXPECT_EQ(ReadBytes(target_), "hd\r\nbz\r\nch 1 2 3 0 \"\x8E\x9A\r\n\r\nA \"");
  EXPECT_EQ(FolderContents(), std::set<std::string>{"KZC_TEMP.TXT"});
}

// The image goes to disk in pieces of 1 MiB: one of several pieces must
// arrive whole and in order.
TEST_F(KzmGaibuWriter, WritesAnImageOfSeveralPieces) {
  std::vector<std::string> lines;
  for (int i = 0; i < 30000; ++i) lines.emplace_back(100 + i % 50, 'a' + i % 26);
  ASSERT_TRUE(WriteLines(target_.string(), lines));
  const std::string image = ReadBytes(target_);
  EXPECT_GT(image.size(), std::size_t{3} << 20);
  EXPECT_TRUE(image == ImageOf(lines));
  EXPECT_EQ(FolderContents(), std::set<std::string>{"KZC_TEMP.TXT"});
}

TEST_F(KzmGaibuWriter, ReplacesALongerFileWhole) {
  WriteBytes(target_, std::string(100000, 'o') + "\r\n");
  ASSERT_TRUE(WriteLines(target_.string(), {"hd"}));
  EXPECT_EQ(ReadBytes(target_), "hd\r\n");
  EXPECT_EQ(FolderContents(), std::set<std::string>{"KZC_TEMP.TXT"});
}

TEST_F(KzmGaibuWriter, UnwritablePathGivesFalseAndNoFile) {
  // Running as root makes a read-only folder writable, so the paths here are
  // ones nobody can write: a missing folder, a "folder" that is a plain file,
  // and a target that is itself a folder.
  WriteBytes(folder_ / "plain", "keep");
  fs::create_directory(folder_ / "dir");
  const fs::path paths[] = {folder_ / "missing" / "KZC_TEMP.TXT",
                            folder_ / "plain" / "KZC_TEMP.TXT", folder_ / "dir"};
  for (const fs::path& path : paths) {
    bool written = true;
    EXPECT_NO_THROW(written = WriteLines(path.string(), {"hd"})) << path;
    EXPECT_FALSE(written) << path;
  }
  EXPECT_EQ(FolderContents(), (std::set<std::string>{"dir", "plain"}));
  EXPECT_EQ(ReadBytes(folder_ / "plain"), "keep");
  EXPECT_TRUE(fs::is_empty(folder_ / "dir"));
  EXPECT_EQ(OutputLines.Count(), 1);
}

// No temporary file at the start means no result, even when one could be
// made by the end: the run answers "hq", and the host keeps its drawing.
TEST_F(KzmGaibuWriter, NoTemporaryFileAtTheStartGivesQuit) {
  const fs::path later = folder_ / "later";
  const fs::path target = later / "KZC_TEMP.TXT";
  StreamedInterchangeFile file(target.string());
  EXPECT_FALSE(file.Streaming());
  fs::create_directory(later);
  WriteBytes(target, "the host's selection\r\n");
  AddOutputLine("hd");
  EXPECT_FALSE(file.Finish());
  EXPECT_EQ(ReadBytes(target), "hq\r\n");
}

// A line added before the file was made is in no image: the run that goes on
// to stream the rest must answer "hq", not a result without its first lines.
TEST_F(KzmGaibuWriter, LinesAddedBeforeTheFileWasMadeGiveQuit) {
  AddOutputLine("hd");
  StreamedInterchangeFile file(target_.string());
  AddOutputLine("pt 1 2");
  EXPECT_FALSE(file.Finish());
  EXPECT_EQ(ReadBytes(target_), "hq\r\n");
}

// A file size limit makes the write fail after its first bytes: the host then
// gets "hq", and no temporary file stays. The limit and the ignored SIGXFSZ
// stay inside a child process.
TEST_F(KzmGaibuWriter, FailurePartWayLeavesQuit) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows limits no file's size per process; k726.exe's write failing part-way "
                  "is EndToEndFaults.AFullDiskEndsInQuit under Wine";
#else
  WriteBytes(target_, "old contents\r\n");
  const std::string target = target_.string();
  const std::string small = (folder_ / "small.txt").string();
  const int code = InChildWithFileSizeLimit(4096, [&] {
    if (!WriteLines(small, {"hd"})) return 11;  // below the limit: written
    return WriteLines(target, std::vector<std::string>(1000, std::string(100, 'z'))) ? 12 : 0;
  });
  ASSERT_EQ(code, 0) << "-1: no child or a signal, 10: no limit, 11: small write failed, "
                        "12: big write passed";
  EXPECT_EQ(FolderContents(), (std::set<std::string>{"KZC_TEMP.TXT", "small.txt"}));
  EXPECT_EQ(ReadBytes(target_), "hq\r\n");
  EXPECT_EQ(ReadBytes(small), "hd\r\n");
#endif
}

// No room even for "hq" over the file's own first bytes (a full disk and an
// empty file; here a file size limit of 0): the file goes, for the host would
// take its own selection back, without "hd", and add it a second time.
TEST_F(KzmGaibuWriter, NoRoomEvenInPlaceRemovesTheFile) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows limits no file's size per process; an empty file on a full disk is "
                  "EndToEndFaults.AFullDiskEndsInQuit under Wine";
#else
  WriteBytes(target_, "ch 0 0 1 0 \"A\r\nch 5 0 1 0 \"B\r\n");
  const std::string target = target_.string();
  const int code = InChildWithFileSizeLimit(0, [&] { return WriteLines(target, {"hd"}) ? 11 : 0; });
  ASSERT_EQ(code, 0) << "-1: no child or a signal, 10: no limit, 11: written";
  EXPECT_EQ(FolderContents(), std::set<std::string>{});
#endif
}

// A file whose name leaves no room for a temporary name's suffix (a name has
// at most 255 bytes) cannot be replaced, by anyone: "hq" goes into its own
// blocks, and what it held beyond them is cut off.
TEST_F(KzmGaibuWriter, AFileThatCannotBeReplacedTakesQuitInPlace) {
  const std::string name = std::string(240, 'n') + ".TXT";
  WriteBytes(folder_ / name, std::string(100000, 'o'));
  ASSERT_EQ(FolderContents(), std::set<std::string>{name}) << "no file of a 244-byte name here";
  EXPECT_FALSE(WriteLines((folder_ / name).string(), {"hd"}));
  const std::string left = ReadBytes(folder_ / name);
  EXPECT_TRUE(left == "hq\r\n") << left.size() << " bytes: " << left.substr(0, 20);
  EXPECT_EQ(FolderContents(), std::set<std::string>{name});
}

// A temporary name found taken (a leftover, another copy's file) is given up
// for a fresh one; what sits at the taken names is left alone.
TEST_F(KzmGaibuWriter, TakenTemporaryNamesAreRetried) {
#ifdef _WIN32
  GTEST_SKIP() << "names are taken through the link-time wrap of open(2)";
#else
  TakeNextTemporaryNames(3);
  const bool written = WriteLines(target_.string(), {"hd"});
  const std::vector<std::string> taken = TakenTemporaryNames();
  TakeNextTemporaryNames(0);
  EXPECT_TRUE(written);
  EXPECT_EQ(ReadBytes(target_), "hd\r\n");
  std::set<std::string> expected = {"KZC_TEMP.TXT"};
  for (const std::string& name : taken) {
    expected.insert(fs::path(name).filename().string());
    EXPECT_EQ(ReadBytes(name), kPlantedBytes);
  }
  EXPECT_EQ(expected.size(), 4u) << "three names were to be taken";
  EXPECT_EQ(FolderContents(), expected);
#endif
}

// A join streams its lines into the file as it emits them. The file must be
// what the whole list would render, across many handed-over pieces and a text
// line split by none of them, and lines an entity took back; a list cleared part-way (the user's
// Escape) is what came after; one cut back into what was handed over gives "hq".
TEST_F(KzmGaibuWriter, StreamedImageIsTheImageOfTheList) {
  enum class Then { Nothing, Clear, CutIntoHandedOver };
  const struct {
    const char* name;
    Then then;
    bool written;
  } cases[] = {{"whole", Then::Nothing, true},
               {"cleared", Then::Clear, true},
               {"cut", Then::CutIntoHandedOver, false}};
  constexpr int kEntities = 60000;  // over 2 MiB: several pieces of the file
  // An entity of one or two entries; texts share a line with their content.
  // Some first write z lines and take them back, as a degenerate entity does.
  const auto entity = [](int i) {
    if (i % 7 == 0) {
      const std::int32_t before = OutputLines.Count();
      AddOutputLine("z1");
      AddOutputLine("z5");
      OutputLines.Truncate(before);
    }
    if (i % 3 == 0) {
      AddOutputLine("ch 1 2 3 0 \"");
      AddOutputLine(std::string(static_cast<std::size_t>(i % 40), 'a' + i % 26));
    } else {
      AddOutputLine(std::to_string(i) + " 12345.67 -2345.5 40000.25 -0.75");
    }
  };
  for (const auto& c : cases) {
    ResetInterchangeState();
    const int clearAt = c.then == Then::Clear ? kEntities / 2 : -1;
    bool written = false;
    {
      StreamedInterchangeFile file(target_.string());
      for (int i = 0; i < kEntities; ++i) {
        if (i == clearAt) ClearOutputLines();
        entity(i);
        OutputLines.EndEntity();
      }
      if (c.then == Then::CutIntoHandedOver) OutputLines.Truncate(1);
      written = file.Finish();
    }
    EXPECT_EQ(written, c.written) << c.name;
    ResetInterchangeState();
    std::string expected = "hq\r\n";
    if (c.written) {
      HeldLines held;
      for (int i = std::max(clearAt, 0); i < kEntities; ++i) entity(i);
      expected = held.Image();
    }
    EXPECT_TRUE(ReadBytes(target_) == expected) << c.name;
    EXPECT_EQ(FolderContents(), std::set<std::string>{"KZC_TEMP.TXT"}) << c.name;
  }
}

// While streaming, a line builder composes its line in place in the image.
// The lines must be the list's own (cut at 255 bytes, a quote-terminated one
// joined to the next); anything added between making a builder and its Add
// would write over what it composed, and must give "hq", never those bytes.
TEST_F(KzmGaibuWriter, LinesComposedInPlaceAreTheListsLines) {
  const struct {
    const char* name;
    void (*emit)();
    bool intact;
  } cases[] = {
      {"plain",
       [] {
         LineBuilder().Real(-12345.67).Values({0.5, 3}).Add();
       },
       true},
      {"over 255 bytes",
       [] {
         LineBuilder().Word(std::string(250, 'a')).Values({12345.67, 1}).Add();
       },
       true},
      {"quote joins the next",
       [] {
         LineBuilder().Word("ch").Values({1, 2}).Word(" \"").Add();
         AddOutputLine("ABC");
       },
       true},
      {"a line added in between",
       [] {
         LineBuilder line;
         line.Word("lc3");
         AddOutputLine("pt 1 2");
         line.Add();
       },
       false},
      {"builders nested",
       [] {
         LineBuilder outer;
         outer.Word("lc3");
         LineBuilder().Word("lw20").Add();
         outer.Add();
       },
       false},
  };
  for (const auto& c : cases) {
    ResetInterchangeState();
    bool written = false;
    {
      StreamedInterchangeFile file(target_.string());
      AddOutputLine("hd");
      c.emit();
      written = file.Finish();
    }
    ResetInterchangeState();
    HeldLines held;
    AddOutputLine("hd");
    c.emit();
    const std::string expected = c.intact ? held.Image() : "hq\r\n";
    EXPECT_EQ(written, c.intact) << c.name;
    EXPECT_EQ(ReadBytes(target_), expected) << c.name;
  }
}

// What killed runs left is cleaned up: only regular files of our own pattern
// and older than a minute. A FIFO, a link or a folder under such a name is
// never opened, followed or removed, and the write still succeeds. Windows
// has no FIFOs, links need a privilege there, and its C++ library sets no
// folder's time: its rows are the regular files.
TEST_F(KzmGaibuWriter, RemovesOnlyStaleTemporariesOfItsOwn) {
  const std::string stem = "KZC_TEMP.TXT.k726-";
  const auto aged = [](const fs::path& path) {
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::minutes(2));
  };
  WriteBytes(folder_ / "outside", "keep");
  const struct {
    std::string name;
    char kind;  // f: regular file, p: FIFO, l: link to "outside", d: folder
    bool old;
    bool removed;
  } cases[] = {
      {stem + "0123456789abcdef.tmp", 'f', true, true},
      {stem + "00000000000000ff.tmp", 'f', false, false},  // a running copy's
      {stem + "0123456789abcdeg.tmp", 'f', true, false},   // not hex
      {"KZC_TEMP.TXT.bak", 'f', true, false},
      {stem + "1111111111111111.tmp", 'p', true, false},
      {stem + "2222222222222222.tmp", 'l', true, false},
      {stem + "3333333333333333.tmp", 'd', true, false},
  };
#ifdef _WIN32
  const auto made = [](char kind) { return kind == 'f'; };
#else
  const auto made = [](char) { return true; };
#endif
  for (const auto& c : cases) {
    const fs::path path = folder_ / c.name;
    if (!made(c.kind)) continue;
    if (c.kind == 'f') WriteBytes(path, "x");
#ifndef _WIN32
    if (c.kind == 'p') {
      ASSERT_EQ(mkfifo(path.c_str(), 0666), 0);
    }
    if (c.kind == 'l') fs::create_symlink(folder_ / "outside", path);
#endif
    if (c.kind == 'd') fs::create_directory(path);
    if (c.old && c.kind != 'l') aged(path);
  }
  ASSERT_TRUE(WriteLines(target_.string(), {"hd"}));
  EXPECT_EQ(ReadBytes(target_), "hd\r\n");
  EXPECT_EQ(ReadBytes(folder_ / "outside"), "keep");
  for (const auto& c : cases) {
    if (!made(c.kind)) continue;
    EXPECT_EQ(fs::exists(fs::symlink_status(folder_ / c.name)), !c.removed) << c.name;
  }
}

}  // namespace
