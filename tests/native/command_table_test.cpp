#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "power/failure_report.h"
#include "power/power_action.h"

TEST(CommandTable, HoldsTheSixCommandTextsExactly) {
  EXPECT_EQ(forced_command(PowerAction::Shutdown), L"shutdown -s -f");
  EXPECT_EQ(forced_command(PowerAction::Restart), L"shutdown -r -f");
  EXPECT_EQ(forced_command(PowerAction::Logoff), L"shutdown -l -f");
  EXPECT_EQ(command_row(PowerAction::Shutdown).countdown_prefix, L"Shutdown -s -t");
  EXPECT_EQ(command_row(PowerAction::Restart).countdown_prefix, L"shutdown -r -t");
  EXPECT_EQ(command_row(PowerAction::Logoff).countdown_prefix, L"Shutdown -l -t");
  for (const CommandRow& row : kCommandTable) {
    EXPECT_EQ(row.forced_command.size(), 14u);
    EXPECT_EQ(row.countdown_prefix.size(), 14u);
  }
}

TEST(CountdownCommand, AppendsTheSecondsTextWithoutASeparator) {
  EXPECT_EQ(countdown_command(PowerAction::Shutdown, L"30"), L"Shutdown -s -t30");
  EXPECT_EQ(countdown_command(PowerAction::Shutdown, L" 30"), L"Shutdown -s -t 30");
  EXPECT_EQ(countdown_command(PowerAction::Restart, L"5"), L"shutdown -r -t5");
  EXPECT_EQ(countdown_command(PowerAction::Logoff, L"60"), L"Shutdown -l -t60");
}

TEST(CountdownCommand, PassesAnyTextOnVerbatim) {
  EXPECT_EQ(countdown_command(PowerAction::Shutdown, L""), L"Shutdown -s -t");
  EXPECT_EQ(countdown_command(PowerAction::Shutdown, L"Enter Second If You want to countdown"),
            L"Shutdown -s -tEnter Second If You want to countdown");
  EXPECT_EQ(countdown_command(PowerAction::Logoff, L" 10 & del x | \"a b\" %PATH% ^ "),
            L"Shutdown -l -t 10 & del x | \"a b\" %PATH% ^ ");
  EXPECT_EQ(countdown_command(PowerAction::Restart, L"30\r\nshutdown -a"),
            L"shutdown -r -t30\r\nshutdown -a");
}

// The seconds box takes any length: a report shows a command line whole up to 200 characters,
// and of a longer one its first 200 and its length.
TEST(FailureReport, ShowsTheCommandLineWholeUpTo200CharactersAndCutsALongerOneThere) {
  const struct {
    std::size_t length;
    std::wstring shown;
  } rows[] = {
      {200, std::wstring(200, L'7')},
      {201, std::wstring(200, L'7') + L"\x2026 (201 characters)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.length);
    EXPECT_EQ(failure_report(L"Heading", std::wstring(row.length, L'7'), LaunchFailure{L"Reason"}),
              L"Heading\n\n" + row.shown + L"\n\nReason");
  }
}
