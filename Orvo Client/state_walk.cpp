#include "state_walk.h"

#include <oleauto.h>

#include <boost/throw_exception.hpp>

#include "zel/enum_iterator.h"

namespace {

template <class Itf>
[[noreturn]] void raise_for(HRESULT hr, IUnknown* object) {
  comet::raise(hr, object, __uuidof(Itf));
}

// One getter slot of Itf that hands out an interface pointer.
template <class Itf, class Base, class Out>
comet::com_ptr<Out> get_pointer(Itf* object, HRESULT (STDMETHODCALLTYPE Base::*slot)(Out**),
                                void (*raiser)(HRESULT, IUnknown*)) {
  comet::com_ptr<Out> result;
  const HRESULT hr = (comet::checked(object)->*slot)(result.put());
  if (FAILED(hr)) raiser(hr, object);
  return result;
}

template <class Itf, class Call>
void checked_call(Itf* object, Call call, void (*raiser)(HRESULT, IUnknown*)) {
  const HRESULT hr = call(comet::checked(object));
  if (FAILED(hr)) raiser(hr, object);
}

// The element as interface I: empty when it is no object or refuses I.
template <class I>
comet::com_ptr<I> element_as(const VARIANT& element) {
  const VARTYPE type = element.vt & ~VT_BYREF;
  if (type != VT_DISPATCH && type != VT_UNKNOWN) return {};
  IUnknown* object = (element.vt & VT_BYREF) ? (element.ppunkVal ? *element.ppunkVal : nullptr) : element.punkVal;
  comet::com_ptr<I> result;
  if (object && FAILED(object->QueryInterface(__uuidof(I), result.put_void()))) result.reset();
  return result;
}

template <class F>
void require(const F& f) {
  if (f.empty()) boost::throw_exception(boost::bad_function_call());
}

template <class I, class F>
void walk(const comet::com_ptr<IUnknown>& enumerator, const F& f) {
  for (auto it = zel::make_enum_iterator(enumerator.get()); it != zel::basic_enum_iterator(); ++it)
    f(element_as<I>(*it));
}

}  // namespace

void raise_IIdentifier(HRESULT hr, IUnknown* object) { raise_for<IIdentifier>(hr, object); }
void raise_ICollection(HRESULT hr, IUnknown* object) { raise_for<ICollection>(hr, object); }
void raise_IProperty(HRESULT hr, IUnknown* object) { raise_for<IProperty>(hr, object); }
void raise_IAmplifier(HRESULT hr, IUnknown* object) { raise_for<IAmplifier>(hr, object); }
void raise_IAmplifierState(HRESULT hr, IUnknown* object) { raise_for<IAmplifierState>(hr, object); }
void raise_IAmplifierState2(HRESULT hr, IUnknown* object) { raise_for<IAmplifierState2>(hr, object); }
void raise_IChannel(HRESULT hr, IUnknown* object) { raise_for<IChannel>(hr, object); }
void raise_server_IAmplifier(HRESULT hr, IUnknown* object) { raise_for<Orvo::IAmplifier>(hr, object); }
void raise_server_IAmplifier2(HRESULT hr, IUnknown* object) { raise_for<Orvo::IAmplifier2>(hr, object); }

comet::com_ptr<IAmplifierState2> create_amplifier_state() {
  return comet::create<IAmplifierState2>(
      CLSID_AmplifierState, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER);
}

comet::com_ptr<ICollection> get_amplifiers(IAmplifierState* state) {
  return get_pointer(state, &IAmplifierState::get_Amplifiers, raise_IAmplifierState);
}

comet::com_ptr<IDispatch> get_object_by_id(IAmplifierState* state, LONG id) {
  comet::com_ptr<IDispatch> result;
  checked_call(
      state, [&](IAmplifierState* s) { return s->getObjectByID(id, result.put()); }, raise_IAmplifierState);
  return result;
}

