// The arithmetic of the dynamic splitter: where its bar sits, how a
// position snaps to the step and stays within the pane minimums, how the
// bar keeps its place through resizes (from the left or top, in proportion,
// or from the right or bottom), and what the mouse hits and drags.
//
// The splitter window derives from this class: it feeds in the client
// rectangle and the system metrics and places its panes at the rectangles
// given here.
#pragma once

#include "core/geometry.h"

namespace zel {

// Extended styles of the splitter.
enum : unsigned {
  splitter_proportional = 0x1,     // the bar keeps its proportion of the extent
  splitter_non_interactive = 0x2,  // the mouse does nothing
  splitter_right_aligned = 0x4,    // the bar keeps its distance from the right or bottom
  splitter_vertical = 0x10,        // a vertical bar between a left and a right pane
};

// The system metrics the splitter reads (as the window system gives them).
struct splitter_metrics {
  size size_frame;           // SM_CXSIZEFRAME, SM_CYSIZEFRAME: the bar's width
  size edge;                 // SM_CXEDGE, SM_CYEDGE
  bool client_edge = false;  // the window has WS_EX_CLIENTEDGE
  bool full_drag = true;     // SPI_GETDRAGFULLWINDOWS
};

class dynamic_splitter {
 public:
  // The proportion unit of the kept position: 10,000 is the whole extent.
  static constexpr int proportion_scale = 10000;

  // Places the bar at `position` (-1: the middle), snapped to the step and
  // limited by the pane minimums; returns whether the position changed.
  bool SetSplitterPos(int position);
  int GetSplitterPos() const { return m_position; }

  // Takes the bar width, edge and drag mode from the system's metrics.
  void GetSystemSettings(const splitter_metrics& metrics);

  // Whether client point (x, y) lies on the bar; a coordinate of -1 is not
  // tested.
  bool IsOverSplitterBar(int x, int y) const;

  // A new client rectangle (WM_SIZE): a placed bar goes back to its kept
  // place, which stays as it was.
  void resize(const rect& client);

  // The mouse took hold of the bar at `along` (client coordinate along the
  // extent).
  void begin_drag(int along);
  // The position a drag to `along` asks for; never -1 (that would mean the
  // middle), -2 in its place.
  int drag_position(int along) const;

  // Whether the mouse acts on the splitter at all.
  bool interactive() const { return !(m_extended_style & splitter_non_interactive) && m_step > 0; }
  // Whether there is anything to lay out: a placed bar, or a single pane.
  bool ready() const { return m_position != -1 || m_single_pane != -1; }

  // Where pane 0 or 1 goes: its part of the rectangle, or all of it when it
  // is the single pane shown.
  rect pane_rect(int pane) const;
  rect bar_rect() const;
  // The pane (0 or 1) whose place holds client point (x, y), else -1.
  int pane_at(int x, int y) const;

  // Along the extent: the rectangle's width for a vertical bar, else its height.
  int extent() const;
  // The room both panes share: the extent less the bar.
  int pane_room() const { return extent() - m_bar_width - m_bar_edge; }

  bool vertical() const { return (m_extended_style & splitter_vertical) != 0; }
  unsigned GetSplitterExtendedStyle() const { return m_extended_style; }
  void SetSplitterExtendedStyle(unsigned style) { m_extended_style = style; }
  int GetSinglePaneMode() const { return m_single_pane; }
  void SetSinglePaneMode(int pane) { m_single_pane = pane; }
  void set_step(int step) { m_step = step; }
  void set_pane_minimums(int first, int second) { m_min_first = first, m_min_second = second; }
  int kept_position() const { return m_kept; }
  int bar_width() const { return m_bar_width; }
  int bar_edge() const { return m_bar_edge; }
  bool full_drag() const { return m_full_drag; }
  const rect& splitter_rect() const { return m_rect; }

 private:
  int start() const { return vertical() ? m_rect.left : m_rect.top; }
  // The span [from, to) along the extent as a rectangle across the splitter.
  rect span(int from, int to) const;

  rect m_rect;
  int m_position = -1;
  int m_bar_width = 0;
  int m_min_first = 0;
  int m_min_second = 0;
  int m_bar_edge = 0;
  bool m_full_drag = true;
  int m_drag_offset = 0;
  int m_step = 1;
  int m_kept = 0;
  bool m_record_kept = true;
  unsigned m_extended_style = splitter_proportional;
  int m_single_pane = -1;
};

}  // namespace zel
