#pragma once
// In-memory stand-ins for the window, the launcher and the clock. They share one journal, so
// a test can check the order in which a handler reads and writes.

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "main_window/control_table.h"
#include "common/form_state.h"
#include "power/command_launcher.h"
#include "schedule/clock_text.h"

using Journal = std::vector<std::string>;

class FakeForm final : public FormState {
 public:
  explicit FakeForm(Journal* journal = nullptr) : journal_{journal} {
    for (const ControlSpec& spec : kControls) {
      if (spec.kind == ControlKind::TextBox) texts_[spec.id] = std::wstring{spec.caption};
      if (spec.kind == ControlKind::Timer) timers_[spec.id] = spec.timer_enabled_at_creation;
    }
  }

  std::wstring text(Control box) const override {
    note("read " + name(box));
    return texts_.at(box);
  }
  void set_text(Control box, std::wstring_view text) override {
    note("write " + name(box));
    texts_.at(box) = std::wstring{text};
  }
  bool timer_enabled(Control timer) const override { return timers_.at(timer); }
  void set_timer_enabled(Control timer, bool enabled) override {
    note((enabled ? "enable " : "disable ") + name(timer));
    timers_.at(timer) = enabled;
  }
  void report(std::wstring text) override { reports.push_back(std::move(text)); }

  std::vector<std::wstring> reports;  // as they are written

  // What the user does, outside any handler: not journaled.
  void type(Control box, std::wstring text) { texts_.at(box) = std::move(text); }
  const std::wstring& shown(Control box) const { return texts_.at(box); }
  bool enabled(Control timer) const { return timers_.at(timer); }

 private:
  static std::string name(Control id) {
    const std::wstring_view wide = control_spec(id).name;
    return std::string(wide.begin(), wide.end());
  }
  void note(std::string entry) const {
    if (journal_) journal_->push_back(std::move(entry));
  }

  Journal* journal_;
  std::map<Control, std::wstring> texts_;
  std::map<Control, bool> timers_;
};

// Starts nothing; records what it was asked to start. The next `failures` starts fail, each
// with a reason that names its attempt ("failure 3").
class FakeLauncher final : public CommandLauncher {
 public:
  explicit FakeLauncher(Journal* journal = nullptr) : journal_{journal} {}
  std::optional<LaunchFailure> launch(std::wstring_view command_line) override {
    if (journal_) journal_->push_back("launch");
    ++attempts;
    if (failures > 0) {
      --failures;
      return LaunchFailure{L"failure " + std::to_wstring(attempts)};
    }
    started.emplace_back(command_line);
    return std::nullopt;
  }

  int failures = 0;
  int attempts = 0;
  std::vector<std::wstring> started;

 private:
  Journal* journal_;
};

// A clock that shows "H:MM:SS" and "D.M.2026" and moves only when told, or by
// seconds_per_reading after every reading, past midnight into the next day.
class FakeClock final : public ClockText {
 public:
  explicit FakeClock(Journal* journal = nullptr) : journal_{journal} {}

  ClockTexts now_as_texts() override {
    if (journal_) journal_->push_back("clock");
    ClockTexts texts{time_text(second_of_day), date_text(day)};
    second_of_day += seconds_per_reading;
    if (second_of_day >= kSecondsPerDay) {
      second_of_day -= kSecondsPerDay;
      ++day;
    }
    return texts;
  }

  static std::wstring time_text(int second) {
    const auto two = [](int n) { return std::wstring(n < 10 ? L"0" : L"") + std::to_wstring(n); };
    return std::to_wstring(second / 3600) + L":" + two(second / 60 % 60) + L":" + two(second % 60);
  }
  static std::wstring date_text(int day_of_december) {
    return std::to_wstring(day_of_december) + L".12.2026";
  }

  static constexpr int kSecondsPerDay = 24 * 3600;
  int second_of_day = 21 * 3600 + 14 * 60 + 5;
  int day = 7;
  int seconds_per_reading = 0;

 private:
  Journal* journal_;
};
