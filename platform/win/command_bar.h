// The command bar: a window's menu shown as toolbar buttons, opened by
// mouse, Alt, F10 or a mnemonic, and its popups drawn by the bar with the
// image of each command beside its item.
//
//   class CMyBar : public WTL::CCommandBarCtrlImpl<CMyBar> { ... };
//   bar.Create(rebar, rect);          // its owner is the rebar's parent
//   bar.AttachMenu(frame.GetMenu());  // the frame keeps no menu bar
//   bar.LoadImages(IDR_TOOLBAR);      // images from a toolbar resource
// or bar.AttachToWindow(dialog) to draw a window's context menus.
//
// Message groups of the map: 0 the bar's own window (or the attached one),
// 1 its owner's messages (the owner is subclassed), 2 keyboard messages
// its thread's message hook hands to the bar.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controls.h"
#include "hook.h"
#include "window_impl.h"

namespace WTL {

// What the bar keeps of one popup item while it draws it.
struct command_bar_item {
  std::wstring text;
  UINT type = 0;
  UINT state = 0;
  int image = -1;
  UINT id = 0;
  HBITMAP checked = nullptr;
  HBITMAP unchecked = nullptr;
  ULONG_PTR data = 0;  // the item's own data, given back when the popup closes
};

class CCommandBarCtrlBase : public CToolBarCtrl {
 public:
  CCommandBarCtrlBase() = default;
  CCommandBarCtrlBase(const CCommandBarCtrlBase&) = delete;
  CCommandBarCtrlBase& operator=(const CCommandBarCtrlBase&) = delete;
  virtual ~CCommandBarCtrlBase();

  // Images: an image list of the commands' images (owned) and the command
  // of each image; a command given twice takes the later image.
  HIMAGELIST m_hImageList = nullptr;
  std::vector<UINT> m_arrCommand;
  SIZE m_szBitmap{16, 16};
  SIZE m_szButton{22, 22};  // image size + 6
  COLORREF m_clrMask = RGB(192, 192, 192);
  HFONT m_hFont = nullptr;  // the menu font (owned)
  bool m_bParentActive = true;
  bool m_bAttached = false;
  HMENU m_hMenu = nullptr;
  HWND m_hWndOwner = nullptr;

  // Menu: one text-only drop-down button per top-level popup of `menu`;
  // the owner's menu bar is removed when it showed this menu.
  BOOL AttachMenu(HMENU menu);
  BOOL LoadMenu(UINT id);
  HMENU GetMenu() const noexcept { return m_hMenu; }

  // Images from toolbar resource `id` and its bitmap.
  BOOL LoadImages(UINT id);
  // Images from a toolbar resource and an image list of the same order.
  BOOL LoadImages(UINT id, HIMAGELIST images);
  // Images of a bitmap strip for `count` commands (0: no image).
  BOOL AddBitmap(HBITMAP bitmap, const UINT* commands, int count);
  BOOL AddIcon(HICON icon, UINT command);
  void SetImageSize(SIZE size);
  void SetImageMaskColor(COLORREF mask) noexcept { m_clrMask = mask; }
  // The image of a command, -1 when it has none.
  int GetImageIndex(UINT command) const noexcept;

  // Whether a menu of this bar is open.
  bool IsMenuOpen() const noexcept { return m_nTracking >= 0 || m_bPopupTracking; }
  // Opens `menu` as a popup of the owner with the bar's drawing.
  BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, LPTPMPARAMS params = nullptr);
  // The popup window of the open menu (known once the menu loop is idle).
  HWND GetPopupWindow() const noexcept { return m_hWndPopup; }
  int GetTrackingButton() const noexcept { return m_nTracking; }
  bool IsKeyboardMode() const noexcept { return m_bKeyboard; }

  // The records of open popups (none outside an open menu).
  size_t GetItemRecordCount() const noexcept;

  // Drawing of owner-drawn popup items; the base draws a plain look.
  virtual void DrawItem(const DRAWITEMSTRUCT& item);
  virtual void MeasureItem(MEASUREITEMSTRUCT& item);

