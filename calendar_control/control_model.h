// Everything the month calendar decides, apart from its windows: the stored
// properties, the selection, the header panel's state with its year and
// month selectors, the selection report and the property reads and writes.
// The Win32 view mirrors this state into windows and combo boxes and is told
// what to redraw through ModelObserver.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "calendar_control/calendar_props.h"
#include "calendar_control/selection.h"

namespace calendar {

// The year selector lists 1902..2047.
inline constexpr int kFirstListedYear = 1902;
inline constexpr int kLastListedYear = 2047;

// The contents of the two drop-down selectors. An entry of -1 is no selection.
struct SelectorModel {
  bool created = false;
  std::vector<std::string> years;
  int yearEntry = -1;
  std::vector<std::string> months;
  int monthEntry = -1;
  // The leap month of the year whose lunar months are listed; 0 for none.
  int monthListLeapMonth = 0;
  // Grow each time a list is filled anew, so a view refills only then.
  int yearListRevision = 0;
  int monthListRevision = 0;
};

class ModelObserver {
 public:
  virtual ~ModelObserver() = default;
  // The selection was set and the month rebuilt. With notify, the change is
  // to be reported to the host (asynchronously).
  virtual void SelectionChanged(bool notify) = 0;
  // The Gregorian-mode flag was set and the month rebuilt.
  virtual void ModeChanged() = 0;
  // A selector's list or entry changed.
  virtual void SelectorsChanged() = 0;
  // The header text changed (repaint the header bar).
  virtual void HeaderTextChanged() = 0;
  // The header bar was shown or hidden: the content size changed.
  virtual void HeaderVisibilityChanged() = 0;
};

// The host's property numbering (0..7 are the host's own).
enum class PropertyType { kHidden, kDateTime, kInteger, kBoolean, kText };
PropertyType PropertyTypeOf(int hostIndex);

// A property value: only the member of the property's type is meaningful.
// A text read points into the model and stays valid until the same property
// is read again or the model goes.
struct PropertyData {
  std::int32_t integer = 0;  // kInteger, kBoolean
  runtime::DateTime dateTime = 0;
  std::string_view text;
};

class MonthCalendarModel {
 public:
  // Selection and stored date start at `now`.
  explicit MonthCalendarModel(runtime::DateTime now);

  void SetObserver(ModelObserver* observer) { observer_ = observer; }

  CnMonthCalendarProps& props() { return props_; }
  const CnMonthCalendarProps& props() const { return props_; }
  const CalendarSelection& selection() const { return selection_; }
  const SelectorModel& selectors() const { return selectors_; }
  const std::string& headerText() const { return headerText_; }
  // The header flag as stored (0: hidden).
  std::int32_t headerFlag() const { return headerFlag_; }
  bool headerVisible() const { return headerFlag_ != 0; }

  // 1 selected (also the same day again), 0 refused.
  int SelectDay(int year, int month, int day, bool notify);
  int SelectLunarDate(int lunarYear, int month, int day, bool leap, bool notify);

  // The steps of creation after the windows exist.
  // The panel is live: render the header text and mark the selection.
  void PanelCreated();
  // Gregorian mode exactly when mode is 1: rebuild the month, fill the year
  // selector (creating the selectors) and synchronise both selectors.
  void ApplyMode(std::int32_t mode);
  // Header visible when the flag is not 0; nothing happens when it equals the
  // current flag.
  void SetHeaderFlag(std::int32_t flag);
  // DateFormat: the record's copy and the panel's; re-renders the header.
  void SetFormat(std::string_view format);

  // CalendarNotify 3: synchronise the selectors, re-render the header text,
  // keep it as DateText and mark the selection. The view then sets the
  // window text and raises DateChanged.
  void ReportSelection();

  // Header selectors (entries as in SelectorModel).
  void FillYearSelector();
  void FillMonthSelector(int year, bool refill);
  void SyncSelectors();
  void YearSelectorChanged(int entry);
  void MonthSelectorChanged(int entry);
  void ApplySelectors();

  // Property reads and writes by host index. A read answers false for a
  // hidden index (the host's value stays as it was).
  bool ReadProperty(int hostIndex, PropertyData& value);
  void WriteProperty(int hostIndex, const PropertyData& value);

 private:
  int Selected(SelectOutcome outcome, bool notify);
  void RenderHeaderText();
  void RerenderHeaderText();
  // The year the selectors show: Gregorian in Gregorian mode, lunar otherwise.
  int SelectorYear() const;
  void WriteLunarField(int hostIndex, std::int32_t value);
  void Notify(void (ModelObserver::*event)());

  ModelObserver* observer_ = nullptr;
  CnMonthCalendarProps props_;
  CalendarSelection selection_;
  SelectorModel selectors_;
  std::string headerText_;
  std::string formatCopy_;
  std::int32_t headerFlag_ = 1;
};

}  // namespace calendar
