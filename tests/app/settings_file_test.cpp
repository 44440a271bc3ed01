#include <gtest/gtest.h>

#include <filesystem>

#include "app/form1.h"
#include "fakes.h"

#ifndef _WIN32
#include "support/taken_names.h"
#endif

namespace {

class SettingsFile : public ::testing::Test {
 protected:
  SettingsFile() : form(platform, window) {
    platform.executablePath = folder.File("k726.exe");
    form.ExeFolder = folder.Folder();
  }
  std::string SettingsPath() const { return folder.File("k726.dat"); }

  ScratchFolder folder;
  FakePlatform platform;
  ValueWindow window;
  TForm1 form;
};

TEST_F(SettingsFile, TakesItsNameFromTheExecutable) {
  const struct {
    const char* exe;
    const char* settings;
  } cases[] = {
      {"/opt/cad/k726.exe", "/opt/cad/k726.dat"},
      {"/opt/cad/k726", "/opt/cad/k726.dat"},
      {"/opt/cad/copy.of.k726.exe", "/opt/cad/copy.of.k726.dat"},
      {"/opt/cad.d/k726", "/opt/cad.d/k726.dat"},
  };
  for (const auto& c : cases) {
    platform.executablePath = c.exe;
    EXPECT_EQ(form.SettingsPath(), c.settings) << c.exe;
  }
}

TEST(SettingsText, ParsesOrderAndDelimiterByTheirRules) {
  const struct {
    std::string content;
    std::int32_t order;
    std::string delimiter;
  } cases[] = {
      {"1\r\n-\r\n", 1, "-"},
      {"1\n-\n", 1, "-"},
      {" 1\r\n\r\n", 1, ""},
      {"1 \r\n\r\n", 0, ""},
      {"one\r\n\r\n", 0, ""},
      {"\r\n\r\n", 0, ""},
      {"$10\r\n", 16, ""},
      {"7\r\n", 7, ""},
      {"-3\r\n", -3, ""},
      // A tab between two characters goes; blanks of both widths stay.
      {"0\r\nA\tB\r\n", 0, "AB"},
      {"0\r\n \x81\x40\r\n", 0, " \x81\x40"},
      // A control byte that is the trail of a double-byte character stays.
      {"0\r\n\x81\x1F\r\n", 0, "\x81\x1F"},
      // Longer than the dialog allows, written by hand: loaded whole.
      {"0\r\n\x81\x7c\x81\x7c\x81\x7c\r\n", 0, "\x81\x7c\x81\x7c\x81\x7c"},
      {"1", 1, ""},
      {"1\r", 1, ""},  // a line end cut short after its CR
      {"1\r\n-\r\nignored\r\n", 1, "-"},
      {"", 0, ""},
  };
  for (const auto& c : cases) {
    const JoinSettings settings = ParseJoinSettings(c.content);
    EXPECT_EQ(settings.Order, c.order) << c.content;
    EXPECT_EQ(settings.Delimiter, c.delimiter) << c.content;
  }
}

TEST_F(SettingsFile, LoadsWhatTheFileHolds) {
  WriteBytes(SettingsPath(), "1\r\n-\r\n");
  form.JoinOrder = 99;
  form.JoinDelimiter = "stale";
  form.LoadSettings();
  EXPECT_EQ(form.JoinOrder, 1);
  EXPECT_EQ(form.JoinDelimiter, "-");
}

TEST_F(SettingsFile, MissingFileGivesDefaults) {
  form.JoinOrder = 5;
  form.JoinDelimiter = "stale";
  form.LoadSettings();
  EXPECT_EQ(form.JoinOrder, 0);
  EXPECT_EQ(form.JoinDelimiter, "");
}

TEST(SettingsText, IsTwoLinesWithCrLf) {
  const struct {
    std::int32_t order;
    std::string delimiter;
    std::string bytes;
  } cases[] = {
      {1, "", "1\r\n\r\n"},
      {0, "\x81\x7c", "0\r\n\x81\x7c\r\n"},
      {-1, "ab",
       "-1\r\n"
       "ab\r\n"},
      {-2147483647 - 1, "", "-2147483648\r\n\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(JoinSettingsText(c.order, c.delimiter), c.bytes);
}

// A temporary name found taken (what a killed run left, another copy's file)
// does not stop the save: it takes a fresh one and leaves the other alone.
TEST_F(SettingsFile, ALeftoverAtATemporaryNameDoesNotBlockTheSave) {
#ifdef _WIN32
  GTEST_SKIP() << "names are taken through the link-time wrap of open(2)";
#else
  WriteBytes(SettingsPath(), "1\r\n-\r\n");
  TakeNextTemporaryNames(1);
  form.JoinOrder = 0;
  form.JoinDelimiter = "new";
  form.SaveSettings();
  const std::vector<std::string> taken = TakenTemporaryNames();
  TakeNextTemporaryNames(0);
  EXPECT_EQ(ReadBytes(SettingsPath()), "0\r\nnew\r\n");
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_EQ(ReadBytes(taken[0]), kPlantedBytes);
#endif
}

TEST_F(SettingsFile, OkStoresTheDialogValuesUnfilteredAndCloses) {
  window.SetRadioIndex(-1);
  window.SetEditText("\t\x81\x40");
  form.Button1Click(nullptr);
  EXPECT_EQ(form.JoinOrder, -1);
  EXPECT_EQ(form.JoinDelimiter, "\t\x81\x40");
  EXPECT_EQ(ReadBytes(SettingsPath()), "-1\r\n\t\x81\x40\r\n");
  EXPECT_FALSE(std::filesystem::exists(SettingsPath() + ".k726-new"));
  EXPECT_TRUE(window.IsClosed());
}

TEST_F(SettingsFile, CancelClosesAndSavesNothing) {
  WriteBytes(SettingsPath(), "1\r\n-\r\n");
  window.SetRadioIndex(0);
  form.Button2Click(nullptr);
  EXPECT_TRUE(window.IsClosed());
  EXPECT_EQ(ReadBytes(SettingsPath()), "1\r\n-\r\n");
}

}  // namespace