comet::bstr_t get_state_string(IAmplifierState* state) {
  comet::bstr_t result;
  checked_call(
      state, [&](IAmplifierState* s) { return s->get_AsString(result.out()); }, raise_IAmplifierState);
  return result;
}

comet::com_ptr<IAmplifierState> create_state_from_string(IAmplifierState2* state, const comet::bstr_t& text) {
  comet::com_ptr<IAmplifierState2> result;
  checked_call(
      state, [&](IAmplifierState2* s) { return s->CreateFromString(text.in(), result.put()); }, raise_IAmplifierState2);
  return comet::com_ptr<IAmplifierState>(result.get());
}

comet::com_ptr<ICollection> get_channels(IAmplifier* amplifier) {
  return get_pointer(amplifier, &IAmplifier::get_Channels, raise_IAmplifier);
}

comet::com_ptr<ICollection> get_functions(IAmplifier* amplifier) {
  return get_pointer(amplifier, &IAmplifier::get_Functions, raise_IAmplifier);
}

comet::com_ptr<IUnknown> get_new_enum(ICollection* collection) {
  return get_pointer(collection, &ICollection::get__NewEnum, raise_ICollection);
}

comet::com_ptr<IUnknown> get_property_enum(IProperty* property) {
  return get_pointer(property, &IProperty::get__NewEnum, raise_IProperty);
}

LONG get_collection_count(ICollection* collection) {
  LONG count = 0;
  checked_call(
      collection, [&](ICollection* c) { return c->get_Count(&count); }, raise_ICollection);
  return count;
}

comet::com_ptr<IDispatch> get_parent(IIdentifier* node) {
  return get_pointer(node, &IIdentifier::get_Parent, raise_IIdentifier);
}

comet::com_ptr<ICollection> get_properties(Orvo::IAmplifier* server) {
  comet::com_ptr<IDispatch> result;
  checked_call(
      server, [&](Orvo::IAmplifier* s) { return s->get_Properties(result.put()); }, raise_server_IAmplifier);
  return comet::query<ICollection>(result);
}

std::wstring value_text(const VARIANT& value) {
  if (value.vt == VT_BSTR) return std::wstring(value.bstrVal ? value.bstrVal : L"", ::SysStringLen(value.bstrVal));
  if (value.vt == (VT_BSTR | VT_BYREF)) {
    const BSTR text = value.pbstrVal ? *value.pbstrVal : nullptr;
    return std::wstring(text ? text : L"", ::SysStringLen(text));
  }
  if (value.vt == VT_NULL) return std::wstring();
  VARIANT text;
  ::VariantInit(&text);
  const HRESULT hr = ::VariantChangeTypeEx(&text, const_cast<VARIANT*>(&value), ::GetThreadLocale(), 0, VT_BSTR);
  if (FAILED(hr)) comet::raise(hr);
  std::wstring result(text.bstrVal ? text.bstrVal : L"", ::SysStringLen(text.bstrVal));
  ::VariantClear(&text);
  return result;
}

void for_each_amplifier(IAmplifierState* state, const amplifier_function& f) {
  require(f);
  walk<IAmplifier>(get_new_enum(get_amplifiers(state).get()), f);
}

void for_each_channel_collection(IAmplifier* amplifier, const collection_function& f) {
  require(f);
  walk<ICollection>(get_new_enum(get_channels(amplifier).get()), f);
}

void for_each_channel(IAmplifier* amplifier, const channel_function& f) {
  require(f);
  walk<IChannel>(get_new_enum(get_channels(amplifier).get()), f);
}

void for_each_property(ICollection* collection, const property_function& f) {
  require(f);
  walk<IProperty>(get_new_enum(collection), f);
}

void for_each_property_value(IProperty* property, const text_function& f) {
  require(f);
  const auto values = get_property_enum(property);
  for (auto it = zel::make_enum_iterator(values.get()); it != zel::basic_enum_iterator(); ++it) f(value_text(*it));
}
