#include "bench_session.h"

#include <winternl.h>

#include <cstdio>
#include <vector>

#include "../tests/helper/line_helper.h"

namespace {
VARIANT port_arg() { return unknown_arg(g_port.get()); }
}  // namespace

bench_session::bench_session() {
  g_device = std::make_unique<line_device>();
  if (!g_device->connected() ||
      FAILED(orvo::com::create_instance(CLSID_CommServerConstructor, g_constructor, CLSCTX_LOCAL_SERVER))) {
    std::fprintf(stderr, "no simulated device, or Rasper is not registered\n");
    return;
  }
  g_port = open_port(line_port());
  orvo::com::ptr<IUnknown> helper;
  if (!g_port || FAILED(g_constructor->CreateInProcessComponent(CLSID_RasperLineHelper, IID_IDispatch, helper.put()))) {
    std::fprintf(stderr, "the port or the test class inside Rasper could not be had\n");
    return;
  }
  m_helper = static_cast<IDispatch*>(helper.detach());
}

bench_session::~bench_session() {
  if (m_helper) m_helper->Release();
  g_port.reset();
  g_constructor.reset();
  g_device.reset();
}

double bench_session::invoke(DISPID id, VARIANT* args, UINT count) {
  // Arguments go last first.
  for (UINT i = 0; i < count / 2; ++i) std::swap(args[i], args[count - 1 - i]);
  DISPPARAMS params{args, nullptr, count, 0};
  VARIANT result;
  VariantInit(&result);
  if (FAILED(m_helper->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr))) return -1;
  return result.vt == VT_R8 ? result.dblVal : -1;
}

double bench_session::helper_conversations(int n) {
  VARIANT args[2] = {port_arg(), long_arg(n)};
  return invoke(3, args, 2);
}

double bench_session::helper_device_exchanges(int n) {
  VARIANT listen[2] = {port_arg(), long_arg(20)};
  invoke(4, listen, 2);
  g_device->command("burst " + std::to_string(n) + " 20 01");
  VARIANT wait[2] = {long_arg(n), long_arg(60000)};
  return invoke(5, wait, 2);
}

double bench_session::own_conversations(int n) {
  auto client = make_client({0x01});
  const double start = now_ms();
  for (int i = 0; i < n; ++i)
    if (converse(client.get(), 16) != 0) return -1;
  return now_ms() - start;
}

bool bench_session::rasper_figures(DWORD& handles, SIZE_T& private_bytes) {
  // The system's process list: Wine answers the per-process queries
  // (GetProcessHandleCount, GetProcessMemoryInfo) with zeros.
  const DWORD id = rasper_process();
  std::vector<BYTE> buffer(1 << 20);
  ULONG size = 0;
  if (!id ||
      NtQuerySystemInformation(SystemProcessInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &size) != 0)
    return false;
  for (std::size_t offset = 0;;) {
    const auto* p = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(buffer.data() + offset);
    if (reinterpret_cast<ULONG_PTR>(p->UniqueProcessId) == id) {
      handles = p->HandleCount;
      // Wine leaves PrivatePageCount at zero and counts private memory as
      // pagefile usage, as Windows does too.
      private_bytes = p->PrivatePageCount ? p->PrivatePageCount : p->VirtualMemoryCounters.PagefileUsage;
      return true;
    }
    if (!p->NextEntryOffset) return false;
    offset += p->NextEntryOffset;
  }
}
