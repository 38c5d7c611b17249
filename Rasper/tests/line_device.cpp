#include "line_device.h"

#include <winsock2.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

line_device::line_device() {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  const char* port = std::getenv("LINE_SIM_CONTROL");
  if (!port) return;
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<u_short>(std::atoi(port)));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    closesocket(s);
    return;
  }
  m_socket = s;
}

line_device::~line_device() {
  if (connected()) closesocket(static_cast<SOCKET>(m_socket));
  WSACleanup();
}

std::string line_device::command(const std::string& line) {
  if (!connected()) {
    ADD_FAILURE() << "no simulated device";
    return {};
  }
  const SOCKET s = static_cast<SOCKET>(m_socket);
  const std::string out = line + "\n";
  send(s, out.data(), static_cast<int>(out.size()), 0);
  std::string answer;
  char c;
  while (recv(s, &c, 1, 0) == 1 && c != '\n') answer += c;
  if (answer.rfind("ok", 0) != 0) {
    ADD_FAILURE() << "device command '" << line << "' answered '" << answer << "'";
    return {};
  }
  return answer.size() > 3 ? answer.substr(3) : std::string();
}

std::vector<std::string> line_device::log() {
  std::istringstream in(command("log"));
  std::vector<std::string> frames;
  for (std::string f; in >> f;) frames.push_back(f);
  return frames;
}

int line_device::wait(const std::string& kind, int n, int milliseconds) {
  return std::atoi(command("wait " + kind + " " + std::to_string(n) + " " + std::to_string(milliseconds)).c_str());
}

line_device::counts line_device::count() {
  std::istringstream in(command("counts"));
  counts c{};
  in >> c.rx_bytes >> c.tx_bytes >> c.rx_frames >> c.tx_frames >> c.bad_frames;
  return c;
}

std::wstring line_port() {
  const char* port = std::getenv("LINE_SIM_PORT");
  std::string name = port ? port : "COM5";
  return std::wstring(name.begin(), name.end());
}
