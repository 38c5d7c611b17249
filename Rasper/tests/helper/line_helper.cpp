// rasper_line_helper.dll: a test class that the line tests and the
// benchmark have Rasper create inside its own process
// (CreateInProcessComponent), as a device object would be. Reached through
// IDispatch (no type library needed), it calls the line server in process:
//   1 AttachError(constructor, port)  the error information of an attach-only
//                                     GetCommServerEx, "source|description"
//   2 CreateError(constructor)        that of CreateInProcessComponent of an
//                                     unknown class
//   3 Conversations(server, count)    runs count conversations (1-byte
//                                     request) one after another; returns
//                                     the milliseconds taken, negative when
//                                     one did not end with reason 0
//   4 Listen(server, address)         registers a client at the address
//   5 Exchanges(count, milliseconds)  waits until the listening client has
//                                     answered count device packets; the
//                                     milliseconds from the first to the last
//   6 Tally(server, count, milliseconds)
//                                     runs count conversations (1-byte
//                                     request, at address 16) and counts how
//                                     they ended: "r0 r1 r2 r3 hung"; stops at
//                                     the first that has not ended within
//                                     the milliseconds
#include <windows.h>

#include <atomic>
#include <iterator>
#include <string>

#include "CommServer_h.h"
#include "line_helper.h"
#include "com/inproc_server.h"
#include "com/object.h"
#include "com/ptr.h"

using orvo::com::ptr;

namespace {
class helper_client : public orvo::com::object<helper_client, ICommClient> {
 public:
  bool with_request = true;
  HANDLE ended = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  std::atomic<long> last_reason{-1};
  std::atomic<long> answered{0};
  std::atomic<double> first{0}, last{0};
  ~helper_client() override { CloseHandle(ended); }

