#include "core/dynamic_splitter.h"

#include "core/mul_div.h"

namespace zel {

namespace {

// A computed position of -1 would ask for the middle; -2 is limited to the
// first pane's minimum as its neighbours are.
int not_the_middle(int position) { return position == -1 ? -2 : position; }

}  // namespace

bool dynamic_splitter::SetSplitterPos(int position) {
  const int room = pane_room();
  if (position == -1) position = (extent() - m_bar_edge - m_bar_width) / 2;
  if (m_step > 1 && m_position != -1) {
    // Snap to the step: the remainder is dropped, and one step added when
    // it exceeds the threshold.
    const int r = position % m_step;
    if (r != 0) {
      const int threshold = m_step > m_bar_edge ? m_step - m_bar_edge : m_step / 2;
      position -= r;
      if (r > threshold) position += m_step;
    }
  }
  // A single pane's minimum serves for both sides.
  const int min_first = m_single_pane == 1 ? m_min_second : m_min_first;
  const int min_second = m_single_pane == 0 ? m_min_first : m_min_second;
  if (position < min_first + m_bar_edge)
    position = min_first;
  else if (position > room - min_second)
    position = room - min_second;

  const bool changed = position != m_position;
  m_position = position;
  if (!m_record_kept) {
    // A placement from the kept position leaves it as it is.
    m_record_kept = true;
  } else if (m_extended_style & splitter_proportional) {
    m_kept = room >= 1 ? mul_div(position, proportion_scale, room) : 0;
  } else if (m_extended_style & splitter_right_aligned) {
    m_kept = room >= 1 ? room - position : 0;
  }
  return changed;
}

void dynamic_splitter::GetSystemSettings(const splitter_metrics& metrics) {
  m_bar_width = vertical() ? metrics.size_frame.cx : metrics.size_frame.cy;
  const int edge = vertical() ? metrics.edge.cx : metrics.edge.cy;
  if (metrics.client_edge) {
    m_bar_edge = 2 * edge;
  } else if (m_bar_edge > 0) {
    m_bar_edge = 0;
    m_min_second += 2 * edge;
    m_min_first = m_min_second;
  }
  m_full_drag = metrics.full_drag;
}

bool dynamic_splitter::IsOverSplitterBar(int x, int y) const {
  if (m_single_pane != -1 || m_position == -1) return false;
  if (x != -1 && (x < m_rect.left || x > m_rect.right)) return false;
  if (y != -1 && (y < m_rect.top || y > m_rect.bottom)) return false;
  const int along = vertical() ? x : y;
  const int bar = start() + m_position;
  return along >= bar && along < bar + m_bar_width + m_bar_edge;
}

void dynamic_splitter::resize(const rect& client) {
  m_rect = client;
  // A bar never placed waits for its first paint to go to the middle.
  if (m_position == -1) return;
  const int room = pane_room();
  if (room <= 0) return;
  if (m_extended_style & splitter_proportional) {
    m_record_kept = false;
    SetSplitterPos(not_the_middle(mul_div(m_kept, room, proportion_scale)));
  } else if (m_extended_style & splitter_right_aligned) {
    m_record_kept = false;
    // A window narrower than the kept second pane gives a position below 0.
    SetSplitterPos(not_the_middle(room - m_kept));
  }
}

void dynamic_splitter::begin_drag(int along) { m_drag_offset = along - m_position - start(); }

int dynamic_splitter::drag_position(int along) const { return not_the_middle(along - start() - m_drag_offset); }

int dynamic_splitter::extent() const { return vertical() ? m_rect.width() : m_rect.height(); }

rect dynamic_splitter::span(int from, int to) const {
  if (vertical()) return {from, m_rect.top, to, m_rect.bottom};
  return {m_rect.left, from, m_rect.right, to};
}

rect dynamic_splitter::pane_rect(int pane) const {
  if (m_single_pane != -1) return pane == m_single_pane ? m_rect : rect{};
  const int bar = start() + m_position;
  if (pane == 0) return span(start(), bar);
  return span(bar + m_bar_width + m_bar_edge, vertical() ? m_rect.right : m_rect.bottom);
}

rect dynamic_splitter::bar_rect() const {
  if (m_single_pane != -1) return rect{};
  const int bar = start() + m_position;
  return span(bar, bar + m_bar_width + m_bar_edge);
}

int dynamic_splitter::pane_at(int x, int y) const {
  for (int pane = 0; pane < 2; ++pane) {
    const rect r = pane_rect(pane);
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return pane;
  }
  return -1;
}

}  // namespace zel
