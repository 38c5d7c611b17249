// Tab docking boxes: one box that shows several docking boxes through a
// tab strip along one of its edges. A box dropped on another box's caption
// makes one; its tabs are dragged out again by their strip, and a tab box
// left with one window gives that window its place and goes.
//
//   // a drop (request code 2) or a dock (code 5) at a plain box makes one:
//   DockRequest request{};  request.window = pane;  request.code = 5;  request.tab_index = -1;
//   ::SendMessageW(other_pane, DockingSettings::Global().message, 0, reinterpret_cast<LPARAM>(&request));
#pragma once

#include <windows.h>

#include "boxed_docking_window.h"
#include "core/caption.h"
#include "dot_net_tab_ctrl.h"
#include "focus_handler.h"

namespace dockwins {

// Sent by the flying strip to its parent when a tab was dragged off every
// tab (NMCTCITEM, the dragged tab).
constexpr int CTCN_DRAGOUT = -581;

// The strip of a tab docking box: selects a tab when pressed, moves it
// along the strip while it is dragged there, and reports a drag that left
// the tabs.
class CFlyingTabCtrl : public CDotNetTabCtrlImpl<CFlyingTabCtrl, CTabViewTabItem> {
  using base = CDotNetTabCtrlImpl<CFlyingTabCtrl, CTabViewTabItem>;

 public:
  static WTL::window_class class_traits() { return {L"CFlyingTabCtrl", CS_DBLCLKS, COLOR_WINDOW + 1}; }

  // Thickness of the strip, from the font its parent gives.
  int StripHeight() const { return m_height; }
  // The tab standing for a window; -1 when none.
  int FindTab(HWND window) const;
  HWND ViewAt(int index) const {
    const CTabViewTabItem* item = GetItem(index);
    return item ? item->GetTabView() : nullptr;
  }
  // The tab a point of the strip lies on; for a point on no tab, 0 before
  // the tabs and the tab count after them.
  int InsertionIndex(POINT pt) const;

  BEGIN_MSG_MAP(CFlyingTabCtrl)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  CHAIN_MSG_MAP(base)
  END_MSG_MAP()

 private:
  LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  // Moves the pressed tab with the pointer until the button goes up or the
  // pointer leaves the tabs; true when it left them.
  bool DragAlong(int& dragged, POINT start);

  int m_height = 24;
};

// The tab docking box. Every tab holds one docking box window, shown while
// its tab is selected. The members are instantiated for
// CTabDockingBoxWithHook in tab_docking_box.cpp.
template <class T>
class CTabDockingBox : public CBoxedDockingWindowImpl<T, WTL::CWindow, CDockingBoxTraits> {
  using base = CBoxedDockingWindowImpl<T, WTL::CWindow, CDockingBoxTraits>;

 public:
  CFlyingTabCtrl& Strip() { return m_strip; }
  HIMAGELIST Images() const { return m_images; }
  int TabCount() const { return m_strip.IsWindow() ? m_strip.GetItemCount() : 0; }
  int SelectedTab() const { return m_strip.IsWindow() ? m_strip.GetCurSel() : -1; }
  HWND SelectedWindow() const { return m_strip.IsWindow() ? m_strip.ViewAt(m_strip.GetCurSel()) : nullptr; }
  HWND HeldWindow() const { return SelectedWindow(); }

  // Makes `window` a tab at `index` (the end when out of range).
  bool AddTab(HWND window, int index, bool select);
  // Gives the tab's window back to the desktop, undocked.
  HWND RemoveTab(int index);

  BEGIN_MSG_MAP(CTabDockingBox)
  MESSAGE_HANDLER(DockingRequestMessage, OnTabBoxRequest)
  MESSAGE_HANDLER(DockingSettings::Global().message, OnTabBoxRequest)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
  MESSAGE_HANDLER(WM_CLOSE, OnClose)
  MESSAGE_HANDLER(WM_PARENTNOTIFY, OnParentNotify)
  NOTIFY_CODE_HANDLER(CTCN_SELCHANGE, OnSelChange)
  NOTIFY_CODE_HANDLER(NM_DBLCLK, OnTabDoubleClick)
  NOTIFY_CODE_HANDLER(CTCN_DRAGOUT, OnDragOut)
  CHAIN_MSG_MAP(base)
  END_MSG_MAP()

 protected:
  LRESULT OnTabBoxRequest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnSetFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnParentNotify(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnSelChange(int, LPNMHDR header, BOOL& bHandled);
  LRESULT OnTabDoubleClick(int, LPNMHDR header, BOOL& bHandled);
  LRESULT OnDragOut(int, LPNMHDR header, BOOL& bHandled);

  // Request code 1: a box dragged over the strip shows as a provisional
  // tab following the pointer while it stays there.
  bool DragOverStrip(DockRequest& request);
  // Shows `dragged` as a provisional tab at a point of the strip and moves
  // it with the pointer while that stays on the strip; the tab's last index,
  // or -1 when the pointer left the strip or Ctrl was held. The tab is gone
  // and the selection back as it was on return.
  int FollowOverStrip(HWND dragged, POINT local);
  // Request code 3 for a tab's window; a box left with one tab or none
  // dissolves.
  bool RemoveWindow(HWND window);
  // The last window takes the box's place; the box closes.
  void Dissolve();
  // The strip along its edge, the selected window in the rest.
  void Layout();

  CFlyingTabCtrl m_strip;
  WTL::CImageList m_images;
  int m_provisional = -1;  // the tab of a box dragged over the strip
  bool m_quiet = false;    // selection changes show no window meanwhile
  bool m_destroying = false;
  POINT m_last_drop{-1, -1};   // where the last strip drag ended (screen)
  int m_last_drop_index = -1;  // and the tab it ended at
};

// The tab docking box the docking boxes create: runs the docking focus
// handler's map first, as every pane does, and deletes itself with its
// window.
class CTabDockingBoxWithHook : public CTabDockingBox<CTabDockingBoxWithHook> {
 public:
  static WTL::window_class class_traits() { return {L"CTabDockingBoxWithHook", CS_DBLCLKS, COLOR_BTNFACE + 1}; }

  // A new hidden tab box at `rect` (screen) for the docking frame `frame`;
  // null when its window could not be made.
  static CTabDockingBoxWithHook* New(HWND frame, const RECT& rect);
  // The tab box of a window; null for any other window.
  static CTabDockingBoxWithHook* FromHandle(HWND window) {
    WTL::detail::binding* b = WTL::detail::find_binding(window, binding_atom<CTabDockingBoxWithHook>());
    using bound_base = WTL::CWindowImplBaseT<WTL::CWindow, CDockingBoxTraits>;
    return b && b->object ? static_cast<CTabDockingBoxWithHook*>(static_cast<bound_base*>(b->object)) : nullptr;
  }

  BEGIN_MSG_MAP(CTabDockingBoxWithHook)
  if (CDockingFocusHandler* focus = CDockingFocusHandler::Instance())
    if (focus->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;
  CHAIN_MSG_MAP(CTabDockingBox<CTabDockingBoxWithHook>)
  END_MSG_MAP()

  void OnFinalMessage(HWND) override { delete this; }
};

extern template class CTabDockingBox<CTabDockingBoxWithHook>;

}  // namespace dockwins
