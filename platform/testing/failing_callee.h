// A callee whose one method fails, leaving error information behind: for
// tests of the client's error raisers. IPersist::GetClassID fails with
// E_INVALIDARG and the description given; whether the object vouches for
// that information (ISupportErrorInfo answers S_OK for IID_IPersist) or
// not (it answers S_FALSE) is the template argument.
#pragma once

#include <objbase.h>

#include <string>

#include "com/error.h"
#include "com/object.h"

namespace orvo::testing {

template <bool t_vouches>
class failing_callee
    : public orvo::com::object<failing_callee<t_vouches>, IPersist,
                               orvo::com::supports_error_info<t_vouches ? &IID_IPersist : &IID_IStream>> {
 public:
  explicit failing_callee(std::wstring description) : m_description(std::move(description)) {}
  STDMETHODIMP GetClassID(CLSID*) override {
    return orvo::com::set_error(E_INVALIDARG, L"Orvo.Test", m_description, IID_IPersist);
  }

 private:
  std::wstring m_description;
};

// A new callee held by its IPersist.
template <bool t_vouches>
orvo::com::ptr<IPersist> make_failing_callee(const std::wstring& description) {
  orvo::com::ptr<IPersist> p;
  failing_callee<t_vouches>::make(p, description);
  return p;
}

}  // namespace orvo::testing
