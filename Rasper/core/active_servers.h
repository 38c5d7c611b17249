// The table of open port engines of the line server: 32 slots, each an
// engine with the number of facades using it. A port is found by its name
// without regard to letter case ("com5" is "COM5"); an engine leaves the
// table when its last user gives it back.
//
// The table does not lock: its owner holds one lock around every call.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace rasper {

bool same_port_name(const std::string& a, const std::string& b) noexcept;

template <class Engine>
class active_servers {
 public:
  static constexpr std::size_t capacity = 32;

  enum class status { found, opened, not_open, full, failed };
  struct result {
    status what;
    Engine* engine;      // found or opened; null otherwise
    std::int32_t error;  // of the opener when failed
  };

  // Finds the engine of a port, or opens one with open(name, error), which
  // returns the new engine or null with an error code. Attach-only finds
  // only an engine already open.
  template <class Open>
  result find_or_open(const std::string& name, bool attach_only, Open&& open) {
    for (slot& s : m_slots) {
      if (s.engine && same_port_name(s.name, name)) {
        ++s.uses;
        return {status::found, s.engine, 0};
      }
    }
    if (attach_only) return {status::not_open, nullptr, 0};
    slot* free = nullptr;
    for (slot& s : m_slots) {
      if (!s.engine) {
        free = &s;
        break;
      }
    }
    if (!free) return {status::full, nullptr, 0};
    std::int32_t error = 0;
    Engine* engine = open(name, error);
    if (!engine) return {status::failed, nullptr, error};
    free->engine = engine;
    free->name = name;
    free->uses = 1;
    return {status::opened, engine, 0};
  }

  // One user less. True when that was the last: the engine has left the
  // table and the caller disposes of it.
  bool release(Engine* engine) noexcept {
    for (slot& s : m_slots) {
      if (s.engine == engine) {
        if (--s.uses) return false;
        s.engine = nullptr;
        s.name.clear();
        return true;
      }
    }
    return false;
  }

  std::size_t uses(const Engine* engine) const noexcept {
    for (const slot& s : m_slots)
      if (s.engine == engine) return s.uses;
    return 0;
  }

 private:
  struct slot {
    Engine* engine = nullptr;
    std::string name;
    std::size_t uses = 0;
  };
  std::array<slot, capacity> m_slots{};
};

}  // namespace rasper
