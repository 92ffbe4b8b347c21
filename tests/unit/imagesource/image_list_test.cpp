#include "imagesource/image_list.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "imagesource/path_routines.h"
#include "settings/settings_model.h"
#include "support/fake_file_system.h"

namespace vantrel {
namespace {

using testing::FakeFileSystem;
using Paths = std::vector<std::string>;

constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kArchive = kAttributeArchive;
constexpr std::uint32_t kReadOnly = kAttributeReadOnly;

struct File {
  std::string name;
  std::uint32_t attributes;
};

// A folder C:\Pics holding `files` in this order.
FakeFileSystem folder_of(const std::vector<File>& files) {
  FakeFileSystem file_system;
  file_system.add_folder("C:\\Pics");
  for (const auto& file : files) file_system.add_file("C:\\Pics\\" + file.name, {}, file.attributes);
  return file_system;
}

Paths in_pics(const std::vector<std::string>& names) {
  Paths paths;
  for (const auto& name : names) paths.push_back("C:\\Pics\\" + name);
  return paths;
}

TEST(BuildImageList, OrdersByPassThenKindThenTheFileSystemsOrder) {
  // Added (the file system's order) deliberately out of listing order.
  auto file_system = folder_of({
      {"r2.wmf", kReadOnly}, {"a2.jpg", kArchive}, {"n3.gif", kNone}, {"r1.bmp", kReadOnly},
      {"z.bmp", kNone},      {"a1.gif", kArchive}, {"n2.wmf", kNone}, {"a.bmp", kNone},
      {"a3.bmp", kArchive},  {"m.bmp", kNone},     {"n1.jpg", kNone}, {"r3.jpg", kReadOnly},
  });
  EXPECT_EQ(Build_Image_List(file_system, "C:\\Pics"),
            in_pics({"z.bmp", "a.bmp", "m.bmp", "n3.gif", "n1.jpg", "n2.wmf",  // nothing sorted
                     "a3.bmp", "a1.gif", "a2.jpg",                             //
                     "r1.bmp", "r3.jpg", "r2.wmf"}));
}

TEST(BuildImageList, TakesOnlyTheExactAttributeValues) {
  auto file_system = folder_of({
      {"normal.bmp", kAttributeNormal},  // the platform's "no attribute": counts as 0
      {"both.bmp", kArchive | kReadOnly},
      {"hidden.bmp", kAttributeHidden},
      {"hidden-archive.bmp", kAttributeHidden | kArchive},
      {"system.bmp", kAttributeSystem},
      {"unindexed.bmp", kArchive | 0x2000},  // a further bit
      {"normal-plus.bmp", kAttributeNormal | kReadOnly},
      {"archive.bmp", kArchive},
      {"readonly.bmp", kReadOnly},
  });
  file_system.add_folder("C:\\Pics\\x.jpg");
  file_system.add_folder("C:\\Pics\\y.gif", kAttributeDirectory | kArchive);
  EXPECT_EQ(Build_Image_List(file_system, "C:\\Pics"), in_pics({"normal.bmp", "archive.bmp", "readonly.bmp"}));
}

TEST(BuildImageList, MatchesTheExtensionOfTheLongNameIgnoringCase) {
  auto file_system = folder_of({
      {"photo.jpeg", kNone}, {"x.bmpx", kNone},  {"bmp", kNone},     {"a.bmp.txt", kNone},
      {"a_bmp", kNone},      {"A.BmP", kNone},   {".gif", kNone},    {"a.b.jpg", kNone},
      {"w.WMF", kNone},      {"f.ｂｍｐ", kNone}, {"写真.jpg", kNone}, {"g.gi", kNone},
  });
  EXPECT_EQ(Build_Image_List(file_system, "C:\\Pics"),
            in_pics({"A.BmP", ".gif", "a.b.jpg", "写真.jpg", "w.WMF"}));
}

TEST(BuildImageList, JoinsTheFolderTextAndTheNameWithOneBackslash) {
  struct Case {
    std::string folder;
    std::string first_entry;
  };
  const Case cases[] = {
      {"C:\\Pics", "C:\\Pics\\b.bmp"},
      {"C:\\Pics\\", "C:\\Pics\\\\b.bmp"},  // the folder's own backslash doubles
      {"C:/Pics", "C:\\Pics\\b.bmp"},       // slashes become backslashes
      {"C:\\Pics  ", "C:\\Pics\\b.bmp"},    // the folder without its trailing blanks
      {"C:\\", "C:\\\\root.bmp"},           // a drive root
  };
  for (const auto& c : cases) {
    auto file_system = folder_of({{"b.bmp", kNone}});
    file_system.add_file("C:\\root.bmp", {}, kNone);
    const Paths images = Build_Image_List(file_system, c.folder);
    ASSERT_FALSE(images.empty()) << c.folder;
    EXPECT_EQ(images.front(), c.first_entry) << c.folder;
  }
}

TEST(BuildImageList, EnumeratesTheFolderOnce) {
  auto file_system = folder_of({{"a.bmp", kNone}, {"b.gif", kArchive}, {"c.wmf", kReadOnly}});
  ASSERT_EQ(Build_Image_List(file_system, "C:\\Pics").size(), 3u);
  EXPECT_EQ(file_system.enumerations(), 1u);
}

TEST(BuildImageList, EmptyFolderTextTouchesNothing) {
  for (const std::string folder : {"", "   "}) {
    auto file_system = folder_of({{"a.bmp", kNone}});
    file_system.add_file("C:\\Work\\a.bmp", {}, kNone);  // the current directory
    EXPECT_TRUE(Build_Image_List(file_system, folder).empty()) << '"' << folder << '"';
    EXPECT_EQ(file_system.calls(), 0u) << '"' << folder << '"';
  }
}

TEST(BuildImageList, AMissingFolderGivesNothing) {
  auto file_system = folder_of({{"a.bmp", kNone}});
  EXPECT_TRUE(Build_Image_List(file_system, "C:\\Gone").empty());
  EXPECT_TRUE(Build_Image_List(file_system, "C:\\Pics\\a.bmp").empty());
}

TEST(BuildImageList, KeepsWhatWasFoundWhenTheFolderBreaksOffPartWay) {
  auto file_system = folder_of({{"1.jpg", kArchive}, {"2.bmp", kNone}, {"3.gif", kReadOnly},
                                {"4.bmp", kNone}, {"5.bmp", kArchive}});
  file_system.fail_enumeration_after("C:\\Pics", 3);
  EXPECT_EQ(Build_Image_List(file_system, "C:\\Pics"), in_pics({"2.bmp", "1.jpg", "3.gif"}));
}

// --- The listing as the step-by-step description has it ---------------------
// Twelve wildcard searches (pass by pass, kind by kind), an attribute query
// for each name found, and the count checked before each entry. The one-pass
// listing must give the same list.

// "*" and "?" against a long name, ASCII case ignored: the usual greedy
// match that backs up to the last "*" on a mismatch.
bool wildcard_match(std::string_view mask, std::string_view name) {
  const auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
  std::size_t m = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      star = m++;
      resume = n;
    } else if (m < mask.size() && (mask[m] == '?' || upper(mask[m]) == upper(name[n]))) {
      ++m;
      ++n;
    } else if (star != std::string_view::npos) {
      m = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

void add_pattern_files(FakeFileSystem& file_system, const std::string& pattern, std::uint32_t pass,
                       Paths& images) {
  const std::string directory = Dir_Of_Path(file_system, pattern) + "\\";
  const std::string mask = pattern.substr(pattern.rfind('\\') + 1);
  Paths names;  // the search, without directory entries
  file_system.enumerate_folder(directory, [&](const DirectoryEntry& entry) {
    if ((entry.attributes & kAttributeDirectory) == 0 && wildcard_match(mask, entry.name))
      names.push_back(entry.name);
    return true;
  });
  for (const auto& name : names) {
    const auto attributes = file_system.attributes_of(directory + name);
    if (!attributes) return;
    const std::uint32_t value = *attributes == kAttributeNormal ? 0 : *attributes;
    if (value != pass) continue;
    if (images.size() + 1 > kMaxImageCount) return;
    images.push_back(directory + name);
  }
}

Paths literal_image_list(FakeFileSystem& file_system, const std::string& folder) {
  Paths images;
  if (folder.empty()) return images;
  for (const std::uint32_t pass : {0u, 32u, 1u})
    for (const char* pattern : {"\\*.bmp", "\\*.gif", "\\*.jpg", "\\*.wmf"})
      add_pattern_files(file_system, folder + pattern, pass, images);
  return images;
}

// A folder of `count` random entries under `folder` ("C:\Pics" or the drive
// root "C:").
FakeFileSystem random_folder(std::mt19937& random, const std::string& folder, std::size_t count) {
  static const std::array<std::string, 18> endings = {
      ".bmp", ".BMP", ".gif", ".Gif", ".jpg", ".JPG", ".wmf", ".WmF",
      ".jpeg", ".bmpx", ".txt", ".bmp.txt", "bmp", ".gi", ".png", ".ｊｐｇ", "", ".jpg.jpg"};
  static const std::array<std::uint32_t, 14> attribute_sets = {
      0, 128, 32, 1, 0, 128, 32, 1, 33, 2, 34, 4, 0x2000 | 32, kAttributeDirectory};
  const auto pick = [&](std::size_t size) {
    return std::uniform_int_distribution<std::size_t>(0, size - 1)(random);
  };
  FakeFileSystem file_system;
  file_system.add_folder("C:\\Pics");
  for (std::size_t i = 0; i < count; ++i) {
    const std::string name = "f" + std::to_string(i) + "_" + std::to_string(pick(1000)) +
                             endings[pick(endings.size())];
    const std::uint32_t attributes = attribute_sets[pick(attribute_sets.size())];
    if (attributes & kAttributeDirectory)
      file_system.add_folder(folder + "\\" + name, attributes);
    else
      file_system.add_file(folder + "\\" + name, {}, attributes);
  }
  return file_system;
}

TEST(BuildImageList, EqualsTheTwelvePassListingOnRandomFolders) {
  // Trailing blanks are left out: the one-pass listing mends those on purpose.
  const std::array<std::string, 4> folder_texts = {"C:\\Pics", "C:\\Pics\\", "C:/Pics", "C:\\"};
  for (std::uint32_t seed = 1; seed <= 300; ++seed) {
    std::mt19937 random(seed);
    const std::string folder_text = folder_texts[seed % folder_texts.size()];
    const std::size_t count = random() % 60;
    auto file_system = random_folder(random, folder_text == "C:\\" ? "C:" : "C:\\Pics", count);

    const Paths literal = literal_image_list(file_system, folder_text);
    ASSERT_EQ(Build_Image_List(file_system, folder_text), literal)
        << "seed " << seed << ", folder " << folder_text << ", " << count << " entries";
  }
}

TEST(BuildImageList, KeepsTheFirstEntriesInListingOrderBeyondTheLimit) {
  // Pass 0 holds 30,000 bitmaps and 5,000 GIF files; the archive JPEG files
  // come after all of them. Added interleaved, so the file system's order
  // differs from the listing order.
  FakeFileSystem file_system;
  const std::size_t bitmaps = 30000, gifs = 5000, jpegs = 5000;
  for (std::size_t i = 0; i < bitmaps; ++i) {
    file_system.add_file("C:\\Pics\\b" + std::to_string(i) + ".bmp", {}, kNone);
    if (i < jpegs) file_system.add_file("C:\\Pics\\j" + std::to_string(i) + ".jpg", {}, kArchive);
    if (i < gifs) file_system.add_file("C:\\Pics\\g" + std::to_string(i) + ".gif", {}, kNone);
  }
  const Paths images = Build_Image_List(file_system, "C:\\Pics");
  ASSERT_EQ(images.size(), kMaxImageCount);
  EXPECT_EQ(images[0], "C:\\Pics\\b0.bmp");
  EXPECT_EQ(images[bitmaps - 1], "C:\\Pics\\b29999.bmp");
  EXPECT_EQ(images[bitmaps], "C:\\Pics\\g0.gif");
  EXPECT_EQ(images.back(), "C:\\Pics\\g" + std::to_string(kMaxImageCount - bitmaps - 1) + ".gif");
  EXPECT_EQ(images, literal_image_list(file_system, "C:\\Pics"));
}

TEST(ListImages, ReportsEachImageFoundAndStopsWhenAsked) {
  auto file_system = folder_of({{"a.bmp", kNone}, {"notes.txt", kNone}, {"b.jpg", kArchive},
                                {"hidden.gif", kAttributeHidden}, {"c.gif", kReadOnly}});
  std::vector<std::size_t> counts;
  const ImageListing all = list_images(file_system, "C:\\Pics", [&](std::size_t found) {
    counts.push_back(found);
    return true;
  });
  EXPECT_EQ(counts, (std::vector<std::size_t>{1, 2, 3}));  // only what is listed counts
  EXPECT_EQ(all.paths, in_pics({"a.bmp", "b.jpg", "c.gif"}));
  EXPECT_FALSE(all.stopped);
  EXPECT_EQ(all.enumeration.end, EnumerationEnd::Completed);

  const ImageListing cut = list_images(file_system, "C:\\Pics", [](std::size_t found) { return found < 2; });
  EXPECT_TRUE(cut.stopped);
  EXPECT_EQ(cut.paths, in_pics({"a.bmp", "b.jpg"}));
}

TEST(ListImages, KeepsWhatItFoundWhenTheFolderBreaksOffAndSaysWhy) {
  auto file_system = folder_of({{"a.bmp", kNone}, {"b.bmp", kNone}, {"c.bmp", kNone}});
  file_system.fail_enumeration_after("C:\\Pics", 2);
  const ImageListing broken = list_images(file_system, "C:\\Pics");
  EXPECT_EQ(broken.paths, in_pics({"a.bmp", "b.bmp"}));
  EXPECT_EQ(broken.enumeration.end, EnumerationEnd::Failed);
  EXPECT_FALSE(broken.enumeration.failure.empty());

  const ImageListing missing = list_images(file_system, "C:\\Gone");
  EXPECT_TRUE(missing.paths.empty());
  EXPECT_EQ(missing.enumeration.end, EnumerationEnd::Failed);
}

TEST(ListImages, CountsNoFurtherThanTheListHolds) {
  FakeFileSystem file_system;
  for (std::size_t i = 0; i < kMaxImageCount + 5; ++i) file_system.add_file("C:\\Pics\\" + std::to_string(i) + ".bmp", {}, kNone);
  std::size_t reports = 0;
  std::size_t last = 0;
  const ImageListing listing = list_images(file_system, "C:\\Pics", [&](std::size_t found) {
    ++reports;
    last = found;
    return true;
  });
  EXPECT_EQ(listing.paths.size(), kMaxImageCount);
  EXPECT_EQ(reports, kMaxImageCount);
  EXPECT_EQ(last, kMaxImageCount);
}

TEST(NamesAsSpelled, GivesTheFileSystemsSpellingOrNothingForAFileThatIsGone) {
  FakeFileSystem file_system;
  file_system.add_file("C:\\Pics\\Sun.JPG");
  file_system.add_file("C:\\Pics\\sun.jpg.bak");
  file_system.add_file("C:\\Pics\\写真.bmp");
  file_system.add_file("D:\\x.gif");
  const std::vector<std::string> paths = {
      "C:\\Pics\\Sun.JPG",   // as spelled
      "C:\\Pics\\sun.jpg",   // another case: the file system's spelling
      "C:\\Pics\\gone.bmp",  // vanished: an empty line
      "C:\\Pics\\写真.bmp",
      "D:\\\\x.gif",          // a drive root's doubled backslash
      "C:\\Pics\\Sun.JPG",   // the folder again after another one
      "nofolder.bmp",
  };
  const std::size_t before = file_system.enumerations();
  EXPECT_EQ(names_as_spelled(file_system, paths),
            (std::vector<std::string>{"Sun.JPG", "Sun.JPG", "", "写真.bmp", "x.gif", "Sun.JPG", ""}));
  // One walk per run of paths in one folder, not one query per path.
  EXPECT_EQ(file_system.enumerations() - before, 3u);
}

TEST(NamesAsSpelled, SkipsTheWalkWhileTheFolderIsAsListed) {
  auto file_system = folder_of({{"a.bmp", kNone}, {"B.jpg", kArchive}, {"c.gif", kReadOnly}});
  const ImageListing listing = list_images(file_system, "C:\\Pics");
  ASSERT_TRUE(listing.folder_stamp);
  std::size_t before = file_system.enumerations();
  EXPECT_EQ(names_as_spelled(file_system, listing.paths, listing.folder_stamp),
            (std::vector<std::string>{"a.bmp", "B.jpg", "c.gif"}));
  EXPECT_EQ(file_system.enumerations(), before) << "an unchanged folder is not walked again";

  file_system.remove("C:\\Pics\\B.jpg");
  before = file_system.enumerations();
  EXPECT_EQ(names_as_spelled(file_system, listing.paths, listing.folder_stamp),
            (std::vector<std::string>{"a.bmp", "", "c.gif"}));
  EXPECT_EQ(file_system.enumerations(), before + 1) << "a changed folder is";
}

}  // namespace
}  // namespace vantrel
