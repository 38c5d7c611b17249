// COrvoTreeView: the whole amplifier system as a tree. The server's item at
// the root (image 0), the amplifier state below it (1), its amplifiers (2)
// and their channels (3); each item's data is the object ID of what it
// shows, its text the name the user gave the object, else its Name.
//
//   COrvoTreeView tree;
//   tree.Create(parent, area);
//   tree.refresh(server, state, renames);   // after every change of the state
//   tree.select_by_id(id);
//
// The tree is rebuilt from scratch each time; the user's selection and
// expanded items come back by object ID (Orvo::tree_memory). An empty tree
// shows the empty-view text; painting goes through an off-screen bitmap.
// As a message filter it hands Enter and Escape to its label edit, so that
// no dialog manager or accelerator around it takes them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <map>

#include "OrvoImpl_h.h"
#include "OrvoServerIntf.h"
#include "core/records.h"
#include "core/tree_memory.h"
#include "safe_set_redraw.h"
#include "win/controls.h"
#include "win/loop.h"
#include "win/window_impl.h"
#include "zel/paint_no_items.h"

class COrvoTreeView : public WTL::CWindowImpl<COrvoTreeView, WTL::CTreeViewCtrl>,
                      public zel::paint_no_items<COrvoTreeView>,
                      public CSafeSetRedraw<COrvoTreeView>,
                      public WTL::CMessageFilter {
 public:
  using rename_map = std::map<std::int32_t, Orvo::wide_string>;

  // Item images by level.
  enum image : int { server_image = 0, state_image = 1, amplifier_image = 2, channel_image = 3 };

  static WTL::window_class class_traits() { return {L"ZEL-TreeViewEx", 0, 0, nullptr, WC_TREEVIEWW}; }
  static constexpr DWORD default_style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | TVS_HASBUTTONS |
                                         TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS | TVS_SHOWSELALWAYS;
  static constexpr DWORD default_ex_style = WS_EX_CLIENTEDGE;

  HWND Create(HWND parent, const RECT& area = rcDefault, UINT id = 0) noexcept {
    return WTL::CWindowImpl<COrvoTreeView, WTL::CTreeViewCtrl>::Create(parent, area, nullptr, default_style,
                                                                       default_ex_style, id);
  }

  // Clears and rebuilds the tree from the server (the root), the state
  // below it and the state's amplifiers and channels, then restores the
  // remembered expansion and selection (the state's item when none).
  void refresh(Orvo::IAmplifier* server, IAmplifierState* state, const rename_map& renames);
  // Records every item's selected and expanded bits, then deletes all items.
  void clear();
  // Selects the item showing that ID; nothing when there is none.
  void select_by_id(long id);
  // Depth first from `start`: the item, its children, then its next sibling.
  HTREEITEM find_item_by_id(HTREEITEM start, long id) const;
  // Inserts the object as the parent's last child (TVI_ROOT: a root item).
  HTREEITEM insert_object(IIdentifier* object, HTREEITEM parent, int image, const rename_map& renames);
  bool has_items() const noexcept { return GetRootItem() != nullptr; }

  // The object ID of an item, and of the selected one (0 when none).
  long item_id(HTREEITEM item) const noexcept;
  long selected_id() const noexcept;

  BOOL PreTranslateMessage(MSG* msg) override;

  BEGIN_MSG_MAP(COrvoTreeView)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  CHAIN_MSG_MAP(zel::paint_no_items<COrvoTreeView>)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);

 private:
  template <class F>
  void for_each_item(HTREEITEM start, F&& f) const;

  Orvo::tree_memory m_memory;
  HIMAGELIST m_images = nullptr;
};
