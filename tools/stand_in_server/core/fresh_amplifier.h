// The register image of a freshly powered amplifier: each setting at a legal
// value of its model, written by the model's own encoders, so that the state
// model shows the model's texts for it and writes the same bytes back when it
// reads the image.
#pragma once

#include <string>

#include "core/memory.h"
#include "core/store.h"

namespace stand_in {

// Every channel setting at the first value of its list (group 0, no input
// connected); the amplifier record at the first deblock type and impedance
// resolution, thresholds, deblock duration and serial number 0.
orvo::impl::TMemory fresh_image(const orvo::caps::amplifier_records& model);

// The state string of one fresh amplifier of model 0 (amplifier ID 0) as the
// capabilities library describes that model by default.
std::string fresh_state_string();

}  // namespace stand_in
