// CCommServerConstructor ("Quarnell.CommServerConstructor"): hands out a
// facade (ICommServer) of any serial port, lists the machine's ports,
// creates in-process components inside the line server's process, and
// keeps the process-wide table of interfaces by name (IRasperGIT).
#pragma once

#include "CommServer_h.h"
#include "com/error.h"
#include "com/object.h"

class CCommServerConstructor
    : public orvo::com::object<CCommServerConstructor, ICommServerConstructor, IRasperGIT,
                               orvo::com::supports_error_info<&IID_ICommServerConstructor, &IID_IRasperGIT>> {
 public:
  static constexpr bool aggregatable = false;

  STDMETHODIMP GetCommServer(BSTR port, ICommServer** server) override;
  STDMETHODIMP EnumPorts(IEnumString** ports) override;
  STDMETHODIMP CreateInProcessComponent(REFCLSID clsid, REFIID iid, IUnknown** object) override;
  STDMETHODIMP GetCommServerEx(BSTR port, ICommServer** server, VARIANT_BOOL attach_only) override;

  STDMETHODIMP RegisterInterface(BSTR name, IUnknown* object) override;
  STDMETHODIMP RevokeInterface(BSTR name) override;
  STDMETHODIMP GetInterface(BSTR name, IUnknown** object) override;
};
