#pragma once
// The real program, run as its users run it: a copy of the built executable, driven from
// outside through window messages. It starts the system folder's shutdown.exe, which in the
// tests' Wine prefix is the fake; decoy fakes lie where Windows would otherwise look first.

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "common/form_state.h"
#include "support/test_support.h"

// A fresh folder holding a copy of the program with decoys beside it, as a download folder may
// hold them: a fake shutdown.exe, and a uxtheme.dll that Wine is told to prefer to its own (see
// tests/windows/planted_dll); and a second fresh folder, the one the copy is started in,
// holding another fake shutdown.exe.
class ProgramCopy {
 public:
  ProgramCopy();
  ~ProgramCopy();
  ProgramCopy(const ProgramCopy&) = delete;
  ProgramCopy& operator=(const ProgramCopy&) = delete;

  // The files are in place and the system folder's shutdown.exe is the fake.
  ::testing::AssertionResult ready() const;
  const std::wstring& folder() const { return folder_; }
  const std::wstring& program() const { return program_; }
  const std::wstring& working_folder() const { return working_folder_; }
  // Whether the planted DLL has been loaded into a process of that file name.
  bool planted_dll_loaded_by(const std::wstring& program) const;

 private:
  std::wstring folder_;
  std::wstring working_folder_;
  std::wstring program_;
  bool copied_ = false;
};

// Whether a window is the program's, up and usable: its last control exists and the first
// tick has filled the boxes.
bool program_window_ready(HWND window);

// Another process's window is sent messages with a time limit, so that a program that hangs
// fails its caller instead of hanging it; 0 when it did not answer in time.
LRESULT send_to(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);

// An edit box of another process, read with WM_GETTEXT: GetWindowTextW does not read another
// program's control (Microsoft's GetWindowText page says so).
std::wstring box_text(HWND box);

class RunningProgram {
 public:
  // Starts the copy in its working folder and waits until its window is up and the boxes
  // have been filled.
  explicit RunningProgram(const ProgramCopy& copy, const std::wstring& arguments = L"");
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  HWND window() const { return window_; }
  DWORD process_id() const { return process_.id(); }
  HWND control(Control id) const;
  std::wstring text(Control box) const;
  void set_text(Control box, const std::wstring& text) const;
  void click(Control button) const;

  // As StartedProcess::close, for the program's window.
  DWORD close(DWORD timeout_milliseconds = 10000) { return process_.close(window_, timeout_milliseconds); }

 private:
  StartedProcess process_;
  HWND window_{};
};

// The clock text of the local time a number of seconds from now.
std::wstring clock_text_in(double seconds_from_now, bool date);
