#include "platform/platform_check_win32.h"

#include <windows.h>

namespace vantrel {

bool Is_NT() {
  // The single-byte record is the one the check has always read; only its
  // platform identifier matters, and a failed call counts as "not NT".
  OSVERSIONINFOA record{};
  record.dwOSVersionInfoSize = sizeof(record);
  return GetVersionExA(&record) == 1 && record.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

}  // namespace vantrel
