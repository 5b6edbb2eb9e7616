#include "runtime/form.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>

#include "runtime/text_encoding.h"

namespace runtime::form {
namespace {

constexpr wchar_t kFormClass[] = L"QhForm";
constexpr UINT kFirstControlId = 100;
constexpr UINT kFirstMenuId = 1000;

std::vector<ControlType>& ControlTypes() {
  static std::vector<ControlType> types;
  return types;
}

// Live forms by form id, for the notifications of custom controls.
std::map<std::uint32_t, Form*>& LiveForms() {
  static std::map<std::uint32_t, Form*> forms;
  return forms;
}

std::uint32_t NextFormId() {
  static std::uint32_t next = 1;
  return next++;
}

int liveWindows = 0;

void RegisterFormClass(WNDPROC procedure) {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kFormClass;
  wc.lpfnWndProc = procedure;
  registered = RegisterClassExW(&wc) != 0;
}

HFONT MakeFont(const FontDescription& font) {
  if (font.face.empty() || font.height == 0) return nullptr;
  LOGFONTW lf{};
  lf.lfHeight = -font.height;  // character height, not cell height
  lf.lfWeight = font.weight;
  lf.lfCharSet = GB2312_CHARSET;
  lf.lfQuality = CLEARTYPE_QUALITY;
  const std::wstring face = GbkToWide(font.face);
  wcsncpy_s(lf.lfFaceName, face.c_str(), _TRUNCATE);
  return CreateFontIndirectW(&lf);
}

}  // namespace

void RegisterControlType(const ControlType& type) {
  for (ControlType& known : ControlTypes()) {
    if (known.name == type.name) {
      known = type;
      return;
    }
  }
  ControlTypes().push_back(type);
  if (type.libraryNotify != nullptr) {
    type.libraryNotify(control::kLibraryMessageSetHostNotify, reinterpret_cast<INT_PTR>(&Form::HostNotify), 0);
  }
}

Form::Form(WindowDescription description) : description_(std::move(description)), formId_(NextFormId()) {}

Form::~Form() {
  Destroy();
}

void Form::OnCreated(std::function<void()> handler) { created_ = std::move(handler); }
void Form::OnDestroyed(std::function<void()> handler) { destroyed_ = std::move(handler); }
void Form::OnClicked(std::string_view control, std::function<void()> handler) {
  clicked_[std::string(control)] = std::move(handler);
}
void Form::OnTimer(std::string_view control, std::function<void()> handler) {
  timers_[std::string(control)] = std::move(handler);
}
void Form::OnMenu(std::string_view caption, std::function<void()> handler) {
  menuHandlers_[std::string(caption)] = std::move(handler);
}
void Form::OnControlEvent(std::string_view control, int event,
                          std::function<void(const control::HostEventRecord&)> handler) {
  controlEvents_[{std::string(control), event}] = std::move(handler);
}
void Form::OnMouseMove(std::function<void(int, int, WPARAM)> handler) { mouseMove_ = std::move(handler); }
void Form::OnMessage(UINT message, std::function<LRESULT(WPARAM, LPARAM)> handler) {
  messages_[message] = std::move(handler);
}

bool Form::Load() {
  if (window_ != nullptr) return true;
  RegisterFormClass(&Form::WindowProc);

  DWORD style = 0, exStyle = 0;
  if (description_.frame == Frame::kFixedSingle) {
    style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  } else {
    style = WS_POPUP | WS_THICKFRAME | WS_CLIPCHILDREN;
    exStyle = WS_EX_CLIENTEDGE | WS_EX_TOOLWINDOW;
  }
  BuildMenu();
  const std::wstring title = GbkToWide(description_.title);
  window_ = CreateWindowExW(exStyle, kFormClass, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                            description_.width, description_.height, nullptr, menu_, GetModuleHandleW(nullptr), this);
  if (window_ == nullptr) {
    if (menu_ != nullptr) DestroyMenu(menu_);
    menu_ = nullptr;
    return false;
  }
  if (description_.icon != nullptr) SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(description_.icon));
  if (description_.smallIcon != nullptr) {
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(description_.smallIcon));
  }

  CreateControls();
  if (created_) created_();
  if (window_ == nullptr) return false;  // the created handler may end it

  // Centred on the work area of the screen.
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int x = work.left + ((work.right - work.left) - description_.width) / 2;
  const int y = work.top + ((work.bottom - work.top) - description_.height) / 2;
  SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
  return true;
}

