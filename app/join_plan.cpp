#include "app/join_plan.h"

#include <utility>

#include "app/join_sort.h"
#include "interchange/entity_emitters.h"
#include "util/geometry.h"

namespace {

// The host's text is written back only with a vector; without one, the text
// that receives the joined string would vanish together with the absorbed ones.
bool HasVector(const TextRecord& text) { return VectorIsWritten(text.VectorX, text.VectorY); }

const TextRecord& TextAt(const GrowableTable<TextRecord>& texts, std::int32_t index) {
  return texts[static_cast<std::size_t>(index)];
}

// Appends text to joined with the delimiter before it, if the result fits.
bool AppendIfFits(std::string& joined, std::string_view delimiter, std::string_view text) {
  if (joined.size() + delimiter.size() + text.size() > kMaxJoinedBytes) return false;
  joined += delimiter;
  joined += text;
  return true;
}

}  // namespace

std::optional<JoinPlan> PlanRangeJoin(const GrowableTable<TextRecord>& texts, double drawingAngle,
                                      std::int32_t joinOrder, std::string_view delimiter) {
  const std::int32_t n = texts.Count();
  if (n < 2) return std::nullopt;

  // The sort puts the greatest key first: -x joins left to right, y top to bottom.
  std::vector<double> keys(static_cast<std::size_t>(n));
  // The strings are gathered in file order with the keys: the join then takes
  // them in sorted order from this array, not with a cache miss on every
  // record (an empty text needs nothing more than its view).
  std::vector<std::string_view> strings(static_cast<std::size_t>(n));
  const PointRotation rotation(-drawingAngle);
  for (std::int32_t i = 0; i < n; ++i) {
    const TextRecord& text = TextAt(texts, i);
    double x = 0.0;
    double y = 0.0;
    rotation.Turn(text.X, text.Y, 0.0, 0.0, x, y);
    keys[static_cast<std::size_t>(i)] = joinOrder == 0 ? -x : y;
    strings[static_cast<std::size_t>(i)] = text.Text;
  }
  JoinSort sort(std::move(keys));

  JoinPlan plan;
  plan.Receiver = sort.IndexAt(0);
  const TextRecord& receiver = TextAt(texts, plan.Receiver);
  if (!HasVector(receiver)) return std::nullopt;
  plan.Joined = receiver.Text;
  plan.Absorbed.assign(static_cast<std::size_t>(n), false);
  for (std::int32_t k = 1; k < n; ++k) {
    const std::int32_t index = sort.IndexAt(k);
    if (!AppendIfFits(plan.Joined, delimiter, strings[static_cast<std::size_t>(index)])) break;
    plan.Absorbed[static_cast<std::size_t>(index)] = true;
  }
  return plan;
}

std::optional<JoinPlan> PlanPairJoin(const GrowableTable<TextRecord>& texts,
                                     std::string_view delimiter) {
  if (texts.Count() != 2 || !HasVector(TextAt(texts, 0))) return std::nullopt;
  JoinPlan plan;
  plan.Joined = TextAt(texts, 0).Text;
  if (!AppendIfFits(plan.Joined, delimiter, TextAt(texts, 1).Text)) return std::nullopt;
  plan.Absorbed = {false, true};
  return plan;
}
