// Writes the generated seeds of job_fuzz into a folder, the same every time:
//
//   job_seeds FOLDER        (scripts/fuzz builds it as build/fuzz/job_seeds)
//
// Each seed is a selection as the host writes it, made by the tests' own
// generator with its varied values, behind the run line job_fuzz reads
// (flags byte, delimiter, LF): both modes, both orders, now and then Escape.
// Mode "2" seeds hold two texts, so that the pair is joined. Every seed stays
// within the 8 KB that scripts/fuzz passes as -max_len. Then the regression
// seeds: selections whose findings were mended, in the same form.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

#include "support/interchange_generator.h"

namespace {

constexpr std::size_t kMaxSeedBytes = 8192;
constexpr int kSeeds = 240;

void Save(const std::string& folder, const std::string& name, const std::string& bytes) {
  std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
}

std::string RunLine(unsigned flags, std::string_view delimiter) {
  return std::string(1, static_cast<char>(flags)) + std::string(delimiter) + "\n";
}

// The largest selection of up to entities entities that fits beside the run line.
std::string Selection(std::uint32_t seed, std::int64_t entities, bool pair, std::size_t room) {
  GeneratorOptions options;
  options.Seed = seed;
  options.Varied = true;
  options.IncludeHeader = seed % 3 == 0;
  options.CrLf = seed % 5 != 0;
  options.MaxTexts = pair ? 2 : -1;
  for (;; --entities) {
    options.Entities = entities;
    std::string bytes = GenerateInterchangeFile(options).Bytes;
    if (bytes.size() <= room || entities == 1) return bytes;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: job_seeds FOLDER\n", stderr);
    return 2;
  }
  const std::string folder = argv[1];
  constexpr std::string_view kDelimiters[] = {"", "-", "\x81\x7c", " ", "\x81\x40\x81\x40"};
  for (int i = 0; i < kSeeds; ++i) {
    const auto seed = static_cast<std::uint32_t>(7260 + i);
    // bit 0: mode "2"; bit 1: order 1; bit 2: Escape, one seed in eight.
    const unsigned flags = (i & 3u) | (i % 8 == 7 ? 4u : 0u);
    const std::string run = RunLine(flags, kDelimiters[i % std::size(kDelimiters)]);
    const std::int64_t entities = 4 + (i * 37) % 90;
    const std::string selection = Selection(seed, entities, flags & 1, kMaxSeedBytes - run.size());
    char name[32];
    std::snprintf(name, sizeof name, "selection_%03d.txt", i);
    Save(folder, name, run + selection);
  }
  // Corners apart as read that one write with 15 digits merges, the first
  // and third of one, the first and fourth of the other: both come back with
  // three corners.
  const std::string pair = "ch 0 0 1 0 \"A\r\nch 5 0 1 0 \"B\r\n";
  Save(folder, "sl_merged_diagonal.txt",
       RunLine(0, "-") + pair + "sl 999999999999999.1 5 337.1 31 999999999999999.4 5.0 146 5\r\n");
  Save(folder, "sl_merged_neighbours.txt",
       RunLine(0, "-") + pair +
           "sl 123456789.123456789 393.3 -281.4648 0 -281.46479998 0.0 123456789.1234568 "
           "393.3\r\n");
  // A three-corner "sl" whose first and third corners merge (nothing comes
  // back) right before a four-corner one whose first and fourth do.
  Save(folder, "sl_vanished_then_merged.txt",
       RunLine(0, "-") + pair + "sl 34135168943590.184 0.934 5 6 34135168943590.180 0.934\r\n" +
           "sl 34135168943590.184 0.934 5 6 3 7 34135168943590.180 0.934\r\n");
  // A three-corner "sl" that comes back with two, which take a line width
  // that nothing before it needed the first round to write.
  Save(folder, "sl_merged_to_two_first.txt",
       RunLine(0, " ") + "lc2\r\nsl 854453000 0 8815995960823.988 -9.752047e14 " +
           "8815995960823.987 -9.752047e14\r\n" + pair);
  return 0;
}
