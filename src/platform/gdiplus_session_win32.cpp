#include "platform/gdiplus_session_win32.h"

#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

namespace vantrel {

std::unique_ptr<GdiplusSession> GdiplusSession::start() {
  const Gdiplus::GdiplusStartupInput input;  // version 1, GDI+'s own background thread
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return nullptr;
  return std::unique_ptr<GdiplusSession>(new GdiplusSession(token));
}

GdiplusSession::~GdiplusSession() { Gdiplus::GdiplusShutdown(token_); }

}  // namespace vantrel
