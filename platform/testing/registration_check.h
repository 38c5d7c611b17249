// The registration round trip of an in-process server, as regsvr32 does it:
// unregister, register, check every class, ProgID and proxy key, unregister
// and check that nothing of it is left and nothing else changed, register
// again so the tests that follow find the server.
#pragma once

#include <string>
#include <vector>

namespace orvo::testing {

struct registered_class {
  std::wstring clsid;        // "{...}"
  std::wstring progid;       // version-independent
  std::wstring description;  // "StdEncoder Class"
};

struct server_registration {
  std::wstring dll;  // as registered (Windows path)
  std::vector<registered_class> classes;
  std::wstring threading_model;
  // Interfaces whose proxy/stub class the server serves and registers.
  std::vector<std::wstring> proxied_interfaces;
};

void check_registration_round_trip(const server_registration& server);

// main() of a registration test: the module path is the first argument.
int registration_test_main(int argc, char** argv, std::wstring& dll);

}  // namespace orvo::testing
