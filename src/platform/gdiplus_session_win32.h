#pragma once
// GDI+ works only between GdiplusStartup and GdiplusShutdown; a session is
// that span. Sessions nest: GDI+ stays up until the last one ends. Every GDI+
// object must be gone before the session that made it ends, and no session
// may start or end inside DllMain or a static constructor or destructor.

#include <cstdint>
#include <memory>

namespace vantrel {

class GdiplusSession {
 public:
  // A running session, or nullptr when GDI+ cannot start (its DLL missing,
  // or out of memory): the caller goes on without pictures.
  static std::unique_ptr<GdiplusSession> start();

  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  ~GdiplusSession();

 private:
  explicit GdiplusSession(std::uintptr_t token) : token_(token) {}
  std::uintptr_t token_;  // GdiplusStartup's ULONG_PTR
};

}  // namespace vantrel
