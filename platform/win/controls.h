// Common-control wrappers: a CWindow with the control's class name and its
// messages as member functions. They own nothing; create them with
//   WTL::CListViewCtrl list;
//   list.Create(m_hWnd, rect, nullptr, WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, id);
// or attach one to a dialog's control: WTL::CListViewCtrl list = GetDlgItem(id);
// Controls need InitCommonControlsEx for their classes first.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "image_list.h"
#include "window.h"

namespace WTL {

// Adds the control's class name to a CWindow.
template <class Derived>
class CControlT : public CWindow {
 public:
  CControlT(HWND hWnd = nullptr) noexcept : CWindow(hWnd) {}
  HWND Create(HWND parent, const RECT& rect = rcDefault, LPCWSTR name = nullptr, DWORD style = 0, DWORD exStyle = 0,
              UINT_PTR id = 0) noexcept {
    return CWindow::Create(Derived::GetWndClassName(), parent, rect, name, style, exStyle, id);
  }
};

class CButton : public CControlT<CButton> {
 public:
  using CControlT::CControlT;
  static LPCWSTR GetWndClassName() noexcept { return WC_BUTTONW; }
  int GetCheck() const noexcept { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int check) noexcept { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
};

class CEdit : public CControlT<CEdit> {
 public:
  using CControlT::CControlT;
  static LPCWSTR GetWndClassName() noexcept { return WC_EDITW; }
  void SetSel(int start, int end) noexcept { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
  void ScrollCaret() noexcept { SendMessage(EM_SCROLLCARET); }
};

class CComboBox : public CControlT<CComboBox> {
 public:
  using CControlT::CControlT;
  static LPCWSTR GetWndClassName() noexcept { return WC_COMBOBOXW; }
  int AddString(LPCWSTR text) noexcept {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
  }
  int GetCurSel() const noexcept { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
  int SetCurSel(int index) noexcept { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
  int GetCount() const noexcept { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
  int SetDroppedWidth(int width) noexcept {
    return static_cast<int>(SendMessage(CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width)));
  }
};

class CHeaderCtrl : public CControlT<CHeaderCtrl> {
 public:
  using CControlT::CControlT;
  static LPCWSTR GetWndClassName() noexcept { return WC_HEADERW; }
  int GetItemCount() const noexcept { return static_cast<int>(SendMessage(HDM_GETITEMCOUNT)); }
};

class CListViewCtrl : public CControlT<CListViewCtrl> {
 public:
  using CControlT::CControlT;
  static LPCWSTR GetWndClassName() noexcept { return WC_LISTVIEWW; }
  int InsertColumn(int index, LPCWSTR text, int format = LVCFMT_LEFT, int width = -1, int subItem = -1) noexcept;
  int InsertItem(int index, LPCWSTR text, int image = -1) noexcept;
  BOOL SetItemText(int item, int subItem, LPCWSTR text) noexcept;
  std::wstring GetItemText(int item, int subItem) const;
  int GetItemCount() const noexcept { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
  BOOL DeleteAllItems() noexcept { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
  DWORD SetExtendedListViewStyle(DWORD style, DWORD mask = 0) noexcept {
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, mask, static_cast<LPARAM>(style)));
  }
  CHeaderCtrl GetHeader() const noexcept { return CHeaderCtrl(reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER))); }
  HIMAGELIST SetImageList(HIMAGELIST list, int which) noexcept {
    return reinterpret_cast<HIMAGELIST>(
        SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(which), reinterpret_cast<LPARAM>(list)));
  }
};

class CTreeViewCtrl : public CControlT<CTreeViewCtrl> {
 public:
  using CControlT::CControlT;
  static LPCWSTR GetWndClassName() noexcept { return WC_TREEVIEWW; }
  HTREEITEM InsertItem(LPCWSTR text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST, LPARAM data = 0) noexcept;
  HTREEITEM GetRootItem() const noexcept {
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, TVGN_ROOT));
  }
  BOOL DeleteAllItems() noexcept {
    return static_cast<BOOL>(SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)));
  }
};

