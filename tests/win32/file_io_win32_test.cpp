// The Windows file layer on paths the ANSI APIs cannot reach: a join run in
// process in a folder whose path is over 300 characters and holds characters
// outside code page 932 gives the plain folder's bytes, settings included.
// (Wine starts no program from such a path, so this runs in process.)
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/fakes.h"
#include "app/form1.h"
#include "interchange/state.h"
#include "machine/file_io.h"

namespace {

std::wstring Wide(const std::string& utf8) {
  std::wstring wide(utf8.size() + 1, L'\0');
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                    wide.data(), static_cast<int>(wide.size()));
  wide.resize(n);
  return wide;
}

std::string ReadAll(const std::string& path) {
  InputFile file(path);
  std::string bytes;
  char buffer[4096];
  std::ptrdiff_t got = 0;
  while ((got = file.Read(buffer, sizeof buffer)) > 0) bytes.append(buffer, got);
  return bytes;
}

// Joins the same selection with the same settings in folder; returns the file.
std::string JoinIn(const std::string& folder) {
  const std::string selection = "ch 0 0 1 0 \"\x90\x7d\x96\xca\r\nch 5 0 1 0 \"\x83\x5c\r\n";
  EXPECT_TRUE(ReplaceFileAtomically(folder + "\\KZC_TEMP.TXT", selection));
  EXPECT_TRUE(ReplaceFileAtomically(folder + "\\k726.dat", "0\r\n\x81\x7c\r\n"));
  FakePlatform platform;
  platform.arguments = {"1"};
  platform.executablePath = folder + "\\k726.exe";
  ValueWindow window;
  TForm1 form(platform, window);
  form.FormShow(nullptr);
  ResetInterchangeState();
  const std::string bytes = ReadAll(folder + "\\KZC_TEMP.TXT");
  RemoveFileQuietly(folder + "\\KZC_TEMP.TXT");
  RemoveFileQuietly(folder + "\\k726.dat");
  return bytes;
}

TEST(Win32FileLayer, JoinsInALongUnicodeFolderAsInAPlainOne) {
  wchar_t temp[MAX_PATH] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  std::string base;
  for (const wchar_t* c = temp; *c != L'\0'; ++c) base.push_back(static_cast<char>(*c));
  base += "k726-paths-" + std::to_string(GetCurrentProcessId());
  // Zoë 한글 ソ表, in UTF-8, then deeper until the path passes 300 characters.
  std::vector<std::string> folders = {base, base +
                                                "\\Zo\xC3\xAB \xED\x95\x9C\xEA\xB8\x80 "
                                                "\xE3\x82\xBD\xE8\xA1\xA8"};
  while (folders.back().size() < 320) folders.push_back(folders.back() + "\\a-deep-drawing-tree");
  for (const std::string& folder : folders) {
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + Wide(folder)).c_str(), nullptr)) << folder;
  }
  const std::string plain = JoinIn(folders.front());
  const std::string deep = JoinIn(folders.back());
  EXPECT_EQ(plain.rfind("hd\r\nbz\r\n", 0), 0u) << plain;
  EXPECT_NE(plain.find("\x81\x7c"), std::string::npos) << "the settings were not read";
  EXPECT_EQ(deep, plain);
  for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
    EXPECT_TRUE(RemoveDirectoryW((L"\\\\?\\" + Wide(*it)).c_str())) << *it << " is not empty";
  }
}

}  // namespace
