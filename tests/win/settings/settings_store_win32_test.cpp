#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imagesource/sandbox.h"
#include "platform/file_system_win32.h"
#include "platform/handles_win32.h"
#include "platform/text_codec_win32.h"
#include "platform/wide_text_win32.h"
#include "settings/settings_file_win32.h"
#include "settings/settings_store.h"

namespace vantrel {
namespace {

std::string read_bytes(const std::string& path) {
  std::ifstream in(std::filesystem::path(to_wide(path)), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SettingsStoreWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    // The expected bytes below spell the folder as it is: ASCII only.
    for (const char c : sandbox.path()) ASSERT_LT(static_cast<unsigned char>(c), 0x80) << sandbox.path();
  }
  testing::Sandbox sandbox;
  Win32FileSystem files;
  Win32TextCodec codec;
  const std::string ini = settings_file_path(sandbox.path());
  Win32SettingsFile settings{ini};
};

TEST_F(SettingsStoreWin32Test, JapanesePathsTravelThroughTheFileOnDiskAsCodePage932) {
  SettingsModel saved;
  saved.Folder_Name = sandbox.folder("ソフト表");  // trail bytes 0x5C in both words
  saved.File_Path = sandbox.file("ソフト表\\表.jpg", "jpeg");
  sandbox.file("ソフト表\\b.bmp", "bitmap");
  saved.File_Kind = 0;
  saved.Action_Value = {6, 100, 1, 20};
  ASSERT_EQ(Save_Settings(saved, codec, settings), WriteResult::Saved);

  const std::string folder_bytes = sandbox.path() + "\\\x83\x5C\x83\x74\x83\x67\x95\x5C";
  EXPECT_EQ(read_bytes(ini),
            "[Section]\r\n"
            "\xCC\xA7\xB2\xD9\x96\xBC=" + folder_bytes + "\\\x95\x5C.jpg\r\n"
            "\xCC\xAB\xD9\xC0\xDE\x96\xBC=" + folder_bytes + "\r\n"
            "\xCC\xA7\xB2\xD9\x8B\xE6\x95\xAA= 0\r\n"
            "\x8B\x85\x82\xCC\x91\xE5\x82\xAB\x82\xB3= 6\r\n"
            "\x89\xF1\x93\x5D\x82\xCC\x91\xAC\x82\xB3= 100\r\n"
            "\x94\x9A\x94\xAD\x82\xCC\x8A\x67\x8E\x55\x93\x78\x8D\x87\x82\xA2= 1\r\n"
            "\x94\x9A\x94\xAD\x82\xCC\x8A\x67\x8E\x55\x82\xB7\x82\xE9\x91\xAC\x82\xB3= 20\r\n");

  SettingsModel loaded;
  Load_Settings(loaded, files, codec, settings);
  EXPECT_EQ(loaded.File_Path, saved.File_Path);
  EXPECT_EQ(loaded.Folder_Name, saved.Folder_Name);
  EXPECT_EQ(loaded.File_Kind, 0);
  EXPECT_EQ(loaded.Action_Value, saved.Action_Value);
  // Wine marks every regular file archive-only: one pass, bitmaps first.
  EXPECT_EQ(loaded.Image_Files, (std::vector<std::string>{saved.Folder_Name + "\\b.bmp", saved.File_Path}));
}

TEST_F(SettingsStoreWin32Test, RefusedOrFailedSavesLeaveTheFileOnDiskWhole) {
  const std::string old_bytes = "; mine\r\n[Other]\r\nx=1\r\n";
  sandbox.file("Vantrel.ini", old_bytes);
  SettingsModel model;
  model.File_Path = "C:\\caf\xC3\xA9.jpg";  // é has no code-page-932 form
  EXPECT_EQ(Save_Settings(model, codec, settings), WriteResult::PathNotRepresentable);
  EXPECT_EQ(read_bytes(ini), old_bytes);

  model.File_Path = "C:\\a.jpg";
  {
    // Held open without any sharing by another program.
    const FileHandle held(CreateFileW(to_wide(ini).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(Save_Settings(model, codec, settings), WriteResult::WriteFailed);
  }
  EXPECT_EQ(read_bytes(ini), old_bytes);

  ASSERT_EQ(Save_Settings(model, codec, settings), WriteResult::Saved);
  EXPECT_EQ(read_bytes(ini).substr(0, old_bytes.size() + 20),
            old_bytes + "[Section]\r\n\xCC\xA7\xB2\xD9\x96\xBC=C:");
}

}  // namespace
}  // namespace vantrel
