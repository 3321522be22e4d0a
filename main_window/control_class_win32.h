#pragma once
// The Win32 window class and styles of each kind of control. The window builds its children
// from it, and the benchmark's floor builds the same children from it.

#include <windows.h>

#include "main_window/control_table.h"

struct ControlClass {
  const wchar_t* name;
  DWORD style;
  DWORD ex_style;
};

inline ControlClass control_class(ControlKind kind) {
  switch (kind) {
    case ControlKind::Button:
      // A caption wider than its button wraps at word boundaries, as the 495-twip-high
      // countdown buttons expect.
      return {L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, 0};
    case ControlKind::TextBox:
      return {L"EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::Label:
      return {L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
    case ControlKind::Timer:
      break;
  }
  return {nullptr, 0, 0};
}

// The label that names a text box without one of its own for a screen reader: never shown.
inline constexpr ControlClass kHiddenNameClass{L"STATIC", SS_LEFT | SS_NOPREFIX, 0};
