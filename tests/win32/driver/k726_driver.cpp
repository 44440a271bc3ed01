// Drives the running k726.exe from a second Win32 process under the same
// wineserver, for the end-to-end checks of the Windows program. Each command
// starts k726.exe itself (except the helpers at the end), checks what it
// sees, prints every failed check and exits 0 only when all held.
//
//   dialog EXE CURSOR_X CURSOR_Y RADIO EDIT_HEX  mode "3": layout, captions,
//                                                placement, loaded values;
//                                                then Cancel
//   dpi EXE CURSOR_X CURSOR_Y DPI  mode "3" on a screen of DPI: the layout
//                           scaled, the placement; then Cancel
//   codepage EXE            mode "3": captions, characters typed that code
//                           page 932 has and has not; OK
//   system-code-page N      the system's code page is N
//   ok EXE                  mode "3", OK at once
//   type-ok EXE             mode "3": typing and pasting are cut to four
//                           bytes; second choice; OK
//   cancel|escape|close-box EXE  mode "3": change things, then leave
//   enter EXE               mode "3": type "z", Enter
//   no-argument EXE         designed place, first choice, empty box; OK
//   minimised EXE ARG waits|exits  never shown normal; restore if it waits
//   run EXE ARG             runs to its end, exit code 0
//   resources EXE           version information and manifest
//   generate PATH ENTITIES  a realistic interchange file
//   escape-down             Escape is held (as GetAsyncKeyState sees it)
//   focus-window / close-focus-window  a window to take X keyboard focus
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "support/interchange_generator.h"
#include "win32/expected_form.h"

namespace {

int failures = 0;

void Check(bool condition, const std::string& what) {
  if (condition) return;
  ++failures;
  std::printf("FAILED: %s\n", what.c_str());
  std::fflush(stdout);
}

std::string Hex(std::string_view bytes) {
  std::string out;
  char buffer[4];
  for (const char c : bytes) {
    std::snprintf(buffer, sizeof buffer, "%02X", static_cast<unsigned char>(c));
    out += buffer;
  }
  return out;
}

std::string FromHex(std::string_view hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out.push_back(
        static_cast<char>(std::strtoul(std::string(hex.substr(i, 2)).c_str(), nullptr, 16)));
  }
  return out;
}

std::string ShiftJis(std::wstring_view text) {
  if (text.empty()) return {};
  char buffer[2048] = {};
  const int length = WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), buffer,
                                         sizeof buffer, nullptr, nullptr);
  return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::wstring FromShiftJis(std::string_view bytes) {
  wchar_t buffer[1024] = {};
  const int length =
      MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), buffer, 1024);
  return std::wstring(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// In UTF-16, as the window holds it: the same whatever either program's code
// page.
std::wstring WideText(HWND window) {
  wchar_t buffer[1024] = {};
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer),
                           SMTO_ABORTIFHUNG, 2000, &length)) {
    return L"<no answer>";
  }
  return std::wstring(buffer, length);
}

// The window's text as code page 932 bytes.
std::string Text(HWND window) { return ShiftJis(WideText(window)); }

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result);
  return static_cast<LRESULT>(result);
}

// Lets window events and hooks reach us while we wait.
void Pump(DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  MSG message;
  do {
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

template <class Condition>
bool WaitFor(Condition condition, DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  while (!condition()) {
    if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
    Pump(20);
  }
  return true;
}

struct Program {
  PROCESS_INFORMATION process{};
  HWND application = nullptr;
  HWND form = nullptr;
};

Program Start(const std::string& exe, const std::string& arguments, bool suspended = false) {
  Program program;
  std::string line = "\"" + exe + "\"";
  if (!arguments.empty()) line += " " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE,
                      suspended ? CREATE_SUSPENDED : 0, nullptr, nullptr, &startup,
                      &program.process)) {
    Check(false, "start " + line);
  }
  return program;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

struct FindContext {
  DWORD processId;
  Program* program;
};

BOOL CALLBACK FindWindowsOf(HWND window, LPARAM parameter) {
  auto* context = reinterpret_cast<FindContext*>(parameter);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != context->processId) return TRUE;
  const std::string name = ClassOf(window);
  if (name == "TForm1") context->program->form = window;
  if (name == "TApplication") context->program->application = window;
  return TRUE;
}

