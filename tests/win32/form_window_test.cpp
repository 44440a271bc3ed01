// The real form under Wine (or Windows), driven in-process: geometry,
// captions, radio and edit semantics, keys through the dialog manager, the
// minimised start and the close.
#include "platform/win32/form_window_win32.h"

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/form1.h"
#include "app/form_layout.h"
#include "interchange/number_text.h"
#include "interchange/state.h"
#include "platform/win32/win32_platform.h"
#include "support/fake_platform.h"
#include "win32/expected_form.h"

namespace {

#define A_ "\x82\xA0"  // あ
#define I_ "\x82\xA2"  // い
#define U_ "\x82\xA4"  // う

// Under Wine the windows need an X display; scripts/wine-session gives one.
bool WineWithoutDisplay() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  const bool wine = ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  return wine && GetEnvironmentVariableA("DISPLAY", nullptr, 0) == 0;
}

class Win32FormWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // No arguments, as when started without one, and an executable in the
    // temporary folder, where no settings file lies; the decimal symbol is
    // the real one.
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    platform_.executablePath = std::string(folder) + "k726-window-test.exe";
    platform_.decimalSymbolSource = &real_;
    if (WineWithoutDisplay())
      GTEST_SKIP() << "Wine without an X display (see scripts/wine-session)";
    INITCOMMONCONTROLSEX commonControls{sizeof commonControls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&commonControls);
    window_ = std::make_unique<Win32FormWindow>(GetModuleHandleA(nullptr), platform_);
    ASSERT_TRUE(window_->CreateApplicationWindow());
    ASSERT_TRUE(window_->CreateForm());
    form1_ = std::make_unique<TForm1>(platform_, *window_);
    window_->Attach(form1_.get());
    form_ = window_->FormHandle();
    edit_ = window_->ControlHandle(kIdEdit1);
  }

  void TearDown() override {
    window_.reset();
    form1_.reset();
    Pump();
  }

  // Handles what is queued as the program's loop would; true once the loop
  // would have ended.
  bool Pump() {
    bool quit = false;
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = true;
        continue;
      }
      if (window_ != nullptr && window_->TranslateDialogMessage(message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    return quit;
  }

  void ShowNormally() {
    window_->ShowFirstTime();
    Pump();
    ASSERT_TRUE(IsWindowVisible(form_));
  }

  void Key(HWND target, WPARAM key) {
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
    Pump();
  }

  void Type(std::wstring_view characters) {
    for (const wchar_t c : characters) PostMessageW(edit_, WM_CHAR, c, 1);
    Pump();
  }

  Win32Platform real_;
  FakePlatform platform_;
  std::unique_ptr<Win32FormWindow> window_;
  std::unique_ptr<TForm1> form1_;
  HWND form_ = nullptr;
  HWND edit_ = nullptr;
};

// Where the controls stand and what they say is checked on the running
// program; here, what only this process can see: font, kinds, order.
TEST_F(Win32FormWindowTest, ControlsHaveTheFormFontTheirKindsAndTabOrder) {
  const LONG_PTR buttonTypes[] = {BS_GROUPBOX, BS_AUTORADIOBUTTON, BS_AUTORADIOBUTTON, -1,
                                  -1,          BS_DEFPUSHBUTTON,   BS_PUSHBUTTON};
  HWND control = GetWindow(form_, GW_CHILD);
  for (std::size_t i = 0; i < std::size(expected::kControls); ++i) {
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetDlgCtrlID(control), expected::kControls[i].id);
    if (buttonTypes[i] >= 0) {
      EXPECT_EQ(GetWindowLongPtrA(control, GWL_STYLE) & BS_TYPEMASK, buttonTypes[i]) << i;
    }
    LOGFONTA font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    ASSERT_EQ(GetObjectA(handle, sizeof font, &font), static_cast<int>(sizeof font));
    EXPECT_EQ(font.lfHeight, -13);
    EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_EQ(std::string_view(font.lfFaceName), expected::kFontFace);
    control = GetWindow(control, GW_HWNDNEXT);
  }
}

