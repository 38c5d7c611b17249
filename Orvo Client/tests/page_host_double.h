// A page host that shows no page: it records what the windows ask of it
// and, once a page is navigated to, runs the test's "page" from the
// thread's queue, as a loaded page would call window.external.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "com/ptr.h"
#include "page_host.h"

namespace orvo::testing {

struct page_host_record {
  HWND parent = nullptr;
  std::vector<std::wstring> urls;
  DWORD flags = 0;
  bool context_menu = true;
  com::ptr<IDispatch> external;
  int forwarded = 0;
  bool destroyed = false;
  std::function<void()> navigate_error;  // the window's answer to a failed load
};

class page_host_double {
 public:
  // Installs itself as the factory of page hosts; the previous one comes back at the end.
  page_host_double();
  ~page_host_double();

  // What the hosts answer.
  SIZE table = {420, 466};
  HRESULT create_result = S_OK;
  HRESULT navigate_result = S_OK;
  HRESULT size_result = S_OK;
  // Run (from the queue) after each navigation: the page's script.
  std::function<void(page_host_record&)> on_load;

  std::vector<std::shared_ptr<page_host_record>> hosts;

 private:
  Orvo::page_host_factory m_previous;
  HWND m_loader = nullptr;
};

}  // namespace orvo::testing
