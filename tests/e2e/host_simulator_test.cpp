// The simulator's own reader and writer agree with each other on a generated
// sheet, so a difference found in a scenario lies with the program.
#include <gtest/gtest.h>

#include "e2e/scenario_support.h"
#include "support/interchange_generator.h"

namespace e2e {
namespace {

TEST(EndToEndHost, ReadsBackWhatItWrites) {
  GeneratorOptions options;
  options.Entities = 3000;
  options.Seed = 9;
  const HostFile generated = ReadHostFile(GenerateInterchangeFile(options).Bytes);
  ASSERT_TRUE(generated.Ok()) << generated.ErrorText();
  ASSERT_EQ(generated.Entities.size(), 3000u);
  const HostDrawing drawing = DrawingFromFile(generated);

  const HostFile written = ReadHostFile(WriteSelection(drawing));
  ASSERT_TRUE(written.Ok()) << written.ErrorText();
  EXPECT_EQ(CompareEntities(drawing.Entities, written.Entities), "");
  EXPECT_EQ(written.DrawingAngle, drawing.DrawingAngle);
}

}  // namespace
}  // namespace e2e
