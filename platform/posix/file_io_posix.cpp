// The file layer of every build but the Windows one: the Linux program, the
// tests and the fuzz target.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "machine/file_io.h"
#include "machine/file_names.h"

namespace {

// A temporary file that a running copy could still be writing is younger.
constexpr std::time_t kStaleSeconds = 60;
// Fresh names tried when one is taken (by a leftover, a link, a FIFO...).
constexpr int kNameAttempts = 8;

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

void CloseQuietly(int fd) {
  if (fd >= 0) ::close(fd);
}

std::string FolderOf(const std::string& path) {
  const std::size_t start = FileNameStart(path);
  if (start == 0) return ".";
  return start == 1 ? "/" : path.substr(0, start - 1);
}

// Makes the rename itself durable; a failure here leaves a complete file.
void SyncFolder(const std::string& folder) {
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace

std::size_t FileNameStart(std::string_view path) noexcept {
  const std::size_t separator = path.find_last_of('/');
  return separator == std::string_view::npos ? 0 : separator + 1;
}

bool FileExists(const std::string& path) noexcept {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

InputFile::InputFile(const std::string& path) noexcept {
  // O_NONBLOCK keeps a FIFO at the path from holding the run; regular files
  // ignore it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return;
  }
  handle_ = fd;
}

InputFile::~InputFile() noexcept { CloseQuietly(static_cast<int>(handle_)); }

std::ptrdiff_t InputFile::Read(char* buffer, std::size_t size) noexcept {
  if (!IsOpen()) return -1;
  for (;;) {
    const ssize_t got = ::read(static_cast<int>(handle_), buffer, size);
    if (got >= 0) return got;
    if (errno != EINTR) return -1;
  }
}

ReplacementFile::~ReplacementFile() noexcept { Discard(); }

bool ReplacementFile::Create(const std::string& path, FileWaitBudget& budget) noexcept {
  Discard();
  budget_ = &budget;
  failed_ = true;
  int fd = -1;
  try {
    path_ = path;
    folder_ = FolderOf(path);
    for (int attempt = 0; attempt < kNameAttempts && fd < 0; ++attempt) {
      temporary_ = TemporaryNameFor(path, UniqueNumber(static_cast<std::uint64_t>(::getpid())));
      // Exclusive and without following a link: whatever already sits at the
      // name (a leftover, a link planted there, a FIFO) is never opened.
      fd = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (fd < 0 && errno != EEXIST) break;
    }
  } catch (...) {
    // No memory for the names: nothing was created.
  }
  if (fd < 0) {
    temporary_.clear();
    return false;
  }
  handle_ = fd;
  failed_ = false;
  return true;
}

bool ReplacementFile::Write(std::string_view bytes) noexcept {
  if (failed_) return false;
  failed_ = !WriteAll(static_cast<int>(handle_), bytes);
#ifdef __linux__
  // Starts the disk writes of what is there while the caller builds the next
  // piece, so that the fsync of Commit waits for less; a hint, not checked.
  if (!failed_) ::sync_file_range(static_cast<int>(handle_), 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
  return !failed_;
}

bool ReplacementFile::Commit() noexcept {
  if (failed_) return false;
  const int fd = static_cast<int>(handle_);
  handle_ = kClosed;
  bool ok = ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temporary_.c_str(), path_.c_str()) == 0;
  failed_ = true;
  if (!ok) {
    Discard();
    return false;
  }
  temporary_.clear();  // it is path now
  SyncFolder(folder_);
  return true;
}

void ReplacementFile::Discard() noexcept {
  CloseQuietly(static_cast<int>(handle_));
  handle_ = kClosed;
  // Only our own new file goes; path keeps whatever it held.
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
  failed_ = true;
}

bool OverwriteFileInPlace(const std::string& path, std::string_view bytes,
                          FileWaitBudget&) noexcept {
  const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  // Writing before cutting keeps the blocks the file already has.
  std::size_t done = 0;
  while (ok && done < bytes.size()) {
    const ssize_t written =
        ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (written < 0 && errno == EINTR) continue;
    ok = written > 0;
    if (ok) done += static_cast<std::size_t>(written);
  }
  ok = ok && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  return ok;
}

void RemoveFileQuietly(const std::string& path, FileWaitBudget&) noexcept {
  ::unlink(path.c_str());
}

void RemoveFileQuietly(const std::string& path) noexcept { ::unlink(path.c_str()); }

void RemoveStaleTemporaries(const std::string& path) noexcept try {
  const std::string folder = FolderOf(path);
  const std::string_view target = std::string_view(path).substr(FileNameStart(path));
  DIR* const dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  const int dirFd = ::dirfd(dir);
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTemporaryNameOf(entry->d_name, target)) continue;
    struct stat info {};
    if (::fstatat(dirFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(info.st_mode) || now - info.st_mtime < kStaleSeconds) continue;
    ::unlinkat(dirFd, entry->d_name, 0);
  }
  ::closedir(dir);
} catch (...) {
  // Only FolderOf allocates, before the folder is opened: left for the next run.
}
