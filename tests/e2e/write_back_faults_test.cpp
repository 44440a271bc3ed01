// The write-back under faults, run on the real program: a full disk, a folder
// that takes no new file, exhausted memory, two copies at once and a kill at
// any moment. The host must always find the complete result or "hq" (or, for
// a kill, its own file untouched), and no temporary file may outlive a run.
// The same cases run k726.exe under Wine (K726_E2E_RUNNER, scripts/test-windows),
// where the Windows file layer meets the same faults through Wine.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "e2e/host_simulator.h"
#include "support/interchange_generator.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

const std::string kQuit = "hq\r\n";
const std::string kPair = "ch 0 0 1 0 \"A\r\n0 0 10 10\r\nch 5 0 1 0 \"B\r\n";

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Sets or clears the immutable attribute of a folder: no entry can then be
// made, renamed or removed in it, by root either, while the files in it stay
// writable. False where the file system has no such attribute.
bool SetImmutable(const fs::path& folder, bool on) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (ok && ((flags & FS_IMMUTABLE_FL) != 0) != on) {
    flags ^= FS_IMMUTABLE_FL;
    ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  ::close(fd);
  return ok;
}

// A folder holding a copy of the program under test (its file name kept, so
// k726.exe stays k726.exe) and KZC_TEMP.TXT.
class Folder {
 public:
  explicit Folder(const std::string& input) {
    path_ = fs::temp_directory_path() /
            ("k726-faults-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    fs::remove_all(path_);
    fs::create_directories(path_);
    Prepare(input);
  }
  ~Folder() {
    std::error_code ignored;
    SetImmutable(path_, false);
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    // Detached even while busy: the Wine server may still hold the folder
    // open when the program under test has ended.
    ::umount2(path_.c_str(), MNT_DETACH);
    fs::remove_all(path_, ignored);
  }
  void Prepare(const std::string& input) {
    fs::copy_file(HostSimulator::Binary(), Program(), fs::copy_options::overwrite_existing);
    Write(File(), input);
  }
  fs::path Program() const { return path_ / fs::path(HostSimulator::Binary()).filename(); }
  fs::path File() const { return path_ / "KZC_TEMP.TXT"; }
  const fs::path& Path() const { return path_; }
  // Starts the copy, with prefix (setpriv, prlimit) and the runner (wine) in
  // front of it. Wine's loader replaces itself, so the process is the program.
  pid_t Start(std::vector<std::string> prefix = {}, const char* mode = "1") const {
    for (const std::string& word : HostSimulator::Runner()) prefix.push_back(word);
    prefix.push_back(Program().string());
    prefix.push_back(mode);
    const pid_t pid = ::fork();
    if (pid == 0) {
      std::vector<char*> argv;
      for (std::string& a : prefix) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execvp(argv[0], argv.data());
      ::_exit(127);
    }
    return pid;
  }
  int Run(std::vector<std::string> prefix = {}) const {
    int status = 0;
    ::waitpid(Start(std::move(prefix)), &status, 0);
    return status;
  }
  std::vector<std::string> Temporaries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) {
      const std::string name = entry.path().filename().string();
      if (name.find(".k726-") != std::string::npos) names.push_back(name);
    }
    return names;
  }

 private:
  static inline int counter_ = 0;
  fs::path path_;
};

std::string ResultOf(const std::string& input) {
  Folder folder(input);
  folder.Run();
  return Read(folder.File());
}

bool Privileged() { return ::geteuid() == 0; }

bool UnderWine() { return HostSimulator::WaitsForUserInOtherModes(); }

// Rounds of the cases that repeat: a run under Wine costs ten times more.
int Rounds(int native, int wine) { return UnderWine() ? wine : native; }

