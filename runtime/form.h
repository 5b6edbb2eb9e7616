// The form run-time: windows built from fixed descriptions (the window and
// its controls in creation order, each with a kind, a name, a rectangle,
// visible and disabled flags and a caption), handlers bound to their events,
// and the host side of custom controls such as the month calendar (stored
// property data, entry points, notifications, event dispatch).
//
// Names, captions and titles are the program's GBK texts; everything reaches
// the system through the W functions, converted with code page 936.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/control_interface.h"
#include "runtime/date_time.h"
#include "runtime/web_panel.h"

namespace runtime::form {

struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
};

enum class ControlKind { kButton, kEdit, kWebBrowser, kTimer, kStatusBar, kCustom };

struct FontDescription {
  std::string_view face;  // empty: the system's dialog font
  int height = 0;         // character height in pixels
  int weight = FW_NORMAL;
};

struct ControlDescription {
  ControlKind kind = ControlKind::kButton;
  std::string_view name;
  Rect rect;
  bool visible = true;
  bool disabled = false;
  std::string_view caption;
  FontDescription font;
  int timerPeriod = 0;                           // kTimer, milliseconds
  std::vector<int> statusPartWidths;             // kStatusBar; the last part reaches the right edge
  std::vector<std::string_view> statusTexts;     // kStatusBar, fixed texts by part
  std::string_view customType;                   // kCustom: a registered control type
  std::span<const std::uint8_t> customData;      // kCustom: its stored property data
  std::string_view webAddress;                   // kWebBrowser
  std::string_view placeholder;                  // kWebBrowser: shown where no page can be
};

// A control of the kind and name at the rectangle, visible and enabled.
inline ControlDescription MakeControl(ControlKind kind, std::string_view name, Rect rect = {}) {
  ControlDescription description;
  description.kind = kind;
  description.name = name;
  description.rect = rect;
  return description;
}

struct MenuDescription {
  // An entry, or a menu of entries.
  MenuDescription(std::string_view entryCaption, bool isChecked = false, bool isDisabled = false)
      : caption(entryCaption), checked(isChecked), disabled(isDisabled) {}
  MenuDescription(std::string_view menuCaption, std::vector<MenuDescription> entries)
      : caption(menuCaption), items(std::move(entries)) {}

  std::string_view caption;  // also the entry's name: unique within a window
  bool checked = false;
  bool disabled = false;
  std::vector<MenuDescription> items;
};

enum class Frame {
  // Title bar with system menu, minimise and close buttons; fixed size.
  kFixedSingle,
  // No title bar; a resizable frame with a sunken client edge; no taskbar
  // button; moved by dragging anywhere inside.
  kBorderlessSunken,
};

struct WindowDescription {
  std::string_view title;
  int width = 0, height = 0;  // outer size
  Frame frame = Frame::kFixedSingle;
  HICON icon = nullptr;
  HICON smallIcon = nullptr;
  // Shown over the client area and over custom controls.
  HCURSOR cursor = nullptr;
  bool escapeCloses = false;
  std::vector<MenuDescription> menu;
  std::vector<ControlDescription> controls;
};

// A custom control type: its entry points and library notification entry.
struct ControlType {
  std::string_view name;
  control::EntryPointLookup entryPoints = nullptr;
  control::LibraryNotifyFunction libraryNotify = nullptr;
};
// Registers the type and hands it the host's notification function.
void RegisterControlType(const ControlType& type);

class Form {
 public:
  explicit Form(WindowDescription description);
  ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // Handlers, bound before Load.
  void OnCreated(std::function<void()> handler);
  void OnClicked(std::string_view control, std::function<void()> handler);
  void OnTimer(std::string_view control, std::function<void()> handler);
  void OnMenu(std::string_view caption, std::function<void()> handler);
  void OnControlEvent(std::string_view control, int event,
                      std::function<void(const control::HostEventRecord&)> handler);
  // Mouse moves over the client area, client coordinates.
  void OnMouseMove(std::function<void(int x, int y, WPARAM keys)> handler);
  // Any other window message the window should answer (tray callbacks, ...).
  void OnMessage(UINT message, std::function<LRESULT(WPARAM, LPARAM)> handler);
  // Runs when the window is being destroyed, before its controls go.
  void OnDestroyed(std::function<void()> handler);

