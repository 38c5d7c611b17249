// A modal dialog that lets idle work go on while it waits.
//
// The system's dialog loop runs no idle handlers, so a dialog whose
// buttons follow what the user types (enabled only while a name is valid)
// would never be brought up to date. zel::modal_idle runs the dialog on the
// thread's own message loop instead: its owner is disabled, its keys go
// through the dialog manager, and on each idle pass the loop's idle
// handlers run, then the dialog's own hook, OnIdle. When the dialog ends,
// its hook is removed: it never runs after DoModal has returned.
//
//   class save_dialog : public zel::modal_idle<save_dialog> {
//    public:
//     enum { IDD = 102 };
//     BEGIN_MSG_MAP(save_dialog) ... END_MSG_MAP()
//     BOOL OnIdle() override { GetDlgItem(IDOK).EnableWindow(valid()); return FALSE; }
//   };
//   save_dialog dialog;
//   if (dialog.DoModal(*module.GetMessageLoop(), frame) == IDOK) ...
//
// EndDialog(result) ends the run; a dialog destroyed some other way ends it
// with -1 (a class that overrides OnFinalMessage calls this one's).
#pragma once

#include <windows.h>

#include "win/dialog.h"
#include "win/loop.h"

namespace zel {

template <class T, class TBase = WTL::CWindow>
class modal_idle : public WTL::CDialogImpl<T, TBase>, public WTL::CMessageFilter, public WTL::CIdleHandler {
  using dialog = WTL::CDialogImpl<T, TBase>;

 public:
  // Runs the dialog of resource T::IDD; its result, or -1 when the dialog
  // could not be made.
  INT_PTR DoModal(WTL::CMessageLoop& loop, HWND parent = ::GetActiveWindow(), LPARAM initParam = 0) {
    HWND owner = owner_of(parent);
    return run(loop, owner, dialog::Create(owner, initParam));
  }
  // The same with a dialog template built in memory.
  INT_PTR DoModal(WTL::CMessageLoop& loop, const DLGTEMPLATE* dialogTemplate, HWND parent, LPARAM initParam = 0) {
    HWND owner = owner_of(parent);
    return run(loop, owner, dialog::Create(dialogTemplate, owner, initParam));
  }

  // Ends the running dialog with `result`.
  BOOL EndDialog(int result) noexcept {
    if (!m_run) return dialog::EndDialog(result);
    m_run->end(result);
    return TRUE;
  }

  // The dialog's keys (Tab, Enter, Escape, mnemonics) and every message to
  // it or its controls go through the dialog manager.
  BOOL PreTranslateMessage(MSG* pMsg) override { return ::IsDialogMessageW(this->m_hWnd, pMsg); }

  // The dialog's idle hook; a dialog overrides it.
  BOOL OnIdle() override { return FALSE; }

  void OnFinalMessage(HWND) override {
    if (m_run && !m_run->ended()) m_run->end(-1);
  }

 private:
  // The top-level window that a modal dialog disables.
  static HWND owner_of(HWND parent) noexcept { return parent ? ::GetAncestor(parent, GA_ROOT) : nullptr; }

  INT_PTR run(WTL::CMessageLoop& loop, HWND owner, HWND hWnd) {
    if (!hWnd) return -1;
    const bool disabled = owner && !::EnableWindow(owner, FALSE);  // it was enabled
    ::ShowWindow(hWnd, SW_SHOWNORMAL);
    WTL::modal_run modal;
    m_run = &modal;
    loop.AddMessageFilter(this);
    loop.AddIdleHandler(this);
    loop.RunModal(modal);
    loop.RemoveIdleHandler(this);
    loop.RemoveMessageFilter(this);
    // The owner comes back before the dialog goes, so that it is activated.
    if (disabled) ::EnableWindow(owner, TRUE);
    if (::IsWindow(hWnd)) ::DestroyWindow(hWnd);
    m_run = nullptr;
    // WM_QUIT ended the run: it is back in the queue for the outer loops.
    return modal.ended() ? modal.result() : -1;
  }

  WTL::modal_run* m_run = nullptr;
};

}  // namespace zel
