#include "interchange/number_text.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

char decimalSeparator = '.';

// The rounded magnitude as 0.d1..dk x 10^exponent, 1 <= k <= 15.
struct Digits15 {
  char digits[15];
  int count;
  int exponent;
};

Digits15 RoundTo15(double magnitude) {
  // The correctly rounded 18 significant digits: d.ddddddddddddddddde±x.
  char buffer[40];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                    std::chars_format::scientific, 17);
  char digits18[18];
  digits18[0] = buffer[0];
  std::memcpy(digits18 + 1, buffer + 2, 17);
  int exponent10 = 0;
  std::from_chars(buffer + 20 + (buffer[20] == '+' ? 1 : 0), result.ptr, exponent10);

  Digits15 out{};
  std::memcpy(out.digits, digits18, 15);
  out.exponent = exponent10 + 1;
  // From 18 to 15: the 16th digit decides, half up.
  if (digits18[15] >= '5') {
    int i = 14;
    while (i >= 0 && out.digits[i] == '9') out.digits[i--] = '0';
    if (i >= 0) {
      ++out.digits[i];
    } else {
      out.digits[0] = '1';  // 9.99..9 became 10.0..0
      ++out.exponent;
    }
  }
  out.count = 15;
  while (out.count > 1 && out.digits[out.count - 1] == '0') --out.count;
  return out;
}

}  // namespace

void SetDecimalSeparator(char separator) { decimalSeparator = separator; }

char DecimalSeparator() { return decimalSeparator; }

void AppendRealText(std::string& out, double value) {
  if (value == 0.0) {
    out.push_back('0');
    return;
  }
  if (std::isnan(value)) {
    out.append("NAN");
    return;
  }
  if (value < 0) out.push_back('-');
  if (std::isinf(value)) {
    out.append("INF");
    return;
  }
  const Digits15 d = RoundTo15(std::fabs(value));
  const int k = d.count;
  const int e = d.exponent;
  if (e > 15 || e < -3) {
    out.push_back(d.digits[0]);
    if (k > 1) {
      out.push_back(decimalSeparator);
      out.append(d.digits + 1, static_cast<std::size_t>(k - 1));
    }
    out.push_back('E');
    AppendIntegerText(out, e - 1);
  } else if (e <= 0) {
    out.push_back('0');
    out.push_back(decimalSeparator);
    out.append(static_cast<std::size_t>(-e), '0');
    out.append(d.digits, static_cast<std::size_t>(k));
  } else {
    out.append(d.digits, static_cast<std::size_t>(k < e ? k : e));
    if (k < e) out.append(static_cast<std::size_t>(e - k), '0');
    if (k > e) {
      out.push_back(decimalSeparator);
      out.append(d.digits + e, static_cast<std::size_t>(k - e));
    }
  }
}

void AppendIntegerText(std::string& out, std::int32_t value) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

std::string RealToText(double value) {
  std::string text;
  AppendRealText(text, value);
  return text;
}

std::string IntegerToText(std::int32_t value) {
  std::string text;
  AppendIntegerText(text, value);
  return text;
}

std::string IntegerToHexText(std::int32_t value, int minDigits) {
  char buffer[16];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::uint32_t>(value), 16);
  std::string text;
  const auto length = static_cast<int>(result.ptr - buffer);
  if (minDigits > length) text.append(static_cast<std::size_t>(minDigits - length), '0');
  for (const char* p = buffer; p != result.ptr; ++p) {
    text.push_back(*p >= 'a' && *p <= 'f' ? static_cast<char>(*p - 'a' + 'A') : *p);
  }
  return text;
}
