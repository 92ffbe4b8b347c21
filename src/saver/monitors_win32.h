#pragma once
// The monitors the system has now, as the saver's cover layout takes them.

#include <vector>

#include "saver/cover_layout.h"

namespace vantrel {

// Every monitor of the desktop in screen pixels with its own DPI (the
// calling thread is per-monitor aware), in the system's order.
std::vector<Monitor> system_monitors();

// The primary screen from the system's metrics, for when no monitor can be
// listed.
Monitor primary_screen();

}  // namespace vantrel
