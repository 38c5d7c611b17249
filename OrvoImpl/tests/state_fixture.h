// What the tests of OrvoImpl.dll start from: the capabilities library named
// in the registry, states made from chosen register images through the
// registered class, and short ways to read what a node shows.
#pragma once

#include <objbase.h>

#include <string>

#include "OrvoImpl_h.h"
#include "com/ptr.h"
#include "core/amplifier_memory_collection.h"

namespace orvo::impl::testing {

// Points HKLM "Software\Quarnell Limited\Orvo" value "Provider" at the
// capabilities library (a Linux or Windows path).
void UseCapabilitiesLibrary(const std::string& path);

// Images of `count` amplifiers, all bytes 0, as a state string.
TAmplifierMemoryCollection ZeroImages(std::size_t count);
std::wstring StateString(const TAmplifierMemoryCollection& images);

// A new AmplifierState (CoCreateInstance) loaded from text; from images, a
// state whose AsString no longer changes when it is read back.
com::ptr<IAmplifierState2> MakeState(const std::wstring& text);
com::ptr<IAmplifierState2> MakeState(const TAmplifierMemoryCollection& images);

// The node with that ID as interface I (empty when there is none).
template <class I>
com::ptr<I> Node(IAmplifierState* state, LONG id) {
  com::ptr<IDispatch> node;
  state->getObjectByID(id, node.put());
  return node.as<I>();
}

std::wstring NameOf(IIdentifier* node);
// A property's Value as text.
std::wstring ValueOf(IProperty* property);
HRESULT PutValue(IProperty* property, const std::wstring& text);
std::wstring AsString(IAmplifierState* state);
// The images a state string holds.
TAmplifierMemoryCollection ImagesOf(const std::wstring& text);

// The calling thread's error information: "description|source".
std::wstring ErrorInfo();

}  // namespace orvo::impl::testing
