#pragma once
// When the saver ends, and what it undoes on the way out: the input rules of
// the saver window and End_Saver, as a state machine over two seams. The Win32
// window feeds it events and carries out the effects; the rules never touch
// the system themselves.

#include <cstdint>

#include "saver/run_kind.h"

namespace vantrel {

enum class PasswordVerdict { Accepted, Refused };

// The system's saver password (asked on systems outside the NT family only).
class PasswordService {
 public:
  virtual ~PasswordService() = default;
  virtual bool is_nt() = 0;  // Is_NT
  // Shows the system's password dialog, owned by the saver window, and returns
  // when it closes. Cancel counts as refused. Other events, the cursor poll's
  // ticks among them, may run while it is open.
  virtual PasswordVerdict verify_password() = 0;
};

// What the rules ask of the system, in the order they ask it.
class ExitEffects {
 public:
  virtual ~ExitEffects() = default;
  virtual void show_cursor(bool visible) = 0;      // ShowCursor(1) or ShowCursor(0)
  virtual void set_system_keys(bool enable) = 0;   // Set_System_Keys
  virtual void set_cursor_poll(bool running) = 0;  // Timer3 enabled or disabled
  virtual void enable_screen_saving() = 0;         // screen saving switched on, profile untouched
  virtual void end_program() = 0;                  // unload the window and end, at once
};

class ExitRules {
 public:
  ExitRules(RunKind kind, PasswordService& passwords, ExitEffects& effects);

  // Load sequence, step 2, before the window covers the screen: a saver run
  // hides the cursor and blocks the system keys.
  void begin();
  // Load sequence, steps 6 and 7, once the scene exists: records the cursor's
  // screen position (a coordinate outside the 16-bit range is not recorded
  // and stays 0) and starts the cursor poll. A plain run needs no poll.
  void start_watching(std::int64_t cursor_x, std::int64_t cursor_y);

  // A key or a mouse button, on the window or on the scene.
  void on_key();
  void on_button();
  // A tick of the cursor poll with the cursor's screen position.
  void on_poll(std::int64_t cursor_x, std::int64_t cursor_y);
  // A mouse move reported on the scene, in its own coordinates.
  void on_scene_mouse_move(std::int32_t x, std::int32_t y);
  // The system ends the saver (its window is closed, the session ends): the
  // settings End_Saver restores are restored and the program ends, with no
  // password asked, since the user is not the one ending it.
  void on_system_end();

  bool ended() const { return ended_; }
  bool polling() const { return polling_; }

 private:
  void End_Saver();
  void restore_and_end();

  RunKind kind_;
  PasswordService& passwords_;
  ExitEffects& effects_;
  std::int16_t start_cursor_x_ = 0;  // Start_Cursor_X, never updated after start_watching
  std::int16_t start_cursor_y_ = 0;
  float first_move_x_ = 0.0f;  // First_Move_X
  float first_move_y_ = 0.0f;
  bool first_move_seen_ = false;  // First_Move_Seen, set once per run
  bool polling_ = false;
  bool ended_ = false;
};

}  // namespace vantrel
