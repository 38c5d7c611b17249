#include "tab_docking_box.h"

#include <windowsx.h>

#include <algorithm>

namespace dockwins {

namespace {

// A tab's window gives up its caption: child style, no popup or caption bits.
constexpr DWORD TabStyleMask = 0x3F3FFFFF;
// A window leaving a tab box becomes a captioned popup again.
constexpr DWORD FreedStyle = WS_POPUP | WS_CAPTION;

RECT WindowRectOf(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return r;
}

POINT MessagePoint(const MSG& msg) {
  POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
  ::ClientToScreen(msg.hwnd, &pt);
  return pt;
}

}  // namespace

// The flying strip ----------------------------------------------------------

int CFlyingTabCtrl::FindTab(HWND window) const {
  for (int i = 0; window && i < GetItemCount(); ++i)
    if (ViewAt(i) == window) return i;
  return -1;
}

int CFlyingTabCtrl::InsertionIndex(POINT pt) const {
  const int hit = HitTest(pt);
  if (hit >= 0) return hit;
  RECT first{};
  if (GetItemCount() == 0 || !GetItemRect(0, &first)) return 0;
  return pt.x < first.left ? 0 : GetItemCount();
}

LRESULT CFlyingTabCtrl::OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  const LRESULT result = base::OnCreate(uMsg, wParam, lParam, bHandled);
  HFONT font = reinterpret_cast<HFONT>(::SendMessageW(GetParent(), WM_GETFONT, 0, 0));
  TEXTMETRICW metrics{};
  bool measured = false;
  if (font) {
    WTL::CClientDC dc(m_hWnd);
    WTL::CSelectObject selected(dc, font);
    measured = ::GetTextMetricsW(dc, &metrics) != FALSE;
  }
  m_height = FlyingTabStripHeight(measured, metrics.tmAscent);
  return result;
}

LRESULT CFlyingTabCtrl::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  const POINT pt = PointOf(lParam);
  int dragged = HitTest(pt);
  if (dragged < 0) {
    bHandled = FALSE;  // the buttons are the strip's own
    return 0;
  }
  if (GetCurSel() != dragged) SetCurSel(dragged);
  POINT screen = pt;
  ClientToScreen(&screen);
  if (!::DragDetect(m_hWnd, screen) || !DragAlong(dragged, pt)) return 0;
  // Off the tabs: the moves waiting at the head of the queue are stale for
  // the box drag that the parent starts now, which reads the pointer
  // afresh. The input after them (a release above all) stays for it.
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message == WM_MOUSEMOVE)
    ::PeekMessageW(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE);
  POINT now{};
  ::GetCursorPos(&now);
  ScreenToClient(&now);
  NotifyItem(CTCN_DRAGOUT, dragged, now);
  return 0;
}

