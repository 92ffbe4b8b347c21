#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/fake_file_system.h"
#include "support/iconv_text_codec.h"

namespace vantrel {
namespace {

using Actions = std::array<std::optional<std::int64_t>, 4>;

// Key bytes in code page 932, written out from the file format's own table.
const std::string kFilePathBytes = "\xCC\xA7\xB2\xD9\x96\xBC";
const std::string kFolderNameBytes = "\xCC\xAB\xD9\xC0\xDE\x96\xBC";
const std::string kFileKindBytes = "\xCC\xA7\xB2\xD9\x8B\xE6\x95\xAA";
const std::string kSphereSizeBytes = "\x8B\x85\x82\xCC\x91\xE5\x82\xAB\x82\xB3";
const std::string kRotationSpeedBytes = "\x89\xF1\x93\x5D\x82\xCC\x91\xAC\x82\xB3";
const std::string kSpreadDegreeBytes = "\x94\x9A\x94\xAD\x82\xCC\x8A\x67\x8E\x55\x93\x78\x8D\x87\x82\xA2";
const std::string kSpreadSpeedBytes =
    "\x94\x9A\x94\xAD\x82\xCC\x8A\x67\x8E\x55\x82\xB7\x82\xE9\x91\xAC\x82\xB3";

class SettingsStoreTest : public ::testing::Test {
 protected:
  testing::FakeFileSystem files;
  testing::IconvTextCodec codec;
  const std::string ini = settings_file_path("C:\\Saver");

