// "sl" lines drop repeated corners: two points within 1e-10 in x and in y
// are one.
#include <vector>

#include "reader_test_util.h"

namespace {

struct SlCase {
  std::string_view line;
  int kind;
  std::vector<double> stored;  // the coordinates of the record, in order
};

std::vector<double> StoredPoints(int kind) {
  const EntityTables& e = Entities;
  if (kind == KindSl2) {
    const Sl2Record& r = e.Sl2Table[0];
    return {r.X1, r.Y1, r.X2, r.Y2};
  }
  if (kind == KindSl3) {
    const Sl3Record& r = e.Sl3Table[0];
    return {r.X1, r.Y1, r.X2, r.Y2, r.X3, r.Y3};
  }
  const Sl4Record& r = e.Sl4Table[0];
  return {r.X1, r.Y1, r.X2, r.Y2, r.X3, r.Y3, r.X4, r.Y4};
}

class KzmGaibuReaderSl : public ReaderTest {};

TEST_F(KzmGaibuReaderSl, RepeatedCornersReduceTheRecord) {
  const SlCase cases[] = {
      {"sl 1 2 3 4", KindSl2, {1, 2, 3, 4}},
      {"sl 1 1 1 1", KindSl2, {1, 1, 1, 1}},
      // Three points.
      {"sl 0 0 0 0 5 5", KindSl2, {0, 0, 5, 5}},
      {"sl 0 0 5 5 5 5", KindSl2, {0, 0, 5, 5}},
      {"sl 0 0 5 0 5 5", KindSl3, {0, 0, 5, 0, 5, 5}},
      {"sl 0 0 5 0 0 0", KindSl3, {0, 0, 5, 0, 0, 0}},  // first and third are not compared
      {"sl 0 0 1e-10 -1e-10 5 5", KindSl2, {0, 0, 5, 5}},
      {"sl 0 0 2e-10 0 5 5", KindSl3, {0, 0, 2e-10, 0, 5, 5}},
      // Four points: the first test that holds decides.
      {"sl 0 0 0 0 0 0 9 9", KindSl2, {0, 0, 9, 9}},
      {"sl 0 0 1 1 1 1 1 1", KindSl2, {0, 0, 1, 1}},
      {"sl 0 0 0 0 4 4 4 4", KindSl2, {0, 0, 4, 4}},
      {"sl 0 0 1 0 1 1 0 0", KindSl3, {0, 0, 1, 0, 1, 1}},
      {"sl 0 0 1 0 1 1 1 0", KindSl3, {0, 0, 1, 0, 1, 1}},
      {"sl 0 0 1 0 1 1 1 1", KindSl3, {0, 0, 1, 0, 1, 1}},
      {"sl 0 0 1 0 0 0 2 2", KindSl3, {0, 0, 1, 0, 2, 2}},
      {"sl 0 0 1 0 1 0 2 2", KindSl3, {0, 0, 1, 0, 2, 2}},
      {"sl 0 0 0 0 1 0 2 2", KindSl3, {0, 0, 1, 0, 2, 2}},
      {"sl 0 0 0 0 1 0 0 0", KindSl3, {0, 0, 0, 0, 1, 0}},  // a later test never runs
      {"sl 0 0 1 0 1 1 0 1", KindSl4, {0, 0, 1, 0, 1, 1, 0, 1}},
      {"sl 0 0 1 0 1 1 0 1 99 99", KindSl4, {0, 0, 1, 0, 1, 1, 0, 1}},
  };
  for (const SlCase& c : cases) {
    ResetInterchangeState();
    ASSERT_TRUE(ParseInterchangeLine(c.line));
    ASSERT_EQ(OrderKinds(), std::vector<int>{c.kind}) << c.line;
    EXPECT_EQ(StoredPoints(c.kind), c.stored) << c.line;
  }
}

TEST_F(KzmGaibuReaderSl, SolidsKeepTheColour10Value) {
  ASSERT_TRUE(ParseLines({"lc10 300", "sl 0 0 0 0 1 1", "lc10 400", "sl 0 0 1 0 1 1 0 1"}));
  EXPECT_EQ(Entities.Sl2Table[0].Color10Value, 300);
  EXPECT_EQ(Entities.Sl4Table[0].Color10Value, 400);
}

}  // namespace