  // Own group.
  LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnOpenMenu(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  // Owner group.
  LRESULT OnInitMenuPopup(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnUninitMenuPopup(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnMenuSelect(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnEnterIdle(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnMeasureItem(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnDrawItem(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnMenuChar(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnParentActivate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

  // The message the bar posts itself to open button wParam (lParam: by keyboard).
  static UINT open_menu_message() noexcept;

 protected:
  // The owner's own handling of a message (its previous procedure).
  virtual LRESULT owner_default(UINT uMsg, WPARAM wParam, LPARAM lParam) = 0;
  // Hands a keyboard message from the hook to group 2 of the map.
  virtual void hook_message(UINT uMsg, WPARAM wParam, LPARAM lParam) = 0;
  // Subclasses the owner for group 1; removed by release_owner.
  virtual void subclass_owner(HWND owner) = 0;
  virtual void release_owner() = 0;

  // What creation and attaching share: owner, hooks, font, activation.
  void set_up(HWND owner);
  // After the toolbar's own creation: the owner is the parent, or a rebar's parent.
  void created();
  // Undoes set_up and frees the images: hook entry, subclass, records.
  void clean_up() noexcept;
  void update_font();
  const command_bar_item* item_of(ULONG_PTR data) const noexcept;

 private:
  void track(int index, bool keyboard);
  bool on_filter(MSG& msg);
  bool on_get_message(MSG& msg);
  void set_hot(int index);
  void leave_keyboard_mode();
  int button_of_mnemonic(wchar_t key) const;
  int button_count() const noexcept;
  bool owns_keys(HWND target) const;
  void make_owner_drawn(HMENU popup);
  void restore_menu(HMENU popup);
  bool add_strip(HBITMAP bitmap, const std::vector<UINT>& commands);

  thread_hook m_getMessage;
  thread_hook m_filter;
  int m_nTracking = -1;
  int m_nNext = -1;
  bool m_bNextByKey = false;
  bool m_bPopupTracking = false;
  bool m_bKeyboard = false;
  bool m_bAltAlone = false;
  bool m_bSwallowKeyUp = false;
  bool m_bRedrawnForPopup = false;
  HWND m_hWndPopup = nullptr;
  HMENU m_hTopPopup = nullptr;
  HMENU m_hSelectedMenu = nullptr;
  bool m_bSelectedIsPopup = false;
  std::map<HMENU, std::vector<std::unique_ptr<command_bar_item>>> m_items;
};

template <class T, class TBase = CCommandBarCtrlBase,
          class TWinTraits = CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | CCS_NODIVIDER |
                                        CCS_NORESIZE | CCS_NOPARENTALIGN | TBSTYLE_LIST | TBSTYLE_FLAT>>
class CCommandBarCtrlImpl : public CWindowImpl<T, TBase, TWinTraits> {
 public:
  static window_class class_traits() { return {nullptr, 0, 0, nullptr, TOOLBARCLASSNAMEW}; }

  CCommandBarCtrlImpl() : m_wndParent(this, 1) {}

  using TBase::OnDestroy, TBase::OnLButtonDown, TBase::OnOpenMenu, TBase::OnInitMenuPopup, TBase::OnUninitMenuPopup,
      TBase::OnMenuSelect, TBase::OnEnterIdle, TBase::OnMeasureItem, TBase::OnDrawItem, TBase::OnMenuChar,
      TBase::OnParentActivate;

  // Takes over an existing window: its menus are drawn by the bar.
  BOOL AttachToWindow(HWND hWnd) {
    if (this->m_hWnd || !this->SubclassWindow(hWnd)) return FALSE;
    this->m_bAttached = true;
    this->set_up(hWnd);
    return TRUE;
  }

  BEGIN_MSG_MAP(CCommandBarCtrlImpl)
  if (this->m_bAttached && uMsg != WM_DESTROY &&
      static_cast<T*>(this)->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, 1))
    return TRUE;
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  if (!this->m_bAttached) {
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(TBase::open_menu_message(), OnOpenMenu)
  }
  ALT_MSG_MAP(1)
  MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
  MESSAGE_HANDLER(WM_UNINITMENUPOPUP, OnUninitMenuPopup)
  MESSAGE_HANDLER(WM_MENUSELECT, OnMenuSelect)
  MESSAGE_HANDLER(WM_ENTERIDLE, OnEnterIdle)
  MESSAGE_HANDLER(WM_MEASUREITEM, OnMeasureItem)
  MESSAGE_HANDLER(WM_DRAWITEM, OnDrawItem)
  MESSAGE_HANDLER(WM_MENUCHAR, OnMenuChar)
  MESSAGE_HANDLER(WM_ACTIVATE, OnParentActivate)
  ALT_MSG_MAP(2)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    const LRESULT result = this->DefWindowProc();
    if (result != -1) this->created();
    return result;
  }

 protected:
  LRESULT owner_default(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
    return this->m_bAttached ? this->DefWindowProc(uMsg, wParam, lParam)
                             : m_wndParent.DefWindowProc(uMsg, wParam, lParam);
  }
  void hook_message(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
    LRESULT result = 0;
    static_cast<T*>(this)->ProcessWindowMessage(this->m_hWnd, uMsg, wParam, lParam, result, 2);
  }
  void subclass_owner(HWND owner) override {
    if (!this->m_bAttached) m_wndParent.SubclassWindow(owner);
  }
  void release_owner() override {
    if (m_wndParent.m_hWnd) m_wndParent.UnsubclassWindow(TRUE);
  }

  CContainedWindow m_wndParent;
};

}  // namespace WTL
