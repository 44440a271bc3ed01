// The one-piece replacement, the same on every file layer: what makes it
// safe (the unique temporary file, the flush, the rename) is ReplacementFile's.
#include "machine/file_io.h"

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                           FileWaitBudget& budget) noexcept {
  ReplacementFile file;
  return file.Create(path, budget) && file.Write(bytes) && file.Commit();
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) noexcept {
  FileWaitBudget budget;
  return ReplaceFileAtomically(path, bytes, budget);
}
