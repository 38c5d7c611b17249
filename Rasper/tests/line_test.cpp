// The line server as its clients see it: Rasper started by COM, a port on
// a simulated device (tools/line_sim), clients and sinks in this process
// reached through the proxies Codrant.dll serves.
#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>

#include "CommServer_h.h"
#include "PacketCodec_h.h"
#include "com/ptr.h"
#include "helper/line_helper.h"
#include "line_device.h"
#include "line_session.h"
#include "registry/registry_key.h"
#include "test_client.h"
#include "testing/com_test.h"

using orvo::com::ptr;

namespace {

class RasperLine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(g_port);
    g_device->command("clear");
    g_device->command("crc 1");
  }
};
}  // namespace

// ------------------------------------------------------------ conversations

TEST_F(RasperLine, ANewPortNumbersItsConversations61_122_55AndSendsIdAddressPayloadAndCrc) {
  g_device->command("script 16 -");
  auto client = make_client({0x01});
  for (int i = 0; i < 3; ++i) EXPECT_EQ(converse(client.get(), 16), 0);
  EXPECT_EQ(g_device->log(),
            (std::vector<std::string>{"rx:3d1001", "tx:3d10", "rx:7a1001", "tx:7a10", "rx:371001", "tx:3710"}));
  EXPECT_EQ(g_device->count().bad_frames, 0);
}

TEST_F(RasperLine, AnEmptyRequestEndsWithReason0AndPutsNothingOnTheWire) {
  auto client = make_client();
  EXPECT_EQ(converse(client.get(), 16), 0);
  Sleep(100);
  EXPECT_EQ(g_device->count().rx_bytes, 0);
}

TEST_F(RasperLine, ADeviceReplyWithPayloadIsGivenToTheClientAndAnsweredAt255WithTheSameId) {
  g_device->command("script 16 0a0b");
  auto client = make_client({0x02});
  EXPECT_EQ(converse(client.get(), 16), 0);
  EXPECT_EQ(client->payloads(), (std::vector<bytes>{{0x0A, 0x0B}}));
  const auto log = g_device->log();
  ASSERT_EQ(log.size(), 3u);
  const std::string id = log[0].substr(3, 2);
  EXPECT_EQ(log[2], "rx:" + id + "ff");
}

TEST_F(RasperLine, ARequestWithoutAnswerEndsWithReason1AfterTheTimeout) {
  g_device->command("script 16 none");
  ASSERT_EQ(g_port->put_ConversationTimeout(200), S_OK);
  auto client = make_client({0x03});
  EXPECT_EQ(converse(client.get(), 16), 1);
  EXPECT_EQ(g_port->put_ConversationTimeout(10000), S_OK);
}

TEST_F(RasperLine, APacketOfAHigherIdIsDroppedOnceAndTheSecondInterrupts) {
  g_device->command("script 16 127/01;127/02");
  auto client = make_client({0x04});
  EXPECT_EQ(converse(client.get(), 16), 2);
  EXPECT_TRUE(client->payloads().empty());
}

TEST_F(RasperLine, APacketOfALowerIdInterruptsAndOpensTheDevicesOwnConversation) {
  auto device_client = make_client();
  LONG registered = 0;
  ASSERT_EQ(g_port->RegisterClient(device_client.get(), 16, &registered), S_OK);
  g_device->command("script 16 0/0102");
  auto client = make_client({0x05});
  EXPECT_EQ(converse(client.get(), 16), 2);
  EXPECT_TRUE(client->payloads().empty());
  // The interrupting packet is the device's: answered at 255 under its id.
  EXPECT_EQ(device_client->wait_end(), 0);
  EXPECT_EQ(device_client->payloads(), (std::vector<bytes>{{0x01, 0x02}}));
  g_device->wait("rx", 2);
  EXPECT_EQ(g_device->log().back(), "rx:00ff");
  g_port->UnregisterClient(device_client.get());
}

TEST_F(RasperLine, ADevicePacketWithoutPayloadIsDroppedAndOneWithPayloadAtARegisteredAddressIsAnswered) {
  auto client = make_client({}, {});
  LONG registered = 0;
  ASSERT_EQ(g_port->RegisterClient(client.get(), 20, &registered), S_OK);
  EXPECT_NE(registered, 0);
  g_device->command("send 6 20 -");
  g_device->command("send 7 21 09");
  g_device->command("send 8 20 09");
  EXPECT_EQ(client->wait_end(), 0);
  EXPECT_EQ(client->payloads(), (std::vector<bytes>{{0x09}}));
  g_device->wait("rx", 1);
  EXPECT_EQ(g_device->log().back(), "rx:08ff");
  EXPECT_EQ(g_device->count().rx_frames, 1);
  EXPECT_EQ(g_port->UnregisterClient(client.get()), S_OK);
  EXPECT_EQ(g_port->UnregisterClient(client.get()), S_FALSE);
}

