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

std::vector<ChildWindow> child_order() {
  const auto names_a_box = [](Control label) {
    return std::any_of(kControls.begin(), kControls.end(),
                       [&](const ControlSpec& spec) { return spec.named_by == label; });
  };
  std::vector<ChildWindow> order;
  for (Control id : tab_order()) {
    const ControlSpec& spec = control_spec(id);
    if (spec.kind == ControlKind::Label && names_a_box(id)) continue;  // it goes before its box
    if (spec.kind == ControlKind::TextBox)
      order.push_back(spec.named_by ? ChildWindow{*spec.named_by} : ChildWindow{id, true});
    order.push_back({id});
  }
  return order;
}
