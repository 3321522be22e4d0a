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

// tests/bin's test_child.exe, a GUI program as the real one is (see its source), started with
// the arguments; ended by force should it outlive the object.
class TestChild {
 public:
  // Detached, the child has no console, as a program started from the desktop has none: a
  // console it had inherited would be handed on to the console programs it starts.
  enum class Console { Detached, Inherited };
  explicit TestChild(const std::wstring& arguments, Console console = Console::Inherited);
  ~TestChild();
  TestChild(const TestChild&) = delete;
  TestChild& operator=(const TestChild&) = delete;

  bool started() const { return process_ != nullptr; }
  DWORD process_id() const { return process_id_; }
  // Waits, pumping messages, for the child to end; its exit code, or STILL_ACTIVE.
  DWORD wait(DWORD timeout_milliseconds = 10000);

 private:
  HANDLE process_{};
  DWORD process_id_{};
};

// The first visible top-level window of the process that the test wants, or null.
HWND visible_window_of(DWORD process_id, const std::function<bool(HWND)>& wanted);

std::wstring window_text(HWND window);
std::wstring class_name(HWND window);
