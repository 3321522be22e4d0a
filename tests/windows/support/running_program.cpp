#include <cstddef>

#include "support/running_program.h"

#include "main_window/control_table.h"
#include "main_window/main_window_win32.h"
#include "power/launcher_win32.h"
#include "schedule/clock_text_win32.h"
#include "support/test_support.h"

namespace {

std::wstring fresh_folder(const wchar_t* kind) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  static int made = 0;
  const std::wstring folder = std::wstring(temp) + L"varnok-" + kind + L"-" + std::to_wstring(GetCurrentProcessId()) +
                              L"-" + std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++made);
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

// The programs Wine is told to prefer a native uxtheme.dll for, as Windows has no other kind.
constexpr const wchar_t* kPreferNative[] = {L"Varnok Shutdown Manager.exe", L"test_child.exe"};
std::wstring dll_overrides(const wchar_t* program) {
  return std::wstring{L"Software\\Wine\\AppDefaults\\"} + program + L"\\DllOverrides";
}

}  // namespace

ProgramCopy::ProgramCopy() : folder_{fresh_folder(L"run")}, working_folder_{fresh_folder(L"cwd")} {
  program_ = folder_ + L"\\Varnok Shutdown Manager.exe";
  const std::wstring fake = this_exe_directory() + L"\\shutdown.exe";
  copied_ = CopyFileW(L"" VARNOK_PROGRAM_PATH, program_.c_str(), FALSE) &&
            CopyFileW(fake.c_str(), shutdown_program_in(folder_).c_str(), FALSE) &&
            CopyFileW(fake.c_str(), shutdown_program_in(working_folder_).c_str(), FALSE) &&
            CopyFileW((this_exe_directory() + L"\\planted\\uxtheme.dll").c_str(), (folder_ + L"\\uxtheme.dll").c_str(),
                      FALSE);
  for (const wchar_t* program : kPreferNative)
    RegSetKeyValueW(HKEY_CURRENT_USER, dll_overrides(program).c_str(), L"uxtheme", REG_SZ, L"native,builtin",
                    sizeof L"native,builtin");
}

ProgramCopy::~ProgramCopy() {
  for (const wchar_t* program : kPreferNative) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, dll_overrides(program).c_str(), L"uxtheme");
    DeleteFileW((folder_ + L"\\loaded-by-" + program).c_str());
    DeleteFileW((folder_ + L"\\" + program).c_str());  // the program, and a child a test put beside it
  }
  DeleteFileW((folder_ + L"\\uxtheme.dll").c_str());
  for (const std::wstring& folder : {folder_, working_folder_}) {
    DeleteFileW(shutdown_program_in(folder).c_str());
    RemoveDirectoryW(folder.c_str());
  }
}

bool ProgramCopy::planted_dll_loaded_by(const std::wstring& program) const {
  return GetFileAttributesW((folder_ + L"\\loaded-by-" + program).c_str()) != INVALID_FILE_ATTRIBUTES;
}

::testing::AssertionResult ProgramCopy::ready() const {
  if (!copied_) return ::testing::AssertionFailure() << "the program or the decoy fakes could not be copied";
  return system_shutdown_is_the_fake();
}

bool program_window_ready(HWND window) {
  return window_text(window) == kForm.title && GetDlgItem(window, control_id(Control::Label1)) &&
         box_text(GetDlgItem(window, control_id(Control::Text2))) != L"dd";
}

LRESULT send_to(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, 10000, &result) ? static_cast<LRESULT>(result)
                                                                                           : 0;
}

std::wstring box_text(HWND box) {
  std::wstring text(static_cast<std::size_t>(send_to(box, WM_GETTEXTLENGTH)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(send_to(box, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

// The window counts as up once its last control exists and the first fill has happened.
RunningProgram::RunningProgram(const ProgramCopy& copy, const std::wstring& arguments)
    : process_{copy.program(), copy.working_folder(), arguments} {
  if (process_.started())
    pump_until([&] { return (window_ = visible_window_of(process_.id(), program_window_ready)) != nullptr; }, 15000);
}

RunningProgram::~RunningProgram() {
  if (process_.started()) close();
}

HWND RunningProgram::control(Control id) const { return GetDlgItem(window_, control_id(id)); }

std::wstring RunningProgram::text(Control box) const { return box_text(control(box)); }

void RunningProgram::set_text(Control box, const std::wstring& text) const {
  send_to(control(box), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void RunningProgram::click(Control button) const { send_to(control(button), BM_CLICK); }

std::wstring clock_text_in(double seconds_from_now, bool date) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  FILETIME as_file_time{};
  SystemTimeToFileTime(&now, &as_file_time);
  ULARGE_INTEGER ticks{};
  ticks.LowPart = as_file_time.dwLowDateTime;
  ticks.HighPart = as_file_time.dwHighDateTime;
  ticks.QuadPart += static_cast<ULONGLONG>(seconds_from_now * 10'000'000.0);
  as_file_time.dwLowDateTime = ticks.LowPart;
  as_file_time.dwHighDateTime = ticks.HighPart;
  SYSTEMTIME then{};
  FileTimeToSystemTime(&as_file_time, &then);
  return clock_text_at(then, date ? ClockForm::Date : ClockForm::Time);
}
