// Benchmark under wine64 (a program, not a test): what the client does with
// the held state of 16 amplifiers of registered models, through the
// registered AmplifierState: a full walk reading every Value of every
// channel and amplifier function, and Copy as Text; each printed in
// milliseconds and as a ratio to AsString of the same state in the same
// run (target for the walk: ratio <= 2).
//
//   build/x86_64/wine-run build/x86_64/OrvoClient/bench/client_state_walk_bench.exe
//       build/x86_64/OrvoCapabilities/OrvoCapabilities.dll build/x86_64/OrvoImpl/OrvoImpl.dll
//
// It registers both libraries in the prefix itself. The state is made from
// marshalled images (IMarshal::UnmarshalInterface), as a state string would
// leave most models unregistered; the six default models take turns.
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

#include "bench/bench_client_state.h"
#include "registry/registry_key.h"
#include "state_text_table.h"
#include "state_walk.h"
#include "testing/wine_bench.h"

using namespace orvo::impl;
using orvo::testing::keep_best;
using orvo::testing::register_library;
using orvo::testing::windows_path;

namespace {

volatile std::size_t sink;

std::size_t read_values(ICollection* properties) {
  std::size_t total = 0;
  for_each_property(properties, [&](const comet::com_ptr<IProperty>& property) {
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(property->get_Value(&value))) total += 1 + V_VT(&value);
    VariantClear(&value);
  });
  return total;
}

std::size_t values_read(IAmplifierState* state) {
  std::size_t count = 0;
  for_each_amplifier(state, [&](const comet::com_ptr<IAmplifier>& amplifier) {
    for_each_channel_collection(amplifier.get(), [&](const comet::com_ptr<ICollection>& channel) {
      count += static_cast<std::size_t>(get_collection_count(channel.get()));
    });
    count += static_cast<std::size_t>(get_collection_count(get_functions(amplifier.get()).get()));
  });
  return count;
}

std::size_t full_walk(IAmplifierState* state) {
  std::size_t total = 0;
  for_each_amplifier(state, [&](const comet::com_ptr<IAmplifier>& amplifier) {
    for_each_channel_collection(
        amplifier.get(), [&](const comet::com_ptr<ICollection>& channel) { total += read_values(channel.get()); });
    total += read_values(get_functions(amplifier.get()).get());
  });
  return total;
}

// The same walk by bare vtable calls, without the client's wrappers: what
// the state model itself takes of the walk.
template <class I, class F>
void bare_each(ICollection* collection, F&& visit) {
  IUnknown* unknown = nullptr;
  if (FAILED(collection->get__NewEnum(&unknown))) return;
  IEnumVARIANT* elements = nullptr;
  unknown->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&elements));
  unknown->Release();
  VARIANT batch[32];
  ULONG fetched = 0;
  do {
    fetched = 0;
    elements->Next(32, batch, &fetched);
    for (ULONG i = 0; i < fetched; ++i) {
      I* element = nullptr;
      V_DISPATCH(&batch[i])->QueryInterface(__uuidof(I), reinterpret_cast<void**>(&element));
      visit(element);
      element->Release();
      VariantClear(&batch[i]);
    }
  } while (fetched == 32);
  elements->Release();
}

std::size_t bare_values(ICollection* properties) {
  std::size_t total = 0;
  bare_each<IProperty>(properties, [&](IProperty* property) {
    VARIANT value;
    VariantInit(&value);
    if (SUCCEEDED(property->get_Value(&value))) total += 1 + V_VT(&value);
    VariantClear(&value);
  });
  return total;
}

std::size_t bare_walk(IAmplifierState* state) {
  std::size_t total = 0;
  ICollection* amplifiers = nullptr;
  state->get_Amplifiers(&amplifiers);
  bare_each<IAmplifier>(amplifiers, [&](IAmplifier* amplifier) {
    ICollection *channels = nullptr, *functions = nullptr;
    amplifier->get_Channels(&channels);
    amplifier->get_Functions(&functions);
    bare_each<ICollection>(channels, [&](ICollection* channel) { total += bare_values(channel); });
    total += bare_values(functions);
    channels->Release();
    functions->Release();
  });
  amplifiers->Release();
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: client_state_walk_bench OrvoCapabilities.dll OrvoImpl.dll\n");
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const std::wstring capabilities = windows_path(argv[1]);
  if (!register_library(capabilities) || !register_library(windows_path(argv[2]))) {
    std::fprintf(stderr, "the libraries could not be registered\n");
    return 2;
  }
  orvo::registry::key::create(HKEY_LOCAL_MACHINE, L"Software\\Quarnell Limited\\Orvo")
      .write_string(L"Provider", capabilities);

  const TAmplifierMemoryCollection images = SixteenAmplifierImages();
  int status = 0;
  try {
    comet::com_ptr<IAmplifierState> state = built_state(images);
    if (!state) {
      std::fprintf(stderr, "the state could not be built\n");
      return 1;
    }
    // Every amplifier and every value is there before anything is timed.
    std::size_t amplifiers = 0;
    for_each_amplifier(state.get(), [&](const comet::com_ptr<IAmplifier>&) { ++amplifiers; });
    const std::size_t values = full_walk(state.get());
    const std::size_t text_length = state_text_table(state.get()).text().size();
    if (amplifiers != 16 || values == 0 || text_length == 0 || bare_walk(state.get()) != values) {
      std::fprintf(stderr, "the built state is incomplete: %zu amplifiers\n", amplifiers);
      return 1;
    }

    // Each round times every step once, one after the other, so that all of
    // them meet the machine in the same state; the best round of each counts.
    double as_string_ms = 1e300, walk_ms = 1e300, bare_ms = 1e300, copy_ms = 1e300;
    for (int round = 0; round < 30; ++round) {
      keep_best(
          as_string_ms, [&] { sink = get_state_string(state.get()).length(); }, 100);
      keep_best(
          walk_ms, [&] { sink = full_walk(state.get()); }, 50);
      keep_best(
          bare_ms, [&] { sink = bare_walk(state.get()); }, 50);
      keep_best(
          copy_ms, [&] { sink = state_text_table(state.get()).text().size(); }, 5);
    }
    std::printf(
        "16 amplifiers, %zu values: AsString %.4f ms; full walk (every Value) %.3f ms, ratio %.2f (target <= 2); "
        "the same walk by bare calls %.3f ms, ratio %.2f; Copy as Text %.3f ms, ratio %.2f\n",
        values_read(state.get()), as_string_ms, walk_ms, walk_ms / as_string_ms, bare_ms, bare_ms / as_string_ms,
        copy_ms, copy_ms / as_string_ms);
  } catch (const comet::com_error& e) {
    std::fprintf(stderr, "failed: 0x%08lX\n", static_cast<unsigned long>(e.hr()));
    status = 1;
  }
  CoUninitialize();
  return status;
}
