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

// What the handlers work with. The watchers' match memory lives here, beside the timers.
struct Program {
  FormState& form;
  CommandLauncher& launcher;
  ClockText& clock;
  ScheduleWatchers watchers{};
};

struct WiringRow {
  Control control;
  Event event;
  void (*handle)(Program&);
};

// clang-format off
inline constexpr std::array<WiringRow, 14> kWiring{{
  {Control::Command1,  Event::Click, [](Program& p) { p.watchers[PowerAction::Shutdown].arm(p.form); }},
  {Control::Command2,  Event::Click, [](Program& p) { p.watchers[PowerAction::Restart].arm(p.form); }},
  {Control::Command3,  Event::Click, [](Program& p) { p.watchers[PowerAction::Logoff].arm(p.form); }},
  {Control::Command4,  Event::Click, [](Program& p) { start_countdown(PowerAction::Shutdown, p.form, p.launcher); }},
  {Control::Command9,  Event::Click, [](Program& p) { start_countdown(PowerAction::Restart, p.form, p.launcher); }},
  {Control::Command10, Event::Click, [](Program& p) { start_countdown(PowerAction::Logoff, p.form, p.launcher); }},
  {Control::Command5,  Event::Click, [](Program& p) { start_now(PowerAction::Shutdown, p.launcher); }},
  {Control::Command6,  Event::Click, [](Program& p) { start_now(PowerAction::Restart, p.launcher); }},
  {Control::Command7,  Event::Click, [](Program& p) { start_now(PowerAction::Logoff, p.launcher); }},
  {Control::Command8,  Event::Click, [](Program& p) { cancel_schedules(p.form, p.watchers, p.launcher); }},
  {Control::Timer1,    Event::Tick,  [](Program& p) { p.watchers[PowerAction::Shutdown].watch_step(p.form, p.clock, p.launcher); }},
  {Control::Timer2,    Event::Tick,  [](Program& p) { p.watchers[PowerAction::Restart].watch_step(p.form, p.clock, p.launcher); }},
  {Control::Timer3,    Event::Tick,  [](Program& p) { p.watchers[PowerAction::Logoff].watch_step(p.form, p.clock, p.launcher); }},
  {Control::Timer4,    Event::Tick,  [](Program& p) { fill_date_and_time(p.form, p.clock); }},
}};
// clang-format on

// Runs the handler wired to this event; returns false when the event has none.
bool dispatch(Program& program, Control control, Event event);
