# Files of platform/: portable ones in CORE_SOURCES, Win32 ones in WIN32_SOURCES.
list(APPEND CORE_SOURCES
  platform/doorbell.cpp
  platform/exif_orientation.cpp
  platform/fixed_seed_random.cpp
  platform/mip_chain.cpp
  platform/picture.cpp
  platform/picture_decoder.cpp
  platform/picture_header.cpp
  platform/picture_orientation.cpp
  platform/software_renderer.cpp
  platform/time_seeded_random.cpp
)
list(APPEND WIN32_SOURCES
  platform/dib_win32.cpp
  platform/dpi_awareness_win32.cpp
  platform/embedded_data_win32.cpp
  platform/file_system_win32.cpp
  platform/gdiplus_session_win32.cpp
  platform/gl_context_win32.cpp
  platform/multisample_format_win32.cpp
  platform/offscreen_bitmap_win32.cpp
  platform/optional_functions_win32.cpp
  platform/picture_decoder_win32.cpp
  platform/platform_check_win32.cpp
  platform/system_error_win32.cpp
  platform/system_library_win32.cpp
  platform/text_codec_win32.cpp
  platform/wide_text_win32.cpp
)
