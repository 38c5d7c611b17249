// CDialogView<T, TBase>: a dialog resource made into a docked child view.
// T chains this map first; on WM_INITDIALOG the window loses its caption
// bits, becomes a child and is shown, and T's own handler still runs. As a
// message filter the view gets its dialog keys (Tab, arrows, mnemonics).
//
//   class CLogWindow : public CDialogView<CLogWindow>, ... {
//     BEGIN_MSG_MAP(CLogWindow)
//       CHAIN_MSG_MAP(CDialogView<CLogWindow>)
//       MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
//     ...
//   loop.AddMessageFilter(&view);
#pragma once

#include <windows.h>

#include "win/dialog.h"
#include "win/loop.h"
#include "win/message_map.h"

template <class T, class TBase = WTL::CWindow>
class CDialogView : public WTL::CDialogImpl<T, TBase>, public WTL::CMessageFilter {
 public:
  BOOL PreTranslateMessage(MSG* msg) override {
    const HWND view = this->m_hWnd;
    if (!view || (msg->hwnd != view && !::IsChild(view, msg->hwnd))) return FALSE;
    return ::IsDialogMessageW(view, msg);
  }

  BEGIN_MSG_MAP(CDialogView)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  END_MSG_MAP()

  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    const DWORD style = this->GetStyle();
    const DWORD wanted = (style & ~WS_CAPTION) | WS_CHILD;
    if (wanted != style) this->SetWindowLongPtr(GWL_STYLE, static_cast<LONG_PTR>(wanted));
    this->ShowWindow(SW_SHOWNORMAL);
    bHandled = FALSE;
    return 1;
  }
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    bHandled = FALSE;
    return 0;
  }
};
