#pragma once
// The main window as data: its own properties and its 21 controls in the design's order (the
// window creates its children in child_order(), below).
// Positions and sizes are in twips (1/1440 inch) from the top-left of the client area.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "common/form_state.h"
#include "resources/maker.h"

enum class ControlKind { Button, TextBox, Label, Timer };

struct TwipsRect {
  int left, top, width, height;
};

struct Rgb {
  std::uint8_t red, green, blue;
  friend constexpr bool operator==(Rgb, Rgb) = default;
};

struct FontSpec {
  std::wstring_view face;
  int hundredths_of_point;
  int weight;
  bool italic, underline, strike_out;
  std::uint8_t charset;
};

struct ControlSpec {
  Control id{};
  std::wstring_view name{};
  ControlKind kind{};
  std::wstring_view caption{};
  TwipsRect rect{};                  // timers have none
  int tab_index = -1;                // place in the focus order; timers have none
  int timer_interval_ms = 0;
  bool timer_enabled_at_creation = false;
  const FontSpec* font = nullptr;    // nullptr: the window's font, kForm.font
  std::optional<Rgb> text_colour{};  // labels only; none: the system's window text colour
  // Text boxes only: the label a screen reader names the box after. A box without one is
  // named after its own design-time text.
  std::optional<Control> named_by{};
};

struct FormSpec {
  std::wstring_view title;
  int client_width_twips;
  int client_height_twips;
  Rgb background;
  const FontSpec* font;  // every control without a font of its own uses it
};

inline constexpr Rgb kCyan{0, 255, 255};
inline constexpr Rgb kRed{255, 0, 0};

// The face and size the layout was drawn for: in it the one-line labels and the seconds box's
// sentence fit their boxes, and the 495-twip buttons hold their captions on two lines.
inline constexpr FontSpec kWindowFont{L"MS Sans Serif", 825, 400, false, false, false, 0};
inline constexpr FontSpec kLabel4Font{L"Microsoft Sans Serif", 825, 400, false, false, false, 0};

inline constexpr FormSpec kForm{L"Varnok Shutdon Manager", 4890, 4185, kCyan, &kWindowFont};

#define VARNOK_WIDEN2(s) L##s
#define VARNOK_WIDEN(s) VARNOK_WIDEN2(s)

