// Writing a whole sheet back: EmitStoredEntities over a million stored
// entities, then the file image or the file itself. The tables are filled
// directly with records of a realistic mix (texts, lines, polylines, circles,
// arcs, solids, points, messages) whose attributes change now and then, as the
// reader would leave them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/attribute_emitters.h"
#include "interchange/file_writer.h"
#include "interchange/output_lines.h"
#include "interchange/reemission.h"
#include "interchange/state.h"
#include "interchange/system_strings.h"
#include "support/fake_platform.h"

namespace {

constexpr std::int64_t kEntities = 1000000;

// 図面, 設計, 平面図, 会議室 and a plain word, in code page 932.
constexpr std::string_view kWords[] = {"\x90\x7d\x96\xca", "\x90\xdd\x8c\x76",
                                       "\x95\xbd\x96\xca\x90\x7d", "\x89\xef\x8b\x63\x8e\xba",
                                       "A-101"};

class RecordMaker {
 public:
  explicit RecordMaker(std::uint32_t seed) : rng_(seed) {}

  int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
  // Drawing units with two decimals, as the host writes them. Values are made
  // from whole hundredths, as the reader would parse them: x + dx of two such
  // doubles is not always the double of the decimal sum.
  static double FromHundredths(std::int64_t hundredths) { return hundredths / 100.0; }
  std::int64_t Hundredths() { return Uniform(-5000000, 5000000); }
  double Coordinate() { return FromHundredths(Hundredths()); }

  // Attributes drift as they do in a drawing: most neighbours share them.
  EntityHeader NextHeader() {
    if (Chance(0.05)) header_.LayerGroup = Uniform(0, 15);
    if (Chance(0.10)) header_.Layer = Uniform(0, 15);
    if (Chance(0.15)) header_.Color = Chance(0.1) ? 10 : Uniform(1, 9);
    if (Chance(0.08)) header_.LineType = Uniform(1, 9);
    if (Chance(0.08)) header_.LineWidth = Uniform(0, 5) * 10;
    if (header_.Color == 10 && Chance(0.2)) color10_ = Uniform(0, 16777215);
    EntityHeader h = header_;
    h.ZFlags = Chance(0.03) ? 1 << Uniform(0, 4) : 0;
    return h;
  }
  std::int32_t Color10() const { return color10_; }

  TextRecord Text(const EntityHeader& h) {
    TextRecord r{};
    r.Header = h;
    r.Command = Chance(0.8) ? 0 : Uniform(1, 9);
    r.TextType = Chance(0.3) ? 0 : Uniform(1, 10);
    r.Width = r.TextType == 0 ? Uniform(100, 900) / 100.0 : 3.0;
    r.Height = r.Width;
    r.Header.Color = Uniform(1, 9);
    r.FontName = kDefaultFontName;
    r.X = Coordinate();
    r.Y = Coordinate();
    r.VectorX = Uniform(1, 200) / 100.0;
    r.VectorY = Uniform(-200, 200) / 100.0;
    std::string text;
    for (int i = Uniform(1, 4); i > 0; --i) text += kWords[Uniform(0, 4)];
    r.Text = text;
    return r;
  }

