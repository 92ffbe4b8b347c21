#pragma once
// The picture decoder on Windows: GDI+ reads the file, our own resampler
// scales it (the same area average on every system, Wine included).

#include <memory>

#include "platform/gdiplus_session_win32.h"
#include "platform/picture_decoder.h"

namespace vantrel {

class GdiplusPictureDecoder final : public PictureDecoder {
 public:
  // Starts its own GDI+ session. When GDI+ cannot start, ready() is false and
  // every decode gives nothing.
  GdiplusPictureDecoder();
  ~GdiplusPictureDecoder() override;

  bool ready() const { return session_ != nullptr; }

  // The file is read whole into memory, with every sharing mode allowed, and
  // closed before decoding: another program may write, rename or delete it
  // meanwhile, and nothing holds it afterwards.
  std::optional<DecodedPicture> decode_file(const std::string& utf8_path, const TargetSize& target,
                                            Resampling resampling) override;
  std::optional<DecodedPicture> decode_memory(std::string_view bytes, const TargetSize& target,
                                              Resampling resampling) override;

 private:
  std::unique_ptr<GdiplusSession> session_;
};

}  // namespace vantrel
