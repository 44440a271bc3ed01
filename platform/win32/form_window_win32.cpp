#include "platform/win32/form_window_win32.h"

#include <optional>

#include "app/edit_byte_limit.h"
#include "app/form1.h"
#include "interchange/number_text.h"
#include "platform/win32/code_pages.h"

namespace {

constexpr wchar_t kApplicationClass[] = L"TApplication";
constexpr wchar_t kFormClass[] = L"TForm1";

// Newer than the headers' default Windows version.
constexpr UINT kDpiChangedMessage = 0x02E0;
constexpr UINT kGetDpiScaledSizeMessage = 0x02E4;
constexpr int kMonitorEffectiveDpi = 0;

// Posted by Close: the windows go once the handler that asked has returned.
constexpr UINT kCloseMessage = WM_APP + 1;
// Posted when the application window is activated: the form takes over.
constexpr UINT kActivateFormMessage = WM_APP + 2;

constexpr DWORD kFormStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS;
constexpr DWORD kFormExStyle = 0;

const COLORREF kBackground = RGB(kFormBackgroundRed, kFormBackgroundGreen, kFormBackgroundBlue);

std::wstring FromShiftJis(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(kShiftJis, 0, bytes.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(kShiftJis, 0, bytes.data(), size, text.data(), length);
  return text;
}

std::u16string Utf16(std::wstring_view text) { return {text.begin(), text.end()}; }
std::wstring Wide(std::u16string_view text) { return {text.begin(), text.end()}; }

std::optional<std::string> CharacterToShiftJis(std::u16string_view character) {
  BOOL usedDefault = FALSE;
  std::string bytes = Narrow(kShiftJis, Wide(character), &usedDefault);
  if (bytes.empty() || usedDefault) return std::nullopt;
  return bytes;
}

bool RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.lpszClassName = name;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

std::u16string WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return Utf16(text);
}

std::wstring FaceOf(HFONT font) {
  wchar_t face[LF_FACESIZE] = {};
  const HDC dc = GetDC(nullptr);
  const HGDIOBJ previous = SelectObject(dc, font);
  GetTextFaceW(dc, LF_FACESIZE, face);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  return face;
}

// ＭＳ ゴシック by its Japanese name; on a Windows that knows it only by its
// English name, by that; where it is missing altogether, whatever font of
// the Shift-JIS character set Windows has.
HFONT CreateFormFont(std::int32_t height) {
  auto create = [height](const wchar_t* face) {
    return CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
  };
  for (const std::wstring& face : {FromShiftJis(kFormFontFace), FromShiftJis(kFormFontFaceLatin)}) {
    const HFONT font = create(face.c_str());
    if (font == nullptr) continue;
    if (lstrcmpiW(FaceOf(font).c_str(), face.c_str()) == 0) return font;
    DeleteObject(font);
  }
  return create(L"");
}

// A function of newer Windows, or nullptr. The cast goes through void (*)(),
// which converts to and from any function pointer.
template <class Function>
Function Lookup(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

struct ControlClass {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};

// WS_GROUP starts a new group for the arrow keys: the two choices form one.
ControlClass ClassOf(const FormControl& control, bool firstChoice) {
  switch (control.Kind) {
    case FormControlKind::GroupBox:
      return {L"BUTTON", BS_GROUPBOX | WS_GROUP, 0};
    case FormControlKind::RadioButton:
      return {L"BUTTON", BS_AUTORADIOBUTTON | (firstChoice ? WS_GROUP | WS_TABSTOP : 0u), 0};
    case FormControlKind::Label:
      return {L"STATIC", SS_LEFT | SS_NOPREFIX | WS_GROUP, 0};
    case FormControlKind::Edit:
      return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE};
    case FormControlKind::DefaultButton:
      return {L"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0};
    case FormControlKind::CancelButton:
      return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0};
  }
  return {L"STATIC", 0, 0};
}

POINT PointOf(LPARAM position) {
  return {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
}

template <class Handler>
LRESULT Guarded(Handler handler, LRESULT fallback) noexcept {
  try {
    return handler();
  } catch (...) {
    return fallback;
  }
}

}  // namespace

Win32FormWindow::Win32FormWindow(HINSTANCE instance, Platform& platform)
    : instance_(instance), platform_(platform) {
  // Windows 10 1607 on; shcore.dll from Windows 8.1 on, and only from the
  // system folder.
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  getDpiForWindow_ = Lookup<decltype(getDpiForWindow_)>(user32, "GetDpiForWindow");
  adjustWindowRectExForDpi_ =
      Lookup<decltype(adjustWindowRectExForDpi_)>(user32, "AdjustWindowRectExForDpi");
  shcore_ = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  getDpiForMonitor_ = Lookup<decltype(getDpiForMonitor_)>(shcore_, "GetDpiForMonitor");
}

Win32FormWindow::~Win32FormWindow() {
  if (application_ != nullptr) DestroyWindow(application_);
  if (font_ != nullptr) DeleteObject(font_);
  if (background_ != nullptr) DeleteObject(background_);
  if (shcore_ != nullptr) FreeLibrary(shcore_);
}

bool Win32FormWindow::CreateApplicationWindow() {
  if (!RegisterWindowClass(instance_, kApplicationClass, ApplicationProc)) return false;
  const std::wstring title = FromShiftJis(kApplicationTitle);
  // Zero size in the middle of the screen: only its task bar button is seen.
  application_ =
      CreateWindowExW(0, kApplicationClass, title.c_str(),
                      WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS,
                      GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                      nullptr, nullptr, instance_, this);
  return application_ != nullptr;
}

bool Win32FormWindow::CreateForm() {
  if (application_ == nullptr) return false;
  if (!RegisterWindowClass(instance_, kFormClass, FormProc)) return false;
  background_ = CreateSolidBrush(kBackground);

  // Created at the designed position, which gives it that monitor's dpi;
  // LayOut sizes it for that dpi.
  const std::wstring caption = FromShiftJis(kFormCaption);
  form_ = CreateWindowExW(kFormExStyle, kFormClass, caption.c_str(), kFormStyle, kFormDesignedLeft,
                          kFormDesignedTop, kFormClientWidth, kFormClientHeight, application_,
                          nullptr, instance_, this);
  if (form_ == nullptr) return false;

  bool firstChoice = true;
  for (std::size_t i = 0; i < FormControls().size(); ++i) {
    const FormControl& control = FormControls()[i];
    const ControlClass kind = ClassOf(control, firstChoice);
    if (control.Kind == FormControlKind::RadioButton) firstChoice = false;
    const std::wstring text = FromShiftJis(control.Caption);
    controls_[i] = CreateWindowExW(
        kind.exStyle, kind.className, text.c_str(), WS_CHILD | WS_VISIBLE | kind.style,
        control.Bounds.Left, control.Bounds.Top, control.Bounds.Width, control.Bounds.Height, form_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.Id)), instance_, nullptr);
    if (controls_[i] == nullptr) return false;
  }
  LayOut(DpiOfWindow(form_));
  SetRadioIndex(0);
  return true;
}

