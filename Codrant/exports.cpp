// Codrant.dll: the packet encoder and decoder classes, and the proxies and
// stubs of the codec's interfaces and of the line server's (an EXE cannot
// serve proxies, so every machine that runs Rasper registers Codrant).
#include <iterator>

#include "StdDecoder.h"
#include "StdEncoder.h"
#include "com/inproc_server.h"

namespace {
using orvo::com::class_entry;

const class_entry classes[] = {
    class_entry::of<CStdEncoder>(CLSID_StdEncoder, L"StdEncoder Class", L"Quarnell.StdEncoder", L"Free"),
    class_entry::of<CStdDecoder>(CLSID_StdDecoder, L"StdDecoder Class", L"Quarnell.StdDecoder", L"Free"),
};

const orvo::com::inproc_server server{classes, std::size(classes), false, orvo::com::merged_proxy()};
}  // namespace

ORVO_COM_INPROC_SERVER_EXPORTS(server)
