#include "platform/system_error_win32.h"

#include <memory>

#include "platform/wide_text_win32.h"

namespace vantrel {
namespace {

struct LocalDeleter {
  void operator()(wchar_t* text) const { LocalFree(text); }
};

}  // namespace

std::string describe_system_error(DWORD error) {
  wchar_t* raw = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
      reinterpret_cast<wchar_t*>(&raw), 0, nullptr);
  const std::unique_ptr<wchar_t, LocalDeleter> text(raw);
  if (length == 0 || !text) return "error " + std::to_string(error);
  std::wstring_view message(text.get(), length);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' '))
    message.remove_suffix(1);
  return to_utf8(message);
}

}  // namespace vantrel
