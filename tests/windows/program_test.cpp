// The real program end to end: a copy of the built executable, driven from outside as a user
// drives it; its starts reach the fake in the system folder of the tests' Wine prefix.

#include <gtest/gtest.h>

#include <algorithm>

#include "main_window/control_table.h"
#include "power/launcher_win32.h"
#include "support/running_program.h"
#include "support/test_support.h"
#include "support/win_text.h"

namespace {

struct ProgramTest : ::testing::Test {
  ProgramCopy copy;
  void SetUp() override { ASSERT_TRUE(copy.ready()); }
};

}  // namespace

TEST_F(ProgramTest, AScheduledShutdownStartsOnceAtItsSecondAndNotOnAnotherDay) {
  FakeShutdownLog log;
  RunningProgram program(copy);
  ASSERT_NE(program.window(), nullptr);

  program.set_text(Control::Text1, clock_text_in(2, false));
  program.set_text(Control::Text2, clock_text_in(2, true));
  program.click(Control::Command1);
  pump_messages_for(4000);
  EXPECT_EQ(log.records(), (std::vector<StartRecord>{{true, L"shutdown -s -f"}}));

  // The same time of day tomorrow never matches today.
  program.set_text(Control::Text1, clock_text_in(2, false));
  program.set_text(Control::Text2, clock_text_in(2 + 24 * 3600, true));
  pump_messages_for(4000);
  EXPECT_EQ(log.records().size(), 1u);
  EXPECT_TRUE(program.close());
}

// Left to find "shutdown" by itself, Windows would look beside the program and in the folder
// it was started from before the system folder: the decoys planted in both must never answer.
TEST_F(ProgramTest, OnlyTheSystemFoldersShutdownAnswersNowCountdownAndScheduledStarts) {
  FakeShutdownLog log;
  RunningProgram program(copy);
  ASSERT_NE(program.window(), nullptr);
  program.set_text(Control::Text1, clock_text_in(1.5, false));
  program.set_text(Control::Text2, clock_text_in(1.5, true));
  program.click(Control::Command2);
  program.click(Control::Command7);
  program.set_text(Control::Text3, L" 30");
  program.click(Control::Command9);
  std::vector<StartRecord> records = log.wait_for(3);
  std::sort(records.begin(), records.end(), [](auto& a, auto& b) { return a.command_line < b.command_line; });
  EXPECT_EQ(records, (std::vector<StartRecord>{
                         {true, L"shutdown -l -f"}, {true, L"shutdown -r -f"}, {true, L"shutdown -r -t 30"}}));
  for (const std::wstring& answered : log.programs())
    EXPECT_TRUE(same_path(answered, shutdown_program_in(system_folder()))) << utf8(answered);
}

TEST_F(ProgramTest, ArgumentsChangeNothing) {
  RunningProgram plain(copy);
  RunningProgram with_arguments(copy, L"/s -t 0 --help \"x y\"");
  for (const RunningProgram* program : {&plain, &with_arguments}) {
    ASSERT_NE(program->window(), nullptr);
    EXPECT_EQ(window_text(program->window()), L"Varnok Shutdon Manager");
    for (const ControlSpec& spec : kControls) {
      if (spec.kind == ControlKind::Button || spec.kind == ControlKind::Label) {
        EXPECT_EQ(window_text(program->control(spec.id)), spec.caption);
      }
    }
    EXPECT_EQ(program->text(Control::Text3), L"Enter Second If You want to countdown");
  }
  RECT a, b;
  GetClientRect(plain.window(), &a);
  GetClientRect(with_arguments.window(), &b);
  EXPECT_TRUE(EqualRect(&a, &b));
}

TEST_F(ProgramTest, TwoCopiesRunSideBySideEachWithItsOwnWatchers) {
  FakeShutdownLog log;
  RunningProgram first(copy);
  RunningProgram second(copy);
  ASSERT_NE(first.window(), nullptr);
  ASSERT_NE(second.window(), nullptr);
  EXPECT_NE(first.window(), second.window());
  EXPECT_NE(first.process_id(), second.process_id());

  for (const RunningProgram* program : {&first, &second}) {
    program->set_text(Control::Text1, clock_text_in(2, false));
    program->set_text(Control::Text2, clock_text_in(2, true));
  }
  first.click(Control::Command2);
  second.click(Control::Command3);
  pump_messages_for(4000);
  std::vector<std::wstring> lines;
  for (const StartRecord& record : log.records()) lines.push_back(record.command_line);
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::wstring>{L"shutdown -l -f", L"shutdown -r -f"}));
}

TEST_F(ProgramTest, ClosingWithAWatcherArmedAsksNothingAndStartsNothing) {
  FakeShutdownLog log;
  RunningProgram program(copy);
  ASSERT_NE(program.window(), nullptr);
  program.set_text(Control::Text1, clock_text_in(1.5, false));
  program.set_text(Control::Text2, clock_text_in(1.5, true));
  program.click(Control::Command1);
  EXPECT_TRUE(program.close(5000));
  pump_messages_for(3000);
  EXPECT_TRUE(log.records().empty());
}

TEST_F(ProgramTest, ACountdownAlreadyStartedRunsOnAfterTheProgramEnds) {
  FakeShutdownLog log(2000);  // the fake "counts down" for two seconds
  RunningProgram program(copy);
  ASSERT_NE(program.window(), nullptr);
  program.set_text(Control::Text3, L"30");
  program.click(Control::Command4);
  ASSERT_EQ(log.wait_for(1).size(), 1u);
  EXPECT_TRUE(program.close(5000));
  EXPECT_TRUE(log.finished().empty());
  EXPECT_TRUE(pump_until([&] { return !log.finished().empty(); }, 8000));
  EXPECT_EQ(log.finished(), (std::vector<std::wstring>{L"Shutdown -s -t30"}));
}
