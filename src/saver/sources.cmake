# Files of saver/: portable ones in CORE_SOURCES, Win32 ones in WIN32_SOURCES.
list(APPEND CORE_SOURCES
  saver/camera.cpp
  saver/cover_layout.cpp
  saver/exit_rules.cpp
  saver/explosion.cpp
  saver/frame_schedule.cpp
  saver/gradient.cpp
  saver/pacing_policy.cpp
  saver/pick_picture.cpp
  saver/scene.cpp
  saver/sphere_texture_size.cpp
  saver/sphere_mesh.cpp
  saver/timeline.cpp
)
list(APPEND WIN32_SOURCES
  saver/exit_effects_win32.cpp
  saver/frame_pacer_win32.cpp
  saver/monitors_win32.cpp
  saver/power_watch_win32.cpp
  saver/picture_loader_win32.cpp
  saver/saver_window_win32.cpp
  # Portable OpenGL 1.1 code, built where the program links OpenGL.
  saver/scene_renderer.cpp
)
