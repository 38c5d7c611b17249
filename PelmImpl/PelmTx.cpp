#include "PelmTx.h"

#include <string>

#include "Reply.h"

using orvo::com::ptr;
using orvo::com::scoped_lock;

// ------------------------------------------------------------ search

STDMETHODIMP CFindPelm::ProcessData(BYTE* data, LONG count, BYTE** reply, LONG* reply_count) {
  if (const HRESULT hr = no_reply(reply, reply_count); FAILED(hr)) return hr;
  if (!data || count <= 0) {
    // The request: devices get longer to answer a search than a request.
    if (auto p = port()) {
      LONG timeout = 0;
      if (SUCCEEDED(p->get_ConversationTimeout(&timeout))) {
        {
          scoped_lock hold(m_lock);
          m_saved_timeout = timeout;
        }
        p->put_ConversationTimeout(pelm::find_timeout_ms);
      }
    }
    return hand_out(&pelm::find_request, 1, reply, reply_count);
  }
  try {
    if (auto record = pelm::parse_find_answer(data, static_cast<std::size_t>(count))) {
      scoped_lock hold(m_lock);
      m_found = std::move(record);
    }
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return S_FALSE;  // no reply: the conversation completes
}

STDMETHODIMP CFindPelm::OnConversationTerminated(LONG reason) {
  std::optional<LONG> saved;
  bool again;
  {
    scoped_lock hold(m_lock);
    saved = std::exchange(m_saved_timeout, std::nullopt);
    again = m_callback && m_retries.again(reason);
  }
  if (saved)
    if (auto p = port()) p->put_ConversationTimeout(*saved);
  if (again && request_again(pelm::find_address)) return S_OK;

  ptr<IFindPelmCallback> callback;
  std::optional<pelm::device_record> found;
  {
    scoped_lock hold(m_lock);
    callback = std::move(m_callback);
    found = std::move(m_found);
  }
  if (!callback) return S_OK;
  PelmDeviceRecord record{};
  if (found) {
    const std::wstring identity(found->identity.begin(), found->identity.end());
    record.identity = SysAllocStringLen(identity.data(), static_cast<UINT>(identity.size()));
    record.byte5 = found->byte5;
    record.byte6 = found->byte6;
    record.byte7 = found->byte7;
    record.byte8 = found->byte8;
    record.byte9 = found->byte9;
    record.byte10 = found->byte10;
    record.byte11 = found->byte11;
    record.byte12 = found->byte12;
  }
  callback->OnFindComplete(found ? &record : nullptr);
  SysFreeString(record.identity);
  scoped_lock hold(m_lock);
  m_device.reset();
  return S_OK;
}

// ------------------------------------------------------------ reset

STDMETHODIMP CPelmReset::ProcessData(BYTE* data, LONG count, BYTE** reply, LONG* reply_count) {
  if (const HRESULT hr = no_reply(reply, reply_count); FAILED(hr)) return hr;
  if (!data || count <= 0) return hand_out(&pelm::reset_request, 1, reply, reply_count);
  return S_OK;  // any answer completes the reset
}

STDMETHODIMP CPelmReset::OnConversationTerminated(LONG reason) {
  bool again;
  {
    scoped_lock hold(m_lock);
    again = m_device && m_retries.again(reason);
  }
  if (again && request_again(pelm::master_address)) return S_OK;
  scoped_lock hold(m_lock);
  m_device.reset();
  return S_OK;
}
