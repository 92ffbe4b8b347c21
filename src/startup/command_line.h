#pragma once
// Reading the screen-saver switches from the argument text the system passes
// (the command line without the program's own path).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "saver/run_kind.h"

namespace vantrel {

enum class Mode {
  Preview,         // "P": the still picture inside the control panel's pane
  ChangePassword,  // "A": the saver password change of non-NT systems
  Settings,        // "C": the settings dialog
  Saver,           // "S", or an empty argument text
  End,             // any other letter, or a one-character argument text
};

struct StartRequest {
  Mode mode = Mode::End;
  RunKind run_kind = RunKind::Saver;  // meaningful for Mode::Saver only; empty text: Plain
  std::string handle_text;  // from the fourth character on, for "P" and "A"
};

// The switch letter is the second character, upper-cased; the first is never
// examined and the third (the separator before a handle) is skipped unread.
// `argument_text` is UTF-8; positions count characters, not bytes.
StartRequest parse_argument_text(std::string_view argument_text);

// The window handle a handle text names: blanks, tabs and line feeds anywhere
// are ignored; an optional sign, digits and an optional fraction are read up
// to the first character that cannot continue them; the value goes to the
// nearest whole number, halves to the even neighbour. A text that does not
// begin with a number, or a value outside 32 bits, names no window: 0.
std::int32_t read_handle_number(std::string_view handle_text);

}  // namespace vantrel
