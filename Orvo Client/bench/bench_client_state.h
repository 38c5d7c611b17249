// The held state the client's wine benchmarks measure: 16 amplifiers of
// registered models made from marshalled images (IMarshal::UnmarshalInterface),
// as a state string would leave most models unregistered.
#pragma once

#include <objbase.h>

#include "bench/bench_state.h"
#include "core/byte_stream.h"
#include "state_walk.h"

inline comet::com_ptr<IAmplifierState> built_state(const orvo::impl::TAmplifierMemoryCollection& images) {
  orvo::impl::TBufferSink marshalled;
  orvo::impl::WriteMarshalStream(images, marshalled);
  comet::com_ptr<IAmplifierState2> state = create_amplifier_state();
  comet::com_ptr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
  stream->Write(marshalled.Bytes().data(), static_cast<ULONG>(marshalled.Bytes().size()), nullptr);
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  comet::com_ptr<IAmplifierState> loaded;
  comet::com_ptr<IMarshal> marshal;
  state->QueryInterface(IID_IMarshal, marshal.put_void());
  if (!marshal || FAILED(marshal->UnmarshalInterface(stream.get(), IID_IAmplifierState, loaded.put_void())))
    return nullptr;
  return loaded;
}
