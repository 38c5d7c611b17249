// Drawing mixins for window implementations.
//
// WTL::COffscreenDrawRect<T>: T paints through an off-screen bitmap of the
// area to be painted, so nothing flickers. T writes
//   void DoPaint(WTL::CDCHandle dc, RECT& rect);  // rect: the area to paint
// and chains the mixin's map: CHAIN_MSG_MAP(WTL::COffscreenDrawRect<T>).
// WM_PAINT draws into the BeginPaint DC (or into the DC given in wParam),
// WM_PRINTCLIENT into the DC given in wParam; the background is never erased.
//
// WTL::CCustomDraw<T>: NM_CUSTOMDRAW split into one member per drawing
// stage, each answering CDRF_ codes (CDRF_DODEFAULT unless T overrides it).
// Chain it in the parent's map, or in a control's map for reflected
// notifications (it answers both WM_NOTIFY and OCM_NOTIFY).
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <olectl.h>

#include "gdi.h"
#include "message_map.h"

namespace WTL {

template <class T>
class COffscreenDrawRect {
 public:
  BEGIN_MSG_MAP(COffscreenDrawRect)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_PRINTCLIENT, OnPaint)
  END_MSG_MAP()

  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }

  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM, BOOL&) {
    T* self = static_cast<T*>(this);
    if (wParam) {
      RECT rect;
      ::GetClientRect(self->m_hWnd, &rect);
      CMemoryDC memory(reinterpret_cast<HDC>(wParam), rect);
      self->DoPaint(memory, rect);
    } else if (uMsg == WM_PAINT) {
      CPaintDC dc(self->m_hWnd);
      RECT rect = dc.m_ps.rcPaint;
      CMemoryDC memory(dc, rect);
      self->DoPaint(memory, rect);
    }
    return 0;
  }
};

// Paints a control through an off-screen bitmap: `print(memory)` draws the
// control into a memory DC (WM_PRINTCLIENT to its own procedure) that
// covers the part to be painted, filled with the window colour first; the
// result goes to the screen in one piece. `given` is WM_PAINT's wParam: a
// DC to paint into (its clip box is painted), or 0 for BeginPaint/EndPaint.
template <class Print>
void paint_offscreen(HWND window, WPARAM given, Print&& print) {
  PAINTSTRUCT ps{};
  const HDC screen = given ? reinterpret_cast<HDC>(given) : ::BeginPaint(window, &ps);
  RECT area = ps.rcPaint;
  if (given) ::GetClipBox(screen, &area);
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (screen && width > 0 && height > 0) {
    const HDC memory = ::CreateCompatibleDC(screen);
    const HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::SetWindowOrgEx(memory, area.left, area.top, nullptr);
    ::FillRect(memory, &area, ::GetSysColorBrush(COLOR_WINDOW));
    print(memory);
    ::BitBlt(screen, area.left, area.top, width, height, memory, area.left, area.top, SRCCOPY);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
  }
  if (!given) ::EndPaint(window, &ps);
}

template <class T>
class CCustomDraw {
 public:
  BEGIN_MSG_MAP(CCustomDraw)
  NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
  REFLECTED_NOTIFY_CODE_HANDLER(NM_CUSTOMDRAW, OnCustomDraw)
  END_MSG_MAP()

  LRESULT OnCustomDraw(int id, LPNMHDR header, BOOL&) {
    T* self = static_cast<T*>(this);
    auto* cd = reinterpret_cast<LPNMCUSTOMDRAW>(header);
    switch (cd->dwDrawStage) {
      case CDDS_PREPAINT:
        return self->OnPrePaint(id, cd);
      case CDDS_POSTPAINT:
        return self->OnPostPaint(id, cd);
      case CDDS_PREERASE:
        return self->OnPreErase(id, cd);
      case CDDS_POSTERASE:
        return self->OnPostErase(id, cd);
      case CDDS_ITEMPREPAINT:
        return self->OnItemPrePaint(id, cd);
      case CDDS_ITEMPOSTPAINT:
        return self->OnItemPostPaint(id, cd);
      case CDDS_ITEMPREERASE:
        return self->OnItemPreErase(id, cd);
      case CDDS_ITEMPOSTERASE:
        return self->OnItemPostErase(id, cd);
      case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        return self->OnSubItemPrePaint(id, cd);
      default:
        return CDRF_DODEFAULT;
    }
  }

  DWORD OnPrePaint(int, LPNMCUSTOMDRAW) { return CDRF_DODEFAULT; }
  DWORD OnPostPaint(int, LPNMCUSTOMDRAW) { return CDRF_DODEFAULT; }
  DWORD OnPreErase(int, LPNMCUSTOMDRAW) { return CDRF_DODEFAULT; }
  DWORD OnPostErase(int, LPNMCUSTOMDRAW) { return CDRF_DODEFAULT; }
  DWORD OnItemPrePaint(int, LPNMCUSTOMDRAW) { return CDRF_DODEFAULT; }
  DWORD OnItemPostPaint(int, LPNMCUSTOMDRAW) { return CDRF_DODEFAULT; }
  DWORD OnItemPreErase(int, LPNMCUSTOMDRAW) { return CDRF_DODEFAULT; }
  DWORD OnItemPostErase(int, LPNMCUSTOMDRAW) { return CDRF_DODEFAULT; }
  DWORD OnSubItemPrePaint(int, LPNMCUSTOMDRAW) { return CDRF_DODEFAULT; }
};

}  // namespace WTL
