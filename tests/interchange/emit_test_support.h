// Shared by the emitter tests: a fresh state before each test and the output
// list as plain strings, for exact comparisons.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interchange/attribute_emitters.h"
#include "interchange/output_lines.h"
#include "interchange/state.h"
#include "support/held_lines.h"

// What a join has right after reading: defaults, then ResetEmitState.
class EmitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetInterchangeState();
    ResetEmitState();
  }
  void TearDown() override { ResetInterchangeState(); }

  // The lines written since the last call.
  std::vector<std::string> Take() {
    std::vector<std::string> lines = output_.Lines();
    ClearOutputLines();
    return lines;
  }

  HeldLines output_;
};

using Lines = std::vector<std::string>;

// Names parameterised cases after their name field.
struct CaseName {
  template <class Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& param) const {
    return param.param.name;
  }
};
