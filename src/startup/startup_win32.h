#pragma once
// The program's start in every mode: guard, switch, settings, hand-over.

#include <windows.h>

namespace vantrel {

// Runs the program for the argument text (without the program's own path) and
// returns the process exit code.
int run_program(HINSTANCE instance, const wchar_t* argument_text);

}  // namespace vantrel
