#include "app/command_line.h"

#include "util/sjis.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Copies the character at i (one or two bytes) to out; returns the next index.
std::size_t CopyCharacter(std::string_view line, std::size_t i, std::string& out) {
  out.push_back(line[i]);
  if (IsLeadByte(line[i]) && i + 1 < line.size()) {
    out.push_back(line[i + 1]);
    return i + 2;
  }
  return i + 1;
}

// Index just past the program name and the blank that ends it.
std::size_t SkipProgramName(std::string_view line) {
  std::size_t i = 0;
  bool quoted = false;
  while (i < line.size()) {
    const char c = line[i];
    if (c == '"') {
      quoted = !quoted;
      ++i;
      continue;
    }
    if (!quoted && IsBlank(c)) return i + 1;
    i += IsLeadByte(c) && i + 1 < line.size() ? 2 : 1;
  }
  return i;
}

}  // namespace

std::vector<std::string> CommandLineArguments(std::string_view commandLine) {
  // The command line ends at its first NUL, as a C string would.
  const std::size_t nul = commandLine.find('\0');
  if (nul != std::string_view::npos) commandLine = commandLine.substr(0, nul);

  std::vector<std::string> arguments;
  std::size_t i = SkipProgramName(commandLine);
  const std::size_t end = commandLine.size();
  while (true) {
    while (i < end && IsBlank(commandLine[i])) ++i;
    if (i >= end) break;

    std::string argument;
    bool quoted = false;
    while (i < end) {
      std::size_t backslashes = 0;
      while (i < end && commandLine[i] == '\\') {
        ++backslashes;
        ++i;
      }
      bool literal = true;
      if (i < end && commandLine[i] == '"') {
        if (backslashes % 2 == 0) {
          if (quoted && i + 1 < end && commandLine[i + 1] == '"') {
            ++i;  // "" inside quotes: the second quote is the literal one
          } else {
            literal = false;
            quoted = !quoted;
          }
        }
        backslashes /= 2;
      }
      argument.append(backslashes, '\\');
      if (i >= end || (!quoted && IsBlank(commandLine[i]))) break;
      if (literal) {
        i = CopyCharacter(commandLine, i, argument);
      } else {
        ++i;
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}
