// PelmImpl.dll: the Pelm device objects and their constructor, and the
// proxies and stubs of the Pelm interfaces.
#include <iterator>

#include "Pelm.h"
#include "PelmConstructor.h"
#include "com/inproc_server.h"

namespace {
using orvo::com::class_entry;

const class_entry classes[] = {
    class_entry::of<CPelmConstructor>(CLSID_PelmConstructor, L"PelmConstructor Class", L"Quarnell.PelmConstructor",
                                      L"Free"),
    class_entry::of<CPelm>(CLSID_PelmEx, L"PelmEx Class", L"Quarnell.PelmEx", L"Free"),
};

const orvo::com::inproc_server server{classes, std::size(classes), false, orvo::com::merged_proxy()};
}  // namespace

ORVO_COM_INPROC_SERVER_EXPORTS(server)
