// Window implementations: a C++ object that handles a window's messages
// through its message map.
//
//   class CMyWindow : public WTL::CWindowImpl<CMyWindow> {
//    public:
//     static WTL::window_class class_traits() { return {L"Orvo.MyWindow"}; }
//     BEGIN_MSG_MAP(CMyWindow)
//       MESSAGE_HANDLER(WM_PAINT, OnPaint)
//     END_MSG_MAP()
//     LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
//     void OnFinalMessage(HWND) override { delete this; }  // when it owns itself
//   };
//
// Three ways to bind a window to its object:
//   - Create: the object's own window class (class_traits, registered once;
//     a superclass takes a system control's procedure as its default);
//   - SubclassWindow: an existing window; UnsubclassWindow (or the window's
//     end) restores the procedure it had before;
//   - CContainedWindow: a window inside another window's object, whose
//     messages go to an alternate map (ALT_MSG_MAP) of that object.
//
// Every message runs the map; what the map leaves unhandled gets the
// default processing (DefWindowProc, the superclass's or the previous
// procedure). An exception a handler lets out is logged (guard.h) and the
// message gets the default processing. After WM_NCDESTROY the object is
// unbound and OnFinalMessage runs, once the outermost handler of the
// window has returned, so an object may delete itself there even when its
// window was destroyed from inside one of its own handlers. If the object
// goes first, its window falls back to the default processing.
#pragma once

#include <windows.h>

#include <utility>

#include "binding.h"
#include "message_map.h"
#include "window.h"
#include "window_traits.h"

namespace WTL {

namespace detail {
// Whether a message is one a control sends its parent (WM_COMMAND, WM_NOTIFY...).
bool is_notification(UINT uMsg) noexcept;
// The control that sent a notification to `parent`; null when none.
HWND notification_source(HWND parent, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept;
LRESULT reflect_notification(HWND parent, UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) noexcept;
LRESULT forward_notification(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) noexcept;
BOOL default_reflection(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) noexcept;
}  // namespace detail

// What windows and dialogs share: the current message, reflection and
// forwarding, and the end of a window's life.
template <class TBase = CWindow>
class CWindowImplRoot : public TBase, public CMessageMap {
 public:
  CWindowImplRoot() = default;
  CWindowImplRoot(const CWindowImplRoot&) = delete;
  CWindowImplRoot& operator=(const CWindowImplRoot&) = delete;
  virtual ~CWindowImplRoot() = default;

  const MSG* GetCurrentMessage() const noexcept { return m_pCurrentMsg; }

  // Sends a control's notification back to the control as OCM__BASE + msg.
  LRESULT ReflectNotifications(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) noexcept {
    return detail::reflect_notification(this->m_hWnd, uMsg, wParam, lParam, bHandled);
  }
  // Sends a control's notification on to this window's parent.
  LRESULT ForwardNotifications(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) noexcept {
    return detail::forward_notification(this->m_hWnd, uMsg, wParam, lParam, bHandled);
  }
  // Gives a reflected message that the control does not handle to
  // DefWindowProc as the original message, so the control's own procedure
  // never sees OCM_ codes.
  static BOOL DefaultReflectionHandler(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) noexcept {
    return detail::default_reflection(hWnd, uMsg, wParam, lParam, lResult);
  }

  // Called once after the window's last message; the object may delete itself.
  virtual void OnFinalMessage(HWND) {}

 protected:
  // Runs the map on one message; an exception counts as "not handled".
  BOOL route(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult, const char* where) noexcept {
    MSG current{hWnd, uMsg, wParam, lParam, 0, {0, 0}};
    const MSG* outer = std::exchange(m_pCurrentMsg, &current);
    BOOL handled = FALSE;
    try {
      handled = this->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, 0);
    } catch (...) {
      detail::log_current_exception(where);
      handled = FALSE;
      lResult = 0;
    }
    m_pCurrentMsg = outer;
    return handled;
  }

  // The object bound to hWnd under `atom`; a window seen for the first time
  // takes the object pending for its creation. Null when there is none or
  // it has gone; `left_behind` is then the default procedure of a binding
  // whose object went first (the window's last message removes it), or null.
  template <class Self>
  static Self* bound(HWND hWnd, UINT uMsg, ATOM atom, WNDPROC& left_behind) noexcept {
    left_behind = nullptr;
    detail::binding* b = detail::find_binding(hWnd, atom);
    if (!b) {
      auto* self = static_cast<Self*>(detail::take_pending(atom));
      if (!self || !(b = detail::bind(hWnd, atom, self, self->default_procedure()))) return nullptr;
      self->m_hWnd = hWnd;
    }
    if (b->object) return static_cast<Self*>(b->object);
    left_behind = b->super;
    if (uMsg == WM_NCDESTROY) detail::unbind(hWnd, atom);
    return nullptr;
  }

