// CRC.dll: the CRC-16 and CRC-32 generator classes, and the proxies and
// stubs of ICRCGenerator.
#include <iterator>

#include "CRCGenerator.h"
#include "com/inproc_server.h"

namespace {
using orvo::com::class_entry;

const class_entry classes[] = {
    class_entry::of<CCRCGenerator16>(CLSID_CRCGenerator16, L"CRCGenerator16 Class", L"Quarnell.CRCGenerator16",
                                     L"Free"),
    class_entry::of<CCRCGenerator32>(CLSID_CRCGenerator32, L"CRCGenerator32 Class", L"Quarnell.CRCGenerator32",
                                     L"Free"),
};

const orvo::com::inproc_server server{classes, std::size(classes), false, orvo::com::merged_proxy()};
}  // namespace

ORVO_COM_INPROC_SERVER_EXPORTS(server)
