// OrvoCapabilities.dll loaded the way OrvoImpl loads it (LoadLibrary and
// GetProcAddress), with helpers for calling the capability interfaces in
// tests under Wine. Each caps_dll loads the library afresh when no other
// holds it, so a test starts with an empty descriptor cache.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "CapsProviderIntf.h"
#include "com/ptr.h"

namespace caps_test {

using orvo::com::ptr;

extern std::wstring g_dll_path;  // set by main from the first argument

const wchar_t descriptors_key[] = L"Software\\Quarnell Limited\\Orvo\\Descriptors";
const wchar_t setup_key[] = L"software\\quarnell limited\\orvo\\setup";

class caps_dll {
 public:
  caps_dll() : m_module(LoadLibraryW(g_dll_path.c_str())) {
    if (!m_module) return;
    create = proc<CreateInterfaceProc>("CreateInterface");
    check = proc<CheckAmplifierIDProc>("CheckAmplifierID");
    reg = proc<DllRegisterProc>("DllRegister");
    unreg = proc<DllUnregisterProc>("DllUnregister");
    register_server = proc<HRESULT(__stdcall*)()>("DllRegisterServer");
    unregister_server = proc<HRESULT(__stdcall*)()>("DllUnregisterServer");
  }
  ~caps_dll() {
    if (m_module) FreeLibrary(m_module);
  }
  caps_dll(const caps_dll&) = delete;
  caps_dll& operator=(const caps_dll&) = delete;

  HMODULE module() const { return m_module; }

  ptr<ICapsProvider> provider() const {
    ICapsProvider* p = nullptr;
    EXPECT_EQ(create(&p), 0);
    return ptr<ICapsProvider>::attach(p);
  }

  // The amplifier object as OrvoImpl gets it: GetAmplifier, then a query
  // for IAmplifierCapabilities.
  ptr<IAmplifierCapabilities> amplifier(WORD id) const {
    ptr<IUnknown> unknown;
    if (provider()->GetAmplifier(id, unknown.put()) != bool32_true) return {};
    return unknown.as<IAmplifierCapabilities>();
  }

  CreateInterfaceProc create = nullptr;
  CheckAmplifierIDProc check = nullptr;
  DllRegisterProc reg = nullptr;
  DllUnregisterProc unreg = nullptr;
  HRESULT(__stdcall* register_server)() = nullptr;
  HRESULT(__stdcall* unregister_server)() = nullptr;

 private:
  template <class F>
  F proc(const char* name) const {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(m_module, name)));
  }

  HMODULE m_module;
};

// A VARIANT result slot.
struct variant {
  variant() { VariantInit(&v); }
  ~variant() { VariantClear(&v); }
  variant(const variant&) = delete;
  variant& operator=(const variant&) = delete;
  VARIANT* put() {
    VariantClear(&v);
    return &v;
  }
  VARIANT v;
};

inline VARIANT text_arg(const wchar_t* text) {
  VARIANT v;
  V_VT(&v) = VT_BSTR;
  V_BSTR(&v) = SysAllocString(text);
  return v;
}
inline VARIANT int_arg(LONG n) {
  VARIANT v;
  V_VT(&v) = VT_I4;
  V_I4(&v) = n;
  return v;
}
inline VARIANT real_arg(double d) {
  VARIANT v;
  V_VT(&v) = VT_R8;
  V_R8(&v) = d;
  return v;
}

// ToValue through the interface; the argument stays the caller's.
inline LONG to_value(ICapabilities* c, VARIANT arg) {
  const LONG r = c->ToValue(arg);
  VariantClear(&arg);
  return r;
}

// A result VARIANT shown as "text:..." or "int:..." or "vt:N".
std::string shown(const VARIANT& v);
inline std::string name_of(ICapabilities* c) {
  variant r;
  c->GetName(r.put());
  return shown(r.v);
}
inline std::string from_value(ICapabilities* c, LONG code) {
  variant r;
  c->FromValue(code, r.put());
  return shown(r.v);
}
inline std::string name_at(ICapsEnumerator* e, LONG index) {
  variant r;
  e->GetName(index, r.put());
  return shown(r.v);
}

template <class Getter>
ptr<ICapabilities> capability(const ptr<IAmplifierCapabilities>& amp, Getter getter) {
  ptr<ICapabilities> c;
  (amp.get()->*getter)(c.put());
  return c;
}
template <class Getter>
ptr<ICapabilities> channel_capability(const ptr<IAmplifierCapabilities>& amp, Getter getter) {
  ptr<IChannelCapabilities> channel;
  amp->GetChannel(0, channel.put());
  ptr<ICapabilities> c;
  if (channel) (channel.get()->*getter)(c.put());
  return c;
}

// Registry helpers on HKLM.
void set_binary(const std::wstring& name, const std::vector<BYTE>& bytes);
void set_dword(const std::wstring& name, DWORD value);
void delete_value(const std::wstring& name);
void delete_key_tree(const wchar_t* key);
void create_key(const wchar_t* key);
bool key_exists(const wchar_t* key);
// The size of a binary descriptor value; nothing when there is none.
std::optional<std::size_t> descriptor_size(const wchar_t* name);

}  // namespace caps_test
