// What the calendar draws, read back as pixels: the routines rendered into a
// DIB, and the real control on the screen (marked, hovered, outside-month
// cells, weekday colours, header bar). Screenshots of the control are kept
// in the build's artifacts folder. And the drawing context's promise: every
// routine leaves the device context as it found it.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "calendar_control/grid_painter.h"
#include "calendar_control/month_calendar_control.h"
#include "calendar_control/tracking_dc.h"
#include "runtime/date_time.h"
#include "tests/calendar_control/pixels.h"
#include "tests/calendar_control/test_host.h"

namespace calendar::testing {
namespace {

using lunar::DateRec;

runtime::DateTime At(int y, int m, int d) { return *runtime::DateTimeFromParts(y, m, d, 0, 0, 0); }

const Rgb kCell{255, 250, 194};
const Rgb kLine{0, 0, 255};
const Rgb kBar{41, 109, 181};
const Rgb kMarked{143, 235, 119};
const Rgb kHovered{0, 0, 255};
const Rgb kOutside{211, 217, 214};
const Rgb kHeader{134, 138, 182};

// A pixel of a cell's background: left of its centred texts, between them.
POINT Background(int index) {
  const PixelRect r = GridMetrics().CellRect(index);
  return {r.left + 3, r.top + 16};
}

// Counts the pixels of a rectangle that pass a test.
template <class Test>
int Count(const Dib& dib, const PixelRect& r, Test test) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) n += test(dib.At(x, y)) ? 1 : 0;
  }
  return n;
}

std::filesystem::path ArtifactDir() {
  std::filesystem::path dir(QH_ARTIFACT_DIR);
  std::filesystem::create_directories(dir);
  return dir;
}

#define EXPECT_PIXEL(dib, point, colour) \
  EXPECT_EQ(ToString((dib).At((point).x, (point).y)), ToString(colour)) << "at " << (point).x << "," << (point).y

// ---- The routines, into a DIB ------------------------------------------------------

class GridRender : public ::testing::Test {
 protected:
  GridRender() : selection_(At(2010, 12, 19)) {
    selection_.SetGregorianMode(true);
    selection_.MarkSelection();
  }
  GridPicture Picture() { return GridPicture{metrics_, colours_, selection_, hoverText_}; }

  GridMetrics metrics_;
  GridColours colours_;
  CalendarSelection selection_;
  std::string hoverText_;
  Dib dib_{365, 232};
};

TEST_F(GridRender, ColoursAndLines) {
  PaintGrid(dib_.Dc(), Picture());
  // Gregorian December 2010: the 19th (cell 20) is marked, cells 0, 1 and
  // 33 to 41 are outside the month.
  EXPECT_PIXEL(dib_, Background(20), kMarked);
  for (int index : {0, 1, 33, 41}) EXPECT_PIXEL(dib_, Background(index), kOutside);
  for (int index : {2, 10, 19, 21, 32}) EXPECT_PIXEL(dib_, Background(index), kCell);
  // Bars and their borders, grid lines.
  EXPECT_PIXEL(dib_, (POINT{2, 10}), kBar);
  EXPECT_PIXEL(dib_, (POINT{2, 222}), kBar);
  for (POINT p : {POINT{0, 10}, POINT{364, 10}, POINT{100, 0}, POINT{100, 19}, POINT{52, 30}, POINT{30, 52},
                  POINT{200, 212}, POINT{200, 231}, POINT{364, 100}}) {
    EXPECT_PIXEL(dib_, p, kLine);
  }
  EXPECT_PIXEL(dib_, (POINT{53, 30}), kOutside);  // cell 1, right of the line
}

