#include "platform/win32/form_window_win32.h"

#include "app/edit_byte_limit.h"
#include "app/form1.h"
#include "app/form_layout.h"
#include "interchange/number_text.h"

namespace {

constexpr char kApplicationClass[] = "TApplication";
constexpr char kFormClass[] = "TForm1";

// Posted by Close: the windows go once the handler that asked has returned.
constexpr UINT kCloseMessage = WM_APP + 1;
// Posted when the application window is activated: the form takes over.
constexpr UINT kActivateFormMessage = WM_APP + 2;

constexpr DWORD kFormStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS;
constexpr DWORD kFormExStyle = 0;

const COLORREF kBackground = RGB(kFormBackgroundRed, kFormBackgroundGreen, kFormBackgroundBlue);

bool RegisterWindowClass(HINSTANCE instance, const char* name, WNDPROC procedure) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.lpszClassName = name;
  return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

struct ControlClass {
  const char* className;
  DWORD style;
  DWORD exStyle;
};

// WS_GROUP starts a new group for the arrow keys: the two choices form one.
ControlClass ClassOf(const FormControl& control, bool firstChoice) {
  switch (control.Kind) {
    case FormControlKind::GroupBox:
      return {"BUTTON", BS_GROUPBOX | WS_GROUP, 0};
    case FormControlKind::RadioButton:
      return {"BUTTON", BS_AUTORADIOBUTTON | (firstChoice ? WS_GROUP | WS_TABSTOP : 0u), 0};
    case FormControlKind::Label:
      return {"STATIC", SS_LEFT | SS_NOPREFIX | WS_GROUP, 0};
    case FormControlKind::Edit:
      return {"EDIT", ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE};
    case FormControlKind::DefaultButton:
      return {"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0};
    case FormControlKind::CancelButton:
      return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0};
  }
  return {"STATIC", 0, 0};
}

POINT PointOf(LPARAM position) {
  return {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
}

bool IsOnControl(POINT point) {
  for (const FormControl& control : FormControls()) {
    if (control.Bounds.Contains(point.x, point.y)) return true;
  }
  return false;
}

template <class Handler>
LRESULT Guarded(Handler handler, LRESULT fallback) {
  try {
    return handler();
  } catch (...) {
    return fallback;
  }
}

}  // namespace

Win32FormWindow::Win32FormWindow(HINSTANCE instance, Platform& platform)
    : instance_(instance), platform_(platform) {}

Win32FormWindow::~Win32FormWindow() {
  if (application_ != nullptr) DestroyWindow(application_);
  if (font_ != nullptr) DeleteObject(font_);
  if (background_ != nullptr) DeleteObject(background_);
}

bool Win32FormWindow::CreateApplicationWindow() {
  if (!RegisterWindowClass(instance_, kApplicationClass, ApplicationProc)) return false;
  const std::string title(kApplicationTitle);
  // Zero size in the middle of the screen: only its task bar button is seen.
  application_ =
      CreateWindowExA(0, kApplicationClass, title.c_str(),
                      WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS,
                      GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                      nullptr, nullptr, instance_, this);
  return application_ != nullptr;
}

bool Win32FormWindow::CreateForm() {
  if (application_ == nullptr) return false;
  if (!RegisterWindowClass(instance_, kFormClass, FormProc)) return false;
  background_ = CreateSolidBrush(kBackground);
  const std::string face(kFormFontFace);
  font_ = CreateFontA(-kFormFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, kShiftJisCharset,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                      DEFAULT_PITCH | FF_DONTCARE, face.c_str());

  RECT outer{0, 0, kFormClientWidth, kFormClientHeight};
  AdjustWindowRectEx(&outer, kFormStyle, FALSE, kFormExStyle);
  const std::string caption(kFormCaption);
  form_ = CreateWindowExA(kFormExStyle, kFormClass, caption.c_str(), kFormStyle, kFormDesignedLeft,
                          kFormDesignedTop, outer.right - outer.left, outer.bottom - outer.top,
                          application_, nullptr, instance_, this);
  if (form_ == nullptr) return false;

  // The frame that Windows draws may differ from what AdjustWindowRectEx
  // predicts (themes, Wine); the client size is what must hold.
  RECT client{};
  RECT window{};
  GetClientRect(form_, &client);
  GetWindowRect(form_, &window);
  const int dx = kFormClientWidth - (client.right - client.left);
  const int dy = kFormClientHeight - (client.bottom - client.top);
  if (dx != 0 || dy != 0) {
    SetWindowPos(form_, nullptr, 0, 0, window.right - window.left + dx,
                 window.bottom - window.top + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  bool firstChoice = true;
  for (std::size_t i = 0; i < FormControls().size(); ++i) {
    const FormControl& control = FormControls()[i];
    const ControlClass kind = ClassOf(control, firstChoice);
    if (control.Kind == FormControlKind::RadioButton) firstChoice = false;
    const std::string text(control.Caption);
    controls_[i] = CreateWindowExA(
        kind.exStyle, kind.className, text.c_str(), WS_CHILD | WS_VISIBLE | kind.style,
        control.Bounds.Left, control.Bounds.Top, control.Bounds.Width, control.Bounds.Height, form_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.Id)), instance_, nullptr);
    if (controls_[i] == nullptr) return false;
    SendMessageA(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  SetRadioIndex(0);
  return true;
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
  RECT window{};
  if (form_ == nullptr || !GetWindowRect(form_, &window)) return 0;
  return window.right - window.left;
}

void Win32FormWindow::SetRadioIndex(std::int32_t index) {
  const HWND horizontal = ControlHandle(kIdRadioHorizontal);
  const HWND vertical = ControlHandle(kIdRadioVertical);
  if (horizontal == nullptr || vertical == nullptr) return;
  SendMessageA(horizontal, BM_SETCHECK, index == 0 ? BST_CHECKED : BST_UNCHECKED, 0);
  SendMessageA(vertical, BM_SETCHECK, index > 0 ? BST_CHECKED : BST_UNCHECKED, 0);
  UpdateRadioTabStops();
}

std::int32_t Win32FormWindow::RadioIndex() {
  if (SendMessageA(ControlHandle(kIdRadioHorizontal), BM_GETCHECK, 0, 0) == BST_CHECKED) return 0;
  if (SendMessageA(ControlHandle(kIdRadioVertical), BM_GETCHECK, 0, 0) == BST_CHECKED) return 1;
  return -1;
}

void Win32FormWindow::SetEditText(std::string_view text) {
  const HWND edit = ControlHandle(kIdEdit1);
  if (edit == nullptr) return;
  // Shown whole: the byte limit is for the user's edits only.
  const std::string value(text);
  settingEdit1_ = true;
  SetWindowTextA(edit, value.c_str());
  settingEdit1_ = false;
  acceptedEdit1_ = WindowText(edit);
}

std::string Win32FormWindow::EditText() {
  const HWND edit = ControlHandle(kIdEdit1);
  return edit != nullptr ? WindowText(edit) : std::string();
}

void Win32FormWindow::Close() {
  if (closeRequested_ || form_ == nullptr) return;
  closeRequested_ = true;
  PostMessageA(form_, kCloseMessage, 0, 0);
}

// Both windows carry their Win32FormWindow in GWLP_USERDATA from
// WM_NCCREATE on; handle is the member that holds the window. WM_NCDESTROY,
// the last message, still reaches onMessage; then both are forgotten.
LRESULT Win32FormWindow::Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                               HWND Win32FormWindow::*handle,
                               LRESULT (Win32FormWindow::*onMessage)(UINT, WPARAM, LPARAM)) {
  return Guarded(
      [&]() -> LRESULT {
        if (message == WM_NCCREATE) {
          const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
          auto* self = static_cast<Win32FormWindow*>(create->lpCreateParams);
          SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
          self->*handle = window;
        }
        auto* self = reinterpret_cast<Win32FormWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
        const LRESULT result = (self->*onMessage)(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
          SetWindowLongPtrA(window, GWLP_USERDATA, 0);
          self->*handle = nullptr;
        }
        return result;
      },
      0);
}

LRESULT CALLBACK Win32FormWindow::ApplicationProc(HWND window, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
  return Route(window, message, wParam, lParam, &Win32FormWindow::application_,
               &Win32FormWindow::OnApplicationMessage);
}

LRESULT CALLBACK Win32FormWindow::FormProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
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
        PostMessageA(self, kActivateFormMessage, 0, 0);
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
  return DefWindowProcA(self, message, wParam, lParam);
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
    default:
      return DefWindowProcA(form_, message, wParam, lParam);
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
  formClickPending_ = !IsOnControl(point);
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
    return DefWindowProcA(form_, WM_SYSCOMMAND, command, lParam);
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
  return DefWindowProcA(form_, WM_NCDESTROY, wParam, lParam);
}

void Win32FormWindow::OnEdit1Update() {
  if (settingEdit1_) return;
  const HWND edit = ControlHandle(kIdEdit1);
  const std::string current = WindowText(edit);
  EditLimitResult limited = LimitInsertedBytes(acceptedEdit1_, current, kEdit1ByteLimit);
  if (limited.Cut) {
    settingEdit1_ = true;
    SetWindowTextA(edit, limited.Text.c_str());
    settingEdit1_ = false;
    // An ANSI edit counts positions in bytes on Windows and in characters
    // under Wine; its line length tells which.
    const auto units = static_cast<std::size_t>(SendMessageA(edit, EM_LINELENGTH, 0, 0));
    const std::size_t caret =
        units == limited.Text.size()
            ? limited.CaretBytes
            : CharacterCount(std::string_view(limited.Text).substr(0, limited.CaretBytes));
    SendMessageA(edit, EM_SETSEL, caret, caret);
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
  if (vertical != nullptr && SendMessageA(vertical, BM_GETCHECK, 0, 0) == BST_CHECKED) {
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
    LONG_PTR style = GetWindowLongPtrA(radio, GWL_STYLE);
    style = radio == target ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    SetWindowLongPtrA(radio, GWL_STYLE, style);
  }
}
