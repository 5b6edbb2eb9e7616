#pragma once

#include <string>

#include "calendar_control/month_model.h"

namespace qhcal {

// The month as the calendar control shows it: a header line with the
// selected day's text, seven Monday-first columns of Gregorian days with
// their lunar day (the month name on day 1), and the month's terms.
std::string RenderMonth(const calendar::MonthModel& model, bool ansi);

}  // namespace qhcal
