// Bad input and faults against the real window: nothing is lost and the program keeps running.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "main_window/message_title.h"
#include "support/running_program.h"
#include "support/win_text.h"
#include "support/window_fixture.h"

namespace {

struct HardeningTest : InProcessWindowTest {
  void create(WindowSeams seams = {}) {
    InProcessWindowTest::create(std::move(seams));
    wait_for_fill();
  }
  // A failure is shown once the handler has returned: messages are pumped until it is.
  void wait_for_reports(const MessageBoxCloser& closer, std::size_t count) {
    EXPECT_TRUE(pump_until([&] { return closer.texts().size() >= count; }, 5000))
        << closer.texts().size() << " of " << count << " reports shown";
  }
  std::array<bool, 4> timers() const {
    return {window->timer_enabled(Control::Timer1), window->timer_enabled(Control::Timer2),
            window->timer_enabled(Control::Timer3), window->timer_enabled(Control::Timer4)};
  }
};

}  // namespace

TEST_F(HardeningTest, AnySecondsTextReachesTheOneCommandVerbatim) {
  ASSERT_TRUE(fake_shutdown_is_in_place());
  FakeShutdownLog log;
  create();
  const std::vector<std::wstring> texts = {
      L"",
      L"\x0421\x0435\x043a\x0443\x043d\x0434\x044b \x79d2 \x062b\x0648\x0627\x0646\x064a \xD83D\xDE80\xD83D\xDD25",
      L"10 & shutdown -a | calc \"%PATH%\" ^& 'x' `y` $z",
      L"\"",
      L"30\r\n40",
      std::wstring(5000, L'9'),
  };
  std::size_t expected_records = 0;
  for (const std::wstring& text : texts) {
    type(Control::Text3, text);
    const std::wstring held = window->text(Control::Text3);
    EXPECT_EQ(held, text);
    click(Control::Command10);
    const std::vector<StartRecord> records = log.wait_for(++expected_records);
    ASSERT_EQ(records.size(), expected_records);
    EXPECT_EQ(records.back(), (StartRecord{true, L"Shutdown -l -t" + text}));
  }
  pump_messages_for(300);
  EXPECT_EQ(log.records().size(), texts.size());  // one process per click, nothing else
}

TEST_F(HardeningTest, ACommandLineLongerThanWindowsTakesIsRefusedAndNothingIsLost) {
  ASSERT_TRUE(fake_shutdown_is_in_place());
  FakeShutdownLog log;
  create();
  // The restart watcher waits for a second an hour away, so that it starts nothing itself.
  type(Control::Text1, clock_text_in(3600, false));
  click(Control::Command2);
  const std::wstring time = window->text(Control::Text1);
  const std::size_t room = kMaxCommandLineLength - 14;  // what the prefix leaves

  MessageBoxCloser closer;  // should a message come, it is closed, and counted below
  type(Control::Text3, std::wstring(room, L'7'));  // exactly the longest line: started
  click(Control::Command4);
  ASSERT_EQ(log.wait_for(1).size(), 1u);
  EXPECT_EQ(log.records()[0].command_line.size(), kMaxCommandLineLength);
  EXPECT_TRUE(closer.texts().empty());

  // One character more is refused (far longer lines are the launcher test's: typing them into
  // a box takes Wine's edit control seconds).
  type(Control::Text3, std::wstring(room + 1, L'7'));
  click(Control::Command9);
  wait_for_reports(closer, 1);
  ASSERT_EQ(closer.texts().size(), 1u);
  // It says what is wrong (the line, not the program) and how long a line may be.
  const std::wstring& report = closer.texts().back();
  EXPECT_NE(report.find(L"shutdown -r -t777"), std::wstring::npos);
  EXPECT_NE(report.find(L"(" + std::to_wstring(room + 15) + L" characters)"), std::wstring::npos) << utf8(report);
  EXPECT_NE(report.find(L"too long: Windows takes one of at most 32766 characters"), std::wstring::npos);
  EXPECT_EQ(report.find(L"Program:"), std::wstring::npos);
  EXPECT_EQ(window->text(Control::Text3).size(), room + 1);
  pump_messages_for(500);
  EXPECT_EQ(log.records().size(), 1u);  // the refused line started nothing, not even cut short
  EXPECT_EQ(timers(), (std::array<bool, 4>{false, true, false, false}));
  EXPECT_EQ(window->text(Control::Text1), time);
  EXPECT_TRUE(IsWindow(window->hwnd()));
}