bool FindWindows(Program& program) {
  FindContext context{program.process.dwProcessId, &program};
  EnumWindows(FindWindowsOf, reinterpret_cast<LPARAM>(&context));
  return program.form != nullptr && program.application != nullptr;
}

bool WaitForVisibleForm(Program& program) {
  const bool found =
      WaitFor([&] { return FindWindows(program) && IsWindowVisible(program.form); }, 15000);
  Check(found, "the form appears");
  return found;
}

// Waits for the end of the program; its exit code must be 0.
void ExpectExit(Program& program, DWORD milliseconds = 15000) {
  if (program.process.hProcess == nullptr) return;
  const bool ended =
      WaitFor([&] { return WaitForSingleObject(program.process.hProcess, 0) == WAIT_OBJECT_0; },
              milliseconds);
  Check(ended, "the program ends");
  if (!ended) TerminateProcess(program.process.hProcess, 1);
  DWORD code = 1;
  GetExitCodeProcess(program.process.hProcess, &code);
  if (ended) Check(code == 0, "exit code 0, not " + std::to_string(code));
  CloseHandle(program.process.hThread);
  CloseHandle(program.process.hProcess);
  program.process = {};
}

HWND Control(const Program& program, int id) { return GetDlgItem(program.form, id); }

int RadioIndex(const Program& program) {
  if (Send(Control(program, 101), BM_GETCHECK) == BST_CHECKED) return 0;
  if (Send(Control(program, 102), BM_GETCHECK) == BST_CHECKED) return 1;
  return -1;
}

void TypeInto(HWND edit, std::wstring_view characters) {
  for (const wchar_t c : characters) PostMessageW(edit, WM_CHAR, c, 1);
}

// Compared in UTF-16: bytes that code page 932 does not give back whole
// (87 90 shows as ≒, which goes back as 81 E0) are shown as they decode.
void ExpectEditText(const Program& program, std::string_view expected, const char* what) {
  const HWND edit = Control(program, 104);
  const std::wstring wide = FromShiftJis(expected);
  WaitFor([&] { return WideText(edit) == wide; }, 3000);
  const std::string shown = Text(edit);
  Check(WideText(edit) == wide,
        std::string(what) + ": Edit1 holds " + Hex(shown) + ", expected " + Hex(expected));
}

void PutOnClipboard(std::wstring_view text) {
  if (!OpenClipboard(nullptr)) {
    Check(false, "open the clipboard");
    return;
  }
  EmptyClipboard();
  const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  auto* target = static_cast<wchar_t*>(GlobalLock(memory));
  std::memcpy(target, text.data(), text.size() * sizeof(wchar_t));
  target[text.size()] = L'\0';
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
}

void CheckLayout(const Program& program) {
  RECT client{};
  GetClientRect(program.form, &client);
  Check(client.right == expected::kClientWidth && client.bottom == expected::kClientHeight,
        "client 312 x 143, not " + std::to_string(client.right) + " x " +
            std::to_string(client.bottom));
  Check(Text(program.form) == expected::kFormCaption, "form caption " + Hex(Text(program.form)));
  Check(Text(program.application) == expected::kApplicationTitle,
        "application title " + Hex(Text(program.application)));
  Check(GetWindow(program.form, GW_OWNER) == program.application,
        "the application window owns the form");
  const LONG style = GetWindowLongA(program.form, GWL_STYLE);
  Check((style & WS_MINIMIZEBOX) && (style & WS_SYSMENU) && !(style & WS_MAXIMIZEBOX) &&
            !(style & WS_THICKFRAME),
        "system menu and minimise box, no maximise box, fixed border");
  for (const expected::Control& c : expected::kControls) {
    const HWND control = Control(program, c.id);
    const std::string name = "control " + std::to_string(c.id);
    if (control == nullptr) {
      Check(false, name + " exists");
      continue;
    }
    Check(_stricmp(ClassOf(control).c_str(), c.className) == 0,
          name + " class " + ClassOf(control));
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, program.form, reinterpret_cast<POINT*>(&rect), 2);
    Check(rect.left == c.left && rect.top == c.top && rect.right == c.right &&
              rect.bottom == c.bottom,
          name + " at " + std::to_string(rect.left) + "," + std::to_string(rect.top) + "-" +
              std::to_string(rect.right) + "," + std::to_string(rect.bottom));
    if (c.id != 104) Check(Text(control) == c.caption, name + " caption " + Hex(Text(control)));
  }
}

