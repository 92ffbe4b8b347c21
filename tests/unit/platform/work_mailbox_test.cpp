// The work mailbox and its doorbell: a newer request replaces one not begun,
// a stop abandons work and answers, one message is on its way at a time, and
// the owner's end never waits for a job under way.
#include "platform/work_mailbox.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantrel {
namespace {

using namespace std::chrono_literals;

// Generous: a slow machine must never fail a test; no test waits this long
// when the code is right.
constexpr auto kPatience = 20s;

// A gate a job waits at until the test opens it.
class Gate {
 public:
  void open() {
    {
      const std::lock_guard lock(mutex_);
      open_ = true;
    }
    changed_.notify_all();
  }
  void pass() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return open_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
};

// What the jobs of a test did, shared with threads that may outlive the test.
struct Record {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> begun;
  std::vector<std::string> ended;
  Gate gate;

  void note(std::vector<std::string>& list, const std::string& what) {
    {
      const std::lock_guard lock(mutex);
      list.push_back(what);
    }
    changed.notify_all();
  }
  template <typename Predicate>
  bool wait_for(Predicate predicate) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, kPatience, predicate);
  }
};

// Counts the messages sent to the "window".
struct Window {
  std::atomic<int> messages{0};
  bool accepts = true;
  Doorbell::Post post() {
    return [this] {
      if (!accepts) return false;
      ++messages;
      return true;
    };
  }
};

using Mailbox = WorkMailbox<std::string, std::string>;

// Each job waits at the record's gate when asked "wait:..." and answers its
// request's text.
Mailbox::MakeHandler recording_jobs(const std::shared_ptr<Record>& record) {
  return [record] {
    return [record](std::string& request, Mailbox::Outbox& outbox) {
      record->note(record->begun, request);
      if (request.rfind("wait:", 0) == 0) record->gate.pass();
      outbox.post("answer " + request);
      record->note(record->ended, request);
    };
  };
}

TEST(WorkMailbox, ANewerRequestReplacesAnOlderOneNotYetBegun) {
  Window window;
  const auto bell = std::make_shared<Doorbell>(window.post());
  const auto record = std::make_shared<Record>();
  Mailbox mailbox(bell, recording_jobs(record));
  mailbox.ask("wait:first");
  ASSERT_TRUE(record->wait_for([&] { return record->begun.size() == 1; }));
  mailbox.ask("second");
  mailbox.ask("third");  // the second has not begun: it never will
  record->gate.open();
  ASSERT_TRUE(record->wait_for([&] { return record->ended.size() == 2; }));
  ASSERT_TRUE(mailbox.wait_until_idle(kPatience));
  EXPECT_EQ(record->begun, (std::vector<std::string>{"wait:first", "third"}));
  bell->answered();
  EXPECT_EQ(mailbox.take_answers(), (std::vector<std::string>{"answer wait:first", "answer third"}));
  EXPECT_TRUE(mailbox.take_answers().empty()) << "an answer is taken once";
}

TEST(WorkMailbox, OneMessageIsOnItsWayUntilTheWindowAnswers) {
  Window window;
  const auto bell = std::make_shared<Doorbell>(window.post());
  const auto record = std::make_shared<Record>();
  Mailbox mailbox(bell, [] {
    return [](std::string& request, Mailbox::Outbox& outbox) {
      for (int i = 0; i < 100; ++i) outbox.post(request + std::to_string(i));
    };
  });
  mailbox.ask("a");
  ASSERT_TRUE(mailbox.wait_until_idle(kPatience));
  EXPECT_EQ(window.messages, 1) << "a hundred answers, one message";
  bell->answered();
  EXPECT_EQ(mailbox.take_answers().size(), 100u);
  mailbox.ask("b");
  ASSERT_TRUE(mailbox.wait_until_idle(kPatience));
  EXPECT_EQ(window.messages, 2) << "answered: the next answer tells the window again";
}

TEST(WorkMailbox, ARunningFigureReplacesTheOneNotYetTakenAndKeepsItsPlace) {
  const auto bell = std::make_shared<Doorbell>();
  Mailbox mailbox(bell, [] {
    return [](std::string&, Mailbox::Outbox& outbox) {
      for (int found = 1; found <= 1000; ++found) outbox.post_latest("count " + std::to_string(found));
      outbox.post("listing");
      outbox.post_latest("count after");
    };
  });
  mailbox.ask("scan");
  ASSERT_TRUE(mailbox.wait_until_idle(kPatience));
  EXPECT_EQ(mailbox.take_answers(), (std::vector<std::string>{"count 1000", "listing", "count after"}));
}

