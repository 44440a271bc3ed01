// The decimal separator of every real we write comes from the user's locale:
// the first byte of its decimal symbol text, or '.' when that text is empty.
// A symbol that begins with a double-byte character also gives '.': its lead
// byte alone would pair with the next digit when the host reads Shift-JIS,
// and corrupt the number.
#pragma once

#include <string_view>

char DecimalSymbolFromLocale(std::string_view localeText);
