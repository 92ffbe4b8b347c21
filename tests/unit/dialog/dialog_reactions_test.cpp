// The dialog's reactions once it is open: choosing the kind, browsing and
// scanning a folder, choosing a list entry, setting, cancelling, the link.
#include <gtest/gtest.h>

#include "dialog/dialog_presenter_fixture.h"
#include "imagesource/image_list.h"
#include "texts/program_texts.h"

namespace vantrel {
namespace {

using Message = testing::FakeDialogView::Message;
using Icon = DialogView::MessageIcon;

class DialogReactionsTest : public testing::DialogPresenterTest {
 protected:
  void press(ControlId control) {
    presenter->on_mouse_down(control);
    presenter->on_mouse_up(control);
  }
  // Browses to `folder` and answers the scan with the fake file system's listing.
  void browse_to(const std::string& folder) {
    view.folder_to_choose = folder;
    press(ControlId::lbl_Button_0);
    ASSERT_FALSE(work.scans.empty());
    presenter->on_scan_finished(work.scans.back().ticket, list_images(files, work.scans.back().folder));
  }
  std::vector<Message> exclamations(std::string_view text) const {
    return {Message{std::string(text), Icon::Exclamation}};
  }
};

TEST_F(DialogReactionsTest, AKindIsChosenByItsLabelOrItsMarkWithAnyButton) {
  model.File_Kind = kFileKindFolder;
  load();
  presenter->on_mouse_down(ControlId::lbl_FF_1);
  EXPECT_EQ(model.File_Kind, kFileKindSingleFile);
  EXPECT_EQ(picture(Img_FF(1)), CarriedPicture::OptionChosen);
  EXPECT_EQ(picture(Img_FF(0)), CarriedPicture::OptionNotChosen);
  presenter->on_mouse_down(ControlId::lbl_FF_1);  // again: nothing visible changes
  EXPECT_EQ(picture(Img_FF(1)), CarriedPicture::OptionChosen);
  presenter->on_mouse_down(ControlId::Img_FF_0);  // the mark does what its label does
  EXPECT_EQ(model.File_Kind, kFileKindFolder);
  EXPECT_EQ(picture(Img_FF(0)), CarriedPicture::OptionChosen);
  // Nothing else changes, and no check is made before set.
  EXPECT_EQ(caption(ControlId::Folder_Path), "C:\\Pics");
  EXPECT_EQ(view.list.size(), 3u);
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(DialogReactionsTest, AButtonActsOnItsReleaseAfterItsRaisedFaceIsPainted) {
  load();
  view.folder_to_choose.reset();
  presenter->on_mouse_down(ControlId::lbl_Button_0);
  EXPECT_TRUE(view.browse_titles.empty()) << "a press alone does nothing";
  const int repaints = view.repaints;
  presenter->on_mouse_up(ControlId::lbl_Button_0);
  EXPECT_EQ(view.repaints, repaints + 1);
  EXPECT_EQ(picture(Img_Button(0)), CarriedPicture::ButtonRaised);
  EXPECT_EQ(view.browse_titles, (std::vector<std::string>{std::string(kBrowseTitle)}));
}

TEST_F(DialogReactionsTest, CancellingTheBrowserChangesNothing) {
  load();
  const SettingsModel before = model;
  view.folder_to_choose.reset();
  press(ControlId::lbl_Button_0);
  EXPECT_TRUE(work.scans.empty());
  EXPECT_EQ(model.Folder_Name, before.Folder_Name);
  EXPECT_EQ(model.File_Path, before.File_Path);
  EXPECT_EQ(caption(ControlId::Folder_Path), before.File_Path);
}

TEST_F(DialogReactionsTest, ABrowseListsTheFoldersImagesInTheSaversOrder) {
  files.add_file("D:\\New\\a.bmp", {}, 0);
  files.add_file("D:\\New\\b.jpg", {}, kAttributeArchive);
  files.add_file("D:\\New\\c.gif", {}, kAttributeReadOnly);
  files.add_file("D:\\New\\d.wmf", {}, kAttributeHidden);
  files.add_file("D:\\New\\e.bmp", {}, kAttributeReadOnly | kAttributeArchive);
  files.add_file("D:\\New\\f.jpeg", {}, 0);
  load();
  presenter->on_preview_decoded(work.previews.at(0).ticket, testing::picture_of(640, 480));

  view.folder_to_choose = "D:\\New";
  press(ControlId::lbl_Button_0);
  ASSERT_EQ(work.scans.size(), 1u);
  EXPECT_EQ(work.scans[0].folder, "D:\\New");
  EXPECT_EQ(caption(ControlId::Folder_Path), "D:\\New");
  EXPECT_EQ(model.Folder_Name, "D:\\New");
  EXPECT_EQ(model.File_Path, "");
  EXPECT_EQ(view.list.size(), 3u) << "the list keeps the old names until the scan ends";

  presenter->on_scan_finished(work.scans[0].ticket, list_images(files, "D:\\New"));
  EXPECT_EQ(view.list, (std::vector<std::string>{"a.bmp", "b.jpg", "c.gif"}));
  EXPECT_EQ(presenter->Folder_Files(),
            (std::vector<std::string>{"D:\\New\\a.bmp", "D:\\New\\b.jpg", "D:\\New\\c.gif"}));
  EXPECT_EQ(caption(ControlId::lbl_Kei), "3");
  // The preview is emptied.
  EXPECT_FALSE(state().preview_picture);
  EXPECT_EQ(state().preview_size, (PreviewSize{100, 100}));
  EXPECT_TRUE(state().preview_edge);
  EXPECT_EQ(caption(ControlId::lbl_PreSize), "");
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(DialogReactionsTest, TheCountRunsInPlainDigitsAndEndsGrouped) {
  for (int i = 0; i < 1500; ++i) files.add_file("D:\\Many\\" + std::to_string(i) + ".jpg", {}, kAttributeArchive);
  load();
  view.folder_to_choose = "D:\\Many";
  press(ControlId::lbl_Button_0);
  const std::uint64_t ticket = work.scans.at(0).ticket;
  presenter->on_scan_progress(ticket, 1);
  EXPECT_EQ(caption(ControlId::lbl_Kei), "1");
  presenter->on_scan_progress(ticket, 1500);
  EXPECT_EQ(caption(ControlId::lbl_Kei), "1500");
  presenter->on_scan_finished(ticket, list_images(files, "D:\\Many"));
  EXPECT_EQ(caption(ControlId::lbl_Kei), "1,500");
  EXPECT_EQ(view.list.size(), 1500u);

  // A folder without images: an empty list and an empty count.
  files.add_folder("D:\\Empty");
  browse_to("D:\\Empty");
  EXPECT_TRUE(view.list.empty());
  EXPECT_EQ(caption(ControlId::lbl_Kei), "");
}

TEST_F(DialogReactionsTest, AFolderThatBreaksOffShowsTheSystemsReasonOnceWithoutAnIcon) {
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) files.add_file(std::string("D:\\Cut\\") + name, {}, 0);
  files.fail_enumeration_after("D:\\Cut", 2);
  load();
  browse_to("D:\\Cut");
  EXPECT_EQ(view.messages, (std::vector<Message>{{"The device is not ready.", Icon::None}}));
  EXPECT_EQ(view.list, (std::vector<std::string>{"a.bmp", "b.bmp"})) << "what was found stays";
  EXPECT_EQ(caption(ControlId::lbl_Kei), "2");
}

TEST_F(DialogReactionsTest, WhileAScanRunsSetBrowseAndTheListWaitAndCancelClosesAtOnce) {
  load();
  view.folder_to_choose = "C:\\Pics";
  press(ControlId::lbl_Button_0);
  ASSERT_TRUE(presenter->scanning());
  press(ControlId::lbl_Button_0);
  EXPECT_EQ(work.scans.size(), 1u) << "no second browse";
  press(ControlId::lbl_Button_1);
  EXPECT_TRUE(writer.saved.empty()) << "no set";
  EXPECT_TRUE(view.messages.empty());
  presenter->on_list_choice(0);
  EXPECT_EQ(model.File_Path, "") << "no list choice";
  EXPECT_EQ(picture(Img_Button(1)), CarriedPicture::ButtonRaised) << "the faces still come back up";

  presenter->on_mouse_down(ControlId::lbl_Button_2);
  presenter->on_mouse_up(ControlId::lbl_Button_2);
  EXPECT_EQ(view.closes, 1);
  EXPECT_EQ(work.stops, 1) << "the scan is stopped";
  presenter->on_scan_finished(work.scans[0].ticket, list_images(files, "C:\\Pics"));
  EXPECT_EQ(view.list.size(), 3u) << "nothing runs against the closed dialog";
}

// A click that waits is carried out when the scan ends, in the order made:
// the list's place then names the new folder's entry, and the set saves it.
TEST_F(DialogReactionsTest, ChoicesMadeDuringAScanAreCarriedOutWhenItEnds) {
  files.add_folder("D:\\Old");
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"}) files.add_file(std::string("D:\\New\\") + name);
  model.File_Kind = kFileKindSingleFile;
  load();
  view.folder_to_choose = "D:\\New";
  press(ControlId::lbl_Button_0);
  ASSERT_TRUE(presenter->scanning());
  view.busy_shown.clear();
  presenter->on_list_choice(1);
  press(ControlId::lbl_Button_1);
  EXPECT_EQ(view.busy_shown, std::vector<bool>{true}) << "the hourglass says the clicks were taken";
  EXPECT_TRUE(writer.saved.empty());

  presenter->on_scan_finished(work.scans[0].ticket, list_images(files, "D:\\New"));
  EXPECT_EQ(model.File_Path, "D:\\New\\b.bmp") << "the new list's second entry";
  ASSERT_EQ(writer.saved.size(), 1u);
  EXPECT_EQ(writer.saved[0].File_Path, "D:\\New\\b.bmp");
  EXPECT_EQ(view.closes, 1);
}

TEST_F(DialogReactionsTest, AListChoiceMakesTheFileTheChosenOneAndPreviewsIt) {
  files.add_file("D:\\pics\\sun.jpg");
  files.add_file("D:\\pics\\notes.jpg", {}, kAttributeArchive);  // listed after sun.jpg
  load();
  browse_to("D:\\pics");
  view.busy_shown.clear();
  presenter->on_list_choice(0);
  EXPECT_EQ(model.File_Path, "D:\\pics\\sun.jpg");
  EXPECT_EQ(caption(ControlId::Folder_Path), "D:\\pics\\sun.jpg");
  EXPECT_EQ(model.Folder_Name, "D:\\pics") << "unchanged by a list choice";
  EXPECT_EQ(work.previews.back().path, "D:\\pics\\sun.jpg");
  EXPECT_TRUE(state().busy);
  presenter->on_preview_decoded(work.previews.back().ticket, testing::picture_of(300, 1200));
  EXPECT_FALSE(state().busy);
  EXPECT_EQ(view.busy_shown, (std::vector<bool>{true, false}));
  EXPECT_EQ(caption(ControlId::lbl_PreSize), "300 * 1200");

  // A file that is no picture: the path follows, the preview stays.
  presenter->on_list_choice(1);
  presenter->on_preview_decoded(work.previews.back().ticket, std::nullopt);
  EXPECT_EQ(caption(ControlId::Folder_Path), "D:\\pics\\notes.jpg");
  EXPECT_EQ(caption(ControlId::lbl_PreSize), "300 * 1200");
  EXPECT_FALSE(state().busy) << "the pointer is always restored";

  presenter->on_list_choice(-1);
  EXPECT_EQ(model.File_Path, "D:\\pics\\notes.jpg") << "no selection: nothing";
}

TEST_F(DialogReactionsTest, ArrowingThroughPhotosShowsOnlyTheLatest) {
  load();
  presenter->on_list_choice(0);
  const std::uint64_t first = work.previews.back().ticket;
  presenter->on_list_choice(1);
  presenter->on_preview_decoded(first, testing::picture_of(640, 480));
  EXPECT_EQ(caption(ControlId::lbl_PreSize), "") << "the older photo came too late";
  EXPECT_TRUE(state().busy);
  presenter->on_preview_decoded(work.previews.back().ticket, testing::picture_of(50, 50));
  EXPECT_EQ(caption(ControlId::lbl_PreSize), "50 * 50");
}

TEST_F(DialogReactionsTest, SetSavesTheBarsValuesAndCloses) {
  model.Action_Value = {3, 250, 5, 5};  // bar 1 refused the loaded 250 and holds 1
  load();
  presenter->on_scroll(0, ScrollCode::ThumbPosition, 6);
  press(ControlId::lbl_Button_1);
  ASSERT_EQ(writer.saved.size(), 1u);
  const SettingsModel& saved = writer.saved[0];
  EXPECT_EQ(saved.File_Path, "C:\\Pics\\c.jpg");
  EXPECT_EQ(saved.Folder_Name, "C:\\Pics");
  EXPECT_EQ(saved.File_Kind, kFileKindSingleFile);
  EXPECT_EQ(saved.Action_Value, (std::array<std::optional<std::int64_t>, 4>{6, 1, 5, 5}));
  EXPECT_EQ(view.closes, 1);
  EXPECT_EQ(view.closed_to.size(), 1u) << "with its animation";
}

TEST_F(DialogReactionsTest, SetRefusesASourceThatIsNotThere) {
  const struct {
    const char* what;
    std::int16_t kind;
    std::string folder;
    std::string file;
    std::string_view message;
  } cases[] = {
      {"folder mode, no folder", kFileKindFolder, "", "C:\\Pics\\c.jpg", kNoFolderMessage},
      {"folder mode, a folder gone", kFileKindFolder, "C:\\Gone", "", kNoFolderMessage},
      {"file mode, no file", kFileKindSingleFile, "C:\\Pics", "", kNoFileMessage},
      {"file mode, a file deleted", kFileKindSingleFile, "C:\\Pics", "C:\\Pics\\deleted.jpg", kNoFileMessage},
      {"another kind counts as file mode", 2, "C:\\Pics", "", kNoFileMessage},
  };
  for (const auto& c : cases) {
    view = testing::FakeDialogView();
    load();
    model.File_Kind = c.kind;
    model.Folder_Name = c.folder;
    model.File_Path = c.file;
    press(ControlId::lbl_Button_1);
    EXPECT_EQ(view.messages, exclamations(c.message)) << c.what;
    EXPECT_EQ(view.closes, 0) << c.what;
  }
  EXPECT_TRUE(writer.saved.empty());
}

TEST_F(DialogReactionsTest, FileModeRightAfterABrowseWantsAListChoiceFirst) {
  files.add_file("D:\\New\\x.jpg");
  load();
  browse_to("D:\\New");
  press(ControlId::lbl_Button_1);
  EXPECT_EQ(view.messages, exclamations(kNoFileMessage));
  presenter->on_list_choice(0);
  press(ControlId::lbl_Button_1);
  ASSERT_EQ(writer.saved.size(), 1u);
  EXPECT_EQ(writer.saved[0].File_Path, "D:\\New\\x.jpg");
  EXPECT_EQ(view.closes, 1);
}

TEST_F(DialogReactionsTest, FolderModeSavesAFolderWithoutImagesAndAnyFileText) {
  files.add_folder("D:\\Empty");
  model.File_Kind = kFileKindFolder;
  load();
  browse_to("D:\\Empty");
  press(ControlId::lbl_Button_1);
  ASSERT_EQ(writer.saved.size(), 1u);
  EXPECT_EQ(writer.saved[0].Folder_Name, "D:\\Empty");
  EXPECT_EQ(writer.saved[0].File_Path, "") << "emptied by the browse, saved as it is";
}

TEST_F(DialogReactionsTest, APathTheFileCannotCarryIsStoredShortOrRefused) {
  files.add_file("D:\\Ünïcode\\€ 写真\\sun.jpg");  // € has a form; Ü, ï do not
  files.set_short_path("D:\\Ünïcode\\€ 写真\\sun.jpg", "D:\\UNICOD~1\\SUN~1.JPG");
  files.set_short_path("D:\\Ünïcode\\€ 写真", "D:\\UNICOD~1\\3F1A~1");
  model.File_Kind = kFileKindSingleFile;
  load();
  browse_to("D:\\Ünïcode\\€ 写真");
  presenter->on_list_choice(0);
  press(ControlId::lbl_Button_1);
  ASSERT_EQ(writer.saved.size(), 1u);
  EXPECT_EQ(writer.saved[0].File_Path, "D:\\UNICOD~1\\SUN~1.JPG");
  EXPECT_EQ(writer.saved[0].Folder_Name, "D:\\UNICOD~1\\3F1A~1");

  // A volume without short names: refused, nothing written.
  writer.saved.clear();
  view = testing::FakeDialogView();
  files = testing::FakeFileSystem();
  files.add_file("D:\\Ünïcode\\sun.jpg");
  model.Folder_Name = "D:\\Ünïcode";
  model.File_Path = "D:\\Ünïcode\\sun.jpg";
  load();
  press(ControlId::lbl_Button_1);
  EXPECT_TRUE(writer.saved.empty());
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].icon, Icon::Exclamation);
  EXPECT_EQ(view.messages[0].text.rfind(std::string(kPathNotStorableMessage), 0), 0u);
  EXPECT_NE(view.messages[0].text.find("D:\\Ünïcode\\sun.jpg"), std::string::npos) << "the user sees which path";
  EXPECT_EQ(view.closes, 0);
}

// Only the chosen mode's source is checked: the file remembered for file
// mode, gone and named outside code page 932, is stored empty in folder mode.
TEST_F(DialogReactionsTest, TheOtherModesPathNeverBlocksASave) {
  files.add_folder("D:\\Pictures");
  model.File_Kind = kFileKindFolder;
  model.Folder_Name = "D:\\Pictures";
  model.File_Path = "D:\\Ünïcode\\gone.jpg";
  load();
  press(ControlId::lbl_Button_1);
  EXPECT_TRUE(view.messages.empty());
  ASSERT_EQ(writer.saved.size(), 1u);
  EXPECT_EQ(writer.saved[0].Folder_Name, "D:\\Pictures");
  EXPECT_EQ(writer.saved[0].File_Path, "");
  EXPECT_EQ(view.closes, 1);
}

TEST_F(DialogReactionsTest, APathLongerThanTheFileReadsBackIsRefused) {
  std::string deep = "C:\\";
  while (deep.size() < 250) deep += "folder\\";
  const std::string file = deep + "picture.jpg";  // over 255 bytes
  files.add_file(file);
  model.File_Path = file;
  load();
  press(ControlId::lbl_Button_1);
  EXPECT_TRUE(writer.saved.empty());
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text.rfind(std::string(kPathTooLongMessage), 0), 0u);
  // The path in lines a message box can show on any screen, nothing left out.
  const std::string& text = view.messages[0].text;
  const std::size_t first = text.find("\n\n") + 2;
  std::string lines = text.substr(first, text.find("\n\n", first) - first);
  std::string rejoined;
  for (std::size_t end; (end = lines.find('\n')) != std::string::npos; lines.erase(0, end + 1)) {
    EXPECT_LE(end, 64u) << lines.substr(0, end);
    rejoined += lines.substr(0, end);
  }
  EXPECT_LE(lines.size(), 64u);
  EXPECT_EQ(rejoined + lines, file);
}

