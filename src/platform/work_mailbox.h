#pragma once
// Long work beside a window (a large photo's decode, a folder's listing) on
// a thread of its own, and the answers it leaves for the window's thread.
//
// - A request waits in one slot: a newer one replaces an older one the
//   thread has not begun.
// - Answers wait here as values until the window's thread takes them; the
//   window is told through a Doorbell, with a message that carries nothing.
// - A stop abandons everything: the request waiting and the answers not yet
//   taken go, and nothing is answered after it.
// - The thread shares only this mailbox's own state with its owner. An owner
//   that goes joins a thread at rest and leaves one still inside a job to
//   end on its own, or with the process: closing a window never waits for a
//   decoder.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/doorbell.h"

namespace vantrel {

template <typename Request, typename Answer>
class WorkMailbox {
  struct Shared;

 public:
  // What a job hands its answers to.
  class Outbox {
   public:
    // False once the job's answer is unwanted: the mailbox stopped, or a
    // newer request waits. A long job looks between its steps and ends.
    bool wanted() const {
      const std::lock_guard lock(shared_.mutex);
      return !shared_.stopped && !shared_.request;
    }
    // Leaves `answer` for the window and rings; dropped after a stop.
    void post(Answer answer) { leave(std::move(answer), false); }
    // The same for a running figure (a count so far): it replaces the one
    // the window has not taken yet, so a fast job never piles them up.
    void post_latest(Answer answer) { leave(std::move(answer), true); }

   private:
    friend class WorkMailbox;
    explicit Outbox(Shared& shared) : shared_(shared) {}
    void leave(Answer answer, bool replaces_latest) {
      const std::lock_guard lock(shared_.mutex);
      if (shared_.stopped) return;
      if (replaces_latest && shared_.latest) {
        shared_.answers[*shared_.latest] = std::move(answer);
      } else {
        shared_.answers.push_back(std::move(answer));
        shared_.latest = replaces_latest ? std::optional<std::size_t>(shared_.answers.size() - 1) : std::nullopt;
      }
      shared_.doorbell->ring();
      shared_.changed.notify_all();
    }
    Shared& shared_;
  };

  // Does one request on the thread. Made on the thread itself, so that what
  // it holds (a decoder with its COM and GDI+) belongs to that thread and
  // lives as long as it.
  using Handler = std::function<void(Request&, Outbox&)>;
  using MakeHandler = std::function<Handler()>;

  // How long the owner's end waits for a thread at rest to see the stop.
  static constexpr std::chrono::milliseconds kRestWait{200};

  WorkMailbox(std::shared_ptr<Doorbell> doorbell, MakeHandler make_handler)
      : shared_(std::make_shared<Shared>(std::move(doorbell))),
        thread_([shared = shared_, make = std::move(make_handler)] { run(shared, make); }) {}

  ~WorkMailbox() {
    stop();
    bool ended = false;
    {
      std::unique_lock lock(shared_->mutex);
      shared_->changed.wait_for(lock, kRestWait, [&] { return !shared_->running || shared_->busy; });
      ended = !shared_->running;
    }
    if (ended)
      thread_.join();
    else
      thread_.detach();
  }
  WorkMailbox(const WorkMailbox&) = delete;
  WorkMailbox& operator=(const WorkMailbox&) = delete;

  // Asks for `request`, in place of one waiting that the thread has not begun.
  // Nothing after a stop.
  void ask(Request request) {
    {
      const std::lock_guard lock(shared_->mutex);
      if (shared_->stopped) return;
      shared_->request = std::move(request);
    }
    shared_->changed.notify_all();
  }

  // Abandons the request waiting, the job under way and every answer not yet
  // taken; the mailbox takes no request after this.
  void stop() {
    {
      const std::lock_guard lock(shared_->mutex);
      shared_->stopped = true;
      shared_->request.reset();
      shared_->answers.clear();
      shared_->latest.reset();
    }
    shared_->changed.notify_all();
  }

  // The window's thread: every answer waiting, in the order left; nothing
  // after a stop. Call Doorbell::answered before, so that an answer left
  // meanwhile rings again.
  std::vector<Answer> take_answers() {
    const std::lock_guard lock(shared_->mutex);
    shared_->latest.reset();
    return std::exchange(shared_->answers, {});
  }

  // Waits up to `limit` until no request is waiting or under way; true when
  // none is (or the mailbox stopped).
  bool wait_until_idle(std::chrono::milliseconds limit) {
    std::unique_lock lock(shared_->mutex);
    return shared_->changed.wait_for(lock, limit,
                                     [&] { return shared_->stopped || (!shared_->request && !shared_->busy); });
  }

 private:
  struct Shared {
    explicit Shared(std::shared_ptr<Doorbell> bell) : doorbell(std::move(bell)) {}
    std::mutex mutex;
    std::condition_variable changed;
    const std::shared_ptr<Doorbell> doorbell;
    bool stopped = false;
    bool busy = false;     // a job is under way
    bool running = true;   // the thread has not ended
    std::optional<Request> request;  // the newest not yet begun
    std::vector<Answer> answers;
    std::optional<std::size_t> latest;  // the running figure among `answers`
  };

  static void run(const std::shared_ptr<Shared>& shared, const MakeHandler& make_handler) {
    {
      Handler handler = make_handler();
      Outbox outbox(*shared);
      std::unique_lock lock(shared->mutex);
      for (;;) {
        shared->changed.wait(lock, [&] { return shared->stopped || shared->request.has_value(); });
        if (shared->stopped) break;
        Request request = std::move(*shared->request);
        shared->request.reset();
        shared->busy = true;
        lock.unlock();
        handler(request, outbox);
        lock.lock();
        shared->busy = false;
        shared->changed.notify_all();
      }
    }  // the handler goes here, outside the lock
    const std::lock_guard lock(shared->mutex);
    shared->running = false;
    shared->changed.notify_all();
  }

  std::shared_ptr<Shared> shared_;
  std::thread thread_;  // last: it starts when everything above exists
};

}  // namespace vantrel
