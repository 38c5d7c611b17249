// The page host of the program: the web browser control in a
// zel::web_browser_control window.
#include <memory>

#include "page_host.h"
#include "zel/web_browser_control.h"

namespace Orvo {

namespace {

class browser_page_host final : public page_host {
 public:
  HRESULT create(HWND parent) override { return m_control.create(parent); }
  HRESULT navigate(const std::wstring& url) override { return m_control.navigate(url); }
  void on_navigate_error(std::function<void()> handler) override {
    m_control.on_navigate_error([handler = std::move(handler)](HRESULT) {
      if (handler) handler();
    });
  }
  HRESULT set_ui_flags(DWORD document_flags, bool context_menu) override {
    WTL::ax_host* host = m_control.host();
    if (!host) return E_UNEXPECTED;
    host->set_document_flags(document_flags);
    host->allow_context_menu(context_menu);
    return S_OK;
  }
  HRESULT set_external(IDispatch* external) override {
    WTL::ax_host* host = m_control.host();
    if (!host) return E_UNEXPECTED;
    host->set_external(external);
    return S_OK;
  }
  HRESULT main_table_size(SIZE& size) override { return m_control.element_size(L"MainTable", size); }
  bool forward(MSG* message) override {
    return m_control.IsWindow() && m_control.SendMessage(WM_FORWARDMSG, 0, reinterpret_cast<LPARAM>(message)) != FALSE;
  }
  void destroy() noexcept override { m_control.destroy(); }

 private:
  zel::web_browser_control m_control;
};

}  // namespace

std::unique_ptr<page_host> make_browser_page_host() { return std::make_unique<browser_page_host>(); }

}  // namespace Orvo
