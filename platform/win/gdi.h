// Device contexts and GDI objects that free themselves.
//
//   WTL::CPaintDC dc(m_hWnd);                 // BeginPaint ... EndPaint
//   WTL::CSaveDC saved(dc);                   // the DC's state comes back at scope end
//   WTL::CBrush brush(::CreateSolidBrush(colour));
//   dc.FillRect(rect, brush);
//
// CDCHandle only names a DC; CPaintDC, CClientDC, CWindowDC, CMemoryDC and
// CPen, CBrush, CFont, CBitmap, CRgn own theirs. An owning object is made from the handle a Create... call
// returned (null when it failed: test with operator bool).
#pragma once

#include <windows.h>

#include <utility>

namespace WTL {

class CDCHandle {
 public:
  HDC m_hDC = nullptr;

  CDCHandle(HDC dc = nullptr) noexcept : m_hDC(dc) {}
  operator HDC() const noexcept { return m_hDC; }
  explicit operator bool() const noexcept { return m_hDC != nullptr; }

  HGDIOBJ SelectObject(HGDIOBJ object) const noexcept { return ::SelectObject(m_hDC, object); }
  COLORREF SetTextColor(COLORREF c) const noexcept { return ::SetTextColor(m_hDC, c); }
  COLORREF SetBkColor(COLORREF c) const noexcept { return ::SetBkColor(m_hDC, c); }
  int SetBkMode(int mode) const noexcept { return ::SetBkMode(m_hDC, mode); }
  int FillRect(const RECT& rect, HBRUSH brush) const noexcept { return ::FillRect(m_hDC, &rect, brush); }
  int FillRect(const RECT& rect, int sysColorIndex) const noexcept {
    return ::FillRect(m_hDC, &rect, ::GetSysColorBrush(sysColorIndex));
  }
  // Fills with a colour through the background colour (no brush made).
  void FillSolidRect(const RECT& rect, COLORREF c) const noexcept {
    const COLORREF old = ::SetBkColor(m_hDC, c);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
  }
  int DrawText(LPCWSTR text, int count, RECT* rect, UINT format) const noexcept {
    return ::DrawTextW(m_hDC, text, count, rect, format);
  }
  SIZE GetTextExtent(LPCWSTR text, int count) const noexcept {
    SIZE size{0, 0};
    ::GetTextExtentPoint32W(m_hDC, text, count, &size);
    return size;
  }
  BOOL Rectangle(const RECT& r) const noexcept { return ::Rectangle(m_hDC, r.left, r.top, r.right, r.bottom); }
  BOOL BitBlt(int x, int y, int cx, int cy, HDC source, int sx, int sy, DWORD rop) const noexcept {
    return ::BitBlt(m_hDC, x, y, cx, cy, source, sx, sy, rop);
  }
  int GetClipBox(RECT* rect) const noexcept { return ::GetClipBox(m_hDC, rect); }
  BOOL SetWindowOrg(int x, int y, POINT* old = nullptr) const noexcept { return ::SetWindowOrgEx(m_hDC, x, y, old); }
  BOOL SetViewportOrg(int x, int y, POINT* old = nullptr) const noexcept {
    return ::SetViewportOrgEx(m_hDC, x, y, old);
  }
  int GetDeviceCaps(int index) const noexcept { return ::GetDeviceCaps(m_hDC, index); }
};

// The DC of a WM_PAINT: BeginPaint now, EndPaint at the end of the scope.
class CPaintDC : public CDCHandle {
 public:
  PAINTSTRUCT m_ps{};
  explicit CPaintDC(HWND hWnd) noexcept : m_hWnd(hWnd) { m_hDC = ::BeginPaint(hWnd, &m_ps); }
  ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
  CPaintDC(const CPaintDC&) = delete;
  CPaintDC& operator=(const CPaintDC&) = delete;

 private:
  HWND m_hWnd;
};

// GetDC or GetWindowDC now, ReleaseDC at the end of the scope.
template <bool t_whole_window>
class CWindowDCT : public CDCHandle {
 public:
  explicit CWindowDCT(HWND hWnd) noexcept : m_hWnd(hWnd) {
    m_hDC = t_whole_window ? ::GetWindowDC(hWnd) : ::GetDC(hWnd);
  }
  ~CWindowDCT() {
    if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
  }
  CWindowDCT(const CWindowDCT&) = delete;
  CWindowDCT& operator=(const CWindowDCT&) = delete;

 private:
  HWND m_hWnd;
};
using CClientDC = CWindowDCT<false>;
using CWindowDC = CWindowDCT<true>;

// SaveDC now, RestoreDC at the end of the scope.
class CSaveDC {
 public:
  explicit CSaveDC(HDC dc) noexcept : m_hDC(dc), m_saved(::SaveDC(dc)) {}
  ~CSaveDC() {
    if (m_saved) ::RestoreDC(m_hDC, m_saved);
  }
  CSaveDC(const CSaveDC&) = delete;
  CSaveDC& operator=(const CSaveDC&) = delete;

 private:
  HDC m_hDC;
  int m_saved;
};

// An owned GDI object: DeleteObject at the end of its life. Moved, never copied.
template <class H>
class CGdiObjectT {
 public:
  H m_handle = nullptr;

  CGdiObjectT(H handle = nullptr) noexcept : m_handle(handle) {}
  ~CGdiObjectT() {
    if (m_handle) ::DeleteObject(m_handle);
  }
  CGdiObjectT(const CGdiObjectT&) = delete;
  CGdiObjectT(CGdiObjectT&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
  CGdiObjectT& operator=(CGdiObjectT&& other) noexcept {
    std::swap(m_handle, other.m_handle);
    return *this;
  }
  CGdiObjectT& operator=(H handle) noexcept {
    CGdiObjectT(handle).swap(*this);
    return *this;
  }
  void swap(CGdiObjectT& other) noexcept { std::swap(m_handle, other.m_handle); }
  operator H() const noexcept { return m_handle; }
  explicit operator bool() const noexcept { return m_handle != nullptr; }
  H Detach() noexcept { return std::exchange(m_handle, nullptr); }
};

using CPen = CGdiObjectT<HPEN>;
using CBrush = CGdiObjectT<HBRUSH>;
using CFont = CGdiObjectT<HFONT>;
using CBitmap = CGdiObjectT<HBITMAP>;
using CRgn = CGdiObjectT<HRGN>;

// Selects an object into a DC for the scope and puts the old one back.
class CSelectObject {
 public:
  CSelectObject(HDC dc, HGDIOBJ object) noexcept : m_hDC(dc), m_old(::SelectObject(dc, object)) {}
  ~CSelectObject() {
    if (m_old) ::SelectObject(m_hDC, m_old);
  }
  CSelectObject(const CSelectObject&) = delete;
  CSelectObject& operator=(const CSelectObject&) = delete;

 private:
  HDC m_hDC;
  HGDIOBJ m_old;
};

// A brush of alternating pixels (an 8 x 8 checker): PATINVERT with it
// draws a ghost that a second identical call takes away. The caller owns it.
HBRUSH create_halftone_brush() noexcept;

// An off-screen copy of a rectangle of a DC: drawing goes to a memory
// bitmap with the same coordinates, copied to the DC at the end of the scope.
class CMemoryDC : public CDCHandle {
 public:
  CMemoryDC(HDC target, const RECT& rect) noexcept;
  ~CMemoryDC();
  CMemoryDC(const CMemoryDC&) = delete;
  CMemoryDC& operator=(const CMemoryDC&) = delete;

 private:
  HDC m_target;
  RECT m_rect;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_oldBitmap = nullptr;
};

}  // namespace WTL