class CToolBarCtrl : public CControlT<CToolBarCtrl> {
 public:
  using CControlT::CControlT;
  static LPCWSTR GetWndClassName() noexcept { return TOOLBARCLASSNAMEW; }
  void SetButtonStructSize() noexcept { SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON)); }
  BOOL AddButtons(int count, const TBBUTTON* buttons) noexcept {
    return static_cast<BOOL>(
        SendMessage(TB_ADDBUTTONSW, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(buttons)));
  }
  BOOL EnableButton(int id, BOOL enable = TRUE) noexcept {
    return static_cast<BOOL>(SendMessage(TB_ENABLEBUTTON, static_cast<WPARAM>(id), MAKELPARAM(enable, 0)));
  }
  BOOL CheckButton(int id, BOOL check = TRUE) noexcept {
    return static_cast<BOOL>(SendMessage(TB_CHECKBUTTON, static_cast<WPARAM>(id), MAKELPARAM(check, 0)));
  }
  BOOL IsButtonEnabled(int id) const noexcept {
    return static_cast<BOOL>(SendMessage(TB_ISBUTTONENABLED, static_cast<WPARAM>(id)));
  }
  BOOL IsButtonChecked(int id) const noexcept {
    return static_cast<BOOL>(SendMessage(TB_ISBUTTONCHECKED, static_cast<WPARAM>(id)));
  }
  HIMAGELIST SetImageList(HIMAGELIST list) noexcept {
    return reinterpret_cast<HIMAGELIST>(SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list)));
  }
  void AutoSize() noexcept { SendMessage(TB_AUTOSIZE); }
};

class CStatusBarCtrl : public CControlT<CStatusBarCtrl> {
 public:
  using CControlT::CControlT;
  static LPCWSTR GetWndClassName() noexcept { return STATUSCLASSNAMEW; }
  // Right edges of the panes in client coordinates; -1 reaches the end.
  BOOL SetParts(int count, const int* rightEdges) noexcept {
    return static_cast<BOOL>(
        SendMessage(SB_SETPARTS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(rightEdges)));
  }
  int GetParts() const noexcept { return static_cast<int>(SendMessage(SB_GETPARTS)); }
  BOOL SetText(int pane, LPCWSTR text, int type = 0) noexcept {
    return static_cast<BOOL>(
        SendMessage(SB_SETTEXTW, static_cast<WPARAM>(pane | type), reinterpret_cast<LPARAM>(text)));
  }
  std::wstring GetText(int pane) const;
  BOOL SetIcon(int pane, HICON icon) noexcept {
    return static_cast<BOOL>(SendMessage(SB_SETICON, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(icon)));
  }
};

class CReBarCtrl : public CControlT<CReBarCtrl> {
 public:
  using CControlT::CControlT;
  static LPCWSTR GetWndClassName() noexcept { return REBARCLASSNAMEW; }
  UINT GetBandCount() const noexcept { return static_cast<UINT>(SendMessage(RB_GETBANDCOUNT)); }
  BOOL InsertBand(int index, REBARBANDINFOW* band) noexcept {
    band->cbSize = sizeof(REBARBANDINFOW);
    return static_cast<BOOL>(SendMessage(RB_INSERTBANDW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(band)));
  }
  BOOL GetBandInfo(int index, REBARBANDINFOW* band) const noexcept {
    band->cbSize = sizeof(REBARBANDINFOW);
    return static_cast<BOOL>(SendMessage(RB_GETBANDINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(band)));
  }
  BOOL SetBandInfo(int index, REBARBANDINFOW* band) noexcept {
    band->cbSize = sizeof(REBARBANDINFOW);
    return static_cast<BOOL>(SendMessage(RB_SETBANDINFOW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(band)));
  }
};

class CToolTipCtrl : public CControlT<CToolTipCtrl> {
 public:
  using CControlT::CControlT;
  static LPCWSTR GetWndClassName() noexcept { return TOOLTIPS_CLASSW; }
  BOOL AddTool(TTTOOLINFOW* tool) noexcept {
    tool->cbSize = sizeof(TTTOOLINFOW);
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(tool)));
  }
  void Activate(BOOL active) noexcept { SendMessage(TTM_ACTIVATE, static_cast<WPARAM>(active)); }
};

}  // namespace WTL