// ＭＳ ゴシック draws each full-width character 13 pixels wide at height 13,
// so Label1's twelve fill its 156 pixels exactly; a substitute font that is
// one pixel wider cuts off the last character (scripts/wine-session installs
// one of the right width).
TEST_F(Win32FormWindowTest, Label1CaptionFitsItsWidthInTheFormFont) {
  const HWND label = GetDlgItem(form_, kIdLabel1);
  const expected::Control& expectedLabel = expected::kControls[3];
  const std::string_view caption = expectedLabel.caption;
  const HDC dc = GetDC(label);
  const HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
  SIZE extent{};
  GetTextExtentPoint32A(dc, caption.data(), static_cast<int>(caption.size()), &extent);
  SIZE fullWidth{};
  GetTextExtentPoint32A(dc, caption.data(), 2, &fullWidth);
  SelectObject(dc, previous);
  ReleaseDC(label, dc);
  EXPECT_EQ(fullWidth.cx, 13);
  EXPECT_LE(extent.cx, expectedLabel.right - expectedLabel.left)
      << "caption " << extent.cx << " px";
}

// Scaled as the screen is (scripts/test-windows runs this at 120, 144 and
// 192 dpi too; the driver checks the rectangles from outside): the font
// 13 * dpi / 96 rounded down, and every caption whole in its control.
TEST_F(Win32FormWindowTest, DpiLaysTheFormOutAtTheScreensScale) {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(window_->LayoutDpi(), static_cast<std::uint32_t>(dpi));
  for (const expected::Control& c : expected::kControls) {
    const HWND control = GetDlgItem(form_, c.id);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW logical{};
    GetObjectW(font, sizeof logical, &logical);
    EXPECT_EQ(logical.lfHeight, -(13 * dpi / 96)) << "control " << c.id;
    if (c.caption.empty()) continue;

    // What the control draws: the caption without its mnemonic mark, beside
    // the check circle for a radio button.
    wchar_t caption[64] = {};
    const int length = MultiByteToWideChar(932, 0, c.caption.data(),
                                           static_cast<int>(c.caption.size()), caption, 64);
    std::wstring drawn(caption, static_cast<std::size_t>(length));
    if (const std::size_t mark = drawn.find(L'&'); mark != std::wstring::npos) drawn.erase(mark, 1);
    const HDC dc = GetDC(control);
    const HGDIOBJ previous = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, drawn.c_str(), static_cast<int>(drawn.size()), &extent);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    RECT rect{};
    GetClientRect(control, &rect);
    // The check circle and its gap: 16 pixels at 96 dpi.
    const int room = rect.right - (c.id == 101 || c.id == 102 ? (16 * dpi + 48) / 96 : 0);
    EXPECT_LE(extent.cx, room) << "caption of control " << c.id;
  }
}

// Dragged to a monitor of another scale, the form is laid out for it where
// Windows suggests; a form already laid out for that scale (sized for the
// monitor under the cursor, then placed) keeps its place. The scales are
// none that the screen itself is given in the tests.
TEST_F(Win32FormWindowTest, DpiChangeLaysTheFormOutAgain) {
  const struct {
    int dpi;
    RECT suggested;
    int clientWidth, clientHeight;
    LONG left, top;
    RECT label;
  } steps[] = {
      {168, {50, 60, 900, 900}, 546, 250, 50, 60, {14, 168, 287, 191}},
      {240, {70, 80, 900, 900}, 780, 358, 70, 80, {20, 240, 410, 273}},
      {240, {90, 95, 900, 900}, 780, 358, 70, 80, {20, 240, 410, 273}},
  };
  for (const auto& step : steps) {
    SendMessageW(form_, WM_DPICHANGED, MAKEWPARAM(step.dpi, step.dpi),
                 reinterpret_cast<LPARAM>(&step.suggested));
    RECT client{};
    GetClientRect(form_, &client);
    EXPECT_EQ(client.right, step.clientWidth) << step.dpi;
    EXPECT_EQ(client.bottom, step.clientHeight) << step.dpi;
    RECT outer{};
    GetWindowRect(form_, &outer);
    EXPECT_EQ(outer.left, step.left) << step.dpi;
    EXPECT_EQ(outer.top, step.top) << step.dpi;
    const HWND label = GetDlgItem(form_, kIdLabel1);
    RECT rect{};
    GetWindowRect(label, &rect);
    MapWindowPoints(nullptr, form_, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_TRUE(EqualRect(&rect, &step.label)) << step.dpi;
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -(13 * step.dpi / 96)) << step.dpi;
  }
}

