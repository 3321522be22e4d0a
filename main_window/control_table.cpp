#include "main_window/control_table.h"

#include <algorithm>

std::vector<Control> tab_order() {
  std::vector<const ControlSpec*> placed;
  for (const ControlSpec& spec : kControls)
    if (spec.tab_index >= 0) placed.push_back(&spec);
  std::sort(placed.begin(), placed.end(),
            [](const ControlSpec* a, const ControlSpec* b) { return a->tab_index < b->tab_index; });
  std::vector<Control> order;
  for (const ControlSpec* spec : placed) order.push_back(spec->id);
  return order;
}

std::vector<Control> focus_order() {
  std::vector<Control> order = tab_order();
  std::erase_if(order, [](Control id) { return !takes_focus(control_spec(id).kind); });
  return order;
}
