#include "schedule/field_filler.h"

void fill_date_and_time(FormState& form, ClockText& clock) {
  form.set_text(Control::Text2, clock.now_as_text(ClockForm::Date));
  form.set_text(Control::Text1, clock.now_as_text(ClockForm::Time));
  form.set_timer_enabled(Control::Timer4, false);
}
