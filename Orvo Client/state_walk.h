// Reading the amplifier state tree and the server: checked calls, one slot
// of one interface each, raising comet::com_error on a failed HRESULT with
// the error information the called interface vouches for; and walks that
// call a function for every amplifier, channel, property or legal value.
//
//   for_each_amplifier(state, [](const comet::com_ptr<IAmplifier>& amplifier) {
//     for_each_channel(comet::checked(amplifier), ...);
//   });
//
// An element that is not an object of the walked interface arrives as an
// empty pointer: comet::checked() on it raises E_POINTER. An empty function
// throws boost::bad_function_call before any element is visited.
#pragma once

#include <oaidl.h>

#include <boost/function.hpp>
#include <string>

#include "OrvoImpl_h.h"
#include "OrvoServerIntf.h"
#include "comet/bstr.h"
#include "comet/ptr.h"

// The raisers: one per interface, all of the same rule (see comet::raise).
[[noreturn]] void raise_IIdentifier(HRESULT hr, IUnknown* object);
[[noreturn]] void raise_ICollection(HRESULT hr, IUnknown* object);
[[noreturn]] void raise_IProperty(HRESULT hr, IUnknown* object);
[[noreturn]] void raise_IAmplifier(HRESULT hr, IUnknown* object);
[[noreturn]] void raise_IAmplifierState(HRESULT hr, IUnknown* object);
[[noreturn]] void raise_IAmplifierState2(HRESULT hr, IUnknown* object);
[[noreturn]] void raise_IChannel(HRESULT hr, IUnknown* object);
[[noreturn]] void raise_server_IAmplifier(HRESULT hr, IUnknown* object);
[[noreturn]] void raise_server_IAmplifier2(HRESULT hr, IUnknown* object);

// A new state object of the registered AmplifierState class (any context);
// a failure raises its HRESULT alone.
comet::com_ptr<IAmplifierState2> create_amplifier_state();
comet::com_ptr<ICollection> get_amplifiers(IAmplifierState* state);
comet::com_ptr<IDispatch> get_object_by_id(IAmplifierState* state, LONG id);
comet::bstr_t get_state_string(IAmplifierState* state);
comet::com_ptr<IAmplifierState> create_state_from_string(IAmplifierState2* state, const comet::bstr_t& text);
comet::com_ptr<ICollection> get_channels(IAmplifier* amplifier);
comet::com_ptr<ICollection> get_functions(IAmplifier* amplifier);
comet::com_ptr<IUnknown> get_new_enum(ICollection* collection);
comet::com_ptr<IUnknown> get_property_enum(IProperty* property);
LONG get_collection_count(ICollection* collection);
comet::com_ptr<IDispatch> get_parent(IIdentifier* node);
// The server's system properties, as a collection.
comet::com_ptr<ICollection> get_properties(Orvo::IAmplifier* server);

// A value as text: a string as it is, null as empty, anything else
// converted in the thread's locale; a value that does not convert raises.
std::wstring value_text(const VARIANT& value);

using amplifier_function = boost::function<void(const comet::com_ptr<IAmplifier>&)>;
using collection_function = boost::function<void(const comet::com_ptr<ICollection>&)>;
using channel_function = boost::function<void(const comet::com_ptr<IChannel>&)>;
using property_function = boost::function<void(const comet::com_ptr<IProperty>&)>;
using text_function = boost::function<void(const std::wstring&)>;

void for_each_amplifier(IAmplifierState* state, const amplifier_function& f);
void for_each_channel_collection(IAmplifier* amplifier, const collection_function& f);
void for_each_channel(IAmplifier* amplifier, const channel_function& f);
void for_each_property(ICollection* collection, const property_function& f);
void for_each_property_value(IProperty* property, const text_function& f);