int Dialog(const std::string& exe, int cursorX, int cursorY, int radio,
           const std::string& editHex) {
  Program program = Start(exe, "3");
  if (WaitForVisibleForm(program)) {
    CheckLayout(program);
    RECT outer{};
    GetWindowRect(program.form, &outer);
    const int width = outer.right - outer.left;
    Check(outer.left == cursorX - width / 2 && outer.top == cursorY - 4,
          "placed at " + std::to_string(outer.left) + "," + std::to_string(outer.top) +
              " for cursor " + std::to_string(cursorX) + "," + std::to_string(cursorY) +
              ", outer width " + std::to_string(width));
    Check(RadioIndex(program) == radio, "radio index " + std::to_string(RadioIndex(program)));
    ExpectEditText(program, FromHex(editHex), "loaded delimiter");
    Send(Control(program, 2), BM_CLICK);
  }
  ExpectExit(program);
  return failures;
}

// The client area and every control are the 96-dpi layout scaled by
// dpi / 96 (a pixel either way), and the left edge still follows the outer
// width at that dpi.
int Dpi(const std::string& exe, int cursorX, int cursorY, int dpi) {
  Program program = Start(exe, "3");
  if (WaitForVisibleForm(program)) {
    const auto scaled = [dpi](int pixels) { return (pixels * dpi + 48) / 96; };
    const auto within1 = [](LONG got, int want) { return got >= want - 1 && got <= want + 1; };
    const auto shown = [](const RECT& r) {
      return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) +
             "," + std::to_string(r.bottom);
    };
    RECT client{};
    GetClientRect(program.form, &client);
    Check(within1(client.right, scaled(expected::kClientWidth)) &&
              within1(client.bottom, scaled(expected::kClientHeight)),
          "client " + shown(client) + " at " + std::to_string(dpi) + " dpi");
    for (const expected::Control& c : expected::kControls) {
      RECT rect{};
      GetWindowRect(Control(program, c.id), &rect);
      MapWindowPoints(nullptr, program.form, reinterpret_cast<POINT*>(&rect), 2);
      Check(within1(rect.left, scaled(c.left)) && within1(rect.top, scaled(c.top)) &&
                within1(rect.right, scaled(c.right)) && within1(rect.bottom, scaled(c.bottom)),
            "control " + std::to_string(c.id) + " at " + shown(rect));
    }
    RECT outer{};
    GetWindowRect(program.form, &outer);
    const int width = outer.right - outer.left;
    Check(outer.left == cursorX - width / 2 && outer.top == cursorY - 4,
          "placed at " + shown(outer) + " for cursor " + std::to_string(cursorX) + "," +
              std::to_string(cursorY));
    Send(Control(program, 2), BM_CLICK);
  }
  ExpectExit(program);
  return failures;
}

// Whatever the system's code page, the texts read right and what is typed
// is stored as the Shift-JIS the user sees: é and ¥ (which a plain
// conversion turns into e and 5C) and 〜 (which it turns into ～) are
// refused.
int CodePage(const std::string& exe) {
  Program program = Start(exe, "3");
  if (WaitForVisibleForm(program)) {
    CheckLayout(program);
    const HWND edit = Control(program, 104);
    Send(edit, EM_SETSEL, 0, -1);
    TypeInto(edit, L"\u00E9\u00A5\u301C\uFF21");  // é¥〜Ａ
    ExpectEditText(program, "\x82\x60", "refused é, ¥ and 〜, took Ａ");
    TypeInto(edit, L"\uFF03\uFF04");  // ＃＄: room for one
    ExpectEditText(program, "\x82\x60\x81\x94", "typed full-width");
    Send(Control(program, 1), BM_CLICK);
  }
  ExpectExit(program);
  return failures;
}

