#include "dialog/accessible_elements.h"

#include <algorithm>
#include <cassert>
#include <array>
#include <utility>

namespace vantrel {
namespace {

using enum ControlId;

bool is_visible_label(const ControlSpec& entry) { return entry.kind == ControlKind::Label && !entry.off_screen; }

const std::vector<ControlId>& element_controls() {
  static const std::vector<ControlId> controls = [] {
    std::vector<ControlId> labels;
    for (const ControlSpec& entry : control_table())
      if (is_visible_label(entry)) labels.push_back(entry.id);
    return labels;
  }();
  return controls;
}

AccessibleRole role_of(ControlId control) {
  if (control == lbl_URL) return AccessibleRole::Link;
  for (int i = 0; i < 3; ++i)
    if (control == *lbl_Button(i)) return AccessibleRole::PushButton;
  for (int kind = 0; kind < 2; ++kind)
    if (control == *lbl_FF(kind)) return AccessibleRole::RadioButton;
  return AccessibleRole::StaticText;
}

// The option kind a label or mark stands for, or -1.
int option_kind_of(ControlId control) {
  for (int kind = 0; kind < 2; ++kind)
    if (control == *lbl_FF(kind) || control == *Img_FF(kind)) return kind;
  return -1;
}

DeviceRect united(const DeviceRect& a, const DeviceRect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// What of `place` shows inside the box of `control`.
DeviceRect clipped_to_box(const DialogLayout& layout, ControlId control, DeviceRect place) {
  const auto box = box_of(spec_of(control).parent);
  if (!box) return place;
  const DeviceRect& inside = layout.inner_of(*box);
  place = {std::max(place.left, inside.left), std::max(place.top, inside.top), std::min(place.right, inside.right),
           std::min(place.bottom, inside.bottom)};
  if (place.right < place.left) place.right = place.left;
  if (place.bottom < place.top) place.bottom = place.top;
  return place;
}

}  // namespace

std::span<const ControlId> accessible_controls() { return element_controls(); }

std::optional<std::size_t> accessible_index_of(ControlId control) {
  const int kind = option_kind_of(control);
  if (kind >= 0) control = *lbl_FF(kind);
  const auto& controls = element_controls();
  const auto found = std::find(controls.begin(), controls.end(), control);
  if (found == controls.end()) return std::nullopt;
  return static_cast<std::size_t>(found - controls.begin());
}

AccessibleElement accessible_element(const DialogLayout& layout, const DialogState& state, std::size_t index) {
  assert(index < element_controls().size() && "an element index names one of accessible_controls()");
  const ControlId control = element_controls()[index];
  AccessibleElement element{control, role_of(control), state.captions[index_of(control)], layout.outer_of(control)};
  const int kind = option_kind_of(control);
  if (kind >= 0) {
    const ControlId mark = *Img_FF(kind);
    element.place = united(element.place, layout.outer_of(mark));
    element.checked = state.pictures[index_of(mark)] == CarriedPicture::OptionChosen;
  }
  element.place = clipped_to_box(layout, control, element.place);
  return element;
}

std::vector<AccessibleElement> accessible_elements(const DialogLayout& layout, const DialogState& state) {
  std::vector<AccessibleElement> elements;
  elements.reserve(element_controls().size());
  for (std::size_t i = 0; i < element_controls().size(); ++i) elements.push_back(accessible_element(layout, state, i));
  return elements;
}

std::optional<std::size_t> accessible_element_at(const DialogLayout& layout, int x, int y) {
  const std::optional<ControlId> under = windowless_control_at(layout, x, y);
  if (!under) return std::nullopt;
  return accessible_index_of(*under);
}

bool has_default_action(AccessibleRole role) { return role != AccessibleRole::StaticText; }

std::optional<std::string_view> accessible_name_of_system_control(ControlId control) {
  // Each system control's label lies beside it in the table: the list under
  // its heading, each slider at the right of its label.
  constexpr std::array<std::pair<ControlId, ControlId>, 5> kBeside = {{
      {List_1, lbl_12},
      {H_Scroll_0, lbl_14},
      {H_Scroll_1, lbl_7},
      {H_Scroll_2, lbl_4},
      {H_Scroll_3, lbl_5},
  }};
  for (const auto& [system_control, label] : kBeside)
    if (system_control == control) return spec_of(label).caption;
  return std::nullopt;
}

}  // namespace vantrel
