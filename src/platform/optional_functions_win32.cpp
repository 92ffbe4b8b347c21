#include "platform/optional_functions_win32.h"

#include "platform/system_library_win32.h"

namespace vantrel::optional_functions {
namespace {

// A function of a DLL every process has loaded already.
template <typename Function>
Function loaded(const wchar_t* module, const char* name) {
  const HMODULE handle = GetModuleHandleW(module);
  return handle ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(handle, name))) : nullptr;
}

// A function of a DLL loaded from the system folder; `module` is kept for
// the process's life, as the function it gives is.
template <typename Function>
Function from_system_folder(const ModuleHandle& module, const char* name) {
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module.get(), name))) : nullptr;
}

}  // namespace

SetDefaultDllDirectoriesFn SetDefaultDllDirectories() {
  static const auto function = loaded<SetDefaultDllDirectoriesFn>(L"kernel32.dll", "SetDefaultDllDirectories");
  return function;
}

SetThreadDpiAwarenessContextFn SetThreadDpiAwarenessContext() {
  static const auto function = loaded<SetThreadDpiAwarenessContextFn>(L"user32.dll", "SetThreadDpiAwarenessContext");
  return function;
}

GetDpiForWindowFn GetDpiForWindow() {
  static const auto function = loaded<GetDpiForWindowFn>(L"user32.dll", "GetDpiForWindow");
  return function;
}

AdjustWindowRectExForDpiFn AdjustWindowRectExForDpi() {
  static const auto function = loaded<AdjustWindowRectExForDpiFn>(L"user32.dll", "AdjustWindowRectExForDpi");
  return function;
}

GetDpiForMonitorFn GetDpiForMonitor() {
  static const ModuleHandle shcore = load_system_library(L"shcore.dll");
  static const auto function = from_system_folder<GetDpiForMonitorFn>(shcore, "GetDpiForMonitor");
  return function;
}

PowerSettingNotification PowerSettingNotifications() {
  static const ModuleHandle powrprof = load_system_library(L"powrprof.dll");
  static const PowerSettingNotification functions{
      from_system_folder<PowerSettingRegisterNotificationFn>(powrprof, "PowerSettingRegisterNotification"),
      from_system_folder<PowerSettingUnregisterNotificationFn>(powrprof, "PowerSettingUnregisterNotification")};
  return functions;
}

DwmIsCompositionEnabledFn DwmIsCompositionEnabled() {
  static const ModuleHandle dwmapi = load_system_library(L"dwmapi.dll");
  static const auto function = from_system_folder<DwmIsCompositionEnabledFn>(dwmapi, "DwmIsCompositionEnabled");
  return function;
}

PwdChangePasswordFn PwdChangePasswordA() {
  static const ModuleHandle mpr = load_system_library(L"mpr.dll");
  static const auto function = from_system_folder<PwdChangePasswordFn>(mpr, "PwdChangePasswordA");
  return function;
}

VerifyScreenSavePwdFn VerifyScreenSavePwd() {
  static const ModuleHandle password_cpl = load_system_library(L"password.cpl");
  static const auto function = from_system_folder<VerifyScreenSavePwdFn>(password_cpl, "VerifyScreenSavePwd");
  return function;
}

bool running_under_wine() {
  static const bool wine = loaded<FARPROC>(L"ntdll.dll", "wine_get_version") != nullptr;
  return wine;
}

}  // namespace vantrel::optional_functions
