// Modes "1" and "2": read the host's selection, join texts into the first,
// and write back "hd", "bz" and every entity that was not absorbed. Whenever
// writing back could lose part of the user's selection (a read that dropped
// something, or a staying entity that would not come back, write_back.h), the
// file gets "hq" alone and the drawing stays as it was.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/form1.h"
#include "app/join_plan.h"
#include "interchange/attribute_emitters.h"
#include "interchange/file_writer.h"
#include "interchange/output_lines.h"
#include "interchange/reader.h"
#include "interchange/reemission.h"
#include "interchange/state.h"
#include "interchange/system_strings.h"
#include "interchange/write_back.h"

namespace {

void RemoveAbsorbedTexts(const std::vector<bool>& absorbed) {
  GrowableTable<EntityOrderEntry>& order = Entities.EntityOrder;
  for (std::int32_t i = 0; i < order.Count(); ++i) {
    EntityOrderEntry& entry = order[static_cast<std::size_t>(i)];
    if (entry.Kind == KindText && absorbed[static_cast<std::size_t>(entry.Index)]) {
      entry.Kind = KindRemoved;
    }
  }
}

void EmitJoinResult(EscapeKey& escape) {
  AddOutputLine(kCommandDelete);
  AddOutputLine(kCommandBz);
  EmitStoredEntities(kOwnAttributes, escape);
}

// Without a plan nothing is emitted, and the writer writes "hq" alone. The
// plan's storage is gone before the emitters fill OutputLines.
void ApplyJoin(std::optional<JoinPlan> plan, EscapeKey& escape) {
  if (!plan) return;
  Entities.TextTable[static_cast<std::size_t>(plan->Receiver)].Text = std::move(plan->Joined);
  RemoveAbsorbedTexts(plan->Absorbed);
  plan.reset();
  if (SelectionWritesBack()) EmitJoinResult(escape);
}

}  // namespace

void TForm1::JoinRange() { Join(InterchangePath(), true); }

void TForm1::JoinPair() { Join(InterchangePath(), false); }

// A read that failed part-way holds only part of the selection: writing that
// back after "hd" would delete the rest.
void TForm1::Join(const std::string& path, bool range) {
  const bool complete = ReadInterchangeFile(path);
  ResetEmitState();
  StreamedInterchangeFile file(path);
  if (complete && file.Streaming()) {
    ApplyJoin(
        range ? PlanRangeJoin(Entities.TextTable, Drawing.DrawingAngle, JoinOrder, JoinDelimiter)
              : PlanPairJoin(Entities.TextTable, JoinDelimiter),
        platform_);
  }
  file.Finish();
  window_.Close();
}
