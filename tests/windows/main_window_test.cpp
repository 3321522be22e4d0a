// The main window, created in this process: layout, styles, fonts, colours, focus and timers.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <oleacc.h>

#include "main_window/control_table.h"
#include "support/window_fixture.h"

namespace {

// Stands in for Windows' high-contrast setting, which Wine cannot turn on.
bool g_high_contrast = false;
bool test_high_contrast() { return g_high_contrast; }

struct MainWindowTest : InProcessWindowTest {
  int dpi_x = 0, dpi_y = 0;

  void SetUp() override {
    g_high_contrast = false;
    create({.high_contrast_on = test_high_contrast});  // no messages pumped yet: the boxes hold their design-time texts
    HDC screen = GetDC(nullptr);
    dpi_x = GetDeviceCaps(screen, LOGPIXELSX);
    dpi_y = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }

  HWND operator[](Control id) const { return window->control(id); }

  RECT client_rect_of(HWND child) const {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, window->hwnd(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  // A key pressed in the focused control, delivered by the program's own message loop, which
  // runs until the key and everything it caused have been handled.
  void press(WPARAM key, bool shift = false) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    HWND focus = GetFocus();
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
    PostQuitMessage(0);
    run_message_loop(window->hwnd());
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
  }
  void type_keys(const std::wstring& text) {
    HWND focus = GetFocus();
    for (wchar_t character : text) PostMessageW(focus, WM_CHAR, character, 1);
    PostQuitMessage(0);
    run_message_loop(window->hwnd());
  }
};

}  // namespace

TEST_F(MainWindowTest, HasItsTitleFrameAndClientSize) {
  EXPECT_EQ(window_text(window->hwnd()), L"Varnok Shutdon Manager");
  RECT client;
  GetClientRect(window->hwnd(), &client);
  EXPECT_EQ(client.right, twips_to_pixels(4890, dpi_x));
  EXPECT_EQ(client.bottom, twips_to_pixels(4185, dpi_y));
  if (dpi_x == 96 && dpi_y == 96) {
    EXPECT_EQ(client.right, 326);
    EXPECT_EQ(client.bottom, 279);
  }
  // Exactly a plain top-level window's: Windows adds the clipping of siblings and the raised
  // edge of a captioned frame itself. Anything more changes what the user sees (a dialog's
  // modal frame drops the title bar's icon; a tool window, the taskbar entry).
  EXPECT_EQ(GetWindowLongPtrW(window->hwnd(), GWL_STYLE), WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPSIBLINGS);
  EXPECT_EQ(GetWindowLongPtrW(window->hwnd(), GWL_EXSTYLE), WS_EX_WINDOWEDGE);
  EXPECT_EQ(GetWindow(window->hwnd(), GW_OWNER), nullptr);
}

TEST_F(MainWindowTest, BuildsEachVisibleControlAsTabled) {
  int visible = 0, hidden = 0;
  for (HWND child = GetWindow(window->hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsWindowVisible(child)) {
      ++visible;
    } else {  // only the label that names the seconds box for a screen reader
      ++hidden;
      EXPECT_EQ(_wcsicmp(class_name(child).c_str(), L"Static"), 0);
    }
  }
  EXPECT_EQ(visible, 17);
  EXPECT_EQ(hidden, 1);

  for (const ControlSpec& spec : kControls) {
    if (spec.kind == ControlKind::Timer) continue;
    SCOPED_TRACE(std::string(spec.name.begin(), spec.name.end()));
    HWND child = (*this)[spec.id];
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetParent(child), window->hwnd());
    EXPECT_EQ(window_text(child), spec.caption);

    const RECT rect = client_rect_of(child);
    EXPECT_EQ(rect.left, twips_to_pixels(spec.rect.left, dpi_x));
    EXPECT_EQ(rect.top, twips_to_pixels(spec.rect.top, dpi_y));
    EXPECT_EQ(rect.right - rect.left, twips_to_pixels(spec.rect.width, dpi_x));
    EXPECT_EQ(rect.bottom - rect.top, twips_to_pixels(spec.rect.height, dpi_y));

    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    const LONG_PTR ex_style = GetWindowLongPtrW(child, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_VISIBLE);
    const std::wstring window_class = class_name(child);
    switch (spec.kind) {
      case ControlKind::Button:
        EXPECT_EQ(_wcsicmp(window_class.c_str(), L"Button"), 0);
        EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);  // never a default button
        EXPECT_TRUE(style & WS_TABSTOP);
        break;
      case ControlKind::TextBox:
        EXPECT_EQ(_wcsicmp(window_class.c_str(), L"Edit"), 0);
        EXPECT_FALSE(style & (ES_MULTILINE | ES_READONLY | ES_NUMBER | ES_PASSWORD));
        EXPECT_TRUE(style & ES_AUTOHSCROLL);  // typing is not stopped by the box's width
        EXPECT_TRUE(style & WS_TABSTOP);
        EXPECT_TRUE(ex_style & WS_EX_CLIENTEDGE);
        EXPECT_GE(SendMessageW(child, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
        break;
      case ControlKind::Label:
        EXPECT_EQ(_wcsicmp(window_class.c_str(), L"Static"), 0);
        EXPECT_EQ(style & SS_TYPEMASK, SS_LEFT);  // wraps at word boundaries
        EXPECT_FALSE(style & WS_TABSTOP);
        break;
      case ControlKind::Timer:
        break;
    }
    if (spec.kind == ControlKind::Button) {
      EXPECT_TRUE(style & BS_MULTILINE);  // a caption wider than the button wraps
    }
  }
}

// Label4 has a font of its own; every other control shares the window's MS Sans Serif.
TEST_F(MainWindowTest, EachControlHasItsFont) {
  const auto window_font = SendMessageW((*this)[Control::Command1], WM_GETFONT, 0, 0);
  for (const ControlSpec& spec : kControls) {
    if (spec.kind == ControlKind::Timer) continue;
    SCOPED_TRACE(std::string(spec.name.begin(), spec.name.end()));
    const auto font = SendMessageW((*this)[spec.id], WM_GETFONT, 0, 0);
    EXPECT_EQ(font == window_font, spec.id != Control::Label4);
    LOGFONTW logfont{};
    ASSERT_EQ(GetObjectW(reinterpret_cast<HFONT>(font), sizeof logfont, &logfont), static_cast<int>(sizeof logfont));
    EXPECT_STREQ(logfont.lfFaceName, spec.id == Control::Label4 ? L"Microsoft Sans Serif" : L"MS Sans Serif");
    EXPECT_EQ(logfont.lfHeight, -MulDiv(825, dpi_y, 7200));  // 8.25 points on this screen
    if (dpi_y == 96) {
      EXPECT_EQ(logfont.lfHeight, -11);
    }
    EXPECT_EQ(logfont.lfWeight, 400);
    EXPECT_FALSE(logfont.lfItalic || logfont.lfUnderline || logfont.lfStrikeOut);
    EXPECT_EQ(logfont.lfCharSet, 0);
  }
}

// Every caption, label and initial box text is laid out as its control lays it out, in the
// font the control really uses, and must stay inside the control's content area.
TEST_F(MainWindowTest, EveryTextFitsItsControl) {
  HDC dc = GetDC(window->hwnd());
  // Without the prefix's own fonts every face falls back to a wider one, and the window
  // would not look as it does on Windows: the layout is checked in the face it was drawn for.
  SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW((*this)[Control::Command1], WM_GETFONT, 0, 0)));
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  EXPECT_STREQ(face, L"MS Sans Serif") << "the Wine prefix lacks Wine's own fonts";

  std::printf("%-10s %-22s %-9s %s\n", "control", "font face", "text", "content area");
  for (const ControlSpec& spec : kControls) {
    if (spec.kind == ControlKind::Timer) continue;
    HWND child = (*this)[spec.id];
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
    GetTextFaceW(dc, LF_FACESIZE, face);
    const std::wstring text = window_text(child);
    RECT content{};
    SIZE extent{};
    if (spec.kind == ControlKind::TextBox) {
      // A single line, scrolled rather than wrapped, inside the box's formatting rectangle.
      SendMessageW(child, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&content));
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    } else {
      GetClientRect(child, &content);
      if (spec.kind == ControlKind::Button)  // inside the raised border
        InflateRect(&content, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
      const bool wraps = spec.kind == ControlKind::Label || (GetWindowLongPtrW(child, GWL_STYLE) & BS_MULTILINE);
      RECT laid_out{0, 0, content.right - content.left, 0};
      DrawTextW(dc, text.c_str(), -1, &laid_out,
                DT_CALCRECT | DT_NOPREFIX | (wraps ? DT_WORDBREAK : DT_SINGLELINE));
      extent = {laid_out.right, laid_out.bottom};
    }
    const SIZE box{content.right - content.left, content.bottom - content.top};
    std::printf("%-10ls %-22ls %3ldx%-5ld %ldx%ld\n", std::wstring(spec.name).c_str(), face, extent.cx, extent.cy,
                box.cx, box.cy);
    EXPECT_TRUE(extent.cx <= box.cx && extent.cy <= box.cy)
        << std::string(spec.name.begin(), spec.name.end()) << ": " << extent.cx << "x" << extent.cy
        << " does not fit " << box.cx << "x" << box.cy;
  }
  ReleaseDC(window->hwnd(), dc);
}

