// The launcher on CreateProcessW, told to start the fake shutdown.exe beside this test program
// (or its console build, in the folder "console" there).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "power/launcher_win32.h"
#include "support/test_support.h"
#include "support/win_text.h"

namespace {

struct LauncherTest : ::testing::Test {
  void SetUp() override { ASSERT_TRUE(fake_shutdown_is_in_place()); }
};

// How many handles the process holds. Wine 8 reports no count; there the slots that new
// handles take tell the same, since each takes the lowest free slot of the table: with
// handles leaked, the 512th free slot lies further out. (One fresh handle is not enough: a
// leak of one handle per launch beside one closed leaves a free slot at the old place.)
std::uintptr_t handle_count() {
  DWORD count = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0) return count;
  std::vector<HANDLE> probes;
  for (int i = 0; i < 512; ++i) probes.push_back(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  std::uintptr_t furthest = 0;
  for (HANDLE probe : probes) {
    furthest = std::max(furthest, reinterpret_cast<std::uintptr_t>(probe));
    CloseHandle(probe);
  }
  return furthest;
}

}  // namespace

TEST_F(LauncherTest, StartsTheCommandLineVerbatimMinimizedWithoutAShellAndInheritingNothing) {
  const std::wstring folder = this_exe_directory();
  // An inheritable pipe, as a script that starts the program with piped standard handles
  // leaves it holding.
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  ASSERT_TRUE(CreatePipe(&read_end, &write_end, &inheritable, 0));
  FakeShutdownLog log(1500);  // the command lingers, as a countdown does
  // Shell characters stay arguments of the one process: no cmd.exe ever sees them.
  const std::wstring line = L"shutdown -s -t 10 & echo \"x y\" | more %PATH% ^";
  ASSERT_EQ(start_shutdown_minimized(folder, line), static_cast<DWORD>(ERROR_SUCCESS));
  const std::vector<StartRecord> records = log.wait_for(1);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0], (StartRecord{true, line}));
  EXPECT_TRUE(same_path(log.programs()[0], shutdown_program_in(folder))) << utf8(log.programs()[0]);

  // With the only write end closed, the pipe breaks at once; a command that had inherited a
  // copy would keep it whole until it ends, and the script would wait for the countdown.
  CloseHandle(write_end);
  EXPECT_TRUE(pump_until([&] {
    return !PeekNamedPipe(read_end, nullptr, 0, nullptr, nullptr, nullptr) && GetLastError() == ERROR_BROKEN_PIPE;
  }, 5000));
  EXPECT_TRUE(log.finished().empty()) << "the pipe broke only when the command ended";
  CloseHandle(read_end);
  EXPECT_TRUE(pump_until([&] { return !log.finished().empty(); }, 5000));
  EXPECT_EQ(log.records().size(), 1u);
}

// Windows' shutdown is a console program. Started by a GUI program, as the program is, it gets
// a console window of its own, which must show minimized: a detached start, or one without a
// window, would show the user nothing.
TEST_F(LauncherTest, AConsoleCommandStartedByAGuiProgramGetsAMinimizedWindow) {
  FakeShutdownLog log;
  const std::wstring console_fake_folder = this_exe_directory() + L"\\console";
  ASSERT_NE(GetFileAttributesW(shutdown_program_in(console_fake_folder).c_str()), INVALID_FILE_ATTRIBUTES);
  const StartedProcess child(test_child_exe(), this_exe_directory(), L"launch " + console_fake_folder,
                             DETACHED_PROCESS);
  EXPECT_EQ(child.wait(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(log.wait_for(1), (std::vector<StartRecord>{{true, L"shutdown -s -f"}}));
}

// The launcher only says why a command could not be started: whether and when that is shown is
// its caller's business (a watcher stays silent while its second may still start the command).
TEST_F(LauncherTest, ACommandThatCannotBeStartedIsExplainedAndNotReported) {
  const std::wstring without_shutdown = this_exe_directory() + L"\\without-shutdown";
  CreateDirectoryW(without_shutdown.c_str(), nullptr);
  struct Row {
    std::wstring folder;
    std::wstring command_line;
    DWORD error;
    std::vector<std::wstring> said, not_said;  // in the reason
  };
  const std::vector<Row> rows = {
      // A system without shutdown.exe: the one in this folder is never tried instead.
      {without_shutdown, L"shutdown -s -f", ERROR_FILE_NOT_FOUND,
       {shutdown_program_in(without_shutdown), L"(error 2)"}, {}},
      // A system folder Windows could not name: never a path relative to the current drive.
      {L"", L"shutdown -s -f", ERROR_PATH_NOT_FOUND, {L"system folder is unknown", L"(error 3)"}, {}},
      // Far past what Windows takes, and past a 16-bit count of characters, where Wine would
      // start the program with the line cut short. The line is at fault, not the program.
      {this_exe_directory(), L"shutdown -r -t" + std::wstring(100000, L'7'), ERROR_FILENAME_EXCED_RANGE,
       {L"command line is too long", L"at most 32766 characters"}, {L"Program:", L"(error 206)"}},
  };
  FakeShutdownLog log;
  MessageBoxCloser closer;
  for (const Row& row : rows) {
    EXPECT_EQ(start_shutdown_minimized(row.folder, row.command_line), row.error);
    const std::optional<LaunchFailure> failure = Win32Launcher{row.folder}.launch(row.command_line);
    ASSERT_TRUE(failure.has_value());
    for (const std::wstring& part : row.said)
      EXPECT_NE(failure->reason.find(part), std::wstring::npos) << utf8(failure->reason);
    for (const std::wstring& part : row.not_said)
      EXPECT_EQ(failure->reason.find(part), std::wstring::npos) << utf8(failure->reason);
  }
  EXPECT_TRUE(closer.texts().empty());
  pump_messages_for(300);
  EXPECT_TRUE(log.records().empty());
}

TEST_F(LauncherTest, TwoHundredLaunchesLeaveTheHandleCountWhereItWas) {
  FakeShutdownLog log;
  ASSERT_EQ(start_shutdown_minimized(this_exe_directory(), L"shutdown -l -f"), static_cast<DWORD>(ERROR_SUCCESS));  // warms up
  ASSERT_EQ(log.wait_for(1).size(), 1u);
  const std::uintptr_t before = handle_count();
  ASSERT_GT(before, 0u);
  for (int i = 0; i < 200; ++i)
    ASSERT_EQ(start_shutdown_minimized(this_exe_directory(), L"shutdown -l -f"), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(handle_count(), before);
  EXPECT_EQ(log.wait_for(201, 60000).size(), 201u);
}
