#pragma once
// Which control event runs which handler: fourteen rows, and nothing else in the program
// acts on its own. Every handler reaches the window only through FormState.

#include <array>

#include "common/form_state.h"
#include "power/command_launcher.h"
#include "power/power_buttons.h"
#include "schedule/clock_text.h"
#include "schedule/field_filler.h"
#include "schedule/schedule_watcher.h"

enum class Event { Click, Tick };

// What the handlers work with: the window's state, the launcher and the clock. The watchers'
// match memory lives here, beside the timers.
struct HandlerContext {
  FormState& form;
  CommandLauncher& launcher;
  ClockText& clock;
  ScheduleWatchers watchers{};
};

struct WiringRow {
  Control control;
  Event event;
  void (*handle)(HandlerContext&);
};

// clang-format off
inline constexpr std::array<WiringRow, 14> kWiring{{
  {Control::Command1,  Event::Click, [](HandlerContext& c) { c.watchers[PowerAction::Shutdown].arm(c.form); }},
  {Control::Command2,  Event::Click, [](HandlerContext& c) { c.watchers[PowerAction::Restart].arm(c.form); }},
  {Control::Command3,  Event::Click, [](HandlerContext& c) { c.watchers[PowerAction::Logoff].arm(c.form); }},
  {Control::Command4,  Event::Click, [](HandlerContext& c) { start_countdown(PowerAction::Shutdown, c.form, c.launcher); }},
  {Control::Command9,  Event::Click, [](HandlerContext& c) { start_countdown(PowerAction::Restart, c.form, c.launcher); }},
  {Control::Command10, Event::Click, [](HandlerContext& c) { start_countdown(PowerAction::Logoff, c.form, c.launcher); }},
  {Control::Command5,  Event::Click, [](HandlerContext& c) { start_now(PowerAction::Shutdown, c.form, c.launcher); }},
  {Control::Command6,  Event::Click, [](HandlerContext& c) { start_now(PowerAction::Restart, c.form, c.launcher); }},
  {Control::Command7,  Event::Click, [](HandlerContext& c) { start_now(PowerAction::Logoff, c.form, c.launcher); }},
  {Control::Command8,  Event::Click, [](HandlerContext& c) { cancel_schedules(c.form, c.watchers); }},
  {Control::Timer1,    Event::Tick,  [](HandlerContext& c) { c.watchers[PowerAction::Shutdown].watch_step(c.form, c.clock, c.launcher); }},
  {Control::Timer2,    Event::Tick,  [](HandlerContext& c) { c.watchers[PowerAction::Restart].watch_step(c.form, c.clock, c.launcher); }},
  {Control::Timer3,    Event::Tick,  [](HandlerContext& c) { c.watchers[PowerAction::Logoff].watch_step(c.form, c.clock, c.launcher); }},
  {Control::Timer4,    Event::Tick,  [](HandlerContext& c) { fill_date_and_time(c.form, c.clock); }},
}};
// clang-format on

// Runs the handler wired to this event; returns false when the event has none.
bool dispatch(HandlerContext& context, Control control, Event event);
