// The link to the amplifier server as far as it goes without a server.
#include <objbase.h>
#include <gtest/gtest.h>

#include "server_link.h"

namespace {

struct CIgnoringHandler : IServerEventHandler {
  void OnInitialize(long, BSTR) override {}
  void OnChange(const VARIANT&) override {}
  void OnImpedance(long, const VARIANT&) override {}
  void OnImpedanceEnd() override {}
  void OnError(long, BSTR) override {}
  void OnReset() override {}
};

TEST(ServerLink, AnUnregisteredServerRaisesTheLookupsHresultAndHoldsNothing) {
  CIgnoringHandler handler;
  CServerLink link(handler);
  try {
    link.connect();
    FAIL() << "connected without a registered server";
  } catch (const comet::com_error& e) {
    EXPECT_EQ(e.hr(), static_cast<HRESULT>(0x800401F3));
  }
  EXPECT_FALSE(link.connected());
  EXPECT_EQ(link.sink().m_dwEventCookie, CServerEventSink::not_advised);
}

TEST(ServerLink, TheSinkAnswersTheEventInterfaceAndIDispatchOnly) {
  CIgnoringHandler handler;
  CServerEventSink sink(handler);
  void* out = nullptr;
  EXPECT_EQ(sink.QueryInterface(DIID_IOrvoAmplifierEvents, &out), S_OK);
  EXPECT_EQ(out, static_cast<IDispatch*>(&sink));
  EXPECT_EQ(sink.QueryInterface(IID_IDispatch, &out), S_OK);
  EXPECT_EQ(sink.QueryInterface(__uuidof(Orvo::IAmplifier), &out), E_NOINTERFACE);
}

}  // namespace
