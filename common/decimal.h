#pragma once
// A number in decimal digits, without the C runtime's formatting (which would add its printf
// machinery to the executable) and without <windows.h>.

#include <string>

inline std::wstring decimal(unsigned long long number) {
  std::wstring digits;
  do {
    digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + number % 10));
    number /= 10;
  } while (number != 0);
  return digits;
}
