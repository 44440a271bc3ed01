// Reading generated interchange files of 10^3 to 10^6 entities, as the host
// writes a selection. Each file is written once per run to the temporary
// folder and removed at the end; the state is reset outside the timing.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "interchange/reader.h"
#include "interchange/state.h"
#include "support/interchange_generator.h"

namespace {

struct BenchFile {
  std::string Path;
  std::int64_t Entities = 0;
  std::int64_t Bytes = 0;
};

class BenchFiles {
 public:
  ~BenchFiles() {
    for (const auto& [entities, file] : files_) std::remove(file.Path.c_str());
  }

  const BenchFile& Of(std::int64_t entities) {
    auto found = files_.find(entities);
    if (found != files_.end()) return found->second;
    GeneratorOptions options;
    options.Entities = entities;
    const GeneratedFile generated = GenerateInterchangeFile(options);
    BenchFile file;
    file.Path = (std::filesystem::temp_directory_path() /
                 ("k726_reader_bench_" + std::to_string(entities) + ".txt"))
                    .string();
    file.Entities = generated.Entities;
    file.Bytes = static_cast<std::int64_t>(generated.Bytes.size());
    if (std::FILE* out = std::fopen(file.Path.c_str(), "wb")) {
      std::fwrite(generated.Bytes.data(), 1, generated.Bytes.size(), out);
      std::fclose(out);
    }
    return files_.emplace(entities, file).first->second;
  }

 private:
  std::map<std::int64_t, BenchFile> files_;
};

BenchFiles benchFiles;

void BM_ReadInterchangeFile(benchmark::State& state) {
  const BenchFile& file = benchFiles.Of(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    ResetInterchangeState();
    state.ResumeTiming();
    if (!ReadInterchangeFile(file.Path)) {
      state.SkipWithError("the file could not be read");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * file.Entities);
  state.SetBytesProcessed(state.iterations() * file.Bytes);
  state.counters["entities"] = static_cast<double>(file.Entities);
  state.counters["MB"] = static_cast<double>(file.Bytes) / 1e6;
}

BENCHMARK(BM_ReadInterchangeFile)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The 10^6-entity file read in blocks of 64 KiB to 64 MiB (the whole file in
// one read): what a larger block, or one read of all of it, would save.
void BM_ReadInterchangeFileBlocks(benchmark::State& state) {
  const BenchFile& file = benchFiles.Of(1000000);
  for (auto _ : state) {
    state.PauseTiming();
    ResetInterchangeState();
    state.ResumeTiming();
    if (!ReadInterchangeFileInBlocks(file.Path, static_cast<std::size_t>(state.range(0)))) {
      state.SkipWithError("the file could not be read");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * file.Bytes);
}

BENCHMARK(BM_ReadInterchangeFileBlocks)
    ->RangeMultiplier(4)
    ->Range(1 << 16, 1 << 26)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