TEST_F(GridRender, TextColours) {
  PaintGrid(dib_.Dc(), Picture());
  const auto around = [](int a, int b) { return a >= b - 40 && a <= b + 40; };
  // Weekday names: white Monday to Friday, 0xE5FD02 on Saturday and Sunday.
  const auto whitish = [&](Rgb p) { return p.r > 200 && p.g > 200 && p.b > 200; };
  const auto weekend = [&](Rgb p) { return p.r < 60 && p.g > 210 && around(p.b, 229); };
  for (int column = 0; column < 7; ++column) {
    const PixelRect r{column * 52 + 1, 1, column * 52 + 52, 19};
    if (column < 5) {
      EXPECT_GT(Count(dib_, r, whitish), 10) << column;
      EXPECT_EQ(Count(dib_, r, weekend), 0) << column;
    } else {
      EXPECT_GT(Count(dib_, r, weekend), 10) << column;
      EXPECT_EQ(Count(dib_, r, whitish), 0) << column;
    }
  }
  // A normal cell: red lunar text on top, black day number below.
  const PixelRect cell = metrics_.CellRect(10);
  const PixelRect top{cell.left + 1, cell.top + 1, cell.right - 1, cell.top + 17};
  const PixelRect bottom{cell.left + 1, cell.top + 17, cell.right - 1, cell.bottom - 1};
  const auto red = [](Rgb p) { return p.r > 200 && p.g < 90 && p.b < 90; };
  const auto black = [](Rgb p) { return p.r < 80 && p.g < 80 && p.b < 80; };
  EXPECT_GT(Count(dib_, top, red), 5);
  EXPECT_EQ(Count(dib_, top, black), 0);
  EXPECT_GT(Count(dib_, bottom, black), 5);
  EXPECT_EQ(Count(dib_, bottom, red), 0);
  // The marked cell's lunar text is blue-violet (60, 0, 255).
  const PixelRect marked = metrics_.CellRect(20);
  EXPECT_GT(Count(dib_, {marked.left + 1, marked.top + 1, marked.right - 1, marked.top + 17},
                  [](Rgb p) { return p.b > 200 && p.g < 90; }),
            5);
  // The footer's term line starts at its left, in white.
  EXPECT_GT(Count(dib_, {5, 213, 120, 231}, whitish), 20);
  EXPECT_EQ(Count(dib_, {250, 213, 360, 231}, whitish), 0);  // no hover text
}

TEST_F(GridRender, HoveredCells) {
  PaintGrid(dib_.Dc(), Picture());
  PaintCell(dib_.Dc(), Picture(), 22, true);
  EXPECT_PIXEL(dib_, Background(22), kHovered);
  const PixelRect cell = metrics_.CellRect(22);
  const PixelRect inside{cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1};
  EXPECT_GT(Count(dib_, inside, [](Rgb p) { return p.r > 200 && p.g > 200 && p.b > 200; }), 5);  // white number
  EXPECT_GT(Count(dib_, inside, [](Rgb p) { return p.r < 60 && p.g > 200 && p.b > 200; }), 5);   // cyan lunar text
  // The marked day and a day outside the month keep their colours.
  PaintCell(dib_.Dc(), Picture(), 20, true);
  EXPECT_PIXEL(dib_, Background(20), kMarked);
  PaintCell(dib_.Dc(), Picture(), 0, true);
  EXPECT_PIXEL(dib_, Background(0), kOutside);
  // The hover text goes to the right of the footer.
  hoverText_ = "庚寅年(虎)冬月十六 2010-12-21";
  PaintFooter(dib_.Dc(), Picture());
  EXPECT_GT(Count(dib_, {250, 213, 360, 231}, [](Rgb p) { return p.r > 200 && p.g > 200 && p.b > 200; }), 20);
}

TEST_F(GridRender, HeaderBar) {
  Dib header(365, 262);
  PaintHeaderBar(header.Dc(), RECT{0, 0, 365, 262}, "庚寅年(虎)冬月十四 2010-12-19");
  EXPECT_PIXEL(header, (POINT{0, 0}), kHeader);
  EXPECT_PIXEL(header, (POINT{364, 29}), kHeader);
  EXPECT_PIXEL(header, (POINT{180, 2}), kHeader);
  EXPECT_PIXEL(header, (POINT{100, 30}), (Rgb{0, 0, 0}));  // below the bar: untouched
  const auto white = [](Rgb p) { return p.r > 220 && p.g > 220 && p.b > 220; };
  EXPECT_GT(Count(header, {175, 0, 360, 30}, white), 30);
  EXPECT_EQ(Count(header, {0, 0, 175, 30}, white), 0);
}

