#include "core/dock_request.h"

#include <cstring>

namespace dockwins {

namespace {
void StoreWord(std::uint8_t* out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t LoadWord(const std::uint8_t* in) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= std::uint32_t{in[i]} << (8 * i);
  return v;
}
constexpr std::size_t WordsPerRequest = sizeof(DockRequest) / 4;
}  // namespace

// The block's fields are all 32 bits wide and unpadded, so a word at an
// offset is the field there, the float's bits included.
std::uint32_t DockRequest::Word(std::size_t offset) const {
  std::uint32_t v = 0;
  if (offset % 4 == 0 && offset < sizeof(DockRequest))
    std::memcpy(&v, reinterpret_cast<const unsigned char*>(this) + offset, 4);
  return v;
}

void DockRequest::SetWord(std::size_t offset, std::uint32_t value) {
  if (offset % 4 == 0 && offset < sizeof(DockRequest))
    std::memcpy(reinterpret_cast<unsigned char*>(this) + offset, &value, 4);
}

zel::rect DockRequest::RectAt(std::size_t offset) const {
  return {static_cast<std::int32_t>(Word(offset)), static_cast<std::int32_t>(Word(offset + 4)),
          static_cast<std::int32_t>(Word(offset + 8)), static_cast<std::int32_t>(Word(offset + 12))};
}

void DockRequest::SetRectAt(std::size_t offset, const zel::rect& r) {
  SetWord(offset, static_cast<std::uint32_t>(r.left));
  SetWord(offset + 4, static_cast<std::uint32_t>(r.top));
  SetWord(offset + 8, static_cast<std::uint32_t>(r.right));
  SetWord(offset + 12, static_cast<std::uint32_t>(r.bottom));
}

DockPositionBytes WriteDockPosition(const tagDFDOCKPOSEX& record) {
  DockPositionBytes bytes{};
  std::uint8_t* out = bytes.data();
  for (std::size_t i = 0; i < WordsPerRequest; ++i) StoreWord(out + 4 * i, record.request.Word(4 * i));
  const std::int32_t tail[] = {record.window_rect.left,   record.window_rect.top, record.window_rect.right,
                               record.window_rect.bottom, record.docked,          record.visible};
  for (std::size_t i = 0; i < 6; ++i) StoreWord(out + 36 + 4 * i, static_cast<std::uint32_t>(tail[i]));
  return bytes;
}

bool ReadDockPosition(const std::uint8_t* data, std::size_t size, tagDFDOCKPOSEX& out) {
  if (data == nullptr || size != DockPositionSize) return false;
  tagDFDOCKPOSEX record;
  for (std::size_t i = 0; i < WordsPerRequest; ++i) record.request.SetWord(4 * i, LoadWord(data + 4 * i));
  auto field = [&](std::size_t offset) { return static_cast<std::int32_t>(LoadWord(data + offset)); };
  record.window_rect = {field(36), field(40), field(44), field(48)};
  record.docked = field(52);
  record.visible = field(56);
  out = record;
  return true;
}

}  // namespace dockwins
