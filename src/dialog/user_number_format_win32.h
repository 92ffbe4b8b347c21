#pragma once
// The digit grouping of the user's own number format (Region settings).

#include "dialog/number_format.h"

namespace vantrel {

// The user's thousands separator and group sizes; a comma every three digits
// when the system cannot tell.
DigitGrouping user_digit_grouping();

}  // namespace vantrel
