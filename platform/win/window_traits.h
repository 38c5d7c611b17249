// Window traits and class traits: what a window class declares about the
// windows it creates and about its registered window class.
//
//   class CMyView : public WTL::CWindowImpl<CMyView, WTL::CWindow, WTL::CControlWinTraits> {
//    public:
//     static WTL::window_class class_traits() { return {L"Orvo.MyView", CS_DBLCLKS, COLOR_WINDOW + 1}; }
//   };
#pragma once

#include <windows.h>

namespace WTL {

// Styles used when Create is given none (0).
template <DWORD t_style = 0, DWORD t_exStyle = 0>
class CWinTraits {
 public:
  static constexpr DWORD GetWndStyle(DWORD style) noexcept { return style ? style : t_style; }
  static constexpr DWORD GetWndExStyle(DWORD exStyle) noexcept { return exStyle ? exStyle : t_exStyle; }
};

// Adds styles to those of another traits class and to the given ones.
template <DWORD t_style = 0, DWORD t_exStyle = 0, class TWinTraits = CWinTraits<>>
class CWinTraitsOR {
 public:
  static constexpr DWORD GetWndStyle(DWORD style) noexcept { return style | t_style | TWinTraits::GetWndStyle(style); }
  static constexpr DWORD GetWndExStyle(DWORD exStyle) noexcept {
    return exStyle | t_exStyle | TWinTraits::GetWndExStyle(exStyle);
  }
};

using CNullTraits = CWinTraits<0, 0>;
using CControlWinTraits = CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0>;
using CFrameWinTraits =
    CWinTraits<WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE>;

// The registered class of a window implementation.
//   name:       the class name; null gives a name unique to the implementation.
//   style:      class styles; for a superclass, added to the base class's.
//   background: a system colour index + 1 (COLOR_WINDOW + 1), or 0: none
//               (a superclass keeps the base class's brush).
//   cursor:     a system cursor (IDC_ARROW), or null: none (a superclass
//               keeps the base class's cursor).
//   superclass: a registered class (a system control such as L"EDIT") whose
//               window procedure becomes the default processing.
struct window_class {
  LPCWSTR name = nullptr;
  UINT style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  int background = COLOR_WINDOW + 1;
  LPCWSTR cursor = IDC_ARROW;
  LPCWSTR superclass = nullptr;
};

namespace detail {
// Registers the class once per process for the procedure `proc`; returns
// the class atom (0 on failure, with the last error set) and the default
// procedure of its windows.
ATOM register_class(const window_class& traits, WNDPROC proc, WNDPROC* super) noexcept;
}  // namespace detail

// The instance whose resources and window classes the layer uses: the one
// the module was initialised with, else the module holding this code.
HINSTANCE resource_instance() noexcept;
void set_resource_instance(HINSTANCE instance) noexcept;

}  // namespace WTL