BOOL CALLBACK NoteFont(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return FALSE;
}

bool FontExists(const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  const HDC dc = GetDC(nullptr);
  EnumFontFamiliesExW(dc, &wanted, NoteFont, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, dc);
  return found;
}

// ＭＳ ゴシック by its Japanese name, else by its English one, else any
// Shift-JIS font. scripts/test-windows runs this also with the session's
// stand-in under the English name only, and under neither.
TEST_F(Win32FormWindowTest, FontIsMsGothicOrTheNearestTheSystemHas) {
  const HWND label = GetDlgItem(form_, kIdLabel1);
  const HDC dc = GetDC(label);
  const HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  const int charset = GetTextCharset(dc);
  SelectObject(dc, previous);
  ReleaseDC(label, dc);
  const std::wstring japanese = L"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF";
  EXPECT_EQ(charset, SHIFTJIS_CHARSET);
  if (FontExists(japanese.c_str())) {
    EXPECT_EQ(std::wstring(face), japanese);
  } else if (FontExists(L"MS Gothic")) {
    EXPECT_EQ(std::wstring(face), L"MS Gothic");
  }
}

TEST_F(Win32FormWindowTest, RadioGroupClampsTheIndexItIsGiven) {
  const struct {
    std::int32_t given;
    std::int32_t shown;
  } cases[] = {{0, 0}, {1, 1}, {7, 1}, {-1, -1}, {-3, -1}, {0, 0}};
  for (const auto& c : cases) {
    window_->SetRadioIndex(c.given);
    EXPECT_EQ(window_->RadioIndex(), c.shown) << c.given;
    EXPECT_EQ(IsDlgButtonChecked(form_, kIdRadioHorizontal), c.shown == 0 ? 1u : 0u) << c.given;
    EXPECT_EQ(IsDlgButtonChecked(form_, kIdRadioVertical), c.shown == 1 ? 1u : 0u) << c.given;
  }
}

