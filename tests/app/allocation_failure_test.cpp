// Memory that runs out at any allocation of a join ends in the complete
// result or "hq", never in the host's own selection. This executable's
// operator new fails every allocation from the armed one on, as an exhausted
// address space does.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "app/form1.h"
#include "fakes.h"
#include "interchange/state.h"

namespace {
std::atomic<long> allocationsLeft{-1};  // negative: not armed
}  // namespace

// GCC takes the replaced delete's free() for a mismatch with new.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (allocationsLeft.load() >= 0 && allocationsLeft.fetch_sub(1) <= 0) throw std::bad_alloc();
  if (void* block = std::malloc(size > 0 ? size : 1)) return block;
  throw std::bad_alloc();
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace {

TEST(AllocationFailure, EveryFailingAllocationEndsInTheResultOrQuit) {
  const std::string pair = "lc3\r\nch 0 0 1 0 \"A\r\n0 0 10 10\r\nch 5 0 1 0 \"B\r\nci 1 1 2\r\n";
  for (const char* mode : {"1", "2"}) {
    SCOPED_TRACE(mode);
    const std::string input = mode[0] == '1' ? pair + "ch 9 0 1 0 \"C\r\n" : pair;
    ScratchFolder folder;
    FakePlatform platform;
    platform.executablePath = folder.File("k726");
    platform.arguments = {mode};
    const std::string path = folder.File("KZC_TEMP.TXT");
    WriteBytes(folder.File("k726.dat"), "0\r\n-\r\n");
    const auto run = [&](long armed) {
      WriteBytes(path, input);
      ValueWindow window;
      TForm1 form(platform, window);
      bool escaped = false;
      allocationsLeft = armed;
      try {
        form.FormShow(nullptr);
      } catch (...) {
        escaped = true;
      }
      allocationsLeft = -1;
      ResetInterchangeState();
      return std::pair(ReadBytes(path), escaped);
    };
    const std::string result = run(-1).first;
    ASSERT_NE(result.rfind("hd\r\n", 0), std::string::npos) << result;
    // Before the file has a name nothing can be written: only the first few
    // allocations (arguments, the executable's path) may leave it alone.
    long untouched = 0;
    for (long armed = 0;; ++armed) {
      const auto [bytes, escaped] = run(armed);
      if (bytes == input && escaped) ++untouched;
      if (bytes != input || !escaped) {
        EXPECT_TRUE(bytes == result || bytes == "hq\r\n") << armed;
      }
      if (bytes == result && !escaped) break;  // the run needed fewer allocations
    }
    EXPECT_LE(untouched, 6);
  }
}

}  // namespace
