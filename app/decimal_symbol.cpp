#include "app/decimal_symbol.h"

#include "util/sjis.h"

char DecimalSymbolFromLocale(std::string_view localeText) {
  if (localeText.empty() || localeText[0] == '\0' || IsLeadByte(localeText[0])) return '.';
  return localeText[0];
}
