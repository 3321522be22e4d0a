// What happens when an exception escapes everything (none should: the window procedure
// catches them). The static GNU C++ runtime's default handler writes the demangled exception
// type to stderr, which a GUI program does not have, and links in about 60 KB of demangler
// and printf to do it. This one stops the window, says it where the user can see it, and ends
// the process.

#include "main_window/main_window_win32.h"

namespace __gnu_cxx {
void __verbose_terminate_handler() { end_program_after_fatal_error(); }
}  // namespace __gnu_cxx