// On a full disk "hq" goes over the file's own first bytes. An empty file has
// none: it goes, rather than stay as the host wrote it.
TEST(EndToEndFaults, AFullDiskEndsInQuit) {
  if (!Privileged()) GTEST_SKIP() << "mounting a tmpfs needs root";
  const struct {
    const char* name;
    std::string input;
    std::optional<std::string> left;  // none: no file
  } cases[] = {{"a selection", kPair, kQuit}, {"an empty file", "", std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Folder folder(c.input);
    // Room for the program and a little more, which the filler then takes.
    const std::string size =
        "size=" + std::to_string(fs::file_size(HostSimulator::Binary()) / 1024 + 1024) + "k";
    if (::mount("tmpfs", folder.Path().c_str(), "tmpfs", 0, size.c_str()) != 0) {
      GTEST_SKIP() << "no tmpfs";
    }
    folder.Prepare(c.input);
    {
      std::ofstream filler(folder.Path() / "filler", std::ios::binary);
      const std::string block(4096, 'f');
      while (filler.write(block.data(), block.size()) && filler.flush()) {
      }
    }
    folder.Run();
    EXPECT_EQ(fs::exists(folder.File()), c.left.has_value());
    if (c.left) {
      EXPECT_EQ(Read(folder.File()), *c.left);
    }
    EXPECT_TRUE(folder.Temporaries().empty());
  }
}

// A folder that takes no new file while KZC_TEMP.TXT stays writable. Root
// ignores permissions, so either the program runs as nobody in a read-only
// folder (not under Wine, whose prefix is root's), or the folder is made
// immutable, which binds root too. A read-only mount would not do: the file
// could not be written either.
TEST(EndToEndFaults, AFolderThatTakesNoNewFileEndsInQuit) {
  if (!Privileged()) GTEST_SKIP() << "needs root to change user or make a folder immutable";
  const struct {
    const char* name;
    bool immutable;
    std::vector<std::string> prefix;
  } ways[] = {
      {"nobody in a read-only folder",
       false,
       {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"}},
      {"an immutable folder", true, {}},
  };
  int tried = 0;
  for (const auto& way : ways) {
    SCOPED_TRACE(way.name);
    if (!way.immutable && UnderWine()) continue;
    Folder folder(kPair);
    if (way.immutable) {
      if (!SetImmutable(folder.Path(), true)) continue;
    } else {
      fs::permissions(folder.File(), fs::perms(0666));
      fs::permissions(folder.Path(), fs::perms(0555));
    }
    folder.Run(way.prefix);
    EXPECT_EQ(Read(folder.File()), kQuit);
    EXPECT_TRUE(folder.Temporaries().empty());
    ++tried;
  }
  if (tried == 0) {
    GTEST_SKIP() << "the file system of " << fs::temp_directory_path()
                 << " has no immutable attribute";
  }
}

TEST(EndToEndFaults, ExhaustedMemoryEndsInTheResultOrQuit) {
  if (UnderWine()) {
    GTEST_SKIP() << "an address space limit low enough to matter stops Wine itself from "
                    "starting; AllocationFailure in app_tests covers that road for k726.exe";
  }
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers reserve more address space than any limit here";
#else
  GeneratorOptions options;
  options.Entities = 400000;
  const std::string input = GenerateInterchangeFile(options).Bytes;
  const std::string result = ResultOf(input);
  int quits = 0;
  for (const char* megabytes : {"40", "60", "80", "120", "200"}) {
    SCOPED_TRACE(megabytes);
    Folder folder(input);
    folder.Run({"prlimit", std::string("--as=") + megabytes + "000000"});
    const std::string bytes = Read(folder.File());
    EXPECT_TRUE(bytes == result || bytes == kQuit) << bytes.substr(0, 40);
    quits += bytes == kQuit;
  }
  EXPECT_GT(quits, 0) << "no limit was tight enough to test anything";
#endif
}

// A double click starts two copies together: one result or "hq", never a
// missing file (a copy that starts late joins the result again: "hq").
TEST(EndToEndFaults, TwoCopiesAtOnceLeaveOneResultOrQuit) {
  const std::string result = ResultOf(kPair);
  for (int pair = 0; pair < Rounds(100, 40); ++pair) {
    Folder folder(kPair);
    const pid_t first = folder.Start();
    const pid_t second = folder.Start();
    ::waitpid(first, nullptr, 0);
    ::waitpid(second, nullptr, 0);
    const std::string bytes = Read(folder.File());
    ASSERT_TRUE(bytes == result || bytes == kQuit) << pair << ": " << bytes;
    ASSERT_TRUE(folder.Temporaries().empty()) << pair;
  }
}

// Killed at any moment, the file is the input or the whole result; what the
// killed run left is removed by the next run once it is old enough.
TEST(EndToEndFaults, AKillAtAnyMomentLeavesTheInputOrTheResult) {
  GeneratorOptions options;
  options.Entities = 100000;
  const std::string input = GenerateInterchangeFile(options).Bytes;
  const std::string result = ResultOf(input);
  Folder timing(input);
  const auto start = std::chrono::steady_clock::now();
  timing.Run();
  const auto duration = std::chrono::steady_clock::now() - start;
  std::mt19937 random(726);
  for (int round = 0; round < 20; ++round) {
    Folder folder(input);
    const pid_t pid = folder.Start();
    std::this_thread::sleep_for(duration * std::uniform_real_distribution<>(0.0, 1.1)(random));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    const std::string bytes = Read(folder.File());
    ASSERT_TRUE(bytes == input || bytes == result) << round << ": " << bytes.substr(0, 40);
    for (const std::string& name : folder.Temporaries()) {
      fs::last_write_time(folder.Path() / name,
                          fs::file_time_type::clock::now() - std::chrono::minutes(2));
    }
    folder.Run();
    EXPECT_TRUE(folder.Temporaries().empty()) << round;
  }
}

}  // namespace
}  // namespace e2e