// The controls at their places for dpi, in a font of that size, and the
// form's client area, its left and top edges kept.
void Win32FormWindow::LayOut(std::uint32_t dpi) {
  const FormLayout layout = FormLayoutForDpi(dpi);
  const HFONT font = CreateFormFont(layout.FontHeight);
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i] == nullptr) continue;
    const PixelRect& bounds = layout.Bounds[i];
    SetWindowPos(controls_[i], nullptr, bounds.Left, bounds.Top, bounds.Width, bounds.Height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  if (font_ != nullptr) DeleteObject(font_);
  font_ = font;
  layoutDpi_ = dpi == 0 ? kDesignDpi : dpi;

  const PixelSize outer = OuterSize(layout, FrameFor(layoutDpi_));
  SetWindowPos(form_, nullptr, 0, 0, outer.Width, outer.Height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  FitClientArea();
  InvalidateRect(form_, nullptr, TRUE);
}

// The frame that Windows draws may differ from what it predicts (themes,
// Wine); the client size is what must hold.
void Win32FormWindow::FitClientArea() {
  const FormLayout layout = FormLayoutForDpi(layoutDpi_);
  RECT client{};
  RECT window{};
  GetClientRect(form_, &client);
  GetWindowRect(form_, &window);
  const int dx = layout.ClientWidth - (client.right - client.left);
  const int dy = layout.ClientHeight - (client.bottom - client.top);
  if (dx != 0 || dy != 0) {
    SetWindowPos(form_, nullptr, 0, 0, window.right - window.left + dx,
                 window.bottom - window.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

std::uint32_t Win32FormWindow::DpiOfWindow(HWND window) const {
  if (getDpiForWindow_ != nullptr) {
    const UINT dpi = getDpiForWindow_(window);
    if (dpi != 0) return dpi;
  }
  POINT corner{};
  ClientToScreen(window, &corner);
  return DpiAt(corner);
}

// Before Windows 8.1 every monitor has the system's dpi.
std::uint32_t Win32FormWindow::DpiAt(POINT point) const {
  UINT dpiX = 0;
  UINT dpiY = 0;
  if (getDpiForMonitor_ != nullptr &&
      getDpiForMonitor_(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), kMonitorEffectiveDpi,
                        &dpiX, &dpiY) == S_OK &&
      dpiY != 0) {
    return dpiY;
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<std::uint32_t>(dpi) : kDesignDpi;
}

FrameInsets Win32FormWindow::FrameFor(std::uint32_t dpi) const {
  RECT rect{0, 0, 0, 0};
  if (adjustWindowRectExForDpi_ == nullptr ||
      !adjustWindowRectExForDpi_(&rect, kFormStyle, FALSE, kFormExStyle, dpi)) {
    rect = {0, 0, 0, 0};
    AdjustWindowRectEx(&rect, kFormStyle, FALSE, kFormExStyle);
  }
  return {-rect.left, -rect.top, rect.right, rect.bottom};
}

HWND Win32FormWindow::ControlHandle(int id) const {
  for (std::size_t i = 0; i < FormControls().size(); ++i) {
    if (FormControls()[i].Id == id) return controls_[i];
  }
  return nullptr;
}

void Win32FormWindow::ShowFirstTime() {
  if (form_ == nullptr) return;
  if (handlers_ != nullptr) {
    try {
      handlers_->FormShow(nullptr);
    } catch (...) {
      // The joins end in the result or "hq" inside FormShow; what else
      // escapes it (memory running out while the settings load) leaves the
      // dialog as designed, which the user can still cancel.
    }
  }
  shown_ = true;
  if (closeRequested_ || startMinimised_) return;
  ShowWindow(application_, SW_SHOWNA);
  ShowWindow(form_, SW_SHOW);
  SetForegroundWindow(form_);
  FocusFirstControl();
}

bool Win32FormWindow::TranslateDialogMessage(MSG& message) {
  return form_ != nullptr && IsDialogMessageW(form_, &message);
}

void Win32FormWindow::Minimise() {
  if (application_ == nullptr) return;
  if (!shown_) {
    // Before the first show: the form stays hidden, and the application
    // window appears minimised, without taking the focus from the host.
    startMinimised_ = true;
    ShowWindow(application_, SW_SHOWMINNOACTIVE);
    return;
  }
  MinimiseToApplication();
}

void Win32FormWindow::MoveTo(std::int32_t left, std::int32_t top) {
  if (form_ == nullptr) return;
  SetWindowPos(form_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::int32_t Win32FormWindow::OuterWidth() {
  if (form_ == nullptr) return 0;
  const ScreenPoint cursor = platform_.CursorPosition();
  const std::uint32_t dpi = DpiAt({cursor.X, cursor.Y});
  if (dpi != layoutDpi_) {
    // Laid out for that monitor, then put on it (still hidden), so that
    // Windows gives the form its dpi and draws the frame it will have there.
    LayOut(dpi);
    const PixelRect rect = FormRectAtCursor(cursor, dpi, FrameFor(dpi));
    SetWindowPos(form_, nullptr, rect.Left, rect.Top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    FitClientArea();
  }
  RECT window{};
  if (!GetWindowRect(form_, &window)) return 0;
  return window.right - window.left;
}

void Win32FormWindow::SetRadioIndex(std::int32_t index) {
  const HWND horizontal = ControlHandle(kIdRadioHorizontal);
  const HWND vertical = ControlHandle(kIdRadioVertical);
  if (horizontal == nullptr || vertical == nullptr) return;
  SendMessageW(horizontal, BM_SETCHECK, index == 0 ? BST_CHECKED : BST_UNCHECKED, 0);
  SendMessageW(vertical, BM_SETCHECK, index > 0 ? BST_CHECKED : BST_UNCHECKED, 0);
  UpdateRadioTabStops();
}

std::int32_t Win32FormWindow::RadioIndex() {
  if (SendMessageW(ControlHandle(kIdRadioHorizontal), BM_GETCHECK, 0, 0) == BST_CHECKED) return 0;
  if (SendMessageW(ControlHandle(kIdRadioVertical), BM_GETCHECK, 0, 0) == BST_CHECKED) return 1;
  return -1;
}

void Win32FormWindow::SetEditText(std::string_view text) {
  const HWND edit = ControlHandle(kIdEdit1);
  if (edit == nullptr) return;
  // Shown whole: the byte limit is for the user's edits only.
  settingEdit1_ = true;
  SetWindowTextW(edit, FromShiftJis(text).c_str());
  settingEdit1_ = false;
  acceptedEdit1_ = WindowText(edit);
  programEdit1Text_ = acceptedEdit1_;
  programEdit1Bytes_.assign(text);
}

std::string Win32FormWindow::EditText() {
  const HWND edit = ControlHandle(kIdEdit1);
  if (edit == nullptr) return programEdit1Bytes_;
  return DelimiterToStore(WindowText(edit), programEdit1Text_, programEdit1Bytes_,
                          CharacterToShiftJis);
}

void Win32FormWindow::Close() {
  if (closeRequested_ || form_ == nullptr) return;
  closeRequested_ = true;
  PostMessageW(form_, kCloseMessage, 0, 0);
}

// Both windows carry their Win32FormWindow in GWLP_USERDATA from
// WM_NCCREATE on; handle is the member that holds the window. WM_NCDESTROY,
// the last message, still reaches onMessage; then both are forgotten.
LRESULT Win32FormWindow::Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                               HWND Win32FormWindow::*handle,
                               LRESULT (Win32FormWindow::*onMessage)(UINT, WPARAM,
                                                                     LPARAM)) noexcept {
  return Guarded(
      [&]() -> LRESULT {
        if (message == WM_NCCREATE) {
          const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
          auto* self = static_cast<Win32FormWindow*>(create->lpCreateParams);
          SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
          self->*handle = window;
        }
        auto* self = reinterpret_cast<Win32FormWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
        const LRESULT result = (self->*onMessage)(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
          SetWindowLongPtrW(window, GWLP_USERDATA, 0);
          self->*handle = nullptr;
        }
        return result;
      },
      0);
}

LRESULT CALLBACK Win32FormWindow::ApplicationProc(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) noexcept {
  return Route(window, message, wParam, lParam, &Win32FormWindow::application_,
               &Win32FormWindow::OnApplicationMessage);
}

LRESULT CALLBACK Win32FormWindow::FormProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) noexcept {
  return Route(window, message, wParam, lParam, &Win32FormWindow::form_,
               &Win32FormWindow::OnFormMessage);
}

LRESULT Win32FormWindow::OnApplicationMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND self = application_;
  switch (message) {
    case WM_SIZE:
      if (wParam == SIZE_RESTORED) RestoreFromApplication();
      break;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && form_ != nullptr && IsWindowVisible(form_)) {
        PostMessageW(self, kActivateFormMessage, 0, 0);
      }
      break;
    case kActivateFormMessage:
      if (form_ != nullptr && IsWindowVisible(form_)) SetActiveWindow(form_);
      return 0;
    case WM_SETTINGCHANGE:
      // The user may change the decimal symbol while we run.
      SetDecimalSeparator(platform_.DecimalSymbol());
      break;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(self, message, wParam, lParam);
}

LRESULT Win32FormWindow::OnFormMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam));
    case DM_GETDEFID:
      return MAKELONG(kIdButton1, DC_HASDEFID);
    case WM_NEXTDLGCTL:
      return OnNextDialogControl(wParam, LOWORD(lParam) != 0);
    case WM_ACTIVATE:
      return OnFormActivate(LOWORD(wParam) != WA_INACTIVE);
    case WM_ERASEBKGND:
      return OnEraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_CTLCOLORSTATIC:
      return OnStaticColor(reinterpret_cast<HDC>(wParam));
    case WM_LBUTTONDOWN:
      return OnLeftButtonDown(PointOf(lParam));
    case WM_LBUTTONUP:
      return OnLeftButtonUp(PointOf(lParam));
    case WM_CAPTURECHANGED:
      return OnCaptureChanged();
    case WM_SYSCOMMAND:
      return OnFormSystemCommand(wParam, lParam);
    case WM_CLOSE:
      return OnCloseBox();
    case kCloseMessage:
      return OnCloseMessage();
    case WM_NCDESTROY:
      return OnFormDestroyed(wParam, lParam);
    case kDpiChangedMessage:
      return OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
    case kGetDpiScaledSizeMessage:
      return OnGetDpiScaledSize(static_cast<std::uint32_t>(wParam),
                                *reinterpret_cast<SIZE*>(lParam));
    default:
      return DefWindowProcW(form_, message, wParam, lParam);
  }
}