namespace {

// A dark contrast theme's face and text colours, set for as long as it lives; the old ones come
// back when it goes.
// Its button text differs from its window text, as a user's own theme may have it: a label must
// take the text colour that belongs with the face it stands on.
constexpr COLORREF kThemeFace = RGB(0, 0, 0), kThemeText = RGB(255, 255, 255), kThemeButtonText = RGB(255, 255, 0);
class ContrastColours {
 public:
  ContrastColours() { SetSysColors(3, kElements, kTheme); }
  ~ContrastColours() { SetSysColors(3, kElements, old_); }

 private:
  static constexpr int kElements[] = {COLOR_BTNFACE, COLOR_WINDOWTEXT, COLOR_BTNTEXT};
  static constexpr COLORREF kTheme[] = {kThemeFace, kThemeText, kThemeButtonText};
  const COLORREF old_[3] = {GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_BTNTEXT)};
};

// How often each colour stands in a rectangle of the window's client area, as painted.
std::map<COLORREF, int> colours_in(HWND window, const RECT& rect) {
  HDC dc = GetDC(window);
  std::map<COLORREF, int> counts;
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left; x < rect.right; ++x) ++counts[GetPixel(dc, x, y)];
  ReleaseDC(window, dc);
  return counts;
}

COLORREF most_common(const std::map<COLORREF, int>& counts) {
  return std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) { return a.second < b.second; })->first;
}

}  // namespace

