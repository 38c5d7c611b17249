// The tabbed view area: a child window holding several views, one shown at
// a time, with a tab strip carrying one tab (icon and text) per view.
// Choosing a tab shows its view and focuses it; keys, menu commands and
// forwarded messages go to the shown view.
//
//   dockwins::CTabbedChildWindow<> area;
//   area.SetTabStyles(0x4002);            // before creation
//   area.Create(frame, rect);
//   area.AddTabWithIcon(log_view, L"&Event Log", IDI_LOG, instance);
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <new>

#include "dot_net_tab_ctrl.h"
#include "win/placement.h"

namespace dockwins {

// The keyboard messages a view gets through the area: WM_KEYDOWN to
// WM_SYSDEADCHAR.
constexpr UINT WM_KEYLAST_LEGACY = 0x0108;

// Owns the strip, its image list and the height the strip gets.
template <class T, class TTabCtrl>
class CCustomTabOwnerImpl {
 public:
  using CTabItem = typename TTabCtrl::CItem;

  TTabCtrl& GetTabCtrl() { return m_TabCtrl; }
  HIMAGELIST GetImageList() const { return m_ImageList; }
  int GetTabAreaHeight() const { return m_nTabAreaHeight; }
  DWORD GetTabStyles() const { return m_nTabStyles; }
  // Styles ORed into the strip's when it is created.
  void SetTabStyles(DWORD styles) { m_nTabStyles = styles; }
  void SetReflectNotifications(bool reflect) { m_bReflectNotifications = reflect; }
  void SetForwardNotifications(bool forward) { m_bForwardNotifications = forward; }

  // -1 when the view is null or the item cannot be made.
  int AddTab(HWND view, LPCWSTR text, int image = -1) {
    if (!view) return -1;
    auto* item = new (std::nothrow) CTabItem;
    if (!item) return -1;
    item->SetText(text ? text : L"");
    item->SetImageIndex(image);
    item->SetTabView(view);
    const int index = m_TabCtrl.InsertItem(m_TabCtrl.GetItemCount(), item);
    if (index < 0) {
      delete item;
      return -1;
    }
    if (m_bTabAreaHidden && m_TabCtrl.GetItemCount() == m_nMinTabCountForVisibleTabs) {
      m_bTabAreaHidden = false;
      CalcTabAreaHeight();
    }
    return index;
  }

  // A tab whose icon comes from a module's resources; without the icon the
  // tab has no image.
  int AddTabWithIcon(HWND view, LPCWSTR text, UINT iconId, HINSTANCE instance) {
    if (!view) return -1;
    auto icon = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, m_cxImage, m_cyImage, LR_SHARED));
    const int image = icon && m_ImageList ? ::ImageList_ReplaceIcon(m_ImageList, -1, icon) : -1;
    return AddTab(view, text, image);
  }

  // The strip's height: proportional to the font, 24 for an 11-pixel one;
  // 0 while the strip is hidden. A change relayouts the area.
  void CalcTabAreaHeight() {
    LOGFONTW lf{};
    ::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0);
    int h = -lf.lfHeight;
    if (HFONT font = m_TabCtrl.IsWindow() ? m_TabCtrl.GetFont() : nullptr) {
      WTL::CClientDC dc(m_TabCtrl);
      WTL::CSelectObject selected(dc, font);
      TEXTMETRICW tm{};
      if (::GetTextMetricsW(dc, &tm)) h = tm.tmAscent;
    }
    const int height = m_bTabAreaHidden ? 0 : TabAreaHeight(h);
    if (height == m_nTabAreaHeight) return;
    m_nTabAreaHeight = height;
    T* self = static_cast<T*>(this);
    self->UpdateLayout();
    self->Invalidate();
  }

 protected:
  bool CreateTabWindow(HWND parent) {
    if (m_TabCtrl.IsWindow()) m_TabCtrl.DestroyWindow();
    if (m_ImageList) m_ImageList.Destroy();
    m_ImageList.Create(m_cxImage, m_cyImage, ILC_COLOR32 | ILC_MASK, 4, 4);
    m_TabCtrl.SetImageList(m_ImageList);
    const DWORD style = m_nTabStyles | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (!m_TabCtrl.Create(parent, WTL::CWindow::rcDefault, nullptr, style)) return false;
    CalcTabAreaHeight();
    return true;
  }

  TTabCtrl m_TabCtrl;
  WTL::CImageList m_ImageList;
  int m_cxImage = 16;
  int m_cyImage = 16;
  int m_nTabAreaHeight = 24;
  int m_nMinTabCountForVisibleTabs = 1;
  bool m_bTabAreaHidden = true;
  DWORD m_nTabStyles = tab_style::Tooltips | tab_style::Bottom;
  bool m_bReflectNotifications = false;
  bool m_bForwardNotifications = false;
};

