#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fakes.h"
#include "main_window/wiring.h"

namespace {

struct Wired : ::testing::Test {
  FakeForm form;
  FakeLauncher launcher;
  FakeClock clock;
  HandlerContext handlers{form, launcher, clock};

  void click(Control button) { ASSERT_TRUE(dispatch(handlers, button, Event::Click)); }
};

}  // namespace

TEST_F(Wired, EveryButtonAndTimerHasExactlyOneHandlerAndNothingElseHasAny) {
  std::set<std::pair<Control, Event>> rows;
  for (const WiringRow& row : kWiring) rows.insert({row.control, row.event});
  EXPECT_EQ(rows.size(), 14u);
  for (const ControlSpec& spec : kControls) {
    const bool button = spec.kind == ControlKind::Button;
    const bool timer = spec.kind == ControlKind::Timer;
    EXPECT_EQ(rows.count({spec.id, Event::Click}), button ? 1u : 0u) << std::wstring{spec.name};
    EXPECT_EQ(rows.count({spec.id, Event::Tick}), timer ? 1u : 0u) << std::wstring{spec.name};
  }
  EXPECT_FALSE(dispatch(handlers, Control::Label1, Event::Click));
  EXPECT_FALSE(dispatch(handlers, Control::Text1, Event::Click));
  EXPECT_TRUE(launcher.started.empty());
}

TEST_F(Wired, EachNowButtonStartsItsForcedCommandOncePerClickWhateverTheBoxesHold) {
  form.type(Control::Text1, L"");
  form.type(Control::Text3, L"99");
  click(Control::Command5);
  click(Control::Command6);
  click(Control::Command7);
  click(Control::Command7);
  EXPECT_EQ(launcher.started, (std::vector<std::wstring>{L"shutdown -s -f", L"shutdown -r -f",
                                                         L"shutdown -l -f", L"shutdown -l -f"}));
}

TEST_F(Wired, EachCountdownButtonStartsItsPrefixWithTheSecondsBoxReadAtTheClick) {
  form.type(Control::Text3, L"30");
  click(Control::Command4);
  form.type(Control::Text3, L" 45");
  click(Control::Command9);
  form.type(Control::Text3, L"");
  click(Control::Command10);
  click(Control::Command10);
  EXPECT_EQ(launcher.started,
            (std::vector<std::wstring>{L"Shutdown -s -t30", L"shutdown -r -t 45", L"Shutdown -l -t",
                                       L"Shutdown -l -t"}));
  EXPECT_EQ(form.shown(Control::Text3), L"");  // read, never written
}

TEST_F(Wired, NowAndCountdownClicksDisarmNothingAndTouchNoBox) {
  click(Control::Command1);
  click(Control::Command3);
  const std::wstring time = form.shown(Control::Text1);
  for (Control button : {Control::Command4, Control::Command5, Control::Command6, Control::Command7,
                         Control::Command9, Control::Command10})
    click(button);
  EXPECT_TRUE(form.enabled(Control::Timer1));
  EXPECT_FALSE(form.enabled(Control::Timer2));
  EXPECT_TRUE(form.enabled(Control::Timer3));
  EXPECT_EQ(form.shown(Control::Text1), time);
  EXPECT_EQ(launcher.started.size(), 6u);
}

TEST_F(Wired, ATickOfADisabledTimerRunsNothing) {
  // A tick already queued when its timer was disabled must not fill or start anything.
  form.set_timer_enabled(Control::Timer4, false);
  EXPECT_FALSE(dispatch(handlers, Control::Timer4, Event::Tick));
  EXPECT_EQ(form.shown(Control::Text1), L"22:00:00");
  form.type(Control::Text1, clock.time_text(clock.second_of_day));
  form.type(Control::Text2, clock.date_text(clock.day));
  EXPECT_FALSE(dispatch(handlers, Control::Timer1, Event::Tick));
  EXPECT_TRUE(launcher.started.empty());
}