  // Marks the window gone; OnFinalMessage follows when the outermost handler returns.
  void window_gone(HWND hWnd, ATOM atom) noexcept {
    detail::unbind(hWnd, atom);
    this->m_hWnd = nullptr;
    m_final = true;
  }
  // Leaves one message; runs OnFinalMessage after the outermost one. `this`
  // is not touched afterwards.
  template <class R>
  R leave(HWND hWnd, R result) noexcept {
    if (--m_depth == 0 && m_final) {
      m_final = false;
      try {
        OnFinalMessage(hWnd);
      } catch (...) {
        detail::log_current_exception("final message");
      }
    }
    return result;
  }

  const MSG* m_pCurrentMsg = nullptr;
  int m_depth = 0;
  bool m_final = false;
};

// A window procedure bound to an object, by creation or by subclassing.
template <class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CWindowImplBaseT : public CWindowImplRoot<TBase> {
 public:
  // The default processing of this window.
  WNDPROC m_pfnSuperWindowProc = ::DefWindowProcW;

  ~CWindowImplBaseT() override { let_go(); }

  WNDPROC default_procedure() const noexcept { return m_pfnSuperWindowProc; }
  static DWORD GetWndStyle(DWORD style) noexcept { return TWinTraits::GetWndStyle(style); }
  static DWORD GetWndExStyle(DWORD exStyle) noexcept { return TWinTraits::GetWndExStyle(exStyle); }

  LRESULT DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept {
    return ::CallWindowProcW(m_pfnSuperWindowProc, this->m_hWnd, uMsg, wParam, lParam);
  }
  // The default processing of the message being handled.
  LRESULT DefWindowProc() noexcept {
    const MSG* m = this->m_pCurrentMsg;
    return m ? DefWindowProc(m->message, m->wParam, m->lParam) : 0;
  }

  // Gives the window back the procedure it had before SubclassWindow.
  // When another procedure was put in front since, it fails unless forced;
  // forced, this object lets go and the window's messages pass through.
  HWND UnsubclassWindow(BOOL force = FALSE) noexcept {
    if (!this->m_hWnd || !m_subclassed) return nullptr;
    HWND hWnd = this->m_hWnd;
    if (current_proc() == m_proc) {
      ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuperWindowProc));
      detail::unbind(hWnd, m_atom);
    } else if (!force) {
      return nullptr;
    } else if (detail::binding* b = detail::find_binding(hWnd, m_atom)) {
      b->object = nullptr;
    }
    this->m_hWnd = nullptr;
    m_subclassed = false;
    return hWnd;
  }

 protected:
  // The window procedure of implementation Tag (one per Tag, so that one
  // window may be bound to objects of several implementations at once).
  template <class Tag>
  static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    const ATOM atom = binding_atom<Tag>();
    WNDPROC left_behind = nullptr;
    if (auto* self = CWindowImplBaseT::template bound<CWindowImplBaseT>(hWnd, uMsg, atom, left_behind)) {
      return self->dispatch(hWnd, uMsg, wParam, lParam);
    }
    return ::CallWindowProcW(left_behind ? left_behind : class_super<Tag>(), hWnd, uMsg, wParam, lParam);
  }

  template <class Tag>
  static ATOM binding_atom() noexcept {
    static const char key = 0;
    static const ATOM atom = detail::binding_atom(&key);
    return atom;
  }
  // The default procedure of windows of Tag's registered class.
  template <class Tag>
  static WNDPROC& class_super() noexcept {
    static WNDPROC super = ::DefWindowProcW;
    return super;
  }

  // Creates a window of Tag's class bound to this object.
  template <class Tag>
  HWND create_bound(ATOM windowClass, HWND parent, const RECT& rect, LPCWSTR name, DWORD style, DWORD exStyle,
                    UINT_PTR idOrMenu, LPVOID param) noexcept {
    if (this->m_hWnd || !windowClass) return nullptr;
    m_pfnSuperWindowProc = class_super<Tag>();
    m_proc = &WindowProc<Tag>;
    m_atom = binding_atom<Tag>();
    m_subclassed = false;
    int g[4];
    detail::create_geometry(rect, g);
    detail::set_pending(m_atom, static_cast<CWindowImplBaseT*>(this));
    HWND hWnd =
        ::CreateWindowExW(GetWndExStyle(exStyle), MAKEINTATOM(windowClass), name, GetWndStyle(style), g[0], g[1], g[2],
                          g[3], parent, reinterpret_cast<HMENU>(idOrMenu), resource_instance(), param);
    detail::clear_pending();
    return hWnd;
  }

  // Puts Tag's procedure in front of an existing window's.
  template <class Tag>
  BOOL subclass(HWND hWnd) noexcept {
    if (this->m_hWnd || !::IsWindow(hWnd)) return FALSE;
    m_atom = binding_atom<Tag>();
    m_proc = &WindowProc<Tag>;
    detail::binding* b = detail::bind(hWnd, m_atom, static_cast<CWindowImplBaseT*>(this), nullptr);
    if (!b) return FALSE;
    b->super = m_pfnSuperWindowProc =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_proc)));
    this->m_hWnd = hWnd;
    m_subclassed = true;
    return TRUE;
  }

 private:
  LRESULT dispatch(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept {
    ++this->m_depth;
    LRESULT result = 0;
    if (!this->route(hWnd, uMsg, wParam, lParam, result, "window procedure")) {
      result = ::CallWindowProcW(m_pfnSuperWindowProc, hWnd, uMsg, wParam, lParam);
    }
    if (uMsg == WM_NCDESTROY) {
      if (m_subclassed && current_proc() == m_proc) {
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuperWindowProc));
      }
      m_subclassed = false;
      this->window_gone(hWnd, m_atom);
    }
    return this->leave(hWnd, result);
  }

  WNDPROC current_proc() const noexcept {
    return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(this->m_hWnd, GWLP_WNDPROC));
  }

  // The object goes while its window lives: restore a subclassed window,
  // else leave the binding to pass messages through.
  void let_go() noexcept {
    if (!this->m_hWnd || !::IsWindow(this->m_hWnd)) return;
    if (m_subclassed && UnsubclassWindow()) return;
    if (detail::binding* b = detail::find_binding(this->m_hWnd, m_atom)) {
      if (b->object == static_cast<CWindowImplBaseT*>(this)) b->object = nullptr;
    }
    this->m_hWnd = nullptr;
  }

  WNDPROC m_proc = nullptr;
  ATOM m_atom = 0;
  bool m_subclassed = false;
};

