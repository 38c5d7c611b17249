// Dialog layout on a dialog window: the rule tree of core/layout_manager.h
// applied to a dialog's controls whenever the dialog is resized.
//
//   class comment_dialog : public WTL::CDialogImpl<comment_dialog>,
//                          public zel::layout::dialog_layout<comment_dialog> {
//    public:
//     enum { IDD = IDD_COMMENT };
//     BEGIN_MSG_MAP(comment_dialog)
//       MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)   // calls initialize_layout()
//       CHAIN_MSG_MAP(zel::layout::dialog_layout<comment_dialog>)
//     END_MSG_MAP()
//     zel::layout::node_ptr define_layout() {
//       using namespace zel::layout;
//       return container() << fill(IDC_TEXT) << control(IDOK, anchor_right | anchor_bottom);
//     }
//   };
//
// The mixin adds a size grip, takes the starting size as the minimum size,
// hides the group boxes and paints them with the background instead (so
// they never flicker over the controls they frame), and re-arranges the
// controls on every size change with redrawing switched off.
#pragma once

#include <windows.h>

#include <vector>

#include "core/layout_manager.h"
#include "win/message_map.h"

namespace zel::layout {

// The windows EnumChildWindows reaches whose parent is `window` itself, in
// enumeration order.
std::vector<HWND> get_child_windows(HWND window);

// A group box: button style BS_GROUPBOX of the class named exactly "Button".
bool is_group_box(HWND window);

// A dialog's controls as the layout tree asks for them: rectangles in the
// dialog's client coordinates, moves without activation or z-order change,
// and dialog units through MapDialogRect (whose failure throws
// zel::win32_error).
class window_controls final : public dialog_controls {
 public:
  explicit window_controls(HWND dialog) noexcept : m_dialog(dialog) {}
  bool control_rect(int id, rect& out) const override;
  void move_control(int id, const rect& to) override;
  size dialog_units(int offset) const override;

 private:
  HWND m_dialog;
};

// What dialog_layout keeps and does whatever the dialog's class.
class dialog_layout_base {
 public:
  // The size grip, null when the dialog has none of the layout's own.
  HWND size_grip() const noexcept { return m_grip; }

 protected:
  dialog_layout_base() = default;
  ~dialog_layout_base() = default;
  dialog_layout_base(const dialog_layout_base&) = delete;
  dialog_layout_base& operator=(const dialog_layout_base&) = delete;

  // Styles, size grip, minimum size and hidden group boxes of a dialog
  // that has just been created.
  void prepare(HWND dialog);
  // Keeps `root` (beside the grip, when there is one) and arranges it to
  // the dialog's client size.
  void keep_and_arrange(HWND dialog, node_ptr root);
  void arrange_to(HWND dialog, int width, int height);

  void erase_background(HWND dialog, HDC dc);
  void size_changed(HWND dialog, WPARAM type, LPARAM extent);
  void limit_tracking(MINMAXINFO* info) const noexcept;

 private:
  bool m_painting = false;
  int m_min_width = -1;
  int m_min_height = -1;
  HWND m_grip = nullptr;
  node_ptr m_root;
};

// The layout mixin of dialog class T, whose `define_layout()` returns the
// tree. Chain its map into T's and call initialize_layout from
// WM_INITDIALOG.
template <class T>
class dialog_layout : public dialog_layout_base {
 public:
  BEGIN_MSG_MAP(dialog_layout)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
  END_MSG_MAP()

  void initialize_layout() {
    prepare(dialog());
    apply_layout();
  }
  // Builds the tree again and arranges it.
  void apply_layout() { keep_and_arrange(dialog(), static_cast<T*>(this)->define_layout()); }
  // Arranges the tree to a client size.
  void arrange(int width, int height) { arrange_to(dialog(), width, height); }

  LRESULT OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&) {
    erase_background(dialog(), reinterpret_cast<HDC>(wParam));
    return 1;
  }
  LRESULT OnSize(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
    size_changed(dialog(), wParam, lParam);
    return 0;
  }
  LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL&) {
    limit_tracking(reinterpret_cast<MINMAXINFO*>(lParam));
    return 0;
  }

 private:
  HWND dialog() const noexcept { return static_cast<const T*>(this)->m_hWnd; }
};

}  // namespace zel::layout
