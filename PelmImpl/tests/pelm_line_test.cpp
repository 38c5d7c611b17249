// The Pelm device objects as a client program sees them: PelmConstructor
// made in this process, the device object made by it inside the line server
// (started by COM), the simulated line (tools/line_sim) acting as the Pelm
// devices, and this program's callbacks and slaves reached through
// PelmImpl's proxies.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>

#include "CRCGenerator_h.h"
#include "Pelm_h.h"
#include "com/ptr.h"
#include "line_session.h"
#include "pelm_callbacks.h"
#include "registry/registry_key.h"
#include "test_client.h"

using orvo::com::ptr;

namespace {

const wchar_t pelm_key[] = L"Software\\Quarnell Limited\\Pelm";

void store_baud_rate(DWORD rate) {
  auto key = orvo::registry::key::create(HKEY_LOCAL_MACHINE, pelm_key);
  ASSERT_TRUE(key);
  ASSERT_EQ(key.write_dword(L"Baud Rate", rate), ERROR_SUCCESS);
}

ptr<IPelm> create_device(HRESULT* result = nullptr) {
  ptr<IPelmConstructor> constructor;
  EXPECT_EQ(orvo::com::create_instance(CLSID_PelmConstructor, constructor), S_OK);
  ptr<IPelm> device;
  if (!constructor) return device;
  const HRESULT hr = constructor->Create(g_port.get(), device.put());
  if (result)
    *result = hr;
  else
    EXPECT_EQ(hr, S_OK);
  return device;
}

bool address16_taken() {
  ptr<ICommClient> client;
  return SUCCEEDED(g_port->GetClient(16, client.put()));
}

// The frames the device read that Rasper sent to `address` (requests, not
// answers at 255).
int requests_to(BYTE address) {
  char hex[3];
  snprintf(hex, sizeof hex, "%02x", address);
  const auto log = g_device->log();
  return static_cast<int>(std::count_if(log.begin(), log.end(), [&](const std::string& f) {
    return f.rfind("rx:", 0) == 0 && f.size() >= 7 && f.substr(5, 2) == hex;
  }));
}

// Runs one master exchange on a device object to its end, with a callback
// of class C that places requests through on_call; the callback, holding
// what it heard and the controller it was given.
template <class C = master_callback>
ptr<C> run_exchange(IPelm* on, std::function<void(IPelmMasterController*, int)> on_call = {}) {
  ptr<IPelmMasterCallback> callback;
  EXPECT_EQ(C::make(callback), S_OK);
  ptr<C> c(static_cast<C*>(callback.get()));
  c->on_call = std::move(on_call);
  EXPECT_EQ(on->CreateMasterController(callback.get()), S_OK);
  EXPECT_TRUE(c->log.wait("5:"));
  return c;
}

class PelmLine : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(g_port);
    g_device->command("clear");
    g_device->command("crc 1");
    g_device->command("delay 0");
    store_baud_rate(115200);
    device = create_device();
    ASSERT_TRUE(device);
  }
  void TearDown() override {
    if (device) device->Close();
    device.reset();
    wait_for([] { return !address16_taken(); }, 5000);
  }

  // Runs a search and returns what the callback heard.
  std::string find() {
    ptr<IFindPelmCallback> callback;
    EXPECT_EQ(find_callback::make(callback), S_OK);
    auto* c = static_cast<find_callback*>(callback.get());
    EXPECT_EQ(device->FindDevices(callback.get()), S_OK);
    EXPECT_TRUE(wait_for([&] { return !c->log.calls().empty(); }, 30000));
    const auto calls = c->log.calls();
    EXPECT_EQ(calls.size(), 1u);
    return calls.empty() ? std::string() : calls[0];
  }

  ptr<IPelm> device;
};

// ------------------------------------------------------------ search

TEST_F(PelmLine, ASearchAsksAddress170AndGivesTheRecordOfTheDeviceThatAnswers) {
  g_device->command("script 170 70454c4d0001020304050607");
  EXPECT_EQ(find(), "pELM,1,2,3,4,5,6,7,15");
  EXPECT_EQ(g_device->log().front().substr(5), "aa00");
  g_device->command("script 170 0102");
  EXPECT_EQ(find(), "null");
}

