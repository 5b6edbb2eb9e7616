#include "calendar_control/month_calendar_control.h"

#include <cstring>
#include <memory>
#include <set>

#include "calendar_control/module_instance.h"
#include "lunar/lunar_calendar.h"
#include "runtime/text_encoding.h"

namespace calendar {
namespace {

namespace control = runtime::control;

constexpr wchar_t kClassName[] = L"CnMonthCalendar";

control::HostNotifyFunction hostNotify = nullptr;
INT_PTR lastHostResult = 0;

// The controls that exist, so that an object pointer from the host is
// checked before it is used. One thread: no lock.
std::set<const CnMonthCalendar*>& LiveControls() {
  static std::set<const CnMonthCalendar*> live;
  return live;
}

}  // namespace

bool CnMonthCalendar::RegisterWindowClass() {
  WNDCLASSW existing;
  if (GetClassInfoW(ModuleInstance(), kClassName, &existing)) return true;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &CnMonthCalendar::WindowProc;
  windowClass.hInstance = ModuleInstance();
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpszClassName = kClassName;
  return RegisterClassW(&windowClass) != 0;
}

INT_PTR CallHost(int code, INT_PTR arg1, INT_PTR arg2) {
  lastHostResult = hostNotify != nullptr ? hostNotify(code, arg1, arg2) : 0;
  return lastHostResult;
}

void SetHostNotify(control::HostNotifyFunction function) { hostNotify = function; }

CnMonthCalendar::CnMonthCalendar(std::uint32_t formId, std::uint32_t unitId, BOOL designMode,
                                 runtime::DateTime now)
    : formId_(formId), unitId_(unitId), designMode_(designMode), model_(now), panel_(model_) {
  model_.SetObserver(this);
  LiveControls().insert(this);
}

CnMonthCalendar::~CnMonthCalendar() {
  LiveControls().erase(this);
  model_.SetObserver(nullptr);
  if (window_ != nullptr) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
}

CnMonthCalendar* CnMonthCalendar::FromObject(const void* object) {
  const auto it = LiveControls().find(static_cast<const CnMonthCalendar*>(object));
  return it == LiveControls().end() ? nullptr : const_cast<CnMonthCalendar*>(*it);
}

CnMonthCalendar* CnMonthCalendar::Create(std::span<const std::uint8_t> data, DWORD style, HWND parent, UINT id,
                                         int x, int y, std::uint32_t formId, std::uint32_t unitId,
                                         BOOL designMode) {
  const runtime::DateTime now = runtime::CurrentDateTime();
  std::unique_ptr<CnMonthCalendar> calendar(new CnMonthCalendar(formId, unitId, designMode, now));
  if (!data.empty() && !calendar->model_.props().Load(data, now)) return nullptr;
  if (!calendar->CreateWindows(style, parent, id, x, y)) return nullptr;
  calendar->FinishCreation();
  // From here the window owns the object: it goes after the last message.
  calendar->created_ = true;
  return calendar.release();
}

bool CnMonthCalendar::CreateWindows(DWORD style, HWND parent, UINT id, int x, int y) {
  if (!RegisterWindowClass()) return false;
  const PixelSize size = panel_.grid().metrics().ContentSize(model_.headerVisible());
  const HWND window =
      CreateWindowExW(0, kClassName, L"", style | WS_CHILD | WS_CLIPSIBLINGS, x, y, size.width, size.height, parent,
                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ModuleInstance(), this);
  if (window == nullptr) return false;
  return panel_.Create(window);  // on failure the destructor takes the window down
}

void CnMonthCalendar::FinishCreation() {
  panel_.grid().SetOwner(window_);
  const runtime::DateTimeParts stored = runtime::SplitDateTime(model_.props().storedDate);
  model_.SelectDay(stored.year, stored.month, stored.day, true);
  model_.ApplyMode(model_.props().mode);
  model_.SetHeaderFlag(model_.props().showHeader);
  TakeContentSize();
  model_.SetFormat(std::string(model_.props().format));
}

LRESULT CALLBACK CnMonthCalendar::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created = static_cast<CnMonthCalendar*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* calendar = reinterpret_cast<CnMonthCalendar*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (calendar == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    calendar->window_ = nullptr;
    calendar->OnLastMessage();
    return result;
  }
  try {
    return calendar->OnMessage(message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

LRESULT CnMonthCalendar::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE: {
      const LRESULT result = DefWindowProcW(window_, message, wParam, lParam);
      TakeContentSize();
      return result;
    }
    case WM_ERASEBKGND:
      return 1;  // the panel covers the window
    case kCalendarNotify:
      OnCalendarNotify(wParam, lParam);
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void CnMonthCalendar::OnLastMessage() {
  if (!created_) return;  // a failed create: the object goes with it, unannounced
  CallHost(control::kNotifyUnitDestroyed, static_cast<INT_PTR>(formId_), static_cast<INT_PTR>(unitId_));
  delete this;
}

void CnMonthCalendar::TakeContentSize() {
  if (window_ == nullptr) return;
  const PixelSize size = panel_.grid().metrics().ContentSize(model_.headerVisible());
  RECT rect;
  GetWindowRect(window_, &rect);
  if (rect.right - rect.left == size.width && rect.bottom - rect.top == size.height) return;
  SetWindowPos(window_, nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CnMonthCalendar::OnCalendarNotify(WPARAM code, LPARAM lParam) {
  switch (code) {
    case kNotifyDateClicked:
      RaiseEvent(control::month_calendar::kDateClicked);
      return;
    case kNotifyDateHovered:
    case kNotifyRightClicked: {
      // lParam is a whole date-time value; a day outside the lunar span has
      // no lunar date to report, so it raises nothing.
      const runtime::DateTimeParts day = runtime::SplitDateTime(static_cast<double>(lParam));
      lunar::DateRec lunarDay;
      if (!lunar::GregorianToLunar(static_cast<std::uint16_t>(day.year), static_cast<std::uint16_t>(day.month),
                                   static_cast<std::uint16_t>(day.day), lunarDay)) {
        return;
      }
      RaiseEvent(code == kNotifyDateHovered ? control::month_calendar::kDateHovered
                                            : control::month_calendar::kDateRightClicked,
                 {lunarDay.year, lunarDay.month, lunarDay.day, lunarDay.leap != 0 ? 1 : 0});
      return;
    }
    case kNotifySelectionReport: {
      const lunar::DateRec markedBefore = model_.selection().marked();
      model_.ReportSelection();
      SetWindowTextW(window_, runtime::GbkToWide(model_.props().dateText).c_str());
      // Normally the grid repaints after this report anyway (the selection
      // change asked for it); when it already has, the marked day moved
      // since and must be drawn.
      if (!(markedBefore == model_.selection().marked())) panel_.grid().Invalidate();
      RaiseEvent(control::month_calendar::kDateChanged);
      return;
    }
    default:
      return;
  }
}

void CnMonthCalendar::RaiseEvent(int index, std::initializer_list<std::int32_t> arguments) {
  control::HostEventRecord record{};
  record.formId = formId_;
  record.unitId = unitId_;
  record.eventIndex = index;
  record.argumentCount = static_cast<std::int32_t>(arguments.size());
  int slot = 0;
  for (std::int32_t argument : arguments) {
    if (slot < 5) record.arguments[slot++] = argument;
  }
  record.returnFlag = 0;
  record.returnValue = 0;
  CallHost(control::kNotifyRaiseEvent, reinterpret_cast<INT_PTR>(&record), 0);
}

// ---- Model observer ----------------------------------------------------------

void CnMonthCalendar::SelectionChanged(bool notify) {
  if (notify && window_ != nullptr) PostMessageW(window_, kCalendarNotify, kNotifySelectionReport, 0);
  panel_.grid().Invalidate();
}

void CnMonthCalendar::ModeChanged() { panel_.grid().Invalidate(); }

void CnMonthCalendar::SelectorsChanged() { panel_.MirrorSelectors(); }

void CnMonthCalendar::HeaderTextChanged() { panel_.InvalidateHeader(); }

void CnMonthCalendar::HeaderVisibilityChanged() {
  if (!panel_.IsLive()) return;
  panel_.ApplyHeaderVisibility();
  TakeContentSize();
}

// ---- Command and properties ----------------------------------------------------

int CnMonthCalendar::SetDate(int year, int month, int day) {
  const int result = model_.SelectDay(year, month, day, true);
  panel_.grid().Invalidate();
  return result;
}

void CnMonthCalendar::PropertyWritten(int index, const control::PropertyValue* value) {
  if (value == nullptr) return;
  const int hostIndex = index + control::kFirstOwnProperty;
  PropertyData data;
  switch (PropertyTypeOf(hostIndex)) {
    case PropertyType::kHidden:
      return;
    case PropertyType::kDateTime:
      data.dateTime = value->dateTime;
      break;
    case PropertyType::kInteger:
      data.integer = value->integer;
      break;
    case PropertyType::kBoolean:
      data.integer = value->boolean;
      break;
    case PropertyType::kText:
      if (value->text != nullptr) data.text = value->text;
      break;
  }
  model_.WriteProperty(hostIndex, data);
}

HGLOBAL CnMonthCalendar::GetAllPropertyData() const {
  const std::vector<std::uint8_t> bytes = model_.props().Store();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (block == nullptr) return nullptr;
  void* memory = GlobalLock(block);
  if (memory == nullptr) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(memory, bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

void CnMonthCalendar::GetProperty(int index, control::PropertyValue* value) {
  if (value == nullptr) return;
  const int hostIndex = index + control::kFirstOwnProperty;
  PropertyData data;
  if (!model_.ReadProperty(hostIndex, data)) return;  // hidden: the host's value stays
  switch (PropertyTypeOf(hostIndex)) {
    case PropertyType::kHidden:
      return;
    case PropertyType::kDateTime:
      value->dateTime = data.dateTime;
      return;
    case PropertyType::kInteger:
      value->integer = data.integer;
      return;
    case PropertyType::kBoolean:
      value->boolean = data.integer;
      return;
    case PropertyType::kText:
      // A whole string kept by the model: zero-terminated.
      value->text = data.text.data();
      return;
  }
}

}  // namespace calendar
