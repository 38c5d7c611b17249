#include "registry.h"

#include <oleauto.h>

#include "ptr.h"
#include "registry/registry_key.h"

namespace orvo::com {

std::wstring guid_string(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

HRESULT set_string(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) noexcept {
  const auto k = registry::key::create(root, key, KEY_SET_VALUE);
  if (!k) return registry::to_hresult(k.error());
  return registry::to_hresult(k.write_string(name, value));
}

HRESULT delete_tree(HKEY root, const std::wstring& key) noexcept {
  return registry::to_hresult(registry::key::delete_tree(root, key));
}

HRESULT register_class(const class_entry& entry, const std::wstring& module_path, server_kind kind,
                       const GUID* appid) noexcept {
  try {
    const std::wstring clsid = guid_string(*entry.clsid);
    const std::wstring clsid_key = L"CLSID\\" + clsid;
    HRESULT hr = S_OK;
    auto put = [&](const std::wstring& key, const wchar_t* name, const std::wstring& value) {
      if (SUCCEEDED(hr)) hr = set_string(HKEY_CLASSES_ROOT, key, name, value);
    };
    if (entry.progid) {
      const std::wstring progid = entry.progid;
      const std::wstring versioned = progid + L".1";
      put(versioned, nullptr, entry.description);
      put(versioned + L"\\CLSID", nullptr, clsid);
      put(progid, nullptr, entry.description);
      put(progid + L"\\CurVer", nullptr, versioned);
      put(progid + L"\\CLSID", nullptr, clsid);
    }
    // The class key is replaced whole, so nothing of an older registration stays.
    if (SUCCEEDED(hr)) hr = delete_tree(HKEY_CLASSES_ROOT, clsid_key);
    put(clsid_key, nullptr, entry.description);
    if (entry.progid) {
      put(clsid_key + L"\\ProgID", nullptr, std::wstring(entry.progid) + L".1");
      put(clsid_key + L"\\VersionIndependentProgID", nullptr, entry.progid);
    }
    if (kind == server_kind::inproc) {
      put(clsid_key + L"\\InprocServer32", nullptr, module_path);
      if (entry.threading_model) put(clsid_key + L"\\InprocServer32", L"ThreadingModel", entry.threading_model);
    } else {
      put(clsid_key + L"\\LocalServer32", nullptr, module_path);
      if (appid) put(clsid_key, L"AppID", guid_string(*appid));
    }
    return hr;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT unregister_class(const class_entry& entry) noexcept {
  try {
    HRESULT hr = delete_tree(HKEY_CLASSES_ROOT, L"CLSID\\" + guid_string(*entry.clsid));
    if (entry.progid) {
      const std::wstring progid = entry.progid;
      HRESULT h2 = delete_tree(HKEY_CLASSES_ROOT, progid + L".1");
      HRESULT h3 = delete_tree(HKEY_CLASSES_ROOT, progid);
      if (SUCCEEDED(hr)) hr = FAILED(h2) ? h2 : h3;
    }
    return hr;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

HRESULT register_typelib(const std::wstring& module_path) noexcept {
  ptr<ITypeLib> lib;
  return LoadTypeLibEx(module_path.c_str(), REGKIND_REGISTER, lib.put());
}

HRESULT unregister_typelib(const std::wstring& module_path) noexcept {
  ptr<ITypeLib> lib;
  HRESULT hr = LoadTypeLibEx(module_path.c_str(), REGKIND_NONE, lib.put());
  if (FAILED(hr)) return hr;
  TLIBATTR* attr = nullptr;
  hr = lib->GetLibAttr(&attr);
  if (FAILED(hr)) return hr;
  hr = UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind);
  lib->ReleaseTLibAttr(attr);
  // Already gone counts as done.
  if (hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_LIBNOTREGISTERED) hr = S_OK;
  return hr;
}

}  // namespace orvo::com