TEST_F(PelmLine, DuringASearchThePortWaits4000msAndAfterwardsAsLongAsBefore) {
  ASSERT_EQ(g_port->put_ConversationTimeout(7000), S_OK);
  g_device->command("delay 1000");
  g_device->command("script 170 0102");
  ptr<IFindPelmCallback> callback;
  ASSERT_EQ(find_callback::make(callback), S_OK);
  ASSERT_EQ(device->FindDevices(callback.get()), S_OK);
  ASSERT_EQ(g_device->wait("rx", 1, 10000), 1);
  LONG during = 0;
  EXPECT_EQ(g_port->get_ConversationTimeout(&during), S_OK);
  EXPECT_EQ(during, 4000);
  EXPECT_TRUE(wait_for([&] { return !static_cast<find_callback*>(callback.get())->log.calls().empty(); }));
  LONG after = 0;
  EXPECT_EQ(g_port->get_ConversationTimeout(&after), S_OK);
  EXPECT_EQ(after, 7000);
  g_port->put_ConversationTimeout(10000);
}

TEST_F(PelmLine, ASearchAsksADeviceThatAlwaysCutsIn108TimesAndOneSendingBadPackets7Times) {
  g_device->command("script 170 */01");
  EXPECT_EQ(find(), "null");
  EXPECT_EQ(requests_to(170), 108);
  g_device->command("clear");
  g_device->command("script 170 !01");
  EXPECT_EQ(find(), "null");
  EXPECT_EQ(requests_to(170), 7);
}

TEST_F(PelmLine, AResetSends03AndAsksADeviceThatAlwaysCutsIn22Times) {
  g_device->command("script 204 */01");
  ASSERT_EQ(device->Reset(), S_OK);
  ASSERT_EQ(g_device->wait("rx", 22, 20000), 22);
  // A search queued after the last reset request runs after any further
  // one would have: two searches later the count is final.
  g_device->command("script 170 0102");
  find();
  find();
  EXPECT_EQ(requests_to(204), 22);
  EXPECT_EQ(g_device->log().front().substr(5), "cc03");
}

// ------------------------------------------------------------ master controller

TEST_F(PelmLine, AMasterExchangeRunsRequestsPlacedByTheCallbackAndDecodesEveryAnswer) {
  g_device->command("script 204 001109220708010233040506 a0a1 80 0102 none");
  auto c = run_exchange(device.get(), [](IPelmMasterController* m, int method) {
    BYTE block[] = {0xAA, 0xBB};
    if (method == 1) {
      EXPECT_EQ(m->ReadBlock(0x10, 1, 2, block, 2), S_OK);
    } else if (method == 9) {
      EXPECT_EQ(m->RequestStatus(0x20), S_OK);
    } else if (method == 2) {
      EXPECT_EQ(m->RequestIdentity(), S_OK);
    } else if (method == 8) {
      ptr<IPelmMasterController2> m2;
      ASSERT_EQ(ptr<IPelmMasterController>(m).query(m2), S_OK);
      EXPECT_EQ(m2->WriteBlock(0x10, 1, 2, nullptr, 0), S_OK);
    }
  });
  EXPECT_EQ(c->log.calls(), (std::vector<std::string>{"1", "9:33,11,04,22,05|06,01,02,33,04", "2:a0,a1", "8:80,00",
                                                      "10:01,02", "5:0"}));
  std::vector<std::string> sent;
  for (const auto& f : g_device->log())
    if (f.rfind("rx:", 0) == 0) sent.push_back(f.substr(5));
  EXPECT_EQ(sent, (std::vector<std::string>{"cc400710010002aabb", "ff3020", "ff34", "ff500510010002", "ff"}));
}

TEST_F(PelmLine, ABusyDeviceGetsNoReplyAndTheEndReadsInterrupted) {
  g_device->command("script 204 95 none");
  auto c = run_exchange(device.get(), [](IPelmMasterController* m, int method) {
    if (method == 1) m->RequestStatus(0x20);
  });
  EXPECT_EQ(c->log.calls(), (std::vector<std::string>{"1", "5:2"}));
  g_device->wait("rx", 2, 15000);
  EXPECT_EQ(g_device->log().back().substr(5), "ff");
}

