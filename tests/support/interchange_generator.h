// Generates realistic interchange files, as the host writes a user's
// selection, for benchmarks, round-trip tests, fuzz seeds and the end-to-end
// scenarios. Deterministic for a given seed.
#pragma once

#include <cstdint>
#include <string>

struct GeneratorOptions {
  std::int64_t Entities = 1000;  // entities the reader will store
  std::uint32_t Seed = 1;
  // Header lines: file name, angle, layer-group scales, paper, text types.
  bool IncludeHeader = true;
  // Text types 1..10 redefined by hcw/hch/hcd/hcc lines (part of the header).
  bool IncludeTextTypeTable = true;
  // Numbers have at most 9 significant digits, so they survive a write and
  // read back exactly.
  bool CrLf = true;
  // Selections as varied as a fuzzer's seeds want them: values from 1e-9 to
  // 1e15 with up to 17 significant digits, now and then in exponent form;
  // runs of blanks and tabs between values; texts longer than a line holds
  // and texts cut inside a double-byte character; "sl" corners that differ
  // only beyond the 15th digit; blocks. Entities may then be degenerate, and
  // writing back may drop or merge them.
  bool Varied = false;
  // Texts beyond this many become plain lines (a message's text does not
  // count); negative: no limit. Two make a pair for mode "2".
  std::int64_t MaxTexts = -1;
};

struct GeneratedFile {
  std::string Bytes;
  std::int64_t Entities = 0;  // what the reader stores (EntityOrder count)
  std::int64_t Texts = 0;     // of which texts (TextTable count)
};

// A mix of texts with Shift-JIS strings, lines, polylines, circles, arcs,
// solids, points, typed points and messages, with attribute changes and z
// flags between them. Every entity passes the emitters' degeneracy tests, so
// writing it back keeps it.
GeneratedFile GenerateInterchangeFile(const GeneratorOptions& options);

// n texts with empty strings at random positions: the case where every text
// of a whole sheet joins.
GeneratedFile GenerateEmptyTexts(std::int64_t n, std::uint32_t seed);
