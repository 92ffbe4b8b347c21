#pragma once
// Tells a window that answers of work done beside it wait to be taken. The
// window is told with a message that carries nothing, so that no pointer or
// state ever travels in a message another program could post as well; at
// most one such message is on its way at a time, however often work rings.
// The message itself is sent through a hook, so this stays portable.

#include <functional>
#include <mutex>

namespace vantrel {

class Doorbell {
 public:
  // Sends the message to the window; false when it could not be sent.
  using Post = std::function<bool()>;

  Doorbell() = default;
  explicit Doorbell(Post post) : post_(std::move(post)) {}
  Doorbell(const Doorbell&) = delete;
  Doorbell& operator=(const Doorbell&) = delete;

  // The window to tell from now on; told at once when something rang while
  // none was connected.
  void connect(Post post);
  // No window is told any more: it is going, or gone.
  void disconnect();

  // Any thread: something waits. Tells the window unless a message is on its
  // way already.
  void ring();
  // The window's thread, when the message has arrived and before it takes
  // what waits: the next ring tells the window again.
  void answered();

 private:
  std::mutex mutex_;
  Post post_;
  bool on_its_way_ = false;
  bool rang_unheard_ = false;  // rang while no window was connected
};

}  // namespace vantrel
