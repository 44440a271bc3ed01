#include <gtest/gtest.h>

#include <filesystem>

#include "app/form1.h"
#include "fakes.h"
#include "interchange/state.h"

namespace {

class FormShow : public ::testing::Test {
 protected:
  FormShow() : form(platform, window) { platform.executablePath = folder.File("k726"); }

  std::string Interchange() const { return folder.File("KZC_TEMP.TXT"); }
  void Show(std::vector<std::string> arguments) {
    platform.arguments = std::move(arguments);
    form.FormShow(nullptr);
  }

  ScratchFolder folder;
  FakePlatform platform;
  ValueWindow window;
  TForm1 form;
};

TEST_F(FormShow, RemembersTheExecutablesFolderWithItsSeparator) {
  Show({"4"});
  EXPECT_EQ(form.ExeFolder, folder.Folder());
  EXPECT_EQ(form.InterchangePath(), Interchange());
}

TEST_F(FormShow, ArgumentsThatSelectNoModeMinimiseAndTouchNothing) {
  for (const char* argument : {"1 ", " 1", "01", "4", "", "\x82\x50"}) {
    WriteBytes(Interchange(), "ch 0 0 1 0 \"A\r\nch 5 0 1 0 \"B\r\n");
    ValueWindow fresh;
    TForm1 other(platform, fresh);
    platform.arguments = {argument};
    other.FormShow(nullptr);
    EXPECT_TRUE(fresh.IsMinimised()) << argument;
    EXPECT_FALSE(fresh.IsClosed()) << argument;
    EXPECT_FALSE(fresh.IsMoved()) << argument;
    EXPECT_EQ(ReadBytes(Interchange()), "ch 0 0 1 0 \"A\r\nch 5 0 1 0 \"B\r\n") << argument;
  }
}

TEST_F(FormShow, WithoutArgumentsShowsTheDesignedDialogWhateverTheSettingsHold) {
  WriteBytes(folder.File("k726.dat"), "1\r\n-\r\n");
  Show({});
  EXPECT_FALSE(window.IsMinimised());
  EXPECT_FALSE(window.IsMoved());
  EXPECT_EQ(window.RadioIndex(), 0);
  EXPECT_EQ(window.EditText(), "");
  // The settings are loaded all the same.
  EXPECT_EQ(form.JoinOrder, 1);
  // OK then stores what the dialog shows.
  form.Button1Click(nullptr);
  EXPECT_EQ(ReadBytes(folder.File("k726.dat")), "0\r\n\r\n");
}

TEST_F(FormShow, ModeThreePlacesTheDialogAtTheCursorAndFillsIt) {
  const struct {
    ScreenPoint cursor;
    std::int32_t outerWidth;
    std::string settings;
    std::int32_t left, top, radio;
    std::string edit;
  } cases[] = {
      {{500, 400}, 318, "1\r\n\x81\x7c\r\n", 341, 396, 1, "\x81\x7c"},
      // Odd width: the remainder of the half is dropped.
      {{500, 400}, 319, "0\r\n\r\n", 341, 396, 0, ""},
      // Near the corner the edges go negative, unclamped.
      {{3, 1}, 318, "7\r\n", -156, -3, 1, ""},
      {{100, 100}, 318, "-3\r\n", -59, 96, -1, ""},
      // A delimiter longer than the dialog allows is shown whole.
      {{100, 100}, 318, "0\r\nABCDEF\r\n", -59, 96, 0, "ABCDEF"},
  };
  for (const auto& c : cases) {
    WriteBytes(folder.File("k726.dat"), c.settings);
    ValueWindow fresh(c.outerWidth);
    TForm1 other(platform, fresh);
    platform.cursor = c.cursor;
    platform.arguments = {"3", "ignored"};
    other.FormShow(nullptr);
    EXPECT_FALSE(fresh.IsMinimised());
    EXPECT_FALSE(fresh.IsClosed());
    EXPECT_EQ(fresh.Left(), c.left);
    EXPECT_EQ(fresh.Top(), c.top);
    EXPECT_EQ(fresh.RadioIndex(), c.radio);
    EXPECT_EQ(fresh.EditText(), c.edit);
  }
}

TEST_F(FormShow, StoredOrderSevenIsShownAsTheSecondChoiceAndSavedAsOne) {
  WriteBytes(folder.File("k726.dat"), "7\r\n\r\n");
  Show({"3"});
  form.Button1Click(nullptr);
  EXPECT_EQ(ReadBytes(folder.File("k726.dat")), "1\r\n\r\n");
}

TEST_F(FormShow, JoinModesWithoutAnInterchangeFileWriteQuitAndClose) {
  for (const char* mode : {"1", "2"}) {
    std::filesystem::remove(Interchange());
    ValueWindow fresh;
    TForm1 other(platform, fresh);
    platform.arguments = {mode};
    other.FormShow(nullptr);
    EXPECT_TRUE(fresh.IsMinimised());
    EXPECT_TRUE(fresh.IsClosed());
    EXPECT_EQ(ReadBytes(Interchange()), "hq\r\n") << mode;
  }
}

TEST_F(FormShow, ClickingTheFormReleasesTheTables) {
  Show({"4"});
  form.FormClick(nullptr);
  EXPECT_EQ(Entities.EntityOrder.Capacity(), 0u);
  EXPECT_FALSE(window.IsClosed());
}

}  // namespace
