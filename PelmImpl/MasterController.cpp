#include "MasterController.h"

#include "Pelm.h"
#include "Reply.h"

using orvo::com::ptr;
using orvo::com::scoped_lock;
using orvo::com::set_error;

CPelmMasterController::CPelmMasterController(IPelmMasterCallback* callback) noexcept : m_callback(callback) {
  if (m_callback) m_callback.query(m_callback2);
}

void* CPelmMasterController::query_extra(REFIID iid) noexcept {
  if (iid == IID_IPelmMasterController) return controller();
  if (iid == IID_IDataProcessor) return static_cast<ICommClient*>(this);
  return nullptr;
}

HRESULT CPelmMasterController::obsolete() noexcept {
  return set_error(E_NOTIMPL, pelm_source, L"Method is obsolete", IID_IPelmMasterController);
}

HRESULT CPelmMasterController::placed(pelm::place_result result, REFIID iid) noexcept {
  switch (result) {
    case pelm::place_result::placed:
      return S_OK;
    case pelm::place_result::invalid_address:
      return set_error(E_INVALIDARG, pelm_source, L"Invalid address", iid);
    case pelm::place_result::invalid_block:
      break;
  }
  return set_error(E_INVALIDARG, pelm_source, L"The block is longer than 250 bytes or its bytes are missing", iid);
}

// ------------------------------------------------------------ requests

STDMETHODIMP CPelmMasterController::RequestStatus(BYTE address) {
  scoped_lock hold(m_lock);
  return placed(m_exchange.place_status(address), IID_IPelmMasterController);
}

STDMETHODIMP CPelmMasterController::RequestIdentity() {
  scoped_lock hold(m_lock);
  m_exchange.place_identity();
  return S_OK;
}

STDMETHODIMP CPelmMasterController::ReadBlock(BYTE address, BYTE a, BYTE b, BYTE* data, BYTE count) {
  scoped_lock hold(m_lock);
  return placed(m_exchange.place_block(pelm::request_kind::block_read, address, a, b, data, count),
                IID_IPelmMasterController);
}

STDMETHODIMP CPelmMasterController::WriteBlock(BYTE address, BYTE a, BYTE b, BYTE* data, BYTE count) {
  scoped_lock hold(m_lock);
  return placed(m_exchange.place_block(pelm::request_kind::block_write, address, a, b, data, count),
                IID_IPelmMasterController2);
}

STDMETHODIMP CPelmMasterController::get_MinAddress(LONG* address) {
  if (!address) return E_POINTER;
  *address = pelm::min_address;
  return S_OK;
}

STDMETHODIMP CPelmMasterController::get_MaxAddress(LONG* address) {
  if (!address) return E_POINTER;
  *address = pelm::max_address;
  return S_OK;
}

STDMETHODIMP CPelmMasterController::get_CRCGenerator(ICRCGenerator** generator) {
  if (!generator) return E_POINTER;
  *generator = nullptr;
  scoped_lock hold(m_crc_lock);
  if (!m_crc) {
    if (const HRESULT hr = orvo::com::create_instance(L"Quarnell.CRCGenerator16", m_crc); FAILED(hr))
      return set_error(hr, pelm_source, L"The CRC-16 generator cannot be created", IID_IPelmMasterController);
  }
  return m_crc->Clone(generator);
}

// ------------------------------------------------------------ the exchange

HRESULT CPelmMasterController::call(const pelm::callback_call& c) {
  ptr<IPelmMasterCallback> callback;
  ptr<IPelmMasterCallback2> callback2;
  {
    scoped_lock hold(m_lock);
    callback = m_callback;
    callback2 = m_callback2;
  }
  if (!callback) return E_UNEXPECTED;
  // Called without the lock: the callback places its next request from
  // whatever thread its call arrives on.
  const BYTE* a = c.args;
  switch (c.method) {
    case pelm::callback_call::open:
      return callback->OnOpen(controller());
    case pelm::callback_call::status:
      return callback->OnStatus(a[0], a[1]);
    case pelm::callback_call::identity:
      return callback->OnIdentity(a[0], a[1]);
    case pelm::callback_call::block_read:
      return callback->OnBlock(a[0], a[1], a[2], a[3], a[4], const_cast<BYTE*>(c.data));
    case pelm::callback_call::block_write:
      return callback2 ? callback2->OnBlockWritten(a[0], a[1]) : E_UNEXPECTED;
    case pelm::callback_call::unexpected:
      break;
  }
  return E_UNEXPECTED;
}

STDMETHODIMP CPelmMasterController::ProcessData(BYTE* data, LONG count, BYTE** reply, LONG* reply_count) {
  if (const HRESULT hr = no_reply(reply, reply_count); FAILED(hr)) return hr;
  pelm::callback_call c;
  {
    scoped_lock hold(m_lock);
    if (m_exchange.answer(data, count > 0 ? static_cast<std::size_t>(count) : 0, c) ==
        pelm::master_exchange::step::busy)
      return S_OK;
  }
  if (const HRESULT hr = call(c); FAILED(hr)) return hr;
  scoped_lock hold(m_lock);
  const auto r = m_exchange.take_reply();
  switch (r.kind) {
    case pelm::master_exchange::reply_kind::send:
      if (FAILED(hand_out(r.data, r.size, reply, reply_count)))
        return set_error(E_OUTOFMEMORY, pelm_source, L"Insufficant memory to complete operation",
                         IID_IPelmMasterController);
      return S_OK;
    case pelm::master_exchange::reply_kind::complete:
      return S_OK;
    case pelm::master_exchange::reply_kind::unexpected:
      break;
  }
  return E_UNEXPECTED;
}

STDMETHODIMP CPelmMasterController::OnConversationTerminated(LONG reason) {
  ptr<IPelmMasterCallback> callback;
  LONG told;
  {
    scoped_lock hold(m_lock);
    callback = std::move(m_callback);
    m_callback2.reset();
    told = m_exchange.end_reason(reason);
  }
  if (callback) callback->OnEnd(told);
  return S_OK;
}
