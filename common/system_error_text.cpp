#include "common/system_error_text.h"

#include <algorithm>
#include <climits>
#include <cstddef>

#include "common/decimal.h"

namespace {

// Empty when the text is not valid in the code page (with MB_ERR_INVALID_CHARS).
std::wstring widened(std::string_view text, UINT code_page, DWORD flags) {
  const int length = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
  const int size = MultiByteToWideChar(code_page, flags, text.data(), length, nullptr, 0);
  if (size <= 0) return {};
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(code_page, flags, text.data(), length, out.data(), size);
  return out;
}

}  // namespace

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

std::wstring exception_text(std::string_view message) {
  std::wstring text = widened(message, CP_UTF8, MB_ERR_INVALID_CHARS);
  return text.empty() ? widened(message, CP_ACP, 0) : text;
}
