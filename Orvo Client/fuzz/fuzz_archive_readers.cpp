#include "core/record_archive.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

template <class Record, class Read, class Write>
void check(const std::string& input, Read read, Write write) {
  Record record;
  try {
    std::istringstream in(input);
    read(in, record);
  } catch (const Orvo::archive_error&) {
    return;
  }
  std::ostringstream out;
  write(out, record);
  Record again;
  std::istringstream back(out.str());
  read(back, again);
  if (!(again == record)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  check<Orvo::session_data>(
      input, [](std::istream& in, Orvo::session_data& s) { Orvo::read_session(in, s); }, Orvo::write_session);
  check<Orvo::protocols>(
      input, [](std::istream& in, Orvo::protocols& l) { Orvo::read_library(in, l); }, Orvo::write_library);
  return 0;
}
