// The settings file as users and other tools leave it, and command lines that
// select no mode.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "e2e/scenario_support.h"

namespace e2e {
namespace {

using namespace sjis;

// Left to right gives １２３ into the first text; top to bottom ２３１ into
// the second.
HostDrawing ThreeTexts() {
  HostDrawing d;
  d.Entities.push_back(MakeText(10, 10, "\x82\x50"));  // １
  d.Entities.push_back(MakeText(20, 30, "\x82\x51"));  // ２
  d.Entities.push_back(MakeText(30, 20, "\x82\x52"));  // ３
  d.Entities.push_back(MakeLine(0, 0, 40, 0));
  return d;
}

JoinOutcome ThreeTextsJoined(bool vertical, const std::string& d) {
  if (vertical) return {1, {2, 0}, "\x82\x51" + d + "\x82\x52" + d + "\x82\x50"};
  return {0, {1, 2}, "\x82\x50" + d + "\x82\x51" + d + "\x82\x52"};
}

TEST(EndToEndSettings, OddSettingsFilesAreReadAsTheHostLeftThem) {
  const std::string m = kFullWidthMinus;
  const struct {
    const char* name;
    std::string file;
    bool vertical;
    std::string delimiter;
  } cases[] = {
      {"leading blank", " 1\r\n" + m + "\r\n", true, m},
      {"hexadecimal", "$10\r\n" + m + "\r\n", true, m},
      {"negative", "-3\r\n" + m + "\r\n", true, m},
      {"seven", "7\r\n" + m + "\r\n", true, m},
      {"letters", "abc\r\n" + m + "\r\n", false, m},
      {"trailing blank", "1 \r\n" + m + "\r\n", false, m},
      {"empty first line", "\r\n" + m + "\r\n", false, m},
      {"LF line ends", "1\n" + m + "\n", true, m},
      {"one line without line end", "1", true, ""},
      {"tab inside the delimiter", "0\r\n-\t-\r\n", false, "--"},
      {"blanks stay in the delimiter", "0\r\n" + kFullWidthBlank + " \r\n", false,
       kFullWidthBlank + " "},
      // More than the dialog's 4 bytes, written by hand: used whole.
      {"six-byte delimiter", "0\r\n" + m + m + m + "\r\n", false, m + m + m},
      {"lines after the second", "1\r\n" + m + "\r\nextra\r\n", true, m},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HostSimulator host;
    const HostDrawing before = ThreeTexts();
    const std::optional<HostDrawing> after = RunAndApply(host, before, Mode("1", c.file));
    if (after) ExpectJoined(before, *after, ThreeTextsJoined(c.vertical, c.delimiter));
  }
}

// The program is the only one to look at its name: a copy under another name
// reads the settings file of that name and no other.
TEST(EndToEndSettings, ACopyUnderAnotherNameHasSettingsOfItsOwn) {
  const std::string m = kFullWidthMinus;
  for (const bool ownSettings : {true, false}) {
    SCOPED_TRACE(ownSettings ? "mytool.dat" : "only k726.dat");
    HostSimulator host;
    RunOptions options = Mode("1");
    options.ProgramName = "mytool";
    if (ownSettings) options.Settings = SettingsFile("1", m);
    options.OtherFiles["k726.dat"] = SettingsFile("0", "/");
    const HostDrawing before = ThreeTexts();
    const std::optional<HostDrawing> after = RunAndApply(host, before, options);
    if (after) ExpectJoined(before, *after, ThreeTextsJoined(ownSettings, ownSettings ? m : ""));
  }
}

TEST(EndToEndArguments, FurtherArgumentsAreIgnored) {
  HostSimulator host;
  RunOptions options = Mode("1", SettingsFile("1", kFullWidthMinus));
  options.Arguments = {"1", "2", "x"};
  const HostDrawing before = ThreeTexts();
  const std::optional<HostDrawing> after = RunAndApply(host, before, options);
  if (after) ExpectJoined(before, *after, ThreeTextsJoined(true, kFullWidthMinus));
}

// The host may start the program from any folder: the interchange and
// settings files are the ones beside the program.
TEST(EndToEndArguments, TheFilesBesideTheProgramAreUsedWhereverItStarts) {
  const std::map<std::string, std::string> elsewhere = {
      {"KZC_TEMP.TXT", WriteSelection(ThreeTexts())},
      {"k726.dat", SettingsFile("0", "/")},
      {"mytool.dat", SettingsFile("0", "/")},
  };
  HostSimulator host;
  RunOptions options = Mode("1", SettingsFile("1", kFullWidthMinus));
  options.WorkingFolder = elsewhere;
  RunResult run;
  const HostDrawing before = ThreeTexts();
  const std::optional<HostDrawing> after = RunAndApply(host, before, options, &run);
  if (after) ExpectJoined(before, *after, ThreeTextsJoined(true, kFullWidthMinus));
  EXPECT_EQ(run.WorkingFolderAfter, elsewhere);
}

// Only "1", "2" and "3" select a mode, byte for byte. Anything else leaves the
// folder as it was and ends quietly (the Windows build waits for the user).
TEST(EndToEndArguments, ArgumentsThatSelectNoModeChangeNothing) {
  if (HostSimulator::WaitsForUserInOtherModes()) {
    GTEST_SKIP() << "this build waits for the user when no mode is selected";
  }
  const std::vector<std::string> cases[] = {{"1 "}, {" 1"}, {"01"}, {"4"}, {"12"}, {}};
  for (const std::vector<std::string>& arguments : cases) {
    SCOPED_TRACE(arguments.empty() ? "(none)" : "\"" + arguments[0] + "\"");
    HostSimulator host;
    RunOptions options = Mode("", SettingsFile("1", kFullWidthMinus), WriteSelection(ThreeTexts()));
    options.Arguments = arguments;
    const RunResult run = host.Run(options);
    EXPECT_FALSE(run.TimedOut);
    EXPECT_EQ(run.ExitCode, 0) << run.Output;
    EXPECT_EQ(run.FolderAfter, run.FolderBefore);
  }
}

}  // namespace
}  // namespace e2e
