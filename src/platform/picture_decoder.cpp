#include "platform/picture_decoder.h"

namespace vantrel {
namespace {

std::optional<Picture> pixels_of(std::optional<DecodedPicture> decoded) {
  if (!decoded) return std::nullopt;
  return std::move(decoded->pixels);
}

TargetSize fitted_within(int max_side) {
  return [max_side](PictureSize own) { return fit_within(own, max_side); };
}

}  // namespace

std::optional<Picture> PictureDecoder::decode(const std::string& utf8_path, int max_side) {
  if (max_side < 1) return std::nullopt;
  return pixels_of(decode_file(utf8_path, fitted_within(max_side), Resampling::Smooth));
}

std::optional<Picture> PictureDecoder::decode_bytes(std::string_view bytes, int max_side) {
  if (max_side < 1) return std::nullopt;
  return pixels_of(decode_memory(bytes, fitted_within(max_side), Resampling::Smooth));
}

}  // namespace vantrel
