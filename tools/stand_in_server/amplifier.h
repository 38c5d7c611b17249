// The stand-in's amplifier server object: the server interfaces, the
// system's root node (IIdentifier, ID -1) and the connection point of the
// server's events; and the Properties collection it hands out.
#pragma once

#include <windows.h>

#include "OrvoImpl_h.h"
#include "OrvoServer_h.h"
#include "com/connection_points.h"
#include "com/dispatch.h"
#include "com/object.h"
#include "process_state.h"

namespace stand_in {

// A dispatch entry whose interfaces the process settings can switch off:
// the second server interface and ISupportErrorInfo.
template <class Base>
class switched : public Base {
 public:
  void* find_interface(REFIID iid) noexcept {
    process_state& p = process();
    orvo::com::scoped_lock hold(p.lock);
    if (iid == IID_IOrvoAmplifier2 && !p.current.offers_amplifier2) return nullptr;
    if (iid == IID_ISupportErrorInfo && !p.current.supports_error_info) return nullptr;
    return Base::find_interface(iid);
  }
};

class CStandInAmplifier
    : public orvo::com::object<CStandInAmplifier, switched<orvo::com::dispatch<IOrvoAmplifier2, IOrvoAmplifier>>,
                               switched<orvo::com::dispatch<IIdentifier>>,
                               orvo::com::connection_point_container<CStandInAmplifier>> {
 public:
  CStandInAmplifier() noexcept;
  ~CStandInAmplifier() override;

  // The class factory's creation: the live object when there is one.
  static HRESULT create(IUnknown* outer, REFIID iid, void** out) noexcept;

  orvo::com::connection_point* find_connection_point(REFIID iid) noexcept;
  std::vector<orvo::com::connection_point*> connection_point_list() { return {&m_events}; }
  std::size_t sink_count() const noexcept { return m_events.sink_count(); }

  // The events, to every advised sink (through IDispatch::Invoke).
  void fire_initialize(LONG success, const std::wstring& message);
  HRESULT fire_change(VARTYPE type);  // see IStandInControl::FireChange
  // OnChange with a new state object whose GlobalDeblock is `deblock`
  // (-1: as the state string makes it).
  HRESULT fire_change(VARTYPE type, int deblock);
  void fire_impedance(LONG id, const VARIANT& values);
  void fire_impedance_end();
  void fire_error(LONG code, const std::wstring& description);
  void fire_reset();

  // IOrvoAmplifier
  STDMETHODIMP Reserved1() override;
  STDMETHODIMP Reserved2() override;
  STDMETHODIMP Reserved3() override;
  STDMETHODIMP Initialize(VARIANT_BOOL reset) override;
  STDMETHODIMP SetState(VARIANT state, VARIANT_BOOL* applied) override;
  STDMETHODIMP get_Properties(IDispatch** value) override;
  STDMETHODIMP CheckImpedance(LONG id, VARIANT_BOOL on) override;
  STDMETHODIMP CanCheckImpedance(LONG id, VARIANT_BOOL* result) override;
  // IOrvoAmplifier2
  STDMETHODIMP ChangeSerialNumber(LONG old_number, LONG new_number) override;
  // IIdentifier
  STDMETHODIMP get_ID(LONG* value) override;
  STDMETHODIMP get_Name(BSTR* value) override;
  STDMETHODIMP get_Parent(IDispatch** value) override;

 private:
  void fire(DISPID id, VARIANT* arguments, UINT count);  // arguments last first
  void fire_number_and_text(DISPID id, LONG number, const std::wstring& text);

  void post_change(int deblock);  // fired when the thread's loop turns

  counted m_counted;
  orvo::com::connection_point m_events;
};

}  // namespace stand_in
