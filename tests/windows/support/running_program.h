#pragma once
// The real program, run as its users run it: a copy of the built executable, driven from
// outside through window messages. It starts the system folder's shutdown.exe, which in the
// tests' Wine prefix is the fake; decoy fakes lie where Windows would otherwise look first.

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "common/form_state.h"

// A fresh folder holding a copy of the program with a decoy fake shutdown.exe beside it, and a
// second fresh folder, the one the copy is started in, holding another decoy.
class ProgramCopy {
 public:
  ProgramCopy();
  ~ProgramCopy();
  ProgramCopy(const ProgramCopy&) = delete;
  ProgramCopy& operator=(const ProgramCopy&) = delete;

  // The files are in place and the system folder's shutdown.exe is the fake.
  ::testing::AssertionResult ready() const;
  const std::wstring& program() const { return program_; }
  const std::wstring& working_folder() const { return working_folder_; }

 private:
  std::wstring folder_;
  std::wstring working_folder_;
  std::wstring program_;
  bool copied_ = false;
};

class RunningProgram {
 public:
  // Starts the copy in its working folder and waits until its window is up and the boxes
  // have been filled.
  explicit RunningProgram(const ProgramCopy& copy, const std::wstring& arguments = L"");
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  HWND window() const { return window_; }
  DWORD process_id() const { return process_id_; }
  HWND control(Control id) const;
  std::wstring text(Control box) const;
  void set_text(Control box, const std::wstring& text) const;
  void click(Control button) const;

  // Asks the window to close, as its close button does; returns the process's exit status
  // once it has ended, STILL_ACTIVE if it has not.
  DWORD close(DWORD timeout_milliseconds = 10000);

 private:
  HANDLE process_{};
  DWORD process_id_{};
  HWND window_{};
};

// The clock text of the local time a number of seconds from now.
std::wstring clock_text_in(double seconds_from_now, bool date);