 private:
  std::mt19937 rng_;
  EntityHeader header_{0, 0, 0, 1, 1, 0, 0};
  std::int32_t color10_ = 0;
};

template <class Record>
Record& Store(GrowableTable<Record>& table, EntityKind kind) {
  AppendEntityOrder(kind, table.Count());
  return table.Append();
}

void FillTables(std::int64_t entities) {
  ResetInterchangeState();
  RecordMaker m(726);
  std::int32_t polylineCounter = 0;
  for (std::int64_t n = 0; n < entities; ++n) {
    const EntityHeader h = m.NextHeader();
    const int pick = m.Uniform(0, 99);
    if (pick < 30) {
      Store(Entities.TextTable, KindText) = m.Text(h);
    } else if (pick < 68) {
      // Plain lines, and polylines of 2 to 6 segments.
      const int segments =
          pick < 58 ? 1 : static_cast<int>(std::min<std::int64_t>(m.Uniform(2, 6), entities - n));
      const std::int32_t polyline = segments == 1 ? 0 : ++polylineCounter;
      std::int64_t x = m.Hundredths();
      std::int64_t y = m.Hundredths();
      for (int i = 0; i < segments; ++i) {
        const std::int64_t nx = x + m.Uniform(100, 50000);
        const std::int64_t ny = y + m.Uniform(-50000, 50000);
        Store(Entities.LineTable, KindLine) = LineRecord{h,
                                                         polyline,
                                                         m.Color10(),
                                                         RecordMaker::FromHundredths(x),
                                                         RecordMaker::FromHundredths(y),
                                                         RecordMaker::FromHundredths(nx),
                                                         RecordMaker::FromHundredths(ny)};
        x = nx;
        y = ny;
      }
      n += segments - 1;
    } else if (pick < 76) {
      Store(Entities.CircleTable, KindCircle) = CircleRecord{
          h, m.Color10(), m.Coordinate(), m.Coordinate(), m.Uniform(1, 100000) / 100.0};
    } else if (pick < 82) {
      Store(Entities.ArcTable, KindArc) =
          ArcRecord{h,
                    m.Color10(),
                    m.Coordinate(),
                    m.Coordinate(),
                    m.Uniform(1, 100000) / 100.0,
                    {m.Uniform(0, 36000) / 100.0, m.Uniform(0, 36000) / 100.0,
                     m.Uniform(10, 200) / 100.0, m.Uniform(0, 36000) / 100.0}};
    } else if (pick < 87) {
      const std::int64_t x = m.Hundredths();
      const std::int64_t y = m.Hundredths();
      const double x1 = RecordMaker::FromHundredths(x);
      const double y1 = RecordMaker::FromHundredths(y);
      const double x2 = RecordMaker::FromHundredths(x + 1000);
      const double y2 = RecordMaker::FromHundredths(y + 1000);
      Store(Entities.Sl4Table, KindSl4) = Sl4Record{h, m.Color10(), x1, y1, x2, y1, x2, y2, x1, y2};
    } else if (pick < 90) {
      Store(Entities.ScTable, KindSc) = ScRecord{h,
                                                 m.Color10(),
                                                 {m.Coordinate(), m.Coordinate(), 50, 1, 0, 360, 0},
                                                 m.Chance(0.5) ? 100 : 0};
    } else if (pick < 95) {
      Store(Entities.PointTable, KindPoint) = PointRecord{h, m.Coordinate(), m.Coordinate()};
    } else if (pick < 97) {
      Store(Entities.TypedPointTable, KindTypedPoint) =
          TypedPointRecord{h, m.Coordinate(), m.Coordinate(), 2.5, 90, m.Uniform(-7, 11)};
    } else {
      MessageRecord& r = Store(Entities.MessageTable, KindMessage);
      r.Header = h;
      const std::int64_t x = m.Hundredths();
      const double y = m.Coordinate();
      r.Line = LineRecord{h,
                          0,
                          m.Color10(),
                          RecordMaker::FromHundredths(x),
                          y,
                          RecordMaker::FromHundredths(x + m.Uniform(100, 100000)),
                          y};
      r.TextPart = m.Text(h);
      r.TextPart.Command = 2;
      if (m.Chance(0.5)) r.TextPart.Text.clear();  // measured length
    }
  }
}

// Into a list emptied first, and before any renderer is attached: a Clear
// after the first lines went to one would take the stream for given up.
void EmitAll() {
  ResetEmitState();
  AddOutputLine(kCommandDelete);
  AddOutputLine(kCommandBz);
  EscapeNeverDown up;
  EmitStoredEntities(kOwnAttributes, up);
}

// As a join emits: the lines rendered in the file form as they come, into a
// sink that only counts them, so that the list never holds them all.
void BM_EmitStoredEntities(benchmark::State& state) {
  class CountingSink final : public ImageSink {
   public:
    bool Write(std::string_view piece) override {
      bytes += piece.size();
      return true;
    }
    bool Restart() override {
      bytes = 0;
      return true;
    }
    std::size_t bytes = 0;
  } sink;
  FillTables(kEntities);
  std::vector<char> buffer(std::size_t{1} << 20);
  for (auto _ : state) {
    ClearOutputLines();
    ImageRenderer renderer(buffer.data(), buffer.size(), sink);
    OutputLines.Attach(&renderer);
    EmitAll();
    OutputLines.Attach(nullptr);
    renderer.Finish();
    benchmark::DoNotOptimize(sink.bytes);
  }
  state.counters["lines"] = OutputLines.Count();
  state.SetItemsProcessed(state.iterations() * kEntities);
  ResetInterchangeState();
}
BENCHMARK(BM_EmitStoredEntities)->Unit(benchmark::kMillisecond);

// The whole output side of a join: emission streamed into the file on disk.
void BM_EmitStoredEntitiesAndWrite(benchmark::State& state) {
  FillTables(kEntities);
  const std::string path =
      (std::filesystem::temp_directory_path() / "k726_reemission_bench.txt").string();
  for (auto _ : state) {
    ClearOutputLines();
    StreamedInterchangeFile file(path);
    EmitAll();
    if (!file.Finish()) state.SkipWithError("the file could not be written");
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  state.SetItemsProcessed(state.iterations() * kEntities);
  std::filesystem::remove(path);
  ResetInterchangeState();
}
BENCHMARK(BM_EmitStoredEntitiesAndWrite)->Unit(benchmark::kMillisecond);

}  // namespace
