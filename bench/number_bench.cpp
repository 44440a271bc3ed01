// The per-number and per-line costs under the reader and the writers: number
// texts, number parsing and the tokeniser, each over a batch of inputs of the
// kinds a drawing holds (coordinates with two decimals, computed values with
// fifteen digits, small integers, the host's lines).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "interchange/line_tokens.h"
#include "interchange/number_text.h"
#include "support/interchange_generator.h"
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

// The lines of a generated drawing of 10^4 entities, each tokenised in a
// copy of its own, as the reader does: many different lines, so that the
// branches cannot learn a few by heart.
void BM_TokeniseLines(benchmark::State& state) {
  GeneratorOptions options;
  options.Entities = 10000;
  const std::string bytes = GenerateInterchangeFile(options).Bytes;
  std::string work = bytes;
  LineTokens tokens;
  for (auto _ : state) {
    state.PauseTiming();
    work.assign(bytes);
    state.ResumeTiming();
    char* line = work.data();
    char* const end = line + work.size();
    while (line < end) {
      char* lineEnd = std::find(line, end, '\n');
      const char* next = lineEnd + 1;
      if (lineEnd > line && lineEnd[-1] == '\r') --lineEnd;
      TokeniseLineInPlace(line, static_cast<std::size_t>(lineEnd - line), tokens);
      benchmark::DoNotOptimize(tokens.Count);
      line = const_cast<char*>(next);
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_TokeniseLines);

}  // namespace
