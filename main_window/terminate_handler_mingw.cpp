// What happens when an exception escapes everything (none should: the window procedure
// catches them). The static GNU C++ runtime's default handler writes the demangled exception
// type to stderr, which a GUI program does not have, and links in about 60 KB of demangler
// and printf to do it. This one says it where the user can see it, then ends the process.

#include <windows.h>

#include <cstdlib>

#include "main_window/message_title.h"

namespace __gnu_cxx {
void __verbose_terminate_handler() {
  MessageBoxW(nullptr, L"An unexpected error has ended the program.", kMessageTitle, MB_OK | MB_ICONERROR);
  std::abort();
}
}  // namespace __gnu_cxx