LRESULT Win32FormWindow::OnCommand(int id, int code) {
  if (id == kIdEdit1) {
    if (code == EN_UPDATE) OnEdit1Update();
    return 0;
  }
  if (code != BN_CLICKED) return 0;
  if (id == kIdRadioHorizontal || id == kIdRadioVertical) {
    UpdateRadioTabStops();
    return 0;
  }
  // Nothing more happens once the form is closing: a second Enter must not
  // save again.
  if (closeRequested_ || handlers_ == nullptr) return 0;
  if (id == kIdButton1) handlers_->Button1Click(nullptr);
  if (id == kIdButton2) handlers_->Button2Click(nullptr);
  return 0;
}

// The dialog manager asks for this on mnemonics of the group box: the focus
// goes to the control given, or to the previous or next tab stop.
LRESULT Win32FormWindow::OnNextDialogControl(WPARAM target, bool isHandle) {
  const HWND next =
      isHandle ? reinterpret_cast<HWND>(target) : GetNextDlgTabItem(form_, GetFocus(), target != 0);
  if (next != nullptr) SetFocus(next);
  return 0;
}

LRESULT Win32FormWindow::OnFormActivate(bool active) {
  if (active) {
    RestoreFocus();
  } else {
    SaveFocus();
  }
  return 0;
}

