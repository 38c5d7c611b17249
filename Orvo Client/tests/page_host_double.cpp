#include "page_host_double.h"

namespace orvo::testing {

namespace {

const UINT page_loaded = WM_APP + 77;

class double_host final : public Orvo::page_host {
 public:
  double_host(page_host_double& owner, HWND loader, std::shared_ptr<page_host_record> record)
      : m_owner(owner), m_loader(loader), m_record(std::move(record)) {}

  HRESULT create(HWND parent) override {
    m_record->parent = parent;
    return m_owner.create_result;
  }
  HRESULT navigate(const std::wstring& url) override {
    m_record->urls.push_back(url);
    if (FAILED(m_owner.navigate_result)) return m_owner.navigate_result;
    ::PostMessageW(m_loader, page_loaded, 0, reinterpret_cast<LPARAM>(new std::weak_ptr<page_host_record>(m_record)));
    return S_OK;
  }
  void on_navigate_error(std::function<void()> handler) override { m_record->navigate_error = std::move(handler); }
  HRESULT set_ui_flags(DWORD flags, bool context_menu) override {
    m_record->flags |= flags;
    m_record->context_menu = context_menu;
    return S_OK;
  }
  HRESULT set_external(IDispatch* external) override {
    m_record->external = com::ptr<IDispatch>(external);
    return S_OK;
  }
  HRESULT main_table_size(SIZE& size) override {
    if (SUCCEEDED(m_owner.size_result)) size = m_owner.table;
    return m_owner.size_result;
  }
  bool forward(MSG*) override {
    ++m_record->forwarded;
    return false;
  }
  void destroy() noexcept override {
    m_record->destroyed = true;
    m_record->external.reset();
    m_record->navigate_error = nullptr;
  }

 private:
  page_host_double& m_owner;
  HWND m_loader;
  std::shared_ptr<page_host_record> m_record;
};

struct loader_window {
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == page_loaded) {
      std::unique_ptr<std::weak_ptr<page_host_record>> record(
          reinterpret_cast<std::weak_ptr<page_host_record>*>(lParam));
      auto* owner = reinterpret_cast<page_host_double*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
      if (auto live = record->lock(); live && !live->destroyed && owner && owner->on_load) owner->on_load(*live);
      return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
};

}  // namespace

page_host_double::page_host_double() {
  WNDCLASSW cls = {};
  cls.lpfnWndProc = loader_window::procedure;
  cls.hInstance = ::GetModuleHandleW(nullptr);
  cls.lpszClassName = L"Orvo.Test.PageLoader";
  ::RegisterClassW(&cls);
  m_loader =
      ::CreateWindowExW(0, cls.lpszClassName, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance, nullptr);
  ::SetWindowLongPtrW(m_loader, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_previous = Orvo::set_page_host_factory([this]() -> std::unique_ptr<Orvo::page_host> {
    hosts.push_back(std::make_shared<page_host_record>());
    return std::make_unique<double_host>(*this, m_loader, hosts.back());
  });
}

page_host_double::~page_host_double() {
  Orvo::set_page_host_factory(std::move(m_previous));
  ::DestroyWindow(m_loader);
}

}  // namespace orvo::testing
