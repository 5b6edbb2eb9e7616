// The month-calendar control type 农历月历 (CnMonthCalendar) as its host sees
// it: the entry-point lookup, the library notification entry and the
// library's one command, SetDate. Everything else is internal.
//
// The host registers the type under kMonthCalendarTypeName, hands over its
// notification function through MonthCalendarLibraryNotify (message 1),
// creates controls through entry point 1 with their stored property data,
// answers NotifyGetUnitObject with the object it got from create and
// dispatches the events raised through NotifyRaiseEvent.
#pragma once

#include <cstdint>

#include "runtime/control_interface.h"

namespace calendar {

// The type's names: 农历月历 (GBK) and the English one.
inline constexpr char kMonthCalendarTypeName[] = "农历月历";
inline constexpr char kMonthCalendarEnglishName[] = "CnMonthCalendar";

// The entry point of a number (1..6), or null. A runtime::control::EntryPointLookup.
void* MonthCalendarEntryPoints(int number);

// Message 1 keeps arg1 as the host's notification function (answer 0);
// any other message answers -1. A runtime::control::LibraryNotifyFunction.
INT_PTR MonthCalendarLibraryNotify(int message, INT_PTR arg1, INT_PTR arg2);

// SetDate: selects the day, with notification, in the control the host
// knows as (form id, unit id); 1 when the day was selected, 0 when it was
// refused or the host knows no such control. The grid is repainted either
// way. A runtime::control::month_calendar::SetDateFunction.
int MonthCalendarSetDate(std::uint32_t formId, std::uint32_t unitId, int year, int month, int day);

}  // namespace calendar
