#include "schedule/field_filler.h"

void fill_date_and_time(FormState& form, ClockText& clock) {
  const ClockTexts now = clock.now_as_texts();
  form.set_text(Control::Text2, now.date);
  form.set_text(Control::Text1, now.time);
  form.set_timer_enabled(Control::Timer4, false);
}
