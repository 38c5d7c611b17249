// The boxed docking window every docking pane is: floating as a tool
// window with a small caption, or docked in a row of the docking frame (or
// as a tab of a tab docking box), where it draws its own caption with a
// close button. It moves between the two by a caption drag or double
// click, hides instead of closing, and shows again where it was.
//
//   class CPane : public dockwins::CBoxedDockingWindowImpl<CPane> {
//    public:
//     static WTL::window_class class_traits() { return {L"My.Pane", CS_DBLCLKS}; }
//     HWND HeldWindow() const { return m_view; }  // its minimum size counts
//   };
//   pane.Create(frame, rect, L"Pane");  // the frame is where it docks by default
#pragma once

#include <windows.h>

#include <algorithm>

#include "box_drag.h"
#include "core/dock_request.h"
#include "docking_caption.h"
#include "docking_frame.h"
#include "docking_settings.h"
#include "win/window_impl.h"
#include "win_rect.h"

namespace dockwins {

// Window styles of tab docking boxes (popup tool windows); boxed windows
// add WS_VISIBLE.
using CDockingBoxTraits =
    WTL::CWinTraits<WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW>;
using CBoxedDockingWindowTraits =
    WTL::CWinTraits<WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW>;
static_assert(CDockingBoxTraits::GetWndStyle(0) == 0x86CF0000 &&
                  CBoxedDockingWindowTraits::GetWndStyle(0) == 0x96CF0000,
              "the box styles");

// The frame styles a docked box gives up.
constexpr DWORD FloatingFrameStyle = WS_SYSMENU | WS_THICKFRAME;
// SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED.
constexpr UINT RecomputeFrame = 0x27;

// A plain box `target` (docked in `target_host`, or floating when that is
// 0) taking the box a request names (code 2 or 5): a new tab docking box
// takes the target's place with the target as its first tab and the box
// that came as another. False, and nothing changed, when that fails.
bool MakeTabDockingBox(HWND target, HWND target_host, HWND frame, DockRequest& request);
// Whether a window is a tab docking box: one never becomes a tab itself.
bool IsTabDockingBox(HWND window);

template <class T, class TBase = WTL::CWindow, class TTraits = CBoxedDockingWindowTraits>
class CBoxedDockingWindowImpl : public WTL::CWindowImpl<T, TBase, TTraits> {
  using base = WTL::CWindowImpl<T, TBase, TTraits>;

 public:
  HWND host = nullptr;  // the row or tab docking box holding the box; 0 while floating
  RECT float_rect{};    // screen; empty until known
  CVC7LikeExCaption caption;
  DockRequest saved_position{};  // where the box docks back
  bool hidden_floating = false;  // hidden while floating
  HWND docking_frame = nullptr;  // where it docks when no other host is known

  // Creates the box (floating) for the docking frame `frame`, which also
  // owns it.
  HWND Create(HWND frame, const RECT& rect, LPCWSTR name = nullptr, DWORD style = 0, DWORD exStyle = 0) {
    docking_frame = frame;
    return base::Create(frame, rect, name, style, exStyle);
  }

  bool IsDocked() const { return host != nullptr; }
  // The window whose minimum size the box keeps: none by default.
  HWND HeldWindow() const { return nullptr; }

