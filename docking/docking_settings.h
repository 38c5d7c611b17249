// The docking settings the whole process shares: the drag mode, the caption
// fonts, the splitter cursors, the small-caption metrics and the registered
// message that docking boxes answer. The docking frame refreshes them when
// it is created and when the system's settings or colours change.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace dockwins {

class DockingSettings {
 public:
  // `flags` bits.
  static constexpr std::uint32_t FixedDragMode = 1;  // the program chose the drag mode; the system's is not read
  static constexpr std::uint32_t GhostDrag = 2;      // splitters and boxes drag as an outline
  static constexpr std::uint32_t FullDrag = 4;       // they move at every step
  // The size the metrics are read with: the structure without the padded
  // border field of later systems, which every system accepts.
  static constexpr UINT MetricsSize = 500;
  static_assert(sizeof(NONCLIENTMETRICSW) >= MetricsSize, "the metrics are read into the whole structure");

  UINT message = 0;
  std::uint32_t flags = 0;
  HFONT caption_font = nullptr;
  HFONT caption_font_vertical = nullptr;
  HCURSOR horizontal_bar_cursor = nullptr;
  HCURSOR vertical_bar_cursor = nullptr;
  NONCLIENTMETRICSW metrics{};

  // The process's settings, filled on first use.
  static DockingSettings& Global();
  // The name of the docking-box message of this process.
  static std::wstring MessageName();

  // Reads the drag mode (unless fixed), the caption fonts and the cursors
  // again; what the system fails to give keeps its previous value.
  void Refresh();
  bool IsGhostDrag() const { return (flags & GhostDrag) != 0; }

  // Draws a caption text in a rectangle, cut with "..." at its end when it
  // does not fit: along the rectangle's width at its left edge (horizontal)
  // or down its height from its top (vertical, with the rotated font
  // selected), centred across.
  static void DrawEllipsisText(HDC dc, LPCWSTR text, int length, const RECT& rect, bool horizontal);
  // The text DrawEllipsisText draws in `extent` pixels with the DC's font.
  static std::wstring FitEllipsisText(HDC dc, LPCWSTR text, int length, int extent);

  DockingSettings(const DockingSettings&) = delete;
  DockingSettings& operator=(const DockingSettings&) = delete;

 private:
  DockingSettings();
  ~DockingSettings();
};

}  // namespace dockwins
