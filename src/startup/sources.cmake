# Files of startup/: portable ones in CORE_SOURCES, Win32 ones in WIN32_SOURCES.
list(APPEND CORE_SOURCES
  startup/command_line.cpp
  startup/preview_layout.cpp
  startup/program_start.cpp
)
list(APPEND WIN32_SOURCES
  startup/preview_form_win32.cpp
  startup/startup_win32.cpp
)