TEST_F(RasperLine, WithoutACrcGeneratorPacketsGoBareAndCountFromFourBytes) {
  VARIANT none;
  VariantInit(&none);
  none.vt = VT_UNKNOWN;
  none.punkVal = nullptr;
  ASSERT_EQ(g_port->put_CRCGenerator(none), S_FALSE);
  g_device->command("crc 0");
  g_device->command("script 16 0a0b");
  auto client = make_client({0x06});
  EXPECT_EQ(converse(client.get(), 16), 0);
  EXPECT_EQ(client->payloads(), (std::vector<bytes>{{0x0A, 0x0B}}));
  EXPECT_EQ(g_device->log().front().size(), std::string("rx:xx1006").size());
  VARIANT progid;
  VariantInit(&progid);
  progid.vt = VT_BSTR;
  progid.bstrVal = SysAllocString(L"Quarnell.CRCGenerator16");
  EXPECT_EQ(g_port->put_CRCGenerator(progid), S_OK);
  VariantClear(&progid);
}

TEST_F(RasperLine, TheByteCountersEqualWhatTheDeviceSawAndSent) {
  LONG written0 = 0, read0 = 0, written1 = 0, read1 = 0;
  g_port->get_BytesWritten(&written0);
  g_port->get_BytesRead(&read0);
  g_device->command("script 16 0a0b");
  auto client = make_client({0x07, 0x81, 0xFF});
  for (int i = 0; i < 3; ++i) EXPECT_EQ(converse(client.get(), 16), 0);
  g_device->wait("rx", 6);
  g_port->get_BytesWritten(&written1);
  g_port->get_BytesRead(&read1);
  const auto counts = g_device->count();
  EXPECT_EQ(written1 - written0, counts.rx_bytes);
  EXPECT_EQ(read1 - read0, counts.tx_bytes);
}

// ---------------------------------------------------------- clients, events

TEST_F(RasperLine, ClientEventsGoToVtableThenDispatchSinksAndAddress254RegistersNothing) {
  event_log events;
  ptr<_ICommServerEventMethods> vsink;
  ptr<IDispatch> dsink;
  ASSERT_EQ(vtable_sink::make(vsink, events), S_OK);
  ASSERT_EQ(dispatch_sink::make(dsink, events), S_OK);
  auto container = g_port.as<IConnectionPointContainer>();
  ptr<IConnectionPoint> vpoint, dpoint;
  ASSERT_EQ(container->FindConnectionPoint(IID__ICommServerEventMethods, vpoint.put()), S_OK);
  ASSERT_EQ(container->FindConnectionPoint(DIID__DCommServerEvents, dpoint.put()), S_OK);
  // The sinks write into this test's event log: they are unadvised however
  // the test ends, before the log goes.
  struct advice {
    IConnectionPoint* point;
    DWORD cookie = 0;
    void drop() {
      if (cookie) point->Unadvise(cookie);
      cookie = 0;
    }
    ~advice() { drop(); }
  } vadvice{vpoint.get()}, dadvice{dpoint.get()};
  ASSERT_EQ(vpoint->Advise(vsink.get(), &vadvice.cookie), S_OK);
  ASSERT_EQ(dpoint->Advise(dsink.get(), &dadvice.cookie), S_OK);

  auto client = make_client();
  LONG registered = 1;
  EXPECT_EQ(g_port->RegisterClient(client.get(), 254, &registered), S_OK);
  EXPECT_EQ(registered, 0);
  ptr<ICommClient> got;
  EXPECT_EQ(g_port->GetClient(254, got.put()), E_FAIL);
  EXPECT_EQ(g_port->RegisterClient(client.get(), 30, &registered), S_OK);
  EXPECT_NE(registered, 0);
  EXPECT_EQ(g_port->GetClient(30, got.put()), S_OK);
  // An address whose client is alive stays taken.
  auto second = make_client();
  EXPECT_EQ(g_port->RegisterClient(second.get(), 30, &registered), S_OK);
  EXPECT_EQ(registered, 0);
  EXPECT_EQ(g_port->UnregisterClient(client.get()), S_OK);
  EXPECT_EQ(events.take(), (std::vector<std::string>{"v5:30", "d5:30", "v6:30", "d6:30"}));

  // Veto rounds ask the dispatch sinks first.
  LONG timeout = 0;
  EXPECT_EQ(g_port->put_ConversationTimeout(7000), S_OK);
  EXPECT_EQ(events.take(), (std::vector<std::string>{"d3", "v3", "d4", "v4"}));
  static_cast<dispatch_sink*>(dsink.get())->refuse = true;
  EXPECT_EQ(g_port->put_ConversationTimeout(500), E_FAIL);
  EXPECT_EQ(events.take(), (std::vector<std::string>{"d3"}));
  EXPECT_EQ(g_port->get_ConversationTimeout(&timeout), S_OK);
  EXPECT_EQ(timeout, 7000);
  static_cast<dispatch_sink*>(dsink.get())->refuse = false;
  static_cast<vtable_sink*>(vsink.get())->refuse = true;
  EXPECT_EQ(g_port->put_BaudRate(9600), E_FAIL);
  EXPECT_EQ(events.take(), (std::vector<std::string>{"d1", "v1"}));

  vadvice.drop();
  dadvice.drop();
  EXPECT_EQ(g_port->put_ConversationTimeout(10000), S_OK);
}