TEST_F(PelmLine, ABlockWriteAnswerNeedsTheSecondCallbackInterface) {
  g_device->command("script 204 0102 none");
  auto c = run_exchange<plain_master_callback>(device.get(), [](IPelmMasterController* m, int method) {
    ptr<IPelmMasterController2> m2;
    if (method == 1 && SUCCEEDED(ptr<IPelmMasterController>(m).query(m2))) m2->WriteBlock(0x10, 1, 2, nullptr, 0);
  });
  EXPECT_EQ(c->log.calls(), (std::vector<std::string>{"1", "5:0"}));
}

TEST_F(PelmLine, ShortAndEmptyAnswersEndTheExchangeWithoutHarm) {
  g_device->command("script 170 70");
  EXPECT_EQ(find(), "null");
  g_device->command("script 204 01 - none");
  auto c = run_exchange(device.get(), [](IPelmMasterController* m, int method) {
    if (method == 1) m->ReadBlock(0x10, 1, 2, nullptr, 0);
    if (method == 9) m->RequestIdentity();
  });
  EXPECT_EQ(c->log.calls(), (std::vector<std::string>{"1", "9:ff,00,00,00,00|null", "5:0"}));
  EXPECT_EQ(device->CheckOpen(), S_OK);
}

TEST_F(PelmLine, AControllerGivesItsAddressRangeAWorkingCrcGeneratorAndRefusesBadRequests) {
  auto c = run_exchange(device.get());
  IPelmMasterController* m = c->controller;
  ASSERT_NE(m, nullptr);
  LONG low = 0, high = 0;
  EXPECT_EQ(m->get_MinAddress(&low), S_OK);
  EXPECT_EQ(m->get_MaxAddress(&high), S_OK);
  EXPECT_EQ(low, 4);
  EXPECT_EQ(high, 254);
  EXPECT_EQ(m->Obsolete2(), E_NOTIMPL);
  EXPECT_EQ(m->Obsolete8(), E_NOTIMPL);
  EXPECT_EQ(m->RequestStatus(3), E_INVALIDARG);
  EXPECT_EQ(m->RequestStatus(254), E_INVALIDARG);
  EXPECT_EQ(m->ReadBlock(0x11, 0, 0, nullptr, 0), E_INVALIDARG);
  EXPECT_EQ(m->get_MinAddress(nullptr), HRESULT(0x800706F4));

  // The generator crosses to this process through CRC.dll's proxy and
  // checks as one made here does.
  ptr<ICRCGenerator> remote, local;
  ASSERT_EQ(m->get_CRCGenerator(remote.put()), S_OK);
  ASSERT_EQ(orvo::com::create_instance(L"Quarnell.CRCGenerator16", local), S_OK);
  BYTE text[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  for (auto* g : {remote.get(), local.get()}) {
    ASSERT_EQ(g->AddData(text, 9), S_OK);
    ASSERT_EQ(g->EndGenerate(), S_OK);
  }
  BYTE r0 = 0, r1 = 0, l0 = 1, l1 = 1;
  remote->GetByte(0, &r0);
  remote->GetByte(1, &r1);
  local->GetByte(0, &l0);
  local->GetByte(1, &l1);
  EXPECT_EQ(std::make_pair(r0, r1), std::make_pair(l0, l1));
}

// ------------------------------------------------------------ slaves

TEST_F(PelmLine, DevicePacketsToAddress16GoToTheSlaveTheirFirstByteNames) {
  ptr<IPelmSlave> slave;
  ASSERT_EQ(test_slave::make(slave), S_OK);
  auto* s = static_cast<test_slave*>(slave.get());
  s->reply = {0xAA};
  LONG cookie = 0;
  ASSERT_EQ(device->RegisterSlave(slave.get(), 7, &cookie), S_OK);
  // Each packet opens a conversation of the device's; its empty packet
  // under the same id closes it.
  const auto exchange = [&](int id, const char* payload, int frames) {
    g_device->command("send " + std::to_string(id) + " 16 " + payload);
    ASSERT_EQ(g_device->wait("rx", frames, 15000), frames);
    g_device->command("send " + std::to_string(id) + " 16 -");
  };
  exchange(5, "0701", 1);
  exchange(6, "07", 2);
  EXPECT_EQ(s->log.calls(), (std::vector<std::string>{"01", "null:0"}));
  s->reply.clear();
  exchange(7, "0702", 3);  // an empty reply
  exchange(8, "0902", 4);  // an empty slot
  s->result = E_FAIL;
  exchange(9, "0703", 5);  // a failing slave
  std::vector<std::string> answers;
  for (const auto& f : g_device->log())
    if (f.rfind("rx:", 0) == 0) answers.push_back(f.substr(3));
  EXPECT_EQ(answers, (std::vector<std::string>{"05ffaa", "06ffaa", "07ff85", "08ff85", "09ff85"}));

  ptr<IPelmSlave> other;
  ASSERT_EQ(test_slave::make(other), S_OK);
  LONG other_cookie = 0;
  EXPECT_EQ(device->RegisterSlave(other.get(), 7, &other_cookie), S_FALSE);  // 7 is alive
  ptr<IPelm2> device2;
  ASSERT_EQ(device.query(device2), S_OK);
  ptr<IPelmSlave> got;
  EXPECT_EQ(device2->GetSlave(7, got.put()), S_OK);
  EXPECT_EQ(device2->GetSlave(8, got.put()), S_FALSE);
  EXPECT_EQ(device->UnregisterSlave(cookie + 256), E_FAIL);
  // A dead slave gives its address up, and its cookie names nothing then.
  s->alive = false;
  EXPECT_EQ(device->RegisterSlave(other.get(), 7, &other_cookie), S_OK);
  EXPECT_EQ(device->UnregisterSlave(cookie), E_FAIL);
  EXPECT_EQ(device->UnregisterSlave(other_cookie), S_OK);
  EXPECT_EQ(device->UnregisterSlave(other_cookie), E_FAIL);
}

// ------------------------------------------------------------ sharing and the port

TEST_F(PelmLine, ASecondCreateSharesTheDeviceObjectAndThePortIsDroppedAfterBothClose) {
  ptr<IPelm> second = create_device();
  ASSERT_TRUE(second);
  EXPECT_TRUE(device.as<IUnknown>() == second.as<IUnknown>());
  EXPECT_EQ(device->Close(), S_OK);
  EXPECT_TRUE(address16_taken());
  EXPECT_EQ(g_port->put_BaudRate(9600), E_FAIL);  // still vetoed
  EXPECT_EQ(second->Close(), S_OK);
  EXPECT_FALSE(address16_taken());
  EXPECT_EQ(g_port->put_BaudRate(9600), S_OK);  // no veto: the sink is gone
  EXPECT_EQ(g_port->put_BaudRate(115200), S_OK);
  EXPECT_EQ(device->CheckOpen(), E_UNEXPECTED);
  device.reset();
}

TEST_F(PelmLine, ARateOtherThanTheStoredOneIsVetoedUntilTheStoredOneIsChanged) {
  EXPECT_EQ(g_port->put_BaudRate(57600), E_FAIL);
  store_baud_rate(57600);
  EXPECT_EQ(g_port->put_BaudRate(57600), S_OK);
  LONG rate = 0;
  EXPECT_EQ(g_port->get_BaudRate(&rate), S_OK);
  EXPECT_EQ(rate, 57600);
  store_baud_rate(115200);
  EXPECT_EQ(g_port->put_BaudRate(115200), S_OK);
}

TEST_F(PelmLine, CreateFailsWhileAnotherClientHoldsAddress16OrASinkVetoesTheStoredRate) {
  device->Close();
  device.reset();
  ASSERT_TRUE(wait_for([] { return !address16_taken(); }, 5000));
  auto other = make_client();
  LONG registered = 0;
  ASSERT_EQ(g_port->RegisterClient(other.get(), 16, &registered), S_OK);
  HRESULT hr = S_OK;
  EXPECT_FALSE(create_device(&hr));
  EXPECT_EQ(hr, E_ACCESSDENIED);
  g_port->UnregisterClient(other.get());

  event_log events;
  ptr<_ICommServerEventMethods> sink;
  ASSERT_EQ(vtable_sink::make(sink, events), S_OK);
  static_cast<vtable_sink*>(sink.get())->refuse = true;
  ptr<IConnectionPoint> point;
  ASSERT_EQ(g_port.as<IConnectionPointContainer>()->FindConnectionPoint(IID__ICommServerEventMethods, point.put()),
            S_OK);
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(sink.get(), &cookie), S_OK);
  EXPECT_FALSE(create_device(&hr));
  EXPECT_EQ(hr, E_FAIL);
  EXPECT_FALSE(address16_taken());
  point->Unadvise(cookie);
}

