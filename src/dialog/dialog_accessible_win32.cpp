#include "dialog/dialog_accessible_win32.h"

#include <oleacc.h>

#include <string>
#include <utility>

#include "dialog/dialog_presenter.h"
#include "platform/system_library_win32.h"
#include "platform/wide_text_win32.h"

namespace vantrel {
namespace {

// The interface ids spelled out: mingw-w64's import library gives
// IID_IAccessible as a code thunk rather than the GUID itself, and a
// comparison with it never matches.
constexpr GUID kIidUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidDispatch{0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidAccessible{0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
constexpr GUID kClsidAccPropServices{0xB5F8350B, 0x0548, 0x48B1, {0xA6, 0xEE, 0x88, 0xBD, 0x00, 0xB4, 0xA5, 0xE7}};
constexpr GUID kIidAccPropServices{0x6E26E776, 0x04F0, 0x495D, {0x80, 0xE4, 0x33, 0x30, 0x35, 0x2E, 0x31, 0x69}};
constexpr GUID kPropIdAccName{0x608D3DF8, 0x8128, 0x4AA7, {0xA4, 0x28, 0xF5, 0x5E, 0x49, 0x26, 0x72, 0x91}};

// The verbs a reader speaks for a default action, in the dialog's language.
constexpr wchar_t kPress[] = L"押す";
constexpr wchar_t kCheck[] = L"チェック";
constexpr wchar_t kJump[] = L"ジャンプ";

LONG role_code(AccessibleRole role) {
  switch (role) {
    case AccessibleRole::PushButton:
      return ROLE_SYSTEM_PUSHBUTTON;
    case AccessibleRole::RadioButton:
      return ROLE_SYSTEM_RADIOBUTTON;
    case AccessibleRole::Link:
      return ROLE_SYSTEM_LINK;
    case AccessibleRole::StaticText:
      break;
  }
  return ROLE_SYSTEM_STATICTEXT;
}

const wchar_t* default_action_of(AccessibleRole role) {
  switch (role) {
    case AccessibleRole::PushButton:
      return kPress;
    case AccessibleRole::RadioButton:
      return kCheck;
    case AccessibleRole::Link:
      return kJump;
    case AccessibleRole::StaticText:
      break;
  }
  return nullptr;
}

// A BSTR for a reader: S_FALSE and no string for an empty text.
HRESULT give_text(const std::wstring& text, BSTR* out) {
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

// oleacc.dll is not one of the system's known DLLs: imported by the program,
// a copy planted beside it would be loaded at every start. So it is loaded
// from the system folder when a dialog opens, and only then. It stays loaded
// until the process ends: readers may hold objects it made (a child window's)
// past the window's end, and their code must still be there when let go.
struct OleaccLibrary {
  using CreateStandardFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
  using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
  using ObjectFromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);

  HMODULE module = load_system_library(L"oleacc.dll").release();
  CreateStandardFn create_standard = function<CreateStandardFn>("CreateStdAccessibleObject");
  LresultFromObjectFn lresult_from_object = function<LresultFromObjectFn>("LresultFromObject");
  ObjectFromWindowFn object_from_window = function<ObjectFromWindowFn>("AccessibleObjectFromWindow");

  bool complete() const { return create_standard && lresult_from_object && object_from_window; }

 private:
  template <typename Fn>
  Fn function(const char* name) const {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
  }
};

// One object per window, handed to every reader that asks. It holds the
// standard client object and a pointer back to the window's accessibility,
// both dropped by disconnect(): a reader may hold the object long after the
// window has gone, and then gets CO_E_OBJNOTCONNECTED from every question.
class DialogAccessibleObject final : public IAccessible {
 public:
  DialogAccessibleObject(DialogAccessibility& owner, IAccessible* standard) : owner_(&owner), standard_(standard) {}

  void disconnect() {
    owner_ = nullptr;
    if (standard_) std::exchange(standard_, nullptr)->Release();
  }

  bool connected() const { return owner_ && standard_; }

  // The standard object's number of children (the list and the sliders).
  long standard_children() const {
    long count = 0;
    if (!standard_ || FAILED(standard_->get_accChildCount(&count)) || count < 0) return 0;
    return count;
  }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != kIidUnknown && iid != kIidDispatch && iid != kIidAccessible) return E_NOINTERFACE;
    *out = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
      disconnect();
      delete this;
    }
    return static_cast<ULONG>(left);
  }

