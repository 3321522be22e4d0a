#pragma once
// The whole state the program's handlers can see: the texts of the three boxes and the
// enabled flags of the four timers; and where they hand a failure to be shown to the user.
// The window implements it; tests use a fake.

#include <cstdint>
#include <string>
#include <string_view>

// Every control of the main window, by its name.
enum class Control : std::uint8_t {
  Command1, Command2, Command3, Command4, Command5,
  Command6, Command7, Command8, Command9, Command10,
  Text1, Text2, Text3,
  Timer1, Timer2, Timer3, Timer4,
  Label1, Label2, Label3, Label4,
};
inline constexpr int kControlCount = 21;

class FormState {
 public:
  virtual ~FormState() = default;

  // box is Text1, Text2 or Text3; texts are read and replaced whole.
  virtual std::wstring text(Control box) const = 0;
  virtual void set_text(Control box, std::wstring_view text) = 0;

  // timer is Timer1 to Timer4. Enabling an enabled timer leaves it running as it was.
  virtual bool timer_enabled(Control timer) const = 0;
  virtual void set_timer_enabled(Control timer, bool enabled) = 0;

  // Shows a failure to the user once the running handler has returned, never inside it: a
  // message box runs a message loop of its own, which would deliver further events first.
  virtual void report(std::wstring text) = 0;
};
