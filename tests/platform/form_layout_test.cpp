#include "platform/form_layout.h"

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

TEST(FormLayoutTest, ControlsStandWhereTheFormWasDesigned) {
  const struct {
    int id;
    FormControlKind kind;
    PixelRect bounds;
  } expected[] = {
      {kIdRadioGroup1, FormControlKind::GroupBox, {8, 8, 161, 81}},
      {kIdRadioHorizontal, FormControlKind::RadioButton, {16, 22, 151, 31}},
      {kIdRadioVertical, FormControlKind::RadioButton, {16, 53, 151, 31}},
      {kIdLabel1, FormControlKind::Label, {8, 96, 156, 13}},
      {kIdEdit1, FormControlKind::Edit, {112, 112, 57, 21}},
      {kIdButton1, FormControlKind::DefaultButton, {184, 72, 121, 25}},
      {kIdButton2, FormControlKind::CancelButton, {184, 112, 121, 25}},
  };
  // The table's order is the tab order: radio group, Edit1, OK, Cancel.
  ASSERT_EQ(FormControls().size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const FormControl& control = FormControls()[i];
    EXPECT_EQ(control.Id, expected[i].id) << i;
    EXPECT_EQ(control.Kind, expected[i].kind) << i;
    EXPECT_EQ(control.Bounds.Left, expected[i].bounds.Left) << i;
    EXPECT_EQ(control.Bounds.Top, expected[i].bounds.Top) << i;
    EXPECT_EQ(control.Bounds.Width, expected[i].bounds.Width) << i;
    EXPECT_EQ(control.Bounds.Height, expected[i].bounds.Height) << i;
  }
  EXPECT_EQ(FindFormControl(999), nullptr);
}

TEST(FormLayoutTest, ChoicesLieInsideTheGroupBoxBelowItsCaption) {
  const PixelRect box = FindFormControl(kIdRadioGroup1)->Bounds;
  const PixelRect first = FindFormControl(kIdRadioHorizontal)->Bounds;
  const PixelRect second = FindFormControl(kIdRadioVertical)->Bounds;
  for (const PixelRect& choice : {first, second}) {
    EXPECT_GT(choice.Left, box.Left);
    EXPECT_LT(choice.Left + choice.Width, box.Left + box.Width);
    EXPECT_GE(choice.Top, box.Top + kFormFontHeight);
    EXPECT_LT(choice.Top + choice.Height, box.Top + box.Height);
  }
  EXPECT_LE(first.Top + first.Height, second.Top);
  for (const FormControl& control : FormControls()) {
    EXPECT_LE(control.Bounds.Left + control.Bounds.Width, kFormClientWidth) << control.Id;
    EXPECT_LE(control.Bounds.Top + control.Bounds.Height, kFormClientHeight) << control.Id;
  }
}

}  // namespace
