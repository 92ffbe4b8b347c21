#include "saver/exit_rules.h"

#include <limits>

namespace vantrel {
namespace {

void store_16_bit(std::int64_t value, std::int16_t& target) {
  if (value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max())
    target = static_cast<std::int16_t>(value);
}

}  // namespace

ExitRules::ExitRules(RunKind kind, PasswordService& passwords, ExitEffects& effects)
    : kind_(kind), passwords_(passwords), effects_(effects) {}

void ExitRules::begin() {
  if (kind_ != RunKind::Saver) return;
  effects_.show_cursor(false);
  effects_.set_system_keys(false);
}

void ExitRules::start_watching(std::int64_t cursor_x, std::int64_t cursor_y) {
  store_16_bit(cursor_x, start_cursor_x_);
  store_16_bit(cursor_y, start_cursor_y_);
  // The poll does nothing in a plain run, so a plain run does not tick at all.
  if (kind_ != RunKind::Saver) return;
  polling_ = true;
  effects_.set_cursor_poll(true);
}

void ExitRules::on_key() {
  if (!ended_) End_Saver();
}

void ExitRules::on_button() {
  if (!ended_) End_Saver();
}

void ExitRules::on_poll(std::int64_t cursor_x, std::int64_t cursor_y) {
  if (ended_ || !polling_ || kind_ != RunKind::Saver) return;
  // Both axes must have left the start: a move straight along a row or a
  // column, or back onto either, keeps the saver running.
  if (cursor_x == start_cursor_x_ || cursor_y == start_cursor_y_) return;
  // The poll is over for good, even if a refused password keeps the saver on.
  polling_ = false;
  effects_.set_cursor_poll(false);
  End_Saver();
}

void ExitRules::on_scene_mouse_move(std::int32_t x, std::int32_t y) {
  if (ended_ || kind_ != RunKind::Saver) return;
  // The first report only marks where the pointer was when the scene appeared
  // under it; the saver ends on a later report away from it on both axes.
  if (!first_move_seen_) {
    first_move_x_ = static_cast<float>(x);
    first_move_y_ = static_cast<float>(y);
    first_move_seen_ = true;
    return;
  }
  if (static_cast<double>(x) != first_move_x_ && static_cast<double>(y) != first_move_y_) End_Saver();
}

void ExitRules::on_system_end() {
  if (!ended_) restore_and_end();
}

void ExitRules::End_Saver() {
  const bool saver_run = kind_ == RunKind::Saver;
  if (saver_run && !passwords_.is_nt()) {
    effects_.show_cursor(true);  // the user needs it in the password dialog
    const PasswordVerdict verdict = passwords_.verify_password();
    // A poll tick while the dialog was open may have asked again and ended.
    if (ended_) return;
    if (verdict == PasswordVerdict::Refused) {
      effects_.show_cursor(false);
      return;
    }
  }
  restore_and_end();
}

void ExitRules::restore_and_end() {
  if (kind_ == RunKind::Saver) {
    effects_.set_system_keys(true);
    effects_.show_cursor(true);
  }
  effects_.enable_screen_saving();
  ended_ = true;
  effects_.end_program();
}

}  // namespace vantrel