TEST_F(RasperLine, AComponentIsGivenByProgIdOrAsAnObjectWithItsInterface) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(L"Quarnell.StdEncoder");
  EXPECT_EQ(g_port->put_Encoder(v), S_OK);
  VariantClear(&v);
  VARIANT decoder;
  VariantInit(&decoder);
  ASSERT_EQ(g_port->get_Decoder(&decoder), S_OK);
  ASSERT_EQ(decoder.vt, VT_UNKNOWN);
  EXPECT_EQ(g_port->put_Encoder(decoder), E_NOINTERFACE);
  VariantClear(&decoder);
  v.vt = VT_I4;
  v.lVal = 1;
  EXPECT_EQ(g_port->put_Encoder(v), E_INVALIDARG);
  // The port still talks.
  g_device->command("script 16 -");
  auto client = make_client({0x08});
  EXPECT_EQ(converse(client.get(), 16), 0);
}

// ------------------------------------------------------------- constructor

TEST_F(RasperLine, AttachOnlyToAPortNobodyOpenedIsRefusedNamingThePort) {
  HRESULT hr = S_OK;
  EXPECT_FALSE(open_port(L"COM7", true, &hr));
  EXPECT_EQ(hr, E_ACCESSDENIED);
  // Error information stays in the server's process under Wine: read there.
  VARIANT port;
  VariantInit(&port);
  port.vt = VT_BSTR;
  port.bstrVal = SysAllocString(L"COM7");
  EXPECT_EQ(helper_text(1, {unknown_arg(g_constructor.get()), port}),
            L"Quarnell.CommServerConstructor|Unable to access port COM7");
  VariantClear(&port);
}

TEST_F(RasperLine, NullNamesAndNullOutPointers) {
  ptr<ICommServer> server;
  EXPECT_EQ(g_constructor->GetCommServer(nullptr, server.put()), E_POINTER);
  auto git = g_constructor.as<IRasperGIT>();
  ptr<IUnknown> object;
  EXPECT_EQ(git->GetInterface(nullptr, object.put()), E_POINTER);
  EXPECT_EQ(git->RegisterInterface(nullptr, g_port.get()), E_POINTER);
  // A null out pointer is refused by the proxy once the answer is back
  // (the call itself runs in the server), so only calls that hand out no
  // new object are tried here: an object handed out would never be freed.
  BSTR absent = SysAllocString(L"absent");
  EXPECT_EQ(git->GetInterface(absent, nullptr), HRESULT(0x800706F4));
  SysFreeString(absent);
  EXPECT_EQ(g_port->get_PortName(nullptr), HRESULT(0x800706F4));
}

TEST_F(RasperLine, EnumPortsListsThePortsUnderSerialComm) {
  auto key = orvo::registry::key::create(HKEY_LOCAL_MACHINE, L"Hardware\\DeviceMap\\SerialComm");
  ASSERT_TRUE(key);
  ASSERT_EQ(key.write_string(L"\\Device\\Serial4", L"COM5"), ERROR_SUCCESS);
  ptr<IEnumString> ports;
  ASSERT_EQ(g_constructor->EnumPorts(ports.put()), S_OK);
  bool found = false;
  LPOLESTR name = nullptr;
  ULONG fetched = 0;
  while (ports->Next(1, &name, &fetched) == S_OK) {
    if (std::wstring(name) == L"COM5") found = true;
    CoTaskMemFree(name);
  }
  EXPECT_TRUE(found);
  key.delete_value(L"\\Device\\Serial4");
}

