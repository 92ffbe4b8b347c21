// Reads a top-level window the way a screen reader does, from another
// process through Active Accessibility, and presses elements by their
// default action.
//
//   read_accessible.exe <caption> [<name to press>]...
//
// Arguments are taken as UTF-16. For the first top-level window with exactly
// that caption it asks the client area's object for its children and writes,
// in UTF-8, one line per child:
//
//   element <id> <role> <state> <left> <top> <width> <height> <name>
//                       (a simple element: role and state as MSAA numbers,
//                        its place in screen pixels)
//   window <role> <name>  (a child window's own object)
//
// then, for each name to press in order, the element with that name gets
// accDoDefaultAction: "pressed <name>", or "missing <name>" when no element
// has that name or the action is refused. It ends with 0 when the window was
// read and every press was carried out, 1 without such a window or object,
// 2 when a press was missing.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// mingw-w64 links IID_IAccessible as a code thunk: the GUID spelled out.
constexpr GUID kIidAccessible{0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr int kWaitForWindowMilliseconds = 10000;

void write_utf8(const std::wstring& text) {
  if (text.empty()) return;
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                      nullptr);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

VARIANT child_id(long id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::wstring name_of(IAccessible* object, long id) {
  BSTR name = nullptr;
  if (FAILED(object->get_accName(child_id(id), &name)) || !name) return {};
  std::wstring text(name, SysStringLen(name));
  SysFreeString(name);
  return text;
}

long number_of(IAccessible* object, long id, bool role) {
  VARIANT v;
  VariantInit(&v);
  const HRESULT result = role ? object->get_accRole(child_id(id), &v) : object->get_accState(child_id(id), &v);
  if (FAILED(result) || v.vt != VT_I4) return -1;
  return v.lVal;
}

struct Element {
  long id;
  std::wstring name;
};

std::vector<Element> list_children(IAccessible* object) {
  std::vector<Element> elements;
  long count = 0;
  if (FAILED(object->get_accChildCount(&count)) || count <= 0) return elements;
  std::vector<VARIANT> children(static_cast<size_t>(count));
  long obtained = 0;
  if (FAILED(AccessibleChildren(object, 0, count, children.data(), &obtained))) return elements;
  for (long i = 0; i < obtained; ++i) {
    VARIANT& child = children[static_cast<size_t>(i)];
    if (child.vt == VT_I4) {
      const long id = child.lVal;
      long left = 0, top = 0, width = 0, height = 0;
      object->accLocation(&left, &top, &width, &height, child_id(id));
      const std::wstring name = name_of(object, id);
      std::printf("element %ld %ld %ld %ld %ld %ld %ld ", id, number_of(object, id, true),
                  number_of(object, id, false), left, top, width, height);
      std::fflush(stdout);
      write_utf8(name);
      std::printf("\n");
      elements.push_back({id, name});
    } else if (child.vt == VT_DISPATCH && child.pdispVal) {
      void* accessible = nullptr;
      if (SUCCEEDED(child.pdispVal->QueryInterface(kIidAccessible, &accessible)) && accessible) {
        auto* window = static_cast<IAccessible*>(accessible);
        std::printf("window %ld ", number_of(window, CHILDID_SELF, true));
        std::fflush(stdout);
        write_utf8(name_of(window, CHILDID_SELF));
        std::printf("\n");
        window->Release();
      }
      child.pdispVal->Release();
    }
  }
  return elements;
}

HWND wait_for_window(const std::wstring& caption) {
  for (int waited = 0; waited < kWaitForWindowMilliseconds; waited += 100) {
    if (const HWND window = FindWindowW(nullptr, caption.c_str())) return window;
    Sleep(100);
  }
  return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 1;
  const HWND window = wait_for_window(argv[1]);
  if (!window) return 1;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  void* found = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible, &found)) ||
      !found) {
    std::printf("no object\n");
    return 1;
  }
  auto* object = static_cast<IAccessible*>(found);
  const std::vector<Element> elements = list_children(object);
  int result = 0;
  for (int i = 2; i < argc; ++i) {
    const std::wstring wanted = argv[i];
    bool pressed = false;
    for (const Element& element : elements)
      if (element.name == wanted) pressed = SUCCEEDED(object->accDoDefaultAction(child_id(element.id)));
    std::printf(pressed ? "pressed " : "missing ");
    std::fflush(stdout);
    write_utf8(wanted);
    std::printf("\n");
    if (!pressed) result = 2;
  }
  std::fflush(stdout);
  object->Release();
  CoUninitialize();
  return result;
}
