// The write-back under faults, run on the real program: a full disk, a folder
// that takes no new file, exhausted memory, two copies at once and a kill at
// any moment. The host must always find the complete result or "hq" (or, for
// a kill, its own file untouched), and no temporary file may outlive a run.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
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

// A folder holding a copy of the program and KZC_TEMP.TXT.
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
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    ::umount(path_.c_str());
    fs::remove_all(path_, ignored);
  }
  void Prepare(const std::string& input) {
    fs::copy_file(HostSimulator::Binary(), path_ / "k726", fs::copy_options::overwrite_existing);
    Write(File(), input);
  }
  fs::path File() const { return path_ / "KZC_TEMP.TXT"; }
  const fs::path& Path() const { return path_; }
  // Starts the copy, with prefix (setpriv, prlimit) in front of it.
  pid_t Start(std::vector<std::string> prefix = {}, const char* mode = "1") const {
    prefix.push_back((path_ / "k726").string());
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

// These faults are the POSIX machine's; k726.exe under Wine has its own tests.
class EndToEndFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    if (HostSimulator::WaitsForUserInOtherModes()) GTEST_SKIP() << "native program only";
  }
};

TEST_F(EndToEndFaults, AFullDiskEndsInQuit) {
  if (!Privileged()) GTEST_SKIP() << "mounting a tmpfs needs root";
  Folder folder(kPair);
  // Room for the program and a little more, which the filler then takes.
  const std::string size =
      "size=" + std::to_string(fs::file_size(HostSimulator::Binary()) / 1024 + 1024) + "k";
  if (::mount("tmpfs", folder.Path().c_str(), "tmpfs", 0, size.c_str()) != 0) {
    GTEST_SKIP() << "no tmpfs";
  }
  folder.Prepare(kPair);
  {
    std::ofstream filler(folder.Path() / "filler", std::ios::binary);
    const std::string block(4096, 'f');
    while (filler.write(block.data(), block.size()) && filler.flush()) {
    }
  }
  folder.Run();
  EXPECT_EQ(Read(folder.File()), kQuit);
  EXPECT_TRUE(folder.Temporaries().empty());
}

// Root ignores permissions, so the program runs as nobody.
TEST_F(EndToEndFaults, AFolderThatTakesNoNewFileEndsInQuit) {
  if (!Privileged()) GTEST_SKIP() << "needs root to change user";
  Folder folder(kPair);
  fs::permissions(folder.File(), fs::perms(0666));
  fs::permissions(folder.Path(), fs::perms(0555));
  folder.Run({"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
  EXPECT_EQ(Read(folder.File()), kQuit);
}

TEST_F(EndToEndFaults, ExhaustedMemoryEndsInTheResultOrQuit) {
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
TEST_F(EndToEndFaults, TwoCopiesAtOnceLeaveOneResultOrQuit) {
  const std::string result = ResultOf(kPair);
  for (int pair = 0; pair < 100; ++pair) {
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
TEST_F(EndToEndFaults, AKillAtAnyMomentLeavesTheInputOrTheResult) {
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
