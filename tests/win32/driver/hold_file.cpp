// Holds a file open without sharing while another program starts, as a virus
// scanner or an indexer does:
//   k726_hold_file PATH MILLISECONDS PROGRAM ARGUMENT
// opens PATH, starts PROGRAM ARGUMENT, closes PATH after MILLISECONDS and
// waits for the program. Prints how long the file was held and when the
// program ended. Exit code 1 when PATH could not be opened or PROGRAM not
// started. PATH "-" holds nothing: the program is only started, which also
// serves for paths too long for Wine's own start-up.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv) {
  if (argc != 5) return 2;
  const bool holds = std::wcscmp(argv[1], L"-") != 0;
  const HANDLE file = holds ? CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                            : nullptr;
  if (file == INVALID_HANDLE_VALUE) return 1;
  const ULONGLONG start = GetTickCount64();
  std::wstring command = L"\"" + std::wstring(argv[3]) + L"\" " + argv[4];
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::printf("cannot start the program: error %lu\n", GetLastError());
    if (holds) CloseHandle(file);
    return 1;
  }
  Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
  const bool running = WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT;
  if (holds) CloseHandle(file);
  const ULONGLONG released = GetTickCount64() - start;
  WaitForSingleObject(process.hProcess, INFINITE);
  std::printf("held %llu ms (program %s then); program ended after %llu ms\n", released,
              running ? "still running" : "already ended", GetTickCount64() - start);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}
