// Real amplifier states for the client's tests: state strings of 1 to n
// amplifiers (models 0, 1, 10, 11, 20, 30 in turn, amplifier IDs 0, 1, ...)
// and client state objects made from them through the registered
// AmplifierState, whose models come from the capabilities library.
#pragma once

#include <cstddef>
#include <string>

#include "OrvoImpl_h.h"
#include "comet/ptr.h"

// AsString of a state ("<failed>" when it fails).
std::wstring as_string(IAmplifierState* state);
// The state string of `amplifiers` amplifiers with empty register images.
std::wstring state_string_of(std::size_t amplifiers);
// A client state whose string reads back as itself: a new state adjusts
// images its models do not allow, which may take more than one reading.
comet::com_ptr<IAmplifierState> stable_state(std::wstring text);
