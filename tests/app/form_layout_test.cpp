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

TEST(FormLayoutTest, ScalesTheTableByDpiOver96) {
  const struct {
    std::uint32_t dpi;
    std::int32_t width, height, font;
  } cases[] = {
      {96, 312, 143, 13},  {0, 312, 143, 13},   {120, 390, 179, 16}, {144, 468, 215, 19},
      {168, 546, 250, 22}, {192, 624, 286, 26}, {240, 780, 358, 32}, {288, 936, 429, 39},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dpi << " dpi");
    const FormLayout layout = FormLayoutForDpi(c.dpi);
    EXPECT_EQ(layout.ClientWidth, c.width);
    EXPECT_EQ(layout.ClientHeight, c.height);
    EXPECT_EQ(layout.FontHeight, c.font);
    const std::uint32_t dpi = c.dpi == 0 ? 96 : c.dpi;
    for (std::size_t i = 0; i < layout.Bounds.size(); ++i) {
      const PixelRect& at96 = FormControls()[i].Bounds;
      const PixelRect& scaled = layout.Bounds[i];
      // Every edge is the nearest pixel to the exact one.
      const auto near = [&](std::int32_t edge, std::int32_t edge96) {
        const std::int64_t error = std::int64_t{edge} * 96 - std::int64_t{edge96} * dpi;
        return error > -48 && error <= 48;
      };
      EXPECT_TRUE(near(scaled.Left, at96.Left) && near(scaled.Top, at96.Top) &&
                  near(scaled.Left + scaled.Width, at96.Left + at96.Width) &&
                  near(scaled.Top + scaled.Height, at96.Top + at96.Height))
          << "control " << i;
      EXPECT_LE(scaled.Left + scaled.Width, layout.ClientWidth) << "control " << i;
      EXPECT_LE(scaled.Top + scaled.Height, layout.ClientHeight) << "control " << i;
      if (dpi == 96) {
        EXPECT_TRUE(scaled.Left == at96.Left && scaled.Top == at96.Top &&
                    scaled.Width == at96.Width && scaled.Height == at96.Height)
            << "control " << i;
      }
    }
    // The two choices still touch, and Label1 still holds its twelve
    // full-width characters, each as wide as the font is high.
    EXPECT_EQ(layout.Bounds[1].Top + layout.Bounds[1].Height, layout.Bounds[2].Top);
    EXPECT_LE(12 * layout.FontHeight, layout.Bounds[3].Width);
    EXPECT_LE(layout.FontHeight, layout.Bounds[3].Height);
  }
}

// The form is sized for the monitor under the cursor before it is placed:
// its left edge comes from the outer width at that monitor's dpi.
TEST(FormLayoutTest, OpensAtTheCursorSizedForThatMonitor) {
  const struct {
    ScreenPoint cursor;
    std::uint32_t dpi;
    FrameInsets frame;
    PixelRect rect;
  } cases[] = {
      {{500, 400}, 96, {3, 26, 3, 3}, {341, 396, 318, 172}},
      {{500, 400}, 144, {4, 31, 4, 4}, {262, 396, 476, 250}},
      // Odd outer width: the remainder of the half is dropped.
      {{500, 400}, 120, {3, 26, 4, 3}, {302, 396, 397, 208}},
      // A monitor left of and above the main one.
      {{-1000, -200}, 120, {3, 26, 3, 3}, {-1198, -204, 396, 208}},
      {{1, 1}, 192, {5, 40, 5, 5}, {-316, -3, 634, 331}},
  };
  for (const auto& c : cases) {
    const PixelRect r = FormRectAtCursor(c.cursor, c.dpi, c.frame);
    EXPECT_TRUE(r.Left == c.rect.Left && r.Top == c.rect.Top && r.Width == c.rect.Width &&
                r.Height == c.rect.Height)
        << "case " << (&c - cases) << ": " << r.Left << "," << r.Top << " " << r.Width << "x"
        << r.Height;
  }
}

}  // namespace
