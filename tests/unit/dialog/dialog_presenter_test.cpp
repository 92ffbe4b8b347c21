#include "dialog/dialog_presenter.h"

#include <gtest/gtest.h>

#include "dialog/dialog_presenter_fixture.h"

namespace vantrel {
namespace {

using testing::DialogPresenterTest;
using testing::picture_of;
using testing::FakeDialogView;
using testing::FakeDialogWork;
using testing::FakeFileSystem;

TEST_F(DialogPresenterTest, LoadPutsTheDrawnLookInPlace) {
  load();
  EXPECT_EQ(view.list_extent96, 169 + 300);
  for (const ControlId box : {ControlId::Pic_C, ControlId::Pic_B_0, ControlId::Pic_B_1}) {
    EXPECT_TRUE(state().tiled[index_of(box)]);
    EXPECT_TRUE(refreshed(box));
  }
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(picture(Img_H(i)), CarriedPicture::HeadingPlate) << i;
  EXPECT_EQ(picture(Img_H(0)), std::nullopt) << "the store is never shown";
  for (int i = 0; i < 3; ++i) EXPECT_EQ(picture(Img_Button(i)), CarriedPicture::ButtonRaised) << i;
  EXPECT_TRUE(state().preview_edge);
  EXPECT_FALSE(state().link_colour) << "the system's colour until the first tick";
}

TEST_F(DialogPresenterTest, OptionMarksFollowTheFileKind) {
  const struct {
    std::int16_t kind;
    std::optional<CarriedPicture> folder_mark, file_mark;
  } cases[] = {
      {kFileKindFolder, CarriedPicture::OptionChosen, CarriedPicture::OptionNotChosen},
      {kFileKindSingleFile, CarriedPicture::OptionNotChosen, CarriedPicture::OptionChosen},
      {2, std::nullopt, std::nullopt},  // names no mark: both stay without a picture
      {-1, std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    model.File_Kind = c.kind;
    view = FakeDialogView();
    load();
    EXPECT_EQ(picture(Img_FF(0)), c.folder_mark) << c.kind;
    EXPECT_EQ(picture(Img_FF(1)), c.file_mark) << c.kind;
  }
}

TEST_F(DialogPresenterTest, FileModeShowsThePathAndAsksForItsPreview) {
  load();
  EXPECT_EQ(caption(ControlId::Folder_Path), "C:\\Pics\\c.jpg");
  ASSERT_EQ(work.previews.size(), 1u);
  EXPECT_EQ(work.previews[0].path, "C:\\Pics\\c.jpg");
  EXPECT_EQ(work.previews[0].dpi, 96);
  // Until the picture is decoded the box is empty, its size label blank.
  EXPECT_EQ(caption(ControlId::lbl_PreSize), "");
  EXPECT_FALSE(state().preview_picture);

  presenter->on_preview_decoded(work.previews[0].ticket, picture_of(640, 480));
  EXPECT_EQ(caption(ControlId::lbl_PreSize), "640 * 480");
  EXPECT_EQ(state().preview_size, (PreviewSize{100, 75}));
  ASSERT_TRUE(state().preview_picture);
  EXPECT_EQ(state().preview_picture->pixels.width, 100);
  EXPECT_EQ(state().preview_picture->pixels.height, 75);
  EXPECT_TRUE(state().preview_edge);
}

TEST_F(DialogPresenterTest, WithoutAFileOrInFolderModeNoPreviewIsAskedFor) {
  const struct {
    const char* what;
    std::int16_t kind;
    std::string file;
    std::string expected_path;
  } cases[] = {
      {"file mode without a file", kFileKindSingleFile, "", ""},
      {"folder mode with a file", kFileKindFolder, "C:\\Pics\\c.jpg", "C:\\Pics"},
      {"an unknown kind", 2, "C:\\Pics\\c.jpg", "C:\\Pics"},
  };
  for (const auto& c : cases) {
    model.File_Kind = c.kind;
    model.File_Path = c.file;
    work = FakeDialogWork();
    load();
    EXPECT_EQ(caption(ControlId::Folder_Path), c.expected_path) << c.what;
    EXPECT_TRUE(work.previews.empty()) << c.what;
    EXPECT_EQ(caption(ControlId::lbl_PreSize), "") << c.what << ": the stored 9999 * 9999 is emptied";
    EXPECT_EQ(state().preview_size, (PreviewSize{100, 100})) << c.what;
    EXPECT_TRUE(state().preview_edge) << c.what;
  }
}

TEST_F(DialogPresenterTest, ListsTheImagesAsSpelledNowWithTheirCount) {
  files = FakeFileSystem();
  files.add_file("C:\\Pics\\A.BMP", {}, 0);  // renamed by case since the settings were read
  files.add_file("C:\\Pics\\c.jpg", {}, kAttributeArchive);  // b.gif is gone
  load();
  EXPECT_EQ(view.list, (std::vector<std::string>{"A.BMP", "", "c.jpg"}));
  EXPECT_EQ(caption(ControlId::lbl_Kei), "3") << "the vanished entry counts";
}

TEST_F(DialogPresenterTest, AFileDeletedSinceTheSettingsWereReadLeavesAnEmptyLine) {
  files.add_file("C:\\Saver\\Vantrel.ini", "[Section]\r\n\xCC\xAB\xD9\xC0\xDE\x96\xBC=C:\\Pics\r\n");
  SettingsModel loaded;
  Load_Settings(loaded, files, codec, "C:\\Saver\\Vantrel.ini");
  ASSERT_EQ(loaded.Image_Count(), 3);
  model = loaded;
  const std::size_t before = files.enumerations();
  load();
  EXPECT_EQ(view.list, (std::vector<std::string>{"a.bmp", "b.gif", "c.jpg"}));
  EXPECT_EQ(files.enumerations(), before) << "the folder as listed at start is not walked again";

  files.remove("C:\\Pics\\b.gif");
  load();
  EXPECT_EQ(view.list, (std::vector<std::string>{"a.bmp", "", "c.jpg"}));
  EXPECT_EQ(caption(ControlId::lbl_Kei), "3");
}

TEST_F(DialogPresenterTest, CountsWithTheUsersGroupingAndShowsNothingForNone) {
  model.Image_Files.clear();
  for (int i = 0; i < 1234; ++i) {
    const std::string path = "C:\\Pics\\" + std::to_string(i) + ".bmp";
    files.add_file(path, {}, 0);
    model.Image_Files.push_back(path);
  }
  load();
  EXPECT_EQ(view.list.size(), 1234u);
  EXPECT_EQ(caption(ControlId::lbl_Kei), "1,234");
  load(grouping_from_locale("3;0", "."));
  EXPECT_EQ(caption(ControlId::lbl_Kei), "1.234");

  model.Image_Files.clear();
  view = FakeDialogView();
  load();
  EXPECT_EQ(view.list_fills, 1) << "emptied, never filled";
  EXPECT_TRUE(view.list.empty());
  EXPECT_EQ(caption(ControlId::lbl_Kei), "") << "no zero";
}

TEST_F(DialogPresenterTest, SlidersTakeTheirValuesAndRefuseWhatLiesOutsideTheirRange) {
  model.Action_Value = {6, 101, std::nullopt, 70000};  // top of bar 0, above bar 1, unset, beyond 16 bits
  load();
  EXPECT_EQ(state().scroll_values, (std::array<int, 4>{6, kScrollStoredValue, kScrollStoredValue, kScrollStoredValue}));
  EXPECT_EQ(caption(*lbl_Scroll(0)), "6");
  EXPECT_EQ(caption(*lbl_Scroll(1)), "101") << "the label shows the loaded number";
  EXPECT_EQ(caption(*lbl_Scroll(2)), "0") << "an unset value reads as 0, as the saver reads it";
  EXPECT_EQ(caption(*lbl_Scroll(3)), "70000");
  // The refused values stay in the model until the bar moves.
  EXPECT_EQ(model.Action_Value[1], 101);
  EXPECT_EQ(model.Action_Value[3], 70000);

  presenter->on_scroll(1, ScrollCode::ThumbPosition, 100);  // dragged to the right end
  EXPECT_EQ(model.Action_Value[1], 100);
  EXPECT_EQ(caption(*lbl_Scroll(1)), "100");
  EXPECT_EQ(caption(*lbl_Scroll(3)), "70000") << "no other label changes";
}

TEST_F(DialogPresenterTest, BothAnimationsUseThePointerOfTheLoad) {
  view.cursor = ScreenPoint{-300, 200};  // a monitor left of the primary one
  load();
  EXPECT_EQ(view.opened_from, (std::vector<ScreenPoint>{{-300, 200}}));
  view.cursor = ScreenPoint{5, 5};  // moved before closing
  presenter->on_close_requested();
  EXPECT_EQ(view.closed_to, (std::vector<ScreenPoint>{{-300, 200}}));
  EXPECT_EQ(view.closes, 1);
  EXPECT_EQ(work.stops, 1) << "nothing runs against a closed dialog";

  presenter->on_close_requested();
  presenter->on_timer_tick();
  EXPECT_EQ(view.closes, 1) << "closes once";
  EXPECT_FALSE(state().link_colour) << "no tick after the close";

  view = FakeDialogView();
  view.cursor.reset();  // the position cannot be read
  load();
  EXPECT_EQ(view.opened_from, (std::vector<ScreenPoint>{{0, 0}}));
}

TEST_F(DialogPresenterTest, ClosingWritesNothing) {
  files.add_file("C:\\Saver\\Vantrel.ini", "[Section]\r\n");
  const auto before = files.files();
  load();
  presenter->on_scroll(0, ScrollCode::ThumbPosition, 5);
  presenter->on_close_requested();
  EXPECT_EQ(files.files(), before);
}

TEST_F(DialogPresenterTest, AButtonShowsItsPressedFaceUntilTheRelease) {
  load();
  presenter->on_mouse_down(ControlId::lbl_Button_1);
  EXPECT_EQ(picture(Img_Button(1)), CarriedPicture::ButtonPressed);
  EXPECT_EQ(picture(Img_Button(2)), CarriedPicture::ButtonRaised);
  presenter->on_mouse_up(ControlId::lbl_Button_1);
  EXPECT_EQ(picture(Img_Button(1)), CarriedPicture::ButtonRaised);
  // Only the label reacts: the face's margin around it does not.
  presenter->on_mouse_down(ControlId::Img_Button_2);
  presenter->on_mouse_down(ControlId::lbl_Kei);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(picture(Img_Button(i)), CarriedPicture::ButtonRaised) << i;
}

TEST_F(DialogPresenterTest, OnlyTheLatestPreviewCountsAndAnUnreadableOneChangesNothing) {
  load();
  const std::uint64_t first = work.previews.at(0).ticket;
  presenter->on_preview_decoded(first, picture_of(300, 1200));
  EXPECT_EQ(state().preview_size, (PreviewSize{25, 100}));
  const auto shown = state().preview_picture;

  presenter->on_preview_decoded(first, picture_of(640, 480));
  EXPECT_EQ(state().preview_picture, shown) << "an answer comes once";

  presenter->on_dpi_changed(144);  // sampled anew for the new display
  ASSERT_EQ(work.previews.size(), 2u);
  EXPECT_EQ(work.previews[1].dpi, 144);
  EXPECT_EQ(work.previews[1].path, "C:\\Pics\\c.jpg");
  presenter->on_preview_decoded(work.previews[1].ticket, std::nullopt);
  EXPECT_EQ(state().preview_picture, shown) << "the file became unreadable: the old preview stays";
  EXPECT_EQ(caption(ControlId::lbl_PreSize), "300 * 1200");
}

TEST_F(DialogPresenterTest, APreviewOnItsWayIsAskedAgainAfterADpiChange) {
  load();
  const std::uint64_t at_96 = work.previews.at(0).ticket;
  presenter->on_dpi_changed(144);
  ASSERT_EQ(work.previews.size(), 2u);
  presenter->on_preview_decoded(at_96, picture_of(640, 480));
  EXPECT_FALSE(state().preview_picture) << "sampled for the old display: dropped";
  presenter->on_preview_decoded(work.previews[1].ticket, picture_of(640, 480, 144));
  ASSERT_TRUE(state().preview_picture);
  EXPECT_EQ(state().preview_picture->dpi, 144);
  EXPECT_EQ(state().preview_picture->pixels.width, 150);
}

TEST_F(DialogPresenterTest, TheLinkTakesItsColourOnTheFirstTick) {
  load();
  view.refreshed.clear();
  presenter->on_timer_tick();
  ASSERT_TRUE(state().link_colour);
  EXPECT_EQ(*state().link_colour, (LinkColour{10, 10, 10})) << "every channel moves up from 0";
  EXPECT_EQ(view.refreshed, (std::vector<ControlId>{ControlId::lbl_URL}));
}

}  // namespace
}  // namespace vantrel
