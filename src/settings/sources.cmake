# Files of settings/: portable ones in CORE_SOURCES, Win32 ones in WIN32_SOURCES.
list(APPEND CORE_SOURCES
  settings/ini_file.cpp
  settings/ini_number.cpp
  settings/profile_text.cpp
  settings/settings_journal.cpp
  settings/settings_store.cpp
  settings/storable_path.cpp
)
list(APPEND WIN32_SOURCES
  settings/settings_file_win32.cpp
)
