// The dialog's work beside its window, with real files and a real window:
// the window hears of answers through messages that carry nothing, one on
// its way at a time, and takes the answers as values in the presenter's
// order; after a stop nothing comes.
#include "dialog/dialog_worker_win32.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <variant>
#include <vector>

#include "imagesource/sandbox.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;

class DialogWorkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { DestroyWindow(window_); }

  // The answer messages waiting in the queue, taken; each must carry nothing.
  int messages_waiting() {
    int count = 0;
    MSG message;
    while (PeekMessageW(&message, window_, DialogWorker::kAnswerMessage, DialogWorker::kAnswerMessage, PM_REMOVE)) {
      EXPECT_EQ(message.wParam, 0u);
      EXPECT_EQ(message.lParam, 0);
      ++count;
    }
    return count;
  }

  // Waits, generously, for an answer message; takes it. Never more than one
  // waits, however many answers the work has left.
  bool told() {
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < deadline) {
      if (const int waiting = messages_waiting(); waiting > 0) {
        EXPECT_EQ(waiting, 1) << "one message on its way at a time";
        return true;
      }
      Sleep(5);
    }
    return false;
  }

  HWND window_ = nullptr;
};

TEST_F(DialogWorkerTest, AScanComesBackAsItsCountThenItsListingWithOneMessageAtATime) {
  testing::Sandbox folder;
  for (int i = 0; i < 40; ++i) folder.file(std::to_string(i + 100) + ".bmp");
  DialogWorker worker(window_);
  worker.scan_folder(7, folder.path());

  std::vector<WorkAnswer> answers;
  bool finished = false;
  while (!finished) {
    ASSERT_TRUE(told()) << "the scan never answered";
    for (WorkAnswer& answer : worker.take_answers()) {
      finished = finished || std::holds_alternative<ScanFinished>(answer);
      answers.push_back(std::move(answer));
    }
  }
  Sleep(50);
  EXPECT_LE(messages_waiting(), 1) << "no pile of messages behind the answers";
  ASSERT_FALSE(answers.empty());
  const auto* listing = std::get_if<ScanFinished>(&answers.back());
  ASSERT_NE(listing, nullptr) << "the listing comes last";
  EXPECT_EQ(listing->ticket, 7u);
  EXPECT_EQ(listing->listing.paths.size(), 40u);
  for (std::size_t i = 0; i + 1 < answers.size(); ++i) {
    const auto* progress = std::get_if<ScanProgress>(&answers[i]);
    ASSERT_NE(progress, nullptr) << "counts before the listing";
    EXPECT_EQ(progress->ticket, 7u);
    EXPECT_LE(progress->found, 40u);
  }
}

TEST_F(DialogWorkerTest, AfterAStopNothingIsAnswered) {
  testing::Sandbox folder;
  folder.file("a.jpg", "not a picture");
  DialogWorker worker(window_);
  worker.decode_preview(1, folder.path("a.jpg"), 96);
  ASSERT_TRUE(told());
  worker.stop_all();
  EXPECT_TRUE(worker.take_answers().empty()) << "the answer waiting went with the stop";
  worker.decode_preview(2, folder.path("a.jpg"), 96);
  worker.scan_folder(3, folder.path());
  EXPECT_TRUE(worker.wait_until_idle(30s));
  Sleep(100);
  EXPECT_EQ(messages_waiting(), 0);
  EXPECT_TRUE(worker.take_answers().empty());
}

TEST_F(DialogWorkerTest, AnUnreadablePreviewAnswersNothingDecoded) {
  testing::Sandbox folder;
  folder.file("notes.jpg", "plain text");
  DialogWorker worker(window_);
  worker.decode_preview(5, folder.path("notes.jpg"), 96);
  ASSERT_TRUE(told());
  const std::vector<WorkAnswer> answers = worker.take_answers();
  ASSERT_EQ(answers.size(), 1u);
  const auto* preview = std::get_if<PreviewDecoded>(&answers[0]);
  ASSERT_NE(preview, nullptr);
  EXPECT_EQ(preview->ticket, 5u);
  EXPECT_FALSE(preview->decoded);
}

}  // namespace
}  // namespace vantrel
