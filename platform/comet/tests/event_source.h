// The test event source: fires _DSinkTestEvents to every advised sink
// through IDispatch::Invoke, in whatever apartment or process it lives.
#pragma once

#include <vector>

#include "com/connection_points.h"
#include "com/object.h"
#include "sink_test_h.h"

class CSinkTestSource : public orvo::com::object<CSinkTestSource, ISinkTestSource,
                                                 orvo::com::connection_point_container<CSinkTestSource>> {
 public:
  CSinkTestSource() noexcept : m_events(*this, DIID__DSinkTestEvents, true) {}

  orvo::com::connection_point* find_connection_point(REFIID iid) noexcept {
    return iid == DIID__DSinkTestEvents ? &m_events : nullptr;
  }
  std::vector<orvo::com::connection_point*> connection_point_list() { return {&m_events}; }

  STDMETHODIMP FireLevel(LONG level, LONG* result) override;
  STDMETHODIMP FireVote(VARIANT_BOOL byVariant, VARIANT_BOOL* vote) override;
  STDMETHODIMP FireText(BSTR text) override;
  STDMETHODIMP get_ProcessId(LONG* id) override;

 private:
  // Invokes `dispid` on every sink; the last failure, else S_OK.
  HRESULT fire(DISPID dispid, VARIANT* args, UINT count);
  orvo::com::connection_point m_events;
};