void Form::ShowModal(HWND owner) {
  if (owner != nullptr) EnableWindow(owner, FALSE);
  if (Load()) {
    MSG msg;
    while (window_ != nullptr) {
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // for the outer loop
        break;
      }
      if (got < 0) break;
      if (description_.escapeCloses && msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE &&
          (msg.hwnd == window_ || IsChild(window_, msg.hwnd))) {
        Destroy();
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (owner != nullptr) {
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
  }
}

void Form::Destroy() {
  if (window_ != nullptr) DestroyWindow(window_);
}

void Form::BuildMenu() {
  if (description_.menu.empty() || menu_ != nullptr) return;
  menu_ = CreateMenu();
  AddMenuItems(menu_, description_.menu);
}

void Form::AddMenuItems(HMENU parent, const std::vector<MenuDescription>& items) {
  for (const MenuDescription& item : items) {
    const std::wstring text = GbkToWide(item.caption);
    MenuEntry entry;
    entry.owner = parent;
    UINT flags = MF_STRING | (item.checked ? MF_CHECKED : 0) | (item.disabled ? MF_GRAYED : 0);
    if (!item.items.empty()) {
      entry.popup = CreatePopupMenu();
      AddMenuItems(entry.popup, item.items);
      AppendMenuW(parent, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(entry.popup), text.c_str());
    } else {
      entry.id = kFirstMenuId + static_cast<UINT>(menuCaptions_.size());
      menuCaptions_[entry.id] = std::string(item.caption);
      AppendMenuW(parent, flags, entry.id, text.c_str());
    }
    menuEntries_[std::string(item.caption)] = entry;
  }
}

bool Form::CreateControls() {
  controls_.clear();
  controls_.reserve(description_.controls.size());
  std::uint32_t unit = 1;
  for (const ControlDescription& description : description_.controls) {
    LiveControl live;
    live.description = &description;
    live.unitId = unit++;
    controls_.push_back(std::move(live));
  }
  for (LiveControl& live : controls_) CreateControl(live);
  return true;
}

void Form::CreateControl(LiveControl& live) {
  const ControlDescription& description = *live.description;
  const UINT id = kFirstControlId + live.unitId;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  const DWORD shown = (description.visible ? WS_VISIBLE : 0) | (description.disabled ? WS_DISABLED : 0);
  const std::wstring caption = GbkToWide(description.caption);
  const Rect& r = description.rect;
  auto* idAsMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id));

  switch (description.kind) {
    case ControlKind::kButton:
      live.window = CreateWindowExW(0, L"BUTTON", caption.c_str(), WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON | shown,
                                    r.left, r.top, r.width, r.height, window_, idAsMenu, instance, nullptr);
      break;
    case ControlKind::kEdit:
      live.window = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", caption.c_str(),
                                    WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL | shown, r.left, r.top, r.width,
                                    r.height, window_, idAsMenu, instance, nullptr);
      break;
    case ControlKind::kWebBrowser:
      live.webPanel = WebPanel::Create(window_, RECT{r.left, r.top, r.left + r.width, r.top + r.height},
                                       GbkToWide(description.webAddress), GbkToWide(description.placeholder));
      return;
    case ControlKind::kTimer:
      SetTimer(window_, id, static_cast<UINT>(description.timerPeriod), nullptr);
      return;
    case ControlKind::kStatusBar: {
      live.window = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | shown, 0, 0, 0, 0, window_, idAsMenu,
                                    instance, nullptr);
      if (live.window == nullptr) return;
      std::vector<int> edges;
      int right = 0;
      for (std::size_t i = 0; i < description.statusPartWidths.size(); ++i) {
        right += description.statusPartWidths[i];
        edges.push_back(i + 1 == description.statusPartWidths.size() ? -1 : right);
      }
      SendMessageW(live.window, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
      for (std::size_t i = 0; i < description.statusTexts.size(); ++i) {
        const std::wstring text = GbkToWide(description.statusTexts[i]);
        SendMessageW(live.window, SB_SETTEXTW, i, reinterpret_cast<LPARAM>(text.c_str()));
      }
      break;
    }
    case ControlKind::kCustom: {
      for (const ControlType& type : ControlTypes()) {
        if (type.name == description.customType) live.type = &type;
      }
      if (live.type == nullptr || live.type->entryPoints == nullptr) return;
      auto create = reinterpret_cast<control::CreateFunction>(live.type->entryPoints(control::kEntryCreate));
      if (create == nullptr) return;
      live.object = create(description.customData.empty() ? nullptr : description.customData.data(),
                           static_cast<std::int32_t>(description.customData.size()), shown, window_, id, nullptr, r.left,
                           r.top, r.width, r.height, formId_, live.unitId, nullptr, FALSE);
      live.window = GetDlgItem(window_, static_cast<int>(id));
      break;
    }
  }
  if (live.window != nullptr) {
    live.font = MakeFont(description.font);
    HGDIOBJ font = live.font != nullptr ? live.font : GetStockObject(DEFAULT_GUI_FONT);
    if (description.kind != ControlKind::kCustom) SendMessageW(live.window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
}

const Form::LiveControl* Form::Find(std::string_view name) const {
  for (const LiveControl& live : controls_) {
    if (live.description->name == name) return &live;
  }
  return nullptr;
}

Form::LiveControl* Form::Find(std::string_view name) {
  return const_cast<LiveControl*>(static_cast<const Form*>(this)->Find(name));
}

// Unit ids are the controls' places in the description, from 1.
Form::LiveControl* Form::FindByUnit(std::uint32_t unitId) {
  if (unitId == 0 || unitId > controls_.size()) return nullptr;
  return &controls_[unitId - 1];
}

const Form::MenuEntry* Form::FindMenu(std::string_view caption) const {
  const auto it = menuEntries_.find(caption);
  return it == menuEntries_.end() ? nullptr : &it->second;
}

HWND Form::Control(std::string_view name) const {
  const LiveControl* live = Find(name);
  return live != nullptr ? live->window : nullptr;
}

void Form::SetVisible(std::string_view control, bool visible) {
  if (HWND window = Control(control)) ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
}

bool Form::IsVisible(std::string_view control) const {
  HWND window = Control(control);
  return window != nullptr && (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Form::SetDisabled(std::string_view control, bool disabled) {
  if (HWND window = Control(control)) EnableWindow(window, !disabled);
}

bool Form::IsDisabled(std::string_view control) const {
  HWND window = Control(control);
  return window != nullptr && !IsWindowEnabled(window);
}

void Form::SetCaption(std::string_view control, std::string_view caption) {
  if (HWND window = Control(control)) SetWindowTextW(window, GbkToWide(caption).c_str());
}

Text Form::Caption(std::string_view control) const {
  HWND window = Control(control);
  if (window == nullptr) return {};
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return WideToGbk(text);
}

HMENU Form::SubMenu(std::string_view caption) const {
  const MenuEntry* entry = FindMenu(caption);
  return entry != nullptr ? entry->popup : nullptr;
}

void Form::SetMenuChecked(std::string_view caption, bool checked) {
  if (const MenuEntry* entry = FindMenu(caption); entry != nullptr && entry->id != 0) {
    CheckMenuItem(entry->owner, entry->id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
  }
}

bool Form::IsMenuChecked(std::string_view caption) const {
  const MenuEntry* entry = FindMenu(caption);
  return entry != nullptr && entry->id != 0 && (GetMenuState(entry->owner, entry->id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void Form::SetMenuDisabled(std::string_view caption, bool disabled) {
  if (const MenuEntry* entry = FindMenu(caption); entry != nullptr && entry->id != 0) {
    EnableMenuItem(entry->owner, entry->id, MF_BYCOMMAND | (disabled ? MF_GRAYED : MF_ENABLED));
  }
}

bool Form::IsMenuDisabled(std::string_view caption) const {
  const MenuEntry* entry = FindMenu(caption);
  return entry != nullptr && entry->id != 0 &&
         (GetMenuState(entry->owner, entry->id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) != 0;
}

UINT Form::MenuCommandId(std::string_view caption) const {
  const MenuEntry* entry = FindMenu(caption);
  return entry != nullptr ? entry->id : 0;
}

void Form::RunMenuCommand(UINT id) {
  const auto caption = menuCaptions_.find(id);
  if (caption == menuCaptions_.end()) return;
  if (IsMenuDisabled(caption->second)) return;
  const auto handler = menuHandlers_.find(caption->second);
  if (handler != menuHandlers_.end() && handler->second) handler->second();
}

control::ControlObject Form::ControlObjectOf(std::string_view control) const {
  const LiveControl* live = Find(control);
  return live != nullptr ? live->object : nullptr;
}

std::uint32_t Form::UnitId(std::string_view control) const {
  const LiveControl* live = Find(control);
  return live != nullptr ? live->unitId : 0;
}

bool Form::ReadProperty(std::string_view control, int index, control::PropertyValue& value) const {
  const LiveControl* live = Find(control);
  if (live == nullptr || live->object == nullptr || index < control::kFirstOwnProperty) return false;
  auto get = reinterpret_cast<control::GetPropertyFunction>(live->type->entryPoints(control::kEntryGetProperty));
  return get != nullptr && get(live->object, index - control::kFirstOwnProperty, &value);
}

void Form::WriteProperty(std::string_view control, int index, const control::PropertyValue& value) {
  const LiveControl* live = Find(control);
  if (live == nullptr || live->object == nullptr || index < control::kFirstOwnProperty) return;
  auto written =
      reinterpret_cast<control::PropertyWrittenFunction>(live->type->entryPoints(control::kEntryPropertyWritten));
  if (written != nullptr) written(live->object, index - control::kFirstOwnProperty, &value);
}

INT_PTR Form::HostNotify(int code, INT_PTR arg1, INT_PTR arg2) {
  switch (code) {
    case control::kNotifyGetUnitObject: {
      const auto form = LiveForms().find(static_cast<std::uint32_t>(arg1));
      if (form == LiveForms().end()) return 0;
      const LiveControl* live = form->second->FindByUnit(static_cast<std::uint32_t>(arg2));
      return live != nullptr ? reinterpret_cast<INT_PTR>(live->object) : 0;
    }
    case control::kNotifyUnitDestroyed: {
      const auto form = LiveForms().find(static_cast<std::uint32_t>(arg1));
      if (form == LiveForms().end()) return 0;
      if (LiveControl* live = form->second->FindByUnit(static_cast<std::uint32_t>(arg2))) {
        live->object = nullptr;
        live->window = nullptr;
      }
      return 0;
    }
    case control::kNotifyRaiseEvent: {
      const auto* record = reinterpret_cast<const control::HostEventRecord*>(arg1);
      if (record == nullptr) return 0;
      const auto form = LiveForms().find(record->formId);
      if (form == LiveForms().end()) return 0;
      const LiveControl* live = form->second->FindByUnit(record->unitId);
      if (live == nullptr) return 0;
      const auto handler =
          form->second->controlEvents_.find(std::pair<std::string, int>(std::string(live->description->name), record->eventIndex));
      if (handler != form->second->controlEvents_.end() && handler->second) handler->second(*record);
      return 0;
    }
    default:
      return 0;
  }
}

bool Form::IsCustomControlWindow(HWND window) const {
  for (const LiveControl& live : controls_) {
    if (live.description->kind == ControlKind::kCustom && live.window != nullptr &&
        (window == live.window || IsChild(live.window, window))) {
      return true;
    }
  }
  return false;
}

void Form::ReleaseControls() {
  for (LiveControl& live : controls_) {
    if (live.font != nullptr) DeleteObject(live.font);
    live.font = nullptr;
    live.webPanel.reset();
  }
}

LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    ++liveWindows;
    LiveForms()[created->formId_] = created;
  }
  auto* form = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  // Handlers are the program's code: nothing they throw may unwind through
  // the system's message dispatch.
  try {
    return form->OnWindowMessage(message, wParam, lParam);
  } catch (const std::exception&) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT Form::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND self = window_;
  if (const auto custom = messages_.find(message); custom != messages_.end() && custom->second) {
    return custom->second(wParam, lParam);
  }
  switch (message) {
    case WM_COMMAND: {
      const UINT id = LOWORD(wParam);
      if (lParam == 0 && HIWORD(wParam) == 0) {
        RunMenuCommand(id);
        return 0;
      }
      if (HIWORD(wParam) == BN_CLICKED && id > kFirstControlId) {
        if (const LiveControl* live = FindByUnit(id - kFirstControlId)) {
          const auto handler = clicked_.find(live->description->name);
          if (handler != clicked_.end() && handler->second) handler->second();
        }
        return 0;
      }
      break;
    }
    case WM_TIMER: {
      if (const LiveControl* live = FindByUnit(static_cast<std::uint32_t>(wParam) - kFirstControlId)) {
        const auto handler = timers_.find(live->description->name);
        if (handler != timers_.end() && handler->second) handler->second();
        return 0;
      }
      break;
    }
    case WM_SETCURSOR:
      // The program's cursor over the client area and over custom controls
      // (whose own windows register the arrow).
      if (description_.cursor != nullptr && LOWORD(lParam) == HTCLIENT &&
          (reinterpret_cast<HWND>(wParam) == self || IsCustomControlWindow(reinterpret_cast<HWND>(wParam)))) {
        SetCursor(description_.cursor);
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE:
      if (mouseMove_) mouseMove_(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), wParam);
      return 0;
    case WM_LBUTTONDOWN:
      if (description_.frame == Frame::kBorderlessSunken) {
        // Dragging anywhere moves the window; the press starts it, so plain
        // mouse moves still reach the window.
        ReleaseCapture();
        SendMessageW(self, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        return 0;
      }
      break;
    case WM_SIZE:
      for (const LiveControl& live : controls_) {
        if (live.description->kind == ControlKind::kStatusBar && live.window != nullptr) {
          SendMessageW(live.window, WM_SIZE, 0, 0);
        }
      }
      break;
    case WM_CLOSE:
      DestroyWindow(self);
      return 0;
    case WM_DESTROY:
      if (destroyed_) destroyed_();
      for (const LiveControl& live : controls_) {
        if (live.description->kind == ControlKind::kTimer) KillTimer(self, kFirstControlId + live.unitId);
      }
      break;
    case WM_NCDESTROY: {
      ReleaseControls();
      LiveForms().erase(formId_);
      window_ = nullptr;
      menu_ = nullptr;  // destroyed with the window
      SetWindowLongPtrW(self, GWLP_USERDATA, 0);
      if (--liveWindows == 0) PostQuitMessage(0);
      return DefWindowProcW(self, message, wParam, lParam);
    }
    default:
      break;
  }
  return DefWindowProcW(self, message, wParam, lParam);
}

int RunMessageLoop() {
  MSG msg;
  while (liveWindows > 0) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got < 0) return -1;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace runtime::form
