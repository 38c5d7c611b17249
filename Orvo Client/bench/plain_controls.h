// What the client's view benchmarks compare against: the texts a tree or a
// list shows, read back from the window, and the same texts put into plain
// common controls, as fast as those controls take them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <string>
#include <vector>

namespace orvo::bench {

// One list's contents: header texts, then rows of texts.
struct table {
  std::vector<std::wstring> columns;
  std::vector<std::vector<std::wstring>> rows;
};

inline int column_count(HWND list) {
  const auto header = reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

inline table read_table(HWND list) {
  table t;
  const int columns = column_count(list);
  for (int c = 0; c < columns; ++c) {
    wchar_t text[128] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = 128;
    ::SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    t.columns.push_back(text);
  }
  const int rows = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int r = 0; r < rows; ++r) {
    std::vector<std::wstring> row;
    for (int c = 0; c < columns; ++c) {
      wchar_t text[128] = {};
      LVITEMW item{};
      item.iSubItem = c;
      item.pszText = text;
      item.cchTextMax = 128;
      ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(r), reinterpret_cast<LPARAM>(&item));
      row.push_back(text);
    }
    t.rows.push_back(row);
  }
  return t;
}

// The same texts into a plain list view, emptied first.
inline void fill_plain(HWND list, const table& t) {
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  while (::SendMessageW(list, LVM_DELETECOLUMN, 0, 0)) {
  }
  for (std::size_t c = 0; c < t.columns.size(); ++c) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 100;
    column.pszText = const_cast<wchar_t*>(t.columns[c].c_str());
    ::SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  for (std::size_t r = 0; r < t.rows.size(); ++r) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = static_cast<int>(r);
    item.pszText = const_cast<wchar_t*>(t.rows[r][0].c_str());
    ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    for (std::size_t c = 1; c < t.columns.size(); ++c) {
      LVITEMW sub{};
      sub.iSubItem = static_cast<int>(c);
      sub.pszText = const_cast<wchar_t*>(t.rows[r][c].c_str());
      ::SendMessageW(list, LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&sub));
    }
  }
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
}

// A tree's items depth first, each with its depth (0 for a root item), and
// the index of the selected one (-1: none).
struct tree_texts {
  struct item {
    int level;
    std::wstring text;
  };
  std::vector<item> items;
  int selected = -1;
};

namespace detail {
inline void read_items(HWND tree, HTREEITEM first, int level, tree_texts& t) {
  const auto selected = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  for (HTREEITEM h = first; h; h = TreeView_GetNextSibling(tree, h)) {
    wchar_t text[128] = {};
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = h;
    data.pszText = text;
    data.cchTextMax = 128;
    TreeView_GetItem(tree, &data);
    if (h == selected) t.selected = static_cast<int>(t.items.size());
    t.items.push_back({level, text});
    read_items(tree, TreeView_GetChild(tree, h), level + 1, t);
  }
}
}  // namespace detail

inline tree_texts read_tree(HWND tree) {
  tree_texts t;
  detail::read_items(tree, TreeView_GetRoot(tree), 0, t);
  return t;
}

// The same items into a plain tree view, emptied first: every item with
// children expanded, the selected one selected.
inline void fill_plain_tree(HWND tree, const tree_texts& t) {
  ::SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
  TreeView_DeleteAllItems(tree);
  std::vector<HTREEITEM> parents{TVI_ROOT};
  std::vector<HTREEITEM> made;
  made.reserve(t.items.size());
  for (const tree_texts::item& i : t.items) {
    parents.resize(static_cast<std::size_t>(i.level) + 1);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parents.back();
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<wchar_t*>(i.text.c_str());
    made.push_back(TreeView_InsertItem(tree, &insert));
    parents.push_back(made.back());
  }
  for (HTREEITEM h : made) TreeView_Expand(tree, h, TVE_EXPAND);
  if (t.selected >= 0) TreeView_SelectItem(tree, made[static_cast<std::size_t>(t.selected)]);
  ::SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
}

// One paint of a window and every child, now.
inline void paint(HWND window) {
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace orvo::bench