TEST_F(HardeningTest, WithoutAShutdownProgramEveryButtonReportsItAndArmedSchedulesSurvive) {
  create({.launcher = &missing_program});
  // The restart watcher waits for a second an hour away; it must outlive every failure.
  type(Control::Text1, clock_text_in(3600, false));
  click(Control::Command2);
  MessageBoxCloser closer;
  for (Control button : {Control::Command4, Control::Command5, Control::Command6, Control::Command7,
                         Control::Command9, Control::Command10})
    click(button);
  wait_for_reports(closer, 6);
  ASSERT_EQ(closer.texts().size(), 6u);
  // All six were waiting before the first was shown: they come oldest first, as clicked.
  const wchar_t* const clicked[] = {L"Shutdown -s -t", L"shutdown -s -f", L"shutdown -r -f",
                                    L"shutdown -l -f", L"shutdown -r -t", L"Shutdown -l -t"};
  for (std::size_t i = 0; i < 6; ++i)
    EXPECT_NE(closer.texts()[i].find(L"\n\n" + std::wstring(clicked[i])), std::wstring::npos) << i;
  EXPECT_TRUE(window->timer_enabled(Control::Timer2));
  EXPECT_TRUE(IsWindow(window->hwnd()));
}

// A click whose command cannot start while an armed watcher's cannot either: the click's
// failure is shown once its handler has returned, the watcher's once its second is over
// (while the first message is still open), one after the other, each owned by the window,
// which stays disabled while it is open; and no event runs inside another's handler.
TEST_F(HardeningTest, FailuresAreShownOneAtATimeAndNeverInsideAHandler) {
  create({.launcher = &missing_program});
  type(Control::Text1, clock_text_in(0.6, false));
  type(Control::Text2, clock_text_in(0.6, true));
  click(Control::Command1);
  MessageBoxCloser closer(2500);  // the first message stays open past the watcher's second
  click(Control::Command6);
  EXPECT_TRUE(closer.texts().empty()) << "shown inside the click";
  wait_for_reports(closer, 2);
  ASSERT_EQ(closer.texts().size(), 2u);
  EXPECT_NE(closer.texts()[0].find(L"The command could not be started:\n\nshutdown -r -f"), std::wstring::npos);
  EXPECT_NE(closer.texts()[1].find(L"The scheduled command could not be started at its time:\n\nshutdown -s -f"),
            std::wstring::npos);
  EXPECT_EQ(closer.most_open_at_once(), 1);
  EXPECT_EQ(closer.owners(), (std::vector<HWND>{window->hwnd(), window->hwnd()}));
  EXPECT_EQ(closer.titles(), (std::vector<std::wstring>{kMessageTitle, kMessageTitle}));
  EXPECT_EQ(closer.owners_enabled(), (std::vector<bool>{false, false}));
  EXPECT_EQ(missing_program.deepest, 1);
  ASSERT_TRUE(pump_until([&] { return IsWindowEnabled(window->hwnd()); }, 5000));
  EXPECT_EQ(timers(), (std::array<bool, 4>{true, false, false, false}));
}

// A watcher that looked armed but never ticked would silently miss its second.
TEST_F(HardeningTest, AWatcherWhoseTimerIsRefusedIsReportedAndNeverLooksArmed) {
  create({.start_timer = refuse_the_logoff_watcher});
  MessageBoxCloser closer;
  click(Control::Command3);
  click(Control::Command2);
  wait_for_reports(closer, 1);
  ASSERT_EQ(closer.texts().size(), 1u);
  EXPECT_NE(closer.texts()[0].find(L"The logoff schedule could not be armed."), std::wstring::npos);
  EXPECT_NE(closer.texts()[0].find(L"(error 1816)"), std::wstring::npos) << closer.texts()[0];
  EXPECT_EQ(timers(), (std::array<bool, 4>{false, true, false, false}));
}

namespace {

// A clock that cannot be read a number of times, then reads the system's.
class FailingClock final : public ClockText {
 public:
  FailingClock(int failures, std::string message) : failures_{failures}, message_{std::move(message)} {}
  ClockTexts now_as_texts() override {
    if (failures_ > 0) {
      --failures_;
      throw std::runtime_error(message_);
    }
    return system_.now_as_texts();
  }

 private:
  int failures_;
  std::string message_;
  Win32ClockText system_;
};

}  // namespace

