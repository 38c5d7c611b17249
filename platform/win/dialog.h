// Dialog implementations: a dialog (from a resource or an in-memory
// template) handled by an object's message map.
//
//   class about_dialog : public WTL::CDialogImpl<about_dialog> {
//    public:
//     enum { IDD = 100 };                        // the dialog resource
//     BEGIN_MSG_MAP(about_dialog)
//       MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
//       COMMAND_ID_HANDLER(IDOK, OnClose)
//     END_MSG_MAP()
//     LRESULT OnClose(WORD, WORD id, HWND, BOOL&) { EndDialog(id); return 0; }
//   };
//   about_dialog().DoModal(parent);
//
// Modal dialogs run the system's dialog loop; modeless ones (Create) live
// in the thread's message loop, which gives them their dialog keys through
// IsDialogMessage when they are message filters. What a handler answers
// becomes the dialog's result (DWLP_MSGRESULT, or the return value for the
// messages that return it directly); an unhandled message gets the dialog
// manager's default processing. The window's end, OnFinalMessage and
// exceptions behave as for windows (window_impl.h).
#pragma once

#include <windows.h>

#include "window_impl.h"

namespace WTL {

namespace detail {
// The messages a dialog procedure answers with its return value.
bool dialog_returns_directly(UINT uMsg) noexcept;
}  // namespace detail

template <class TBase = CWindow>
class CDialogImplBaseT : public CWindowImplRoot<TBase> {
 public:
  // The dialog manager does the default processing.
  WNDPROC default_procedure() const noexcept { return nullptr; }

  // Ends a modal dialog with `result`; destroys a modeless one.
  BOOL EndDialog(int result) noexcept {
    return m_modal ? ::EndDialog(this->m_hWnd, result) : ::DestroyWindow(this->m_hWnd);
  }

  ~CDialogImplBaseT() override {
    if (this->m_hWnd) {
      if (detail::binding* b = detail::find_binding(this->m_hWnd, m_atom)) b->object = nullptr;
    }
  }

 protected:
  template <class Tag>
  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    WNDPROC left_behind = nullptr;
    auto* self = CDialogImplBaseT::template bound<CDialogImplBaseT>(hWnd, uMsg, binding_atom<Tag>(), left_behind);
    return self ? self->dispatch(hWnd, uMsg, wParam, lParam) : FALSE;
  }

  template <class Tag>
  static ATOM binding_atom() noexcept {
    static const char key = 0;
    static const ATOM atom = detail::binding_atom(&key);
    return atom;
  }

  // Readies the binding of the dialog about to be made by `Tag`.
  template <class Tag>
  bool prepare(bool modal) noexcept {
    if (this->m_hWnd) return false;
    m_atom = binding_atom<Tag>();
    m_modal = modal;
    detail::set_pending(m_atom, static_cast<CDialogImplBaseT*>(this));
    return true;
  }

 private:
  INT_PTR dispatch(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept {
    ++this->m_depth;
    LRESULT result = 0;
    INT_PTR answer = FALSE;
    if (this->route(hWnd, uMsg, wParam, lParam, result, "dialog procedure")) {
      if (detail::dialog_returns_directly(uMsg)) {
        answer = static_cast<INT_PTR>(result);
      } else {
        ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, result);
        answer = TRUE;
      }
    }
    if (uMsg == WM_NCDESTROY) this->window_gone(hWnd, m_atom);
    return this->leave(hWnd, answer);
  }

  ATOM m_atom = 0;
  bool m_modal = false;
};

// A dialog of resource T::IDD, or of a template given in memory.
template <class T, class TBase = CWindow>
class CDialogImpl : public CDialogImplBaseT<TBase> {
  using base = CDialogImplBaseT<TBase>;

 public:
  INT_PTR DoModal(HWND parent = ::GetActiveWindow(), LPARAM initParam = 0) noexcept {
    if (!this->template prepare<T>(true)) return -1;
    INT_PTR r = ::DialogBoxParamW(resource_instance(), MAKEINTRESOURCEW(T::IDD), parent, &base::template DialogProc<T>,
                                  initParam);
    detail::clear_pending();
    return r;
  }
  INT_PTR DoModal(const DLGTEMPLATE* dialogTemplate, HWND parent, LPARAM initParam = 0) noexcept {
    if (!this->template prepare<T>(true)) return -1;
    INT_PTR r = ::DialogBoxIndirectParamW(resource_instance(), dialogTemplate, parent, &base::template DialogProc<T>,
                                          initParam);
    detail::clear_pending();
    return r;
  }
  HWND Create(HWND parent, LPARAM initParam = 0) noexcept {
    if (!this->template prepare<T>(false)) return nullptr;
    HWND hWnd = ::CreateDialogParamW(resource_instance(), MAKEINTRESOURCEW(T::IDD), parent,
                                     &base::template DialogProc<T>, initParam);
    detail::clear_pending();
    return hWnd;
  }
  HWND Create(const DLGTEMPLATE* dialogTemplate, HWND parent, LPARAM initParam = 0) noexcept {
    if (!this->template prepare<T>(false)) return nullptr;
    HWND hWnd = ::CreateDialogIndirectParamW(resource_instance(), dialogTemplate, parent, &base::template DialogProc<T>,
                                             initParam);
    detail::clear_pending();
    return hWnd;
  }
};

}  // namespace WTL
