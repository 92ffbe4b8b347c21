#include "platform/doorbell.h"

namespace vantrel {

void Doorbell::connect(Post post) {
  const std::lock_guard lock(mutex_);
  post_ = std::move(post);
  on_its_way_ = false;
  if (rang_unheard_ && post_) {
    rang_unheard_ = false;
    on_its_way_ = post_();
  }
}

void Doorbell::disconnect() {
  const std::lock_guard lock(mutex_);
  post_ = nullptr;
  rang_unheard_ = false;
}

void Doorbell::ring() {
  const std::lock_guard lock(mutex_);
  if (!post_) {
    rang_unheard_ = true;
    return;
  }
  // A message that could not be sent is not on its way: the next ring tries.
  if (!on_its_way_) on_its_way_ = post_();
}

void Doorbell::answered() {
  const std::lock_guard lock(mutex_);
  on_its_way_ = false;
}

}  // namespace vantrel
