#pragma once
// Which family of Windows the program runs on.

namespace vantrel {

// True on the NT platform family (every current Windows, and Wine), where the
// saver password belongs to the system and the program never asks for it.
bool Is_NT();

}  // namespace vantrel
