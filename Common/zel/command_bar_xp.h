// The command bar in the flat look: its buttons, the owner's other
// toolbars listed in m_arrToolbars, and its popup menus drawn with blended
// colours, image shadows and embossed disabled images.
//
//   zel::CCommandBarXPCtrl bar;
//   bar.Create(rebar, rect);  // or bar.AttachToWindow(dialog)
//   bar.SetupAfterCreate();   // colours, and no gripper on the bar's band
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "core/command_bar.h"
#include "win/command_bar.h"

namespace zel {

// The drawing the flat look adds to the bar; its colours and flags.
class command_bar_look {
 public:
  std::vector<HWND> m_arrToolbars;            // owner's toolbars drawn in this look
  bool m_bShowKeyboardCues = false;           // underline access keys
  HIMAGELIST m_hImageListDisabled = nullptr;  // not owned; null: generated images
  HBITMAP m_hBmpCheck = nullptr;              // owned: marks of items without image
  HBITMAP m_hBmpUncheck = nullptr;            // owned
  COLORREF m_clrMenuBackground = 0, m_clrImageMargin = 0, m_clrSelectionBorder = 0, m_clrSelectionBackground = 0,
           m_clrCheckedBackground = 0;
  COLORREF m_clrWindowFrame = 0, m_clrGrayText = 0, m_clrWindowText = 0, m_clrMenuText = 0, m_clrButtonText = 0,
           m_clrHotMenuText = 0;

  command_bar_look() = default;
  command_bar_look(const command_bar_look&) = delete;
  command_bar_look& operator=(const command_bar_look&) = delete;
  ~command_bar_look();

  // The colours from the system's and the screen's depth.
  void compute_colours();
  // Gives the bar's band in a rebar parent no gripper.
  static void remove_gripper(HWND bar);
  // The text format of a button: centred without image, prefixes hidden
  // while the cues are off.
  UINT button_text_format(bool hasImage) const noexcept;
  // Switches the cues; true when they changed.
  bool set_cues(bool on) noexcept;

  LRESULT custom_draw(WTL::CCommandBarCtrlBase& bar, NMTBCUSTOMDRAW& draw) const;
  void measure_item(const WTL::CCommandBarCtrlBase& bar, const WTL::command_bar_item& item,
                    MEASUREITEMSTRUCT& measure) const;
  void draw_item(const WTL::CCommandBarCtrlBase& bar, const WTL::command_bar_item& item,
                 const DRAWITEMSTRUCT& draw) const;

  // Paints the generated disabled form of `image` at (x, y): the image's
  // dark pixels as a mask, in COLOR_BTNHIGHLIGHT one pixel right and down,
  // then in COLOR_BTNSHADOW in place; `background` fills the square first.
  static void draw_disabled_image(HDC dc, HIMAGELIST list, int image, int x, int y, HBRUSH background = nullptr);

 private:
  void draw_check_mark(const WTL::CCommandBarCtrlBase& bar, const WTL::command_bar_item& item, HDC dc,
                       const RECT& square, bool enabled, bool selected, bool checked) const;
};

template <class T, class TBase = WTL::CCommandBarCtrlBase>
class CCommandBarXPCtrlImpl : public WTL::CCommandBarCtrlImpl<T, TBase>, public command_bar_look {
  using base = WTL::CCommandBarCtrlImpl<T, TBase>;

 public:
  void SetupAfterCreate() {
    compute_colours();
    remove_gripper(this->m_hWnd);
  }

  BEGIN_MSG_MAP(CCommandBarXPCtrlImpl)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
  MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
  if (this->m_bAttached) {
    NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
  }
  CHAIN_MSG_MAP(base)
  ALT_MSG_MAP(1)
  NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
  CHAIN_MSG_MAP_ALT(base, 1)
  ALT_MSG_MAP(2)
  MESSAGE_HANDLER(WM_SYSKEYDOWN, OnHookSysKeyDown)
  CHAIN_MSG_MAP_ALT(base, 2)
  END_MSG_MAP()

  LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (!this->m_bAttached) return TBase::OnDestroy(uMsg, wParam, lParam, bHandled);
    // The attached window's own handling first; the bar's clean-up still
    // runs, and the window gets its own procedure back for its last messages.
    const LRESULT result = this->DefWindowProc(uMsg, wParam, lParam);
    TBase::OnDestroy(uMsg, wParam, lParam, bHandled);
    this->UnsubclassWindow();
    bHandled = TRUE;
    return result;
  }
  LRESULT OnSettingChange(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    compute_colours();
    this->update_font();
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnKillFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    if (set_cues(false) && !this->m_bAttached) this->Invalidate();
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnCustomDraw(int, LPNMHDR header, BOOL& bHandled) {
    if (header->hwndFrom != this->m_hWnd &&
        std::find(m_arrToolbars.begin(), m_arrToolbars.end(), header->hwndFrom) == m_arrToolbars.end()) {
      bHandled = FALSE;
      return 0;
    }
    return custom_draw(*this, *reinterpret_cast<NMTBCUSTOMDRAW*>(header));
  }
  LRESULT OnHookSysKeyDown(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (set_cues(wParam != VK_SPACE) && !this->m_bAttached) this->Invalidate();
    bHandled = FALSE;
    return 0;
  }

  void MeasureItem(MEASUREITEMSTRUCT& item) override {
    if (const WTL::command_bar_item* record = this->item_of(item.itemData)) measure_item(*this, *record, item);
  }
  void DrawItem(const DRAWITEMSTRUCT& item) override {
    if (const WTL::command_bar_item* record = this->item_of(item.itemData)) draw_item(*this, *record, item);
  }
};

class CCommandBarXPCtrl final : public CCommandBarXPCtrlImpl<CCommandBarXPCtrl, WTL::CCommandBarCtrlBase> {
 public:
  static WTL::window_class class_traits() { return {L"zel::command_bar", 0, 0, nullptr, TOOLBARCLASSNAMEW}; }
};

}  // namespace zel
