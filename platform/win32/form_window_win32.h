// Form1 on Windows. Two top-level windows:
// - the application window: zero size, visible, captioned with the
//   application's title, so that the task bar shows that title; it owns the
//   form and stands for the program when minimised;
// - the form: the dialog, built in pixels from the layout table (dialog
//   templates come out in dialog units of whatever font is substituted,
//   which misplaces the controls).
// Minimising hides the form and minimises the application window; restoring
// the application window shows the form again. So a start that FormShow
// minimises never shows the form at all.
//
// Every window is a Unicode one: the captions and the delimiter are code
// page 932 bytes and cross to the window system through code page 932 named
// explicitly, so the dialog reads right whatever the system's code page.
//
// The program is per-monitor DPI aware: the form is the layout table scaled
// to the dpi of the monitor it is on, and sized for the monitor under the
// cursor before FormShow places it there. The functions of newer Windows
// that this needs are looked up at run time, so that the program still
// starts, and joins, on the oldest Windows its manifest names.
//
// The window procedures crack messages and call TForm1's handlers; the byte
// limit of Edit1 and the layout come from the portable logic. Nothing thrown
// leaves a window procedure.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "app/form_layout.h"
#include "machine/form_window.h"
#include "machine/platform.h"

class TForm1;

class Win32FormWindow final : public FormWindow {
 public:
  Win32FormWindow(HINSTANCE instance, Platform& platform);
  ~Win32FormWindow() override;
  Win32FormWindow(const Win32FormWindow&) = delete;
  Win32FormWindow& operator=(const Win32FormWindow&) = delete;

  // The application window, hidden until the form is first shown.
  bool CreateApplicationWindow();
  // The form and its controls, hidden, at the designed position.
  bool CreateForm();
  // The object whose handlers the form's events call; nullptr detaches.
  void Attach(TForm1* form) { handlers_ = form; }
  // Runs FormShow, then shows the windows as it left them: the form normal,
  // or only the application window, minimised. After a close requested
  // inside FormShow nothing is shown.
  void ShowFirstTime();
  // Tab, Enter, Escape and the mnemonics of the form.
  bool TranslateDialogMessage(MSG& message);

  HWND ApplicationHandle() const { return application_; }
  HWND FormHandle() const { return form_; }
  HWND ControlHandle(int id) const;
  // The dpi the form is laid out for.
  std::uint32_t LayoutDpi() const { return layoutDpi_; }

  void Minimise() override;
  void MoveTo(std::int32_t left, std::int32_t top) override;
  // Sizes the form for the monitor under the cursor first: FormShow asks
  // for the width to place the form there.
  std::int32_t OuterWidth() override;
  void SetRadioIndex(std::int32_t index) override;
  std::int32_t RadioIndex() override;
  void SetEditText(std::string_view text) override;
  std::string EditText() override;
  void Close() override;

 private:
  // No exception may cross the system's frames: Route catches every one.
  static LRESULT CALLBACK ApplicationProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept;
  static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept;
  static LRESULT Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                       HWND Win32FormWindow::*handle,
                       LRESULT (Win32FormWindow::*onMessage)(UINT, WPARAM, LPARAM)) noexcept;
  LRESULT OnApplicationMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnFormMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnCommand(int id, int code);
  LRESULT OnNextDialogControl(WPARAM target, bool isHandle);
  LRESULT OnFormActivate(bool active);
  LRESULT OnEraseBackground(HDC dc);
  LRESULT OnStaticColor(HDC dc);
  LRESULT OnLeftButtonDown(POINT point);
  LRESULT OnLeftButtonUp(POINT point);
  LRESULT OnCaptureChanged();
  LRESULT OnFormSystemCommand(WPARAM command, LPARAM lParam);
  LRESULT OnCloseBox();
  LRESULT OnCloseMessage();
  LRESULT OnFormDestroyed(WPARAM wParam, LPARAM lParam);
  LRESULT OnDpiChanged(std::uint32_t dpi, const RECT& suggested);
  LRESULT OnGetDpiScaledSize(std::uint32_t dpi, SIZE& size);
  void LayOut(std::uint32_t dpi);
  void FitClientArea();
  std::uint32_t DpiOfWindow(HWND window) const;
  std::uint32_t DpiAt(POINT point) const;
  FrameInsets FrameFor(std::uint32_t dpi) const;
  void OnEdit1Update();
  void MinimiseToApplication();
  void RestoreFromApplication();
  void SaveFocus();
  void RestoreFocus();
  void FocusFirstControl();
  void UpdateRadioTabStops();
  HWND CheckedRadio() const;

  HINSTANCE instance_;
  Platform& platform_;
  TForm1* handlers_ = nullptr;
  HWND application_ = nullptr;
  HWND form_ = nullptr;
  std::array<HWND, 7> controls_{};  // in the layout table's order
  HFONT font_ = nullptr;
  HBRUSH background_ = nullptr;
  std::uint32_t layoutDpi_ = 0;

  // Looked up at run time; nullptr where Windows is older.
  HMODULE shcore_ = nullptr;
  UINT(WINAPI* getDpiForWindow_)(HWND) = nullptr;
  BOOL(WINAPI* adjustWindowRectExForDpi_)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  HRESULT(WINAPI* getDpiForMonitor_)(HMONITOR, int, UINT*, UINT*) = nullptr;

  // Edit1's text as last accepted: set by the program, or a user's edit
  // after the byte limit.
  std::u16string acceptedEdit1_;
  // What the program last put into Edit1, as bytes and as the box showed it.
  std::string programEdit1Bytes_;
  std::u16string programEdit1Text_;
  bool settingEdit1_ = false;
  HWND focusBeforeDeactivation_ = nullptr;
  bool formClickPending_ = false;
  bool shown_ = false;
  bool startMinimised_ = false;
  bool closeRequested_ = false;
};
