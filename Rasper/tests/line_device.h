// The simulated device on the test's serial line (tools/line_sim), driven
// through its control port (LINE_SIM_CONTROL): one command line out, one
// answer line back.
#pragma once

#include <string>
#include <vector>

class line_device {
 public:
  line_device();
  ~line_device();
  line_device(const line_device&) = delete;
  line_device& operator=(const line_device&) = delete;

  bool connected() const noexcept { return m_socket != ~0ull; }
  // The answer without its leading "ok "; a failed command fails the test.
  std::string command(const std::string& line);
  // Frames of the log ("rx:3d1001", "tx:3d10", "bad:..."), in order.
  std::vector<std::string> log();
  // Waits until n frames of a kind (rx, tx, bad) were logged; the count.
  int wait(const std::string& kind, int n, int milliseconds = 5000);
  struct counts {
    long rx_bytes, tx_bytes, rx_frames, tx_frames, bad_frames;
  };
  counts count();

 private:
  unsigned long long m_socket = ~0ull;
};

// Name of the simulated port ("COM5").
std::wstring line_port();