LRESULT Win32FormWindow::OnEraseBackground(HDC dc) {
  RECT client{};
  GetClientRect(form_, &client);
  FillRect(dc, &client, background_);
  return 1;
}

LRESULT Win32FormWindow::OnStaticColor(HDC dc) {
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, kBackground);
  return reinterpret_cast<LRESULT>(background_);
}

// A click on the form itself, not on a control, is a FormClick once the
// button comes up inside the client area.
LRESULT Win32FormWindow::OnLeftButtonDown(POINT point) {
  if (closeRequested_) return 0;
  formClickPending_ = true;
  for (const PixelRect& bounds : FormLayoutForDpi(layoutDpi_).Bounds) {
    if (bounds.Contains(point.x, point.y)) formClickPending_ = false;
  }
  if (formClickPending_) SetCapture(form_);
  return 0;
}

LRESULT Win32FormWindow::OnLeftButtonUp(POINT point) {
  if (!formClickPending_) return 0;
  formClickPending_ = false;
  ReleaseCapture();
  RECT client{};
  GetClientRect(form_, &client);
  if (PtInRect(&client, point) && handlers_ != nullptr) handlers_->FormClick(nullptr);
  return 0;
}

LRESULT Win32FormWindow::OnCaptureChanged() {
  formClickPending_ = false;
  return 0;
}