// ---- The drawing context -----------------------------------------------------------

std::vector<std::string>* traceLines = nullptr;
void KeepTrace(const char* message) { traceLines->push_back(message); }

struct DcState {
  HGDIOBJ pen, brush, font;
  COLORREF text, background;
  int mode;
  friend bool operator==(const DcState&, const DcState&) = default;
};
DcState StateOf(HDC dc) {
  return {GetCurrentObject(dc, OBJ_PEN), GetCurrentObject(dc, OBJ_BRUSH), GetCurrentObject(dc, OBJ_FONT),
          GetTextColor(dc), GetBkColor(dc), GetBkMode(dc)};
}

TEST_F(GridRender, EveryRoutineLeavesTheContextAsItFoundIt) {
  std::vector<std::string> trace;
  traceLines = &trace;
  const CTrackingDC::TraceSink previous = CTrackingDC::SetTraceSink(&KeepTrace);

  Dib dib(400, 300);
  HDC dc = dib.Dc();
  HPEN pen = CreatePen(PS_DOT, 1, RGB(1, 2, 3));
  HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
  HFONT font = CreateFontW(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetTextColor(dc, RGB(7, 8, 9));
  SetBkColor(dc, RGB(10, 11, 12));
  SetBkMode(dc, OPAQUE);
  const DcState before = StateOf(dc);

  hoverText_ = "庚寅年(虎)冬月十六 2010-12-21";
  const std::vector<std::pair<const char*, std::function<void()>>> routines = {
      {"weekday row", [&] { PaintWeekdayRow(dc, Picture()); }},
      {"day area", [&] { PaintDayArea(dc, Picture()); }},
      {"cell", [&] { PaintCell(dc, Picture(), 22, false); }},
      {"hovered cell", [&] { PaintCell(dc, Picture(), 22, true); }},
      {"footer", [&] { PaintFooter(dc, Picture()); }},
      {"grid", [&] { PaintGrid(dc, Picture()); }},
      {"header bar", [&] { PaintHeaderBar(dc, RECT{0, 0, 365, 262}, "2010-12-19"); }},
  };
  for (const auto& [name, routine] : routines) {
    trace.clear();
    routine();
    EXPECT_TRUE(StateOf(dc) == before) << name;
    int created = 0, deleted = 0, detached = 0;
    for (const std::string& line : trace) {
      created += line.rfind("+ Create ", 0) == 0;
      deleted += line.rfind("- Delete ", 0) == 0;
      if (line.rfind("After RemoveDC()", 0) == 0) {
        ++detached;
        EXPECT_EQ(line, "After RemoveDC(), pen counter: 0, bursh counter: 0, font counter: 0 \n") << name;
      }
      EXPECT_EQ(line.find("ERROR"), std::string::npos) << name << ": " << line;
    }
    EXPECT_GT(created, 0) << name;
    EXPECT_EQ(created, deleted) << name;
    EXPECT_GT(detached, 0) << name;
  }

  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldFont);
  DeleteObject(pen);
  DeleteObject(brush);
  DeleteObject(font);
  CTrackingDC::SetTraceSink(previous);
  traceLines = nullptr;
}