  // Leaves the row or tab box; true when floating afterwards.
  virtual bool Undock() {
    if (!host) return true;
    DockRequest request{};
    request.window = HandleValue(this->m_hWnd);
    request.host = HandleValue(host);
    request.code = dock_code::Remove;
    return SendDockingRequest(host, request) && !host;
  }
  // Docks at the taker a drop test named (`request.host`).
  virtual bool Dock(DockRequest& request) {
    request.window = HandleValue(this->m_hWnd);
    request.code = dock_code::AcceptDrop;
    return SendDockingRequest(WindowOf(request.host), request);
  }
  virtual bool Hide() {
    if (host) {
      HWND focus = ::GetFocus();
      if (RecordPosition()) {
        Undock();
        ::SetWindowPos(this->m_hWnd, nullptr, float_rect.left, float_rect.top, float_rect.right - float_rect.left,
                       float_rect.bottom - float_rect.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
        if (focus && focus != this->m_hWnd && !::IsChild(this->m_hWnd, focus) && ::IsWindow(focus)) ::SetFocus(focus);
      } else {
        saved_position.host = 0;
      }
    } else {
      hidden_floating = true;
    }
    this->ShowWindow(SW_HIDE);
    return true;
  }
  virtual bool Show() {
    if (hidden_floating) {
      hidden_floating = false;
      this->ShowWindow(SW_SHOW);
      return true;
    }
    if (host && IsDockingBox(host)) {
      DockRequest request{};
      request.window = HandleValue(this->m_hWnd);
      request.code = dock_code::SelectTab;
      return SendDockingRequest(host, request, true);
    }
    if (!host && saved_position.host) {
      DockRequest request = saved_position;
      return DockAt(request);
    }
    this->ShowWindow(SW_SHOW);
    return true;
  }

  // Docks by a block: at its host while that is a live docking box, floating
  // at its rectangle when it says so, else at the docking frame by its
  // flags, row and extents.
  bool DockAt(DockRequest& request) {
    request.window = HandleValue(this->m_hWnd);
    request.code = dock_code::Dock;
    HWND target = WindowOf(request.host);
    if (target != this->m_hWnd && IsDockingBox(target)) return SendDockingRequest(target, request, true);
    if (request.flags & dock_flags::Float) {
      const RECT r = ToRECT(request.FloatingRect());
      return ::SetWindowPos(this->m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                            SWP_NOZORDER | SWP_SHOWWINDOW) != FALSE;
    }
    request.host = 0;
    return SendDockingRequest(docking_frame, request);
  }

  // Request code 4 about this box: its place in its row or tab box, or,
  // floating, its rectangle (the saved place while hidden from a dock).
  bool GetPosition(DockRequest& request) {
    request.window = HandleValue(this->m_hWnd);
    if (host) {
      request.host = HandleValue(host);
      request.code = dock_code::GetPosition;
      return IsDockingBox(host) ? SendDockingRequest(host, request, true) : SendDockingRequest(docking_frame, request);
    }
    if (!this->IsWindowVisible() && saved_position.host) {
      request = saved_position;
      request.window = HandleValue(this->m_hWnd);
      return true;
    }
    RECT window;
    this->GetWindowRect(&window);
    request.flags = dock_flags::Float;
    request.SetFloatingRect(ToRect(window));
    request.host = HandleValue(this->m_hWnd);
    return true;
  }

  BEGIN_MSG_MAP(CBoxedDockingWindowImpl)
  MESSAGE_HANDLER(DockingRequestMessage, OnDockingRequest)
  MESSAGE_HANDLER(DockingSettings::Global().message, OnDockingRequest)
  MESSAGE_HANDLER(DockStateMessage, OnDockState)
  MESSAGE_HANDLER(WM_CLOSE, OnClose)
  MESSAGE_HANDLER(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
  MESSAGE_HANDLER(WM_NCLBUTTONDOWN, OnNcLButtonDown)
  MESSAGE_HANDLER(WM_NCLBUTTONUP, OnNcLButtonUp)
  MESSAGE_HANDLER(WM_NCHITTEST, OnNcHitTest)
  MESSAGE_HANDLER(WM_NCCALCSIZE, OnNcCalcSize)
  MESSAGE_HANDLER(WM_NCPAINT, OnNcPaint)
  MESSAGE_HANDLER(WM_NCACTIVATE, OnNcActivate)
  MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
  MESSAGE_HANDLER(WM_SETICON, OnSetText)
  MESSAGE_HANDLER(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
  MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, OnWindowPosChanged)
  MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
  END_MSG_MAP()

 protected:
  T* self() { return static_cast<T*>(this); }

  // Stores the docked place in `saved_position`; false when the host
  // does not know it.
  bool RecordPosition() {
    DockRequest request{};
    if (!GetPosition(request)) return false;
    saved_position = request;
    return true;
  }

  // Floats a docked box at `float_rect` after recording its place.
  bool FloatAtSavedRect() {
    if (!host || ::IsRectEmpty(&float_rect)) return false;
    RecordPosition();
    const RECT r = float_rect;
    if (!Undock()) return false;
    return ::SetWindowPos(this->m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                          SWP_NOZORDER | SWP_SHOWWINDOW | SWP_FRAMECHANGED) != FALSE;
  }

  // The caption drag from a screen point.
  void DragFrom(POINT start) {
    RECT window;
    this->GetWindowRect(&window);
    if (::IsRectEmpty(&float_rect)) float_rect = FrameLimitedRect(docking_frame, this->m_hWnd, window);
    const SIZE floating{float_rect.right - float_rect.left, float_rect.bottom - float_rect.top};
    BoxDragResult drag = TrackBoxDrag(this->m_hWnd, docking_frame, window, floating, start);
    // Released where it began: a click, whatever lies under the pointer.
    if (!drag.completed || !drag.moved) return;
    if (host) {
      RecordPosition();
      if (!Undock()) return;
    }
    if (!drag.taken) {
      const RECT& r = drag.outline;
      ::SetWindowPos(this->m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_SHOWWINDOW | SWP_FRAMECHANGED);
      return;
    }
    if (!Dock(drag.request)) this->ShowWindow(SW_SHOW);  // refused: it stays floating where it was
  }

  LRESULT OnDockingRequest(UINT, WPARAM, LPARAM lParam, BOOL&) {
    auto* request = reinterpret_cast<DockRequest*>(lParam);
    if (!request) return FALSE;
    switch (request->code) {
      case dock_code::DropTest: {
        const zel::rect r = request->DragRect();
        if (this->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(r.left, r.top)) != HTCAPTION ||
            IsTabDockingBox(WindowOf(request->window)))
          return FALSE;
        RECT client;
        this->GetClientRect(&client);
        ::MapWindowPoints(this->m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
        request->host = HandleValue(this->m_hWnd);
        request->SetDragRect(ToRect(client));
        return TRUE;
      }
      case dock_code::AcceptDrop:
      case dock_code::Dock:
        // Already a tab: its tab box takes the box that came.
        if (host && IsDockingBox(host)) return SendDockingRequest(host, *request, true);
        if (request->window == HandleValue(this->m_hWnd)) return FALSE;
        return MakeTabDockingBox(this->m_hWnd, host, docking_frame, *request);
      case dock_code::GetPosition:
        return GetPosition(*request);
      case dock_code::IsDockingBox:
        return TRUE;
      case dock_code::SelectTab:
        return host ? SendDockingRequest(host, *request, true) : FALSE;
      default:
        return FALSE;
    }
  }

  LRESULT OnDockState(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    DWORD style = this->GetStyle();
    if (wParam) {
      host = reinterpret_cast<HWND>(lParam);
      caption.horizontal = HIWORD(wParam) != 1;
      style &= ~FloatingFrameStyle;
    } else {
      host = nullptr;
      caption.horizontal = true;
      style |= FloatingFrameStyle;
    }
    ::SetWindowLongPtrW(this->m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(style));
    this->SetWindowPos(nullptr, 0, 0, 0, 0, RecomputeFrame);
    if (host) ::SetFocus(host);
    return 0;
  }

  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&) {
    // A pane hides rather than going: its place stays known for Show.
    self()->Hide();
    return 0;
  }

  LRESULT OnNcLButtonDblClk(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam != HTCAPTION) {
      bHandled = FALSE;
      return 0;
    }
    if (host) {
      FloatAtSavedRect();
    } else if (saved_position.host) {
      DockRequest request = saved_position;
      DockAt(request);
    }
    return 0;
  }

