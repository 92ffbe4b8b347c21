#pragma once
// Which pointer the settings dialog shows where. The window finds out what
// lies under the pointer and sets the shape this rule gives.

#include <cstdint>
#include <optional>

#include "dialog/control_table.h"

namespace vantrel {

enum class PointerShape : std::uint8_t {
  System,     // the system's own pointer for the place (the frame's edges, the caption)
  Arrow,
  Hand,       // the dialog's pointing hand
  Hourglass,
};

// What lies under the pointer: the window's frame or caption, or its client
// area with the control found there (the list and the bars included, nothing
// over a bare panel).
struct PointerPlace {
  bool frame = false;
  std::optional<ControlId> control;
};

// Over the frame, the system decides; elsewhere the hourglass while the dialog
// is busy, otherwise the hand over the controls the table marks clickable
// and the arrow over everything else.
PointerShape pointer_for(const PointerPlace& place, bool busy);

}  // namespace vantrel
