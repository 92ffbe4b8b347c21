#pragma once
// A settings dialog window for the presenter's tests: it records what it is
// told and answers as the real one does.

#include <optional>
#include <string>
#include <vector>

#include "dialog/control_table.h"
#include "dialog/dialog_view.h"

namespace vantrel::testing {

class FakeDialogView : public DialogView {
 public:
  void refresh(ControlId control) override { refreshed.push_back(control); }
  void set_list_horizontal_extent(int extent96) override { list_extent96 = extent96; }
  void set_list_entries(const std::vector<std::string>& entries) override {
    list = entries;
    ++list_fills;
  }
  std::optional<ScreenPoint> cursor_position() override { return cursor; }
  void open_animation(ScreenPoint point) override { opened_from.push_back(point); }
  void close_animation(ScreenPoint point) override { closed_to.push_back(point); }
  void close() override { ++closes; }
  void repaint_now() override { ++repaints; }
  void show_busy(bool busy) override { busy_shown.push_back(busy); }
  void show_message(const std::string& text, MessageIcon icon) override { messages.push_back({text, icon}); }
  std::optional<std::string> choose_folder(const std::string& title) override {
    browse_titles.push_back(title);
    return folder_to_choose;
  }
  void open_address(const std::string& address) override { opened.push_back(address); }

  struct Message {
    std::string text;
    MessageIcon icon;
    friend bool operator==(const Message&, const Message&) = default;
  };

  std::vector<ControlId> refreshed;
  int list_extent96 = 0;
  std::vector<std::string> list;
  int list_fills = 0;
  std::optional<ScreenPoint> cursor = ScreenPoint{640, 512};
  std::vector<ScreenPoint> opened_from;
  std::vector<ScreenPoint> closed_to;
  int closes = 0;
  int repaints = 0;
  std::vector<bool> busy_shown;
  std::vector<Message> messages;
  std::vector<std::string> browse_titles;
  std::optional<std::string> folder_to_choose;  // what the browser gives: none is a cancel
  std::vector<std::string> opened;
};

// Records the requests; the test answers them through the presenter.
class FakeDialogWork : public DialogWork {
 public:
  struct PreviewRequest {
    std::uint64_t ticket;
    std::string path;
    int dpi;
  };
  void decode_preview(std::uint64_t ticket, const std::string& path, int dpi) override {
    previews.push_back({ticket, path, dpi});
  }
  void scan_folder(std::uint64_t ticket, const std::string& folder) override { scans.push_back({ticket, folder}); }
  void stop_all() override { ++stops; }

  struct ScanRequest {
    std::uint64_t ticket;
    std::string folder;
  };
  std::vector<PreviewRequest> previews;
  std::vector<ScanRequest> scans;
  int stops = 0;
};

// Keeps what it was asked to save; fails when told to.
class FakeSettingsWriter : public SettingsWriter {
 public:
  SaveOutcome save(const SettingsModel& model) override {
    saved.push_back(model);
    return outcome;
  }
  std::vector<SettingsModel> saved;
  SaveOutcome outcome;
};

}  // namespace vantrel::testing
