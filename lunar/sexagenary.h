// The sixty-year cycle of stems and branches and the zodiac animals. The
// cycle year of this calendar changes at the moment of 立春, not at the lunar
// new year.
#pragma once

#include <string>

#include "runtime/date_time.h"

namespace lunar {

// Cycle numbers 1 (甲子) .. 60 (癸亥); 0 is no year (unsupported date).
// Stem 1..10, branch 1..12; cycle 0 gives (0, 0).
void SplitCycle(int cycle, int& stem, int& branch);
// The stem's character then the branch's; a number out of range adds nothing.
std::string GetStemBranchText(int stem, int branch);
std::string GetCycleText(int cycle);
// The cycle year the moment lies in, counted from 立春; 0 for a date outside
// 1901-02-19 .. 2048-12-31.
int GetYearCycle(runtime::DateTime moment);
// The animal of a branch number; empty for any other number.
std::string GetZodiacName(int branch);

}  // namespace lunar