  // IDispatch: readers use the IAccessible methods directly.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!connected()) return CO_E_OBJNOTCONNECTED;
    return standard_->get_accParent(parent);
  }

  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (!count) return E_POINTER;
    if (!connected()) return CO_E_OBJNOTCONNECTED;
    const HRESULT result = standard_->get_accChildCount(count);
    if (FAILED(result)) return result;
    *count += static_cast<long>(accessible_controls().size());
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    const Target target = resolve(child);
    if (target.kind == Target::Ours) return S_FALSE;  // a simple element, named by its id
    if (target.kind != Target::Standard) return target.error;
    const HRESULT result = standard_->get_accChild(child, out);
    if (result == S_OK && *out) return result;
    // Wine's standard client object counts the child windows but gives no
    // object for them (Windows' gives each one's window object). The child's
    // client object stands in: under Wine it is the one that answers with
    // the child's name and role, the window object answering neither.
    return child_window_object(target.id, out) ? S_OK : result;
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!name) return E_POINTER;
    const Target target = resolve(child);
    if (target.kind == Target::Standard) return standard_->get_accName(child, name);
    if (target.kind != Target::Ours) return target.error;
    return give_text(to_wide(element(target).name), name);
  }

  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (!value) return E_POINTER;
    *value = nullptr;
    const Target target = resolve(child);
    if (target.kind == Target::Standard) return standard_->get_accValue(child, value);
    if (target.kind != Target::Ours) return target.error;
    // A link's value is its address, which its caption is.
    const AccessibleElement shown = element(target);
    if (shown.role != AccessibleRole::Link) return DISP_E_MEMBERNOTFOUND;
    return give_text(to_wide(shown.name), value);
  }

  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    if (!description) return E_POINTER;
    *description = nullptr;
    const Target target = resolve(child);
    if (target.kind == Target::Standard) return standard_->get_accDescription(child, description);
    return target.kind == Target::Ours ? DISP_E_MEMBERNOTFOUND : target.error;
  }

  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    const Target target = resolve(child);
    if (target.kind == Target::Standard) return standard_->get_accRole(child, role);
    if (target.kind != Target::Ours) return target.error;
    VariantInit(role);
    role->vt = VT_I4;
    role->lVal = role_code(element(target).role);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    const Target target = resolve(child);
    if (target.kind == Target::Standard) return standard_->get_accState(child, state);
    if (target.kind != Target::Ours) return target.error;
    const AccessibleElement shown = element(target);
    // The drawn controls take no keyboard focus (the dialog's keys reach
    // only the list and the sliders), so none is focusable; once the dialog
    // has closed nothing on it acts any more.
    LONG flags = 0;
    if (shown.checked) flags |= STATE_SYSTEM_CHECKED;
    if (shown.role == AccessibleRole::Link) flags |= STATE_SYSTEM_LINKED;
    if (shown.role == AccessibleRole::StaticText) flags |= STATE_SYSTEM_READONLY;
    if (!IsWindowVisible(owner_->window_)) flags |= STATE_SYSTEM_INVISIBLE;
    const DialogPresenter* presenter = owner_->presenter_();
    if (has_default_action(shown.role) && (!presenter || presenter->closed())) flags |= STATE_SYSTEM_UNAVAILABLE;
    VariantInit(state);
    state->vt = VT_I4;
    state->lVal = flags;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    if (!help) return E_POINTER;
    *help = nullptr;
    const Target target = resolve(child);
    if (target.kind == Target::Standard) return standard_->get_accHelp(child, help);
    return target.kind == Target::Ours ? DISP_E_MEMBERNOTFOUND : target.error;
  }

  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    if (!file || !topic) return E_POINTER;
    *file = nullptr;
    const Target target = resolve(child);
    if (target.kind == Target::Standard) return standard_->get_accHelpTopic(file, child, topic);
    return target.kind == Target::Ours ? DISP_E_MEMBERNOTFOUND : target.error;
  }

  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    if (!shortcut) return E_POINTER;
    *shortcut = nullptr;
    const Target target = resolve(child);
    if (target.kind == Target::Standard) return standard_->get_accKeyboardShortcut(child, shortcut);
    return target.kind == Target::Ours ? DISP_E_MEMBERNOTFOUND : target.error;
  }

  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!connected()) return CO_E_OBJNOTCONNECTED;
    return standard_->get_accFocus(focus);
  }

  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!connected()) return CO_E_OBJNOTCONNECTED;
    return standard_->get_accSelection(selection);
  }

  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (!action) return E_POINTER;
    *action = nullptr;
    const Target target = resolve(child);
    if (target.kind == Target::Standard) return standard_->get_accDefaultAction(child, action);
    if (target.kind != Target::Ours) return target.error;
    const wchar_t* verb = default_action_of(element(target).role);
    if (!verb) return DISP_E_MEMBERNOTFOUND;
    return give_text(verb, action);
  }

  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    const Target target = resolve(child);
    if (target.kind == Target::Standard) return standard_->accSelect(flags, child);
    return target.kind == Target::Ours ? DISP_E_MEMBERNOTFOUND : target.error;
  }

  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    const Target target = resolve(child);
    if (target.kind == Target::Standard) return standard_->accLocation(left, top, width, height, child);
    if (target.kind != Target::Ours) return target.error;
    const DeviceRect place = element(target).place;
    POINT origin{0, 0};
    ClientToScreen(owner_->window_, &origin);
    *left = origin.x + place.left;
    *top = origin.y + place.top;
    *width = place.width();
    *height = place.height();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    const Target target = resolve(start);
    if (target.kind == Target::Error) return target.error;
    // The children in id order: the standard object's, then ours. The
    // standard object walks its own children among themselves; the steps
    // into, out of and among ours are answered here.
    const long last_id = target.first_id + static_cast<long>(accessible_controls().size()) - 1;
    long next = 0;
    if (target.id == CHILDID_SELF) {
      if (direction == NAVDIR_LASTCHILD) next = last_id;
      if (direction == NAVDIR_FIRSTCHILD && target.first_id == 1) next = 1;
    } else if (direction == NAVDIR_NEXT && target.id == target.first_id - 1) {
      next = target.first_id;
    } else if (target.kind == Target::Ours) {
      if (direction == NAVDIR_NEXT) next = target.id < last_id ? target.id + 1 : -1;
      if (direction == NAVDIR_PREVIOUS) next = target.id - 1;  // the standard object's last child, if any
      if (direction != NAVDIR_NEXT && direction != NAVDIR_PREVIOUS) next = -1;
    }
    if (next == 0 && target.kind == Target::Standard) return standard_->accNavigate(direction, start, end);
    VariantInit(end);
    if (next <= 0) return S_FALSE;
    // A child id, which a reader turns into the child's object through
    // get_accChild where it has one.
    end->vt = VT_I4;
    end->lVal = next;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* found) override {
    if (!found) return E_POINTER;
    if (!connected()) return CO_E_OBJNOTCONNECTED;
    POINT point{x, y};
    ScreenToClient(owner_->window_, &point);
    RECT client{};
    GetClientRect(owner_->window_, &client);
    if (PtInRect(&client, point)) {
      if (const auto index = accessible_element_at(owner_->layout_, point.x, point.y)) {
        const long first = standard_children() + 1;
        VariantInit(found);
        found->vt = VT_I4;
        found->lVal = first + static_cast<long>(*index);
        return S_OK;
      }
    }
    return standard_->accHitTest(x, y, found);
  }

  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    const Target target = resolve(child);
    if (target.kind == Target::Standard) return standard_->accDoDefaultAction(child);
    if (target.kind != Target::Ours) return target.error;
    if (!has_default_action(element(target).role)) return DISP_E_MEMBERNOTFOUND;
    // The action runs from the window's own loop, not inside the reader's
    // call: "設定" may show a message box, which must not hold the reader.
    owner_->pending_.push_back(accessible_controls()[target.index]);
    PostMessageW(owner_->window_, DialogAccessibility::kActionMessage, 0, 0);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  struct Target {
    enum Kind { Standard, Ours, Error } kind = Error;
    HRESULT error = E_INVALIDARG;
    long id = 0;
    long first_id = 0;      // our first element's id
    std::size_t index = 0;  // for Ours: the element's index
  };

  // Which object a child id names. Only the number is read from the
  // variant; an id that names nothing is refused.
  Target resolve(const VARIANT& child) {
    Target target;
    if (!connected()) {
      target.error = CO_E_OBJNOTCONNECTED;
      return target;
    }
    if (child.vt != VT_I4) return target;
    const long id = child.lVal;
    const long standard_count = standard_children();
    target.id = id;
    target.first_id = standard_count + 1;
    if (id >= CHILDID_SELF && id <= standard_count) {
      target.kind = Target::Standard;
    } else if (id > standard_count && id - standard_count <= static_cast<long>(accessible_controls().size())) {
      target.kind = Target::Ours;
      target.index = static_cast<std::size_t>(id - standard_count - 1);
    }
    return target;
  }

  // The client object of the id-th child window (1 on), in the order the
  // standard object counts them: shown child windows, top of the z-order
  // first.
  bool child_window_object(long id, IDispatch** out) const {
    long seen = 0;
    for (HWND child = GetWindow(owner_->window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      if (!IsWindowVisible(child) || ++seen != id) continue;
      void* object = nullptr;
      if (FAILED(owner_->oleacc_->object_from_window(child, static_cast<DWORD>(OBJID_CLIENT), kIidDispatch,
                                                     &object)) ||
          !object)
        return false;
      *out = static_cast<IDispatch*>(object);
      return true;
    }
    return false;
  }

  AccessibleElement element(const Target& target) const {
    const DialogPresenter* presenter = owner_->presenter_();
    const DialogState& state = presenter ? presenter->state() : initial_state_;
    return accessible_element(owner_->layout_, state, target.index);
  }

  LONG references_ = 1;
  DialogAccessibility* owner_;
  IAccessible* standard_;
  const DialogState initial_state_ = initial_dialog_state();
};