TEST(TrackingDc, PenBrushAndFontDescriptions) {
  Dib dib(10, 10);
  HDC dc = dib.Dc();
  const HGDIOBJ originalPen = GetCurrentObject(dc, OBJ_PEN);
  {
    CTrackingDC tdc(dc);
    EXPECT_EQ(tdc.penCount(), 1);
    EXPECT_EQ(tdc.brushCount(), 1);
    EXPECT_EQ(tdc.fontCount(), 1);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);

    LOGPEN pen{};
    tdc.SetPen(RGB(1, 2, 3), 3, PS_DASH);
    tdc.SetPen(RGB(4, 5, 6));  // width and style kept
    GetObjectW(GetCurrentObject(dc, OBJ_PEN), sizeof pen, &pen);
    EXPECT_EQ(pen.lopnColor, RGB(4, 5, 6));
    EXPECT_EQ(pen.lopnWidth.x, 3);
    EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_DASH));
    EXPECT_EQ(tdc.penCount(), 1);  // the old pen went when the new one came

    LOGBRUSH brush{};
    tdc.SetBrush(RGB(7, 8, 9), BS_HATCHED, HS_CROSS);
    tdc.SetBrush(RGB(9, 9, 9));
    GetObjectW(GetCurrentObject(dc, OBJ_BRUSH), sizeof brush, &brush);
    EXPECT_EQ(brush.lbColor, RGB(9, 9, 9));
    EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_HATCHED));
    EXPECT_EQ(brush.lbHatch, static_cast<ULONG_PTR>(HS_CROSS));

    // The own font passed to itself: an equal font, made anew.
    LOGFONTW first{}, second{};
    GetObjectW(tdc.OwnFont(), sizeof first, &first);
    EXPECT_EQ(first.lfHeight, -12);
    EXPECT_EQ(first.lfCharSet, DEFAULT_CHARSET);
    tdc.SetFont(tdc.OwnFont());
    GetObjectW(tdc.OwnFont(), sizeof second, &second);
    EXPECT_EQ(std::memcmp(&first, &second, sizeof first), 0);
    EXPECT_EQ(tdc.fontCount(), 1);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), tdc.OwnFont());

    tdc.Detach();
    EXPECT_EQ(tdc.penCount(), 0);
    EXPECT_EQ(tdc.brushCount(), 0);
    EXPECT_EQ(tdc.fontCount(), 0);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), originalPen);
    tdc.Detach();  // nothing attached: nothing happens
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), originalPen);
}

// ---- The real control on the screen ------------------------------------------------

class ScreenTest : public ::testing::Test {
 protected:
  static constexpr std::uint32_t kUnit = 1;

  void SetUp() override { host_.ParkPointer(); }

