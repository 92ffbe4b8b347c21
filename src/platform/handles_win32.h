#pragma once
// Move-only owners for the kernel handles the program opens. Each closes its
// handle exactly once, with the function that belongs to its kind.

#include <windows.h>

#include <utility>

namespace vantrel {

// Traits give the handle type, its invalid value and how to close it;
// INVALID_HANDLE_VALUE is no constant expression, hence functions, not values.
template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Traits::invalid())) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, Traits::invalid()));
    return *this;
  }
  ~UniqueHandle() { reset(); }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::invalid(); }
  void reset(Handle handle = Traits::invalid()) {
    if (handle_ != Traits::invalid()) Traits::close(handle_);
    handle_ = handle;
  }
  Handle release() { return std::exchange(handle_, Traits::invalid()); }

 private:
  Handle handle_ = Traits::invalid();
};

struct FileHandleTraits {  // CreateFileW and friends
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static void close(Handle handle) { CloseHandle(handle); }
};
struct KernelHandleTraits {  // processes, threads, events
  using Handle = HANDLE;
  static Handle invalid() { return nullptr; }
  static void close(Handle handle) { CloseHandle(handle); }
};
struct FindHandleTraits {  // FindFirstFileExW
  using Handle = HANDLE;
  static Handle invalid() { return INVALID_HANDLE_VALUE; }
  static void close(Handle handle) { FindClose(handle); }
};
struct ModuleHandleTraits {  // LoadLibraryExW
  using Handle = HMODULE;
  static Handle invalid() { return nullptr; }
  static void close(Handle handle) { FreeLibrary(handle); }
};

struct GdiObjectTraits {  // bitmaps, brushes, pens
  using Handle = HGDIOBJ;
  static Handle invalid() { return nullptr; }
  static void close(Handle handle) { DeleteObject(handle); }
};
struct MemoryDcTraits {  // CreateCompatibleDC
  using Handle = HDC;
  static Handle invalid() { return nullptr; }
  static void close(Handle handle) { DeleteDC(handle); }
};

using FileHandle = UniqueHandle<FileHandleTraits>;
using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using ModuleHandle = UniqueHandle<ModuleHandleTraits>;
using GdiObject = UniqueHandle<GdiObjectTraits>;
using MemoryDc = UniqueHandle<MemoryDcTraits>;

}  // namespace vantrel
