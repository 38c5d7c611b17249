#include "core/find_answer.h"

namespace pelm {

namespace {
// ASCII only: the device's letters, not the user's locale.
char lower(std::uint8_t c) noexcept { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); }
}  // namespace

std::optional<device_record> parse_find_answer(const std::uint8_t* data, std::size_t size) {
  if (!data || size < find_answer_size || data[4] != 0) return std::nullopt;
  static const char name[] = "pelm";
  for (std::size_t i = 0; i < 4; ++i)
    if (lower(data[i]) != name[i]) return std::nullopt;
  device_record r;
  r.identity.assign(reinterpret_cast<const char*>(data), 4);
  r.byte5 = data[5];
  r.byte6 = data[6];
  r.byte7 = data[7];
  r.byte8 = data[8];
  r.byte9 = data[9];
  r.byte10 = data[10];
  r.byte11 = data[11];
  r.byte12 = size > find_answer_size ? data[12] : default_byte12;
  return r;
}

}  // namespace pelm