DialogAccessibility::DialogAccessibility(HWND window, const DialogLayout& layout,
                                         std::function<DialogPresenter*()> presenter)
    : window_(window),
      oleacc_(std::make_unique<OleaccLibrary>()),
      layout_(layout),
      presenter_(std::move(presenter)) {
  if (!oleacc_->complete()) window_ = nullptr;  // as after the window's end: no reader is answered
}

DialogAccessibility::~DialogAccessibility() { disconnect(); }

DialogAccessibleObject* DialogAccessibility::object() {
  if (object_ || !window_) return object_;
  void* standard = nullptr;
  if (FAILED(oleacc_->create_standard(window_, OBJID_CLIENT, kIidAccessible, &standard)) || !standard)
    return nullptr;
  object_ = new DialogAccessibleObject(*this, static_cast<IAccessible*>(standard));
  return object_;
}

long DialogAccessibility::standard_child_count() {
  DialogAccessibleObject* made = object();
  return made ? made->standard_children() : 0;
}

std::optional<LRESULT> DialogAccessibility::on_get_object(WPARAM wparam, LPARAM lparam) {
  // Only the object id is compared: any program can send this message.
  if (static_cast<LONG>(lparam) != OBJID_CLIENT) return std::nullopt;
  DialogAccessibleObject* made = object();
  if (!made) return std::nullopt;
  return oleacc_->lresult_from_object(kIidAccessible, wparam, made);
}

