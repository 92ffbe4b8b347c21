#include "settings/storable_path.h"

#include <gtest/gtest.h>

#include <string>

#include "support/fake_file_system.h"
#include "support/iconv_text_codec.h"

namespace vantrel {
namespace {

TEST(StorablePath, KeepsWhatTheFileGivesBackAndMendsOrRefusesTheRest) {
  testing::FakeFileSystem files;
  testing::IconvTextCodec codec;
  files.set_short_path("D:\\Ünïcode", "D:\\UNICOD~1");
  files.set_short_path("D:\\Ελλάδα", "D:\\Ελλάδα");  // a volume without short names gives the long one
  const std::string longest(255, 'a');
  const struct {
    std::string path;
    StorablePath expected;
  } cases[] = {
      {"", {"", PathProblem::None}},
      {"C:\\写真\\ソフト.jpg", {"C:\\写真\\ソフト.jpg", PathProblem::None}},
      {longest, {longest, PathProblem::None}},                       // exactly what a value reads back
      {longest + "b", {longest + "b", PathProblem::TooLong}},        // one byte more: read back cut
      {std::string(128, 'x') + "写", {std::string(128, 'x') + "写", PathProblem::None}},
      {std::string(254, 'x') + "写", {std::string(254, 'x') + "写", PathProblem::TooLong}},  // 256 bytes in cp932
      {"D:\\Ünïcode", {"D:\\UNICOD~1", PathProblem::None}},
      {"D:\\Ελλάδα", {"D:\\Ελλάδα", PathProblem::NotInCodePage932}},
      {"D:\\Ünïcode\\gone", {"D:\\Ünïcode\\gone", PathProblem::NotInCodePage932}},  // no short form known
  };
  for (const auto& c : cases) {
    const StorablePath stored = storable_path(files, codec, c.path);
    EXPECT_EQ(stored.path, c.expected.path) << c.path;
    EXPECT_EQ(stored.problem, c.expected.problem) << c.path;
  }
}

}  // namespace
}  // namespace vantrel
