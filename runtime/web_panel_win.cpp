#include "runtime/web_panel.h"

#include <exdisp.h>
#include <exdispid.h>
#include <ocidl.h>
#include <ole2.h>
#include <oleidl.h>

#include <new>
#include <utility>

namespace runtime {
namespace {

constexpr wchar_t kClassName[] = L"QhWebPanel";
// Posted by the site when the browser reports a navigation or a document, so
// that the panel acts outside the browser's own call.
constexpr UINT kDocumentEventMessage = WM_USER + 1;
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollPeriodMs = 200;
// The probe page: local to the engine, shown in milliseconds where it works.
constexpr wchar_t kProbeAddress[] = L"about:blank";
constexpr int kTextMargin = 8;  // pixels between the border and the placeholder text

// OLE is initialised once per thread and left initialised: code elsewhere on
// the thread may still hold COM objects when a panel goes. RPC_E_CHANGED_MODE
// (a multithreaded apartment) cannot host the browser.
HRESULT OleReady() {
  thread_local const HRESULT result = OleInitialize(nullptr);
  return result;
}

bool HasDocument(IWebBrowser2* browser) {
  IDispatch* document = nullptr;
  if (FAILED(browser->get_Document(&document)) || document == nullptr) return false;
  document->Release();
  return true;
}

bool Navigate(IWebBrowser2* browser, const std::wstring& address) {
  BSTR url = SysAllocStringLen(address.data(), static_cast<UINT>(address.size()));
  if (url == nullptr) return false;
  VARIANT none;
  VariantInit(&none);
  const HRESULT result = browser->Navigate(url, &none, &none, &none, &none);
  SysFreeString(url);
  return SUCCEEDED(result);
}

}  // namespace

// The browser's client site, in-place site and frame, and the sink of its
// DWebBrowserEvents2. A separate heap object with its own reference count:
// the browser may keep a reference a little longer than the panel keeps the
// browser, so the site outlives the panel as long as anyone holds it. After
// Detach it knows no window and only answers politely.
class WebPanel::Site final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame, public IDispatch {
 public:
  explicit Site(HWND window) : window_(window) {}
  Site(const Site&) = delete;
  Site& operator=(const Site&) = delete;

  void Detach() { window_ = nullptr; }
  IOleClientSite* ClientSite() { return this; }
  IDispatch* EventSink() { return this; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
      *object = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
      *object = static_cast<IOleInPlaceSite*>(this);
    } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
      *object = static_cast<IOleInPlaceFrame*>(this);
    } else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) {
      *object = static_cast<IDispatch*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker != nullptr) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
    if (container != nullptr) *container = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow (shared by the in-place site and the frame)
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (window == nullptr) return E_POINTER;
    *window = window_;
    return window_ != nullptr ? S_OK : E_FAIL;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return window_ != nullptr ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                             LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) override {
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr || frameInfo == nullptr) {
      return E_POINTER;
    }
    *document = nullptr;
    if (window_ == nullptr) {
      *frame = nullptr;
      return E_FAIL;
    }
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    GetClientRect(window_, position);
    *clip = *position;
    // The caller has set cb.
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = GetAncestor(window_, GA_ROOT);
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleInPlaceUIWindow: no toolbars or borders to give.
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }

  // IOleInPlaceFrame: no menus, status line or accelerators of the host.
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // IDispatch: DWebBrowserEvents2 without type information.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    if (result != nullptr) VariantInit(result);
    if ((member == DISPID_NAVIGATECOMPLETE2 || member == DISPID_DOCUMENTCOMPLETE) && window_ != nullptr) {
      PostMessageW(window_, kDocumentEventMessage, 0, 0);
    }
    return S_OK;
  }

 private:
  ~Site() = default;

  HWND window_;
  ULONG references_ = 1;  // the creator's
};

WebPanel::WebPanel(std::wstring_view address, std::wstring_view placeholderText, UINT timeoutMs)
    : address_(address), placeholderText_(placeholderText), timeoutMs_(timeoutMs) {}

WebPanel::~WebPanel() {
  if (window_ != nullptr) DestroyWindow(window_);
  if (font_ != nullptr) DeleteObject(font_);
}

std::unique_ptr<WebPanel> WebPanel::Create(HWND parent, RECT rect, std::wstring_view address,
                                           std::wstring_view placeholderText, UINT timeoutMs) {
  std::unique_ptr<WebPanel> panel;
  try {
    panel.reset(new WebPanel(address, placeholderText, timeoutMs));
  } catch (...) {
    return nullptr;
  }

  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &WebPanel::WindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW, narrow without UNICODE
  windowClass.lpszClassName = kClassName;
  // A second registration fails with ERROR_CLASS_ALREADY_EXISTS, which is fine.
  RegisterClassExW(&windowClass);

  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    panel->font_ = CreateFontIndirectW(&metrics.lfMessageFont);
  }

  CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, instance, panel.get());
  if (panel->window_ == nullptr) return nullptr;
  if (!panel->StartBrowser()) panel->ShowPlaceholder();
  return panel;
}

