// Exchanges of two values in place, as the join's selection sort uses them.
#pragma once

#include <cstdint>

void ExchangeIntegers(std::int32_t& a, std::int32_t& b) noexcept;
void ExchangeReals(double& a, double& b) noexcept;
