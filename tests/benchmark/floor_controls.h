#pragma once
// The program's child windows without anything of the program in them: the same classes,
// styles, places, sizes and stacking order (the hidden label that names the seconds box
// included), built from the same table, but no text, no font and no handler. A window holding
// them is the floor of the program's start-up: what any window with this design costs, so
// that what the program costs beyond it is its own doing.

#include <windows.h>

#include "main_window/control_class_win32.h"
#include "main_window/control_table.h"

// Created in the window's stacking order: each new child goes to the bottom, so creation
// order is stacking order and nothing has to be moved afterwards.
inline bool create_floor_controls(HWND parent, HINSTANCE instance, int dpi_x, int dpi_y) {
  for (const ChildWindow& child : child_order()) {
    const TwipsRect& rect = control_spec(child.control).rect;  // the hidden label takes its box's place
    const ControlClass window_class =
        child.is_hidden_name ? kHiddenNameClass : control_class(control_spec(child.control).kind);
    const DWORD visible = child.is_hidden_name ? 0 : WS_VISIBLE;
    if (!CreateWindowExW(window_class.ex_style, window_class.name, L"", WS_CHILD | visible | window_class.style,
                         twips_to_pixels(rect.left, dpi_x), twips_to_pixels(rect.top, dpi_y),
                         twips_to_pixels(rect.width, dpi_x), twips_to_pixels(rect.height, dpi_y), parent,
                         nullptr, instance, nullptr))
      return false;
  }
  return true;
}
