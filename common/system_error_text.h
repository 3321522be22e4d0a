#pragma once
// Words for the user from the system: an error code's own message.

#include <windows.h>

#include <string>

// The system's own words for an error code, followed by the code: "... (error 2)".
std::wstring system_error_text(DWORD error);
