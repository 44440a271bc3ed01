// The per-number and per-line costs under the reader and the writers: number
// texts, number parsing and the tokeniser, each over a batch of inputs of the
// kinds a drawing holds (coordinates with two decimals, computed values with
// fifteen digits, small integers, the host's lines).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "interchange/line_tokens.h"
#include "interchange/number_text.h"
#include "util/number_parse.h"

namespace {

constexpr int kBatch = 4096;

std::vector<double> Hundredths() {
  std::mt19937 rng(726);
  std::uniform_int_distribution<std::int64_t> h(-5000000, 5000000);
  std::vector<double> values;
  for (int i = 0; i < kBatch; ++i) values.push_back(static_cast<double>(h(rng)) / 100.0);
  return values;
}

// Results of arithmetic: rotated points, thirds; most need all 15 digits.
std::vector<double> Computed() {
  std::mt19937 rng(727);
  std::uniform_real_distribution<double> u(-50000, 50000);
  std::vector<double> values;
  for (int i = 0; i < kBatch; ++i) values.push_back(u(rng));
  return values;
}

void WriteTexts(benchmark::State& state, const std::vector<double>& values) {
  char buffer[kMaxRealTextLength];
  for (auto _ : state) {
    for (const double v : values) {
      benchmark::DoNotOptimize(WriteRealText(buffer, v));
      benchmark::ClobberMemory();
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values.size()));
}

void BM_RealTextHundredths(benchmark::State& state) { WriteTexts(state, Hundredths()); }
BENCHMARK(BM_RealTextHundredths);

void BM_RealTextComputed(benchmark::State& state) { WriteTexts(state, Computed()); }
BENCHMARK(BM_RealTextComputed);

std::vector<std::string> TextsOf(const std::vector<double>& values) {
  std::vector<std::string> texts;
  for (const double v : values) texts.push_back(RealToText(v));
  return texts;
}

void ParseTexts(benchmark::State& state, const std::vector<std::string>& texts) {
  for (auto _ : state) {
    for (const std::string& t : texts) benchmark::DoNotOptimize(StrToFloatOrZero(t));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(texts.size()));
}

void BM_ParseRealHundredths(benchmark::State& state) { ParseTexts(state, TextsOf(Hundredths())); }
BENCHMARK(BM_ParseRealHundredths);

void BM_ParseRealComputed(benchmark::State& state) { ParseTexts(state, TextsOf(Computed())); }
BENCHMARK(BM_ParseRealComputed);

void BM_StrToIntOrZero(benchmark::State& state) {
  std::mt19937 rng(728);
  std::vector<std::string> texts;
  for (int i = 0; i < kBatch; ++i) texts.push_back(std::to_string(rng() % 20000));
  for (auto _ : state) {
    for (const std::string& t : texts) benchmark::DoNotOptimize(StrToIntOrZero(t));
  }
  state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_StrToIntOrZero);

// A plain line, a circle, a text with Shift-JIS bytes in its quoted rest, an
// attribute: the mix of a drawing.
void BM_TokeniseLine(benchmark::State& state) {
  const std::string lines[] = {
      "-12724.81 26687.77 -12650.78 26758.99",
      "ci -14643.84 -308.24 665.16",
      "ch -45234.14 1320.95 1.23 -0.54 \"\x90\x7d\x96\xca \x94\x7a\x92\x75\x90\x7d",
      "lc8",
      "sg 36669.66 -23163.9 45.1 1.92 25.26 103.55 0.41 22.55",
  };
  std::int64_t bytes = 0;
  for (const std::string& line : lines) bytes += static_cast<std::int64_t>(line.size());
  std::string work;
  LineTokens tokens;
  for (auto _ : state) {
    for (const std::string& line : lines) {
      work.assign(line);
      TokeniseLineInPlace(work.data(), work.size(), tokens);
      benchmark::DoNotOptimize(tokens.Count);
    }
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_TokeniseLine);

}  // namespace
