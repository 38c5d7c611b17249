#include "ActiveServersArray.h"

#include <memory>
#include <new>

#include "PortName.h"

HRESULT CActiveServersArray::FindOrOpen(const std::wstring& port, bool attach_only, CSerialImp** engine) noexcept {
  *engine = nullptr;
  try {
    orvo::com::scoped_lock hold(m_lock);
    auto open = [&](const std::string&, std::int32_t& error) -> CSerialImp* {
      auto made = std::make_unique<CSerialImp>();
      const HRESULT hr = made->Open(port);
      if (FAILED(hr)) {
        error = hr;
        return nullptr;
      }
      return made.release();
    };
    using status = rasper::active_servers<CSerialImp>::status;
    const auto r = m_table.find_or_open(NarrowPortName(port), attach_only, open);
    switch (r.what) {
      case status::found:
      case status::opened:
        *engine = r.engine;
        return S_OK;
      case status::not_open:
        return E_ACCESSDENIED;
      case status::full:
        return E_FAIL;
      case status::failed:
        return r.error;
    }
    return E_UNEXPECTED;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

void CActiveServersArray::Release(CSerialImp* engine) noexcept {
  orvo::com::scoped_lock hold(m_lock);
  if (!m_table.release(engine)) return;
  try {
    m_deletion_queue.Push(engine);
  } catch (const std::bad_alloc&) {
    // The engine cannot wait for the main thread: end it here.
    delete engine;
  }
}
