#pragma once
// A step of a sequence that goes on past failures: whatever the step throws
// (an allocation failure on huge input, a failing platform call) ends that
// step only, and the caller runs the next one.

namespace vantrel {

template <typename Step>
void run_guarded(Step&& step) noexcept {
  try {
    step();
  } catch (...) {
  }
}

}  // namespace vantrel
