// The owner-drawn tab strip: items, mouse and keyboard, layout, tooltips,
// dragging and the notifications to the parent. The look comes from a
// drawing layer (dot_net_tab_ctrl.h) that derives from CCustomTabCtrl and
// supplies DrawBackground, DrawItem, DrawCloseButton and DrawScrollButtons.
// The arithmetic (widths, layouts, scrolling, hit testing) is the portable
// TabStripLayout of core/tab_strip.h; this class feeds it and draws what it
// says.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/tab_strip.h"
#include "win_rect.h"
#include "win/gdi.h"
#include "win/image_list.h"
#include "win/offscreen.h"
#include "win/window_impl.h"

namespace dockwins {

// One tab: its rectangle (strip coordinates, before scrolling), image,
// text, tooltip text and flags.
class CCustomTabItem {
 public:
  virtual ~CCustomTabItem() = default;

  RECT GetRect() const { return m_rcItem; }
  void SetRect(const RECT& rect) { m_rcItem = rect; }
  int GetImageIndex() const { return m_nImage; }
  void SetImageIndex(int image) { m_nImage = image; }
  const std::wstring& GetText() const { return m_sText; }
  void SetText(std::wstring text) { m_sText = std::move(text); }
  const std::wstring& GetToolTip() const { return m_sToolTip; }
  void SetToolTip(std::wstring text) { m_sToolTip = std::move(text); }
  bool IsHighlighted() const { return m_bHighlighted; }
  void SetHighlighted(bool highlighted) { m_bHighlighted = highlighted; }
  bool CanClose() const { return m_bCanClose; }
  void SetCanClose(bool can_close) { m_bCanClose = can_close; }

 private:
  RECT m_rcItem{};
  int m_nImage = -1;
  std::wstring m_sText;
  std::wstring m_sToolTip;
  bool m_bHighlighted = false;
  bool m_bCanClose = true;
};

// A tab standing for a view window.
class CTabViewTabItem : public CCustomTabItem {
 public:
  HWND GetTabView() const { return m_hWndTabView; }
  void SetTabView(HWND view) { m_hWndTabView = view; }

 private:
  HWND m_hWndTabView = nullptr;
};

// Notification codes sent to the parent with WM_NOTIFY.
enum : int {
  CTCN_SELCHANGE = -551,       // move record (old, new)
  CTCN_SELCHANGING = -552,     // move record (old, new); answer 1 cancels
  CTCN_INSERTITEM = -561,      // item record
  CTCN_DELETEITEM = -562,      // item record; answer 1 keeps the item
  CTCN_CLOSE = -565,           // item record (selection, point)
  CTCN_BEGINITEMDRAG = -571,   // item record; non-zero forbids the drag
  CTCN_ACCEPTITEMDRAG = -572,  // move record (start, final)
  CTCN_CANCELITEMDRAG = -573,  // item record (start)
  CTCN_MCLICK = -574,          // item record
  CTCN_MDBLCLK = -575,         // item record
};

// Item states of the custom-draw record.
enum : UINT { CTCIS_SELECTED = 0x01, CTCIS_HOT = 0x40, CTCIS_HIGHLIGHTED = 0x80 };

struct NMCTCITEM {
  NMHDR hdr;
  int iItem;
  POINT pt;  // client coordinates; -1, -1 when not from the mouse
};

struct NMCTC2ITEMS {
  NMHDR hdr;
  int iItem1;
  int iItem2;
  POINT pt;
};

struct NMCTCCUSTOMDRAW {
  NMCUSTOMDRAW nmcd;
  HFONT hFontInactive;
  HFONT hFontSelected;
  HBRUSH hBrushBackground;
  COLORREF clrTextInactive;
  COLORREF clrTextSelected;
  COLORREF clrSelectedTab;
  COLORREF clrBtnFace;
  COLORREF clrBtnShadow;
  COLORREF clrBtnHighlight;
  COLORREF clrBtnText;
  COLORREF clrHighlight;
  COLORREF clrHighlightHot;
  COLORREF clrHighlightText;
};

// Tooltip tool IDs of the buttons; the tabs are 1 to n.
enum : UINT_PTR {
  ectcToolTip_Close = static_cast<UINT_PTR>(-16),
  ectcToolTip_ScrollRight = static_cast<UINT_PTR>(-15),
  ectcToolTip_ScrollLeft = static_cast<UINT_PTR>(-14),
};

// Timers of the scroll buttons.
enum : UINT_PTR { ectcTimer_ScrollLeft = 0x10, ectcTimer_ScrollRight = 0x20 };

using CDotNetTabCtrlWinTraits = WTL::CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | 0x4000, 0>;

template <class T, class TItem = CCustomTabItem, class TBase = WTL::CWindow, class TWinTraits = CDotNetTabCtrlWinTraits>
class CCustomTabCtrl : public WTL::CWindowImpl<T, TBase, TWinTraits>, public WTL::COffscreenDrawRect<T> {
 public:
  using CItem = TItem;