TEST_F(PelmLine, TheDeviceObjectAnswersItsConstantsAndRefusesWhatItDoesNotDo) {
  LONG a = 0, b = 0;
  EXPECT_EQ(device->get_ChannelCount(&a), S_OK);
  EXPECT_EQ(device->get_MaxPacketLength(&b), S_OK);
  EXPECT_EQ(a, 24);
  EXPECT_EQ(b, 240);
  EXPECT_EQ(device->Unsupported8(), E_NOTIMPL);
  EXPECT_EQ(device->CreateMasterController(nullptr), E_INVALIDARG);
  EXPECT_EQ(device->FindDevices(nullptr), E_INVALIDARG);
  // The proxy refuses a null out pointer. (Not tried with an interface out
  // pointer: under Wine the server still hands one out and it is never
  // released, which keeps the line server and its port alive.)
  EXPECT_EQ(device->get_ChannelCount(nullptr), HRESULT(0x800706F4));
  ptr<ICommServer> port;
  EXPECT_EQ(device->get_CommServer(port.put()), S_OK);
  EXPECT_TRUE(port.as<IUnknown>() == g_port.as<IUnknown>());
}

// ------------------------------------------------------------ in this process

std::wstring error_text() {
  ptr<IErrorInfo> info;
  std::wstring text;
  if (GetErrorInfo(0, info.put()) == S_OK) {
    BSTR d = nullptr;
    info->GetDescription(&d);
    if (d) text = d;
    SysFreeString(d);
  }
  return text;
}

