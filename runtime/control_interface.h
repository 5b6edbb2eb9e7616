// The interface between the form run-time (the host) and a control library
// such as the month calendar: numbered entry points, the host's notification
// function and its codes, the event record and the property numbering. The
// control implements it; the host calls it. Windows only.
#pragma once

#include <windows.h>

#include <cstdint>

namespace runtime::control {

// ---- Entry points, asked for by number -----------------------------------

enum EntryPointNumber : int {
  kEntryCreate = 1,
  kEntryPropertyUpdateQuery = 2,   // design time
  kEntryCustomPropertyDialog = 3,  // design time
  kEntryPropertyWritten = 4,
  kEntryGetAllPropertyData = 5,
  kEntryGetProperty = 6,
};

// What a property read hands over or a property write takes. Texts are GBK;
// on a read the pointer is the control's own copy, which the host copies.
union PropertyValue {
  std::int32_t integer;
  double dateTime;  // runtime::DateTime
  BOOL boolean;
  const char* text;
};

// The control object is opaque to the host.
using ControlObject = void*;

// 1: the stored property data (may be null) and its size; the window style,
// parent, control id, menu (ignored), rectangle (the control may take its
// own size), the host's form and unit ids, the design window (ignored) and
// the design-mode flag. Null on failure.
using CreateFunction = ControlObject (*)(const std::uint8_t* data, std::int32_t size, DWORD style,
                                         HWND parent, UINT id, HMENU menu, int x, int y, int width,
                                         int height, std::uint32_t formId, std::uint32_t unitId,
                                         HWND designWindow, BOOL designMode);
// 2 and 3, design time only.
using PropertyUpdateQueryFunction = BOOL (*)(ControlObject control, int index);
using CustomPropertyDialogFunction = BOOL (*)(ControlObject control, int index, HWND owner);
// 4: index is the control's own numbering (host index minus 8).
using PropertyWrittenFunction = int (*)(ControlObject control, int index, const PropertyValue* value);
// 5: a movable global block of exactly the stored length; the host owns it.
using GetAllPropertyDataFunction = HGLOBAL (*)(ControlObject control);
// 6: index as for 4. False only when no control object is given; a hidden
// index leaves *value as it was.
using GetPropertyFunction = BOOL (*)(ControlObject control, int index, PropertyValue* value);

// The control type's lookup: the entry point of a number, or null.
using EntryPointLookup = void* (*)(int number);

// ---- Notifications between library and host ------------------------------

// Library notification entry: message 1 hands over the host's notification
// function (arg1); the answer is 0. Any other message answers -1.
inline constexpr int kLibraryMessageSetHostNotify = 1;

// The host's notification function. Arguments and result are pointer-sized:
// they carry object and record addresses on 64-bit Windows.
using HostNotifyFunction = INT_PTR (*)(int code, INT_PTR arg1, INT_PTR arg2);
using LibraryNotifyFunction = INT_PTR (*)(int message, INT_PTR arg1, INT_PTR arg2);

inline constexpr int kNotifyUnitDestroyed = 2000;  // form id, unit id
inline constexpr int kNotifyGetUnitObject = 2007;  // form id, unit id -> ControlObject
inline constexpr int kNotifyRaiseEvent = 2008;     // HostEventRecord*, 0

// What a control passes to raise an event.
struct HostEventRecord {
  std::uint32_t formId;
  std::uint32_t unitId;
  std::int32_t eventIndex;
  std::int32_t argumentCount;
  std::int32_t arguments[5];
  std::int32_t returnFlag;   // always 0
  std::int32_t returnValue;  // always 0
};
static_assert(sizeof(HostEventRecord) == 44);

// Host property indices 0..7 are the standard properties every control has
// (left, top, width, height, tag, visible, disabled, mouse pointer), kept by
// the host; a control's entry points get the index minus this.
inline constexpr int kFirstOwnProperty = 8;

// ---- The month calendar's numbering ---------------------------------------

namespace month_calendar {

// Events.
inline constexpr int kDateClicked = 0;
inline constexpr int kDateHovered = 1;       // lunar year, month, day, leap
inline constexpr int kDateChanged = 2;
inline constexpr int kDateRightClicked = 3;  // as kDateHovered

// Host property indices; 0..7 are the standard properties every control has
// (kept by the host), the control's entry points get the index minus 8.
enum Property : int {
  kLeft = 0, kTop, kWidth, kHeight, kTag, kVisible, kDisabled, kMousePointer,
  kSelectedDate = 8,
  kLunarYear = 9,
  kLunarMonth = 10,
  kLunarDay = 11,
  kIsLeapMonth = 12,
  kCalendarMode = 13,
  kYearStemBranchText = 14,
  kLunarMonthText = 15,
  kLunarDayText = 16,
  kZodiacText = 17,
  kSolarTermText = 18,
  kWeekday = 19,
  kLunarMonthDays = 20,
  kLunarYearDays = 21,
  kDateFormat = 25,
  kDateText = 26,
  kShowHeader = 29,
};

// The library's one command: select (year, month, day) in the control the
// host knows by (form id, unit id). 1 when the day was selected, else 0.
using SetDateFunction = int (*)(std::uint32_t formId, std::uint32_t unitId, int year, int month, int day);

}  // namespace month_calendar

}  // namespace runtime::control
