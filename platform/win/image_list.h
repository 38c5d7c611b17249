// WTL::CImageList: an image-list handle (not owned: image lists usually
// belong to the control they are given to; Destroy frees one explicitly).
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace WTL {

class CImageList {
 public:
  HIMAGELIST m_hImageList = nullptr;

  CImageList(HIMAGELIST list = nullptr) noexcept : m_hImageList(list) {}
  operator HIMAGELIST() const noexcept { return m_hImageList; }
  explicit operator bool() const noexcept { return m_hImageList != nullptr; }

  bool Create(int cx, int cy, UINT flags, int initial, int grow) noexcept {
    m_hImageList = ::ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != nullptr;
  }
  // Images from a bitmap resource, `cx` wide each, with a mask colour.
  bool CreateFromBitmap(HINSTANCE instance, UINT bitmapId, int cx, int grow, COLORREF mask) noexcept {
    m_hImageList =
        ::ImageList_LoadImageW(instance, MAKEINTRESOURCEW(bitmapId), cx, grow, mask, IMAGE_BITMAP, LR_CREATEDIBSECTION);
    return m_hImageList != nullptr;
  }
  BOOL Destroy() noexcept {
    const BOOL done = ::ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return done;
  }
  int Add(HBITMAP bitmap, COLORREF mask) noexcept { return ::ImageList_AddMasked(m_hImageList, bitmap, mask); }
  int AddIcon(HICON icon) noexcept { return ::ImageList_ReplaceIcon(m_hImageList, -1, icon); }
  int GetImageCount() const noexcept { return ::ImageList_GetImageCount(m_hImageList); }
  bool GetIconSize(int* cx, int* cy) const noexcept { return ::ImageList_GetIconSize(m_hImageList, cx, cy); }
  BOOL Draw(HDC dc, int image, int x, int y, UINT style) const noexcept {
    return ::ImageList_Draw(m_hImageList, image, dc, x, y, style);
  }
};

}  // namespace WTL