TEST(WorkMailbox, AJobLearnsThatANewerRequestWaitsAndEndsEarly) {
  const auto bell = std::make_shared<Doorbell>();
  const auto record = std::make_shared<Record>();
  Mailbox mailbox(bell, [record] {
    return [record](std::string& request, Mailbox::Outbox& outbox) {
      record->note(record->begun, request);
      if (request != "long") return;
      // A scan of endless entries: only a newer request ends it.
      int steps = 0;
      while (outbox.wanted()) ++steps;
      outbox.post("long ended after " + std::string(steps > 0 ? "steps" : "none"));
    };
  });
  mailbox.ask("long");
  ASSERT_TRUE(record->wait_for([&] { return record->begun.size() == 1; }));
  mailbox.ask("short");
  ASSERT_TRUE(record->wait_for([&] { return record->begun.size() == 2; }));
  ASSERT_TRUE(mailbox.wait_until_idle(kPatience));
  EXPECT_EQ(record->begun, (std::vector<std::string>{"long", "short"}));
}

TEST(WorkMailbox, AStopAbandonsTheWaitingRequestAndEveryAnswerAndTellsNoOne) {
  Window window;
  const auto bell = std::make_shared<Doorbell>(window.post());
  const auto record = std::make_shared<Record>();
  Mailbox mailbox(bell, recording_jobs(record));
  mailbox.ask("done before");
  ASSERT_TRUE(record->wait_for([&] { return record->ended.size() == 1; }));
  mailbox.ask("wait:under way");
  ASSERT_TRUE(record->wait_for([&] { return record->begun.size() == 2; }));
  mailbox.ask("never");
  bell->answered();
  const int messages_before = window.messages;

  mailbox.stop();
  record->gate.open();  // the job under way ends and answers into nothing
  ASSERT_TRUE(record->wait_for([&] { return record->ended.size() == 2; }));
  mailbox.ask("after the stop");
  EXPECT_TRUE(mailbox.wait_until_idle(kPatience));
  EXPECT_TRUE(mailbox.take_answers().empty()) << "not even the answer left before the stop";
  EXPECT_EQ(window.messages, messages_before) << "no message after the stop";
  EXPECT_EQ(record->begun, (std::vector<std::string>{"done before", "wait:under way"}));
}

TEST(WorkMailbox, ItsEndNeverWaitsForAJobUnderWay) {
  const auto record = std::make_shared<Record>();
  Window window;
  const auto bell = std::make_shared<Doorbell>(window.post());
  {
    Mailbox mailbox(bell, recording_jobs(record));
    mailbox.ask("wait:a decode of minutes");
    ASSERT_TRUE(record->wait_for([&] { return record->begun.size() == 1; }));
    bell->disconnect();
  }  // the job is still at the closed gate: the end cannot have waited for it
  {
    const std::lock_guard lock(record->mutex);
    EXPECT_TRUE(record->ended.empty());
  }
  // The thread still has its own state: it ends on its own, telling no one.
  record->gate.open();
  ASSERT_TRUE(record->wait_for([&] { return record->ended.size() == 1; }));
  EXPECT_EQ(window.messages, 0);
}

TEST(WorkMailbox, AThreadAtRestEndsWithItsMailbox) {
  const auto record = std::make_shared<Record>();
  const auto bell = std::make_shared<Doorbell>();
  {
    Mailbox mailbox(bell, recording_jobs(record));
    mailbox.ask("quick");
    ASSERT_TRUE(mailbox.wait_until_idle(kPatience));
  }
  // The thread, and with it the handler's copy of the record, is gone.
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (record.use_count() > 1 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
  EXPECT_EQ(record.use_count(), 1) << "only the test holds the record";
}

TEST(Doorbell, TellsTheConnectedWindowOnceUntilAnswered) {
  struct Step {
    const char* what;
    void (*act)(Doorbell&, Window&);
    int messages;
  };
  const Step steps[] = {
      {"rung with no window", [](Doorbell& bell, Window&) { bell.ring(); }, 0},
      {"a window connects: told of the earlier ring",
       [](Doorbell& bell, Window& window) { bell.connect(window.post()); }, 1},
      {"rung again while the message is on its way", [](Doorbell& bell, Window&) { bell.ring(); }, 1},
      {"answered, rung", [](Doorbell& bell, Window&) {
         bell.answered();
         bell.ring();
       }, 2},
      {"the window refuses the message", [](Doorbell& bell, Window& window) {
         window.accepts = false;
         bell.answered();
         bell.ring();
       }, 2},
      {"a refused message is not on its way: the next ring tries", [](Doorbell& bell, Window& window) {
         window.accepts = true;
         bell.ring();
       }, 3},
      {"disconnected: rings tell no one", [](Doorbell& bell, Window&) {
         bell.disconnect();
         bell.answered();
         bell.ring();
       }, 3},
  };
  Window window;
  Doorbell bell;
  for (const Step& step : steps) {
    step.act(bell, window);
    EXPECT_EQ(window.messages, step.messages) << step.what;
  }
}

}  // namespace
}  // namespace vantrel
