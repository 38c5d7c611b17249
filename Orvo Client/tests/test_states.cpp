#include "test_states.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "core/amplifier_memory_collection.h"
#include "core/state_string.h"
#include "state_walk.h"

using namespace orvo::impl;

std::wstring as_string(IAmplifierState* state) {
  BSTR text = nullptr;
  if (FAILED(state->get_AsString(&text))) return L"<failed>";
  std::wstring result(text, SysStringLen(text));
  SysFreeString(text);
  return result;
}

std::wstring state_string_of(std::size_t amplifiers) {
  const std::uint8_t models[] = {0, 1, 10, 11, 20, 30};
  TAmplifierMemoryCollection images;
  for (std::uint8_t i = 0; i < amplifiers; ++i) images.Add(i, models[i % 6], TMemory());
  const std::string text = WriteStateString(images);
  return std::wstring(text.begin(), text.end());
}

comet::com_ptr<IAmplifierState> stable_state(std::wstring text) {
  comet::com_ptr<IAmplifierState2> factory = create_amplifier_state();
  for (int round = 0; round < 4; ++round) {
    comet::com_ptr<IAmplifierState> state = create_state_from_string(factory.get(), text);
    const std::wstring read = as_string(state.get());
    if (read == text) return state;
    text = read;
  }
  ADD_FAILURE() << "the state string does not settle";
  return nullptr;
}