bool CFlyingTabCtrl::DragAlong(int& dragged, POINT start) {
  TabReorderRule rule;
  rule.Begin(start.x);
  ::SetCapture(m_hWnd);
  bool left = false;
  MSG msg;
  while (::GetCapture() == m_hWnd) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      ::ReleaseCapture();
      if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (msg.message == WM_MOUSEMOVE && msg.hwnd == m_hWnd) {
      const POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
      const int under = HitTest(p);
      if (under < 0) {
        left = true;
        ::ReleaseCapture();
        break;
      }
      const int to = rule.Step(dragged, under, p.x);
      if (to >= 0 && MoveItem(dragged, to)) {
        dragged = to;
        rule.Moved(HitTest(p));
      }
      continue;
    }
    if (msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONDOWN ||
        (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE)) {
      ::ReleaseCapture();
      break;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return left;
}

// The tab docking box -------------------------------------------------------

template <class T>
bool CTabDockingBox<T>::AddTab(HWND window, int index, bool select) {
  if (!::IsWindow(window) || window == this->m_hWnd || ::IsChild(window, this->m_hWnd) ||
      m_strip.FindTab(window) >= 0 || IsTabDockingBox(window))
    return false;
  ::ShowWindow(window, SW_HIDE);
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
  ::SetWindowLongPtrW(window, GWL_STYLE, static_cast<LONG_PTR>((style & TabStyleMask) | WS_CHILD));
  ::SetParent(window, this->m_hWnd);
  auto* item = new CTabViewTabItem;
  item->SetTabView(window);
  item->SetText(WTL::CWindow(window).GetWindowText());
  if (HICON icon = reinterpret_cast<HICON>(::GetClassLongPtrW(window, GCLP_HICON)))
    item->SetImageIndex(m_images.AddIcon(icon));
  const int count = m_strip.GetItemCount();
  if (index < 0 || index > count) index = count;
  HWND selected = SelectedWindow();
  index = m_strip.InsertItem(index, item);
  ::SendMessageW(window, DockStateMessage, MAKEWPARAM(1, 0), reinterpret_cast<LPARAM>(this->m_hWnd));
  // The strip keeps the selected index: a tab inserted before the selected
  // one would take the selection over.
  const int keep = select ? index : m_strip.FindTab(selected);
  if (keep >= 0 && m_strip.GetCurSel() != keep) m_strip.SetCurSel(keep);
  Layout();
  return true;
}

template <class T>
HWND CTabDockingBox<T>::RemoveTab(int index) {
  HWND window = m_strip.ViewAt(index);
  if (!window || !m_strip.DeleteItem(index, true, false)) return nullptr;
  ::ShowWindow(window, SW_HIDE);
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
  ::SetWindowLongPtrW(window, GWL_STYLE, static_cast<LONG_PTR>((style & TabStyleMask) | FreedStyle));
  ::SetParent(window, nullptr);
  ::SendMessageW(window, DockStateMessage, 0, reinterpret_cast<LPARAM>(this->m_hWnd));
  Layout();
  return window;
}

template <class T>
bool CTabDockingBox<T>::RemoveWindow(HWND window) {
  const int index = m_strip.FindTab(window);
  if (index < 0 || !RemoveTab(index)) return false;
  if (TabCount() <= 1) Dissolve();
  return true;
}

template <class T>
void CTabDockingBox<T>::Dissolve() {
  if (TabCount() == 1) {
    const RECT r = WindowRectOf(this->m_hWnd);
    HWND last = RemoveTab(0);
    if (!this->host) {
      ::SetWindowPos(last, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_SHOWWINDOW);
    } else {
      DockRequest replace{};
      replace.window = HandleValue(this->m_hWnd);
      replace.host = HandleValue(this->host);
      replace.code = dock_code::Replace;
      replace.SetWord(12, static_cast<std::uint32_t>(HandleValue(last)));
      // A row that refuses leaves the window floating where the box was,
      // rather than hidden with nobody holding it.
      if (!SendDockingRequest(this->host, replace))
        ::SetWindowPos(last, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_SHOWWINDOW);
    }
  } else if (TabCount() == 0) {
    this->ShowWindow(SW_HIDE);
  }
  this->PostMessage(WM_CLOSE);
}

template <class T>
void CTabDockingBox<T>::Layout() {
  if (!m_strip.IsWindow()) return;
  RECT client;
  this->GetClientRect(&client);
  const TabBoxPlaces places =
      PlaceTabBoxStrip(ToRect(client), static_cast<std::uint32_t>(m_strip.GetStyle()), m_strip.StripHeight());
  const RECT strip = ToRECT(places.strip), view = ToRECT(places.view);
  m_strip.SetWindowPos(nullptr, strip.left, strip.top, strip.right - strip.left, strip.bottom - strip.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
  if (m_provisional >= 0) return;  // the provisional tab's window is not ours to place
  if (HWND selected = SelectedWindow())
    ::SetWindowPos(selected, nullptr, view.left, view.top, view.right - view.left, view.bottom - view.top,
                   SWP_SHOWWINDOW);
}

template <class T>
bool CTabDockingBox<T>::DragOverStrip(DockRequest& request) {
  HWND dragged = WindowOf(request.window);
  const zel::rect drag = request.DragRect();
  const POINT pt{drag.left, drag.top};
  POINT local = pt;
  m_strip.ScreenToClient(&local);
  RECT strip;
  m_strip.GetClientRect(&strip);
  if (!m_strip.IsWindowVisible() || !::PtInRect(&strip, local) || dragged == this->m_hWnd ||
      m_strip.FindTab(dragged) >= 0)
    return false;
  int index = -1;
  if (::GetCapture() && (::GetKeyState(VK_LBUTTON) & 0x8000)) {
    index = FollowOverStrip(dragged, local);
    if (index < 0) return false;
  } else if (pt.x == m_last_drop.x && pt.y == m_last_drop.y && m_last_drop_index >= 0) {
    index = m_last_drop_index;  // the release where the provisional tab was last
  } else {
    index = m_strip.InsertionIndex(local);
  }
  RECT client;
  this->GetClientRect(&client);
  ::MapWindowPoints(this->m_hWnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
  request.SetDragRect(ToRect(client));
  request.tab_index = index;
  request.host = HandleValue(this->m_hWnd);
  return true;
}

template <class T>
int CTabDockingBox<T>::FollowOverStrip(HWND dragged, POINT local) {
  const int previous = m_strip.GetCurSel();
  auto* item = new CTabViewTabItem;
  item->SetTabView(dragged);
  item->SetText(WTL::CWindow(dragged).GetWindowText());
  m_quiet = true;
  m_provisional = m_strip.InsertItem(m_strip.InsertionIndex(local), item);
  m_strip.SetCurSel(m_provisional);
  m_strip.UpdateWindow();
  TabReorderRule rule;
  rule.Begin(local.x);
  RECT strip;
  m_strip.GetClientRect(&strip);
  POINT last{local.x, local.y};
  m_strip.ClientToScreen(&last);
  bool left = false;
  MSG msg;
  // Runs while the pointer stays over the strip: every other input goes
  // back to the box drag, which asks again.
  while (::GetKeyState(VK_LBUTTON) & 0x8000) {
    if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      ::WaitMessage();
      continue;
    }
    if (msg.message == WM_MOUSEMOVE) {
      const POINT p = MessagePoint(msg);
      POINT in = p;
      m_strip.ScreenToClient(&in);
      if (!::PtInRect(&strip, in) || (msg.wParam & MK_CONTROL)) {
        left = true;
        break;
      }
      ::PeekMessageW(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE);
      last = p;
      const int to = rule.Step(m_provisional, m_strip.HitTest(in), in.x);
      if (to >= 0 && m_strip.MoveItem(m_provisional, to)) {
        m_provisional = to;
        rule.Moved(m_strip.HitTest(in));
        m_strip.UpdateWindow();
      }
      continue;
    }
    const bool input = (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
                       (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) || msg.message == WM_QUIT;
    if (input) break;
    ::PeekMessageW(&msg, nullptr, msg.message, msg.message, PM_REMOVE);
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  const int index = m_provisional;
  m_strip.DeleteItem(index, false, false);
  m_provisional = -1;
  if (previous >= 0) m_strip.SetCurSel(previous);
  m_quiet = false;
  m_last_drop = last;
  m_last_drop_index = left ? -1 : index;
  return left ? -1 : index;
}

template <class T>
LRESULT CTabDockingBox<T>::OnTabBoxRequest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  auto* request = reinterpret_cast<DockRequest*>(lParam);
  if (!request) return FALSE;
  HWND window = WindowOf(request->window);
  switch (request->code) {
    case dock_code::DropTest:
      return DragOverStrip(*request);
    case dock_code::AcceptDrop:
    case dock_code::Dock: {
      const bool select = request->code == dock_code::AcceptDrop || (request->flags & dock_flags::SelectedTab);
      if (!AddTab(window, request->tab_index, select)) return FALSE;
      request->host = HandleValue(this->m_hWnd);
      return TRUE;
    }
    case dock_code::Remove:
      return RemoveWindow(window);
    case dock_code::GetPosition: {
      const int index = m_strip.FindTab(window);
      if (index < 0) break;  // about the box itself
      const bool known = this->GetPosition(*request);
      request->window = HandleValue(window);
      request->tab_index = index;
      request->host = HandleValue(TabCount() == 2 ? m_strip.ViewAt(1 - index) : this->m_hWnd);
      if (index == m_strip.GetCurSel())
        request->flags |= dock_flags::SelectedTab;
      else
        request->flags &= ~dock_flags::SelectedTab;
      return known;
    }
    case dock_code::SelectTab: {
      const int index = m_strip.FindTab(window);
      if (index < 0) return FALSE;
      if (m_strip.GetCurSel() != index) m_strip.SetCurSel(index);
      return this->Show();
    }
    default:
      break;
  }
  return this->OnDockingRequest(uMsg, wParam, lParam, bHandled);
}

template <class T>
LRESULT CTabDockingBox<T>::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  if (!m_images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 5)) return -1;
  if (!m_strip.Create(
          this->m_hWnd, RECT{0, 0, 0, 0}, nullptr,
          WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | tab_style::Tooltips | tab_style::Bottom))
    return -1;
  m_strip.SetImageList(m_images);
  return 0;
}

template <class T>
LRESULT CTabDockingBox<T>::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  m_destroying = true;
  if (m_strip.IsWindow()) m_strip.SetImageList(nullptr);
  m_images.Destroy();
  bHandled = FALSE;
  return 0;
}

