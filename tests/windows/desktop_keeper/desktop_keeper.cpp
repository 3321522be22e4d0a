// Keeps the Wine session's desktop open while the tests run. Wine closes a desktop about a
// second after the last process that used it has ended, and the next window starts a new
// desktop process, which inherits that test's standard output: ctest then waits for it to end,
// more than a second for every test. This process uses the desktop and waits until the
// session ends it.

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  if (!GetDesktopWindow()) return 1;
  Sleep(INFINITE);
  return 0;
}
