#include "support/taken_names.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <cstring>

extern "C" int __real_open(const char* path, int flags, ...);
extern "C" int __wrap_open(const char* path, int flags, ...);

namespace {

int namesToTake = 0;
std::vector<std::string> takenNames;

}  // namespace

void TakeNextTemporaryNames(int count) {
  namesToTake = count;
  takenNames.clear();
}

std::vector<std::string> TakenTemporaryNames() { return takenNames; }

extern "C" int __wrap_open(const char* path, int flags, ...) {
  int mode = 0;
  if ((flags & O_CREAT) != 0) {
    va_list arguments;
    va_start(arguments, flags);
    mode = va_arg(arguments, int);
    va_end(arguments);
  }
  if (namesToTake > 0 && (flags & O_EXCL) != 0 && std::strstr(path, ".k726-") != nullptr) {
    --namesToTake;
    const int planted = __real_open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (planted >= 0) {
      const std::size_t size = std::strlen(kPlantedBytes);
      if (::write(planted, kPlantedBytes, size) == static_cast<ssize_t>(size)) {
        takenNames.emplace_back(path);
      }
      ::close(planted);
    }
  }
  return __real_open(path, flags, mode);
}
