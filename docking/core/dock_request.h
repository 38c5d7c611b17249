// The docking request block passed by pointer with WM_USER + 1 (and the
// registered docking message), and the 60-byte docking position record
// the settings file stores. Both keep the 32-bit Windows layout on every
// target: window handles travel as 32-bit values (the window system keeps
// handles within 32 bits), so the block is the record's first 36 bytes on
// both Windows targets.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "core/line.h"

namespace dockwins {

// Request codes.
namespace dock_code {
constexpr std::int32_t DropTest = 1;
constexpr std::int32_t AcceptDrop = 2;
constexpr std::int32_t Remove = 3;
constexpr std::int32_t GetPosition = 4;
constexpr std::int32_t Dock = 5;
constexpr std::int32_t AdjustDragRect = 7;
constexpr std::int32_t Replace = 8;
constexpr std::int32_t IsDockingBox = 9;
constexpr std::int32_t SelectTab = 10;
constexpr std::int32_t RowMinimum = 13;
}  // namespace dock_code

// Docking flags.
namespace dock_flags {
constexpr std::uint32_t Inner = 1;         // left or right columns, not top or bottom rows
constexpr std::uint32_t BeforeCentre = 2;  // top or left rather than bottom or right
constexpr std::uint32_t OwnRow = 4;        // open a new row even if one exists at that side
constexpr std::uint32_t Float = 8;         // float at the rectangle the block carries
constexpr std::uint32_t SelectedTab = 16;  // the selected tab of its tab docking box
}  // namespace dock_flags

// Top bit of the drop test's flag word: the inner package took the drop.
constexpr std::uint32_t DropInInnerPackage = 0x80000000u;

struct DockRequest {
  std::int32_t window = 0;  // the docking box concerned
  std::int32_t host = 0;    // who handles or handled the request; 0 for nobody
  std::int32_t code = 0;
  std::uint32_t flags = 0;
  std::int32_t row_index = 0;
  float position_ratio = 0.0f;
  std::int32_t row_extent = 0;
  std::int32_t box_extent = 0;
  std::int32_t tab_index = 0;

  // The 32-bit word at a byte offset of the block (a multiple of 4 below 36).
  std::uint32_t Word(std::size_t offset) const;
  void SetWord(std::size_t offset, std::uint32_t value);
  // A rectangle in four words from a byte offset.
  zel::rect RectAt(std::size_t offset) const;
  void SetRectAt(std::size_t offset, const zel::rect& r);

  // A floating box (flags bit 3) carries its rectangle at offset 16.
  zel::rect FloatingRect() const { return RectAt(16); }
  void SetFloatingRect(const zel::rect& r) { SetRectAt(16, r); }
  // The drop-test codes (1, 2, 7) carry the dragged rectangle at offset 12
  // and, for code 1, a flag word at offset 28.
  zel::rect DragRect() const { return RectAt(12); }
  void SetDragRect(const zel::rect& r) { SetRectAt(12, r); }
  std::uint32_t DropFlags() const { return Word(28); }
  void SetDropFlags(std::uint32_t value) { SetWord(28, value); }
};

static_assert(sizeof(DockRequest) == 36, "the request block is 36 bytes");
static_assert(offsetof(DockRequest, window) == 0 && offsetof(DockRequest, host) == 4 &&
                  offsetof(DockRequest, code) == 8 && offsetof(DockRequest, flags) == 12 &&
                  offsetof(DockRequest, row_index) == 16 && offsetof(DockRequest, position_ratio) == 20 &&
                  offsetof(DockRequest, row_extent) == 24 && offsetof(DockRequest, box_extent) == 28 &&
                  offsetof(DockRequest, tab_index) == 32,
              "request block fields at their stored offsets");
static_assert(sizeof(float) == 4, "the position ratio is a 32-bit float");

// A pane's docking position: its request block, the rectangle it floats at,
// and whether it is docked and visible.
struct tagDFDOCKPOSEX {
  DockRequest request;
  zel::rect window_rect;  // screen coordinates
  std::int32_t docked = 0;
  std::int32_t visible = 0;
};

static_assert(sizeof(zel::rect) == 16, "a stored rectangle is four 32-bit fields");
static_assert(sizeof(tagDFDOCKPOSEX) == 60, "the docking position record is 60 bytes");
static_assert(offsetof(tagDFDOCKPOSEX, request) == 0 && offsetof(tagDFDOCKPOSEX, window_rect) == 36 &&
                  offsetof(tagDFDOCKPOSEX, docked) == 52 && offsetof(tagDFDOCKPOSEX, visible) == 56,
              "record fields at their stored offsets");

constexpr std::size_t DockPositionSize = 60;
using DockPositionBytes = std::array<std::uint8_t, DockPositionSize>;

// The record as stored: fifteen little-endian 32-bit words.
DockPositionBytes WriteDockPosition(const tagDFDOCKPOSEX& record);
// Reads a stored record; false (and `out` untouched) unless it is exactly
// 60 bytes. Every bit pattern of the right size is a record: its handles
// mean nothing in a later run, and the code that docks by it keeps ratios
// and extents in range.
bool ReadDockPosition(const std::uint8_t* data, std::size_t size, tagDFDOCKPOSEX& out);

}  // namespace dockwins
