#include "controls.h"

namespace WTL {

int CListViewCtrl::InsertColumn(int index, LPCWSTR text, int format, int width, int subItem) noexcept {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_FMT | (width >= 0 ? LVCF_WIDTH : 0) | (subItem >= 0 ? LVCF_SUBITEM : 0);
  column.fmt = format;
  column.cx = width;
  column.iSubItem = subItem;
  column.pszText = const_cast<LPWSTR>(text);
  return static_cast<int>(
      SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column)));
}

int CListViewCtrl::InsertItem(int index, LPCWSTR text, int image) noexcept {
  LVITEMW item{};
  item.mask = LVIF_TEXT | (image >= 0 ? LVIF_IMAGE : 0);
  item.iItem = index;
  item.iImage = image;
  item.pszText = const_cast<LPWSTR>(text);
  return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL CListViewCtrl::SetItemText(int index, int subItem, LPCWSTR text) noexcept {
  LVITEMW item{};
  item.iSubItem = subItem;
  item.pszText = const_cast<LPWSTR>(text);
  return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

std::wstring CListViewCtrl::GetItemText(int index, int subItem) const {
  // The control copies at most the buffer's size; grow until it fits.
  std::wstring text(64, L'\0');
  for (;;) {
    LVITEMW item{};
    item.iSubItem = subItem;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const auto n =
        static_cast<size_t>(SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
    if (n + 1 < text.size()) {
      text.resize(n);
      return text;
    }
    text.resize(text.size() * 2);
  }
}

HTREEITEM CTreeViewCtrl::InsertItem(LPCWSTR text, HTREEITEM parent, HTREEITEM after, LPARAM data) noexcept {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = const_cast<LPWSTR>(text);
  insert.item.lParam = data;
  return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

std::wstring CStatusBarCtrl::GetText(int pane) const {
  const auto length = LOWORD(SendMessage(SB_GETTEXTLENGTHW, static_cast<WPARAM>(pane)));
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessage(SB_GETTEXTW, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(text.data()));
  text.resize(length);
  return text;
}

}  // namespace WTL
