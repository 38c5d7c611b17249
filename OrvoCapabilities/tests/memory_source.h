// A descriptor source in memory for native tests and the stand-in server:
// counts reads per ID.
#pragma once

#include <map>

#include "core/store.h"

namespace orvo::caps::test_support {

class memory_source : public descriptor_source {
 public:
  std::optional<bytes> read(std::uint16_t id) override {
    ++reads[id];
    auto it = values.find(id);
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  void write(std::uint16_t id, const bytes& value) override { values[id] = value; }
  void remove_all() override { values.clear(); }

  int total_reads() const {
    int n = 0;
    for (const auto& [id, count] : reads) n += count;
    return n;
  }

  std::map<std::uint16_t, bytes> values;
  std::map<std::uint16_t, int> reads;
};

// A source holding the default descriptors.
inline memory_source default_source(bool setup = false) {
  memory_source s;
  TCapsRegistry registry(s, false);
  write_defaults(registry, setup);
  return s;
}

}  // namespace orvo::caps::test_support
