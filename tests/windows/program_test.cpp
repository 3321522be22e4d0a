// The real program end to end: a copy of the built executable, driven from outside as a user
// drives it; its starts reach the fake in the system folder of the tests' Wine prefix.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "main_window/control_table.h"
#include "support/running_program.h"
#include "support/test_support.h"
#include "support/win_text.h"

namespace {

struct ProgramTest : ::testing::Test {
  ProgramCopy copy;
  void SetUp() override { ASSERT_TRUE(copy.ready()); }
  // A portable program is often run from the download folder, where a web page can leave a
  // DLL: whatever a test did, the one planted beside the copy never ran inside it.
  void TearDown() override {
    EXPECT_FALSE(copy.planted_dll_loaded_by(L"Varnok Shutdown Manager.exe")) << "the program loaded the planted DLL";
  }
};

// The system folder's shutdown.exe renamed away, as on a system that lacks it for a while,
// until it is brought back (at the latest when the object goes).
class SystemShutdownAway {
 public:
  SystemShutdownAway() : moved_{MoveFileExW(program_.c_str(), away_.c_str(), MOVEFILE_REPLACE_EXISTING) != 0} {}
  ~SystemShutdownAway() { bring_back(); }
  SystemShutdownAway(const SystemShutdownAway&) = delete;
  SystemShutdownAway& operator=(const SystemShutdownAway&) = delete;
  bool moved() const { return moved_; }
  void bring_back() {
    if (moved_) moved_ = !MoveFileExW(away_.c_str(), program_.c_str(), 0);
  }

 private:
  const std::wstring program_ = windows_system_shutdown();
  const std::wstring away_ = program_ + L".away";
  bool moved_;
};

// Closes the program's messages as they come, until the deadline; returns their texts.
std::vector<std::wstring> close_messages_of(DWORD process_id, ULONGLONG until_tick) {
  std::vector<std::wstring> texts;
  pump_until([&] {
    if (HWND box = visible_window_of(process_id, [](HWND window) { return class_name(window) == L"#32770"; })) {
      texts.push_back(window_text(GetDlgItem(box, 0xFFFF)));
      SendMessageW(box, WM_COMMAND, IDOK, 0);
    }
    return GetTickCount64() >= until_tick;
  }, 30000);
  return texts;
}

}  // namespace

// A scheduled shutdown starts once at its second. A start that fails is tried again for as
// long as that second lasts, and reported only when none of the tries started it: a message
// saying it failed, followed by the command starting after all, would leave the user
// believing that nothing will happen.
TEST_F(ProgramTest, AScheduledStartHappensOnceAndIsReportedAsFailedOnlyWhenItsWholeSecondFailed) {
  enum class Shutdown { Present, BackWithinTheSecond, Missing };
  const struct {
    const char* what;
    Shutdown shutdown;
    std::size_t starts, reports;
  } rows[] = {
      {"present all along", Shutdown::Present, 1, 0},
      {"back 300 ms into the matching second", Shutdown::BackWithinTheSecond, 1, 0},
      {"missing for the whole second", Shutdown::Missing, 0, 1},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    FakeShutdownLog log;
    RunningProgram program(copy);
    ASSERT_NE(program.window(), nullptr);
    // The matching second begins between 1 and 2 s from now; its texts name its middle.
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const ULONGLONG lead = 2000 - now.wMilliseconds, second_begins = GetTickCount64() + lead;
    program.set_text(Control::Text1, clock_text_in(static_cast<double>(lead + 500) / 1000, false));
    program.set_text(Control::Text2, clock_text_in(static_cast<double>(lead + 500) / 1000, true));
    std::optional<SystemShutdownAway> away;
    if (row.shutdown != Shutdown::Present) {
      away.emplace();
      ASSERT_TRUE(away->moved());
    }
    program.click(Control::Command1);
    if (row.shutdown == Shutdown::BackWithinTheSecond) {
      pump_until([&] { return GetTickCount64() >= second_begins + 300; }, 5000);
      away->bring_back();
    }
    const std::vector<std::wstring> reports = close_messages_of(program.process_id(), second_begins + 2500);
    away.reset();
    EXPECT_EQ(log.records(), std::vector<StartRecord>(row.starts, StartRecord{true, L"shutdown -s -f"}));
    ASSERT_EQ(reports.size(), row.reports);
    for (const std::wstring& report : reports) {
      EXPECT_NE(report.find(L"The scheduled command could not be started at its time:\n\nshutdown -s -f\n\n"),
                std::wstring::npos) << utf8(report);
      EXPECT_NE(report.find(L"(error 2)"), std::wstring::npos) << utf8(report);
    }
  }
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
    EXPECT_TRUE(same_path(answered, windows_system_shutdown())) << utf8(answered);
}

// The DLL planted beside the copy is one Windows loads by name for a window: the tests' child,
// narrowing its search only as far as a Windows 7 without SetDefaultDllDirectories can, loads
// it from the same folder (so the plant works) and still makes its window; the program does not.
TEST_F(ProgramTest, APlantedDllIsLoadedOnlyWhereTheSearchCannotBeNarrowed) {
  ASSERT_NE(RunningProgram(copy).window(), nullptr);
  const std::wstring child = copy.folder() + L"\\test_child.exe";
  ASSERT_TRUE(CopyFileW(test_child_exe().c_str(), child.c_str(), FALSE));
  EXPECT_EQ(StartedProcess(child, copy.folder(), L"window").wait(), 0u);
  EXPECT_TRUE(copy.planted_dll_loaded_by(L"test_child.exe")) << "the plant did not work, so the tests prove nothing";
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
  EXPECT_EQ(program.close(5000), 0u);  // a script or a scheduled task that started it sees success
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
  EXPECT_EQ(program.close(5000), 0u);
  EXPECT_TRUE(log.finished().empty());
  EXPECT_TRUE(pump_until([&] { return !log.finished().empty(); }, 8000));
  EXPECT_EQ(log.finished(), (std::vector<std::wstring>{L"Shutdown -s -t30"}));
}
