#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

struct SplitCase {
  std::string_view commandLine;
  std::vector<std::string> arguments;
};

// ソ and 表 end in 0x5C, the backslash.
#define SO "\x83\x5C"
#define HYOU "\x95\x5C"

const SplitCase kCases[] = {
    {"", {}},
    {"k726.exe", {}},
    {"k726.exe ", {}},
    {"k726.exe 3", {"3"}},
    {"k726.exe 3 more args", {"3", "more", "args"}},
    {"k726.exe  \t1\t\t2  ", {"1", "2"}},
    // The host's quoting: the argument keeps its blank and matches no mode.
    {"k726.exe \"1 \"", {"1 "}},
    {"k726.exe \"\"", {""}},
    {"k726.exe \"\" 3", {"", "3"}},
    // Program names: quotes only group; backslashes are path separators.
    {"\"C:\\Program Files\\k726.exe\" 1", {"1"}},
    {"C:\\a\" b\"\\k726.exe 2", {"2"}},
    {"\"k726.exe\"3", {}},
    {"\"C:\\dir\\\" 3", {"3"}},
    {" 1 2", {"1", "2"}},
    {"\"C:\\" SO "\\k726.exe\" 3", {"3"}},
    // Backslashes count only before a quote.
    {"k726.exe a\\\\b c\\", {"a\\\\b", "c\\"}},
    {"k726.exe a\\\"b", {"a\"b"}},
    {"k726.exe a\\\\\"b c\"", {"a\\b c"}},
    {"k726.exe a\\\\\\\"b", {"a\\\"b"}},
    {"k726.exe \"C:\\dir\\\\\" x", {"C:\\dir\\", "x"}},
    // Quoted parts embed anywhere; "" inside quotes is one literal quote
    // and the part stays open.
    {"k726.exe a\"b c\"d e", {"ab cd", "e"}},
    {"k726.exe \"a\"\"b c\" d", {"a\"b c", "d"}},
    {"k726.exe \"open to the end", {"open to the end"}},
    // A trail byte 0x5C is no backslash: the quote after ソ opens a part.
    {"k726.exe " SO "\" x\"", {SO " x"}},
    {"k726.exe " HYOU "\\\" y", {HYOU "\"", "y"}},
    // Whatever follows a lead byte is its trail byte, even a quote.
    {"k726.exe \x83\"x y", {"\x83\"x", "y"}},
    {"k726.exe a\x83", {"a\x83"}},
    {std::string_view("k726.exe 1\0 2", 13), {"1"}},
};

TEST(CommandLineArgumentsTest, SplitsAsTheCRuntimeDoes) {
  for (const SplitCase& c : kCases) {
    EXPECT_EQ(CommandLineArguments(c.commandLine), c.arguments)
        << "command line: " << c.commandLine;
  }
}

}  // namespace
