// The protocol manager: both libraries as a tree with two folders above the
// selected protocol's details, and the commands that open, rename, copy,
// move, delete and comment protocols. The main frame docks one instance;
// the Save As dialog embeds another (not the main instance: no Open).
//
// Tree items stand for a folder or for a protocol by library and name, never
// for a record: after every change the tree is filled again from the
// libraries, keeping what was expanded and selected by library and name.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <boost/signals2/connection.hpp>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/protocol_changes.h"
#include "error_report.h"
#include "res/protocol_manager_resources.h"
#include "win/dialog.h"
#include "win/loop.h"
#include "win/update_ui.h"
#include "zel/command_bar_xp.h"
#include "zel/dynamic_splitter.h"
#include "zel/frame_window.h"
#include "zel/layout_manager.h"

// The details pane: the selected protocol's comment and stamps, or the
// selected folder's description.
class protocol_control_dialog : public WTL::CDialogImpl<protocol_control_dialog>,
                                public zel::layout::dialog_layout<protocol_control_dialog> {
 public:
  enum { IDD = IDD_PROTOCOL_CONTROL };

  BEGIN_MSG_MAP(protocol_control_dialog)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  COMMAND_ID_HANDLER(ID_PROTOCOL_EDIT_COMMENT, OnEditComment)
  CHAIN_MSG_MAP(zel::layout::dialog_layout<protocol_control_dialog>)
  END_MSG_MAP()

  zel::layout::node_ptr define_layout();
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  // The button's command goes to the manager.
  LRESULT OnEditComment(WORD, WORD, HWND, BOOL&);

  void show_protocol(const Orvo::protocol& record);
  void show_folder(bool user);
  void show_nothing();

  HWND m_manager = nullptr;

 private:
  void show(const std::wstring& comment, const std::wstring& created_by, const std::wstring& created,
            const std::wstring& modified_by, const std::wstring& modified);
};

