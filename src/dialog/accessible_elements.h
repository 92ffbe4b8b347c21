#pragma once
// The settings dialog as a screen reader sees it: the windowless labels drawn
// by the dialog, each as one simple element with a role, a name, a place and
// a checked state. The list and the sliders are the system's own windows and
// speak for themselves; only their names come from here.
//
// Elements keep their order and their number for the life of the window, so
// a reader's child number names the same control at every moment: the
// table's visible labels, in the table's order (which reads top to bottom,
// left to right by panel).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "dialog/control_table.h"
#include "dialog/dialog_layout.h"
#include "dialog/dialog_state.h"

namespace vantrel {

enum class AccessibleRole : std::uint8_t {
  PushButton,   // lbl_Button: acts on a press
  RadioButton,  // lbl_FF with its option mark: chooses File_Kind
  Link,         // lbl_URL: opens the home page
  StaticText,   // every other label: read, not acted on
};

struct AccessibleElement {
  ControlId control;  // the label the element stands for
  AccessibleRole role;
  std::string name;  // UTF-8; the label's caption as it is now
  // In the client area, device pixels at the layout's DPI; only what shows
  // inside the label's box. An option takes in its mark as well.
  DeviceRect place;
  bool checked = false;  // an option of the chosen kind
};

// The labels that become elements, in element order.
std::span<const ControlId> accessible_controls();

// The element a label stands for, by position in accessible_controls();
// nothing for a control that is none (a picture box, a face, a heading plate).
// An option mark belongs to its option label's element.
std::optional<std::size_t> accessible_index_of(ControlId control);

// Element `index` (below accessible_controls().size()) as the dialog shows it
// now, and every element.
AccessibleElement accessible_element(const DialogLayout& layout, const DialogState& state, std::size_t index);
std::vector<AccessibleElement> accessible_elements(const DialogLayout& layout, const DialogState& state);

// The element under a point of the client area, as the mouse would find it:
// nothing over a button face's margin, a plate or an empty panel.
std::optional<std::size_t> accessible_element_at(const DialogLayout& layout, int x, int y);

// Whether an element reacts to a default action (a press, a choice, a jump).
bool has_default_action(AccessibleRole role);

// The name a system control of the dialog takes: the caption of the label
// beside it ("画像のﾌｧｲﾙ" for List_1, "球の大きさ" and so on for H_Scroll),
// nothing for any other control.
std::optional<std::string_view> accessible_name_of_system_control(ControlId control);

}  // namespace vantrel
