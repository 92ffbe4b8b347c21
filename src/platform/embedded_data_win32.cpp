#include "platform/embedded_data_win32.h"

namespace vantrel {

std::string_view embedded_bytes(HINSTANCE module, int id) {
  const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!found) return {};
  const HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  return bytes ? std::string_view(static_cast<const char*>(bytes), SizeofResource(module, found)) : std::string_view{};
}

}  // namespace vantrel
