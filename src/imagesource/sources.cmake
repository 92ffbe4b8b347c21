# Files of imagesource/: portable ones in CORE_SOURCES, Win32 ones in WIN32_SOURCES.
list(APPEND CORE_SOURCES
  imagesource/existence.cpp
  imagesource/image_list.cpp
  imagesource/path_routines.cpp
)
list(APPEND WIN32_SOURCES
)
