#include "classes.h"

#include "amplifier.h"
#include <oleauto.h>

#include "com/module.h"
#include "com/ptr.h"
#include "com/registry.h"
#include "control.h"

namespace stand_in {

// The stand-in's own class id; clients find it by the ProgID.
const CLSID CLSID_StandInAmplifier = {0x00fab86d, 0x75dc, 0x4945, {0xa5, 0x89, 0x10, 0x1d, 0x9b, 0x7b, 0xf9, 0x61}};

const orvo::com::class_entry classes[2] = {
    orvo::com::class_entry::of<CStandInAmplifier>(CLSID_StandInAmplifier, L"Orvo Stand-in Amplifier Server",
                                                  L"OrvoServer.OrvoAmplifier", L"Apartment"),
    orvo::com::class_entry::of<CStandInControl>(CLSID_StandInControl, L"Orvo Stand-in Control", L"OrvoStandIn.Control",
                                                L"Apartment"),
};

HRESULT register_control_library() noexcept {
  try {
    // Registered by hand under its resource path ("module\\2"): loading it
    // with REGKIND_REGISTER would register the module path alone, which
    // names resource 1.
    const std::wstring path = orvo::com::module::path() + L"\\2";
    orvo::com::ptr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put());
    if (FAILED(hr)) return hr;
    std::wstring folder = orvo::com::module::path();
    folder.erase(folder.find_last_of(L'\\'));
    return RegisterTypeLib(library.get(), const_cast<LPOLESTR>(path.c_str()), const_cast<LPOLESTR>(folder.c_str()));
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT unregister_control_library() noexcept {
  try {
    return orvo::com::unregister_typelib(orvo::com::module::path() + L"\\2");
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace stand_in