  // Creates the window and its controls in order, runs the created handler,
  // then shows the window centred on the screen. False when the window
  // cannot be created.
  bool Load();
  // Load, then a nested message loop with the owner disabled until the
  // window is destroyed; the owner is enabled again afterwards.
  void ShowModal(HWND owner);
  void Destroy();

  HWND Window() const { return window_; }
  bool IsLive() const { return window_ != nullptr; }
  std::uint32_t FormId() const { return formId_; }

  HWND Control(std::string_view name) const;
  void SetVisible(std::string_view control, bool visible);
  bool IsVisible(std::string_view control) const;
  void SetDisabled(std::string_view control, bool disabled);
  bool IsDisabled(std::string_view control) const;
  void SetCaption(std::string_view control, std::string_view caption);
  Text Caption(std::string_view control) const;

  HMENU Menu() const { return menu_; }
  // The popup of a top-level menu (文件 ...), or nullptr.
  HMENU SubMenu(std::string_view caption) const;
  void SetMenuChecked(std::string_view caption, bool checked);
  bool IsMenuChecked(std::string_view caption) const;
  void SetMenuDisabled(std::string_view caption, bool disabled);
  bool IsMenuDisabled(std::string_view caption) const;
  // The command id of a menu entry (0 for none), and running its handler as
  // choosing it does (nothing while it is disabled).
  UINT MenuCommandId(std::string_view caption) const;
  void RunMenuCommand(UINT id);

  // Custom controls: the control object, the properties and the unit ids.
  control::ControlObject ControlObjectOf(std::string_view control) const;
  bool ReadProperty(std::string_view control, int index, control::PropertyValue& value) const;
  void WriteProperty(std::string_view control, int index, const control::PropertyValue& value);
  std::uint32_t UnitId(std::string_view control) const;

  // The host's side of the notification function (see RegisterControlType).
  static INT_PTR HostNotify(int code, INT_PTR arg1, INT_PTR arg2);

 private:
  struct LiveControl {
    const ControlDescription* description = nullptr;
    std::uint32_t unitId = 0;
    HWND window = nullptr;
    HFONT font = nullptr;
    const ControlType* type = nullptr;
    control::ControlObject object = nullptr;
    std::unique_ptr<WebPanel> webPanel;
  };
  struct MenuEntry {
    UINT id = 0;
    HMENU owner = nullptr;
    HMENU popup = nullptr;
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool CreateControls();
  void CreateControl(LiveControl& live);
  void BuildMenu();
  void AddMenuItems(HMENU parent, const std::vector<MenuDescription>& items);
  const LiveControl* Find(std::string_view name) const;
  LiveControl* Find(std::string_view name);
  LiveControl* FindByUnit(std::uint32_t unitId);
  const MenuEntry* FindMenu(std::string_view caption) const;
  bool IsCustomControlWindow(HWND window) const;
  void ReleaseControls();

  WindowDescription description_;
  std::uint32_t formId_;
  HWND window_ = nullptr;
  HMENU menu_ = nullptr;
  std::vector<LiveControl> controls_;
  std::map<std::string, MenuEntry, std::less<>> menuEntries_;
  std::map<UINT, std::string> menuCaptions_;

  std::function<void()> created_;
  std::function<void()> destroyed_;
  std::function<void(int, int, WPARAM)> mouseMove_;
  std::map<std::string, std::function<void()>, std::less<>> clicked_;
  std::map<std::string, std::function<void()>, std::less<>> timers_;
  std::map<std::string, std::function<void()>, std::less<>> menuHandlers_;
  std::map<std::pair<std::string, int>, std::function<void(const control::HostEventRecord&)>, std::less<>>
      controlEvents_;
  std::map<UINT, std::function<LRESULT(WPARAM, LPARAM)>> messages_;
};

// Runs the thread's message loop until no form window is left (or WM_QUIT).
int RunMessageLoop();

}  // namespace runtime::form