// clang-format off
inline constexpr std::array<ControlSpec, kControlCount> kControls{{
  {.id = Control::Text3, .name = L"Text3", .kind = ControlKind::TextBox,
   .caption = L"Enter Second If You want to countdown", .rect = {960, 3840, 3015, 285}, .tab_index = 16},
  {.id = Control::Command10, .name = L"Command10", .kind = ControlKind::Button,
   .caption = L"Countdown Logoff", .rect = {3360, 3240, 1215, 495}, .tab_index = 15},
  {.id = Control::Command9, .name = L"Command9", .kind = ControlKind::Button,
   .caption = L"Countdown Restart", .rect = {1800, 3240, 1335, 495}, .tab_index = 14},
  {.id = Control::Command8, .name = L"Command8", .kind = ControlKind::Button,
   .caption = L"Cancel Set Time!", .rect = {3000, 1200, 1575, 375}, .tab_index = 13},
  {.id = Control::Timer4, .name = L"Timer4", .kind = ControlKind::Timer,
   .timer_interval_ms = 1, .timer_enabled_at_creation = true},
  {.id = Control::Command7, .name = L"Command7", .kind = ControlKind::Button,
   .caption = L"Logoff Now", .rect = {3480, 2040, 1335, 375}, .tab_index = 11},
  {.id = Control::Command6, .name = L"Command6", .kind = ControlKind::Button,
   .caption = L"Restart Now", .rect = {2040, 2040, 1215, 375}, .tab_index = 10},
  {.id = Control::Command5, .name = L"Command5", .kind = ControlKind::Button,
   .caption = L"Shutdown Now", .rect = {240, 2040, 1455, 375}, .tab_index = 9},
  {.id = Control::Command4, .name = L"Command4", .kind = ControlKind::Button,
   .caption = L"Countdown Shutdown", .rect = {120, 3240, 1575, 495}, .tab_index = 7},
  {.id = Control::Text2, .name = L"Text2", .kind = ControlKind::TextBox,
   .caption = L"dd", .rect = {240, 1320, 1095, 285}, .tab_index = 5, .named_by = Control::Label2},
  {.id = Control::Command3, .name = L"Command3", .kind = ControlKind::Button,
   .caption = L"Logoff", .rect = {3240, 600, 975, 375}, .tab_index = 4},
  {.id = Control::Command2, .name = L"Command2", .kind = ControlKind::Button,
   .caption = L"Restart", .rect = {3840, 120, 975, 375}, .tab_index = 3},
  {.id = Control::Command1, .name = L"Command1", .kind = ControlKind::Button,
   .caption = L"Shutdown", .rect = {2760, 120, 975, 375}, .tab_index = 2},
  {.id = Control::Text1, .name = L"Text1", .kind = ControlKind::TextBox,
   .caption = L"22:00:00", .rect = {240, 600, 2415, 285}, .tab_index = 1, .named_by = Control::Label1},
  {.id = Control::Timer3, .name = L"Timer3", .kind = ControlKind::Timer, .timer_interval_ms = 1},
  {.id = Control::Timer1, .name = L"Timer1", .kind = ControlKind::Timer, .timer_interval_ms = 1},
  {.id = Control::Timer2, .name = L"Timer2", .kind = ControlKind::Timer, .timer_interval_ms = 1},
  {.id = Control::Label4, .name = L"Label4", .kind = ControlKind::Label,
   .caption = L"With Varnok Engine Technology You don't have to wait to close prevent shutdown "
              L"or prevent restart application, this can make your pc shutdown fast!",
   .rect = {240, 2520, 4455, 615}, .tab_index = 12, .font = &kLabel4Font, .text_colour = kRed},
  {.id = Control::Label3, .name = L"Label3", .kind = ControlKind::Label,
   .caption = L"Created by " VARNOK_WIDEN(VARNOK_MAKER_NAME), .rect = {1680, 1680, 2055, 255}, .tab_index = 8},
  {.id = Control::Label2, .name = L"Label2", .kind = ControlKind::Label,
   .caption = L"Select Date", .rect = {240, 960, 975, 255}, .tab_index = 6},
  {.id = Control::Label1, .name = L"Label1", .kind = ControlKind::Label,
   .caption = L"Enter Like This Format 22:00:00", .rect = {240, 120, 2415, 255}, .tab_index = 0},
}};
// clang-format on

// Every control stands in the table exactly once, so every lookup finds its row.
constexpr bool lists_every_control_once() {
  for (int id = 0; id < kControlCount; ++id) {
    int rows = 0;
    for (const ControlSpec& spec : kControls) rows += static_cast<int>(spec.id) == id;
    if (rows != 1) return false;
  }
  return true;
}
static_assert(lists_every_control_once());

constexpr const ControlSpec& control_spec(Control id) {
  for (const ControlSpec& spec : kControls)
    if (spec.id == id) return spec;
  return kControls.front();  // not reached: see the assertion above
}

constexpr bool takes_focus(ControlKind kind) {
  return kind == ControlKind::Button || kind == ControlKind::TextBox;
}

// Every control with a place in the focus order (labels included), sorted by that place.
std::vector<Control> tab_order();

// Only the controls that take the focus, in the order Tab visits them.
std::vector<Control> focus_order();

// One child window of the main window: a control, or the hidden label that names a text box
// without a label of its own.
struct ChildWindow {
  Control control;
  bool is_hidden_name = false;
};

// The order the window stacks its children in. Tab follows it, so the controls that take the
// focus stand in focus order. Windows' accessibility layer names a text box after the static
// text it finds walking back through the children before it, a search that a control with
// WS_GROUP and WS_TABSTOP stops; so each box's label stands right before the box, and a box
// without one gets a hidden label holding its design-time text there.
std::vector<ChildWindow> child_order();

// Twips to pixels at the given dots per inch, rounded to nearest as MulDiv does.
constexpr int twips_to_pixels(int twips, int dots_per_inch) {
  return (twips * dots_per_inch + 720) / 1440;
}
