#include "util/exchange.h"

#include <utility>

void ExchangeIntegers(std::int32_t& a, std::int32_t& b) { std::swap(a, b); }

void ExchangeReals(double& a, double& b) { std::swap(a, b); }
