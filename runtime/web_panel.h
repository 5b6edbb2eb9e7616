// The web panel of a window: the system's WebBrowser control showing one
// page, or a plain placeholder panel where the system has no browser engine
// that can show a document.
//
// The panel is a child window of its own class (L"QhWebPanel") at the given
// rectangle. It first lets the browser show "about:blank" as a probe: once a
// document has arrived, the engine works and the panel navigates to the
// address; if the browser cannot be created, activated or navigated, or no
// document arrives within the timeout, the browser is torn down and the panel
// paints the placeholder text instead. Probing with a local page keeps a slow
// or unreachable web site from being mistaken for a missing engine.
//
// Everything runs on the thread that creates the panel, which must run a
// message loop. The browser is released when the panel's window is destroyed
// (with its parent, or by the destructor), also before any document arrived.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

struct IConnectionPoint;
struct IOleObject;
struct IWebBrowser2;

namespace runtime {

class WebPanel {
 public:
  static constexpr UINT kDefaultTimeoutMs = 5000;

  // `rect` is in the parent's client coordinates, right and bottom exclusive
  // (368, 0, 752, 315 for a 384 x 315 panel at 368, 0). The panel is visible.
  // nullptr only when the panel's window cannot be created. OLE is
  // initialised on the calling thread if it is not yet; it is never
  // uninitialised (other code of the thread may still use COM).
  static std::unique_ptr<WebPanel> Create(HWND parent, RECT rect, std::wstring_view address,
                                          std::wstring_view placeholderText, UINT timeoutMs = kDefaultTimeoutMs);

  // Destroys the panel's window if it still exists.
  ~WebPanel();
  WebPanel(const WebPanel&) = delete;
  WebPanel& operator=(const WebPanel&) = delete;

  // The browser is in place and has shown a document (the page may still be
  // loading).
  bool ShowsDocument() const { return state_ == State::kDocument; }
  // The browser was given up and the placeholder is painted.
  bool ShowsPlaceholder() const { return state_ == State::kPlaceholder; }

 private:
  enum class State { kWaiting, kDocument, kPlaceholder, kDestroyed };
  class Site;

  WebPanel(std::wstring_view address, std::wstring_view placeholderText, UINT timeoutMs);

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void PaintBuffered(HDC dc) const;
  void OnPaint(HDC dc) const;
  void OnDocumentArrived();
  void OnTimeout();
  void OnDestroy();

  bool StartBrowser();
  void ReleaseBrowser();
  void ShowPlaceholder();

  HWND window_ = nullptr;
  State state_ = State::kWaiting;
  std::wstring address_;
  std::wstring placeholderText_;
  UINT timeoutMs_;
  ULONGLONG startTick_ = 0;  // GetTickCount64 when the probe page was asked for
  HFONT font_ = nullptr;     // the system's message font, owned

  // The browser while it is in place; all null otherwise.
  Site* site_ = nullptr;
  IOleObject* browserObject_ = nullptr;
  IWebBrowser2* browser_ = nullptr;
  IConnectionPoint* events_ = nullptr;
  DWORD eventsCookie_ = 0;
};

}  // namespace runtime
