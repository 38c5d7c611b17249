#include "page_host.h"

#include <utility>

#include "com/module.h"
#include "core/about_rules.h"
#include "zel/errors.h"

namespace Orvo {

std::unique_ptr<page_host> make_browser_page_host();

namespace {
page_host_factory& factory() {
  static page_host_factory installed;
  return installed;
}
}  // namespace

std::unique_ptr<page_host> make_page_host() {
  if (factory()) return factory()();
  return make_browser_page_host();
}

page_host_factory set_page_host_factory(page_host_factory replacement) {
  return std::exchange(factory(), std::move(replacement));
}

std::wstring resource_url(const std::wstring& resource) {
  wchar_t path[MAX_PATH * 4] = {};
  const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  return L"res://" + std::wstring(path, n) + L"/" + resource;
}

void fit_and_centre(HWND window, SIZE client) noexcept {
  RECT frame = {0, 0, client.cx, client.cy};
  ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE)));
  const long width = frame.right - frame.left;
  const long height = frame.bottom - frame.top;
  RECT area = {};
  HWND owner = ::GetWindow(window, GW_OWNER);
  if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
    ::GetWindowRect(owner, &area);
  } else {
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  const point corner = centred_in(width, height, area.left, area.top, area.right, area.bottom);
  ::SetWindowPos(window, nullptr, corner.x, corner.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void check_host_call(HRESULT hr) {
  if (FAILED(hr)) zel::throw_com_error(hr);
}

bool in_window_tree(HWND root, HWND message) noexcept {
  return root && message && (message == root || ::IsChild(root, message));
}

}  // namespace Orvo