TEST_F(DialogReactionsTest, ASaveThatFailsSaysWhyAndKeepsTheDialogOpen) {
  writer.outcome = {WriteResult::WriteFailed, "The process cannot access the file."};
  load();
  press(ControlId::lbl_Button_1);
  EXPECT_EQ(view.messages, exclamations(std::string(kSaveFailedMessage) + "\n\nThe process cannot access the file."));
  EXPECT_EQ(view.closes, 0);
  writer.outcome = {};
  press(ControlId::lbl_Button_1);
  EXPECT_EQ(view.closes, 1) << "set again once the file can be written";
}

TEST_F(DialogReactionsTest, CancelClosesWithoutWritingWhicheverButtonIsReleased) {
  load();
  presenter->on_scroll(0, ScrollCode::ThumbPosition, 6);
  presenter->on_mouse_down(ControlId::lbl_Button_2);  // the right button: the window does not say
  presenter->on_mouse_up(ControlId::lbl_Button_2);
  EXPECT_TRUE(writer.saved.empty());
  EXPECT_EQ(view.closes, 1);
}

TEST_F(DialogReactionsTest, TheLinkOpensItsAddressUnderTheHourglass) {
  load();
  press(ControlId::lbl_URL);
  EXPECT_EQ(view.opened, (std::vector<std::string>{std::string(kHomePageAddress)}));
  EXPECT_EQ(view.busy_shown, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace vantrel

namespace vantrel {
namespace {

// The presenter holds the bars' values: the window only reports what the user
// did, and a save writes what the presenter holds, whatever the bars show.
TEST_F(DialogReactionsTest, ASaveAfterScrollsWritesThePresentersValues) {
  model.Action_Value = {3, 25, 5, 5};
  load();
  const struct {
    int bar;
    ScrollCode code;
    int track;
  } moves[] = {
      {0, ScrollCode::LineRight, 0},       // 4
      {0, ScrollCode::PageRight, 0},       // 5
      {0, ScrollCode::Right, 0},           // 6
      {0, ScrollCode::LineRight, 0},       // stays 6
      {1, ScrollCode::ThumbTrack, 80},     // 80
      {1, ScrollCode::ThumbPosition, 77},  // 77
      {2, ScrollCode::Left, 0},            // 1
      {2, ScrollCode::LineLeft, 0},        // stays 1
      {3, ScrollCode::PageLeft, 0},        // 4
      {3, ScrollCode::Other, 20},          // stays 4
  };
  for (const auto& move : moves) presenter->on_scroll(move.bar, move.code, move.track);
  EXPECT_EQ(state().scroll_values, (std::array<int, 4>{6, 77, 1, 4}));
  EXPECT_EQ(caption(*lbl_Scroll(1)), "77");
  EXPECT_EQ(model.Action_Value[2], 1);
  press(ControlId::lbl_Button_1);
  ASSERT_EQ(writer.saved.size(), 1u);
  EXPECT_EQ(writer.saved[0].Action_Value, (std::array<std::optional<std::int64_t>, 4>{6, 77, 1, 4}));
}

TEST_F(DialogReactionsTest, TheViewLearnsOfEveryBarThatMovesAndOfNoOther) {
  model.Action_Value[3] = 1;
  load();
  view.refreshed.clear();
  presenter->on_scroll(2, ScrollCode::LineRight);
  presenter->on_scroll(3, ScrollCode::LineLeft);  // at its left end already
  EXPECT_TRUE(refreshed(ControlId::H_Scroll_2));
  EXPECT_FALSE(refreshed(ControlId::H_Scroll_3));
  EXPECT_FALSE(refreshed(ControlId::lbl_Scroll_3));
  view.refreshed.clear();
  presenter->on_scroll(4, ScrollCode::LineRight);
  presenter->on_scroll(-1, ScrollCode::LineRight);
  EXPECT_TRUE(view.refreshed.empty()) << "no such bar";
}

// The list's places are the presenter's own entries: what the list shows
// is never read back.
TEST_F(DialogReactionsTest, AListPlaceNamesThePresentersOwnEntry) {
  for (const char* name : {"a.bmp", "b.gif", "c.jpg"}) files.add_file(std::string("D:\\New\\") + name);
  load();
  browse_to("D:\\New");
  ASSERT_EQ(view.list, (std::vector<std::string>{"a.bmp", "b.gif", "c.jpg"}));
  const struct {
    int index;
    const char* path;  // nothing chosen: the path before
  } choices[] = {{2, "D:\\New\\c.jpg"}, {0, "D:\\New\\a.bmp"}, {3, "D:\\New\\a.bmp"}, {-1, "D:\\New\\a.bmp"},
                 {1, "D:\\New\\b.gif"}};
  for (const auto& choice : choices) {
    presenter->on_list_choice(choice.index);
    EXPECT_EQ(model.File_Path, choice.path) << choice.index;
  }
  EXPECT_EQ(work.previews.size(), 3u + 1u) << "one preview a choice, besides the load's";
}

TEST_F(DialogReactionsTest, EachAnswerOfTheWorkReachesItsReaction) {
  files.add_file("D:\\New\\a.bmp");
  load();
  view.folder_to_choose = "D:\\New";
  press(ControlId::lbl_Button_0);
  const std::uint64_t scan = work.scans.at(0).ticket;
  presenter->on_work_answer(ScanProgress{scan, 1234});
  EXPECT_EQ(caption(ControlId::lbl_Kei), "1234") << "plain digits while it runs";
  presenter->on_work_answer(ScanFinished{scan, list_images(files, "D:\\New")});
  EXPECT_EQ(view.list, (std::vector<std::string>{"a.bmp"}));
  presenter->on_list_choice(0);
  presenter->on_work_answer(PreviewDecoded{work.previews.back().ticket, testing::picture_of(640, 480)});
  EXPECT_EQ(caption(ControlId::lbl_PreSize), "640 * 480");
}

TEST_F(DialogReactionsTest, ThePointerIsTheHourglassWhileAPreviewIsOnItsWay) {
  load();
  presenter->on_preview_decoded(work.previews.back().ticket, std::nullopt);
  const PointerPlace list{false, ControlId::List_1};
  const PointerPlace caption_bar{true, std::nullopt};
  EXPECT_EQ(presenter->pointer_over(list), PointerShape::Hand);
  presenter->on_list_choice(1);
  EXPECT_EQ(presenter->pointer_over(list), PointerShape::Hourglass);
  EXPECT_EQ(presenter->pointer_over(caption_bar), PointerShape::System);
  presenter->on_preview_decoded(work.previews.back().ticket, std::nullopt);
  EXPECT_EQ(presenter->pointer_over(list), PointerShape::Hand);
}

}  // namespace
}  // namespace vantrel
