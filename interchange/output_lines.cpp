#include "interchange/output_lines.h"

#include <algorithm>

#include "interchange/system_strings.h"
#include "machine/file_io.h"

OutputLineList OutputLines;

std::string_view OutputLineList::operator[](std::int32_t i) const {
  const std::size_t index = static_cast<std::size_t>(i);
  const std::size_t begin = index == 0 ? 0 : ends_[index - 1];
  return std::string_view(bytes_).substr(begin, ends_[index] - begin);
}

void OutputLineList::Add(std::string_view line) {
  ++count_;
  if (count_ % 1000 == 1) ends_.resize(static_cast<std::size_t>(count_) + 999);
  bytes_.append(line.substr(0, std::min(line.size(), kMaxLineBytes)));
  ends_[static_cast<std::size_t>(count_) - 1] = bytes_.size();
}

void OutputLineList::Clear() {
  count_ = 0;
  Release();
}

void OutputLineList::Truncate(std::int32_t count) {
  if (count < 0 || count >= count_) return;
  bytes_.resize(count == 0 ? 0 : ends_[static_cast<std::size_t>(count) - 1]);
  count_ = count;
}

void OutputLineList::Release() {
  std::string().swap(bytes_);
  std::vector<std::size_t>().swap(ends_);
}

void AddOutputLine(std::string_view line) { OutputLines.Add(line); }

void ClearOutputLines() { OutputLines.Clear(); }

std::string RenderInterchangeFile() {
  const OutputLineList& list = OutputLines;
  const std::int32_t count = list.Count();
  if (count == 0) return std::string(kCommandQuit) + "\r\n";

  std::string image;
  image.reserve(list.ByteSize() + 2 * static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) {
    const std::string_view entry = list[i];
    image.append(entry);
    // A quote-terminated entry (a text's command line) takes the next entry
    // onto its own line; that next entry is never examined itself.
    if (!entry.empty() && entry.back() == '"') {
      if (++i >= count) break;
      image.append(list[i]);
    }
    image.append("\r\n");
  }
  return image;
}

namespace {

constexpr std::string_view kQuitImage = "hq\r\n";

void WriteQuitWithin(const std::string& path, FileWaitBudget& budget) {
  bool written = ReplaceFileAtomically(path, kQuitImage, budget);
  // No room for a new file, or no memory for its name: in place needs neither.
  if (!written) written = OverwriteFileInPlace(path, kQuitImage, budget);
  if (!written) RemoveFileQuietly(path, budget);
}

}  // namespace

bool WriteInterchangeFile(const std::string& path) {
  FileWaitBudget budget;
  bool written = false;
  try {
    written = ReplaceFileAtomically(path, RenderInterchangeFile(), budget);
  } catch (...) {
    // Exhausted memory while building the image: "hq" needs none.
  }
  if (!written) WriteQuitWithin(path, budget);
  RemoveStaleTemporaries(path);
  return written;
}

void WriteInterchangeQuit(const std::string& path) {
  FileWaitBudget budget;
  WriteQuitWithin(path, budget);
  RemoveStaleTemporaries(path);
}