void DialogAccessibility::on_refresh(ControlId control) {
  const DialogPresenter* presenter = presenter_ ? presenter_() : nullptr;
  if (!window_ || !presenter) return;
  const auto index = accessible_index_of(control);
  if (!index) return;
  if (told_.empty()) told_ = accessible_elements(layout_, initial_dialog_state());
  AccessibleElement now = accessible_element(layout_, presenter->state(), *index);
  AccessibleElement& before = told_[*index];
  const bool renamed = now.name != before.name;
  const bool rechecked = now.checked != before.checked;
  if (!renamed && !rechecked) return;
  before = std::move(now);
  const LONG child = standard_child_count() + 1 + static_cast<LONG>(*index);
  if (renamed) NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window_, OBJID_CLIENT, child);
  if (rechecked) NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window_, OBJID_CLIENT, child);
}

void DialogAccessibility::run_pending_actions() {
  std::vector<ControlId> actions = std::exchange(pending_, {});
  for (const ControlId control : actions) {
    DialogPresenter* presenter = presenter_ ? presenter_() : nullptr;
    if (!presenter || presenter->closed()) return;
    presenter->on_default_action(control);
  }
}

void DialogAccessibility::name_system_control(HWND child, ControlId control) {
  const auto name = accessible_name_of_system_control(control);
  if (!child || !name) return;
  const std::wstring wide = to_wide(*name);
  // Two ways, since no one way is read everywhere. The list and the scroll
  // bar draw no window text, so giving them their label's caption as their
  // text changes nothing on the screen, and Wine's standard object names a
  // control by its text. Windows' standard objects name a list or a scroll
  // bar by a label window beside it, which this dialog does not have; there
  // a dynamic annotation of the name is what readers are given. Wine's
  // oleacc does not carry annotations yet, so a failure there is expected.
  SetWindowTextW(child, wide.c_str());
  if (!annotations_) {
    void* services = nullptr;
    if (FAILED(CoCreateInstance(kClsidAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIidAccPropServices,
                                &services)) ||
        !services)
      return;
    annotations_ = static_cast<IAccPropServices*>(services);
  }
  IAccPropServices* services = annotations_;
  if (SUCCEEDED(services->SetHwndPropStr(child, OBJID_CLIENT, CHILDID_SELF, kPropIdAccName, wide.c_str())))
    annotated_.push_back(child);
}

void DialogAccessibility::disconnect() {
  pending_.clear();
  if (annotations_) {
    IAccPropServices* services = annotations_;
    MSAAPROPID name = kPropIdAccName;
    for (const HWND child : annotated_) services->ClearHwndProps(child, OBJID_CLIENT, CHILDID_SELF, &name, 1);
    annotated_.clear();
    std::exchange(annotations_, nullptr)->Release();
  }
  if (object_) {
    DialogAccessibleObject* made = std::exchange(object_, nullptr);
    made->disconnect();
    // Readers in other processes lose their link to it now, not when they
    // let go.
    CoDisconnectObject(static_cast<IAccessible*>(made), 0);
    made->Release();
  }
  window_ = nullptr;
}

}  // namespace vantrel