// A window implementation with its own registered class (T::class_traits).
template <class T, class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CWindowImpl : public CWindowImplBaseT<TBase, TWinTraits> {
  using base = CWindowImplBaseT<TBase, TWinTraits>;

 public:
  // The default class: a name of its own, arrow cursor, window background.
  static window_class class_traits() { return {}; }

  HWND Create(HWND parent, const RECT& rect = CWindow::rcDefault, LPCWSTR name = nullptr, DWORD style = 0,
              DWORD exStyle = 0, UINT_PTR idOrMenu = 0, LPVOID param = nullptr) noexcept {
    return this->template create_bound<T>(registered_class(), parent, rect, name, style, exStyle, idOrMenu, param);
  }
  BOOL SubclassWindow(HWND hWnd) noexcept { return this->template subclass<T>(hWnd); }

  // The class atom, registered on first use.
  static ATOM registered_class() noexcept {
    static const ATOM atom =
        detail::register_class(T::class_traits(), &base::template WindowProc<T>, &base::template class_super<T>());
    return atom;
  }
};

// A window inside another window's object: its messages go to the map of
// that object, under the alternate map id given.
template <class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CContainedWindowT : public CWindowImplBaseT<TBase, TWinTraits> {
 public:
  CMessageMap* m_pObject;
  DWORD m_dwMsgMapID;

  explicit CContainedWindowT(CMessageMap* object, DWORD msgMapID = 0) noexcept
      : m_pObject(object), m_dwMsgMapID(msgMapID) {}

  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult, DWORD) override {
    return m_pObject && m_pObject->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, m_dwMsgMapID);
  }
  BOOL SubclassWindow(HWND hWnd) noexcept { return this->template subclass<CContainedWindowT>(hWnd); }
};

using CContainedWindow = CContainedWindowT<CWindow>;

}  // namespace WTL
