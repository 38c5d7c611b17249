// Registration of COM classes and type libraries.
//
// register_class() writes, under HKEY_CLASSES_ROOT:
//   <ProgID>.1            = description, \CLSID = {clsid}
//   <ProgID>              = description, \CurVer = <ProgID>.1, \CLSID = {clsid}
//   CLSID\{clsid}         = description (the key is replaced whole), with
//                           ProgID, VersionIndependentProgID, the server
//                           key (InprocServer32 or LocalServer32) naming the
//                           module, ThreadingModel for in-process servers,
//                           and AppID when the entry of a local server has one.
// unregister_class() removes those keys again. The type library embedded
// as resource 1 of the module is registered with register_typelib().
#pragma once

#include <windows.h>

#include <string>

#include "factory.h"

namespace orvo::com {

enum class server_kind { inproc, local };

std::wstring guid_string(REFGUID guid);

HRESULT register_class(const class_entry& entry, const std::wstring& module_path, server_kind kind,
                       const GUID* appid = nullptr) noexcept;
HRESULT unregister_class(const class_entry& entry) noexcept;

HRESULT register_typelib(const std::wstring& module_path) noexcept;
HRESULT unregister_typelib(const std::wstring& module_path) noexcept;

// Small registry helpers (HKEY_CLASSES_ROOT or any root).
HRESULT set_string(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) noexcept;
HRESULT delete_tree(HKEY root, const std::wstring& key) noexcept;

}  // namespace orvo::com