int Ok(const std::string& exe) {
  Program program = Start(exe, "3");
  if (WaitForVisibleForm(program)) Send(Control(program, 1), BM_CLICK);
  ExpectExit(program);
  return failures;
}

int TypeOk(const std::string& exe) {
  Program program = Start(exe, "3");
  if (WaitForVisibleForm(program)) {
    const HWND edit = Control(program, 104);
    Send(edit, EM_SETSEL, 0, -1);
    TypeInto(edit, L"\u3042\u3044\u3046");  // あいう: the third is refused
    ExpectEditText(program, "\x82\xA0\x82\xA2", "typed");
    Send(edit, EM_SETSEL, 0, -1);
    TypeInto(edit, L"a\u3042\u3044");  // aあい: one byte is left for い
    ExpectEditText(program, "a\x82\xA0", "typed after a single byte");
    Send(edit, EM_SETSEL, 0, -1);
    PutOnClipboard(L"\u3046\u3048\u304A");  // うえお
    PostMessageW(edit, WM_PASTE, 0, 0);
    ExpectEditText(program, "\x82\xA4\x82\xA6", "pasted");
    Send(Control(program, 102), BM_CLICK);
    Check(RadioIndex(program) == 1, "second choice marked");
    Send(Control(program, 1), BM_CLICK);
  }
  ExpectExit(program);
  return failures;
}

