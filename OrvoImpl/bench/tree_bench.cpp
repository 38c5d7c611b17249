// Benchmark under wine64 (a program, not a test): what the client does
// after every change, on 16 amplifiers of registered models: make the
// state from its marshalled images, build the tree, read every Value of
// every channel and amplifier, and write AsString. Printed as a ratio to
// the core's AsString of the same images alone, and as a fraction of one
// 16 ms frame (target <= 0.5).
//
//   build/x86_64/wine-run build/x86_64/OrvoImpl/bench/orvoimpl_tree_bench.exe
//       build/x86_64/OrvoCapabilities/OrvoCapabilities.dll   (one line)
//
// The benchmark points the prefix's "Provider" value at the given library
// and registers its default descriptors itself.
#include <objbase.h>
#include <oleauto.h>

#include <cstdio>
#include <string>

#include "OrvoCapabilitiesDll.h"
#include "OrvoImpl_h.h"
#include "TIAmplifierState.h"
#include "bench/bench_state.h"
#include "core/byte_stream.h"
#include "core/state_string.h"
#include "registry/registry_key.h"
#include "testing/wine_bench.h"

using namespace orvo::impl;
using orvo::com::ptr;

namespace {

volatile std::size_t sink;

// Reads every element of a collection's enumerator, 32 at a time, as the
// client's walk does, and gives the elements to visit.
template <class I, class F>
void for_each(ICollection* collection, F&& visit) {
  ptr<IUnknown> unknown;
  if (FAILED(collection->get__NewEnum(unknown.put()))) return;
  ptr<IEnumVARIANT> elements = unknown.as<IEnumVARIANT>();
  VARIANT batch[32];
  ULONG fetched = 0;
  do {
    fetched = 0;
    elements->Next(32, batch, &fetched);
    for (ULONG i = 0; i < fetched; ++i) {
      ptr<I> element = ptr<IDispatch>(V_DISPATCH(&batch[i])).as<I>();
      if (element) visit(element.get());
      VariantClear(&batch[i]);
    }
  } while (fetched == 32);
}

std::size_t read_values(ICollection* properties) {
  std::size_t total = 0;
  for_each<IProperty>(properties, [&](IProperty* property) {
    VARIANT value;
    VariantInit(&value);
    property->get_Value(&value);
    total += V_VT(&value);
    VariantClear(&value);
  });
  return total;
}

// The client's cycle: state from the marshalled images, tree, every value, text.
std::size_t client_cycle(const std::vector<std::uint8_t>& marshalled) {
  ptr<IAmplifierState2> state;
  TIAmplifierState::make(state);
  ptr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
  stream->Write(marshalled.data(), static_cast<ULONG>(marshalled.size()), nullptr);
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  ptr<IAmplifierState2> loaded;
  state.as<IMarshal>()->UnmarshalInterface(stream.get(), IID_IAmplifierState2, loaded.put_void());
  std::size_t total = 0;
  ptr<ICollection> amplifiers;
  loaded->get_Amplifiers(amplifiers.put());
  for_each<IAmplifier>(amplifiers.get(), [&](IAmplifier* amplifier) {
    ptr<ICollection> channels, functions;
    amplifier->get_Channels(channels.put());
    amplifier->get_Functions(functions.put());
    for_each<ICollection>(channels.get(), [&](ICollection* channel) { total += read_values(channel); });
    total += read_values(functions.get());
  });
  BSTR text = nullptr;
  loaded->get_AsString(&text);
  total += SysStringLen(text);
  SysFreeString(text);
  return total;
}

// What the capabilities library takes of the tree's time: the models of
// the 16 amplifiers and the channel settings the tree asks for.
std::size_t capabilities_cycle(ICapsProvider* provider, const TAmplifierMemoryCollection& images) {
  std::size_t total = 0;
  for (std::size_t i = 0; i < images.Count(); ++i) {
    ptr<IUnknown> model;
    provider->GetAmplifier(static_cast<WORD>(images.Item(i).AmplifierID()), model.put());
    ptr<IAmplifierCapabilities> amplifier = model.as<IAmplifierCapabilities>();
    ptr<IChannelCapabilities> channel;
    amplifier->GetChannel(0, channel.put());
    ptr<ICapabilities> setting;
    for (auto get :
         {&IChannelCapabilities::GetInputMode, &IChannelCapabilities::GetGain, &IChannelCapabilities::GetLowCut,
          &IChannelCapabilities::GetHighCut, &IChannelCapabilities::GetNotch, &IChannelCapabilities::GetGroup}) {
      (channel.get()->*get)(setting.put());
      total += setting ? 1 : 0;
    }
  }
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: orvoimpl_tree_bench PATH-OF-OrvoCapabilities.dll\n");
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const std::wstring library = orvo::testing::windows_path(argv[1]);
  // The default descriptors go into the prefix.
  if (!orvo::testing::register_library(library)) return 2;
  orvo::registry::key::create(HKEY_LOCAL_MACHINE, L"Software\\Quarnell Limited\\Orvo")
      .write_string(L"Provider", library);

  const TAmplifierMemoryCollection images = SixteenAmplifierImages();
  TBufferSink marshalled;
  WriteMarshalStream(images, marshalled);
  if (client_cycle(marshalled.Bytes()) == 0) return 1;

  ptr<ICapsProvider> provider;
  CreateCapsProvider(provider);

  double tree_ms = 1e300, core_ms = 1e300, caps_ms = 1e300;
  for (int round = 0; round < 10; ++round) {
    orvo::testing::keep_best(
        tree_ms, [&] { sink = client_cycle(marshalled.Bytes()); }, 20);
    orvo::testing::keep_best(
        core_ms, [&] { sink = WriteStateString(images).size(); }, 2000);
    orvo::testing::keep_best(
        caps_ms, [&] { sink = capabilities_cycle(provider.get(), images); }, 20);
  }
  std::printf(
      "16 amplifiers: tree + every Value + AsString %.3f ms, core AsString %.4f ms, ratio %.0f; "
      "fraction of a 16 ms frame %.3f (target <= 0.5); of it the capabilities library's models %.3f ms\n",
      tree_ms, core_ms, tree_ms / core_ms, tree_ms / 16.0, caps_ms);
  CoUninitialize();
  return 0;
}
