#include "tests/calendar_control/test_host.h"

#include <bit>
#include <cstring>
#include <stdexcept>

#include "calendar_control/month_calendar.h"

namespace calendar::testing {
namespace {

namespace control = runtime::control;

TestHost* current = nullptr;
constexpr wchar_t kFormClass[] = L"QhCalendarTestForm";

template <class Function>
Function EntryPoint(int number) {
  return reinterpret_cast<Function>(MonthCalendarEntryPoints(number));
}

void PutI32(std::vector<std::uint8_t>& out, std::int32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
}

}  // namespace

std::string Describe(const HostEvent& event) {
  static const char* const kNames[] = {"DateClicked", "DateHovered", "DateChanged", "DateRightClicked"};
  std::string text = event.index >= 0 && event.index < 4 ? kNames[event.index] : "Event" + std::to_string(event.index);
  if (!event.arguments.empty()) {
    text += "(";
    for (std::size_t i = 0; i < event.arguments.size(); ++i) {
      if (i > 0) text += ",";
      text += std::to_string(event.arguments[i]);
    }
    text += ")";
  }
  return text;
}

TestHost::TestHost() {
  if (current != nullptr) throw std::logic_error("one test host at a time");
  current = this;
  MonthCalendarLibraryNotify(control::kLibraryMessageSetHostNotify, reinterpret_cast<INT_PTR>(&TestHost::Notify),
                             0);
  WNDCLASSW formClass{};
  formClass.lpfnWndProc = &TestHost::FormProc;
  formClass.hInstance = GetModuleHandleW(nullptr);
  formClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  formClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  formClass.lpszClassName = kFormClass;
  RegisterClassW(&formClass);  // fails harmlessly when already registered
  form_ = CreateWindowExW(0, kFormClass, L"calendar test host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 600,
                          420, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(form_, SW_SHOW);
  SetForegroundWindow(form_);
  UpdateWindow(form_);
  Pump();
}

TestHost::~TestHost() {
  if (form_ != nullptr) DestroyWindow(form_);
  Pump(0);
  MonthCalendarLibraryNotify(control::kLibraryMessageSetHostNotify, 0, 0);
  current = nullptr;
}

LRESULT CALLBACK TestHost::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

INT_PTR TestHost::Notify(int code, INT_PTR arg1, INT_PTR arg2) {
  if (current == nullptr) return 0;
  switch (code) {
    case control::kNotifyGetUnitObject: {
      if (static_cast<std::uint32_t>(arg1) != kFormId) return 0;
      const auto it = current->units.find(static_cast<std::uint32_t>(arg2));
      return it == current->units.end() ? 0 : reinterpret_cast<INT_PTR>(it->second);
    }
    case control::kNotifyUnitDestroyed:
      current->destroyedUnits.push_back(static_cast<std::uint32_t>(arg2));
      current->units.erase(static_cast<std::uint32_t>(arg2));
      return 0;
    case control::kNotifyRaiseEvent: {
      const auto* record = reinterpret_cast<const control::HostEventRecord*>(arg1);
      HostEvent event{record->formId, record->unitId, record->eventIndex, {}};
      for (int i = 0; i < record->argumentCount && i < 5; ++i) event.arguments.push_back(record->arguments[i]);
      current->events.push_back(event);
      return 0;
    }
    default:
      return 0;
  }
}

control::ControlObject TestHost::Create(std::uint32_t unitId, std::span<const std::uint8_t> data, int x, int y,
                                        int width, int height) {
  const auto create = EntryPoint<control::CreateFunction>(control::kEntryCreate);
  control::ControlObject object =
      create(data.empty() ? nullptr : data.data(), static_cast<std::int32_t>(data.size()), WS_VISIBLE, form_,
             unitId, nullptr, x, y, width, height, kFormId, unitId, nullptr, FALSE);
  if (object != nullptr) units[unitId] = object;
  return object;
}

void TestHost::Pump(int settleMilliseconds) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(settleMilliseconds);
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (static_cast<LONG>(GetTickCount() - end) >= 0) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

void TestHost::ParkPointer() {
  SetCursorPos(1000, 740);
  Pump(100);
}

bool TestHost::Read(std::uint32_t unitId, int hostIndex, control::PropertyValue& value) {
  const auto get = EntryPoint<control::GetPropertyFunction>(control::kEntryGetProperty);
  return get(units.count(unitId) ? units[unitId] : nullptr, hostIndex - control::kFirstOwnProperty,
             &value) != FALSE;
}

void TestHost::Write(std::uint32_t unitId, int hostIndex, const control::PropertyValue& value) {
  const auto written = EntryPoint<control::PropertyWrittenFunction>(control::kEntryPropertyWritten);
  written(units.count(unitId) ? units[unitId] : nullptr, hostIndex - control::kFirstOwnProperty,
          &value);
}

std::vector<std::uint8_t> TestHost::StoredData(std::uint32_t unitId) {
  const auto get = EntryPoint<control::GetAllPropertyDataFunction>(control::kEntryGetAllPropertyData);
  HGLOBAL block = get(units.count(unitId) ? units[unitId] : nullptr);
  if (block == nullptr) return {};
  std::vector<std::uint8_t> bytes(GlobalSize(block));
  const void* memory = GlobalLock(block);
  std::memcpy(bytes.data(), memory, bytes.size());
  GlobalUnlock(block);
  GlobalFree(block);
  return bytes;
}

int TestHost::SetDate(std::uint32_t unitId, int year, int month, int day) {
  return MonthCalendarSetDate(kFormId, unitId, year, month, day);
}

std::vector<std::string> TestHost::EventNames() const {
  std::vector<std::string> names;
  for (const HostEvent& event : events) names.push_back(Describe(event));
  return names;
}

std::vector<std::uint8_t> StoredRecord(std::int32_t version, double date, std::int32_t mode, std::string_view format,
                                       std::int32_t showHeader) {
  std::vector<std::uint8_t> out;
  PutI32(out, version);
  const auto bits = std::bit_cast<std::uint64_t>(date);
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
  PutI32(out, mode);
  PutI32(out, static_cast<std::int32_t>(format.size()));
  out.insert(out.end(), format.begin(), format.end());
  if (version >= 2) PutI32(out, showHeader);
  return out;
}

std::vector<std::uint8_t> MainWindowRecord() { return StoredRecord(2, 40531.0, 1, "", 1); }

}  // namespace calendar::testing