  SettingsModel load() {
    SettingsModel model;
    Load_Settings(model, files, codec, ini);
    return model;
  }
  SettingsModel load_lines(const std::string& cp932_lines) {
    files.add_file(ini, "[Section]\r\n" + cp932_lines);
    return load();
  }
  std::string stored() const { return files.files().at("C:\\SAVER\\VANTREL.INI"); }
};

TEST_F(SettingsStoreTest, FormsTheFilePathFromTheProgramDirectory) {
  EXPECT_EQ(settings_file_path("C:\\Program Files\\Vantrel"), "C:\\Program Files\\Vantrel\\Vantrel.ini");
  EXPECT_EQ(settings_file_path("C:\\"), "C:\\Vantrel.ini");
}

TEST_F(SettingsStoreTest, SavesAWholeFileWhenNoneExists) {
  SettingsModel model;
  model.File_Path = "C:\\写真\\a.jpg";
  model.Folder_Name = "C:\\ソフト";  // ソ is 83 5C: a backslash as trail byte
  model.File_Kind = 0;
  model.Action_Value = Actions{3, 25, -5, std::nullopt};
  ASSERT_EQ(Save_Settings(model, files, codec, ini), WriteResult::Saved);
  EXPECT_EQ(stored(), "[Section]\r\n" + kFilePathBytes + "=C:\\\x8E\xCA\x90\x5E\\a.jpg\r\n" +
                          kFolderNameBytes + "=C:\\\x83\x5C\x83\x74\x83\x67\r\n" + kFileKindBytes +
                          "= 0\r\n" + kSphereSizeBytes + "= 3\r\n" + kRotationSpeedBytes + "= 25\r\n" +
                          kSpreadDegreeBytes + "=-5\r\n" + kSpreadSpeedBytes + "=\r\n");
}

TEST_F(SettingsStoreTest, SaveKeepsEveryOtherByteOfAnExistingFile) {
  const std::string head = "; Vantrel\r\n[Other]\r\n" + kFilePathBytes + "=elsewhere\r\n\r\n[section]\n";
  const std::string tail = "\r\n[Tail]\r\nz = 1";
  files.add_file(ini, head + "  " + kSphereSizeBytes + "  =  9 \nextra = kept\n" + tail);
  SettingsModel model;
  model.Action_Value = Actions{4, 25, 5, 5};
  ASSERT_EQ(Save_Settings(model, files, codec, ini), WriteResult::Saved);
  EXPECT_EQ(stored(), head + kSphereSizeBytes + "= 4\r\nextra = kept\n" + kFilePathBytes + "=\r\n" +
                          kFolderNameBytes + "=\r\n" + kFileKindBytes + "= 0\r\n" + kRotationSpeedBytes +
                          "= 25\r\n" + kSpreadDegreeBytes + "= 5\r\n" + kSpreadSpeedBytes + "= 5\r\n" +
                          tail);
}

TEST_F(SettingsStoreTest, FilesWithoutUsableValuesGiveTheDefaults) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>(i * 131 % 251);
  const struct {
    const char* what;
    std::optional<std::string> content;
    bool locked;
  } cases[] = {{"missing", std::nullopt, false},
               {"empty", "", false},
               {"unreadable", "[Section]\r\n" + kFileKindBytes + "=0\r\n", true},
               {"binary garbage", garbage, false},
               {"only an LF line of a million bytes", std::string(1 << 20, 'x') + "\n", false},
               {"keys without a section", kFileKindBytes + "=0\r\n" + kSphereSizeBytes + "=9\r\n", false}};
  for (const auto& c : cases) {
    testing::FakeFileSystem fresh;
    if (c.content) fresh.add_file(ini, *c.content);
    if (c.locked) fresh.lock_file(ini);
    SettingsModel model;
    Load_Settings(model, fresh, codec, ini);
    EXPECT_EQ(model.File_Kind, kFileKindSingleFile) << c.what;
    EXPECT_EQ(model.Action_Value, (Actions{3, 25, 5, 5})) << c.what;
    EXPECT_EQ(model.File_Path, "") << c.what;
    EXPECT_EQ(model.Folder_Name, "") << c.what;
    EXPECT_EQ(model.Image_Count(), 0) << c.what;
  }
}

TEST_F(SettingsStoreTest, NumbersLoadTakenDownOrLeaveTheFieldAsItWas) {
  // File_Kind starts at 0 and the actions start unset; a value that is not a
  // number keeps that.
  const struct {
    std::string line;
    std::int16_t kind;
    Actions actions;
  } cases[] = {
      {kFileKindBytes + "=32767.9", 32767, {3, 25, 5, 5}},
      {kFileKindBytes + "=32768", 0, {3, 25, 5, 5}},
      {kFileKindBytes + "=-32769", 0, {3, 25, 5, 5}},
      {kFileKindBytes + "=abc", 0, {3, 25, 5, 5}},
      {kFileKindBytes + "=\"\"", 1, {3, 25, 5, 5}},
      {kSphereSizeBytes + "=4.7", 1, {4, 25, 5, 5}},
      {kSphereSizeBytes + "=-2.5", 1, {-3, 25, 5, 5}},
      {kRotationSpeedBytes + "=250", 1, {3, 250, 5, 5}},
      {kSpreadDegreeBytes + "= 99999999999", 1, {3, 25, 99999999999, 5}},
      {kSpreadDegreeBytes + "=99999999999999999999", 1, {3, 25, std::nullopt, 5}},
      {kSpreadSpeedBytes + "=abc", 1, {3, 25, 5, std::nullopt}},
  };
  for (const auto& c : cases) {
    const SettingsModel model = load_lines(c.line + "\r\n");
    EXPECT_EQ(model.File_Kind, c.kind) << c.line;
    EXPECT_EQ(model.Action_Value, c.actions) << c.line;
  }
}

TEST_F(SettingsStoreTest, DropsAStoredFileThatCannotBeOpened) {
  const std::string long_path = "C:\\" + std::string(260, 'p') + ".bmp";
  files.add_file("C:\\写真\\a.jpg");
  files.add_file(long_path);
  files.add_folder("C:\\Folder.jpg");
  const struct {
    std::string stored;
    std::string loaded;
  } cases[] = {{"C:\\\x8E\xCA\x90\x5E\\a.jpg", "C:\\写真\\a.jpg"},
               {"C:\\\x8E\xCA\x90\x5E\\gone.jpg", ""},
               {"C:\\Folder.jpg", ""},
               {long_path, ""}};  // read back cut to 255 bytes: no such file
  for (const auto& c : cases) {
    EXPECT_EQ(load_lines(kFilePathBytes + "=" + c.stored + "\r\n").File_Path, c.loaded) << c.stored;
  }
  EXPECT_EQ(Ini_Read(files, codec, kSettingsSection, kFilePathKey, ini), long_path.substr(0, 255));
}

TEST_F(SettingsStoreTest, ListsAnExistingFolderInEitherModeAndDropsAVanishedOne) {
  files.add_file("C:\\Pics\\a.JPG", "", kAttributeArchive);
  files.add_file("C:\\Pics\\b.bmp", "", kAttributeNormal);
  const std::vector<std::string> listed = {"C:\\Pics\\b.bmp", "C:\\Pics\\a.JPG"};
  const struct {
    std::string lines;
    std::int16_t kind;
    std::string folder;
    std::vector<std::string> images;
  } cases[] = {
      {kFolderNameBytes + "=C:\\Pics\r\n" + kFileKindBytes + "=0\r\n", 0, "C:\\Pics", listed},
      {kFolderNameBytes + "=C:\\Pics\r\n" + kFileKindBytes + "= 1\r\n", 1, "C:\\Pics", listed},
      {kFolderNameBytes + "=C:\\Gone\r\n" + kFileKindBytes + "=0\r\n", 0, "", {}},
  };
  for (const auto& c : cases) {
    const SettingsModel model = load_lines(c.lines);
    EXPECT_EQ(model.File_Kind, c.kind) << c.lines;
    EXPECT_EQ(model.Folder_Name, c.folder) << c.lines;
    EXPECT_EQ(model.Image_Files, c.images) << c.lines;
  }
}

TEST_F(SettingsStoreTest, RefusedOrFailedSavesLeaveTheOldFileWhole) {
  const std::string old_file = "; mine\r\n[Section]\r\n" + kSphereSizeBytes + "= 6\r\n";
  const auto model_with_path = [](std::string path) {
    SettingsModel model;
    model.File_Path = std::move(path);
    return model;
  };
  const struct {
    const char* what;
    SettingsModel model;
    bool locked;
    bool replace_fails;
    WriteResult expected;
  } cases[] = {
      {"no code-page-932 form", model_with_path("C:\\caf\xC3\xA9\\\xF0\x9F\x98\x80.jpg"), false, false,
       WriteResult::PathNotRepresentable},
      {"invalid UTF-8", model_with_path("C:\\\xFF.jpg"), false, false, WriteResult::PathNotRepresentable},
      {"line break", model_with_path("C:\\a.jpg\r\n[Evil]"), false, false, WriteResult::ValueHasLineBreak},
      {"NUL", model_with_path(std::string("C:\\a\0.jpg", 9)), false, false, WriteResult::ValueHasLineBreak},
      {"locked", model_with_path("C:\\a.jpg"), true, false, WriteResult::WriteFailed},
      {"replace fails", model_with_path("C:\\a.jpg"), false, true, WriteResult::WriteFailed},
  };
  for (const auto& c : cases) {
    testing::FakeFileSystem fresh;
    fresh.add_file(ini, old_file);
    if (c.locked) fresh.lock_file(ini);
    if (c.replace_fails) fresh.fail_replace();
    EXPECT_EQ(Save_Settings(c.model, fresh, codec, ini), c.expected) << c.what;
    EXPECT_EQ(fresh.files().at("C:\\SAVER\\VANTREL.INI"), old_file) << c.what;
  }
  EXPECT_EQ(Save_Settings(model_with_path("C:\\\xF0\x9F\x98\x80"), files, codec, ini),
            WriteResult::PathNotRepresentable);
  EXPECT_TRUE(files.files().empty()) << "a refused save creates no file";
}

TEST_F(SettingsStoreTest, IniWriteCutsNamesTo128Characters) {
  const std::string long_key = std::string(127, 'k') + "鍵鍵";  // 129 characters
  ASSERT_EQ(Ini_Write(files, codec, "Section", long_key, "v", ini), WriteResult::Saved);
  EXPECT_EQ(stored(), "[Section]\r\n" + std::string(127, 'k') + "\x8C\xAE=v\r\n");
  EXPECT_EQ(Ini_Read(files, codec, "Section", std::string(127, 'k') + "鍵", ini), "v");
}

}  // namespace
}  // namespace vantrel