// Changes both values, then leaves by the way given; the runner checks that
// the settings file is untouched.
int Leave(const std::string& exe, std::string_view how) {
  Program program = Start(exe, "3");
  if (WaitForVisibleForm(program)) {
    const HWND edit = Control(program, 104);
    Send(edit, EM_SETSEL, 0, -1);
    TypeInto(edit, L"z");
    ExpectEditText(program, "z", "typed");
    Send(Control(program, RadioIndex(program) == 1 ? 101 : 102), BM_CLICK);
    if (how == "cancel") {
      Send(Control(program, 2), BM_CLICK);
    } else if (how == "escape") {
      PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 1);
      PostMessageW(edit, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    } else if (how == "enter") {
      PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
      PostMessageW(edit, WM_KEYUP, VK_RETURN, 0xC0000001);
    } else {
      PostMessageA(program.form, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
  }
  ExpectExit(program);
  return failures;
}

int NoArgument(const std::string& exe) {
  Program program = Start(exe, "");
  if (WaitForVisibleForm(program)) {
    CheckLayout(program);
    RECT outer{};
    GetWindowRect(program.form, &outer);
    Check(outer.left == expected::kDesignedLeft && outer.top == expected::kDesignedTop,
          "designed place, not " + std::to_string(outer.left) + "," + std::to_string(outer.top));
    Check(RadioIndex(program) == 0, "first choice marked");
    ExpectEditText(program, "", "initial delimiter");
    Send(Control(program, 1), BM_CLICK);
  }
  ExpectExit(program);
  return failures;
}

// Windows of the program that were shown, with their class as seen when the
// event arrived ("" when the window was already gone).
std::map<HWND, std::string> shownWindows;

void CALLBACK OnShow(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
  if (object == OBJID_WINDOW && window != nullptr) shownWindows[window] = ClassOf(window);
}

bool FormShown(HWND form) {
  for (const auto& [window, name] : shownWindows) {
    if (window == form || name == "TForm1") return true;
  }
  return false;
}

bool ApplicationShown() {
  for (const auto& [window, name] : shownWindows) {
    if (name == "TApplication") return true;
  }
  return false;
}

// The program is watched from before its first instruction: every window it
// shows is reported by a window-event hook, and its windows are polled.
int Minimised(const std::string& exe, const std::string& argument, std::string_view expectation) {
  Program program = Start(exe, argument, true);
  if (program.process.hProcess == nullptr) return failures;
  const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_SHOW, EVENT_OBJECT_SHOW, nullptr, OnShow,
                                             program.process.dwProcessId, 0, WINEVENT_OUTOFCONTEXT);
  Check(hook != nullptr, "watch the program's windows");
  ResumeThread(program.process.hThread);

  HWND form = nullptr;
  bool sawMinimised = false;
  bool formEverVisible = false;
  std::string title;  // the application window's, as the task bar shows it
  auto watch = [&] {
    Program seen = program;
    if (FindWindows(seen)) {
      wchar_t text[256] = {};
      const int length = InternalGetWindowText(seen.application, text, 256);
      if (length > 0) title = ShiftJis(std::wstring_view(text, static_cast<std::size_t>(length)));
      form = seen.form;
      formEverVisible = formEverVisible || IsWindowVisible(seen.form);
      sawMinimised =
          sawMinimised || (IsWindowVisible(seen.application) && IsIconic(seen.application));
      program.application = seen.application;
      program.form = seen.form;
    }
  };
  if (expectation == "waits") {
    WaitFor(
        [&] {
          watch();
          return sawMinimised;
        },
        15000);
    Pump(500);
    watch();
    Check(sawMinimised, "the application window is minimised");
    Check(title == expected::kApplicationTitle, "application title " + Hex(title));
    Check(!formEverVisible && !FormShown(form), "the form is never shown");
    // Restored from the task bar, the form shows where it was designed.
    PostMessageA(program.application, WM_SYSCOMMAND, SC_RESTORE, 0);
    Check(WaitFor([&] { return IsWindowVisible(program.form); }, 5000),
          "the form shows when restored");
    RECT outer{};
    GetWindowRect(program.form, &outer);
    Check(outer.left == expected::kDesignedLeft && outer.top == expected::kDesignedTop,
          "restored at the designed place");
    PostMessageA(program.form, WM_CLOSE, 0, 0);
    ExpectExit(program);
  } else {
    WaitFor(
        [&] {
          watch();
          return WaitForSingleObject(program.process.hProcess, 0) == WAIT_OBJECT_0;
        },
        60000);
    Pump(300);
    // A short run may end before a poll sees it; the hook sees every show.
    std::string seen;
    for (const auto& [window, name] : shownWindows) seen += " '" + name + "'";
    Check(ApplicationShown() || sawMinimised,
          "the application window was shown (windows shown:" + seen + ")");
    Check(!formEverVisible && !FormShown(form), "the form is never shown");
    // A run too short for a poll to find its window shows no title.
    Check(title.empty() || title == expected::kApplicationTitle, "application title " + Hex(title));
    ExpectExit(program, 1000);
  }
  if (hook != nullptr) UnhookWinEvent(hook);
  return failures;
}

int Run(const std::string& exe, const std::string& argument) {
  Program program = Start(exe, argument);
  ExpectExit(program, 120000);
  return failures;
}

std::string QueryString(const std::vector<char>& info, const char* name) {
  char* value = nullptr;
  UINT length = 0;
  const std::string path = std::string("\\StringFileInfo\\041104B0\\") + name;
  if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
    return "<none>";
  return std::string(value, length > 0 ? length - 1 : 0);
}

int Resources(const std::string& exe) {
  DWORD ignored = 0;
  std::vector<char> info(GetFileVersionInfoSizeA(exe.c_str(), &ignored));
  Check(!info.empty() && GetFileVersionInfoA(exe.c_str(), 0, info.size(), info.data()),
        "version information present");
  if (info.empty()) return failures;
  WORD* translation = nullptr;
  UINT length = 0;
  Check(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation",
                       reinterpret_cast<void**>(&translation), &length) &&
            length >= 4 && translation[0] == 0x0411 && translation[1] == 1200,
        "Japanese, Unicode strings");
  Check(QueryString(info, "FileDescription") == expected::kApplicationTitle,
        "file description " + Hex(QueryString(info, "FileDescription")));
  Check(QueryString(info, "ProductName") == "k726",
        "product name " + QueryString(info, "ProductName"));
  for (const char* name : {"FileVersion", "ProductVersion"}) {
    Check(QueryString(info, name) == K726_VERSION,
          std::string(name) + " " + QueryString(info, name));
  }

  const HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const HRSRC resource = module != nullptr
                             ? FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))
                             : nullptr;
  Check(resource != nullptr, "manifest present");
  if (resource != nullptr) {
    const char* data = static_cast<const char*>(LockResource(LoadResource(module, resource)));
    const std::string manifest(data, SizeofResource(module, resource));
    for (const char* part :
         {"name=\"k726\" version=\"" K726_VERSION ".0\"", "Microsoft.Windows.Common-Controls",
          "version=\"6.0.0.0\"", "level=\"asInvoker\"", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
          "{e2011457-1546-43c5-a5fe-008deee3d3f0}"}) {
      Check(manifest.find(part) != std::string::npos, std::string("manifest names ") + part);
    }
    // Per-monitor v2 where Windows knows it, per monitor on 8.1, the
    // system's dpi before.
    Check(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>") != std::string::npos &&
              manifest.find(">true/pm</dpiAware>") != std::string::npos,
          "manifest claims per-monitor DPI awareness");
  }
  if (module != nullptr) FreeLibrary(module);
  return failures;
}

