// OrvoImpl.dll: the coclass AmplifierState (both threading models, no
// ProgID) and the type library "OrvoImpl", registered by the standard
// exports.
#include <iterator>

#include "TIAmplifierState.h"
#include "com/inproc_server.h"

namespace {
using orvo::com::class_entry;

const class_entry classes[] = {
    class_entry::of<orvo::impl::TIAmplifierState>(CLSID_AmplifierState, L"AmplifierState Class", nullptr, L"Both"),
};

const orvo::com::inproc_server server{classes, std::size(classes), true, {}};
}  // namespace

ORVO_COM_INPROC_SERVER_EXPORTS(server)
