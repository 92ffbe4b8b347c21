#pragma once
// The presenter's tests share this: a folder of three images, a settings
// model choosing one of them, and the fakes of the window, the work beside
// it and the settings file.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "dialog/dialog_presenter.h"
#include "dialog/fake_dialog_view.h"
#include "saver/fake_random_source.h"
#include "settings/settings_store.h"
#include "support/fake_file_system.h"
#include "support/iconv_text_codec.h"

namespace vantrel::testing {

// A decoded picture of that own size, sampled for the preview at `dpi`.
inline DecodedPicture picture_of(int width, int height, int dpi = 96) {
  const PictureSize target = preview_target_size({width, height}, dpi);
  return {{width, height},
          Picture{target.width, target.height,
                  std::vector<std::uint8_t>(static_cast<std::size_t>(target.width) * target.height * 4, 7)}};
}

class DialogPresenterTest : public ::testing::Test {
 protected:
  DialogPresenterTest() {
    files.add_file("C:\\Pics\\a.bmp", {}, 0);
    files.add_file("C:\\Pics\\b.gif", {}, 0);
    files.add_file("C:\\Pics\\c.jpg", {}, kAttributeArchive);
    model.Folder_Name = "C:\\Pics";
    model.Image_Files = {"C:\\Pics\\a.bmp", "C:\\Pics\\b.gif", "C:\\Pics\\c.jpg"};
    model.File_Path = "C:\\Pics\\c.jpg";
    model.File_Kind = kFileKindSingleFile;
    model.Action_Value = {3, 25, 5, 5};
  }

  DialogPresenter& load(DigitGrouping grouping = {}) {
    presenter.emplace(model, view, work, DialogServices{files, codec, writer, random, std::move(grouping)}, 96);
    presenter->on_load();
    return *presenter;
  }
  const DialogState& state() const { return presenter->state(); }
  const std::string& caption(ControlId control) const { return state().captions[index_of(control)]; }
  std::optional<CarriedPicture> picture(std::optional<ControlId> image) const {
    return state().pictures[index_of(*image)];
  }
  bool refreshed(ControlId control) const {
    return std::find(view.refreshed.begin(), view.refreshed.end(), control) != view.refreshed.end();
  }

  FakeFileSystem files;
  testing::IconvTextCodec codec;
  testing::FakeSettingsWriter writer;
  FakeRandomSource random{{0.7}};  // code 2 for every channel: up
  SettingsModel model;
  FakeDialogView view;
  FakeDialogWork work;
  std::optional<DialogPresenter> presenter;
};

}  // namespace vantrel::testing
