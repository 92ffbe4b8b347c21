# Files of dialog/: portable ones in CORE_SOURCES, Win32 ones in WIN32_SOURCES.
list(APPEND CORE_SOURCES
)
list(APPEND WIN32_SOURCES
  dialog/settings_dialog_win32.cpp
)
