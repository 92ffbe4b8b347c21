#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/fake_file_system.h"
#include "support/iconv_text_codec.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's allocator interface (GCC ships no header for it).
extern "C" {
std::size_t __sanitizer_get_current_allocated_bytes();
int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, std::size_t),
                                              void (*free_hook)(const volatile void*));
}
#endif

namespace vantrel {
namespace {

using namespace std::string_literals;

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

// A file system that counts how often each file is read whole.
class CountingFileSystem : public testing::FakeFileSystem {
 public:
  std::optional<std::string> read_file(const std::string& path) override {
    ++reads_[path];
    return FakeFileSystem::read_file(path);
  }
  std::size_t reads_of(const std::string& path) const {
    const auto found = reads_.find(path);
    return found == reads_.end() ? 0 : found->second;
  }

 private:
  std::map<std::string, std::size_t> reads_;
};

TEST_F(SettingsStoreTest, ALoadReadsTheFileOnceAndASaveOnce) {
  const std::string lines = "[Section]\r\n" + kSphereSizeBytes + "= 4\r\n" + kSpreadSpeedBytes + "= 9\r\n";
  const struct {
    const char* what;
    bool save;
  } cases[] = {{"load", false}, {"save", true}};
  for (const auto& c : cases) {
    CountingFileSystem counted;
    counted.add_file(ini, lines);
    SettingsModel model;
    if (c.save) {
      ASSERT_EQ(Save_Settings(model, counted, codec, ini), WriteResult::Saved);
    } else {
      Load_Settings(model, counted, codec, ini);
      EXPECT_EQ(model.Action_Value, (Actions{4, 25, 5, 9}));
    }
    EXPECT_EQ(counted.reads_of(ini), 1u) << c.what;
  }
}

#if defined(__SANITIZE_ADDRESS__)
// The most heap bytes live at once while `work` runs, beyond those live before
// it: sampled after every allocation, where every peak is.
std::atomic<bool> heap_watched{false};
std::atomic<std::size_t> heap_peak{0};

void note_allocation(const volatile void*, std::size_t) {
  if (!heap_watched) return;
  const std::size_t live = __sanitizer_get_current_allocated_bytes();
  std::size_t peak = heap_peak;
  while (live > peak && !heap_peak.compare_exchange_weak(peak, live)) {
  }
}
void note_release(const volatile void*) {}

template <typename Work>
std::size_t peak_heap_bytes_during(Work&& work) {
  static const bool installed = __sanitizer_install_malloc_and_free_hooks(note_allocation, note_release) != 0;
  EXPECT_TRUE(installed);
  const std::size_t before = __sanitizer_get_current_allocated_bytes();
  heap_peak = before;
  heap_watched = true;
  work();
  heap_watched = false;
  return heap_peak - before;
}
#endif

TEST_F(SettingsStoreTest, HugeFilesLoadAndSaveInMemoryInProportionToTheirSize) {
#if !defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the heap is measured through AddressSanitizer's allocator (the native preset)";
#else
  const std::string keys = kFilePathBytes + "=\r\n" + kFileKindBytes + "= 1\r\n" + kSphereSizeBytes + "= 4\r\n";
  const std::string empty_lines(5 << 20, '\n');
  std::string junk_keys;
  for (int i = 0; i < 200000; ++i) junk_keys += "j" + std::to_string(i % 1000) + "=\r\n";
  const struct {
    const char* what;
    std::string file;
  } cases[] = {
      {"small", "[Section]\r\n" + keys},
      {"10 MB of empty lines", empty_lines + "[Section]\r\n" + empty_lines + keys},
      {"200,000 junk keys", "[Section]\r\n" + junk_keys + keys},
  };
  // A file of millions of lines costs a few copies of its bytes, nothing per
  // line (a record per line took over 60 bytes for each of these 2-byte lines).
  constexpr std::size_t kCopies = 5;
  for (const auto& c : cases) {
    testing::FakeFileSystem fresh;
    fresh.add_file(ini, c.file);
    SettingsModel model;
    const std::size_t load = peak_heap_bytes_during([&] { Load_Settings(model, fresh, codec, ini); });
    EXPECT_EQ(model.Action_Value, (Actions{4, 25, 5, 5})) << c.what;
    EXPECT_LE(load, kCopies * c.file.size() + (1 << 20)) << c.what;

    model.Action_Value = Actions{6, 25, 5, 5};
    WriteResult saved = WriteResult::WriteFailed;
    const std::size_t save = peak_heap_bytes_during([&] { saved = Save_Settings(model, fresh, codec, ini); });
    EXPECT_EQ(saved, WriteResult::Saved) << c.what;
    EXPECT_LE(save, kCopies * c.file.size() + (1 << 20)) << c.what;
  }
#endif
}

// The UTF-16 form of UTF-8 text, with its byte order mark unless told not.
std::string utf16(const std::string& utf8, bool big_endian, bool mark = true) {
  const iconv_t opened = iconv_open(big_endian ? "UTF-16BE" : "UTF-16LE", "UTF-8");
  std::string in = utf8;
  std::string out(in.size() * 4, '\0');
  char* in_at = in.data();
  std::size_t in_left = in.size();
  char* out_at = out.data();
  std::size_t out_left = out.size();
  iconv(opened, &in_at, &in_left, &out_at, &out_left);
  iconv_close(opened);
  out.resize(out.size() - out_left);
  if (!mark) return out;
  return (big_endian ? "\xFE\xFF"s : "\xFF\xFE"s) + out;
}

TEST_F(SettingsStoreTest, UnicodeFilesLoadAndSaveInTheirOwnEncoding) {
  files.add_file("C:\\写真\\a.jpg");
  const std::string before = "; 設定\r\n[Section]\r\nﾌｧｲﾙ名=C:\\写真\\a.jpg\r\n回転の速さ= 40\r\n";
  const std::string after =
      "; 設定\r\n[Section]\r\nﾌｧｲﾙ名=C:\\写真\\a.jpg\r\n回転の速さ= 41\r\n"
      "ﾌｫﾙﾀﾞ名=\r\nﾌｧｲﾙ区分= 1\r\n球の大きさ= 3\r\n爆発の拡散度合い= 5\r\n爆発の拡散する速さ= 5\r\n";
  const struct {
    const char* what;
    std::string before;
    std::string after;
  } cases[] = {
      {"UTF-16 little-endian", utf16(before, false), utf16(after, false)},
      {"UTF-16 big-endian", utf16(before, true), utf16(after, true)},
      {"UTF-8 with its mark", "\xEF\xBB\xBF" + before, "\xEF\xBB\xBF" + after},
      {"code page 932 behind a UTF-8 mark", "\xEF\xBB\xBF" + *codec.to_cp932(before),
       "\xEF\xBB\xBF" + *codec.to_cp932(after)},
      {"code page 932", *codec.to_cp932(before), *codec.to_cp932(after)},
  };
  for (const auto& c : cases) {
    files.add_file(ini, c.before);
    SettingsModel model = load();
    EXPECT_EQ(model.File_Path, "C:\\写真\\a.jpg") << c.what;
    EXPECT_EQ(model.Action_Value, (Actions{3, 40, 5, 5})) << c.what;
    ++*model.Action_Value[1];
    ASSERT_EQ(Save_Settings(model, files, codec, ini), WriteResult::Saved) << c.what;
    EXPECT_EQ(stored(), c.after) << c.what;
  }
}

TEST_F(SettingsStoreTest, ValuesOfUnicodeFilesAreCutWhereTheirCodePage932FormIs) {
  std::string kanji;  // 2 bytes each in code page 932, 3 in UTF-8
  for (int i = 0; i < 140; ++i) kanji += "写";
  const struct {
    const char* what;
    std::string value;
    std::string read;
  } cases[] = {
      {"127 kanji fit", "C" + kanji.substr(0, 127 * 3), "C" + kanji.substr(0, 127 * 3)},
      {"the 128th would pass 255 bytes", "C" + kanji, "C" + kanji.substr(0, 127 * 3)},
      {"a character without a form counts one byte", "\xF0\x9F\x98\x80" + kanji,
       "\xF0\x9F\x98\x80" + kanji.substr(0, 127 * 3)},
  };
  for (const auto& c : cases) {
    files.add_file(ini, utf16("[Section]\r\nﾌｧｲﾙ名=" + c.value + "\r\n", false));
    EXPECT_EQ(Ini_Read(files, codec, kSettingsSection, kFilePathKey, ini), c.read) << c.what;
  }
  // A surrogate without its partner is no character the program can hold.
  files.add_file(ini,
                 utf16("[Section]\r\nﾌｧｲﾙ名=C:\\", false) + "\x00\xD8"s + utf16(".jpg\r\n", false, false));
  EXPECT_EQ(Ini_Read(files, codec, kSettingsSection, kFilePathKey, ini), "C:\\\xEF\xBF\xBD.jpg");
}

}  // namespace
}  // namespace vantrel