// The exception's message is shown whole, as UTF-8; a message of one character is a message too.
TEST_F(HardeningTest, AFillThatKeepsFailingIsReportedOnceThenFillsWhenTheClockWorks) {
  for (const auto& [message, shown] : {std::pair<std::string, std::wstring>{
           "the clock is not available \xE2\x80\x94 Uhr nicht verf\xC3\xBCgbar",
           L"the clock is not available \x2014 Uhr nicht verf\xFCgbar"}, {"!", L"!"}}) {
    SCOPED_TRACE(message);
    FailingClock clock(20, message);  // some 200 ms of ticks
    MessageBoxCloser closer(300);
    InProcessWindowTest::create({.clock = &clock});
    ASSERT_TRUE(pump_until([&] { return !window->timer_enabled(Control::Timer4); }, 5000));
    ASSERT_EQ(closer.texts().size(), 1u);
    EXPECT_EQ(closer.texts()[0], L"Unexpected error: " + shown) << utf8(closer.texts()[0]);
    EXPECT_EQ(window->text(Control::Text2), Win32ClockText{}.now_as_texts().date);
    EXPECT_NE(window->text(Control::Text1), L"22:00:00");
    window.reset();  // before the clock it reads goes
  }
}

namespace {

// A reading no format can render: Windows' formatting calls refuse an hour of 25.
void WINAPI read_an_impossible_time(SYSTEMTIME* local_time) { *local_time = SYSTEMTIME{2026, 12, 2, 8, 25, 0, 0, 0}; }

}  // namespace

// A clock that cannot be written as text gives no text at all, never an empty one: empty boxes
// would then match it and start the command.
TEST_F(HardeningTest, AClockThatCannotBeWrittenAsTextMatchesNothingAndIsReported) {
  ASSERT_TRUE(fake_shutdown_is_in_place());
  FakeShutdownLog log;
  Win32ClockText clock{read_an_impossible_time};
  MessageBoxCloser closer;
  InProcessWindowTest::create({.clock = &clock});
  type(Control::Text1, L"");
  type(Control::Text2, L"");
  click(Control::Command1);
  pump_messages_for(500);
  EXPECT_TRUE(log.records().empty());
  ASSERT_EQ(closer.texts().size(), 2u);  // the filler's failure and the watcher's, once each
  for (const std::wstring& text : closer.texts())
    EXPECT_NE(text.find(L"the clock could not be written as text"), std::wstring::npos) << utf8(text);
}

namespace {

// Refuses the window's edit boxes, as a system out of resources would.
LRESULT CALLBACK refuse_edit_boxes(int code, WPARAM wparam, LPARAM lparam) {
  if (code != HCBT_CREATEWND || _wcsicmp(class_name(reinterpret_cast<HWND>(wparam)).c_str(), L"Edit") != 0)
    return CallNextHookEx(nullptr, code, wparam, lparam);
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return 1;
}

}  // namespace