  void Create(const std::vector<std::uint8_t>& data) {
    object_ = host_.Create(kUnit, data, 0, 0, 365, 262);
    ASSERT_NE(object_, nullptr);
    calendar_ = CnMonthCalendar::FromObject(object_);
    host_.Pump(300);  // the first paint, and a moment for the screen
  }
  HWND Grid() { return calendar_->panel().grid().Window(); }
  // The grid window's pixels as the screen shows them.
  void CaptureGrid() {
    UpdateWindow(host_.ControlWindow(kUnit));
    host_.Pump(100);
    grid_.CopyFrom(Grid());
  }
  void Hover(int index) {
    const PixelRect r = GridMetrics().CellRect(index);
    POINT p{r.left + 26, r.top + 16};
    POINT screen = p;
    ClientToScreen(Grid(), &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageW(Grid(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    host_.Pump(100);
  }
  void SaveControl(const char* name) {
    RECT r;
    GetWindowRect(host_.ControlWindow(kUnit), &r);
    Dib shot(r.right - r.left, r.bottom - r.top);
    shot.CopyFromScreen(r.left, r.top);
    EXPECT_TRUE(shot.SaveBmp((ArtifactDir() / name).wstring()));
  }

  TestHost host_;
  runtime::control::ControlObject object_ = nullptr;
  CnMonthCalendar* calendar_ = nullptr;
  Dib grid_{365, 232};
};

TEST_F(ScreenTest, MarkedHoveredAndOutsideCells) {
  Create(MainWindowRecord());
  Hover(22);  // 2010-12-21
  CaptureGrid();
  EXPECT_PIXEL(grid_, Background(20), kMarked);
  EXPECT_PIXEL(grid_, Background(22), kHovered);
  EXPECT_PIXEL(grid_, Background(0), kOutside);
  EXPECT_PIXEL(grid_, Background(10), kCell);
  EXPECT_PIXEL(grid_, (POINT{2, 10}), kBar);
  EXPECT_PIXEL(grid_, (POINT{52, 30}), kLine);
  const auto whitish = [](Rgb p) { return p.r > 200 && p.g > 200 && p.b > 200; };
  EXPECT_GT(Count(grid_, {250, 213, 360, 231}, whitish), 20);  // hover text in the footer
  SaveControl("calendar_gregorian_hover.bmp");

  // The header bar of the panel, between the month selector and the text.
  Dib control(365, 262);
  control.CopyFrom(host_.ControlWindow(kUnit));
  EXPECT_PIXEL(control, (POINT{171, 15}), kHeader);
  EXPECT_PIXEL(control, (POINT{1, 1}), kHeader);
  EXPECT_PIXEL(control, (POINT{2, 40}), kBar);  // the grid's weekday row below it

  // Leaving the grid takes the hover away (the system polls the pointer).
  host_.ParkPointer();
  EXPECT_TRUE(host_.PumpUntil([&] { return calendar_->panel().grid().hoverIndex() == -1; }, 3000));
  CaptureGrid();
  EXPECT_PIXEL(grid_, Background(22), kCell);
  EXPECT_EQ(Count(grid_, {250, 213, 360, 231}, whitish), 0);
}

TEST_F(ScreenTest, MarkedDayMovesOnlyWhenReported) {
  Create(MainWindowRecord());
  // A click: reported, so the marked day moves.
  const PixelRect r = GridMetrics().CellRect(25);
  SendMessageW(Grid(), WM_LBUTTONUP, 0, MAKELPARAM(r.left + 26, r.top + 16));
  host_.Pump(100);
  CaptureGrid();
  EXPECT_PIXEL(grid_, Background(25), kMarked);
  EXPECT_PIXEL(grid_, Background(20), kCell);

  // The month selector: November is shown and the 24th selected, but not
  // reported: nothing of November is marked.
  HWND months = calendar_->panel().monthSelector();
  SendMessageW(months, CB_SETCURSEL, 10, 0);
  SendMessageW(calendar_->panel().Window(), WM_COMMAND, MAKEWPARAM(1020, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(months));
  CaptureGrid();
  EXPECT_EQ(calendar_->model().selection().selection(), DateRec(2010, 11, 24));
  // November 2010 starts on a Monday: the 24th is cell 23.
  EXPECT_PIXEL(grid_, Background(23), kCell);
  EXPECT_EQ(Count(grid_, {0, 20, 365, 212}, [](Rgb p) { return p == kMarked; }), 0);
}

TEST_F(ScreenTest, LunarModeScreenshot) {
  Create(StoredRecord(2, At(2009, 7, 2), 0, "", 1));  // lunar 2009 闰五月初十
  Hover(16);
  CaptureGrid();
  // The leap fifth month starts on Tuesday 2009-06-23 (cell 1); the 2nd of
  // July is marked (cell 10).
  EXPECT_PIXEL(grid_, Background(0), kOutside);
  EXPECT_PIXEL(grid_, Background(1), kCell);
  EXPECT_PIXEL(grid_, Background(10), kMarked);
  EXPECT_PIXEL(grid_, Background(16), kHovered);
  SaveControl("calendar_lunar_leap_month.bmp");

  // Without the header the grid takes the top.
  runtime::control::PropertyValue hide{};
  hide.boolean = FALSE;
  calendar_->PropertyWritten(runtime::control::month_calendar::kShowHeader - 8, &hide);
  host_.Pump(200);
  Dib control(365, 232);
  control.CopyFrom(host_.ControlWindow(kUnit));
  EXPECT_PIXEL(control, (POINT{2, 10}), kBar);
  SaveControl("calendar_lunar_no_header.bmp");
}

}  // namespace
}  // namespace calendar::testing
