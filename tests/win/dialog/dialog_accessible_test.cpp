// The settings dialog read through Active Accessibility in this process: the
// drawn buttons, options, link and texts as the elements a screen reader
// lists, their places, hit testing, default actions, and an object held past
// the window's end.
#include "dialog/settings_dialog_win32.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "dialog/accessible_elements.h"
#include "dialog/dialog_layout.h"
#include "imagesource/sandbox.h"
#include "platform/wide_text_win32.h"

namespace vantrel {
namespace {

using enum ControlId;

// mingw-w64 links IID_IAccessible as a code thunk: the GUID spelled out.
constexpr GUID kIidAccessible{0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

VARIANT child_id(long id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

std::string name_of(IAccessible* object, long id) {
  BSTR name = nullptr;
  if (FAILED(object->get_accName(child_id(id), &name)) || !name) return {};
  const std::string text = to_utf8(std::wstring(name, SysStringLen(name)));
  SysFreeString(name);
  return text;
}

long long_of(IAccessible* object, long id, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
  VARIANT v;
  VariantInit(&v);
  if (FAILED((object->*get)(child_id(id), &v)) || v.vt != VT_I4) return -1;
  return v.lVal;
}

long role_of(IAccessible* object, long id) { return long_of(object, id, &IAccessible::get_accRole); }
long state_of(IAccessible* object, long id) { return long_of(object, id, &IAccessible::get_accState); }

struct Child {
  long id = 0;                    // a simple element of the client object
  IAccessible* window = nullptr;  // or a child window's own object
};

// The children as a reader lists them.
std::vector<Child> children_of(IAccessible* object) {
  long count = 0;
  if (FAILED(object->get_accChildCount(&count)) || count <= 0) return {};
  std::vector<VARIANT> found(static_cast<std::size_t>(count));
  long obtained = 0;
  if (FAILED(AccessibleChildren(object, 0, count, found.data(), &obtained))) return {};
  std::vector<Child> children;
  for (long i = 0; i < obtained; ++i) {
    VARIANT& v = found[static_cast<std::size_t>(i)];
    Child child;
    if (v.vt == VT_I4) child.id = v.lVal;
    if (v.vt == VT_DISPATCH && v.pdispVal) {
      void* accessible = nullptr;
      v.pdispVal->QueryInterface(kIidAccessible, &accessible);
      child.window = static_cast<IAccessible*>(accessible);
      v.pdispVal->Release();
    }
    children.push_back(child);
  }
  return children;
}

IAccessible* client_object(HWND dialog) {
  void* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(dialog, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible, &object)))
    return nullptr;
  return static_cast<IAccessible*>(object);
}

// The id of the element named `name`, or 0.
long id_named(IAccessible* object, const std::string& name) {
  for (const Child& child : children_of(object)) {
    if (child.window) {
      child.window->Release();
      continue;
    }
    if (name_of(object, child.id) == name) return child.id;
  }
  return 0;
}

// Runs the dialog; each step runs on a timer tick inside the dialog's own
// loop. Unlike the window tests' runner, the dialog may end before the last
// step (an action closed it): the number of steps run is the answer.
class DialogAccessibleTest : public ::testing::Test {
 protected:
  using Step = std::function<void(HWND)>;

  std::size_t run_dialog(std::vector<Step> steps) {
    steps_ = std::move(steps);
    next_ = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 500, &DialogAccessibleTest::tick);
    run_settings_dialog(GetModuleHandleW(nullptr), model);
    // A dialog an action closed leaves the timer running: it must not close
    // the next test's dialog.
    KillTimer(nullptr, timer);
    return next_;
  }

