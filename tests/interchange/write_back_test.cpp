// Which stored entities a join may write back after "hd": those re-emission
// writes, and those that show nothing; anything else makes the join give up.
#include "interchange/write_back.h"

#include <string>
#include <vector>

#include "reader_test_util.h"

namespace {

class KzmGaibuWriteBack : public ReaderTest {};

constexpr WriteBack W = WriteBack::Written;
constexpr WriteBack N = WriteBack::ShowsNothing;
constexpr WriteBack L = WriteBack::Lost;

TEST_F(KzmGaibuWriteBack, EachEntityAsTheEmittersTreatIt) {
  const std::string font251 = "cn$" + std::string(251, 'F');
  const std::string font252 = "cn$" + std::string(252, 'F');
  const struct {
    std::vector<std::string> lines;  // the last entity read is classified
    WriteBack expected;
  } cases[] = {
      {{"0 0 1 0"}, W},
      {{"3 3 3 3"}, N},
      {{"ci 1 2 5"}, W},
      {{"ci 1 2 1e-8"}, N},
      {{"ci 1 2 -1e-8"}, N},
      {{"ci 1 2 -5"}, L},
      {{"ci 0 0 5 0 90 -0.5 0"}, W},
      {{"ci 0 0 5 0 90 0 0"}, L},
      {{"ci 0 0 0 0 90 0 0"}, N},
      {{"ci 0 0 -5 0 90 1 0"}, L},
      {{"ch 0 0 1 0 \"A"}, W},
      {{"ch 0 0 1 0 \"  "}, N},
      {{"ch 0 0 0 0 \"  "}, N},
      {{"ch 0 0 0 0 \"A"}, L},
      {{font251, "ch 0 0 1 0 \"A"}, W},
      {{font252, "ch 0 0 1 0 \"A"}, L},
      {{font252, "ch 0 0 1 0 \" "}, N},
      {{font252, "cn$<>", "ch 0 0 1 0 \"A"}, L},  // "<>" stands for the first font
      {{"msg", "0 0 10 0", "cs 5 1 1 0 \"10"}, W},
      {{"msg", "cs 5 1 1 0 \"10"}, W},  // the default line
      {{"msg", "0 0 10 0", "cs 5 1 0 0 \"10"}, L},
      {{"msg", "3 3 3 3", "cs 5 1 1 0 \" "}, L},
      {{font252, "msg", "0 0 10 0", "cs 5 1 1 0 \"10"}, L},
      {{"BL 10 20 NAME"}, L},
      {{"pt 1 2"}, W},
      {{"pt 1 2 0 0 99"}, W},
      {{"sl 1 1 1 1"}, W},
      {{"sc 0 0 5 1 0 360 0 -1"}, W},
      {{"sc 0 0 5 1 0 360 0 7"}, L},
      {{"sc 0 0 5 0 0 360 0 100"}, L},
      {{"se 0 0 5 1 0 360 0 0"}, W},
      {{"se 0 0 5 1 0 360 0 5"}, L},
      {{"so 0 0 5 1 0 90 0 4.9"}, W},
      {{"so 0 0 5 1 0 90 0 5"}, L},
      {{"sg 0 0 5 1 0 90 0 0"}, L},
  };
  for (const auto& c : cases) {
    ResetInterchangeState();
    for (const std::string& line : c.lines) ASSERT_TRUE(ParseInterchangeLine(line));
    const std::int32_t last = Entities.EntityOrder.Count() - 1;
    ASSERT_GE(last, 0) << c.lines.back();
    EXPECT_EQ(EntityWriteBack(Entities.EntityOrder[static_cast<std::size_t>(last)]), c.expected)
        << c.lines.back();
  }
}

TEST_F(KzmGaibuWriteBack, RemovedEntriesAndCutTextsCount) {
  ASSERT_TRUE(ParseLines({"ch 0 0 1 0 \"A", "BL 1 2 N", "ci 0 0 -5"}));
  EXPECT_FALSE(SelectionWritesBack());
  Entities.EntityOrder[1].Kind = KindRemoved;
  EXPECT_FALSE(SelectionWritesBack());
  Entities.EntityOrder[2].Kind = KindRemoved;
  EXPECT_TRUE(SelectionWritesBack());
  Entities.CutTextCount = 1;
  EXPECT_FALSE(SelectionWritesBack());
}

}  // namespace
