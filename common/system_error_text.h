#pragma once
// Words for the user from the system: an error code's own message, and an exception's.

#include <windows.h>

#include <string>
#include <string_view>

// The system's own words for an error code, followed by the code: "... (error 2)".
std::wstring system_error_text(DWORD error);

// An exception's message as UTF-16. The program's own messages are UTF-8; one that is not
// valid UTF-8 comes from code that writes in the system's code page, and is read in that.
std::wstring exception_text(std::string_view message);
