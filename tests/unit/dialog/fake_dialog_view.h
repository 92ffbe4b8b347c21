#pragma once
// A settings dialog window for the presenter's tests: it records what it is
// told and answers as the real one does (bars refuse values out of range).

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
  int scroll_value(int bar) const override { return bars.at(static_cast<std::size_t>(bar)); }
  bool set_scroll_value(int bar, int value) override {
    const ScrollRange& range = kScrollRanges.at(static_cast<std::size_t>(bar));
    if (value < range.minimum || value > range.maximum) return false;
    bars.at(static_cast<std::size_t>(bar)) = value;
    return true;
  }
  std::optional<ScreenPoint> cursor_position() override { return cursor; }
  void open_animation(ScreenPoint point) override { opened_from.push_back(point); }
  void close_animation(ScreenPoint point) override { closed_to.push_back(point); }
  void close() override { ++closes; }

  std::vector<ControlId> refreshed;
  int list_extent96 = 0;
  std::vector<std::string> list;
  int list_fills = 0;
  std::array<int, 4> bars{kScrollStoredValue, kScrollStoredValue, kScrollStoredValue, kScrollStoredValue};
  std::optional<ScreenPoint> cursor = ScreenPoint{640, 512};
  std::vector<ScreenPoint> opened_from;
  std::vector<ScreenPoint> closed_to;
  int closes = 0;
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
  void stop_all() override { ++stops; }

  std::vector<PreviewRequest> previews;
  int stops = 0;
};

}  // namespace vantrel::testing
