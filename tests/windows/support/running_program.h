#pragma once
// The real program, run as its users run it: a copy of the built executable with the fake
// shutdown.exe beside it, driven from outside through window messages.

#include <windows.h>

#include <string>

#include "common/form_state.h"

// A fresh folder holding a copy of the program and of the fake shutdown.exe.
class ProgramCopy {
 public:
  ProgramCopy();
  ~ProgramCopy();
  ProgramCopy(const ProgramCopy&) = delete;
  ProgramCopy& operator=(const ProgramCopy&) = delete;

  bool ready() const { return ready_; }  // both files are in place
  const std::wstring& program() const { return program_; }

 private:
  std::wstring folder_;
  std::wstring program_;
  bool ready_ = false;
};

class RunningProgram {
 public:
  // Starts the program and waits until its window is up and the boxes have been filled.
  explicit RunningProgram(const std::wstring& program, const std::wstring& arguments = L"");
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  HWND window() const { return window_; }
  DWORD process_id() const { return process_id_; }
  HWND control(Control id) const;
  std::wstring text(Control box) const;
  void set_text(Control box, const std::wstring& text) const;
  void click(Control button) const;

  // Asks the window to close, as its close button does; returns whether the process ended.
  bool close(DWORD timeout_milliseconds = 10000);

 private:
  HANDLE process_{};
  DWORD process_id_{};
  HWND window_{};
};

// The clock text of the local time a number of seconds from now.
std::wstring clock_text_in(double seconds_from_now, bool date);
