// The whole job of mode "1" in process: read, join, re-emit, write.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "app/form1.h"
#include "interchange/state.h"
#include "support/fake_platform.h"
#include "support/interchange_generator.h"

namespace {

class NoWindow final : public FormWindow {
 public:
  void Minimise() override {}
  void MoveTo(std::int32_t, std::int32_t) override {}
  std::int32_t OuterWidth() override { return 318; }
  void SetRadioIndex(std::int32_t) override {}
  std::int32_t RadioIndex() override { return 0; }
  void SetEditText(std::string_view) override {}
  std::string EditText() override { return {}; }
  void Close() override {}
};

void RunJoinRange(benchmark::State& state, const GeneratedFile& file) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "k726-join-bench";
  std::filesystem::create_directories(folder);
  NoWindow window;
  FakePlatform platform;
  TForm1 form(platform, window);
  form.ExeFolder = (folder / "").string();
  for (auto _ : state) {
    state.PauseTiming();
    std::ofstream(form.InterchangePath(), std::ios::binary) << file.Bytes;
    state.ResumeTiming();
    ResetInterchangeState();
    form.JoinRange();
  }
  state.SetItemsProcessed(state.iterations() * file.Entities);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.Bytes.size()));
  std::filesystem::remove_all(folder);
}

void BM_JoinRangeDrawing(benchmark::State& state) {
  GeneratorOptions options;
  options.Entities = state.range(0);
  RunJoinRange(state, GenerateInterchangeFile(options));
}
BENCHMARK(BM_JoinRangeDrawing)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond);

// Every text of a whole sheet joins: empty strings, no delimiter.
void BM_JoinRangeEmptyTexts(benchmark::State& state) {
  RunJoinRange(state, GenerateEmptyTexts(state.range(0), 1));
}
BENCHMARK(BM_JoinRangeEmptyTexts)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
