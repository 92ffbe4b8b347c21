#include "saver/exit_rules.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vantrel {
namespace {

using Log = std::vector<std::string>;

// Password service and effects in one, logging both in order.
class FakeSystem : public PasswordService, public ExitEffects {
 public:
  bool nt = true;
  std::deque<PasswordVerdict> verdicts;     // answers in turn; Refused when none are left
  std::function<void()> while_dialog_open;  // events that arrive while the dialog is up
  Log log;

  bool is_nt() override { return nt; }
  PasswordVerdict verify_password() override {
    log.push_back("ask");
    if (auto during = std::exchange(while_dialog_open, nullptr)) during();
    if (verdicts.empty()) return PasswordVerdict::Refused;
    return std::exchange(verdicts, {verdicts.begin() + 1, verdicts.end()}).front();
  }
  void show_cursor(bool visible) override { log.push_back(visible ? "show" : "hide"); }
  void set_system_keys(bool enable) override { log.push_back(enable ? "free keys" : "block keys"); }
  void set_cursor_poll(bool running) override { log.push_back(running ? "poll on" : "poll off"); }
  void enable_screen_saving() override { log.push_back("saving on"); }
  void end_program() override { log.push_back("end"); }
};

enum class In { Key, Button, Poll, Move };
struct Event {
  In in;
  int x = 0, y = 0;
};

struct Case {
  const char* name;
  RunKind kind;
  bool nt;
  std::deque<PasswordVerdict> verdicts;
  std::vector<Event> events;  // after a start with the cursor at (400, 300)
  Log expected;               // the whole log, start included
};

constexpr auto kRefused = PasswordVerdict::Refused, kAccepted = PasswordVerdict::Accepted;
const Log kStart = {"hide", "block keys", "poll on"}, kEnd = {"free keys", "show", "saving on", "end"};

Log operator+(Log a, const Log& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(ExitRules, FollowTheSaverWindowsInputRules) {
  // clang-format off
  const Case cases[] = {
      {"key on NT", RunKind::Saver, true, {}, {{In::Key}, {In::Button}}, kStart + kEnd},
      {"button on NT", RunKind::Saver, true, {}, {{In::Button}}, kStart + kEnd},
      {"straight moves keep it", RunKind::Saver, true, {},
       {{In::Poll, 900, 300}, {In::Poll, 400, 0}, {In::Poll, -5, 300}, {In::Poll, 400, 300}}, kStart},
      {"a diagonal ends it", RunKind::Saver, true, {}, {{In::Poll, 401, 299}}, kStart + Log{"poll off"} + kEnd},
      {"the first scene move only marks the reference", RunKind::Saver, true, {},
       {{In::Move, 1500, 900}, {In::Move, 1500, 20}, {In::Move, 3, 900}}, kStart},
      {"a later diagonal scene move ends it", RunKind::Saver, true, {},
       {{In::Move, 3, 9}, {In::Move, 4, 8}}, kStart + kEnd},
      {"a plain run ignores movement", RunKind::Plain, false, {},
       {{In::Poll, 1, 1}, {In::Move, 1, 1}, {In::Move, 9, 9}}, {}},
      {"a plain run ends on a key, never asking", RunKind::Plain, false, {}, {{In::Key}}, {"saving on", "end"}},
      {"accepted password", RunKind::Saver, false, {kAccepted}, {{In::Key}}, kStart + Log{"show", "ask"} + kEnd},
      {"refusal after a poll ends polling for good; the scene and keys still work", RunKind::Saver, false,
       {kRefused, kRefused, kAccepted},
       {{In::Poll, 1, 1}, {In::Poll, 2, 2}, {In::Move, 5, 5}, {In::Move, 6, 6}, {In::Key}},
       kStart + Log{"poll off", "show", "ask", "hide", "show", "ask", "hide", "show", "ask"} + kEnd},
      {"refusal after a key: the next tick asks again while the cursor is away on both axes", RunKind::Saver,
       false, {kRefused, kRefused},
       {{In::Key}, {In::Poll, 400, 555}, {In::Poll, 401, 555}, {In::Poll, 402, 556}},
       kStart + Log{"show", "ask", "hide", "poll off", "show", "ask", "hide"}},
  };
  // clang-format on
  for (const Case& c : cases) {
    FakeSystem system;
    system.nt = c.nt;
    system.verdicts = c.verdicts;
    ExitRules rules(c.kind, system, system);
    rules.begin();
    rules.start_watching(400, 300);
    for (const Event& e : c.events) {
      if (e.in == In::Key) rules.on_key();
      if (e.in == In::Button) rules.on_button();
      if (e.in == In::Poll) rules.on_poll(e.x, e.y);
      if (e.in == In::Move) rules.on_scene_mouse_move(e.x, e.y);
    }
    EXPECT_EQ(system.log, c.expected) << c.name;
    EXPECT_EQ(rules.ended(), !c.expected.empty() && c.expected.back() == "end") << c.name;
  }
}

TEST(ExitRules, StartCoordinateOutsideSixteenBitsStaysZero) {
  FakeSystem system;
  ExitRules rules(RunKind::Saver, system, system);
  rules.start_watching(40000, -32769);
  rules.on_poll(0, 5);  // column 0: x was not recorded, nor cut to 16 bits
  rules.on_poll(-25536, 0);
  EXPECT_FALSE(rules.ended());
  rules.on_poll(1, 1);
  EXPECT_TRUE(rules.ended());
}

TEST(ExitRules, TickWhileTheDialogIsOpenMayAskAgainAndEnd) {
  // The key's dialog is still open when a tick finds the cursor away; the
  // tick's dialog accepts and ends; the key's then closes refused: no more effects.
  FakeSystem system;
  system.nt = false;
  ExitRules rules(RunKind::Saver, system, system);
  rules.start_watching(400, 300);
  system.while_dialog_open = [&] {
    system.verdicts = {kAccepted, kRefused};
    rules.on_poll(0, 0);
  };
  rules.on_key();
  EXPECT_EQ(system.log, (Log{"poll on", "show", "ask", "poll off", "show", "ask"} + kEnd));
}

TEST(ExitRules, TheSystemsEndRestoresWithoutAskingAndOnlyOnce) {
  for (const RunKind kind : {RunKind::Saver, RunKind::Plain}) {
    FakeSystem system;
    system.nt = false;  // a password would be asked on input
    ExitRules rules(kind, system, system);
    rules.begin();
    rules.start_watching(400, 300);
    rules.on_system_end();
    rules.on_system_end();
    rules.on_key();
    const Log expected = kind == RunKind::Saver ? kStart + kEnd : Log{"saving on", "end"};
    EXPECT_EQ(system.log, expected) << (kind == RunKind::Saver ? "saver run" : "plain run");
    EXPECT_TRUE(rules.ended());
  }
}

}  // namespace
}  // namespace vantrel
