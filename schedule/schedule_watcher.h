#pragma once
// The three schedule watchers: fast timers that start their action's forced command when
// the time and date boxes equal the clock texts.

#include <array>

#include "common/form_state.h"
#include "power/command_launcher.h"
#include "power/power_action.h"
#include "schedule/clock_text.h"

class ScheduleWatcher {
 public:
  constexpr ScheduleWatcher(Control timer, PowerAction action) : timer_{timer}, action_{action} {}

  Control timer() const { return timer_; }
  PowerAction action() const { return action_; }

  void arm(FormState& form) const { form.set_timer_enabled(timer_, true); }

  // One tick of the armed watcher. A match lasts for the whole second (or minute) whose
  // text equals the boxes and the timer ticks many times within it; the command is started
  // once in it, on the first tick whose start succeeds, and again only after a tick has seen
  // the texts differ.
  void watch_step(const FormState& form, ClockText& clock, CommandLauncher& launcher);

  void forget_match() { match_ = Match::None; }

 private:
  // How far the current match has got: no start tried yet, a start failed (and was
  // reported), or the command started.
  enum class Match { None, Failed, Started };

  Control timer_;
  PowerAction action_;
  Match match_ = Match::None;
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

// Disarms every watcher and has the field filler refill the boxes.
void cancel_schedules(FormState& form, ScheduleWatchers& watchers);
