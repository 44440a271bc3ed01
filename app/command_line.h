// Splits a Windows command line into arguments the way the Microsoft C
// runtime does, so that the host's quoting reaches us as it would reach any
// other Windows program:
//   prog.exe 3 "a b" c\"d "e""f" \\"g h"   ->   3 | a b | c"d | e"f | \g h
// - The program name ends at the first blank or tab outside quotes; quotes
//   in it only group, and backslashes in it are plain characters.
// - Arguments are separated by blanks and tabs outside quotes.
// - 2n backslashes before a quote give n backslashes and the quote opens or
//   closes a quoted part; 2n+1 give n backslashes and a literal quote; other
//   backslashes are literal.
// - Inside a quoted part, a doubled quote gives one literal quote.
// - A double-byte character of code page 932 is one unit: its trail byte is
//   never taken for a backslash (ソ is 0x83 0x5C). A lead byte at the very
//   end stays, alone.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The arguments after the program name.
std::vector<std::string> CommandLineArguments(std::string_view commandLine);