// The design's cyan behind everything and red for Label4, unless Windows' high-contrast mode
// is on: then the window and every label take one pair of the theme's colours, button text on
// button face, from creation on, and a switch either way repaints at once. (Wine cannot turn
// high contrast on: the setting is stood in for, and the theme's colours are set with
// SetSysColors.)
TEST_F(MainWindowTest, TheWindowAndItsLabelsPaintInTheDesignsColoursOrInAContrastTheme) {
  const ContrastColours theme;
  const struct {
    const char* what;
    bool high_contrast;
    UINT message;
    WPARAM wparam;
  } rows[] = {
      {"off, as created", false, 0, 0},
      {"on, as created", true, 0, 0},  // a user who runs a contrast theme already
      {"turned off", false, WM_SYSCOLORCHANGE, 0},
      {"turned on", true, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    g_high_contrast = row.high_contrast;
    if (row.message) {
      SendMessageW(window->hwnd(), row.message, row.wparam, 0);
    } else {
      window.reset();
      create({.high_contrast_on = test_high_contrast});
    }
    UpdateWindow(window->hwnd());  // nothing is invalidated by hand: the message must do it
    RECT client;
    GetClientRect(window->hwnd(), &client);
    const RECT corner{client.right - 4, client.bottom - 4, client.right, client.bottom};
    const COLORREF background = row.high_contrast ? kThemeFace : RGB(0, 255, 255);
    EXPECT_EQ(most_common(colours_in(window->hwnd(), corner)), background);
    for (Control label : {Control::Label1, Control::Label2, Control::Label3, Control::Label4}) {
      SCOPED_TRACE(std::wstring{control_spec(label).name});
      const COLORREF text = row.high_contrast               ? kThemeButtonText
                            : label == Control::Label4 ? RGB(255, 0, 0)
                                                       : kThemeText;
      const std::map<COLORREF, int> painted = colours_in(window->hwnd(), client_rect_of((*this)[label]));
      EXPECT_EQ(most_common(painted), background);
      EXPECT_GT(painted.count(text), 0u) << "no pixel of the text colour";
    }
  }
  // One brush for every paint: a fresh one each time would leak.
  HDC dc = GetDC(window->hwnd());
  const auto label_brush = [&] {
    return SendMessageW(window->hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                        reinterpret_cast<LPARAM>((*this)[Control::Label1]));
  };
  EXPECT_EQ(label_brush(), label_brush());
  ReleaseDC(window->hwnd(), dc);
}

TEST_F(MainWindowTest, TabAndShiftTabCycleThroughTheFocusOrderStartingInText1) {
  pump_messages_for(50);
  EXPECT_EQ(GetFocus(), (*this)[Control::Text1]);
  const std::vector<Control> order = focus_order();
  for (std::size_t step = 1; step <= order.size(); ++step) {
    press(VK_TAB);
    EXPECT_EQ(GetFocus(), (*this)[order[step % order.size()]]) << "after Tab " << step;
  }
  for (std::size_t step = 1; step <= order.size(); ++step) {
    press(VK_TAB, true);
    EXPECT_EQ(GetFocus(), (*this)[order[(order.size() - step) % order.size()]]) << "after Shift+Tab " << step;
  }
}

// What a screen reader announces for each box. Microsoft documents the standard proxy's rule:
// an edit box is named after the static text found by walking back through the windows before
// it (GW_HWNDPREV), a search that only a control with both WS_GROUP and WS_TABSTOP stops, and a
// hidden static names the box all the same. So each box's label (or the hidden one) must stand
// immediately before it: checked here, and that the proxy reads that name.
TEST_F(MainWindowTest, AScreenReaderNamesEachBoxForWhatItAsks) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  // Spelled out: Wine refuses mingw-w64's linked IID_IAccessible with E_NOINTERFACE.
  const IID accessible{0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
  const struct {
    Control box;
    const wchar_t* name;
  } rows[] = {
      {Control::Text1, L"Enter Like This Format 22:00:00"},
      {Control::Text2, L"Select Date"},
      {Control::Text3, L"Enter Second If You want to countdown"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::wstring{control_spec(row.box).name});
    HWND label = GetWindow((*this)[row.box], GW_HWNDPREV);
    EXPECT_EQ(_wcsicmp(class_name(label).c_str(), L"Static"), 0);
    EXPECT_EQ(window_text(label), row.name);
    IAccessible* object = nullptr;
    ASSERT_EQ(CreateStdAccessibleObject((*this)[row.box], OBJID_CLIENT, accessible, reinterpret_cast<void**>(&object)),
              S_OK);
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(self, &name), S_OK);
    EXPECT_EQ(std::wstring(name ? name : L""), row.name);
    SysFreeString(name);
    object->Release();
  }
  CoUninitialize();
}