LRESULT CALLBACK WebPanel::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* panel = static_cast<WebPanel*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    panel->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(panel));
  }
  auto* panel = reinterpret_cast<WebPanel*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (panel == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    panel->window_ = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  try {
    return panel->OnMessage(message, wParam, lParam);
  } catch (...) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT WebPanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers every pixel
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window_, &paint);
      if (dc != nullptr) PaintBuffered(dc);
      EndPaint(window_, &paint);
      return 0;
    }
    case WM_PRINTCLIENT:
      OnPaint(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_SIZE:
      if (browserObject_ != nullptr) {
        IOleInPlaceObject* inPlace = nullptr;
        if (SUCCEEDED(browserObject_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
          RECT client;
          GetClientRect(window_, &client);
          inPlace->SetObjectRects(&client, &client);
          inPlace->Release();
        }
      }
      InvalidateRect(window_, nullptr, FALSE);
      return 0;
    case kDocumentEventMessage:
      if (state_ == State::kWaiting && browser_ != nullptr && HasDocument(browser_)) OnDocumentArrived();
      return 0;
    case WM_TIMER:
      if (wParam == kPollTimer) OnTimeout();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

// Through a memory bitmap, so the text never flickers over the cleared panel.
void WebPanel::PaintBuffered(HDC dc) const {
  RECT client;
  GetClientRect(window_, &client);
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = memory != nullptr ? CreateCompatibleBitmap(dc, client.right, client.bottom) : nullptr;
  if (bitmap == nullptr) {
    if (memory != nullptr) DeleteDC(memory);
    OnPaint(dc);
    return;
  }
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  OnPaint(memory);
  BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
  SelectObject(memory, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

void WebPanel::OnPaint(HDC dc) const {
  RECT client;
  GetClientRect(window_, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  FrameRect(dc, &client, GetSysColorBrush(COLOR_BTNSHADOW));
  if (state_ != State::kPlaceholder || placeholderText_.empty()) return;

  HGDIOBJ oldFont = SelectObject(dc, font_ != nullptr ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  RECT area = client;
  InflateRect(&area, -kTextMargin, -kTextMargin);
  const UINT format = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
  RECT measured = area;
  const int textHeight =
      DrawTextW(dc, placeholderText_.c_str(), static_cast<int>(placeholderText_.size()), &measured, format | DT_CALCRECT);
  if (textHeight < area.bottom - area.top) area.top += (area.bottom - area.top - textHeight) / 2;
  DrawTextW(dc, placeholderText_.c_str(), static_cast<int>(placeholderText_.size()), &area, format);
  SelectObject(dc, oldFont);
}

void WebPanel::OnDocumentArrived() {
  state_ = State::kDocument;
  KillTimer(window_, kPollTimer);
  // The engine works: from here on the page is the browser's business, also
  // when the site is slow or unreachable.
  if (!Navigate(browser_, address_)) ShowPlaceholder();
}

void WebPanel::OnTimeout() {
  if (state_ != State::kWaiting || browser_ == nullptr) {
    KillTimer(window_, kPollTimer);
    return;
  }
  if (HasDocument(browser_)) {
    OnDocumentArrived();
  } else if (GetTickCount64() - startTick_ >= timeoutMs_) {
    ShowPlaceholder();
  }
}

void WebPanel::OnDestroy() {
  ReleaseBrowser();
  state_ = State::kDestroyed;
}

bool WebPanel::StartBrowser() {
  if (FAILED(OleReady())) return false;
  site_ = new (std::nothrow) Site(window_);
  if (site_ == nullptr) return false;
  if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                              reinterpret_cast<void**>(&browserObject_)))) {
    return false;
  }
  if (FAILED(browserObject_->SetClientSite(site_->ClientSite()))) return false;
  OleSetContainedObject(browserObject_, TRUE);
  RECT client;
  GetClientRect(window_, &client);
  if (FAILED(browserObject_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_->ClientSite(), 0, window_, &client))) {
    return false;
  }
  if (FAILED(browserObject_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser_)))) return false;
  // No script-error or other dialogs of the page over the program's window.
  browser_->put_Silent(VARIANT_TRUE);

  // Without the events the poll below still finds the document, only later.
  IConnectionPointContainer* points = nullptr;
  if (SUCCEEDED(browserObject_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points)))) {
    if (SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &events_)) &&
        FAILED(events_->Advise(site_->EventSink(), &eventsCookie_))) {
      events_->Release();
      events_ = nullptr;
    }
    points->Release();
  }

  startTick_ = GetTickCount64();
  SetTimer(window_, kPollTimer, timeoutMs_ < kPollPeriodMs ? timeoutMs_ : kPollPeriodMs, nullptr);
  return Navigate(browser_, kProbeAddress);
}

void WebPanel::ReleaseBrowser() {
  if (window_ != nullptr) KillTimer(window_, kPollTimer);
  // Taken out of the members first: the browser may call back into the panel
  // while it closes.
  IConnectionPoint* events = std::exchange(events_, nullptr);
  IWebBrowser2* browser = std::exchange(browser_, nullptr);
  IOleObject* browserObject = std::exchange(browserObject_, nullptr);
  Site* site = std::exchange(site_, nullptr);

  if (events != nullptr) {
    events->Unadvise(std::exchange(eventsCookie_, 0));
    events->Release();
  }
  if (browser != nullptr) browser->Release();
  if (browserObject != nullptr) {
    IOleInPlaceObject* inPlace = nullptr;
    if (SUCCEEDED(browserObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)))) {
      inPlace->InPlaceDeactivate();
      inPlace->Release();
    }
    browserObject->Close(OLECLOSE_NOSAVE);
    browserObject->SetClientSite(nullptr);
    browserObject->Release();
  }
  if (site != nullptr) {
    site->Detach();
    site->Release();
  }
}

void WebPanel::ShowPlaceholder() {
  ReleaseBrowser();
  state_ = State::kPlaceholder;
  if (window_ != nullptr) InvalidateRect(window_, nullptr, FALSE);
}

}  // namespace runtime
