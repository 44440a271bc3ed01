// Modes "1" and "2": read the host's selection, join texts into the first,
// and write back "hd", "bz" and every entity that was not absorbed. Whenever
// writing back could lose part of the user's selection (a read that dropped
// something, or a staying entity that would not come back, write_back.h), the
// file gets "hq" alone and the drawing stays as it was.
#include <cmath>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/join_sort.h"
#include "interchange/KzmGaibu.h"
#include "util/geometry.h"

namespace {

constexpr std::size_t kMaxJoinedBytes = 128;

// The host's text is written back only with a vector; without one, the text
// that receives the joined string would vanish together with the absorbed ones.
bool HasVector(const TextRecord& text) {
  return std::fabs(text.VectorX) > 1e-8 || std::fabs(text.VectorY) > 1e-8;
}

void RemoveAbsorbedTexts(const std::vector<bool>& absorbed) {
  GrowableTable<EntityOrderEntry>& order = Entities.EntityOrder;
  for (std::int32_t i = 0; i < order.Count(); ++i) {
    EntityOrderEntry& entry = order[static_cast<std::size_t>(i)];
    if (entry.Kind == KindText && absorbed[static_cast<std::size_t>(entry.Index)]) {
      entry.Kind = KindRemoved;
    }
  }
}

void EmitJoinResult() {
  AddOutputLine(kCommandDelete);
  AddOutputLine(kCommandBz);
  EmitStoredEntities(-1, -1, -1, -1, -1, -1, -1, 0, nullptr);
}

// Joins the texts, in JoinRange's order, into the first of that order; false
// when that one has no vector. The sort's storage is gone when it returns,
// before the emitters fill OutputLines.
bool JoinInSortedOrder(std::int32_t joinOrder, const std::string& delimiter) {
  GrowableTable<TextRecord>& texts = Entities.TextTable;
  const std::int32_t n = texts.Count();
  std::vector<double> keys(static_cast<std::size_t>(n));
  for (std::int32_t i = 0; i < n; ++i) {
    const TextRecord& text = texts[static_cast<std::size_t>(i)];
    double x = 0.0;
    double y = 0.0;
    RotatePointDeg(text.X, text.Y, 0.0, 0.0, -Drawing.DrawingAngle, x, y);
    keys[static_cast<std::size_t>(i)] = joinOrder == 0 ? -x : y;
  }
  JoinSort sort(std::move(keys));

  TextRecord& first = texts[static_cast<std::size_t>(sort.IndexAt(0))];
  if (!HasVector(first)) return false;
  std::string joined = first.Text;
  std::vector<bool> absorbed(static_cast<std::size_t>(n), false);
  for (std::int32_t k = 1; k < n; ++k) {
    const std::int32_t index = sort.IndexAt(k);
    const std::string& next = texts[static_cast<std::size_t>(index)].Text;
    if (joined.size() + delimiter.size() + next.size() > kMaxJoinedBytes) break;
    joined += delimiter;
    joined += next;
    absorbed[static_cast<std::size_t>(index)] = true;
  }
  first.Text = std::move(joined);
  RemoveAbsorbedTexts(absorbed);
  return true;
}

}  // namespace

void TForm1::JoinRange() {
  const std::string path = InterchangePath();
  // A read that failed part-way holds only part of the selection: writing
  // that back after "hd" would delete the rest.
  const bool complete = ReadInterchangeFile(path);
  ResetEmitState();

  if (complete && Entities.TextTable.Count() >= 2 && JoinInSortedOrder(JoinOrder, JoinDelimiter) &&
      SelectionWritesBack()) {
    EmitJoinResult();
  }
  WriteInterchangeFile(path);
  window_.Close();
}

void TForm1::JoinPair() {
  const std::string path = InterchangePath();
  const bool complete = ReadInterchangeFile(path);
  ResetEmitState();

  GrowableTable<TextRecord>& texts = Entities.TextTable;
  if (complete && texts.Count() == 2 && HasVector(texts[0])) {
    const std::string candidate = texts[0].Text + JoinDelimiter + texts[1].Text;
    if (candidate.size() <= kMaxJoinedBytes) {
      texts[0].Text = candidate;
      RemoveAbsorbedTexts({false, true});
      if (SelectionWritesBack()) EmitJoinResult();
    }
  }
  WriteInterchangeFile(path);
  window_.Close();
}
