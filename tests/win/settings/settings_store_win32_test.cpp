#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/file_system_win32.h"
#include "platform/handles_win32.h"
#include "platform/text_codec_win32.h"
#include "platform/wide_text_win32.h"
#include "settings/settings_store.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything
// in it at the end of the test.
class ScratchFolder {
 public:
  ScratchFolder()
      : path_(fs::temp_directory_path() / ("vantrel_settings_" + std::to_string(GetCurrentProcessId()))) {
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }
  std::string utf8() const { return to_utf8(path_.wstring()); }

 private:
  fs::path path_;
};

std::string read_bytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_bytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class SettingsStoreWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    // The expected bytes below spell the folder as it is: ASCII only.
    for (const char c : scratch.utf8()) ASSERT_LT(static_cast<unsigned char>(c), 0x80) << scratch.utf8();
  }
  ScratchFolder scratch;
  Win32FileSystem files;
  Win32TextCodec codec;
  const std::string ini = settings_file_path(scratch.utf8());
};

TEST_F(SettingsStoreWin32Test, JapanesePathsTravelThroughTheFileOnDiskAsCodePage932) {
  const fs::path pictures = scratch.path() / L"ソフト表";  // trail bytes 0x5C in both words
  fs::create_directories(pictures);
  write_bytes(pictures / L"表.jpg", "jpeg");
  write_bytes(pictures / L"b.bmp", "bitmap");
  SettingsModel saved;
  saved.Folder_Name = scratch.utf8() + "\\ソフト表";
  saved.File_Path = saved.Folder_Name + "\\表.jpg";
  saved.File_Kind = 0;
  saved.Action_Value = {6, 100, 1, 20};
  ASSERT_EQ(Save_Settings(saved, files, codec, ini), WriteResult::Saved);

  const std::string folder_bytes = scratch.utf8() + "\\\x83\x5C\x83\x74\x83\x67\x95\x5C";
  EXPECT_EQ(read_bytes(scratch.path() / L"Vantrel.ini"),
            "[Section]\r\n"
            "\xCC\xA7\xB2\xD9\x96\xBC=" + folder_bytes + "\\\x95\x5C.jpg\r\n"
            "\xCC\xAB\xD9\xC0\xDE\x96\xBC=" + folder_bytes + "\r\n"
            "\xCC\xA7\xB2\xD9\x8B\xE6\x95\xAA= 0\r\n"
            "\x8B\x85\x82\xCC\x91\xE5\x82\xAB\x82\xB3= 6\r\n"
            "\x89\xF1\x93\x5D\x82\xCC\x91\xAC\x82\xB3= 100\r\n"
            "\x94\x9A\x94\xAD\x82\xCC\x8A\x67\x8E\x55\x93\x78\x8D\x87\x82\xA2= 1\r\n"
            "\x94\x9A\x94\xAD\x82\xCC\x8A\x67\x8E\x55\x82\xB7\x82\xE9\x91\xAC\x82\xB3= 20\r\n");

  SettingsModel loaded;
  Load_Settings(loaded, files, codec, ini);
  EXPECT_EQ(loaded.File_Path, saved.File_Path);
  EXPECT_EQ(loaded.Folder_Name, saved.Folder_Name);
  EXPECT_EQ(loaded.File_Kind, 0);
  EXPECT_EQ(loaded.Action_Value, saved.Action_Value);
  // Wine marks every regular file archive-only: one pass, bitmaps first.
  EXPECT_EQ(loaded.Image_Files, (std::vector<std::string>{saved.Folder_Name + "\\b.bmp", saved.File_Path}));
}

TEST_F(SettingsStoreWin32Test, RefusedOrFailedSavesLeaveTheFileOnDiskWhole) {
  const fs::path file = scratch.path() / L"Vantrel.ini";
  const std::string old_bytes = "; mine\r\n[Other]\r\nx=1\r\n";
  write_bytes(file, old_bytes);
  SettingsModel model;
  model.File_Path = "C:\\caf\xC3\xA9.jpg";  // é has no code-page-932 form
  EXPECT_EQ(Save_Settings(model, files, codec, ini), WriteResult::PathNotRepresentable);
  EXPECT_EQ(read_bytes(file), old_bytes);

  model.File_Path = "C:\\a.jpg";
  {
    // Held open without any sharing by another program.
    const FileHandle held(CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(Save_Settings(model, files, codec, ini), WriteResult::WriteFailed);
  }
  EXPECT_EQ(read_bytes(file), old_bytes);

  ASSERT_EQ(Save_Settings(model, files, codec, ini), WriteResult::Saved);
  EXPECT_EQ(read_bytes(file).substr(0, old_bytes.size() + 20),
            old_bytes + "[Section]\r\n\xCC\xA7\xB2\xD9\x96\xBC=C:");
}

}  // namespace
}  // namespace vantrel