// No button is a default or a cancel button: Enter and Esc in a box press nothing. Enter on a
// button that Tab has reached presses that button, as the dialog manager does on Windows.
TEST_F(MainWindowTest, EnterPressesOnlyAButtonTabbedToAndEscNothing) {
  ASSERT_TRUE(fake_shutdown_is_in_place());
  FakeShutdownLog log;
  for (Control box : {Control::Text1, Control::Text2, Control::Text3}) {
    SetFocus((*this)[box]);
    press(VK_RETURN);
    press(VK_ESCAPE);
    EXPECT_EQ(GetFocus(), (*this)[box]);
  }
  SetFocus((*this)[Control::Command4]);
  press(VK_TAB);
  ASSERT_EQ(GetFocus(), (*this)[Control::Command5]);
  press(VK_ESCAPE);
  press(VK_RETURN);
  log.wait_for(1);
  pump_messages_for(300);  // the boxes' keys and Esc started nothing, Enter on the button one
  EXPECT_EQ(log.records(), (std::vector<StartRecord>{{true, L"shutdown -s -f"}}));
  EXPECT_FALSE(window->timer_enabled(Control::Timer1) || window->timer_enabled(Control::Timer2) ||
               window->timer_enabled(Control::Timer3));
  EXPECT_TRUE(IsWindow(window->hwnd()));
}

