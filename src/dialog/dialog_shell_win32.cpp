#include "dialog/dialog_shell_win32.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <memory>

#include "platform/wide_text_win32.h"
#include "texts/program_texts.h"

namespace vantrel {
namespace {

struct TaskMemoryDeleter {
  void operator()(void* memory) const { CoTaskMemFree(memory); }
};

// The file-system path of a shell item, however long: SHGetPathFromIDListEx
// takes a buffer of any size, where the plain form takes one of MAX_PATH.
std::wstring path_of_item(PCIDLIST_ABSOLUTE item) {
  std::wstring path(32768, L'\0');
  if (!SHGetPathFromIDListEx(item, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT)) return {};
  path.resize(path.find(L'\0'));
  return path;
}

}  // namespace

void DialogShell::show_message(const std::string& text, DialogView::MessageIcon icon) {
  const UINT style = MB_OK | (icon == DialogView::MessageIcon::Exclamation ? MB_ICONEXCLAMATION : 0);
  MessageBoxW(owner_, to_wide(text).c_str(), to_wide(kMessageTitle).c_str(), style);
}

std::optional<std::string> DialogShell::choose_folder(const std::string& title) {
  const std::wstring wide_title = to_wide(title);
  wchar_t display_name[MAX_PATH] = {};
  BROWSEINFOW request{};
  request.hwndOwner = owner_;
  request.pszDisplayName = display_name;
  request.lpszTitle = wide_title.c_str();
  // Only folders with a file-system path: a virtual item would give none.
  request.ulFlags = BIF_RETURNONLYFSDIRS;
  const std::unique_ptr<ITEMIDLIST, TaskMemoryDeleter> item(SHBrowseForFolderW(&request));
  if (!item) return std::nullopt;
  const std::wstring path = path_of_item(item.get());
  if (path.empty()) return std::nullopt;
  return to_utf8(path);
}

void DialogShell::open_address(const std::string& address) {
  ShellExecuteW(owner_, L"open", to_wide(address).c_str(), L"", L"", SW_SHOWNORMAL);
}

}  // namespace vantrel
