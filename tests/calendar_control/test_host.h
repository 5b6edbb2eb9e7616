// A host for the month calendar in tests: a real top-level window to place
// controls on, the host's notification function (unit objects, destroyed
// units, events recorded in order), the entry points as typed calls and a
// message pump.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "runtime/control_interface.h"

namespace calendar::testing {

struct HostEvent {
  std::uint32_t formId = 0;
  std::uint32_t unitId = 0;
  int index = 0;
  std::vector<std::int32_t> arguments;
};

// "DateChanged", "DateHovered(2010,11,14,0)", ...
std::string Describe(const HostEvent& event);

class TestHost {
 public:
  static constexpr std::uint32_t kFormId = 7;

  TestHost();
  ~TestHost();
  TestHost(const TestHost&) = delete;
  TestHost& operator=(const TestHost&) = delete;

  HWND Form() const { return form_; }

  // Entry point 1 with the stored data (an empty span passes no data). The
  // object is kept as the unit's object for NotifyGetUnitObject.
  runtime::control::ControlObject Create(std::uint32_t unitId, std::span<const std::uint8_t> data, int x = 0,
                                         int y = 0, int width = 100, int height = 50);
  // The control window of a unit (its id is the unit id).
  HWND ControlWindow(std::uint32_t unitId) const { return GetDlgItem(form_, static_cast<int>(unitId)); }

  // Handles every message waiting, then waits a little for more, so that
  // posted messages and paints have happened when it returns.
  void Pump(int settleMilliseconds = 20);
  // Pumps until the condition holds or the time is up; the condition's
  // last answer.
  template <class Condition>
  bool PumpUntil(Condition condition, int timeoutMilliseconds) {
    const DWORD start = GetTickCount();
    while (!condition()) {
      if (GetTickCount() - start > static_cast<DWORD>(timeoutMilliseconds)) return false;
      Pump(10);
    }
    return true;
  }

  // Moves the pointer to a corner far from the host's window and handles
  // the moves still queued.
  void ParkPointer();

  // Entry points 4..6 by host index.
  bool Read(std::uint32_t unitId, int hostIndex, runtime::control::PropertyValue& value);
  void Write(std::uint32_t unitId, int hostIndex, const runtime::control::PropertyValue& value);
  std::vector<std::uint8_t> StoredData(std::uint32_t unitId);
  int SetDate(std::uint32_t unitId, int year, int month, int day);

  // Events in the order they were raised, as Describe texts.
  std::vector<std::string> EventNames() const;
  std::vector<HostEvent> events;
  std::vector<std::uint32_t> destroyedUnits;
  // Units the host knows; the object is forgotten when the unit is destroyed.
  std::map<std::uint32_t, runtime::control::ControlObject> units;

 private:
  static INT_PTR Notify(int code, INT_PTR arg1, INT_PTR arg2);
  static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND form_ = nullptr;
};

// The main window's stored record: version 2, 2010-12-19 00:00, mode 1,
// empty format, header shown (24 bytes).
std::vector<std::uint8_t> MainWindowRecord();
// A record with the given fields (version 2 when showHeader is given).
std::vector<std::uint8_t> StoredRecord(std::int32_t version, double date, std::int32_t mode, std::string_view format,
                                       std::int32_t showHeader);

}  // namespace calendar::testing
