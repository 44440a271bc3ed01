#include "util/exchange.h"

#include <cstring>
#include <utility>

void ExchangeIntegers(std::int32_t& a, std::int32_t& b) noexcept { std::swap(a, b); }

// Moved as bytes: a 32-bit x87 build would load the values through the FPU,
// which turns a signalling NaN into a quiet one.
void ExchangeReals(double& a, double& b) noexcept {
  unsigned char bytesA[sizeof(double)];
  unsigned char bytesB[sizeof(double)];
  std::memcpy(bytesA, &a, sizeof a);
  std::memcpy(bytesB, &b, sizeof b);
  std::memcpy(&a, bytesB, sizeof a);
  std::memcpy(&b, bytesA, sizeof b);
}
