#pragma once

namespace vantrel {

// The two ways the saver runs, chosen by the switch it was started with.
enum class RunKind {
  Saver,  // switch letter "S": cursor hidden, system keys blocked, movement ends it
  Plain,  // empty argument text: only a key or a click ends it, never a password
};

}  // namespace vantrel