  LRESULT OnNcLButtonDown(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (wParam == HTCLOSE && host && !::GetCapture()) {
      if (caption.TrackClose(this->m_hWnd)) this->SendMessage(WM_NCLBUTTONUP, HTCLOSE, ::GetMessagePos());
      return 0;
    }
    if (wParam != HTCAPTION) {
      bHandled = FALSE;
      return 0;
    }
    this->SetFocus();
    this->SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    if (::DragDetect(this->m_hWnd, pt)) DragFrom(pt);
    return 0;
  }

  LRESULT OnNcLButtonUp(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam != HTCLOSE) {
      bHandled = FALSE;
      return 0;
    }
    this->PostMessage(WM_CLOSE);
    return 0;
  }

  LRESULT OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (!host) {
      bHandled = FALSE;
      return 0;
    }
    RECT window;
    this->GetWindowRect(&window);
    const POINT pt{static_cast<short>(LOWORD(lParam)) - window.left, static_cast<short>(HIWORD(lParam)) - window.top};
    const LRESULT hit = caption.HitTest(pt);
    return hit != HTNOWHERE ? hit : this->DefWindowProc(uMsg, wParam, lParam);
  }

  LRESULT OnNcCalcSize(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    if (!host) {
      bHandled = FALSE;
      return 0;
    }
    RECT* r = reinterpret_cast<RECT*>(lParam);
    caption.CalcRect(RECT{0, 0, r->right - r->left, r->bottom - r->top}, (this->GetStyle() & WS_CAPTION) != 0);
    if (caption.horizontal)
      r->top = std::min(r->bottom, r->top + (caption.rect.bottom - caption.rect.top));
    else
      r->left = std::min(r->right, r->left + (caption.rect.right - caption.rect.left));
    return 0;
  }

  LRESULT OnNcPaint(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (!host) {
      bHandled = FALSE;
      return 0;
    }
    WTL::CWindowDC dc(this->m_hWnd);
    if (dc) caption.Draw(this->m_hWnd, dc);
    return 0;
  }

  LRESULT OnNcActivate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (!host || !this->IsWindowEnabled()) {
      bHandled = FALSE;
      return 0;
    }
    return TRUE;
  }

  LRESULT OnSetText(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (!host) {
      bHandled = FALSE;
      return 0;
    }
    const LRESULT result = this->DefWindowProc(uMsg, wParam, lParam);
    this->SendMessage(WM_NCPAINT, 1);
    return result;
  }

  LRESULT OnWindowPosChanging(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = host != nullptr;  // docked: the row places it, nothing else is asked
    return 0;
  }

  LRESULT OnWindowPosChanged(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    bHandled = FALSE;
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
    if (host || !this->IsWindowVisible()) return 0;
    const bool unchanged = (pos->flags & SWP_NOMOVE) && (pos->flags & SWP_NOSIZE);
    if (!unchanged || (pos->flags & SWP_SHOWWINDOW)) this->GetWindowRect(&float_rect);
    return 0;
  }

  LRESULT OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    const LRESULT result = this->DefWindowProc(uMsg, wParam, lParam);
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x, caption.thickness);
    info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y, caption.thickness);
    HWND held = self()->HeldWindow();
    if (held && ::IsWindow(held)) {
      const POINT minimum = GetMinTrackSize(held);
      RECT window, client;
      this->GetWindowRect(&window);
      this->GetClientRect(&client);
      info->ptMinTrackSize.x = std::max<LONG>(info->ptMinTrackSize.x,
                                              minimum.x + (window.right - window.left) - (client.right - client.left));
      info->ptMinTrackSize.y = std::max<LONG>(info->ptMinTrackSize.y,
                                              minimum.y + (window.bottom - window.top) - (client.bottom - client.top));
    }
    return result;
  }

  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }

  LRESULT OnSettingChange(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    caption.UpdateMetrics();
    if (host) this->SetWindowPos(nullptr, 0, 0, 0, 0, RecomputeFrame);
    bHandled = FALSE;
    return 0;
  }
};

}  // namespace dockwins
