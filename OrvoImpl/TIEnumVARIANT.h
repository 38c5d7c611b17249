// TIEnumVARIANT: an IEnumVARIANT over a list of values taken when it was
// made: a collection's children (as IDispatch) or a property's legal
// value texts; an empty list is the enumerator that yields nothing.
// Clones share the list and keep their own position.
#pragma once

#include <memory>
#include <vector>

#include "AutomationValues.h"
#include "com/object.h"

namespace orvo::impl {

class TIEnumVARIANT : public com::object<TIEnumVARIANT, IEnumVARIANT> {
 public:
  class TValues {
   public:
    TValues() = default;
    ~TValues();
    TValues(const TValues&) = delete;
    TValues& operator=(const TValues&) = delete;
    // Appends a copy of value.
    void Add(const VARIANT& value);
    std::size_t Size() const noexcept { return m_values.size(); }
    const VARIANT& operator[](std::size_t i) const noexcept { return m_values[i]; }

   private:
    std::vector<VARIANT> m_values;
  };

  explicit TIEnumVARIANT(std::shared_ptr<const TValues> values, std::size_t position = 0) noexcept
      : m_values(std::move(values)), m_position(position) {}

  // An enumerator over values, as IUnknown (what _NewEnum hands out).
  static HRESULT Make(std::shared_ptr<const TValues> values, IUnknown** out) noexcept;

  STDMETHODIMP Next(ULONG count, VARIANT* values, ULONG* fetched) override;
  STDMETHODIMP Skip(ULONG count) override;
  STDMETHODIMP Reset() override;
  STDMETHODIMP Clone(IEnumVARIANT** copy) override;

 private:
  std::shared_ptr<const TValues> m_values;
  std::size_t m_position;
};

}  // namespace orvo::impl
