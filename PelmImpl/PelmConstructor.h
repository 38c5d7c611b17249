// CPelmConstructor (coclass PelmConstructor): gives a client program the
// device object of a port. The object is made inside the line server's
// process, next to the port it serves, and attached there.
#pragma once

#include "Pelm_h.h"
#include "com/error.h"
#include "com/object.h"

class CPelmConstructor : public orvo::com::object<CPelmConstructor, IPelmConstructor,
                                                  orvo::com::supports_error_info<&IID_IPelmConstructor>> {
 public:
  STDMETHODIMP Create(ICommServer* port, IPelm** device) override;
};