// The views, the layout and the message map.
template <class T, class TTabCtrl, class TBase = WTL::CWindow, class TWinTraits = WTL::CControlWinTraits>
class CTabbedFrameImpl : public WTL::CWindowImpl<T, TBase, TWinTraits>, public CCustomTabOwnerImpl<T, TTabCtrl> {
  using window = WTL::CWindowImpl<T, TBase, TWinTraits>;

 public:
  using window::ForwardNotifications;
  using window::ReflectNotifications;

  BEGIN_MSG_MAP(CTabbedFrameImpl)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
  MESSAGE_HANDLER(WM_FORWARDMSG, OnForwardMsg)
  NOTIFY_CODE_HANDLER(NM_CLICK, OnClick)
  NOTIFY_CODE_HANDLER(CTCN_ACCEPTITEMDRAG, OnAcceptItemDrag)
  NOTIFY_CODE_HANDLER(CTCN_CANCELITEMDRAG, OnCancelItemDrag)
  NOTIFY_CODE_HANDLER(CTCN_DELETEITEM, OnAllow)
  NOTIFY_CODE_HANDLER(CTCN_SELCHANGING, OnAllow)
  NOTIFY_CODE_HANDLER(CTCN_SELCHANGE, OnSelChange)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_RANGE_HANDLER(WM_KEYDOWN, WM_KEYLAST_LEGACY, OnKey)
  MESSAGE_HANDLER(WM_COMMAND, OnCommand)
  if (this->m_bReflectNotifications) REFLECT_NOTIFICATIONS()
  if (this->m_bForwardNotifications) FORWARD_NOTIFICATIONS()
  END_MSG_MAP()

  HWND GetActiveView() const { return m_hWndActive; }

