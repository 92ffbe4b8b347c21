// Plays the user in the system's folder browser that another program has
// open: selects a folder and presses OK, or presses Cancel.
//
//   choose_folder.exe <owner caption> <folder path>
//   choose_folder.exe <owner caption> --cancel
//
// The browser is the dialog (#32770) owned by the top-level window with the
// owner caption. BFFM_SETSELECTIONW takes the path as a pointer into the
// browser's own process, so the path is written there first
// (VirtualAllocEx, WriteProcessMemory). The browser fills its tree after it
// appears: the selection is asked again until the tree's selected item is the
// folder's last part. Returns once the browser has gone. Writes "ok" and ends
// with 0, or says what failed and ends with 1.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

// Each step (the browser found, its tree filled, the folder selected, the
// browser gone) may take this long: Wine's shell fills the tree slowly on a
// busy machine.
constexpr DWORD kPatienceMilliseconds = 60000;

struct Search {
  HWND owner;
  HWND found;
};

BOOL CALLBACK find_browser(HWND window, LPARAM lparam) {
  auto* search = reinterpret_cast<Search*>(lparam);
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (std::wstring(name) == L"#32770" && GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND find_child(HWND parent, const wchar_t* class_name) {
  HWND found = FindWindowExW(parent, nullptr, class_name, nullptr);
  if (found) return found;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if ((found = find_child(child, class_name))) return found;
  return nullptr;
}

// Memory inside another process, freed with it.
class RemoteMemory {
 public:
  RemoteMemory(HANDLE process, std::size_t size)
      : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  ~RemoteMemory() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  void* get() const { return address_; }
  bool write(const void* bytes, std::size_t size, std::size_t offset = 0) const {
    return WriteProcessMemory(process_, static_cast<char*>(address_) + offset, bytes, size, nullptr) != FALSE;
  }
  bool read(void* bytes, std::size_t size, std::size_t offset = 0) const {
    return ReadProcessMemory(process_, static_cast<char*>(address_) + offset, bytes, size, nullptr) != FALSE;
  }

 private:
  HANDLE process_;
  void* address_;
};

// The text of the tree's selected item, read in the browser's process.
std::wstring selected_item_text(HANDLE process, HWND tree) {
  const auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (!item) return {};
  constexpr std::size_t kTextChars = 512;
  RemoteMemory memory(process, sizeof(TVITEMW) + kTextChars * sizeof(wchar_t));
  if (!memory.get()) return {};
  TVITEMW request{};
  request.mask = TVIF_TEXT | TVIF_HANDLE;
  request.hItem = item;
  request.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(memory.get()) + sizeof(TVITEMW));
  request.cchTextMax = kTextChars;
  if (!memory.write(&request, sizeof(request))) return {};
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(memory.get()));
  wchar_t text[kTextChars] = {};
  memory.read(text, sizeof(text) - sizeof(wchar_t), sizeof(TVITEMW));
  return text;
}

// Presses a button of the browser until the browser has gone: one pressed
// while the browser still fills its tree may be passed over.
bool press_until_gone(HWND browser, int button, DWORD start) {
  while (IsWindow(browser) && GetTickCount() - start < kPatienceMilliseconds) {
    PostMessageW(browser, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    for (int i = 0; i < 10 && IsWindow(browser); ++i) Sleep(50);
  }
  return !IsWindow(browser);
}

int fail(const char* what) {
  std::printf("%s\n", what);
  std::fflush(stdout);
  return 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc != 3) return fail("usage: choose_folder.exe <owner caption> <folder path>|--cancel");
  const std::wstring caption = argv[1];
  const std::wstring folder = argv[2];
  LocalFree(argv);

  const DWORD start = GetTickCount();
  Search search{nullptr, nullptr};
  while (!search.found && GetTickCount() - start < kPatienceMilliseconds) {
    search.owner = FindWindowW(nullptr, caption.c_str());
    if (search.owner) EnumWindows(find_browser, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(100);
  }
  if (!search.found) return fail("no folder browser");
  const HWND browser = search.found;
  const HWND tree = find_child(browser, WC_TREEVIEWW);
  if (!tree) return fail("the browser has no tree");
  const DWORD found_at = GetTickCount();
  while (SendMessageW(tree, TVM_GETCOUNT, 0, 0) == 0 && GetTickCount() - found_at < kPatienceMilliseconds) Sleep(100);
  if (folder == L"--cancel") {
    if (!press_until_gone(browser, IDCANCEL, GetTickCount())) return fail("the browser stays open");
    std::printf("ok\n");
    std::fflush(stdout);
    return 0;
  }

  DWORD process_id = 0;
  GetWindowThreadProcessId(browser, &process_id);
  const HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE,
                  process_id);
  if (!process) return fail("cannot open the browser's process");

  const std::size_t bytes = (folder.size() + 1) * sizeof(wchar_t);
  RemoteMemory path(process, bytes);
  if (!path.get() || !path.write(folder.c_str(), bytes)) return fail("cannot write the path into the browser");
  const std::wstring last_part = folder.substr(folder.find_last_of(L'\\') + 1);
  bool selected = false;
  const DWORD selecting_from = GetTickCount();
  while (!selected && GetTickCount() - selecting_from < kPatienceMilliseconds) {
    SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(path.get()));
    selected = selected_item_text(process, tree) == last_part;
    if (!selected) Sleep(200);
  }
  CloseHandle(process);
  if (!selected) return fail("the browser did not take the selection");
  if (!press_until_gone(browser, IDOK, GetTickCount())) return fail("the browser stays open");
  std::printf("ok\n");
  std::fflush(stdout);
  return 0;
}