  static void CALLBACK tick(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND dialog = FindWindowW(nullptr, L"Vantrelの設定");
    if (!dialog || !IsWindowVisible(dialog)) return;
    if (next_ < steps_.size()) steps_[next_++](dialog);
    if (next_ == steps_.size()) {
      KillTimer(nullptr, timer);
      PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
  }

  static inline std::vector<Step> steps_;
  static inline std::size_t next_ = 0;
  testing::Sandbox sandbox;
  SettingsModel model;
};

TEST_F(DialogAccessibleTest, EveryDrawnControlIsAnElementWithItsRoleNameAndPlaceAndItsCentreFindsIt) {
  model.File_Kind = kFileKindFolder;
  model.Folder_Name = "C:\\写真";
  model.Action_Value = {3, 25, 5, 5};
  // What each element must say once the dialog has loaded: the table's
  // caption, or what the load put there.
  std::map<ControlId, std::string> names;
  for (const ControlId control : accessible_controls()) names[control] = std::string(spec_of(control).caption);
  names[Folder_Path] = "C:\\写真";
  names[lbl_PreSize] = "";
  names[lbl_Kei] = "";
  names[lbl_Scroll_0] = "3";
  names[lbl_Scroll_1] = "25";
  names[lbl_Scroll_2] = "5";
  names[lbl_Scroll_3] = "5";
  const std::map<ControlId, long> roles = {
      {lbl_Button_0, ROLE_SYSTEM_PUSHBUTTON}, {lbl_Button_1, ROLE_SYSTEM_PUSHBUTTON},
      {lbl_Button_2, ROLE_SYSTEM_PUSHBUTTON}, {lbl_FF_0, ROLE_SYSTEM_RADIOBUTTON},
      {lbl_FF_1, ROLE_SYSTEM_RADIOBUTTON},    {lbl_URL, ROLE_SYSTEM_LINK},
  };
  const DialogLayout layout = layout_dialog(96, [](std::string_view) { return DeviceSize{}; });

  const std::size_t ran = run_dialog({[&](HWND dialog) {
    IAccessible* object = client_object(dialog);
    ASSERT_NE(object, nullptr);
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    RECT client{};
    GetClientRect(dialog, &client);

    std::vector<long> ids;
    std::vector<std::string> window_names;
    for (const Child& child : children_of(object)) {
      if (child.window) {
        window_names.push_back(name_of(child.window, CHILDID_SELF));
        child.window->Release();
      } else {
        ids.push_back(child.id);
      }
    }
    // The list and the sliders stay the standard object's, named after
    // the labels beside them.
    std::sort(window_names.begin(), window_names.end());
    std::vector<std::string> wanted_windows = {"画像のﾌｧｲﾙ", "球の大きさ", "回転の速さ", "爆発の拡散度合い",
                                               "爆発の拡散する速さ"};
    std::sort(wanted_windows.begin(), wanted_windows.end());
    EXPECT_EQ(window_names, wanted_windows);

    ASSERT_EQ(ids.size(), accessible_controls().size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
      const ControlId control = accessible_controls()[i];
      const long id = ids[i];
      SCOPED_TRACE(std::string(spec_of(control).name) + " " + std::to_string(spec_of(control).index));
      EXPECT_EQ(name_of(object, id), names[control]);
      const auto role = roles.find(control);
      EXPECT_EQ(role_of(object, id), role == roles.end() ? ROLE_SYSTEM_STATICTEXT : role->second);
      const bool checked = (state_of(object, id) & STATE_SYSTEM_CHECKED) != 0;
      EXPECT_EQ(checked, control == lbl_FF_0) << "the folder kind is chosen";

      long left = 0, top = 0, width = 0, height = 0;
      ASSERT_EQ(object->accLocation(&left, &top, &width, &height, child_id(id)), S_OK);
      // In screen pixels, inside the client area, at the label's place.
      EXPECT_GT(width, 0);
      EXPECT_GT(height, 0);
      EXPECT_GE(left - origin.x, 0);
      EXPECT_GE(top - origin.y, 0);
      EXPECT_LE(left - origin.x + width, client.right);
      EXPECT_LE(top - origin.y + height, client.bottom);
      const DeviceRect& label = layout.outer_of(control);
      EXPECT_EQ(left - origin.x, role != roles.end() && role->second == ROLE_SYSTEM_RADIOBUTTON
                                     ? layout.outer_of(*Img_FF(spec_of(control).index)).left
                                     : label.left);
      EXPECT_EQ(top - origin.y, label.top);

      VARIANT hit;
      VariantInit(&hit);
      ASSERT_EQ(object->accHitTest(left + width / 2, top + height / 2, &hit), S_OK);
      EXPECT_EQ(hit.vt, VT_I4);
      EXPECT_EQ(hit.lVal, id);
      VariantClear(&hit);

      BSTR action = nullptr;
      const HRESULT has_action = object->get_accDefaultAction(child_id(id), &action);
      EXPECT_EQ(has_action == S_OK, role != roles.end());
      SysFreeString(action);
    }
    // An id past the last names nothing.
    EXPECT_EQ(name_of(object, ids.back() + 1), "");
    // A reader walking the children steps from the standard ones into ours
    // and through them in order, and stops after the last.
    const auto step = [&](long from, long direction) {
      VARIANT to;
      VariantInit(&to);
      const HRESULT result = object->accNavigate(direction, child_id(from), &to);
      return result == S_OK && to.vt == VT_I4 ? to.lVal : -1;
    };
    EXPECT_EQ(step(CHILDID_SELF, NAVDIR_LASTCHILD), ids.back());
    EXPECT_EQ(step(ids.front() - 1, NAVDIR_NEXT), ids.front());
    EXPECT_EQ(step(ids.front(), NAVDIR_PREVIOUS), ids.front() - 1);
    for (std::size_t i = 0; i + 1 < ids.size(); ++i) EXPECT_EQ(step(ids[i], NAVDIR_NEXT), ids[i + 1]);
    EXPECT_EQ(step(ids.back(), NAVDIR_NEXT), -1);
    object->Release();
  }});
  EXPECT_EQ(ran, 1u);
}

TEST_F(DialogAccessibleTest, AnOptionsDefaultActionChoosesItsKindAndCancelsClosesTheDialog) {
  model.File_Kind = kFileKindFolder;
  long folder = 0, file = 0, cancel = 0;
  IAccessible* held = nullptr;
  const std::size_t ran = run_dialog({
      [&](HWND dialog) {
        held = client_object(dialog);
        ASSERT_NE(held, nullptr);
        folder = id_named(held, "ﾌｫﾙﾀﾞで指定");
        file = id_named(held, "ﾌｧｲﾙで指定");
        cancel = id_named(held, "ｷｬﾝｾﾙ");
        ASSERT_NE(file, 0);
        ASSERT_NE(cancel, 0);
        EXPECT_NE(state_of(held, folder) & STATE_SYSTEM_CHECKED, 0);
        EXPECT_EQ(state_of(held, file) & STATE_SYSTEM_CHECKED, 0);
        EXPECT_EQ(held->accDoDefaultAction(child_id(file)), S_OK);
      },
      [&](HWND) {
        EXPECT_EQ(model.File_Kind, kFileKindSingleFile);
        EXPECT_EQ(state_of(held, folder) & STATE_SYSTEM_CHECKED, 0);
        EXPECT_NE(state_of(held, file) & STATE_SYSTEM_CHECKED, 0);
        EXPECT_EQ(held->accDoDefaultAction(child_id(cancel)), S_OK);
      },
      [&](HWND) { ADD_FAILURE() << "cancel's default action left the dialog open"; },
  });
  EXPECT_EQ(ran, 2u);
  EXPECT_EQ(FindWindowW(nullptr, L"Vantrelの設定"), nullptr);
  // A reader that still holds the object after the window has gone gets
  // refusals, not a presenter that no longer exists.
  ASSERT_NE(held, nullptr);
  long count = 0;
  EXPECT_TRUE(FAILED(held->get_accChildCount(&count)));
  BSTR name = nullptr;
  EXPECT_TRUE(FAILED(held->get_accName(child_id(cancel), &name)));
  EXPECT_TRUE(FAILED(held->accDoDefaultAction(child_id(cancel))));
  held->Release();
}

// What readers hear of the dialog while it runs: (event, child id).
std::vector<std::pair<DWORD, long>> heard;

void CALLBACK hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  if (object == OBJID_CLIENT && window == FindWindowW(nullptr, L"Vantrelの設定")) heard.emplace_back(event, child);
}

bool was_heard(DWORD event, long child) {
  return std::find(heard.begin(), heard.end(), std::pair<DWORD, long>{event, child}) != heard.end();
}

TEST_F(DialogAccessibleTest, ReadersHearOfANewCheckedOptionAndANewSliderValue) {
  model.File_Kind = kFileKindFolder;
  model.Action_Value = {3, 25, 5, 5};
  heard.clear();
  const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, &hear,
                                             GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(hook, nullptr);
  long folder = 0, file = 0, size_value = 0, cancel_id = 0;
  IAccessible* object = nullptr;
  run_dialog({
      [&](HWND dialog) {
        object = client_object(dialog);
        ASSERT_NE(object, nullptr);
        folder = id_named(object, "ﾌｫﾙﾀﾞで指定");
        file = id_named(object, "ﾌｧｲﾙで指定");
        size_value = id_named(object, "3");  // lbl_Scroll(0) under the sphere's size
        cancel_id = id_named(object, "ｷｬﾝｾﾙ");
        heard.clear();
        object->accDoDefaultAction(child_id(file));
        // One step right on the sphere's size: 3 becomes 4.
        const HWND bar = FindWindowExW(dialog, nullptr, L"ScrollBar", nullptr);
        SendMessageW(dialog, WM_HSCROLL, SB_LINERIGHT, reinterpret_cast<LPARAM>(bar));
      },
      [&](HWND) {
        ASSERT_NE(size_value, 0);
        EXPECT_TRUE(was_heard(EVENT_OBJECT_STATECHANGE, file));
        EXPECT_TRUE(was_heard(EVENT_OBJECT_STATECHANGE, folder));
        EXPECT_TRUE(was_heard(EVENT_OBJECT_NAMECHANGE, size_value));
        EXPECT_EQ(name_of(object, size_value), "4");
        // Nothing else was said: no button, no other text changed.
        EXPECT_FALSE(was_heard(EVENT_OBJECT_NAMECHANGE, cancel_id));
        EXPECT_EQ(heard.size(), 3u);
      },
  });
  UnhookWinEvent(hook);
  if (object) object->Release();
}

}  // namespace
}  // namespace vantrel
