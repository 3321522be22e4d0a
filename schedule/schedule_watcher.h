#pragma once
// The three schedule watchers: fast timers that start their action's forced command when
// the time and date boxes equal the clock texts.

#include <array>
#include <cstddef>

#include "common/form_state.h"
#include "power/command_launcher.h"
#include "power/power_action.h"
#include "schedule/clock_text.h"

class ScheduleWatcher {
 public:
  constexpr ScheduleWatcher(Control timer, PowerAction action) : timer_{timer}, action_{action} {}

  Control timer() const { return timer_; }

  void arm(FormState& form) const { form.set_timer_enabled(timer_, true); }

  // One tick of the armed watcher. A match lasts for the whole second (or minute) whose
  // text equals the boxes and the timer ticks many times within it; the command is started
  // once in it, on the first tick whose start succeeds, and again only after a tick has seen
  // the texts differ. Failed starts are silent while the match lasts: a later tick of the same
  // second may still start the command, and a message saying it failed would then be untrue.
  void watch_step(FormState& form, ClockText& clock, CommandLauncher& launcher);

  // The match is over (its second has passed, or the schedules were cancelled): a match in
  // which every start failed is reported now, once, with the last failure's reason.
  void end_match(FormState& form);

 private:
  // How far the current match has got: no start tried yet, every start so far failed (the
  // last failure kept for the report), or the command started.
  enum class Match { None, Failing, Started };

  Control timer_;
  PowerAction action_;
  Match match_ = Match::None;
  LaunchFailure last_failure_;
};

class ScheduleWatchers {
 public:
  ScheduleWatcher& operator[](PowerAction action) {
    return watchers_[static_cast<std::size_t>(action)];
  }
  auto begin() { return watchers_.begin(); }
  auto end() { return watchers_.end(); }

 private:
  std::array<ScheduleWatcher, 3> watchers_{{
      {Control::Timer1, PowerAction::Shutdown},
      {Control::Timer2, PowerAction::Restart},
      {Control::Timer3, PowerAction::Logoff},
  }};
};

// Disarms every watcher, ending its match, and has the field filler refill the boxes.
void cancel_schedules(FormState& form, ScheduleWatchers& watchers);
