#include "gdi.h"

namespace WTL {

HBRUSH create_halftone_brush() noexcept {
  // Monochrome bitmap rows are WORD-aligned: one WORD per row of 8 pixels.
  static const WORD rows[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
  const CBitmap pattern(::CreateBitmap(8, 8, 1, 1, rows));
  return pattern ? ::CreatePatternBrush(pattern) : nullptr;
}

CMemoryDC::CMemoryDC(HDC target, const RECT& rect) noexcept : m_target(target), m_rect(rect) {
  m_hDC = ::CreateCompatibleDC(target);
  m_bitmap = ::CreateCompatibleBitmap(target, rect.right - rect.left, rect.bottom - rect.top);
  if (!m_hDC || !m_bitmap) {
    // Without a buffer, drawing goes straight to the target.
    if (m_hDC) ::DeleteDC(m_hDC);
    if (m_bitmap) ::DeleteObject(m_bitmap);
    m_hDC = target;
    m_bitmap = nullptr;
    return;
  }
  m_oldBitmap = ::SelectObject(m_hDC, m_bitmap);
  ::SetWindowOrgEx(m_hDC, rect.left, rect.top, nullptr);
}

CMemoryDC::~CMemoryDC() {
  if (!m_bitmap) return;
  ::BitBlt(m_target, m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, m_hDC,
           m_rect.left, m_rect.top, SRCCOPY);
  ::SelectObject(m_hDC, m_oldBitmap);
  ::DeleteObject(m_bitmap);
  ::DeleteDC(m_hDC);
}

}  // namespace WTL
