#include "saver/picture_loader_win32.h"

#include <new>
#include <utility>

#include "platform/picture_decoder_win32.h"

namespace vantrel {
namespace {

std::optional<MipChain> load_picture(const std::string& path, const TargetSize& texture_size) {
  Win32PictureDecoder decoder;  // its own COM and GDI+ for this thread
  auto decoded = decoder.decode_file(path, texture_size, Resampling::Smooth);
  if (!decoded) return std::nullopt;
  try {
    return make_mip_chain(std::move(decoded->pixels));
  } catch (const std::bad_alloc&) {
    return std::nullopt;  // no room for the chain: the background alone, as for an unreadable picture
  }
}

}  // namespace

PictureLoader::PictureLoader(std::string utf8_path, TargetSize texture_size)
    : doorbell_(std::make_shared<Doorbell>()),
      mailbox_(doorbell_, [] {
        return [](Request& request, auto& outbox) { outbox.post(load_picture(request.path, request.texture_size)); };
      }) {
  mailbox_.ask(Request{std::move(utf8_path), std::move(texture_size)});
}

PictureLoader::~PictureLoader() {
  doorbell_->disconnect();
  mailbox_.stop();
}

void PictureLoader::tell(HWND window) {
  if (!window) return doorbell_->disconnect();
  doorbell_->connect([window] { return PostMessageW(window, kPictureLoadedMessage, 0, 0) != FALSE; });
}

std::optional<MipChain> PictureLoader::take() {
  doorbell_->answered();
  std::vector<std::optional<MipChain>> answers = mailbox_.take_answers();
  if (answers.empty()) return std::nullopt;
  return std::move(answers.front());
}

}  // namespace vantrel
