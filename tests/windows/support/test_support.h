#pragma once
// Helpers for the tests that run under Windows (or Wine): message pumping, the fake
// shutdown.exe's log, and closing the error messages the program shows.

#include <windows.h>

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

std::wstring this_exe_directory();

// Passes only when the fake shutdown.exe stands beside this test program, where the tests'
// own launchers are told to look. Tests that start commands assert it before clicking anything.
::testing::AssertionResult fake_shutdown_is_in_place();

// shutdown.exe in the system folder as Windows names it to the test (GetSystemDirectoryW),
// independently of the program's own idea of that folder.
std::wstring windows_system_shutdown();

// Passes only when the system folder's shutdown.exe, the one the real program starts, is the
// fake: in the tests' own Wine prefix, never on a Windows of one's own.
::testing::AssertionResult system_shutdown_is_the_fake();

// Whether two paths name the same file, as Windows compares them (regardless of case).
bool same_path(const std::wstring& a, const std::wstring& b);

// Dispatches this thread's messages, as the program's loop does, for the given time or until
// the condition holds. Returns whether the condition held.
void pump_messages_for(DWORD milliseconds);
bool pump_until(const std::function<bool()>& condition, DWORD timeout_milliseconds);

struct StartRecord {
  bool shown_minimized;
  std::wstring command_line;
  friend bool operator==(const StartRecord&, const StartRecord&) = default;
};
void PrintTo(const StartRecord& record, std::ostream* out);

// Makes the fake shutdown.exe record its starts in a fresh file while the object lives, and
// optionally sleep before it exits.
class FakeShutdownLog {
 public:
  explicit FakeShutdownLog(DWORD fake_sleeps_milliseconds = 0);
  ~FakeShutdownLog();
  FakeShutdownLog(const FakeShutdownLog&) = delete;
  FakeShutdownLog& operator=(const FakeShutdownLog&) = delete;

  std::vector<StartRecord> records() const;
  // The full path of the fake that answered each start, in the order of records().
  std::vector<std::wstring> programs() const;
  // The command lines of the fakes that have slept their time out.
  std::vector<std::wstring> finished() const;
  // Waits (pumping messages) until at least count records are there; returns them.
  std::vector<StartRecord> wait_for(std::size_t count, DWORD timeout_milliseconds = 10000) const;
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

// Closes every message box this thread shows while the object lives, and keeps their texts.
// A box may be left open for a while, so that its own message loop runs meanwhile. The
// program shows its messages only after the handler that failed has returned: pump messages
// before looking.
class MessageBoxCloser {
 public:
  explicit MessageBoxCloser(UINT close_after_milliseconds = 0);
  ~MessageBoxCloser();
  MessageBoxCloser(const MessageBoxCloser&) = delete;
  MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

  const std::vector<std::wstring>& texts() const;
  const std::vector<std::wstring>& titles() const;
  const std::vector<HWND>& owners() const;
  // Per box: whether its owner could still take input while the box was open.
  const std::vector<bool>& owners_enabled() const;
  // The most message boxes of this thread that were open together.
  int most_open_at_once() const;

 private:
  HHOOK hook_;
};

// A process started from its executable in a working folder, ended by force should it outlive
// the object. The caller finds its window, by its process id, in whatever way its timing needs.
class StartedProcess {
 public:
  StartedProcess(const std::wstring& exe, const std::wstring& working_folder, const std::wstring& arguments = L"",
                 DWORD creation_flags = 0);
  ~StartedProcess();
  StartedProcess(const StartedProcess&) = delete;
  StartedProcess& operator=(const StartedProcess&) = delete;

  bool started() const { return process_ != nullptr; }
  DWORD id() const { return id_; }
  // Waits, pumping this thread's messages, for the process to end; its exit status, or
  // STILL_ACTIVE if it has not ended in time.
  DWORD wait(DWORD timeout_milliseconds = 10000) const;
  // Asks the window to close, as its close button does, then waits as above.
  DWORD close(HWND window, DWORD timeout_milliseconds = 10000) const;

 private:
  HANDLE process_{};
  DWORD id_{};
};

// tests/bin's test_child.exe, a GUI program as the real one is (see its source). Started with
// DETACHED_PROCESS it has no console, as a program started from the desktop has none: a console
// it had inherited would be handed on to the console programs it starts.
std::wstring test_child_exe();

// The first visible top-level window of the process that the test wants, or null.
HWND visible_window_of(DWORD process_id, const std::function<bool(HWND)>& wanted);

std::wstring window_text(HWND window);
std::wstring class_name(HWND window);
