// The pixels of a window's client area as a rendering draws them into an
// off-screen bitmap first filled with magenta, row by row.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

inline std::vector<COLORREF> pixels(HWND window, const std::function<void(HDC)>& render) {
  RECT client{};
  ::GetClientRect(window, &client);
  HDC screen = ::GetDC(window);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  HBRUSH magenta = ::CreateSolidBrush(RGB(255, 0, 255));
  ::FillRect(memory, &client, magenta);
  render(memory);
  std::vector<COLORREF> out;
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) out.push_back(::GetPixel(memory, x, y));
  }
  ::DeleteObject(magenta);
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(window, screen);
  return out;
}