  STDMETHODIMP ProcessData(BYTE* data, LONG, BYTE** out, LONG* count) override {
    *out = nullptr;
    *count = 0;
    if (data || !with_request) {
      const double t = now_ms();
      if (answered++ == 0) first = t;
      last = t;
      return S_OK;
    }
    *out = static_cast<BYTE*>(CoTaskMemAlloc(1));
    (*out)[0] = 0x01;
    *count = 1;
    return S_OK;
  }
  STDMETHODIMP OnConversationTerminated(LONG reason) override {
    last_reason = reason;
    SetEvent(ended);
    return S_OK;
  }
  STDMETHODIMP IsAlive() override { return S_OK; }
  void* query_extra(REFIID iid) noexcept {
    return iid == IID_IDataProcessor ? static_cast<IDataProcessor*>(this) : nullptr;
  }
};

std::wstring error_text() {
  ptr<IErrorInfo> info;
  if (GetErrorInfo(0, info.put()) != S_OK) return L"(no error information)";
  BSTR source = nullptr, description = nullptr;
  info->GetSource(&source);
  info->GetDescription(&description);
  std::wstring text = std::wstring(source ? source : L"") + L"|" + (description ? description : L"");
  SysFreeString(source);
  SysFreeString(description);
  return text;
}

class CLineHelper : public orvo::com::object<CLineHelper, IDispatch> {
 public:
  STDMETHODIMP GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT* result, EXCEPINFO*, UINT*) override {
    if (!p || !result) return E_POINTER;
    VariantInit(result);
    // Arguments arrive last first.
    auto arg = [&](UINT i) -> VARIANT& { return p->rgvarg[p->cArgs - 1 - i]; };
    switch (id) {
      case 1: {
        if (p->cArgs != 2) return DISP_E_BADPARAMCOUNT;
        auto constructor = ptr<IUnknown>(arg(0).punkVal).as<ICommServerConstructor>();
        ptr<ICommServer> server;
        constructor->GetCommServerEx(arg(1).bstrVal, server.put(), VARIANT_TRUE);
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocString(error_text().c_str());
        return S_OK;
      }
      case 2: {
        if (p->cArgs != 1) return DISP_E_BADPARAMCOUNT;
        auto constructor = ptr<IUnknown>(arg(0).punkVal).as<ICommServerConstructor>();
        const GUID unknown = {0x12345678, 0x1, 0x2, {1, 2, 3, 4, 5, 6, 7, 8}};
        ptr<IUnknown> object;
        constructor->CreateInProcessComponent(unknown, IID_IDispatch, object.put());
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocString(error_text().c_str());
        return S_OK;
      }
      case 3: {
        if (p->cArgs != 2) return DISP_E_BADPARAMCOUNT;
        auto server = ptr<IUnknown>(arg(0).punkVal).as<ICommServer>();
        ptr<ICommClient> c;
        helper_client::make(c);
        auto* client = static_cast<helper_client*>(c.get());
        bool all_completed = true;
        const double start = now_ms();
        for (LONG i = 0; i < arg(1).lVal && all_completed; ++i) {
          server->RequestConversation(c.get(), 16);
          if (WaitForSingleObject(client->ended, 30000) != WAIT_OBJECT_0 || client->last_reason != 0)
            all_completed = false;
        }
        result->vt = VT_R8;
        result->dblVal = (now_ms() - start) * (all_completed ? 1 : -1);
        return S_OK;
      }
      case 6: {
        if (p->cArgs != 3) return DISP_E_BADPARAMCOUNT;
        auto server = ptr<IUnknown>(arg(0).punkVal).as<ICommServer>();
        if (!server) return E_INVALIDARG;
        ptr<ICommClient> c;
        helper_client::make(c);
        auto* client = static_cast<helper_client*>(c.get());
        long counts[5] = {};
        for (LONG i = 0; i < arg(1).lVal; ++i) {
          server->RequestConversation(c.get(), 16);
          if (WaitForSingleObject(client->ended, static_cast<DWORD>(arg(2).lVal)) != WAIT_OBJECT_0) {
            ++counts[4];
            break;
          }
          const long reason = client->last_reason;
          if (reason >= 0 && reason <= 3) ++counts[reason];
        }
        const std::wstring text = std::to_wstring(counts[0]) + L" " + std::to_wstring(counts[1]) + L" " +
                                  std::to_wstring(counts[2]) + L" " + std::to_wstring(counts[3]) + L" " +
                                  std::to_wstring(counts[4]);
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocString(text.c_str());
        return S_OK;
      }
      case 4: {
        if (p->cArgs != 2) return DISP_E_BADPARAMCOUNT;
        m_server = ptr<IUnknown>(arg(0).punkVal).as<ICommServer>();
        ptr<ICommClient> c;
        helper_client::make(c);
        static_cast<helper_client*>(c.get())->with_request = false;
        m_listener = c;
        LONG registered = 0;
        return m_server->RegisterClient(c.get(), static_cast<BYTE>(arg(1).lVal), &registered);
      }
      case 5: {
        if (p->cArgs != 2 || !m_listener) return E_UNEXPECTED;
        auto* client = static_cast<helper_client*>(m_listener.get());
        const double until = now_ms() + arg(1).lVal;
        while (client->answered < arg(0).lVal && now_ms() < until) Sleep(1);
        result->vt = VT_R8;
        result->dblVal = client->answered >= arg(0).lVal ? client->last - client->first : -1;
        m_server->UnregisterClient(m_listener.get());
        m_listener.reset();
        m_server.reset();
        return S_OK;
      }
    }
    return DISP_E_MEMBERNOTFOUND;
  }

 private:
  ptr<ICommServer> m_server;
  ptr<ICommClient> m_listener;
};

const orvo::com::class_entry classes[] = {
    orvo::com::class_entry::of<CLineHelper>(CLSID_RasperLineHelper, L"RasperLineHelper Class",
                                            L"OrvoTests.RasperLineHelper", L"Free"),
};
const orvo::com::inproc_server server{classes, std::size(classes), false, {}};
}  // namespace

ORVO_COM_INPROC_SERVER_EXPORTS(server)
