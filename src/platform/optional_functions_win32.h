#pragma once
// System functions the program uses where the system has them, looked up at
// run time in this one place. The program runs on Windows 7 to 11; what
// every one of those has is called directly. Each function here gives
// nothing where it is missing, and its caller takes the older way.
//
// Two lookups stay for another reason than age:
// - DwmIsCompositionEnabled exists from Vista on, but dwmapi.dll is no known
//   DLL: imported, it would be searched for beside the program first. Loaded
//   here from the system folder, a copy planted there never runs.
// - The password functions of mpr.dll and password.cpl belong to the
//   systems outside the NT family alone, and the program asks for them only
//   there (Is_NT, which itself calls nothing that any Windows lacks).

#include <windows.h>

namespace vantrel::optional_functions {

// kernel32, Windows 8 (Windows 7 with its update KB2533623).
using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
SetDefaultDllDirectoriesFn SetDefaultDllDirectories();

// user32, Windows 10 1607 and later; before them there is one DPI for every
// monitor, the system's.
using SetThreadDpiAwarenessContextFn = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
SetThreadDpiAwarenessContextFn SetThreadDpiAwarenessContext();
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
GetDpiForWindowFn GetDpiForWindow();
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
AdjustWindowRectExForDpiFn AdjustWindowRectExForDpi();

// shcore, Windows 8.1 and later. The second argument is MDT_EFFECTIVE_DPI (0).
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
GetDpiForMonitorFn GetDpiForMonitor();

// powrprof, Windows 8 and later (mingw-w64's headers lack them): the power
// setting callbacks, both or neither.
using PowerSettingRegisterNotificationFn = DWORD(WINAPI*)(const GUID* setting, DWORD flags, HANDLE recipient,
                                                          void** registration);
using PowerSettingUnregisterNotificationFn = DWORD(WINAPI*)(void* registration);
struct PowerSettingNotification {
  PowerSettingRegisterNotificationFn register_notification = nullptr;
  PowerSettingUnregisterNotificationFn unregister_notification = nullptr;
  explicit operator bool() const { return register_notification && unregister_notification; }
};
PowerSettingNotification PowerSettingNotifications();

// dwmapi, from the system folder (see above).
using DwmIsCompositionEnabledFn = HRESULT(WINAPI*)(BOOL*);
DwmIsCompositionEnabledFn DwmIsCompositionEnabled();

// Non-NT systems only (see above): the password change of mpr.dll and the
// password check of password.cpl. Each call loads its DLL from the system
// folder and holds it for the process's life.
using PwdChangePasswordFn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
PwdChangePasswordFn PwdChangePasswordA();
using VerifyScreenSavePwdFn = BOOL(WINAPI*)(HWND);
VerifyScreenSavePwdFn VerifyScreenSavePwd();

// Wine's own export in ntdll: true under Wine, whose user32 only stubs some
// drawing the program then does itself.
bool running_under_wine();

}  // namespace vantrel::optional_functions