  // The strip along the top or bottom edge, the active view in the rest.
  void UpdateLayout() {
    if (!this->m_TabCtrl.IsWindow() && !m_hWndActive) return;
    RECT client;
    this->GetClientRect(&client);
    const int h = this->m_nTabAreaHeight;
    RECT strip = client, view = client;
    if (this->m_nTabStyles & tab_style::Bottom) {
      strip.top = client.bottom - h;
      view.bottom = strip.top;
    } else {
      strip.bottom = client.top + h;
      view.top = strip.bottom;
    }
    {
      WTL::deferred_positions moves((this->m_TabCtrl.IsWindow() ? 1 : 0) + (m_hWndActive ? 1 : 0));
      if (this->m_TabCtrl.IsWindow()) moves.move(this->m_TabCtrl, strip, SWP_NOZORDER | SWP_NOACTIVATE);
      if (m_hWndActive) moves.move(m_hWndActive, view, SWP_NOZORDER | SWP_SHOWWINDOW);
    }
    this->m_TabCtrl.UpdateLayout();
  }

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    if (this->DefWindowProc() == -1) return -1;
    this->CreateTabWindow(this->m_hWnd);
    return 0;
  }

  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (this->m_ImageList) this->m_ImageList.Destroy();
    bHandled = FALSE;
    return 0;
  }

  LRESULT OnSettingChange(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (this->m_TabCtrl.IsWindow()) this->m_TabCtrl.SendMessage(uMsg, wParam, lParam);
    this->CalcTabAreaHeight();
    bHandled = FALSE;
    return 0;
  }

  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (!m_hWndActive) bHandled = FALSE;  // the class background is painted
    return 1;
  }

  LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL&) {
    if (m_hWndActive && ::GetCapture() != this->m_TabCtrl.m_hWnd) ::SetFocus(m_hWndActive);
    return 0;
  }

  LRESULT OnForwardMsg(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    return m_hWndActive ? ::SendMessageW(m_hWndActive, uMsg, wParam, lParam) : 0;
  }

  LRESULT OnClick(int, LPNMHDR header, BOOL& bHandled) {
    if (!FromStrip(header, bHandled)) return 0;
    const auto* record = reinterpret_cast<const NMCTCITEM*>(header);
    if (record->iItem >= 0 && record->iItem == this->m_TabCtrl.GetCurSel()) FocusViewOf(record->iItem);
    return 0;
  }
  LRESULT OnAcceptItemDrag(int, LPNMHDR header, BOOL& bHandled) {
    if (FromStrip(header, bHandled)) FocusViewOf(reinterpret_cast<const NMCTC2ITEMS*>(header)->iItem2);
    return 0;
  }
  LRESULT OnCancelItemDrag(int, LPNMHDR header, BOOL& bHandled) {
    if (FromStrip(header, bHandled)) FocusViewOf(reinterpret_cast<const NMCTCITEM*>(header)->iItem);
    return 0;
  }
  LRESULT OnAllow(int, LPNMHDR header, BOOL& bHandled) {
    FromStrip(header, bHandled);
    return 0;
  }

  // The newly selected tab's view is laid out, shown and focused; the old
  // one is hidden.
  LRESULT OnSelChange(int, LPNMHDR header, BOOL& bHandled) {
    if (!FromStrip(header, bHandled)) return 0;
    const auto* item = this->m_TabCtrl.GetItem(this->m_TabCtrl.GetCurSel());
    if (!item || item->GetTabView() == m_hWndActive) return 0;
    const HWND old = m_hWndActive;
    m_hWndActive = item->GetTabView();
    UpdateLayout();
    if (old) ::ShowWindow(old, SW_HIDE);
    ::SetFocus(m_hWndActive);
    return 0;
  }

  LRESULT OnSize(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam != SIZE_MINIMIZED) UpdateLayout();
    bHandled = FALSE;
    return 0;
  }

  LRESULT OnKey(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (!m_hWndActive) {
      bHandled = FALSE;
      return 0;
    }
    return ::SendMessageW(m_hWndActive, uMsg, wParam, lParam);
  }

  // Menus, accelerators and other windows' commands reach the view too.
  LRESULT OnCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    const auto sender = reinterpret_cast<HWND>(lParam);
    if (m_hWndActive && (!sender || !this->IsChild(sender))) ::SendMessageW(m_hWndActive, uMsg, wParam, lParam);
    bHandled = FALSE;
    return 0;
  }

 protected:
  bool FromStrip(LPNMHDR header, BOOL& bHandled) const {
    if (header->hwndFrom == this->m_TabCtrl.m_hWnd) return true;
    bHandled = FALSE;
    return false;
  }
  void FocusViewOf(int index) {
    if (const auto* item = this->m_TabCtrl.GetItem(index))
      if (item->GetTabView()) ::SetFocus(item->GetTabView());
  }

  HWND m_hWndActive = nullptr;
};

using CTabbedChildWindowTraits =
    WTL::CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_CLIENTEDGE>;

template <class T, class TTabCtrl>
class CTabbedChildWindowBase : public CTabbedFrameImpl<T, TTabCtrl, WTL::CWindow, CTabbedChildWindowTraits> {};

// The tabbed view area of the main window: window class "TabbedChildWindow".
template <class TTabCtrl = CDotNetTabCtrl<CTabViewTabItem>>
class CTabbedChildWindow : public CTabbedChildWindowBase<CTabbedChildWindow<TTabCtrl>, TTabCtrl> {
 public:
  static WTL::window_class class_traits() { return {L"TabbedChildWindow", 0, COLOR_APPWORKSPACE + 1}; }
};

}  // namespace dockwins