template <class T>
LRESULT CTabDockingBox<T>::OnSize(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (wParam != SIZE_MINIMIZED) Layout();
  bHandled = FALSE;
  return 0;
}

template <class T>
LRESULT CTabDockingBox<T>::OnSetFocus(UINT, WPARAM, LPARAM, BOOL&) {
  HWND selected = SelectedWindow();
  if (selected && ::IsWindowVisible(selected)) ::SetFocus(selected);
  return 0;
}

template <class T>
LRESULT CTabDockingBox<T>::OnClose(UINT, WPARAM, LPARAM, BOOL&) {
  // Closing a box that still shows windows hides them all (each keeps its
  // tab and comes back with the box); an empty box goes.
  if (TabCount() > 0) {
    this->Hide();
    return 0;
  }
  if (this->host && !this->Undock()) return 0;
  this->DestroyWindow();
  return 0;
}

template <class T>
LRESULT CTabDockingBox<T>::OnParentNotify(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  bHandled = FALSE;
  if (LOWORD(wParam) != WM_DESTROY || m_destroying) return 0;
  // A tab's window destroyed by its owner leaves no tab behind.
  const int index = m_strip.FindTab(reinterpret_cast<HWND>(lParam));
  if (index < 0 || index == m_provisional) return 0;
  m_strip.DeleteItem(index, true, false);
  if (TabCount() <= 1) Dissolve();
  return 0;
}

