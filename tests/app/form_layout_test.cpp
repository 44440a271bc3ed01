#include "app/form_layout.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

// The bytes Windows must show, written out so that a missing code page 932
// conversion, or a look-alike character (− for －, ( for （), shows here.
TEST(FormLayoutTest, CaptionsAreCodePage932Bytes) {
  EXPECT_EQ(kApplicationTitle, "k726\x81\x7C\x95\xB6\x8E\x9A\x98\x41\x8C\x8B");
  EXPECT_EQ(kFormCaption, "\x95\xB6\x8E\x9A\x98\x41\x8C\x8B");
  EXPECT_EQ(kFormFontFace, "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E");

  const struct {
    int id;
    std::string_view caption;
  } captions[] = {
      {kIdRadioGroup1, "\x94\xCD\x88\xCD\x91\x49\x91\xF0\x8E\x9E(&A)"},
      {kIdRadioHorizontal,
       "\x90\x85\x95\xBD\x91\xB5\x82\xA6\x81\x69\x8D\xB6\x81\xA8\x89\x45\x81\x6A"},
      {kIdRadioVertical,
       "\x90\x82\x92\xBC\x91\xB5\x82\xA6\x81\x69\x8F\xE3\x81\xA8\x89\xBA\x81\x6A"},
      {kIdLabel1,
       "\x95\xB6\x8E\x9A\x8A\xD4\x82\xC9\x91\x7D\x93\xFC\x82\xB7\x82\xE9\x8B\xE6\x90\xD8\x95\xB6"
       "\x8E\x9A"},
      {kIdEdit1, ""},
      {kIdButton1, "OK(&Y)"},
      {kIdButton2, "\x83\x4C\x83\x83\x83\x93\x83\x5A\x83\x8B(&N)"},
  };
  for (const auto& c : captions) {
    const FormControl* control = FindFormControl(c.id);
    ASSERT_NE(control, nullptr) << c.id;
    EXPECT_EQ(control->Caption, c.caption) << "control " << c.id;
  }
}

}  // namespace