// Error information does not cross from the line server's process under
// Wine: a device object made in this process shows the texts.
TEST_F(PelmLine, ADeviceObjectMadeHereExplainsItsRefusals) {
  ptr<IPelm> here;
  ASSERT_EQ(orvo::com::create_instance(CLSID_PelmEx, here, CLSCTX_INPROC_SERVER), S_OK);
  auto usage = here.as<IPelmUsage>();
  ptr<IPelm2> here2 = here.as<IPelm2>();
  ASSERT_TRUE(usage && here2);
  LONG cookie = 0;
  ptr<IPelmSlave> slave;
  ptr<ICommServer> port;
  EXPECT_EQ(here->RegisterSlave(nullptr, 1, &cookie), E_UNEXPECTED);
  EXPECT_EQ(here->UnregisterSlave(1), E_UNEXPECTED);
  EXPECT_EQ(here->CheckOpen(), E_UNEXPECTED);
  EXPECT_EQ(here->FindDevices(nullptr), E_UNEXPECTED);
  EXPECT_EQ(here->Reset(), E_UNEXPECTED);
  EXPECT_EQ(here2->GetSlave(1, slave.put()), E_UNEXPECTED);
  EXPECT_EQ(here->get_CommServer(port.put()), E_NOINTERFACE);
  EXPECT_EQ(here->get_CommServer(nullptr), E_POINTER);
  ptr<IPelm> attached;
  EXPECT_EQ(usage->Attach(nullptr, attached.put()), E_INVALIDARG);

  // The line's device object is this test's; a second one would share it.
  device->Close();
  device.reset();
  ASSERT_TRUE(wait_for([] { return !address16_taken(); }, 5000));
  ASSERT_EQ(usage->Attach(g_port.get(), attached.put()), S_OK);
  EXPECT_EQ(usage->Attach(g_port.get(), attached.put()), E_UNEXPECTED);

  auto client = here.as<ICommClient>();
  BYTE* reply = nullptr;
  LONG count = 0;
  ASSERT_EQ(client->ProcessData(nullptr, 0, &reply, &count), S_OK);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(reply[0], 0x98);
  CoTaskMemFree(reply);

  auto c = run_exchange(here.get());
  ASSERT_NE(c->controller, nullptr);
  EXPECT_EQ(c->controller->RequestStatus(3), E_INVALIDARG);
  EXPECT_EQ(error_text(), L"Invalid address");
  EXPECT_EQ(c->controller->Obsolete3(), E_NOTIMPL);
  EXPECT_EQ(error_text(), L"Method is obsolete");
  EXPECT_EQ(here->Close(), S_OK);
  EXPECT_FALSE(address16_taken());
}

}  // namespace

int main(int argc, char** argv) { return line_main(argc, argv); }
