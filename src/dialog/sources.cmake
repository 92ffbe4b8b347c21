# Files of dialog/: portable ones in CORE_SOURCES, Win32 ones in WIN32_SOURCES.
list(APPEND CORE_SOURCES
  dialog/accessible_elements.cpp
  dialog/caption_animation.cpp
  dialog/control_table.cpp
  dialog/dialog_layout.cpp
  dialog/dialog_presenter.cpp
  dialog/dialog_state.cpp
  dialog/link_colour.cpp
  dialog/number_format.cpp
  dialog/pointer_rule.cpp
  dialog/preview_geometry.cpp
  dialog/slider_motion.cpp
  dialog/text_fitting.cpp
  dialog/window_placement.cpp
  dialog/tiling.cpp
)
list(APPEND WIN32_SOURCES
  dialog/caption_animation_win32.cpp
  dialog/dialog_accessible_win32.cpp
  dialog/dialog_controls_win32.cpp
  dialog/dialog_font_win32.cpp
  dialog/dialog_painter_win32.cpp
  dialog/dialog_pictures_win32.cpp
  dialog/dialog_shell_win32.cpp
  dialog/dialog_view_win32.cpp
  dialog/dialog_window_win32.cpp
  dialog/dialog_worker_win32.cpp
  dialog/settings_dialog_win32.cpp
  dialog/user_number_format_win32.cpp
)
