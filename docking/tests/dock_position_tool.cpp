// A line-driven front end to the docking position record's reader and
// writer, for the independent check in dock_position_reference.py. Each
// input line is one command and gives one output line:
//   write <15 numbers>       -> <120 hex digits>
//       window host code flags row_index ratio_bits row_extent box_extent
//       tab_index left top right bottom docked visible
//   writefloat <15 numbers>  -> <120 hex digits>
//       window host code flags left top right bottom (the floating
//       rectangle) tab_index left top right bottom docked visible
//   read <hex>               -> invalid | <15 numbers> floating <4 numbers>
// Numbers are decimal; the ratio travels as the unsigned value of its bits.
#include <cstdint>
#include <cstring>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "core/dock_request.h"

namespace {
using namespace dockwins;

std::string Hex(const DockPositionBytes& bytes) {
  std::ostringstream out;
  out << std::hex << std::setfill('0');
  for (std::uint8_t b : bytes) out << std::setw(2) << unsigned{b};
  return out.str();
}

bool Numbers(std::istringstream& words, std::vector<std::int64_t>& out) {
  std::string word;
  out.clear();
  while (words >> word) out.push_back(std::stoll(word));
  return out.size() == 15;
}

std::string Write(std::istringstream& words, bool floating) {
  std::vector<std::int64_t> n;
  if (!Numbers(words, n)) return "error: 15 numbers";
  auto i32 = [&](std::size_t i) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(n[i])); };
  tagDFDOCKPOSEX record;
  DockRequest& r = record.request;
  r.window = i32(0);
  r.host = i32(1);
  r.code = i32(2);
  r.flags = static_cast<std::uint32_t>(n[3]);
  if (floating) {
    r.SetFloatingRect({i32(4), i32(5), i32(6), i32(7)});
  } else {
    r.row_index = i32(4);
    const auto bits = static_cast<std::uint32_t>(n[5]);
    std::memcpy(&r.position_ratio, &bits, 4);
    r.row_extent = i32(6);
    r.box_extent = i32(7);
  }
  r.tab_index = i32(8);
  record.window_rect = {i32(9), i32(10), i32(11), i32(12)};
  record.docked = i32(13);
  record.visible = i32(14);
  const DockPositionBytes bytes = WriteDockPosition(record);
  return Hex(bytes);
}

std::string Read(std::istringstream& words) {
  std::string text;
  words >> text;
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
  tagDFDOCKPOSEX record;
  if (text.size() % 2 || !ReadDockPosition(bytes.data(), bytes.size(), record)) return "invalid";
  const DockRequest& r = record.request;
  std::uint32_t bits;
  std::memcpy(&bits, &r.position_ratio, 4);
  const zel::rect f = r.FloatingRect(), w = record.window_rect;
  std::ostringstream out;
  out << r.window << ' ' << r.host << ' ' << r.code << ' ' << r.flags << ' ' << r.row_index << ' ' << bits << ' '
      << r.row_extent << ' ' << r.box_extent << ' ' << r.tab_index << ' ' << w.left << ' ' << w.top << ' ' << w.right
      << ' ' << w.bottom << ' ' << record.docked << ' ' << record.visible << " floating " << f.left << ' ' << f.top
      << ' ' << f.right << ' ' << f.bottom;
  return out.str();
}

}  // namespace

int main() {
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream words(line);
    std::string command;
    words >> command;
    if (command == "write")
      std::cout << Write(words, false) << '\n';
    else if (command == "writefloat")
      std::cout << Write(words, true) << '\n';
    else if (command == "read")
      std::cout << Read(words) << '\n';
    else
      std::cout << "error: unknown command\n";
  }
  return 0;
}
