#include <windows.h>

#include "platform/file_io.h"

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::FILE* OpenFileForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string temporary = path + ".k726-new";
  HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  while (ok && !bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    ok = WriteFile(file, bytes.data(), chunk, &written, nullptr) != 0 && written == chunk;
    bytes.remove_prefix(written);
  }
  ok = ok && FlushFileBuffers(file) != 0;
  ok = (CloseHandle(file) != 0) && ok;
  ok = ok && MoveFileExA(temporary.c_str(), path.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  if (!ok) DeleteFileA(temporary.c_str());
  return ok;
}

void RemoveFileQuietly(const std::string& path) { DeleteFileA(path.c_str()); }