// Typing and pasting are checked on the running program; here, the text the
// program sets, insertions in the middle and where the caret goes.
TEST_F(Win32FormWindowTest, Edit1ShowsProgramTextWholeAndCutsOnlyInsertions) {
  ShowNormally();
  window_->SetEditText("ABCDEF");
  EXPECT_EQ(window_->EditText(), "ABCDEF");
  SendMessageA(edit_, EM_SETSEL, 6, 6);
  Type(L"x");
  EXPECT_EQ(window_->EditText(), "ABCDEF");

  window_->SetEditText("AD");
  SendMessageA(edit_, EM_SETSEL, 1, 1);
  Type(L"\u3042\u3044");  // あい between A and D: one fits
  EXPECT_EQ(window_->EditText(), "A" A_ "D");

  window_->SetEditText("A");
  SendMessageA(edit_, EM_SETSEL, 1, 1);
  SendMessageA(edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(A_ I_ U_));
  EXPECT_EQ(window_->EditText(), "A" A_);
  // The caret follows the kept part, in the edit's own units.
  DWORD start = 0;
  DWORD end = 0;
  SendMessageA(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const bool bytes = SendMessageA(edit_, EM_LINELENGTH, 0, 0) == 3;
  EXPECT_EQ(start, bytes ? 3u : 2u);
  EXPECT_EQ(end, start);
}

TEST_F(Win32FormWindowTest, DialogKeysMoveTheFocusInTabOrderAndPressTheButtons) {
  ShowNormally();
  window_->SetRadioIndex(1);
  const HWND vertical = GetDlgItem(form_, kIdRadioVertical);
  SetFocus(vertical);
  const int order[] = {kIdEdit1, kIdButton1, kIdButton2, kIdRadioVertical};
  for (const int id : order) {
    Key(GetFocus(), VK_TAB);
    EXPECT_EQ(GetDlgCtrlID(GetFocus()), id);
  }
  // Alt+A: from anywhere to the marked choice, which stays marked.
  SetFocus(edit_);
  PostMessageW(edit_, WM_SYSCHAR, 'a', 1 << 29);
  Pump();
  EXPECT_EQ(GetFocus(), vertical);
  EXPECT_EQ(window_->RadioIndex(), 1);
  // The arrow keys move between the choices and mark them.
  Key(vertical, VK_UP);
  EXPECT_EQ(GetDlgCtrlID(GetFocus()), kIdRadioHorizontal);
  EXPECT_EQ(window_->RadioIndex(), 0);

  EXPECT_EQ(SendMessageA(form_, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
  // Alt+N presses Cancel, which closes the form and ends the loop.
  PostMessageW(edit_, WM_SYSCHAR, 'n', 1 << 29);
  EXPECT_TRUE(Pump());
  EXPECT_FALSE(IsWindow(form_));
}

TEST_F(Win32FormWindowTest, AltYPressesOk) {
  ShowNormally();
  const std::string settings =
      platform_.ExecutablePath().substr(0, platform_.ExecutablePath().size() - 4) + ".dat";
  PostMessageW(edit_, WM_SYSCHAR, 'y', 1 << 29);
  EXPECT_TRUE(Pump());
  EXPECT_FALSE(IsWindow(form_));
  EXPECT_TRUE(DeleteFileA(settings.c_str())) << "OK saved " << settings;
}

TEST_F(Win32FormWindowTest, MinimisedStartNeverShowsTheFormUntilRestored) {
  window_->Minimise();  // as FormShow does, before the first show
  window_->ShowFirstTime();
  Pump();
  const HWND application = window_->ApplicationHandle();
  EXPECT_FALSE(IsWindowVisible(form_));
  EXPECT_TRUE(IsWindowVisible(application));
  EXPECT_TRUE(IsIconic(application));
  EXPECT_EQ(GetWindow(form_, GW_OWNER), application);

  SendMessageA(application, WM_SYSCOMMAND, SC_RESTORE, 0);
  Pump();
  EXPECT_TRUE(IsWindowVisible(form_));
  EXPECT_FALSE(IsIconic(application));
  RECT zero{};
  GetWindowRect(application, &zero);
  EXPECT_TRUE(zero.right == zero.left && zero.bottom == zero.top);  // only its task bar button

  // The form's minimise box takes it back to the task bar.
  SendMessageA(form_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Pump();
  EXPECT_FALSE(IsWindowVisible(form_));
  EXPECT_TRUE(IsIconic(application));
}

TEST_F(Win32FormWindowTest, CloseTakesEffectAfterTheCallerAndEndsTheLoop) {
  window_->Close();
  EXPECT_TRUE(IsWindow(form_));
  window_->Close();
  EXPECT_TRUE(Pump());
  EXPECT_FALSE(IsWindow(form_));
  EXPECT_EQ(window_->FormHandle(), nullptr);
  EXPECT_EQ(window_->ApplicationHandle(), nullptr);
}

TEST_F(Win32FormWindowTest, ClickOnTheBareFormFreesTheTables) {
  ShowNormally();
  const struct {
    int x;
    int y;
    bool bare;
  } clicks[] = {{100, 15, false} /* group box caption */,
                {50, 100, false} /* label */,
                {20, 130, true},
                {300, 50, true}};
  for (const auto& click : clicks) {
    ResetInterchangeState();
    AppendEntityOrder(1, 0);
    ASSERT_GT(Entities.EntityOrder.Capacity(), 0u);
    SendMessageA(form_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(click.x, click.y));
    SendMessageA(form_, WM_LBUTTONUP, 0, MAKELPARAM(click.x, click.y));
    EXPECT_EQ(Entities.EntityOrder.Capacity() == 0, click.bare) << click.x << "," << click.y;
  }
  ResetInterchangeState();
}

// The handlers of a real TForm1 are reached through the window's events; the
// form logic itself is tested natively.
TEST_F(Win32FormWindowTest, SettingChangeRereadsTheDecimalSymbol) {
  char saved[16] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, saved, sizeof saved);
  ASSERT_TRUE(SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, ","));
  SendMessageA(window_->ApplicationHandle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("intl"));
  EXPECT_EQ(DecimalSeparator(), ',');
  EXPECT_EQ(RealToText(1.5), "1,5");
  SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, saved);
  SendMessageA(window_->ApplicationHandle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("intl"));
  EXPECT_EQ(DecimalSeparator(), saved[0]);
}

}  // namespace
