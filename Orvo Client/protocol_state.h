// The protocol records' ties to Windows and to the amplifier state objects:
// the user's display name for the stamps, comparison of a stored state
// string with the current state, property maps built from state objects and
// their key order.
#pragma once

#include <oaidl.h>

#include <string>

#include "OrvoImpl_h.h"
#include "core/records.h"

// The user's display name: NameDisplay, else the logon name, else empty.
std::wstring get_user_display_name();

// Stamps of new and changed protocols from now and get_user_display_name.
void use_user_display_name();

// Property-map keys in VarBstrCmp order under the thread's locale.
Orvo::key_order bstr_key_order();

namespace Orvo {

// Whether the protocol's state string describes the same state as state (a
// VARIANT with a state string or state object). Two empty strings are not
// equal and create no state object. A failed call raises comet::com_error.
bool state_equals(const protocol& p, const VARIANT& state);

// For each writable property of properties (a state object's property
// collection): its name and the texts of its values in enumeration order.
property_map make_property_map(ICollection* properties);
// The same without the values listed under each key of excluded.
property_map make_property_map_excluding(ICollection* properties, const property_map& excluded);

}  // namespace Orvo
