#include "common/system_error_text.h"

#include "common/decimal.h"

std::wstring system_error_text(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring reason = length ? std::wstring(buffer, length) : std::wstring{};
  LocalFree(buffer);
  while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L' '))
    reason.pop_back();
  if (reason.empty()) reason = L"Unknown error";
  return reason + L" (error " + decimal(error) + L")";
}
