// The file layer of the Windows build. Paths arrive as UTF-8 and go to the W
// APIs as UTF-16, in the \\?\ form when they are long, so that any folder
// name works (the ANSI APIs turn characters outside code page 932 into "?").
// Conversions use fixed per-thread buffers, never the heap: the "hq" fallback
// of the write-back must work when memory has run out.
#include <windows.h>

#include "machine/file_io.h"
#include "machine/file_names.h"

namespace {

// The longest path the W APIs take, with room for the \\?\UNC\ prefix.
constexpr int kWidePathCapacity = 32768 + 8;
// Paths from this length on get the \\?\ form; below it every API takes them.
constexpr DWORD kLongPathFrom = MAX_PATH - 12;
constexpr int kRetries = 10;
constexpr DWORD kRetryStepMs = 25;
constexpr ULONGLONG kStaleTicks = 60ULL * 10000000ULL;  // a minute in 100 ns
constexpr int kNameAttempts = 8;

// No function here holds more than this many paths at once.
constexpr int kPathSlots = 3;

// Scratch space, one set per thread: 64 KB apiece is too much for a stack
// frame, and the heap may be exhausted when it is needed. Converted and Full
// belong to ToWide alone, within one call; each slot to the one WidePath that
// holds it, so no two users can ever share a buffer.
struct Scratch {
  wchar_t Converted[kWidePathCapacity];
  wchar_t Full[kWidePathCapacity];
  wchar_t Slots[kPathSlots][kWidePathCapacity];
  bool Held[kPathSlots];
};
thread_local Scratch scratch;

// A path buffer of its own for as long as the object lives. Ok says whether
// Text holds a usable path; never, when every slot is held.
class WidePath {
 public:
  WidePath() {
    for (int i = 0; i < kPathSlots && Text == nullptr; ++i) {
      if (scratch.Held[i]) continue;
      scratch.Held[i] = true;
      slot_ = i;
      Text = scratch.Slots[i];
    }
  }
  ~WidePath() {
    if (Text != nullptr) scratch.Held[slot_] = false;
  }
  WidePath(const WidePath&) = delete;
  WidePath& operator=(const WidePath&) = delete;

  wchar_t* Text = nullptr;
  bool Ok = false;

 private:
  int slot_ = 0;
};

bool StartsWith(const wchar_t* text, const wchar_t* prefix) {
  while (*prefix != L'\0') {
    if (*text++ != *prefix++) return false;
  }
  return true;
}

// prefix followed by text into out; false when it does not fit.
bool Concatenate(const wchar_t* prefix, const wchar_t* text, WidePath& out) {
  const int prefixLength = lstrlenW(prefix);
  const int textLength = lstrlenW(text);
  if (prefixLength + textLength + 1 > kWidePathCapacity) return false;
  CopyMemory(out.Text, prefix, prefixLength * sizeof(wchar_t));
  CopyMemory(out.Text + prefixLength, text, (textLength + 1) * sizeof(wchar_t));
  return true;
}

// UTF-8 to an absolute UTF-16 path; long ones as \\?\C:\... or \\?\UNC\....
void ToWide(const std::string& path, WidePath& out) {
  out.Ok = false;
  if (out.Text == nullptr || path.empty() || path.size() >= kWidePathCapacity / 2) return;
  wchar_t* const converted = scratch.Converted;
  wchar_t* const fullPath = scratch.Full;
  const int length =
      MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), static_cast<int>(path.size()),
                          converted, kWidePathCapacity - 1);
  if (length <= 0) return;
  converted[length] = L'\0';
  if (StartsWith(converted, L"\\\\?\\")) {
    out.Ok = Concatenate(L"", converted, out);
    return;
  }
  const DWORD full = GetFullPathNameW(converted, kWidePathCapacity, fullPath, nullptr);
  if (full == 0 || full >= kWidePathCapacity) return;
  if (full < kLongPathFrom) {
    out.Ok = Concatenate(L"", fullPath, out);
  } else if (StartsWith(fullPath, L"\\\\")) {
    out.Ok = Concatenate(L"\\\\?\\UNC\\", fullPath + 2, out);
  } else {
    out.Ok = Concatenate(L"\\\\?\\", fullPath, out);
  }
}