template <class T>
LRESULT CTabDockingBox<T>::OnSelChange(int, LPNMHDR header, BOOL& bHandled) {
  if (header->hwndFrom != m_strip.m_hWnd) {
    bHandled = FALSE;
    return 0;
  }
  if (m_quiet) return 0;
  HWND selected = SelectedWindow();
  for (int i = 0; i < TabCount(); ++i)
    if (HWND view = m_strip.ViewAt(i); view != selected) ::ShowWindow(view, SW_HIDE);
  if (!selected) return 0;
  this->SetWindowText(WTL::CWindow(selected).GetWindowText().c_str());
  Layout();
  ::SetFocus(selected);
  return 0;
}

template <class T>
LRESULT CTabDockingBox<T>::OnTabDoubleClick(int, LPNMHDR header, BOOL& bHandled) {
  HWND selected = SelectedWindow();
  if (header->hwndFrom != m_strip.m_hWnd || !selected) {
    bHandled = FALSE;
    return 0;
  }
  ::PostMessageW(selected, WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  return 0;
}

template <class T>
LRESULT CTabDockingBox<T>::OnDragOut(int, LPNMHDR header, BOOL& bHandled) {
  HWND selected = SelectedWindow();
  if (header->hwndFrom != m_strip.m_hWnd || !selected) {
    bHandled = FALSE;
    return 0;
  }
  // The tab's window runs the box drag from its own caption press.
  const RECT r = WindowRectOf(selected);
  ::PostMessageW(selected, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(r.left, r.top));
  return 0;
}

template class CTabDockingBox<CTabDockingBoxWithHook>;

CTabDockingBoxWithHook* CTabDockingBoxWithHook::New(HWND frame, const RECT& rect) {
  auto* box = new CTabDockingBoxWithHook;
  if (box->Create(frame, rect)) return box;
  delete box;  // never bound: nothing else deletes it
  return nullptr;
}

bool IsTabDockingBox(HWND window) { return CTabDockingBoxWithHook::FromHandle(window) != nullptr; }

// A plain box taking a drop or a dock: a new tab box in its place holds it
// and then the box that came.
bool MakeTabDockingBox(HWND target, HWND target_host, HWND frame, DockRequest& request) {
  HWND dropped = WindowOf(request.window);
  if (!::IsWindow(dropped) || dropped == target || IsTabDockingBox(dropped)) return false;
  const RECT r = WindowRectOf(target);
  CTabDockingBoxWithHook* box = CTabDockingBoxWithHook::New(frame, r);
  if (!box) return false;
  HWND tab_box = box->m_hWnd;
  if (!target_host) {
    ::SetWindowPos(tab_box, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_SHOWWINDOW);
  } else {
    DockRequest replace{};
    replace.window = HandleValue(target);
    replace.host = HandleValue(target_host);
    replace.code = dock_code::Replace;
    replace.SetWord(12, static_cast<std::uint32_t>(HandleValue(tab_box)));
    if (!SendDockingRequest(target_host, replace)) {
      ::PostMessageW(tab_box, WM_CLOSE, 0, 0);
      return false;
    }
  }
  box->AddTab(target, 0, true);
  const bool drop = request.code == dock_code::AcceptDrop;
  box->AddTab(dropped, drop ? -1 : request.tab_index, drop || (request.flags & dock_flags::SelectedTab));
  request.host = HandleValue(tab_box);
  return true;
}

}  // namespace dockwins
