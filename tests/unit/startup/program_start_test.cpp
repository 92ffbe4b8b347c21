#include "startup/program_start.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel {
namespace {

using Calls = std::vector<std::string>;

// Records every hand-over in order with what it was handed, so a test sees
// what ran, what did not, and that the loaded model reached the mode.
class RecordingHost final : public StartupHost {
 public:
  bool running = false;
  bool nt = true;
  Calls calls;

  bool instance_running() override {
    calls.push_back("guard");
    return running;
  }
  void load_settings(SettingsModel& model) override {
    calls.push_back("load");
    model.File_Kind = 7;  // the mark of a loaded model
  }
  bool is_nt() override {
    calls.push_back("is_nt");
    return nt;
  }
  void change_password(std::int32_t owner) override { calls.push_back("password " + std::to_string(owner)); }
  void show_settings_dialog(SettingsModel& model) override {
    calls.push_back("dialog " + std::to_string(model.File_Kind));
  }
  int run_saver(const SettingsModel& model, RunKind run_kind) override {
    calls.push_back((run_kind == RunKind::Plain ? "plain saver " : "saver ") + std::to_string(model.File_Kind));
    return 0;
  }
  int run_preview(std::int32_t parent) override {
    calls.push_back("preview " + std::to_string(parent));
    return 0;
  }
};

TEST(Main, HandsEachSwitchToItsModeAfterLoadingTheSettings) {
  const struct {
    const char* text;
    bool nt;
    Calls expected;
  } cases[] = {
      {"/s", true, {"guard", "load", "saver 7"}},
      {"/S", true, {"guard", "load", "saver 7"}},
      {"-s", true, {"guard", "load", "saver 7"}},
      {"", true, {"guard", "load", "plain saver 7"}},
      {"/x", true, {"guard", "load"}},  // ends, but only after the settings were read
      {"S", true, {"guard", "load"}},
      {"/c", true, {"guard", "load", "dialog 7"}},
      {"/c:1234", true, {"guard", "load", "dialog 7"}},
      {"/p 1234", true, {"guard", "preview 1234"}},  // no settings in preview mode
      {"/p:1234", true, {"guard", "preview 1234"}},
      {"/p 12 34", true, {"guard", "preview 1234"}},
      {"/a 1234", true, {"guard", "load", "is_nt"}},  // NT family: no password dialog
      {"/a 1234", false, {"guard", "load", "is_nt", "password 1234"}},
      {"/a owner", false, {"guard", "load", "is_nt", "password 0"}},  // no number: owner 0
  };
  for (const auto& c : cases) {
    RecordingHost host;
    host.nt = c.nt;
    EXPECT_EQ(Main(c.text, host), 0);
    EXPECT_EQ(host.calls, c.expected) << '"' << c.text << '"' << (c.nt ? " on NT" : "");
  }
}

TEST(Main, ARunningInstanceStopsEverySwitchBeforeAnythingElse) {
  for (const char* text : {"/s", "", "/c", "/p 1234", "/a 1", "/x"}) {
    RecordingHost host;
    host.running = true;
    host.nt = false;
    Main(text, host);
    EXPECT_EQ(host.calls, Calls{"guard"}) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace vantrel