LRESULT Win32FormWindow::OnFormSystemCommand(WPARAM command, LPARAM lParam) {
  if ((command & 0xFFF0) != SC_MINIMIZE) {
    return DefWindowProcW(form_, WM_SYSCOMMAND, command, lParam);
  }
  MinimiseToApplication();
  return 0;
}

LRESULT Win32FormWindow::OnCloseBox() {
  Close();
  return 0;
}

LRESULT Win32FormWindow::OnCloseMessage() {
  if (application_ != nullptr) DestroyWindow(application_);
  return 0;
}

LRESULT Win32FormWindow::OnFormDestroyed(WPARAM wParam, LPARAM lParam) {
  controls_.fill(nullptr);
  return DefWindowProcW(form_, WM_NCDESTROY, wParam, lParam);
}

// Dragged to a monitor of another scale: laid out again where Windows
// suggests. A form already laid out for that dpi (sized for the monitor
// under the cursor, then placed there) keeps its place.
LRESULT Win32FormWindow::OnDpiChanged(std::uint32_t dpi, const RECT& suggested) {
  if (dpi == layoutDpi_) {
    FitClientArea();
    return 0;
  }
  SetWindowPos(form_, nullptr, suggested.left, suggested.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  LayOut(dpi);
  return 0;
}

// Asked while the form is dragged across monitors, so that the rectangle
// Windows then suggests has the form's size at the new dpi.
LRESULT Win32FormWindow::OnGetDpiScaledSize(std::uint32_t dpi, SIZE& size) {
  const PixelSize outer = OuterSize(FormLayoutForDpi(dpi), FrameFor(dpi));
  size = {outer.Width, outer.Height};
  return TRUE;
}

void Win32FormWindow::OnEdit1Update() {
  if (settingEdit1_) return;
  const HWND edit = ControlHandle(kIdEdit1);
  EditLimitResult limited =
      LimitInsertedBytes(acceptedEdit1_, WindowText(edit), kEdit1ByteLimit, CharacterToShiftJis);
  if (limited.Cut) {
    settingEdit1_ = true;
    SetWindowTextW(edit, Wide(limited.Text).c_str());
    settingEdit1_ = false;
    SendMessageW(edit, EM_SETSEL, limited.CaretUnits, limited.CaretUnits);
    MessageBeep(MB_OK);
  }
  acceptedEdit1_ = std::move(limited.Text);
}

void Win32FormWindow::MinimiseToApplication() {
  if (form_ == nullptr || application_ == nullptr) return;
  SaveFocus();
  ShowWindow(form_, SW_HIDE);
  ShowWindow(application_, SW_MINIMIZE);
}

void Win32FormWindow::RestoreFromApplication() {
  if (!shown_ || closeRequested_ || form_ == nullptr || IsWindowVisible(form_)) return;
  ShowWindow(form_, SW_SHOW);
  SetForegroundWindow(form_);
  RestoreFocus();
}

// The focus of a form that goes inactive or is minimised comes back when it
// returns; a control that is gone gives way to the radio group.
void Win32FormWindow::SaveFocus() {
  const HWND focus = GetFocus();
  if (focus != nullptr && IsChild(form_, focus)) focusBeforeDeactivation_ = focus;
}

void Win32FormWindow::RestoreFocus() {
  if (focusBeforeDeactivation_ != nullptr && IsWindow(focusBeforeDeactivation_)) {
    SetFocus(focusBeforeDeactivation_);
  } else {
    FocusFirstControl();
  }
}

HWND Win32FormWindow::CheckedRadio() const {
  const HWND vertical = ControlHandle(kIdRadioVertical);
  if (vertical != nullptr && SendMessageW(vertical, BM_GETCHECK, 0, 0) == BST_CHECKED) {
    return vertical;
  }
  return ControlHandle(kIdRadioHorizontal);
}

void Win32FormWindow::FocusFirstControl() {
  const HWND first = CheckedRadio();
  if (first != nullptr) SetFocus(first);
}

void Win32FormWindow::UpdateRadioTabStops() {
  // Tab reaches the radio group at its marked choice, the first when none
  // is marked.
  const HWND target = CheckedRadio();
  for (const int id : {kIdRadioHorizontal, kIdRadioVertical}) {
    const HWND radio = ControlHandle(id);
    if (radio == nullptr) continue;
    LONG_PTR style = GetWindowLongPtrW(radio, GWL_STYLE);
    style = radio == target ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    SetWindowLongPtrW(radio, GWL_STYLE, style);
  }
}
