#include "main_window/wiring.h"

#include <algorithm>

bool dispatch(HandlerContext& context, Control control, Event event) {
  const auto row = std::find_if(kWiring.begin(), kWiring.end(), [&](const WiringRow& r) {
    return r.control == control && r.event == event;
  });
  if (row == kWiring.end()) return false;
  // A timer disabled after its tick was queued must not run: a disabled timer never ticks.
  if (event == Event::Tick && !context.form.timer_enabled(control)) return false;
  row->handle(context);
  return true;
}