TEST(ProgramStart, AWindowThatCannotBeCreatedIsReportedWithWindowsReasonUntilTheUserClosesTheMessage) {
  HHOOK refusal = SetWindowsHookExW(WH_CBT, refuse_edit_boxes, nullptr, GetCurrentThreadId());
  ASSERT_NE(refusal, nullptr);
  MessageBoxCloser closer(400);
  const ULONGLONG before = GetTickCount64();
  const int exit_code = run_program(GetModuleHandleW(nullptr), SW_SHOWNORMAL);
  const ULONGLONG open_for = GetTickCount64() - before;
  UnhookWindowsHookEx(refusal);
  EXPECT_EQ(exit_code, 1);
  ASSERT_EQ(closer.texts().size(), 1u);
  EXPECT_TRUE(closer.texts()[0].starts_with(L"The main window could not be created.\n\n") &&
              closer.texts()[0].ends_with(L"(error 8)")) << utf8(closer.texts()[0]);
  EXPECT_EQ(closer.titles()[0], kMessageTitle);
  EXPECT_GE(open_for, 350u) << "the message closed by itself";
  MSG quit;
  EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// An error nothing catches ends the program. From the moment its message shows, nothing can
// be clicked, not the window and not a report that was already open, even once that report
// has been closed (a message box re-enables its owner as it goes); no tick and no click runs a
// handler; the message stays owned by the window; and the process ends once it is closed.
TEST(FatalError, StopsEverythingWhileItsMessageStandsAndEndsTheProcessWhenClosed) {
  ASSERT_TRUE(fake_shutdown_is_in_place());
  FakeShutdownLog log;
  // The child's shutdown watcher is armed for a second 1 to 2 s ahead; the error comes before
  // it, while a report about the child's refused logoff watcher is open.
  const StartedProcess child(test_child_exe(), this_exe_directory(), L"fatal");
  ASSERT_TRUE(child.started());
  const auto box_saying = [&](const wchar_t* text) {
    return visible_window_of(child.id(), [&](HWND window) {
      return class_name(window) == L"#32770" && window_text(GetDlgItem(window, 0xFFFF)).starts_with(text);
    });
  };
  HWND fatal = nullptr;
  ASSERT_TRUE(pump_until([&] { return (fatal = box_saying(L"An unexpected error has ended the program.")) != nullptr; },
                         10000));
  HWND main_window =
      visible_window_of(child.id(), [](HWND window) { return class_name(window) == kMainWindowClass; });
  HWND report = box_saying(L"The logoff schedule could not be armed.");
  ASSERT_NE(main_window, nullptr);
  ASSERT_NE(report, nullptr);
  EXPECT_EQ(GetWindow(fatal, GW_OWNER), main_window);
  EXPECT_FALSE(IsWindowEnabled(main_window));
  EXPECT_FALSE(IsWindowEnabled(report));

  PostMessageW(report, WM_COMMAND, IDOK, 0);
  SendMessageW(GetDlgItem(main_window, control_id(Control::Command5)), BM_CLICK, 0, 0);  // Shutdown Now
  pump_messages_for(2500);  // into the watcher's second
  EXPECT_FALSE(IsWindowVisible(report)) << "the older report was not closed";
  EXPECT_FALSE(IsWindowEnabled(main_window)) << "the window takes clicks again under the fatal message";
  EXPECT_TRUE(IsWindowVisible(fatal));
  EXPECT_TRUE(log.records().empty()) << "started after the program said it had ended";
  PostMessageW(fatal, WM_COMMAND, IDOK, 0);
  EXPECT_NE(child.wait(5000), STILL_ACTIVE) << "the process did not end once its message was closed";
  EXPECT_TRUE(log.records().empty());
}

// A second error while the fatal message stands ends the process at once, through the same
// end: no second message stacks on the first, waiting to be closed.
TEST(FatalError, ASecondOneUnderItsMessageEndsTheProcessAtOnce) {
  const StartedProcess child(test_child_exe(), this_exe_directory(), L"fatal twice");
  ASSERT_TRUE(child.started());
  EXPECT_EQ(child.wait(5000), 3u) << "the process did not end at the second error";
}

// Changes the user's long time format for as long as it lives, and puts it back.
// Without a value of the user's own, the locale's format applies: the value is then removed
// again rather than set to that format, which would pin it against later locale changes.
class TimeFormatChange {
 public:
  explicit TimeFormatChange(const wchar_t* format) {
    DWORD size = sizeof original_;
    had_own_value_ = RegGetValueW(HKEY_CURRENT_USER, kInternational, L"sTimeFormat", RRF_RT_REG_SZ, nullptr,
                                  original_, &size) == ERROR_SUCCESS;
    changed_ = SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, format);
    broadcast();
  }
  ~TimeFormatChange() {
    if (had_own_value_)
      SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, original_);
    else
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kInternational, L"sTimeFormat");
    broadcast();
  }
  bool changed() const { return changed_; }

 private:
  static constexpr const wchar_t* kInternational = L"Control Panel\\International";
  static void broadcast() {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"), SMTO_ABORTIFHUNG,
                        2000, &result);
  }
  wchar_t original_[80] = {};
  bool had_own_value_ = false;
  bool changed_ = false;
};

TEST_F(HardeningTest, ANewTimeFormatIsUsedByTheNextFillAndTheNextWatchStep) {
  ASSERT_TRUE(fake_shutdown_is_in_place());
  FakeShutdownLog log;
  create();
  {
    TimeFormatChange change(L"HH' h 'mm' min 'ss' s'");
    ASSERT_TRUE(change.changed());
    click(Control::Command8);
    ASSERT_TRUE(pump_until([&] { return !window->timer_enabled(Control::Timer4); }, 5000));
    EXPECT_NE(window->text(Control::Text1).find(L" min "), std::wstring::npos) << "the refill kept the old format";

    const std::wstring target = clock_text_in(1.2, false);
    ASSERT_NE(target.find(L" min "), std::wstring::npos);
    type(Control::Text1, target);
    click(Control::Command3);
    pump_messages_for(2500);
    EXPECT_EQ(log.records(), (std::vector<StartRecord>{{true, L"shutdown -l -f"}}));
  }
}
