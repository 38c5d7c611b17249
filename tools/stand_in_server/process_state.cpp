#include "process_state.h"

#include <objbase.h>
#include <oleauto.h>

#include "OrvoImpl_h.h"
#include "com/error.h"
#include "com/ptr.h"
#include "core/fresh_amplifier.h"

namespace stand_in {

settings default_settings() {
  settings first;
  const std::string text = fresh_state_string();
  first.state.assign(text.begin(), text.end());
  VARIANT name;
  VariantInit(&name);
  name.vt = VT_BSTR;
  name.bstrVal = SysAllocString(L"Orvo Stand-in Server");
  first.properties.push_back({L"Server", held_variant(name)});
  VariantClear(&name);
  return first;
}

process_state& process() {
  static process_state state;
  return state;
}

counted::counted() noexcept {
  process_state& p = process();
  orvo::com::scoped_lock hold(p.lock);
  ++p.objects;
}

counted::~counted() {
  process_state& p = process();
  orvo::com::scoped_lock hold(p.lock);
  --p.objects;
}

void log_call(const std::wstring& line) {
  process_state& p = process();
  orvo::com::scoped_lock hold(p.lock);
  p.call_log.push_back(line);
}

HRESULT requested_failure(const wchar_t* method, REFIID iid) noexcept {
  failure wanted;
  try {
    process_state& p = process();
    orvo::com::scoped_lock hold(p.lock);
    const auto found = p.current.failures.find(method);
    if (found != p.current.failures.end()) wanted = found->second;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  if (SUCCEEDED(wanted.code)) return S_OK;
  if (wanted.description.empty()) {
    SetErrorInfo(0, nullptr);
    return wanted.code;
  }
  return orvo::com::set_error(wanted.code, L"OrvoServer.OrvoAmplifier", wanted.description, iid);
}

HRESULT make_state(const std::wstring& text, IDispatch** out) noexcept {
  *out = nullptr;
  orvo::com::ptr<IPersistStreamInit> persist;
  HRESULT hr =
      CoCreateInstance(CLSID_AmplifierState, nullptr, CLSCTX_INPROC_SERVER, IID_IPersistStreamInit, persist.put_void());
  if (FAILED(hr)) return hr;
  orvo::com::ptr<IStream> stream;
  hr = CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
  if (FAILED(hr)) return hr;
  // The state's stream form: the text with its terminating NUL.
  hr = stream->Write(text.c_str(), static_cast<ULONG>((text.size() + 1) * sizeof(wchar_t)), nullptr);
  LARGE_INTEGER start{};
  if (SUCCEEDED(hr)) hr = stream->Seek(start, STREAM_SEEK_SET, nullptr);
  if (SUCCEEDED(hr)) hr = persist->Load(stream.get());
  if (FAILED(hr)) return hr;
  return persist->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
}

}  // namespace stand_in