namespace {

// As Windows may do while it minimises a window: the focus leaves the control before the
// window hears of its new size.
LRESULT CALLBACK take_the_focus_before_minimized_size(int code, WPARAM wparam, LPARAM lparam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lparam);
  if (code == HC_ACTION && call->message == WM_SIZE && call->wParam == SIZE_MINIMIZED) SetFocus(nullptr);
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

// Whichever way the window is left and come back to, the focus returns to the control that
// had it, and what the user types next lands there.
TEST_F(MainWindowTest, FocusComesBackToItsControlWhenTheWindowIsComeBackTo) {
  HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100,
                               nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  const struct {
    const char* how;
    Control focused;
    std::function<void()> leave, come_back;
  } ways[] = {
      {"another window activated", Control::Command3, [&] { SetActiveWindow(other); },
       [&] { SetActiveWindow(window->hwnd()); }},
      {"minimised and restored from the system menu", Control::Text3,
       [&] { SendMessageW(window->hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0); },
       [&] { SendMessageW(window->hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0); }},
      {"minimised and restored by ShowWindow", Control::Text2,
       [&] { ShowWindow(window->hwnd(), SW_MINIMIZE); }, [&] { ShowWindow(window->hwnd(), SW_RESTORE); }},
      {"minimised from the title bar, the focus gone before WM_SIZE", Control::Command8,
       [&] {
         HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, take_the_focus_before_minimized_size, nullptr,
                                        GetCurrentThreadId());
         SendMessageW(window->hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
         UnhookWindowsHookEx(hook);
       },
       [&] { SendMessageW(window->hwnd(), WM_SYSCOMMAND, SC_RESTORE, 0); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.how);
    SetFocus((*this)[way.focused]);
    way.leave();
    pump_messages_for(50);
    way.come_back();
    pump_messages_for(50);
    EXPECT_EQ(GetFocus(), (*this)[way.focused]);
    if (control_spec(way.focused).kind == ControlKind::TextBox) {
      type(way.focused, L"");
      const std::wstring time = window->text(Control::Text1);
      type_keys(L"30");
      EXPECT_EQ(window->text(way.focused), L"30");
      EXPECT_EQ(window->text(Control::Text1), time);
    }
  }
  DestroyWindow(other);
}

TEST_F(MainWindowTest, MaximisingOrResizingMovesNoControl) {
  std::vector<RECT> before;
  for (const ControlSpec& spec : kControls)
    if (spec.kind != ControlKind::Timer) before.push_back(client_rect_of((*this)[spec.id]));
  for (int show : {SW_MAXIMIZE, SW_RESTORE, SW_MINIMIZE, SW_RESTORE}) {
    ShowWindow(window->hwnd(), show);
    pump_messages_for(20);
  }
  SetWindowPos(window->hwnd(), nullptr, 0, 0, 150, 120, SWP_NOMOVE | SWP_NOZORDER);
  pump_messages_for(20);
  std::size_t i = 0;
  for (const ControlSpec& spec : kControls) {
    if (spec.kind == ControlKind::Timer) continue;
    const RECT now = client_rect_of((*this)[spec.id]);
    EXPECT_TRUE(EqualRect(&now, &before[i++])) << std::string(spec.name.begin(), spec.name.end());
  }
}

TEST_F(MainWindowTest, TimersStartAsDesignedAndADisabledOneNeverTicks) {
  EXPECT_FALSE(window->timer_enabled(Control::Timer1));
  EXPECT_FALSE(window->timer_enabled(Control::Timer2));
  EXPECT_FALSE(window->timer_enabled(Control::Timer3));
  ASSERT_TRUE(fake_shutdown_is_in_place());
  FakeShutdownLog log;
  pump_messages_for(200);
  EXPECT_FALSE(window->timer_enabled(Control::Timer4));  // the filler ran once and stopped
  // Stopped for real, not only skipped: no disabled timer exists to be killed.
  for (Control timer : {Control::Timer1, Control::Timer2, Control::Timer3, Control::Timer4})
    EXPECT_FALSE(KillTimer(window->hwnd(), static_cast<UINT_PTR>(control_id(timer))));
  // With the boxes holding the current second, only an enabled watcher could start anything.
  pump_messages_for(300);
  EXPECT_TRUE(log.records().empty());
}

// No handler waits: a click takes as long with a command that runs on for seconds as with one
// that ends at once.
TEST_F(MainWindowTest, AClickReturnsWhileTheCommandStillRuns) {
  ASSERT_TRUE(fake_shutdown_is_in_place());
  const auto timed_click = [&] {
    const ULONGLONG before = GetTickCount64();
    SendMessageW((*this)[Control::Command5], BM_CLICK, 0, 0);
    return GetTickCount64() - before;
  };
  ULONGLONG quick_command = 0;
  {
    FakeShutdownLog log;
    for (int i = 0; i < 3; ++i) quick_command = std::max(quick_command, timed_click());
    ASSERT_EQ(log.wait_for(3).size(), 3u);
  }
  FakeShutdownLog log(2500);
  const ULONGLONG running_command = timed_click();
  EXPECT_LT(running_command, quick_command + 50) << "the click waited for the command";
  ASSERT_EQ(log.wait_for(1).size(), 1u);
  EXPECT_EQ(log.records()[0].command_line, L"shutdown -s -f");
  EXPECT_TRUE(log.finished().empty());
}

TEST_F(MainWindowTest, ClosingIsNeverRefused) {
  SendMessageW((*this)[Control::Command1], BM_CLICK, 0, 0);  // even with a watcher armed
  EXPECT_TRUE(SendMessageW(window->hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
  HWND closed = window->hwnd();
  SendMessageW(closed, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(closed));
  EXPECT_EQ(window->hwnd(), nullptr);
}

namespace {

SIZE icon_size(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {0, 0};
  BITMAP bitmap{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return {bitmap.bmWidth, info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2};
}

}  // namespace

// The title bar and the taskbar show the icon group that the file carries.
TEST(MainWindowIcon, ComesFromTheProgramFilesIconGroup) {
  const std::wstring program = L"" VARNOK_PROGRAM_PATH;
  HMODULE file = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(file, nullptr);
  {
    auto window = MainWindow::create(file, MainWindow::OnDestroy::KeepMessageLoop);
    ASSERT_NE(window, nullptr);
    ASSERT_NE(window->hwnd(), nullptr);
    const auto big = reinterpret_cast<HICON>(GetClassLongPtrW(window->hwnd(), GCLP_HICON));
    const auto small = reinterpret_cast<HICON>(GetClassLongPtrW(window->hwnd(), GCLP_HICONSM));
    ASSERT_NE(big, nullptr);
    ASSERT_NE(small, nullptr);
    const SIZE big_size = icon_size(big), small_size = icon_size(small);
    EXPECT_EQ(big_size.cx, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(big_size.cy, GetSystemMetrics(SM_CYICON));
    EXPECT_EQ(small_size.cx, GetSystemMetrics(SM_CXSMICON));
    EXPECT_EQ(small_size.cy, GetSystemMetrics(SM_CYSMICON));
  }
  FreeLibrary(file);
}