// Whether an error is another program's brief hold, worth waiting out. A
// read-only file, a folder, or a name where nothing exists (the folder's
// permissions deny it) is denied for good; a file whose attributes are denied
// too is being deleted, which ends soon.
bool IsTransient(DWORD error, const wchar_t* path) {
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return true;
  if (error != ERROR_ACCESS_DENIED) return false;
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_ACCESS_DENIED;
  return (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

// Runs operation (true on success) once and up to 10 more times after
// 25 ms × the retry number, as long as the failure is transient and the
// budget allows the wait.
template <typename Operation>
bool WithRetries(const wchar_t* path, FileWaitBudget& budget, Operation operation) {
  for (int retry = 1;; ++retry) {
    if (operation()) return true;
    const DWORD error = GetLastError();
    const DWORD wait = kRetryStepMs * static_cast<DWORD>(retry);
    if (retry > kRetries || !IsTransient(error, path) ||
        static_cast<std::int32_t>(wait) > budget.Milliseconds) {
      SetLastError(error);
      return false;
    }
    Sleep(wait);
    budget.Milliseconds -= static_cast<std::int32_t>(wait);
  }
}

// flags FILE_FLAG_OPEN_REPARSE_POINT: a link is opened itself, not followed.
HANDLE Open(const wchar_t* path, DWORD access, DWORD share, DWORD disposition, DWORD flags,
            FileWaitBudget& budget) {
  HANDLE file = INVALID_HANDLE_VALUE;
  WithRetries(path, budget, [&] {
    file = CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL | flags,
                       nullptr);
    return file != INVALID_HANDLE_VALUE;
  });
  return file;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool IsRegularFile(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info{};
  return GetFileInformationByHandle(file, &info) &&
         (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

}  // namespace

std::size_t FileNameStart(std::string_view path) noexcept {
  const std::size_t separator = path.find_last_of("\\/:");
  return separator == std::string_view::npos ? 0 : separator + 1;
}

bool FileExists(const std::string& path) noexcept {
  WidePath targetPath;
  ToWide(path, targetPath);
  if (!targetPath.Ok) return false;
  const DWORD attributes = GetFileAttributesW(targetPath.Text);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

InputFile::InputFile(const std::string& path) noexcept {
  WidePath targetPath;
  ToWide(path, targetPath);
  if (!targetPath.Ok) return;
  FileWaitBudget budget;
  const HANDLE file =
      Open(targetPath.Text, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
           OPEN_EXISTING, 0, budget);
  if (file == INVALID_HANDLE_VALUE) return;
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
}

InputFile::~InputFile() noexcept {
  if (IsOpen()) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::ptrdiff_t InputFile::Read(char* buffer, std::size_t size) noexcept {
  if (!IsOpen()) return -1;
  const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
  DWORD got = 0;
  if (!ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, chunk, &got, nullptr)) return -1;
  return static_cast<std::ptrdiff_t>(got);
}

// The names are kept in UTF-8 and converted again where they are used: a
// path buffer is held only while a function runs.
ReplacementFile::~ReplacementFile() noexcept { Discard(); }

bool ReplacementFile::Create(const std::string& path, FileWaitBudget& budget) noexcept {
  Discard();
  budget_ = &budget;
  failed_ = true;
  WidePath targetPath;
  ToWide(path, targetPath);
  if (!targetPath.Ok) return false;
  WidePath otherPath;
  HANDLE file = INVALID_HANDLE_VALUE;
  try {
    path_ = path;
    for (int attempt = 0; attempt < kNameAttempts && file == INVALID_HANDLE_VALUE; ++attempt) {
      temporary_ = TemporaryNameFor(path, UniqueNumber(GetCurrentProcessId()));
      ToWide(temporary_, otherPath);
      if (!otherPath.Ok) break;
      // CREATE_NEW never opens what sits at the name already, link or not.
      file =
          Open(otherPath.Text, GENERIC_WRITE, 0, CREATE_NEW, FILE_FLAG_OPEN_REPARSE_POINT, budget);
      if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
          GetLastError() != ERROR_ALREADY_EXISTS) {
        break;
      }
    }
  } catch (...) {
    // No memory for the names: nothing was created.
  }
  if (file == INVALID_HANDLE_VALUE) {
    temporary_.clear();
    return false;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  failed_ = false;
  return true;
}

bool ReplacementFile::Write(std::string_view bytes) noexcept {
  if (failed_) return false;
  failed_ = !WriteAll(reinterpret_cast<HANDLE>(handle_), bytes);
  return !failed_;
}

bool ReplacementFile::Commit() noexcept {
  if (failed_) return false;
  const HANDLE file = reinterpret_cast<HANDLE>(handle_);
  handle_ = kClosed;
  failed_ = true;
  bool ok = FlushFileBuffers(file) != 0;
  ok = (CloseHandle(file) != 0) && ok;
  {
    WidePath targetPath;
    WidePath otherPath;
    ToWide(path_, targetPath);
    ToWide(temporary_, otherPath);
    ok = ok && targetPath.Ok && otherPath.Ok && WithRetries(targetPath.Text, *budget_, [&] {
           return MoveFileExW(otherPath.Text, targetPath.Text,
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
         });
  }
  if (!ok) {
    Discard();
    return false;
  }
  temporary_.clear();  // it is path now
  return true;
}

void ReplacementFile::Discard() noexcept {
  if (handle_ != kClosed) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = kClosed;
  failed_ = true;
  if (temporary_.empty()) return;
  // Only our own new file goes; path keeps whatever it held.
  WidePath otherPath;
  ToWide(temporary_, otherPath);
  if (otherPath.Ok) {
    WithRetries(otherPath.Text, *budget_, [&] { return DeleteFileW(otherPath.Text) != 0; });
  }
  temporary_.clear();
}

bool OverwriteFileInPlace(const std::string& path, std::string_view bytes,
                          FileWaitBudget& budget) noexcept {
  WidePath targetPath;
  ToWide(path, targetPath);
  if (!targetPath.Ok) return false;
  const HANDLE file =
      Open(targetPath.Text, GENERIC_WRITE, 0, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, budget);
  if (file == INVALID_HANDLE_VALUE) return false;
  // Writing before cutting keeps the clusters the file already has.
  bool ok = IsRegularFile(file) && WriteAll(file, bytes) && SetEndOfFile(file) != 0 &&
            FlushFileBuffers(file) != 0;
  ok = (CloseHandle(file) != 0) && ok;
  return ok;
}

void RemoveFileQuietly(const std::string& path, FileWaitBudget& budget) noexcept {
  WidePath targetPath;
  ToWide(path, targetPath);
  if (!targetPath.Ok) return;
  WithRetries(targetPath.Text, budget, [&] {
    return DeleteFileW(targetPath.Text) != 0 || GetLastError() == ERROR_FILE_NOT_FOUND;
  });
}

void RemoveFileQuietly(const std::string& path) noexcept {
  FileWaitBudget budget;
  RemoveFileQuietly(path, budget);
}

void RemoveStaleTemporaries(const std::string& path) noexcept try {
  const std::size_t nameStart = FileNameStart(path);
  const std::string target = path.substr(nameStart);
  WidePath pattern;
  ToWide(path.substr(0, nameStart) + target + ".k726-*.tmp", pattern);
  if (!pattern.Ok) return;
  // The folder part of the pattern, in the form FindFirstFileW was given.
  int folderLength = lstrlenW(pattern.Text);
  while (folderLength > 0 && pattern.Text[folderLength - 1] != L'\\') --folderLength;
  WidePath stale;
  if (stale.Text == nullptr) return;

  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW(pattern.Text, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  FILETIME nowFile{};
  GetSystemTimeAsFileTime(&nowFile);
  const ULONGLONG now = (ULONGLONG{nowFile.dwHighDateTime} << 32) | nowFile.dwLowDateTime;
  do {
    if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
      continue;
    }
    const ULONGLONG written = (ULONGLONG{found.ftLastWriteTime.dwHighDateTime} << 32) |
                              found.ftLastWriteTime.dwLowDateTime;
    if (now < written || now - written < kStaleTicks) continue;
    char name[MAX_PATH * 4];
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, found.cFileName, -1, name, sizeof name, nullptr, nullptr);
    if (length <= 1 || !IsTemporaryNameOf(std::string_view(name, length - 1), target)) continue;
    if (folderLength + lstrlenW(found.cFileName) + 1 > kWidePathCapacity) continue;
    CopyMemory(stale.Text, pattern.Text, folderLength * sizeof(wchar_t));
    lstrcpynW(stale.Text + folderLength, found.cFileName, kWidePathCapacity - folderLength);
    DeleteFileW(stale.Text);
  } while (FindNextFileW(search, &found));
  FindClose(search);
} catch (...) {
  // No memory for the pattern: left for the next run.
}