int Generate(const std::string& path, long long entities) {
  GeneratorOptions options;
  options.Entities = entities;
  const GeneratedFile file = GenerateInterchangeFile(options);
  std::ofstream out(path, std::ios::binary);
  out.write(file.Bytes.data(), static_cast<std::streamsize>(file.Bytes.size()));
  Check(out.good() && file.Texts >= 2, "generate " + path);
  return failures;
}

constexpr char kFocusTitle[] = "k726-driver-focus";

// A named function: a lambda converts only to the default calling convention,
// which on i686 is not the stdcall a WNDPROC needs.
LRESULT CALLBACK FocusWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

int FocusWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = FocusWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "K726DriverFocus";
  RegisterClassA(&windowClass);
  CreateWindowExA(0, windowClass.lpszClassName, kFocusTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700,
                  500, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}

int CloseFocusWindow() {
  const HWND window = FindWindowA("K726DriverFocus", kFocusTitle);
  if (window != nullptr) PostMessageA(window, WM_CLOSE, 0, 0);
  return 0;
}

int Usage() {
  std::printf("usage: k726_driver COMMAND ARGS (see the source)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> a(argv + 1, argv + argc);
    if (a.empty()) return Usage();
    const std::string& command = a[0];
    int result = 0;
    // The rectangles of a DPI-aware program, unscaled.
    SetProcessDPIAware();
    if (command == "dpi" && a.size() == 5) {
      result = Dpi(a[1], std::atoi(a[2].c_str()), std::atoi(a[3].c_str()), std::atoi(a[4].c_str()));
    } else if (command == "codepage" && a.size() == 2) {
      result = CodePage(a[1]);
    } else if (command == "system-code-page" && a.size() == 2) {
      Check(GetACP() == static_cast<UINT>(std::atoi(a[1].c_str())),
            "system code page " + std::to_string(GetACP()));
      result = failures;
    } else if (command == "dialog" && a.size() == 6) {
      result = Dialog(a[1], std::atoi(a[2].c_str()), std::atoi(a[3].c_str()),
                      std::atoi(a[4].c_str()), a[5]);
    } else if (command == "ok" && a.size() == 2) {
      result = Ok(a[1]);
    } else if (command == "type-ok" && a.size() == 2) {
      result = TypeOk(a[1]);
    } else if ((command == "cancel" || command == "escape" || command == "close-box" ||
                command == "enter") &&
               a.size() == 2) {
      result = Leave(a[1], command);
    } else if (command == "no-argument" && a.size() == 2) {
      result = NoArgument(a[1]);
    } else if (command == "minimised" && a.size() == 4) {
      result = Minimised(a[1], a[2], a[3]);
    } else if (command == "run" && a.size() == 3) {
      result = Run(a[1], a[2]);
    } else if (command == "resources" && a.size() == 2) {
      result = Resources(a[1]);
    } else if (command == "generate" && a.size() == 3) {
      result = Generate(a[1], std::atoll(a[2].c_str()));
    } else if (command == "escape-down" && a.size() == 1) {
      Check(GetAsyncKeyState(VK_ESCAPE) < 0, "Escape is down");
      result = failures;
    } else if (command == "focus-window" && a.size() == 1) {
      return FocusWindow();
    } else if (command == "close-focus-window" && a.size() == 1) {
      return CloseFocusWindow();
    } else {
      return Usage();
    }
    return result == 0 ? 0 : 1;
  } catch (...) {
    std::printf("FAILED: an exception\n");
    return 1;
  }
}
