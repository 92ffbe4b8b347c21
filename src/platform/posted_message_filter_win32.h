#pragma once
// Which posted messages our message loops dispatch. Any program on the
// desktop can post any message with any parameters to our windows and to the
// system controls in them. The system itself posts only a few kinds (input,
// timers, paint and quit requests, and the messages a program reserves for
// itself from WM_USER on); the others are sent, and many of those carry a
// pointer in a parameter (WM_NCCALCSIZE, WM_DPICHANGED, LB_ADDSTRING, ...)
// that a posted copy would make a window procedure or a control follow into
// whatever memory the number names. A loop drops every posted message of the
// system's range that the system would not post itself.

#include <windows.h>

namespace vantrel {

// True for a message a loop may dispatch (see above).
inline bool may_dispatch_posted(const MSG& message) {
  const UINT id = message.message;
  if (id >= WM_USER) return true;  // ours (WM_APP on) and the system's private ones carry nothing we trust
  if (id >= WM_KEYFIRST && id <= WM_KEYLAST) return true;
  if (id >= WM_MOUSEFIRST && id <= WM_MOUSELAST) return true;
  if (id >= WM_NCMOUSEMOVE && id <= WM_NCXBUTTONDBLCLK) return true;
  if (id >= WM_IME_STARTCOMPOSITION && id <= WM_IME_KEYLAST) return true;
  if (id >= WM_IME_SETCONTEXT && id <= WM_IME_KEYUP) return true;
  switch (id) {
    case WM_NULL:
    case WM_TIMER:
    case 0x0118:  // WM_SYSTIMER: the caret's and the system's own timers
    case WM_PAINT:
    case WM_SYNCPAINT:
    case WM_QUIT:
    case WM_CLOSE:  // how another program asks a window to close; the window decides
    case WM_QUERYENDSESSION:
    case WM_ENDSESSION:  // flags only: the session's end ends a saver run as a close does
    case WM_SYSCOMMAND:
    case WM_HOTKEY:
    case WM_INPUT:
    case WM_MOUSEHOVER:
    case WM_MOUSELEAVE:
    case WM_NCMOUSEHOVER:
    case WM_NCMOUSELEAVE:
    case WM_CANCELMODE:
      return true;
    default:
      return false;
  }
}

}  // namespace vantrel
