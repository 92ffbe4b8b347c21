#include "startup/program_start.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel {
namespace {

// Records every hand-over in order, so a test sees what ran and what did not.
class RecordingHost final : public StartupHost {
 public:
  bool running = false;
  bool nt = true;
  std::vector<std::string> calls;
  std::int32_t password_owner = -1;
  std::int32_t preview_parent = -1;
  RunKind saver_run_kind = RunKind::Saver;
  std::int16_t file_kind_seen_by_mode = -1;

  bool instance_running() override {
    calls.push_back("guard");
    return running;
  }
  void load_settings(SettingsModel& model) override {
    calls.push_back("load");
    model.File_Kind = 7;  // lets the test see the loaded model reach the mode
  }
  bool is_nt() override {
    calls.push_back("is_nt");
    return nt;
  }
  void change_password(std::int32_t owner) override {
    calls.push_back("password");
    password_owner = owner;
  }
  void show_settings_dialog(SettingsModel& model) override {
    calls.push_back("dialog");
    file_kind_seen_by_mode = model.File_Kind;
  }
  int run_saver(const SettingsModel& model, RunKind run_kind) override {
    calls.push_back("saver");
    saver_run_kind = run_kind;
    file_kind_seen_by_mode = model.File_Kind;
    return 0;
  }
  int run_preview(std::int32_t parent) override {
    calls.push_back("preview");
    preview_parent = parent;
    return 0;
  }
};

using Calls = std::vector<std::string>;

TEST(Main, HandsEachSwitchToItsModeAfterLoadingTheSettings) {
  const std::pair<const char*, Calls> cases[] = {
      {"/s", {"guard", "load", "saver"}},
      {"/S", {"guard", "load", "saver"}},
      {"-s", {"guard", "load", "saver"}},
      {"", {"guard", "load", "saver"}},
      {"/x", {"guard", "load"}},  // ends, but only after the settings were read
      {"S", {"guard", "load"}},
      {"/c", {"guard", "load", "dialog"}},
      {"/c:1234", {"guard", "load", "dialog"}},
      {"/p 1234", {"guard", "preview"}},  // no settings in preview mode
      {"/p:1234", {"guard", "preview"}},
      {"/a 1234", {"guard", "load", "is_nt"}},  // NT family: no password dialog
  };
  for (const auto& [text, expected] : cases) {
    RecordingHost host;
    EXPECT_EQ(Main(text, host), 0);
    EXPECT_EQ(host.calls, expected) << '"' << text << '"';
  }
}

TEST(Main, ARunningInstanceStopsEverySwitchBeforeAnythingElse) {
  for (const char* text : {"/s", "", "/c", "/p 1234", "/a 1", "/x"}) {
    RecordingHost host;
    host.running = true;
    Main(text, host);
    EXPECT_EQ(host.calls, Calls{"guard"}) << '"' << text << '"';
  }
}

TEST(Main, PassesTheRunKindTheLoadedModelAndTheHandles) {
  RecordingHost plain;
  Main("", plain);
  EXPECT_EQ(plain.saver_run_kind, RunKind::Plain);
  EXPECT_EQ(plain.file_kind_seen_by_mode, 7);

  RecordingHost saver;
  Main("/s", saver);
  EXPECT_EQ(saver.saver_run_kind, RunKind::Saver);

  RecordingHost dialog;
  Main("/c", dialog);
  EXPECT_EQ(dialog.file_kind_seen_by_mode, 7);

  RecordingHost preview;
  Main("/p 12 34", preview);
  EXPECT_EQ(preview.preview_parent, 1234);
}

TEST(Main, ChangesThePasswordOnlyOutsideTheNtFamily) {
  RecordingHost old_system;
  old_system.nt = false;
  Main("/a 1234", old_system);
  EXPECT_EQ(old_system.calls, (Calls{"guard", "load", "is_nt", "password"}));
  EXPECT_EQ(old_system.password_owner, 1234);

  RecordingHost no_number;
  no_number.nt = false;
  Main("/a owner", no_number);
  EXPECT_EQ(no_number.password_owner, 0);  // a text that is no number gives owner 0
}

}  // namespace
}  // namespace vantrel
