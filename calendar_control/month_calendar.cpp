#include "calendar_control/month_calendar.h"

#include <span>
#include <type_traits>

#include "calendar_control/month_calendar_control.h"

namespace calendar {
namespace {

namespace control = runtime::control;

// Nothing thrown may reach the host: every entry point catches.

control::ControlObject Create(const std::uint8_t* data, std::int32_t size, DWORD style, HWND parent, UINT id,
                              HMENU /*menu*/, int x, int y, int /*width*/, int /*height*/, std::uint32_t formId,
                              std::uint32_t unitId, HWND /*designWindow*/, BOOL designMode) {
  try {
    std::span<const std::uint8_t> stored;
    if (data != nullptr && size >= 1) stored = std::span(data, static_cast<std::size_t>(size));
    return CnMonthCalendar::Create(stored, style, parent, id, x, y, formId, unitId, designMode);
  } catch (...) {
    return nullptr;
  }
}

BOOL PropertyUpdateQuery(control::ControlObject, int) { return TRUE; }

BOOL CustomPropertyDialog(control::ControlObject, int, HWND) { return FALSE; }

int PropertyWritten(control::ControlObject object, int index, const control::PropertyValue* value) {
  try {
    if (CnMonthCalendar* calendar = CnMonthCalendar::FromObject(object)) calendar->PropertyWritten(index, value);
  } catch (...) {
  }
  return 0;
}

HGLOBAL GetAllPropertyData(control::ControlObject object) {
  try {
    if (CnMonthCalendar* calendar = CnMonthCalendar::FromObject(object)) return calendar->GetAllPropertyData();
  } catch (...) {
  }
  return nullptr;
}

BOOL GetProperty(control::ControlObject object, int index, control::PropertyValue* value) {
  CnMonthCalendar* calendar = CnMonthCalendar::FromObject(object);
  if (calendar == nullptr) return FALSE;
  try {
    calendar->GetProperty(index, value);
  } catch (...) {
  }
  return TRUE;
}

// Entry points are handed out as untyped pointers; the host casts them back
// to the types of control_interface.h.
template <class Function>
void* Untyped(Function function) {
  return reinterpret_cast<void*>(function);
}

}  // namespace

void* MonthCalendarEntryPoints(int number) {
  switch (number) {
    case control::kEntryCreate:
      return Untyped<control::CreateFunction>(&Create);
    case control::kEntryPropertyUpdateQuery:
      return Untyped<control::PropertyUpdateQueryFunction>(&PropertyUpdateQuery);
    case control::kEntryCustomPropertyDialog:
      return Untyped<control::CustomPropertyDialogFunction>(&CustomPropertyDialog);
    case control::kEntryPropertyWritten:
      return Untyped<control::PropertyWrittenFunction>(&PropertyWritten);
    case control::kEntryGetAllPropertyData:
      return Untyped<control::GetAllPropertyDataFunction>(&GetAllPropertyData);
    case control::kEntryGetProperty:
      return Untyped<control::GetPropertyFunction>(&GetProperty);
    default:
      return nullptr;
  }
}

INT_PTR MonthCalendarLibraryNotify(int message, INT_PTR arg1, INT_PTR /*arg2*/) {
  if (message != control::kLibraryMessageSetHostNotify) return -1;
  SetHostNotify(reinterpret_cast<control::HostNotifyFunction>(arg1));
  return 0;
}

int MonthCalendarSetDate(std::uint32_t formId, std::uint32_t unitId, int year, int month, int day) {
  try {
    const INT_PTR object =
        CallHost(control::kNotifyGetUnitObject, static_cast<INT_PTR>(formId), static_cast<INT_PTR>(unitId));
    CnMonthCalendar* calendar = CnMonthCalendar::FromObject(reinterpret_cast<const void*>(object));
    if (calendar == nullptr) return 0;
    return calendar->SetDate(year, month, day);
  } catch (...) {
    return 0;
  }
}

// The signatures must stay those of the interface.
static_assert(std::is_same_v<decltype(&MonthCalendarEntryPoints), control::EntryPointLookup>);
static_assert(std::is_same_v<decltype(&MonthCalendarLibraryNotify), control::LibraryNotifyFunction>);
static_assert(std::is_same_v<decltype(&MonthCalendarSetDate), control::month_calendar::SetDateFunction>);

}  // namespace calendar
