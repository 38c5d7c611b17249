// The line server under faults: a noisy line, a client process that dies
// in a conversation, a device that goes away. Runs after the line tests:
// under Wine a killed client's references are never released, so Rasper
// outlives this run.
#include <gtest/gtest.h>

#include <sstream>

#include "line_session.h"
#include "testing/com_test.h"

using orvo::com::ptr;

namespace {
class RasperFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(g_port);
    g_device->command("clear");
  }
};

double cpu_seconds(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
  auto seconds = [](FILETIME t) {
    return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}
}  // namespace

TEST_F(RasperFaults, AThousandConversationsOnALineWithOnePercentOfItsBytesCorruptedAllEnd) {
  g_device->command("seed 7");
  g_device->command("corrupt 0.01");
  g_device->command("script 16 0a0b");
  ASSERT_EQ(g_port->put_ConversationTimeout(100), S_OK);
  // The client lives inside Rasper, as a device object does: the run
  // measures the line server on a noisy line, not three thousand calls
  // between processes. A conversation that has not ended after 10 s counts
  // as hung and stops the run; a loaded machine can stall one for a few
  // seconds without it hanging.
  std::wistringstream tally(helper_text(6, {unknown_arg(g_port.get()), long_arg(1000), long_arg(10000)}));
  g_device->command("corrupt 0");
  long reasons[5] = {-1, -1, -1, -1, -1};
  for (long& n : reasons) tally >> n;
  printf("reasons of 1000 conversations: 0: %ld, 1: %ld, 2: %ld, 3: %ld, none: %ld\n", reasons[0], reasons[1],
         reasons[2], reasons[3], reasons[4]);
  EXPECT_EQ(reasons[4], 0);
  EXPECT_EQ(reasons[0] + reasons[1] + reasons[2] + reasons[3], 1000);
  EXPECT_GT(reasons[0], 500);
  EXPECT_GT(reasons[1] + reasons[3], 0);
  // The line is clean again: the next conversation, from this process,
  // completes.
  auto client = make_client({0x01, 0x02});
  EXPECT_EQ(converse(client.get(), 16), 0);
  EXPECT_EQ(g_port->put_ConversationTimeout(10000), S_OK);
}

TEST_F(RasperFaults, AClientProcessKilledInAConversationLeavesThePortUsable) {
  ASSERT_EQ(g_port->put_ConversationTimeout(1000), S_OK);
  g_device->command("script 16 none");
  const std::wstring line = L"\"" + orvo::testing::windows_path(g_self) + L"\" hold-conversation";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring command = line;
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  // The child's request is on the line and unanswered: kill it now.
  EXPECT_EQ(g_device->wait("rx", 1, 20000), 1);
  TerminateProcess(pi.hProcess, 9);
  WaitForSingleObject(pi.hProcess, 5000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  g_device->command("script 16 -");
  auto client = make_client({0x03});
  EXPECT_EQ(converse(client.get(), 16, 10000), 0);
  EXPECT_EQ(g_port->put_ConversationTimeout(10000), S_OK);
}

TEST_F(RasperFaults, TheDeviceClosingItsEndEndsTheConversationAndLeavesRasperQuiet) {
  ASSERT_EQ(g_port->put_ConversationTimeout(2000), S_OK);
  g_device->command("script 16 none");
  auto client = make_client({0x04});
  ASSERT_EQ(g_port->RequestConversation(client.get(), 16), S_OK);
  EXPECT_EQ(g_device->wait("rx", 1), 1);
  g_device->command("close");
  const long reason = client->wait_end(5000);
  EXPECT_TRUE(reason == 3 || reason == 1) << reason;
  HANDLE rasper = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, rasper_process());
  ASSERT_NE(rasper, nullptr);
  const double before = cpu_seconds(rasper);
  Sleep(2000);
  const double used = cpu_seconds(rasper) - before;
  printf("Rasper's CPU in the 2 s after the device closed: %.3f s (%.3f s before)\n", used, before);
  EXPECT_LT(used, 0.2);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(rasper, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  CloseHandle(rasper);
  // Still serving: a new request on the dead line ends too.
  ASSERT_EQ(g_port->RequestConversation(client.get(), 16), S_OK);
  const long again = client->wait_end(5000);
  EXPECT_TRUE(again == 3 || again == 1 || again == 0) << again;
}

namespace {
// The child of the killed-client test: asks for a conversation the device
// never answers and waits to be killed.
int hold_conversation() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return 2;
  ptr<ICommServerConstructor> constructor;
  if (FAILED(orvo::com::create_instance(CLSID_CommServerConstructor, constructor, CLSCTX_LOCAL_SERVER))) return 1;
  g_constructor = constructor;
  auto port = open_port(line_port());
  if (!port) return 1;
  auto client = make_client({0x05});
  port->RequestConversation(client.get(), 16);
  Sleep(INFINITE);
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "hold-conversation") return hold_conversation();
  return line_main(argc, argv);
}