TEST_F(RasperLine, CreateInProcessComponentOfAnUnknownClassFailsNamingBothGuids) {
  const GUID unknown = {0x12345678, 0x1, 0x2, {1, 2, 3, 4, 5, 6, 7, 8}};
  ptr<IUnknown> object;
  EXPECT_EQ(g_constructor->CreateInProcessComponent(unknown, IID_IUnknown, object.put()), REGDB_E_CLASSNOTREG);
  const std::wstring text = helper_text(2, {unknown_arg(g_constructor.get())});
  EXPECT_NE(text.find(L"{12345678-0001-0002-0102-030405060708}"), std::wstring::npos) << text;
  EXPECT_NE(text.find(L"{00020400-0000-0000-C000-000000000046}"), std::wstring::npos) << text;
  // A known class is made inside the server's process.
  EXPECT_EQ(g_constructor->CreateInProcessComponent(CLSID_StdEncoder, IID_IUnknown, object.put()), S_OK);
}

TEST_F(RasperLine, AnInterfaceOneProcessRegistersAnotherGets) {
  auto git = g_constructor.as<IRasperGIT>();
  auto client = make_client();
  BSTR name = SysAllocString(L"line test client");
  EXPECT_EQ(git->RegisterInterface(name, client.get()), S_OK);
  EXPECT_EQ(git->RegisterInterface(name, client.get()), S_FALSE);
  const std::wstring child = orvo::testing::windows_path(g_self);
  EXPECT_EQ(orvo::testing::run_program(L"\"" + child + L"\" git-get"), 0);
  EXPECT_GE(client->alive_calls.load(), 1);
  EXPECT_EQ(git->RevokeInterface(name), S_OK);
  EXPECT_EQ(git->RevokeInterface(name), S_FALSE);
  ptr<IUnknown> object;
  EXPECT_EQ(git->GetInterface(name, object.put()), S_FALSE);
  EXPECT_FALSE(object);
  SysFreeString(name);
}

// -------------------------------------------------------- sharing and life

TEST(RasperServer, TwoNamesInAnyCaseShareOneEngineUntilBothFacadesAreReleased) {
  g_port.reset();
  Sleep(100);
  auto lower = open_port(L"com5");
  auto upper = open_port(L"COM5");
  ASSERT_TRUE(lower && upper);
  auto client = make_client();
  LONG registered = 0;
  ASSERT_EQ(lower->RegisterClient(client.get(), 40, &registered), S_OK);
  ptr<ICommClient> got;
  EXPECT_EQ(upper->GetClient(40, got.put()), S_OK);
  got.reset();
  lower->UnregisterClient(client.get());
  lower.reset();
  HRESULT hr = E_FAIL;
  EXPECT_TRUE(open_port(L"Com5", true, &hr));
  EXPECT_EQ(hr, S_OK);
  upper.reset();
  EXPECT_FALSE(open_port(L"COM5", true, &hr));
  EXPECT_EQ(hr, E_ACCESSDENIED);
}

TEST(RasperServer, TheServerEndsByItselfWhenTheLastClientLetsGo) {
  EXPECT_NE(rasper_process(), 0u);
  g_constructor.reset();
  bool ended = false;
  for (int i = 0; i < 100 && !ended; ++i) {
    Sleep(50);
    ended = rasper_process() == 0;
  }
  EXPECT_TRUE(ended);
}

namespace {
// The child process of the interface-table test: gets the interface another
// process registered and calls it.
int git_get() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 2;
  int rc = 1;
  {
    ptr<IRasperGIT> git;
    if (SUCCEEDED(orvo::com::create_instance(CLSID_CommServerConstructor, git, CLSCTX_LOCAL_SERVER))) {
      BSTR name = SysAllocString(L"line test client");
      ptr<IUnknown> object;
      if (git->GetInterface(name, object.put()) == S_OK) {
        auto client = object.as<ICommClient>();
        if (client && client->IsAlive() == S_OK) rc = 0;
      }
      SysFreeString(name);
    }
  }
  CoUninitialize();
  return rc;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "git-get") return git_get();
  return line_main(argc, argv);
}
