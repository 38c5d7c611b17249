// The stand-in's control object: what a test uses to steer the stand-in
// (settings, requested failures, events with chosen arguments) and to read
// what the server was asked and what it still holds.
#pragma once

#include <windows.h>

#include "com/dispatch.h"
#include "com/object.h"
#include "stand_in_h.h"

namespace stand_in {

class CStandInControl : public orvo::com::object<CStandInControl, orvo::com::dispatch<IStandInControl>> {
 public:
  STDMETHODIMP FireInitialize(LONG success, BSTR message) override;
  STDMETHODIMP FireChange(LONG type) override;
  STDMETHODIMP FireImpedance(LONG id, VARIANT values) override;
  STDMETHODIMP FireImpedanceEnd() override;
  STDMETHODIMP FireError(LONG code, BSTR description) override;
  STDMETHODIMP FireReset() override;
  STDMETHODIMP get_State(BSTR* value) override;
  STDMETHODIMP put_State(BSTR value) override;
  STDMETHODIMP put_SupportsErrorInfo(VARIANT_BOOL value) override;
  STDMETHODIMP put_OffersAmplifier2(VARIANT_BOOL value) override;
  STDMETHODIMP put_Applied(VARIANT_BOOL value) override;
  STDMETHODIMP put_ChangeInsideSetState(VARIANT_BOOL value) override;
  STDMETHODIMP AddProperty(BSTR name, VARIANT value) override;
  STDMETHODIMP ClearProperties() override;
  STDMETHODIMP FailMethod(BSTR method, LONG code, BSTR description) override;
  STDMETHODIMP Defaults() override;
  STDMETHODIMP get_CallLog(BSTR* value) override;
  STDMETHODIMP get_ObjectCount(LONG* value) override;
  STDMETHODIMP get_SinkCount(LONG* value) override;
  STDMETHODIMP get_ProcessId(LONG* value) override;
};

}  // namespace stand_in