  BEGIN_MSG_MAP(CCustomTabCtrl)
  MESSAGE_RANGE_HANDLER(0x0200, 0x020D, OnMouseMessage)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_SETFONT, OnSetFont)
  MESSAGE_HANDLER(WM_GETFONT, OnGetFont)
  MESSAGE_HANDLER(WM_STYLECHANGED, OnStyleChanged)
  MESSAGE_HANDLER(WM_SETREDRAW, OnSetRedraw)
  MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
  MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
  MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
  MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
  MESSAGE_HANDLER(WM_CAPTURECHANGED, OnCaptureChanged)
  MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnClickNotify)
  MESSAGE_HANDLER(WM_RBUTTONDOWN, OnRButtonDown)
  MESSAGE_HANDLER(WM_RBUTTONDBLCLK, OnClickNotify)
  MESSAGE_HANDLER(WM_MBUTTONDOWN, OnClickNotify)
  MESSAGE_HANDLER(WM_MBUTTONDBLCLK, OnClickNotify)
  MESSAGE_HANDLER(WM_RBUTTONUP, OnIgnore)
  MESSAGE_HANDLER(WM_MBUTTONUP, OnIgnore)
  MESSAGE_HANDLER(WM_TIMER, OnTimer)
  NOTIFY_CODE_HANDLER(TTN_GETDISPINFOW, OnGetToolTipInfo)
  CHAIN_MSG_MAP(WTL::COffscreenDrawRect<T>)
  END_MSG_MAP()

  ~CCustomTabCtrl() override = default;

  // Items -----------------------------------------------------------------

  int GetItemCount() const { return static_cast<int>(m_Items.size()); }
  TItem* GetItem(int index) const {
    return index >= 0 && index < GetItemCount() ? m_Items[static_cast<size_t>(index)].get() : nullptr;
  }
  int GetCurSel() const { return m_iCurSel; }
  int GetHotItem() const { return m_iHotItem; }
  DWORD GetState() const { return m_dwState; }
  int GetScrollOffset() const { return m_Layout.ScrollOffset(); }
  const TabStripLayout& GetLayout() const { return m_Layout; }
  HWND GetTooltips() const { return m_tooltip; }
  HIMAGELIST GetImageList() const { return m_imageList; }
  void SetImageList(HIMAGELIST list) { m_imageList = list; }

  // Appends when index is out of range; the control owns the item from
  // then on. -1 (item not taken) without a window or item.
  int InsertItem(int index, TItem* item) {
    if (!this->IsWindow() || !item) return -1;
    const int count = GetItemCount();
    if (index < 0 || index > count) index = count;
    m_Items.insert(m_Items.begin() + index, std::unique_ptr<TItem>(item));
    NotifyItem(CTCN_INSERTITEM, index);
    if (GetItemCount() == 1) SetCurSel(0);
    AddTool(static_cast<UINT_PTR>(GetItemCount()), LPSTR_TEXTCALLBACKW);
    UpdateLayout();
    this->Invalidate();
    return index;
  }

  bool DeleteItem(int index, bool updateSelection = true, bool notify = true) {
    const int count = GetItemCount();
    if (index < 0 || index >= count) return false;
    if (notify && NotifyItem(CTCN_DELETEITEM, index) == 1) return false;
    bool reselect = false;
    if (count > 1 && updateSelection) {
      if (index < m_iCurSel) {
        --m_iCurSel;
      } else if (index == m_iCurSel) {
        if (index == count - 1)
          SetCurSel(index - 1);
        else
          reselect = true;
      }
    } else if (count > 1) {
      if (index == m_iCurSel && index == count - 1) m_iCurSel = -1;
    } else {
      m_iCurSel = -1;
    }
    RemoveTool(static_cast<UINT_PTR>(count));
    m_Items.erase(m_Items.begin() + index);
    // A refused change of selection must not leave it past the items.
    if (m_iCurSel >= GetItemCount()) m_iCurSel = -1;
    if (reselect) SetCurSel(index);
    UpdateLayout();
    if (m_iCurSel >= 0 && m_Layout.EnsureVisible(m_iCurSel)) UpdateLayout();
    this->Invalidate();
    return true;
  }

  // Every item goes, whatever the parent answers to their deletion: a
  // refusal here would keep the control asking for ever.
  void DeleteAllItems() {
    RemoveTool(ectcToolTip_Close);
    RemoveTool(ectcToolTip_ScrollRight);
    RemoveTool(ectcToolTip_ScrollLeft);
    m_iCurSel = -1;
    this->SetRedraw(FALSE);
    while (GetItemCount() > 0) {
      if (!DeleteItem(0, true, true)) DeleteItem(0, true, false);
    }
    this->SetRedraw(TRUE);
    if (m_tooltip) ::DestroyWindow(m_tooltip);
    m_tooltip = nullptr;
  }

  // The item at `from` goes to `to`; the same item stays selected, without
  // selection notifications.
  bool MoveItem(int from, int to) {
    const int count = GetItemCount();
    if (!this->IsWindow() || from < 0 || from >= count || to < 0 || to >= count) return false;
    auto item = std::move(m_Items[static_cast<size_t>(from)]);
    m_Items.erase(m_Items.begin() + from);
    m_Items.insert(m_Items.begin() + to, std::move(item));
    if (m_iCurSel == from)
      m_iCurSel = to;
    else if (from < m_iCurSel && m_iCurSel <= to)
      --m_iCurSel;
    else if (to <= m_iCurSel && m_iCurSel < from)
      ++m_iCurSel;
    UpdateLayout();
    this->Invalidate();
    return true;
  }

  // The previous selection; -1 without change when the parent refuses.
  int SetCurSel(int index) {
    if (index >= GetItemCount()) index = m_iCurSel;
    if (index < 0) index = -1;
    const int old = m_iCurSel;
    if (NotifyMove(CTCN_SELCHANGING, old, index) == 1) return -1;
    m_iCurSel = index;
    UpdateLayout();
    if (index >= 0 && m_Layout.EnsureVisible(index)) UpdateLayout();
    this->Invalidate();
    NotifyMove(CTCN_SELCHANGE, old, index);
    return old;
  }

  int HitTest(POINT pt, UINT* flags = nullptr) const {
    const TabHit hit = m_Layout.HitTest({pt.x, pt.y});
    if (flags) *flags = hit.flags;
    return hit.index;
  }

  bool GetItemRect(int index, RECT* rect) const {
    zel::rect r;
    const bool valid = m_Layout.GetItemRect(index, r);
    if (rect) *rect = ToRECT(r);
    return valid;
  }

  void EnsureVisible(int index) {
    if (m_Layout.EnsureVisible(index)) {
      UpdateLayout();
      this->Invalidate();
    }
  }

  void UpdateLayout() {
    if (!this->IsWindow() || !(m_dwState & tab_state::Redraw)) return;
    RECT client;
    this->GetClientRect(&client);
    const DWORD style = this->GetStyle();
    const TItem* selected = GetItem(m_iCurSel);
    const bool close_shown = (style & tab_style::CloseButton) && selected && selected->CanClose();
    m_Layout.UpdateLayout(ToRect(client), style, close_shown, m_iCurSel, NaturalWidths(), m_Metrics);
    m_dwState = (m_dwState & ~(tab_state::CanScrollLeft | tab_state::CanScrollRight)) | m_Layout.ScrollFlags();
    for (int i = 0; i < GetItemCount(); ++i) {
      RECT r{};
      GetItemRect(i, &r);
      ::OffsetRect(&r, -m_Layout.ScrollOffset(), 0);
      m_Items[static_cast<size_t>(i)]->SetRect(r);
      SetToolRect(static_cast<UINT_PTR>(i + 1), m_Layout.ToolRect(i));
    }
    SetToolRect(ectcToolTip_Close, m_Layout.CloseButton());
    SetToolRect(ectcToolTip_ScrollRight, m_Layout.ScrollRightButton());
    SetToolRect(ectcToolTip_ScrollLeft, m_Layout.ScrollLeftButton());
  }

  void ScrollLeft() { Scroll(&TabStripLayout::ScrollLeft); }
  void ScrollRight() { Scroll(&TabStripLayout::ScrollRight); }

  // Handlers --------------------------------------------------------------

  LRESULT OnMouseMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (m_tooltip) {
      MSG msg{this->m_hWnd, uMsg, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {0, 0}};
      ::SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    }
    bHandled = FALSE;
    return 0;
  }

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    LRESULT result = this->DefWindowProc();
    this->SendMessage(WM_SETTINGCHANGE);
    CreateTooltips();
    return result;
  }

  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    DeleteAllItems();
    bHandled = FALSE;
    return 0;
  }

  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    UpdateLayout();
    this->Invalidate();
    bHandled = FALSE;
    return 0;
  }

  LRESULT OnSetFont(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    LOGFONTW lf{};
    if (::GetObjectW(reinterpret_cast<HFONT>(wParam), sizeof(lf), &lf)) m_font = ::CreateFontIndirectW(&lf);
    if (LOWORD(lParam)) this->Invalidate();
    return 0;
  }
  LRESULT OnGetFont(UINT, WPARAM, LPARAM, BOOL&) { return reinterpret_cast<LRESULT>(m_font.m_handle); }

  LRESULT OnStyleChanged(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    bHandled = FALSE;
    if (static_cast<int>(wParam) != GWL_STYLE) return 0;
    const auto* change = reinterpret_cast<const STYLESTRUCT*>(lParam);
    const DWORD flipped = change->styleOld ^ change->styleNew;
    const DWORD now = change->styleNew;
    if ((flipped & tab_style::Tooltips) && m_tooltip)
      ::SendMessageW(m_tooltip, TTM_ACTIVATE, (now & tab_style::Tooltips) ? TRUE : FALSE, 0);
    if (flipped & tab_style::ScrollButtons) {
      if (now & tab_style::ScrollButtons) {
        AddScrollTools();
      } else {
        RemoveTool(ectcToolTip_ScrollRight);
        RemoveTool(ectcToolTip_ScrollLeft);
        m_Layout.ResetScroll();
      }
    }
    if (flipped & tab_style::CloseButton) {
      if (now & tab_style::CloseButton)
        AddTool(ectcToolTip_Close, const_cast<LPWSTR>(L"Close"));
      else
        RemoveTool(ectcToolTip_Close);
    }
    UpdateLayout();
    this->Invalidate();
    return 0;
  }

  LRESULT OnSetRedraw(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam) {
      m_dwState |= tab_state::Redraw;
      UpdateLayout();
    } else {
      m_dwState &= ~tab_state::Redraw;
    }
    bHandled = FALSE;
    return 0;
  }

  LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&) { return this->DefWindowProc() | DLGC_WANTARROWS; }

  LRESULT OnKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam == VK_ESCAPE && (m_dwState & tab_state::Dragging))
      CancelItemDrag(true);
    else if (wParam == VK_LEFT && m_iCurSel > 0)
      SetCurSel(m_iCurSel - 1);
    else if (wParam == VK_RIGHT && m_iCurSel < GetItemCount() - 1)
      SetCurSel(m_iCurSel + 1);
    else
      bHandled = FALSE;
    return 0;
  }

  LRESULT OnMouseMove(UINT, WPARAM, LPARAM lParam, BOOL&) {
    const POINT pt = PointOf(lParam);
    if (!(m_dwState & tab_state::MouseInWindow)) {
      TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, this->m_hWnd, 0};
      if (::TrackMouseEvent(&track)) {
        m_dwState |= tab_state::MouseInWindow;
        UpdateLayout();
        this->Invalidate();
      }
    }
    RECT client;
    this->GetClientRect(&client);
    if (m_iDragItem >= 0 && ::PtInRect(&client, pt) && !(m_dwState & tab_state::Dragging) &&
        Part(TabPartSlot::Down) == TabPart::Item && pt.x != m_ptDragOrigin.x) {
      BeginItemDrag(m_iDragItem, m_ptDragOrigin);
    } else if (m_dwState & tab_state::Dragging) {
      ContinueItemDrag(pt);
    } else if (m_dwState & tab_state::MouseInWindow) {
      TrackHover(pt);
    }
    return 0;
  }

  LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&) {
    m_dwState &= ~tab_state::MouseInWindow;
    SetPart(TabPartSlot::Hot, TabPart::None);
    SetPart(TabPartSlot::Over, TabPart::None);
    m_iHotItem = -1;  // else the last tab under the mouse would stay hot
    UpdateLayout();
    this->Invalidate();
    return 0;
  }

  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&) {
    const POINT pt = PointOf(lParam);
    UINT flags = 0;
    const int index = HitTest(pt, &flags);
    if (flags == tab_hit::Close) {
      PressButton(TabPart::Close, m_Layout.CloseButton());
    } else if (flags == tab_hit::ScrollRight || flags == tab_hit::ScrollLeft) {
      const bool right = flags == tab_hit::ScrollRight;
      PressButton(right ? TabPart::ScrollRight : TabPart::ScrollLeft,
                  right ? m_Layout.ScrollRightButton() : m_Layout.ScrollLeftButton());
      if (m_dwState & (right ? tab_state::CanScrollRight : tab_state::CanScrollLeft)) {
        right ? ScrollRight() : ScrollLeft();
        this->SetTimer(right ? ectcTimer_ScrollRight : ectcTimer_ScrollLeft, ScrollRepeatInterval(m_dwState));
      }
    } else if (NotifyItem(NM_CLICK, index, pt) == 0 && index >= 0) {
      SetCurSel(index);
      SetPart(TabPartSlot::Down, TabPart::Item);
      m_iDragItem = index;
      m_ptDragOrigin = pt;
      ::SetCapture(this->m_hWnd);
    }
    return 0;
  }

  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM lParam, BOOL&) {
    if (::GetCapture() != this->m_hWnd) return 0;
    const POINT pt = PointOf(lParam);
    if (m_dwState & tab_state::Dragging) AcceptItemDrag(true);
    const TabPart down = Part(TabPartSlot::Down);
    ::ReleaseCapture();
    if (down == TabPart::Close && m_Layout.CloseButton().contains({pt.x, pt.y})) NotifyItem(CTCN_CLOSE, m_iCurSel, pt);
    UpdateLayout();
    this->Invalidate();
    return 0;
  }

  LRESULT OnCaptureChanged(UINT, WPARAM, LPARAM, BOOL&) {
    SetPart(TabPartSlot::Down, TabPart::None);
    if (m_dwState & tab_state::Dragging)
      CancelItemDrag(true);
    else
      m_iDragItem = -1;
    return 0;
  }

  LRESULT OnClickNotify(UINT uMsg, WPARAM, LPARAM lParam, BOOL&) {
    const POINT pt = PointOf(lParam);
    NotifyItem(ClickCode(uMsg), HitTest(pt), pt);
    return 0;
  }

  LRESULT OnRButtonDown(UINT, WPARAM, LPARAM lParam, BOOL&) {
    const POINT pt = PointOf(lParam);
    const int index = HitTest(pt);
    if (NotifyItem(NM_RCLICK, index, pt) == 0 && index >= 0) SetCurSel(index);
    return 0;
  }

  LRESULT OnIgnore(UINT, WPARAM, LPARAM, BOOL&) { return 0; }

  LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    const bool left = wParam == ectcTimer_ScrollLeft;
    if (!left && wParam != ectcTimer_ScrollRight) {
      bHandled = FALSE;
      return 0;
    }
    const TabPart part = left ? TabPart::ScrollLeft : TabPart::ScrollRight;
    bool keep = false;
    if (!(m_dwState & (left ? tab_state::CanScrollLeft : tab_state::CanScrollRight))) {
      keep = false;
    } else if (m_dwState & tab_state::Dragging) {
      this->KillTimer(wParam);
      POINT pt;
      ::GetCursorPos(&pt);
      this->ScreenToClient(&pt);
      ContinueItemDrag(pt);
      return 0;
    } else if (Part(TabPartSlot::Down) == part && Part(TabPartSlot::Over) == part) {
      left ? ScrollLeft() : ScrollRight();
      keep = ScrollRepeatInterval(m_dwState) != 0;
    }
    if (!keep) this->KillTimer(wParam);
    return 0;
  }

  LRESULT OnGetToolTipInfo(int, LPNMHDR header, BOOL& bHandled) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    const UINT_PTR id = info->hdr.idFrom;
    const TItem* item = id >= 1 ? GetItem(static_cast<int>(id) - 1) : nullptr;
    if (!item || header->hwndFrom != m_tooltip) {
      bHandled = FALSE;
      return 0;
    }
    const std::wstring& text = item->GetToolTip().empty() ? item->GetText() : item->GetToolTip();
    if (!text.empty()) info->lpszText = const_cast<LPWSTR>(text.c_str());
    return 0;
  }

  // Painting --------------------------------------------------------------

  void DoPaint(WTL::CDCHandle dc, RECT& update) {
    T* self = static_cast<T*>(this);
    RECT client;
    this->GetClientRect(&client);
    WTL::CSaveDC saved(dc);
    ::IntersectClipRect(dc, client.left, client.top, client.right, client.bottom);
    dc.SelectObject(reinterpret_cast<HFONT>(this->SendMessage(WM_GETFONT)));

    NMCTCCUSTOMDRAW draw{};
    self->InitializeDrawStruct(&draw, CDDS_PREPAINT, dc, client);
    const LRESULT pre = NotifyDraw(draw);
    if (!(pre & CDRF_SKIPDEFAULT)) self->DrawBackground(client, &draw);
    // A post-paint request alone still draws the tabs.
    if (!(pre & CDRF_SKIPDEFAULT) || (pre & CDRF_NOTIFYITEMDRAW)) DrawTabs(dc, update, pre, draw);
    if (!(pre & CDRF_SKIPDEFAULT)) {
      const DWORD style = this->GetStyle();
      const TItem* selected = GetItem(m_iCurSel);
      if ((style & tab_style::CloseButton) && selected && selected->CanClose())
        self->DrawCloseButton(ToRECT(m_Layout.CloseButton()), &draw);
      if (style & tab_style::ScrollButtons) self->DrawScrollButtons(&draw);
    }
    if (pre & CDRF_NOTIFYPOSTPAINT) {
      draw.nmcd.dwDrawStage = CDDS_POSTPAINT;
      draw.nmcd.rc = client;
      NotifyDraw(draw);
    }
  }

 protected:
  TabPart Part(TabPartSlot slot) const { return GetTabPart(m_dwState, slot); }
  void SetPart(TabPartSlot slot, TabPart part) { m_dwState = SetTabPart(m_dwState, slot, part); }
  bool IsPressedOver(TabPart part) const { return Part(TabPartSlot::Down) == part && Part(TabPartSlot::Over) == part; }

  static POINT PointOf(LPARAM lParam) {
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  }

  // Notifications ---------------------------------------------------------

  LRESULT Notify(NMHDR& hdr, int code) {
    hdr.hwndFrom = this->m_hWnd;
    hdr.idFrom = static_cast<UINT_PTR>(this->GetDlgCtrlID());
    hdr.code = static_cast<UINT>(code);
    return ::SendMessageW(this->GetParent(), WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
  }
  LRESULT NotifyItem(int code, int index, POINT pt = {-1, -1}) {
    NMCTCITEM record{{}, index, pt};
    return Notify(record.hdr, code);
  }
  LRESULT NotifyMove(int code, int first, int second) {
    NMCTC2ITEMS record{{}, first, second, {-1, -1}};
    return Notify(record.hdr, code);
  }
  LRESULT NotifyDraw(NMCTCCUSTOMDRAW& draw) { return Notify(draw.nmcd.hdr, NM_CUSTOMDRAW); }

  static int ClickCode(UINT uMsg) {
    switch (uMsg) {
      case WM_LBUTTONDBLCLK:
        return NM_DBLCLK;
      case WM_RBUTTONDBLCLK:
        return NM_RDBLCLK;
      case WM_MBUTTONDOWN:
        return CTCN_MCLICK;
      default:
        return CTCN_MDBLCLK;
    }
  }

  // Layout ----------------------------------------------------------------

  std::vector<std::int32_t> NaturalWidths() {
    std::vector<std::int32_t> widths;
    WTL::CClientDC dc(this->m_hWnd);
    int image_width = 0;
    int image_height = 0;
    if (m_imageList) ::ImageList_GetIconSize(m_imageList, &image_width, &image_height);
    for (int i = 0; i < GetItemCount(); ++i) {
      const TItem* item = GetItem(i);
      std::int32_t text_width = -1;
      if (!item->GetText().empty()) {
        WTL::CSelectObject font(dc, i == m_iCurSel ? m_fontSelected.m_handle : m_font.m_handle);
        RECT r{0, 0, 0, 0};
        dc.DrawText(item->GetText().c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
        text_width = r.right - r.left;
      }
      const bool has_image = item->GetImageIndex() >= 0 && m_imageList;
      widths.push_back(NaturalTabWidth(m_Metrics, has_image ? image_width : 0, text_width));
    }
    return widths;
  }

  void Scroll(void (TabStripLayout::*step)(std::int32_t)) {
    (m_Layout.*step)(ScrollStep(m_dwState));
    UpdateLayout();
    this->Invalidate();
  }

  // Tooltips --------------------------------------------------------------

  void CreateTooltips() {
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&init);
    m_tooltip = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, this->m_hWnd, nullptr, WTL::resource_instance(), nullptr);
    if (!m_tooltip) return;
    const UINT dbl = ::GetDoubleClickTime();
    ::SendMessageW(m_tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(dbl, 0));
    ::SendMessageW(m_tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(dbl * 20, 0));
    ::SendMessageW(m_tooltip, TTM_SETDELAYTIME, TTDT_RESHOW, MAKELPARAM(dbl / 5, 0));
    const DWORD style = this->GetStyle();
    if (style & tab_style::Tooltips) ::SendMessageW(m_tooltip, TTM_ACTIVATE, TRUE, 0);
    if (style & tab_style::ScrollButtons) AddScrollTools();
    if (style & tab_style::CloseButton) AddTool(ectcToolTip_Close, const_cast<LPWSTR>(L"Close"));
  }

  void AddScrollTools() {
    AddTool(ectcToolTip_ScrollRight, const_cast<LPWSTR>(L"Scroll Right"));
    AddTool(ectcToolTip_ScrollLeft, const_cast<LPWSTR>(L"Scroll Left"));
  }

  TTTOOLINFOW ToolInfo(UINT_PTR id) const {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.hwnd = this->m_hWnd;
    tool.uId = id;
    return tool;
  }
  void AddTool(UINT_PTR id, LPWSTR text) {
    if (!m_tooltip) return;
    TTTOOLINFOW tool = ToolInfo(id);
    tool.lpszText = text;
    ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  void RemoveTool(UINT_PTR id) {
    if (!m_tooltip) return;
    TTTOOLINFOW tool = ToolInfo(id);
    ::SendMessageW(m_tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  void SetToolRect(UINT_PTR id, const zel::rect& rect) {
    if (!m_tooltip) return;
    TTTOOLINFOW tool = ToolInfo(id);
    tool.rect = ToRECT(rect);
    ::SendMessageW(m_tooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
  }

  // Mouse -----------------------------------------------------------------

  void PressButton(TabPart part, const zel::rect& button) {
    SetPart(TabPartSlot::Down, part);
    SetPart(TabPartSlot::Over, part);
    const RECT r = ToRECT(button);
    this->InvalidateRect(&r);
    ::SetCapture(this->m_hWnd);
  }

  // The buttons light up under the mouse; the tab under it becomes hot.
  void TrackHover(POINT pt) {
    const std::pair<TabPart, zel::rect> buttons[] = {{TabPart::Close, m_Layout.CloseButton()},
                                                     {TabPart::ScrollRight, m_Layout.ScrollRightButton()},
                                                     {TabPart::ScrollLeft, m_Layout.ScrollLeftButton()}};
    for (const auto& [part, rect] : buttons) {
      const RECT r = ToRECT(rect);
      if (rect.contains({pt.x, pt.y})) {
        if (Part(TabPartSlot::Over) == part) {
          if (Part(TabPartSlot::Down) == TabPart::None && Part(TabPartSlot::Hot) != part) {
            SetPart(TabPartSlot::Hot, part);
            this->InvalidateRect(&r);
          }
        } else {
          SetPart(TabPartSlot::Over, part);
          if (Part(TabPartSlot::Down) == part) this->InvalidateRect(&r);
        }
      } else {
        bool changed = false;
        if (Part(TabPartSlot::Over) == part) {
          SetPart(TabPartSlot::Over, TabPart::None);
          changed = Part(TabPartSlot::Down) == part;
        }
        if (Part(TabPartSlot::Hot) == part) {
          SetPart(TabPartSlot::Hot, TabPart::None);
          changed = true;
        }
        if (changed) this->InvalidateRect(&r);
      }
    }
    const bool hot_tracking = (this->GetStyle() & tab_style::HotTrack) != 0;
    if (m_Layout.ItemArea().contains({pt.x, pt.y})) {
      if (Part(TabPartSlot::Over) == TabPart::Item) {
        if (hot_tracking) {
          const int hot = HitTest(pt);
          SetPart(TabPartSlot::Hot, TabPart::Item);
          if (hot != m_iHotItem) {
            m_iHotItem = hot;
            this->Invalidate();
          }
        }
      } else {
        SetPart(TabPartSlot::Over, TabPart::Item);
      }
    } else {
      if (Part(TabPartSlot::Over) == TabPart::Item) SetPart(TabPartSlot::Over, TabPart::None);
      if (hot_tracking && m_iHotItem != -1) {
        m_iHotItem = -1;
        if (Part(TabPartSlot::Hot) == TabPart::Item) SetPart(TabPartSlot::Hot, TabPart::None);
        this->Invalidate();
      }
    }
  }

  // Dragging --------------------------------------------------------------

  void BeginItemDrag(int index, POINT origin) {
    if (!(this->GetStyle() & tab_style::DragToMove) || NotifyItem(CTCN_BEGINITEMDRAG, index, origin) != 0) {
      StopItemDrag(false);
      return;
    }
    // The button went down on the tab, so the capture is already held;
    // taking it again would make the system announce its loss.
    if (::GetCapture() != this->m_hWnd) ::SetCapture(this->m_hWnd);
    this->SetFocus();
    // Loads the OLE library, whose drag cursors the strip shows.
    ::DoDragDrop(nullptr, nullptr, 0, nullptr);
    if (HMODULE ole = ::GetModuleHandleW(L"ole32.dll")) {
      m_hCursorMove = ::LoadCursorW(ole, MAKEINTRESOURCEW(2));
      m_hCursorNoDrop = ::LoadCursorW(ole, MAKEINTRESOURCEW(1));
    }
    m_dwState |= tab_state::Dragging;
    m_iDragItem = m_iDragItemOriginal = index;
    m_ptDragOrigin = origin;
  }

  void ContinueItemDrag(POINT pt) {
    RECT client;
    this->GetClientRect(&client);
    const HCURSOR cursor = ::PtInRect(&client, pt) ? m_hCursorMove : m_hCursorNoDrop;
    if (cursor) ::SetCursor(cursor);
    const int over = HitTest(pt);
    if (over >= 0 && over != m_iDragItem) {
      zel::rect rect;
      m_Layout.GetItemRect(over, rect);
      if (DragPassesMiddle(pt.x, rect, over, m_iDragItem) && MoveItem(m_iDragItem, over)) m_iDragItem = over;
    }
    if (!(this->GetStyle() & tab_style::ScrollButtons)) return;
    const std::int32_t direction = DragScrollDirection(pt.x, m_Layout.ItemArea(), ToRect(client));
    if (direction < 0 && (m_dwState & tab_state::CanScrollLeft)) {
      ScrollLeft();
      this->SetTimer(ectcTimer_ScrollLeft, 100);
    } else if (direction > 0 && (m_dwState & tab_state::CanScrollRight)) {
      ScrollRight();
      this->SetTimer(ectcTimer_ScrollRight, 100);
    }
  }

  void AcceptItemDrag(bool redraw) {
    NotifyMove(CTCN_ACCEPTITEMDRAG, m_iDragItemOriginal, m_iDragItem);
    StopItemDrag(redraw);
  }

  void CancelItemDrag(bool redraw) {
    const int start = m_iDragItemOriginal;
    if (m_iDragItem >= 0 && start >= 0 && m_iDragItem != start) {
      MoveItem(m_iDragItem, start);
      EnsureVisible(start);
    }
    NotifyItem(CTCN_CANCELITEMDRAG, start);
    StopItemDrag(redraw);
  }

  void StopItemDrag(bool redraw) {
    if (m_dwState & tab_state::Dragging) {
      m_dwState &= ~tab_state::Dragging;
      ::SetCursor(reinterpret_cast<HCURSOR>(::GetClassLongPtrW(this->m_hWnd, GCLP_HCURSOR)));
    }
    if (m_hCursorMove) ::DestroyCursor(m_hCursorMove);
    if (m_hCursorNoDrop) ::DestroyCursor(m_hCursorNoDrop);
    m_hCursorMove = m_hCursorNoDrop = nullptr;
    m_iDragItem = m_iDragItemOriginal = -1;
    m_ptDragOrigin = {0, 0};
    if (redraw) this->Invalidate();
  }

  // Drawing helpers -------------------------------------------------------

  void DrawTabs(WTL::CDCHandle dc, const RECT& update, LRESULT pre, NMCTCCUSTOMDRAW& draw) {
    T* self = static_cast<T*>(this);
    WTL::CSaveDC saved(dc);
    const DWORD style = this->GetStyle();
    if (style & tab_style::ScrollButtons) {
      const zel::rect& area = m_Layout.ItemArea();
      ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    }
    const auto draw_one = [&](int i) {
      const TItem* item = GetItem(i);
      UINT state = 0;
      if (i == m_iHotItem && (style & tab_style::HotTrack)) state |= CTCIS_HOT;
      if (item->IsHighlighted()) state |= CTCIS_HIGHLIGHTED;
      if (i == m_iCurSel) state |= CTCIS_SELECTED;
      draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(i);
      draw.nmcd.uItemState = state;
      GetItemRect(i, &draw.nmcd.rc);
      LRESULT answer = 0;
      if (pre & CDRF_NOTIFYITEMDRAW) {
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        answer = NotifyDraw(draw);
      }
      if (!(answer & CDRF_SKIPDEFAULT)) self->DrawItem(item, &draw);
      if (answer & CDRF_NOTIFYPOSTPAINT) {
        draw.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
        NotifyDraw(draw);
      }
    };
    for (int i = 0; i < GetItemCount(); ++i) {
      RECT r, common;
      GetItemRect(i, &r);
      if (i != m_iCurSel && ::IntersectRect(&common, &r, &update)) draw_one(i);
    }
    if (m_iCurSel >= 0 && m_iCurSel < GetItemCount()) draw_one(m_iCurSel);
  }

  std::vector<std::unique_ptr<TItem>> m_Items;
  TabStripLayout m_Layout;
  TabMetrics m_Metrics;  // zero until the first settings pass
  DWORD m_dwState = tab_state::Initial;
  int m_iCurSel = -1;
  int m_iHotItem = -1;
  int m_iDragItem = -1;
  int m_iDragItemOriginal = -1;
  POINT m_ptDragOrigin{0, 0};
  HCURSOR m_hCursorMove = nullptr;
  HCURSOR m_hCursorNoDrop = nullptr;
  WTL::CFont m_font;
  WTL::CFont m_fontSelected;
  WTL::CImageList m_imageList;
  HWND m_tooltip = nullptr;
};

}  // namespace dockwins