class protocol_frame_window
    : public zel::frame_window_impl<protocol_frame_window, WTL::CWindow, WTL::CControlWinTraits>,
      public WTL::CUpdateUI<protocol_frame_window>,
      public WTL::CMessageFilter,
      public WTL::CIdleHandler {
  using frame = zel::frame_window_impl<protocol_frame_window, WTL::CWindow, WTL::CControlWinTraits>;

 public:
  enum { IDR = IDR_PROTOCOL_MANAGER };
  // The message that runs a rename after its label edit has ended.
  static constexpr UINT rename_message = WM_APP + 0x34;

  static WTL::window_class class_traits() { return {L"Orvo.ProtocolManager", 0, COLOR_BTNFACE + 1}; }

  static constexpr WTL::update_ui_entry update_ui_map[] = {
      {ID_PROTOCOL_OPEN, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_PROTOCOL_RENAME, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_PROTOCOL_COPY, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_PROTOCOL_MOVE, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_PROTOCOL_DELETE, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_PROTOCOL_EDIT_COMMENT, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_PROTOCOL_PREVIEW, WTL::UPDUI_MENUPOPUP},
  };

  // libraries outlive the window; log receives what a slot or command
  // catches (none: dropped).
  explicit protocol_frame_window(Orvo::protocol_libraries* libraries, bool main_instance = true,
                                 CLogSink* log = nullptr)
      : m_libraries(libraries), m_main_instance(main_instance), m_log(log) {}
  ~protocol_frame_window() override;

  // Creates the window as a child of parent; Open and Preview go to owner
  // (the parent when null).
  HWND create(HWND parent, const RECT& rect, HWND owner = nullptr);

  // For a protocol item its library and name; nothing for a folder.
  std::optional<Orvo::protocol_place> get_tree_item_protocol(HTREEITEM item) const;
  // The selected item's protocol; nothing for a folder or no selection.
  std::optional<Orvo::protocol_place> selected_protocol() const;
  // The library of the selected item (a folder's too); nothing without one.
  std::optional<bool> selected_library() const;
  // Selects the protocol of that name in the library, else the folder.
  void select(bool user, const std::wstring& name);

  // Del and F2 while the focus is inside the manager and no label edit
  // runs; else the details pane's dialog keys.
  BOOL TranslateAccelerator(MSG* msg);
  BOOL PreTranslateMessage(MSG* msg) override { return TranslateAccelerator(msg); }
  // Enables the commands for the selection and shows them on the toolbar.
  BOOL OnIdle() override;

  // Focus to the next (previous) of its two panes, tree then details,
  // entering at the first (last) one when the focus is outside; false, and
  // nothing moved, when the focus would leave the manager.
  bool move_focus(bool forward);

  // The bar between tree and details, in pixels from the top.
  int splitter_position() const { return m_splitter.GetSplitterPos(); }
  void set_splitter_position(int position) { m_splitter.SetSplitterPos(position); }

  // The rebar on top and the splitter below it, also while the manager is
  // not yet shown (a pane is laid out before its frame shows it).
  void UpdateLayout(BOOL resizeBars = TRUE);

  bool label_editing() const noexcept { return m_label_edit; }
  HWND tree() const noexcept { return m_tree; }
  HWND toolbar() const noexcept { return m_toolbar; }
  HWND details() const noexcept { return m_details.m_hWnd; }
  zel::CCommandBarXPCtrl& command_bar() noexcept { return m_bar; }

  // Runs after the tree's selection changed (the Save As dialog follows it).
  std::function<void()> m_on_selection_changed;

  BEGIN_MSG_MAP(protocol_frame_window)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
  MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
  MESSAGE_HANDLER(rename_message, OnRename)
  NOTIFY_CODE_HANDLER(TVN_SELCHANGEDW, OnSelectionChanged)
  NOTIFY_CODE_HANDLER(TVN_BEGINLABELEDITW, OnBeginLabelEdit)
  NOTIFY_CODE_HANDLER(TVN_ENDLABELEDITW, OnEndLabelEdit)
  NOTIFY_CODE_HANDLER(NM_DBLCLK, OnDoubleClick)
  NOTIFY_CODE_HANDLER(NM_RCLICK, OnRightClick)
  NOTIFY_CODE_HANDLER(NM_RETURN, OnReturn)
  COMMAND_ID_HANDLER(ID_PROTOCOL_OPEN, OnToOwner)
  COMMAND_ID_HANDLER(ID_PROTOCOL_PREVIEW, OnToOwner)
  COMMAND_ID_HANDLER(ID_PROTOCOL_RENAME, OnStartRename)
  COMMAND_ID_HANDLER(ID_PROTOCOL_COPY, OnCopy)
  COMMAND_ID_HANDLER(ID_PROTOCOL_MOVE, OnMove)
  COMMAND_ID_HANDLER(ID_PROTOCOL_DELETE, OnDelete)
  COMMAND_ID_HANDLER(ID_PROTOCOL_EDIT_COMMENT, OnEditComment)
  CHAIN_MSG_MAP(WTL::CUpdateUI<protocol_frame_window>)
  CHAIN_MSG_MAP(frame)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnContextMenu(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnRename(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSelectionChanged(int, LPNMHDR, BOOL&);
  LRESULT OnBeginLabelEdit(int, LPNMHDR, BOOL&);
  LRESULT OnEndLabelEdit(int, LPNMHDR, BOOL&);
  LRESULT OnDoubleClick(int, LPNMHDR, BOOL&);
  LRESULT OnRightClick(int, LPNMHDR, BOOL&);
  LRESULT OnReturn(int, LPNMHDR, BOOL&);
  LRESULT OnToOwner(WORD, WORD, HWND, BOOL&);
  LRESULT OnStartRename(WORD, WORD, HWND, BOOL&);
  LRESULT OnCopy(WORD, WORD, HWND, BOOL&);
  LRESULT OnMove(WORD, WORD, HWND, BOOL&);
  LRESULT OnDelete(WORD, WORD, HWND, BOOL&);
  LRESULT OnEditComment(WORD, WORD, HWND, BOOL&);

  // Fills the tree again from the libraries, keeping expansion and
  // selection (by library and name); the first folder when the selected
  // protocol is gone.
  void refresh();

 private:
  // What a tree item stands for: a folder (empty name) or a protocol.
  struct entry {
    bool user = false;
    bool folder = true;
    std::wstring name;
    bool operator==(const entry& o) const { return user == o.user && folder == o.folder && name == o.name; }
  };

  std::optional<entry> entry_of(HTREEITEM item) const;
  HTREEITEM find(const entry& wanted) const;
  HTREEITEM selected_item() const;
  void fill();
  void show_details();
  void run_change(const Orvo::change_result& result);
  // A menu of the first submenu of menu 300 at a screen point.
  void track_menu(int x, int y, const RECT* exclude, bool open_default);
  HTREEITEM item_at_cursor() const;
  void report() noexcept;

  Orvo::protocol_libraries* m_libraries;
  bool m_main_instance;
  CLogSink* m_log;
  HWND m_owner = nullptr;
  bool m_label_edit = false;
  zel::CCommandBarXPCtrl m_bar;
  HWND m_toolbar = nullptr;
  HIMAGELIST m_images = nullptr, m_disabled_images = nullptr, m_tree_images = nullptr;
  WTL::CDynSplitterWindow m_splitter;
  HWND m_tree = nullptr;
  protocol_control_dialog m_details;
  std::vector<entry> m_entries;  // item data: an index into this
  boost::signals2::scoped_connection m_refresh;
  WTL::CMessageLoop* m_loop = nullptr;
  // The rename waiting for its posted message.
  struct pending_rename {
    bool user;
    std::wstring old_name, text;
  };
  std::optional<pending_rename> m_rename;
};
