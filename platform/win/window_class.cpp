#include <cstdio>

#include "window_traits.h"

namespace WTL {
namespace {
HINSTANCE g_instance = nullptr;

HINSTANCE this_module() noexcept {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&this_module), &module);
  return module;
}
}  // namespace

HINSTANCE resource_instance() noexcept { return g_instance ? g_instance : this_module(); }
void set_resource_instance(HINSTANCE instance) noexcept { g_instance = instance; }

namespace detail {

ATOM register_class(const window_class& traits, WNDPROC proc, WNDPROC* super) noexcept {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (traits.superclass) {
    if (!::GetClassInfoExW(nullptr, traits.superclass, &wc) &&
        !::GetClassInfoExW(resource_instance(), traits.superclass, &wc)) {
      return 0;
    }
    *super = wc.lpfnWndProc;
    wc.style |= traits.style;
  } else {
    *super = ::DefWindowProcW;
    wc.style = traits.style;
    wc.hbrBackground = nullptr;
    wc.hCursor = nullptr;
  }
  if (traits.background) wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(traits.background));
  if (traits.cursor) wc.hCursor = ::LoadCursorW(nullptr, traits.cursor);
  wc.lpfnWndProc = proc;
  wc.hInstance = resource_instance();
  wchar_t generated[40];
  if (traits.name) {
    wc.lpszClassName = traits.name;
  } else {
    swprintf(generated, 40, L"Orvo:%p", reinterpret_cast<void*>(super));
    wc.lpszClassName = generated;
  }
  return ::RegisterClassExW(&wc);
}

}  // namespace detail
}  // namespace WTL
