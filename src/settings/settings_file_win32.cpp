#include "settings/settings_file_win32.h"

#include <windows.h>

#include <string>

#include "platform/file_system_win32.h"
#include "platform/text_codec_win32.h"
#include "platform/wide_text_win32.h"

namespace vantrel {
namespace {

// The folder the running program was loaded from, without a trailing backslash.
std::string program_directory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);  // a long path: the name was cut
  }
  return to_utf8(path.substr(0, path.find_last_of(L'\\')));
}

}  // namespace

void load_settings_beside_program(SettingsModel& model) {
  Win32FileSystem file_system;
  const Win32TextCodec codec;
  Load_Settings(model, file_system, codec, settings_file_path(program_directory()));
}

SaveOutcome save_settings_beside_program(const SettingsModel& model) {
  Win32FileSystem file_system;
  const Win32TextCodec codec;
  SaveOutcome outcome{Save_Settings(model, file_system, codec, settings_file_path(program_directory())), {}};
  if (outcome.result == WriteResult::WriteFailed) outcome.reason = file_system.describe_last_failure();
  return outcome;
}

}  // namespace vantrel
