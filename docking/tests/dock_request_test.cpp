// Facts about the docking request block and the stored docking position
// record: their bytes, the rectangles some codes carry in place of fields,
// and the built-in session's record.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/dock_request.h"

namespace {
using namespace dockwins;
using bytes = std::vector<std::uint8_t>;

bytes Words(std::initializer_list<std::uint32_t> words) {
  bytes out;
  for (std::uint32_t w : words)
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(w >> (8 * i)));
  return out;
}

TEST(DockRequestBlock, FieldsLieAtTheirOffsetsInLittleEndianOrder) {
  DockRequest r;
  r.window = 0x11223344;
  r.host = -2;
  r.code = dock_code::Dock;
  r.flags = dock_flags::Inner | dock_flags::OwnRow;
  r.row_index = 1;
  r.position_ratio = 0.5f;
  r.row_extent = 238;
  r.box_extent = 638;
  r.tab_index = -1;
  bytes raw(sizeof r);
  std::memcpy(raw.data(), &r, sizeof r);
  EXPECT_EQ(raw, Words({0x11223344, 0xFFFFFFFE, 5, 5, 1, 0x3F000000, 238, 638, 0xFFFFFFFF}));
}

TEST(DockRequestBlock, CodesCarryRectanglesInPlaceOfFields) {
  DockRequest r;
  r.flags = dock_flags::Float;
  r.SetFloatingRect({666, 189, 909, 691});
  EXPECT_EQ(r.row_index, 666);
  EXPECT_EQ(r.Word(20), 189u);
  EXPECT_EQ(r.row_extent, 909);
  EXPECT_EQ(r.box_extent, 691);
  EXPECT_EQ(r.FloatingRect(), (zel::rect{666, 189, 909, 691}));

  DockRequest drop;
  drop.code = dock_code::DropTest;
  drop.SetDragRect({-10, 20, 30, 40});
  drop.SetDropFlags(DropInInnerPackage);
  EXPECT_EQ(drop.flags, static_cast<std::uint32_t>(-10));
  EXPECT_EQ(drop.row_extent, 40);
  EXPECT_EQ(drop.box_extent, static_cast<std::int32_t>(0x80000000u));
  EXPECT_EQ(drop.DragRect(), (zel::rect{-10, 20, 30, 40}));
  EXPECT_EQ(drop.Word(36), 0u);  // past the block: nothing
}

// The docking position of the protocol pane in the built-in session:
// fifteen words, two handles from the run that wrote it first.
const bytes builtin = Words({0x000A0B0C, 0x000D0E0F, 4, 5, 0, 0, 238, 638, 0, 666, 189, 909, 691, 1, 1});

TEST(DockPositionRecord, BuiltInSessionDocksTheProtocolPaneInItsOwnRightColumn) {
  tagDFDOCKPOSEX record;
  ASSERT_TRUE(ReadDockPosition(builtin.data(), builtin.size(), record));
  const DockRequest& r = record.request;
  EXPECT_EQ(r.code, dock_code::GetPosition);
  EXPECT_EQ(r.flags, dock_flags::Inner | dock_flags::OwnRow);  // a column after the centre: right
  EXPECT_EQ(r.row_index, 0);
  EXPECT_EQ(r.position_ratio, 0.0f);
  EXPECT_EQ(r.row_extent, 238);
  EXPECT_EQ(r.box_extent, 638);
  EXPECT_EQ(r.tab_index, 0);
  EXPECT_EQ(record.window_rect, (zel::rect{666, 189, 909, 691}));
  EXPECT_EQ(record.docked, 1);
  EXPECT_EQ(record.visible, 1);
  const DockPositionBytes written = WriteDockPosition(record);
  EXPECT_EQ(bytes(written.begin(), written.end()), builtin);
}

TEST(DockPositionRecord, OnlySixtyBytesAreARecord) {
  tagDFDOCKPOSEX record;
  record.docked = 7;
  EXPECT_FALSE(ReadDockPosition(builtin.data(), 59, record));
  bytes longer = builtin;
  longer.push_back(0);
  EXPECT_FALSE(ReadDockPosition(longer.data(), longer.size(), record));
  EXPECT_FALSE(ReadDockPosition(nullptr, 60, record));
  EXPECT_EQ(record.docked, 7);
}

}  // namespace
