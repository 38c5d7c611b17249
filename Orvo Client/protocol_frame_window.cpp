#include "protocol_frame_window.h"

#include <algorithm>

#include "orvo_module.h"
#include "protocol_commands.h"
#include "protocol_dialogs.h"
#include "settings_disk.h"
#include "ui_seams.h"
#include "win/toolbar_resource.h"

namespace {

constexpr COLORREF image_mask = RGB(192, 192, 192);
constexpr int folder_image = 0, protocol_image = 1;
const wchar_t* const old_edit_procedure = L"Orvo.LabelEditProcedure";

// The label edit answers every key itself, so that Enter and Escape end the
// edit also inside a dialog.
LRESULT CALLBACK label_edit_procedure(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  const auto previous = reinterpret_cast<WNDPROC>(::GetPropW(hWnd, old_edit_procedure));
  if (uMsg == WM_GETDLGCODE)
    return DLGC_WANTALLKEYS | (previous ? ::CallWindowProcW(previous, hWnd, uMsg, wParam, lParam) : 0);
  if (uMsg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    ::RemovePropW(hWnd, old_edit_procedure);
  }
  return previous ? ::CallWindowProcW(previous, hWnd, uMsg, wParam, lParam)
                  : ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

HIMAGELIST masked_images(UINT bitmap) {
  return ::ImageList_LoadImageW(WTL::resource_instance(), MAKEINTRESOURCEW(bitmap), 16, 1, image_mask, IMAGE_BITMAP,
                                LR_CREATEDIBSECTION);
}

}  // namespace

// The details pane.

zel::layout::node_ptr protocol_control_dialog::define_layout() {
  using namespace zel::layout;
  const unsigned all = anchor_left | anchor_top | anchor_right | anchor_bottom;
  const unsigned across_bottom = anchor_left | anchor_right | anchor_bottom;
  auto root = container() << control(IDC_PROPERTIES_GROUP, all) << control(IDC_PROTOCOL_COMMENT, all)
                          << control(ID_PROTOCOL_EDIT_COMMENT, across_bottom);
  for (int id : {IDC_CREATED_BY_LABEL, IDC_CREATION_TIME_LABEL, IDC_MODIFIED_BY_LABEL, IDC_MODIFICATION_TIME_LABEL,
                 IDC_CREATED_BY, IDC_CREATION_TIME, IDC_MODIFIED_BY, IDC_MODIFICATION_TIME})
    root << control(id, across_bottom);
  return root;
}

LRESULT protocol_control_dialog::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  initialize_layout();
  return TRUE;
}

LRESULT protocol_control_dialog::OnEditComment(WORD, WORD, HWND, BOOL&) {
  if (m_manager) ::SendMessageW(m_manager, WM_COMMAND, ID_PROTOCOL_EDIT_COMMENT, 0);
  return 0;
}

void protocol_control_dialog::show(const std::wstring& comment, const std::wstring& created_by,
                                   const std::wstring& created, const std::wstring& modified_by,
                                   const std::wstring& modified) {
  ::SetDlgItemTextW(m_hWnd, IDC_PROTOCOL_COMMENT, comment.c_str());
  ::SetDlgItemTextW(m_hWnd, IDC_CREATED_BY, created_by.c_str());
  ::SetDlgItemTextW(m_hWnd, IDC_CREATION_TIME, created.c_str());
  ::SetDlgItemTextW(m_hWnd, IDC_MODIFIED_BY, modified_by.c_str());
  ::SetDlgItemTextW(m_hWnd, IDC_MODIFICATION_TIME, modified.c_str());
}

void protocol_control_dialog::show_protocol(const Orvo::protocol& record) {
  show(to_wstring(record.m_comment), to_wstring(record.m_created_by), Orvo::stamp_text(record.m_created_time),
       to_wstring(record.m_modified_by), Orvo::stamp_text(record.m_modified_time));
}

void protocol_control_dialog::show_folder(bool user) { show(Orvo::protocol_folder_description(user), {}, {}, {}, {}); }

void protocol_control_dialog::show_nothing() { show({}, {}, {}, {}, {}); }

// The manager.

protocol_frame_window::~protocol_frame_window() {
  if (IsWindow()) DestroyWindow();
  for (HIMAGELIST list : {m_images, m_disabled_images, m_tree_images})
    if (list) ::ImageList_Destroy(list);
}

HWND protocol_frame_window::create(HWND parent, const RECT& rect, HWND owner) {
  m_owner = owner ? owner : parent;
  // The traits' style: a visible child clipping its siblings and children.
  return CreateEx(parent, rect, 0, WS_EX_CONTROLPARENT);
}

LRESULT protocol_frame_window::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  ModifyStyleEx(0, WS_EX_CONTROLPARENT);
  CreateSimpleReBar();
  m_bar.Create(m_hWndToolBar, WTL::CWindow::rcDefault);
  m_bar.AttachMenu(m_hMenu);
  m_bar.LoadImages(IDR);
  AddSimpleReBarBand(m_bar);
  m_toolbar = WTL::create_toolbar_from_resource(
      m_hWndToolBar, IDR,
      WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN,
      zel::frame_toolbar);
  if (m_toolbar) {
    m_images = masked_images(IDR);
    m_disabled_images = masked_images(IDB_PROTOCOL_MANAGER_DISABLED);
    ::SendMessageW(m_toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_images));
    ::SendMessageW(m_toolbar, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(m_disabled_images));
    AddSimpleReBarBand(m_toolbar, nullptr, true);
    m_bar.m_arrToolbars.push_back(m_toolbar);
    UIAddToolBar(m_toolbar);
  }
  m_bar.SetupAfterCreate();

  m_splitter.Create(m_hWnd, WTL::CWindow::rcDefault, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                    WS_EX_CONTROLPARENT);
  m_splitter.SetSplitterExtendedStyle(zel::splitter_proportional);
  m_tree = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, nullptr,
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                 TVS_EDITLABELS | TVS_SHOWSELALWAYS,
                             0, 0, 0, 0, m_splitter, nullptr, WTL::resource_instance(), nullptr);
  m_details.m_manager = m_hWnd;
  if (m_details.Create(m_splitter)) m_details.ShowWindow(SW_SHOWNA);
  m_splitter.SetSplitterPanes(m_tree, m_details);
  m_hWndClient = m_splitter;
  UpdateLayout();
  RECT area;
  m_splitter.GetClientRect(&area);
  m_splitter.SetSplitterPos((area.bottom - area.top) / 2);

  if ((m_loop = _Module.GetMessageLoop())) {
    m_loop->AddMessageFilter(this);
    m_loop->AddIdleHandler(this);
  }
  m_tree_images = masked_images(IDB_PROTOCOL_TREE);
  TreeView_SetImageList(m_tree, m_tree_images, TVSIL_NORMAL);
  fill();
  for (HTREEITEM folder = TreeView_GetRoot(m_tree); folder; folder = TreeView_GetNextSibling(m_tree, folder))
    TreeView_Expand(m_tree, folder, TVE_EXPAND);
  TreeView_SelectItem(m_tree, TreeView_GetRoot(m_tree));
  show_details();
  ::SetFocus(m_tree);
  if (m_libraries)
    m_refresh = m_libraries->m_changed.connect([this] {
      try {
        refresh();
      } catch (...) {
        report();
      }
    });
  OnIdle();
  return 0;
}

void protocol_frame_window::UpdateLayout(BOOL resizeBars) {
  RECT area;
  GetClientRect(&area);
  if (m_hWndToolBar && (::GetWindowLongPtrW(m_hWndToolBar, GWL_STYLE) & WS_VISIBLE)) {
    if (resizeBars) ::SendMessageW(m_hWndToolBar, WM_SIZE, 0, 0);
    // The bands' height: the rebar's window may not have followed it yet.
    const auto height = static_cast<LONG>(::SendMessageW(m_hWndToolBar, RB_GETBARHEIGHT, 0, 0));
    area.top = std::min(area.bottom, area.top + height);
  }
  if (m_hWndClient)
    ::SetWindowPos(m_hWndClient, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT protocol_frame_window::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
  m_refresh.disconnect();
  if (m_loop) {
    m_loop->RemoveMessageFilter(this);
    m_loop->RemoveIdleHandler(this);
    m_loop = nullptr;
  }
  handled = FALSE;
  return 0;
}

LRESULT protocol_frame_window::OnSetFocus(UINT, WPARAM, LPARAM, BOOL&) {
  if (m_tree) ::SetFocus(m_tree);
  return 0;
}

bool protocol_frame_window::move_focus(bool forward) {
  const HWND panes[] = {m_tree, m_details.m_hWnd};
  const auto holds = [](HWND pane, HWND focus) { return pane && focus && (pane == focus || ::IsChild(pane, focus)); };
  const HWND focus = ::GetFocus();
  int at = -1;
  for (int i = 0; i < 2; ++i)
    if (holds(panes[i], focus)) at = i;
  const int next = at == -1 ? (forward ? 0 : 1) : at + (forward ? 1 : -1);
  if (next < 0 || next > 1 || !panes[next] || !::IsWindowVisible(panes[next]) || !::IsWindowEnabled(panes[next]))
    return false;
  ::SetFocus(panes[next]);
  return true;
}

void protocol_frame_window::report() noexcept {
  if (m_log) report_current_exception(*m_log);
}

// The tree.

void protocol_frame_window::fill() {
  TreeView_DeleteAllItems(m_tree);
  m_entries.clear();
  if (!m_libraries) return;
  // Each folder goes first, the user folder before the common one: the
  // common folder stands on top.
  for (bool user : {true, false}) {
    m_entries.push_back({user, true, {}});
    const std::wstring label = Orvo::protocol_folder_label(user);
    TVINSERTSTRUCTW folder{};
    folder.hParent = TVI_ROOT;
    folder.hInsertAfter = TVI_FIRST;
    folder.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    folder.item.pszText = const_cast<wchar_t*>(label.c_str());
    folder.item.iImage = folder.item.iSelectedImage = folder_image;
    folder.item.lParam = static_cast<LPARAM>(m_entries.size() - 1);
    HTREEITEM parent = TreeView_InsertItem(m_tree, &folder);
    for (const auto& named : m_libraries->library(user).m_protocols) {
      m_entries.push_back({user, false, to_wstring(named.first)});
      TVINSERTSTRUCTW item{};
      item.hParent = parent;
      item.hInsertAfter = TVI_LAST;
      item.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
      item.item.pszText = const_cast<wchar_t*>(m_entries.back().name.c_str());
      item.item.iImage = item.item.iSelectedImage = protocol_image;
      item.item.lParam = static_cast<LPARAM>(m_entries.size() - 1);
      TreeView_InsertItem(m_tree, &item);
    }
  }
}

std::optional<protocol_frame_window::entry> protocol_frame_window::entry_of(HTREEITEM item) const {
  if (!item) return std::nullopt;
  TVITEMW data{};
  data.mask = TVIF_PARAM | TVIF_HANDLE;
  data.hItem = item;
  if (!TreeView_GetItem(m_tree, &data)) return std::nullopt;
  const auto index = static_cast<std::size_t>(data.lParam);
  if (index >= m_entries.size()) return std::nullopt;
  return m_entries[index];
}

HTREEITEM protocol_frame_window::find(const entry& wanted) const {
  for (HTREEITEM folder = TreeView_GetRoot(m_tree); folder; folder = TreeView_GetNextSibling(m_tree, folder)) {
    if (entry_of(folder) == wanted) return folder;
    for (HTREEITEM item = TreeView_GetChild(m_tree, folder); item; item = TreeView_GetNextSibling(m_tree, item))
      if (entry_of(item) == wanted) return item;
  }
  return nullptr;
}

HTREEITEM protocol_frame_window::selected_item() const { return m_tree ? TreeView_GetSelection(m_tree) : nullptr; }

std::optional<Orvo::protocol_place> protocol_frame_window::get_tree_item_protocol(HTREEITEM item) const {
  const auto found = entry_of(item);
  if (!found || found->folder) return std::nullopt;
  return Orvo::protocol_place{found->user, to_wide_string(found->name)};
}

std::optional<Orvo::protocol_place> protocol_frame_window::selected_protocol() const {
  return get_tree_item_protocol(selected_item());
}

std::optional<bool> protocol_frame_window::selected_library() const {
  const auto found = entry_of(selected_item());
  if (!found) return std::nullopt;
  return found->user;
}

void protocol_frame_window::select(bool user, const std::wstring& name) {
  HTREEITEM item = find({user, false, name});
  if (!item) item = find({user, true, {}});
  if (item && item != selected_item()) TreeView_SelectItem(m_tree, item);
}

void protocol_frame_window::refresh() {
  ::SendMessageW(m_tree, WM_SETREDRAW, FALSE, 0);
  std::vector<entry> expanded;
  std::optional<entry> selected = entry_of(selected_item());
  for (HTREEITEM folder = TreeView_GetRoot(m_tree); folder; folder = TreeView_GetNextSibling(m_tree, folder))
    if (TreeView_GetItemState(m_tree, folder, TVIS_EXPANDED) & TVIS_EXPANDED) expanded.push_back(*entry_of(folder));
  fill();
  for (const entry& e : expanded)
    if (HTREEITEM item = find(e)) TreeView_Expand(m_tree, item, TVE_EXPAND);
  HTREEITEM chosen = selected ? find(*selected) : nullptr;
  if (!chosen) chosen = TreeView_GetRoot(m_tree);
  TreeView_SelectItem(m_tree, chosen);
  if (chosen) TreeView_EnsureVisible(m_tree, chosen);
  ::SendMessageW(m_tree, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(m_tree, nullptr, TRUE);
  show_details();
}

void protocol_frame_window::show_details() {
  if (!m_details.IsWindow()) return;
  const auto found = entry_of(selected_item());
  if (!found || !m_libraries) return m_details.show_nothing();
  if (found->folder) return m_details.show_folder(found->user);
  const auto& library = m_libraries->library(found->user).m_protocols;
  const auto record = library.find(to_wide_string(found->name));
  if (record == library.end()) return m_details.show_nothing();
  m_details.show_protocol(record->second);
}

LRESULT protocol_frame_window::OnSelectionChanged(int, LPNMHDR header, BOOL& handled) {
  if (header->hwndFrom != m_tree) {
    handled = FALSE;
    return 0;
  }
  show_details();
  if (m_on_selection_changed) m_on_selection_changed();
  return 0;
}

// Commands.

BOOL protocol_frame_window::OnIdle() {
  const bool protocol = selected_protocol().has_value();
  UIEnable(ID_PROTOCOL_OPEN, protocol && m_main_instance);
  UIEnable(ID_PROTOCOL_PREVIEW, protocol && m_main_instance);
  UIEnable(ID_PROTOCOL_RENAME, protocol);
  UIEnable(ID_PROTOCOL_COPY, protocol);
  UIEnable(ID_PROTOCOL_MOVE, protocol);
  UIEnable(ID_PROTOCOL_DELETE, protocol && !m_label_edit);
  UIEnable(ID_PROTOCOL_EDIT_COMMENT, protocol);
  UIUpdateToolBar();
  return FALSE;
}

BOOL protocol_frame_window::TranslateAccelerator(MSG* msg) {
  if (!IsWindow() || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
  const HWND focus = ::GetFocus();
  if (focus && (focus == m_hWnd || IsChild(focus)) && !m_label_edit)
    return m_hAccel && ::TranslateAcceleratorW(m_hWnd, m_hAccel, msg);
  return m_details.IsWindow() && ::IsDialogMessageW(m_details, msg);
}

void protocol_frame_window::run_change(const Orvo::change_result& result) { Orvo::report_change(m_hWnd, result); }

LRESULT protocol_frame_window::OnToOwner(WORD, WORD id, HWND, BOOL&) {
  if (m_main_instance && selected_protocol() && m_owner) ::SendMessageW(m_owner, WM_COMMAND, id, 0);
  return 0;
}

LRESULT protocol_frame_window::OnStartRename(WORD, WORD, HWND, BOOL&) {
  if (HTREEITEM item = selected_item()) {
    ::SetFocus(m_tree);
    TreeView_EditLabel(m_tree, item);
  }
  return 0;
}

LRESULT protocol_frame_window::OnBeginLabelEdit(int, LPNMHDR header, BOOL&) {
  const auto* info = reinterpret_cast<const NMTVDISPINFOW*>(header);
  const auto found = entry_of(info->item.hItem);
  if (!found || found->folder) return TRUE;  // folders keep their labels
  if (HWND edit = TreeView_GetEditControl(m_tree)) {
    ::SetPropW(edit, old_edit_procedure, reinterpret_cast<HANDLE>(::GetWindowLongPtrW(edit, GWLP_WNDPROC)));
    ::SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&label_edit_procedure));
  }
  m_label_edit = true;
  return FALSE;
}

LRESULT protocol_frame_window::OnEndLabelEdit(int, LPNMHDR header, BOOL&) {
  // Only an edit's first end acts (an edit ended from code may notify twice).
  if (!m_label_edit) return FALSE;
  m_label_edit = false;
  const auto* info = reinterpret_cast<const NMTVDISPINFOW*>(header);
  const auto found = entry_of(info->item.hItem);
  if (!info->item.pszText || !found || found->folder) return FALSE;
  // The rename, its box and the refresh run once the tree has ended the edit.
  m_rename = pending_rename{found->user, found->name, info->item.pszText};
  PostMessage(rename_message);
  return FALSE;
}

LRESULT protocol_frame_window::OnRename(UINT, WPARAM, LPARAM, BOOL&) {
  if (!m_rename || !m_libraries) return 0;
  const pending_rename rename = *m_rename;
  m_rename.reset();
  const Orvo::wide_string text = Orvo::trim_protocol_name(to_wide_string(rename.text));
  if (text.empty()) return 0;
  try {
    const Orvo::change_result result =
        Orvo::rename_protocol(*m_libraries, rename.user, to_wide_string(rename.old_name), text);
    if (result.status == Orvo::change_result::refused)
      Orvo::report_rename_refused(m_hWnd, rename.old_name, to_wstring(text));
    else
      run_change(result);
  } catch (...) {
    report();
  }
  return 0;
}

LRESULT protocol_frame_window::OnCopy(WORD, WORD, HWND, BOOL&) {
  if (const auto place = selected_protocol(); place && m_libraries)
    run_change(Orvo::copy_protocol(*m_libraries, place->user, place->name));
  return 0;
}

LRESULT protocol_frame_window::OnMove(WORD, WORD, HWND, BOOL&) {
  if (const auto place = selected_protocol(); place && m_libraries)
    run_change(Orvo::move_protocol(*m_libraries, place->name, place->user));
  return 0;
}

LRESULT protocol_frame_window::OnDelete(WORD, WORD, HWND, BOOL&) {
  const auto place = selected_protocol();
  if (!place || !m_libraries || m_label_edit) return 0;
  delete_protocol_dialog question;
  const INT_PTR answer = question.DoModal(m_hWnd);
  if (answer == -1) ::SetLastError(ERROR_OUTOFMEMORY);
  if (answer == IDYES) run_change(Orvo::delete_protocol(*m_libraries, place->user, place->name));
  return 0;
}

LRESULT protocol_frame_window::OnEditComment(WORD, WORD, HWND, BOOL&) {
  const auto place = selected_protocol();
  const auto* library = place && m_libraries ? &m_libraries->library(place->user).m_protocols : nullptr;
  const auto record = library ? library->find(place->name) : decltype(library->end()){};
  if (!library || record == library->end()) {
    Orvo::beep();
    return 0;
  }
  Orvo::comment_editor_dialog editor(to_wstring(record->second.m_comment));
  const INT_PTR answer = editor.DoModal(m_hWnd);
  if (answer == -1) ::SetLastError(ERROR_OUTOFMEMORY);
  if (answer == IDOK)
    run_change(Orvo::set_protocol_comment(*m_libraries, place->user, place->name, to_wide_string(editor.m_text)));
  return 0;
}

// Mouse and keys on the tree.

HTREEITEM protocol_frame_window::item_at_cursor() const {
  TVHITTESTINFO hit{};
  const DWORD position = ::GetMessagePos();
  hit.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  ::ScreenToClient(m_tree, &hit.pt);
  HTREEITEM item = TreeView_HitTest(m_tree, &hit);
  return item && (hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON)) ? item : nullptr;
}

LRESULT protocol_frame_window::OnDoubleClick(int, LPNMHDR header, BOOL& handled) {
  if (header->hwndFrom != m_tree) {
    handled = FALSE;
    return 0;
  }
  if (get_tree_item_protocol(item_at_cursor())) SendMessage(WM_COMMAND, ID_PROTOCOL_OPEN);
  return 0;
}

LRESULT protocol_frame_window::OnReturn(int, LPNMHDR header, BOOL& handled) {
  if (header->hwndFrom != m_tree) {
    handled = FALSE;
    return 0;
  }
  if (selected_protocol())
    SendMessage(WM_COMMAND, ID_PROTOCOL_OPEN);
  else
    Orvo::beep();
  return TRUE;
}

void protocol_frame_window::track_menu(int x, int y, const RECT* exclude, bool open_default) {
  HMENU menu = ::LoadMenuW(WTL::resource_instance(), MAKEINTRESOURCEW(IDR));
  if (!menu) return;
  HMENU popup = ::GetSubMenu(menu, 0);
  if (open_default) ::SetMenuDefaultItem(popup, ID_PROTOCOL_OPEN, FALSE);
  OnIdle();
  TPMPARAMS params{sizeof params, exclude ? *exclude : RECT{}};
  m_bar.TrackPopupMenu(popup, TPM_RIGHTBUTTON | TPM_VERPOSANIMATION | (exclude ? TPM_VERTICAL : 0), x, y,
                       exclude ? &params : nullptr);
  ::DestroyMenu(menu);
}

LRESULT protocol_frame_window::OnRightClick(int, LPNMHDR header, BOOL& handled) {
  if (header->hwndFrom != m_tree) {
    handled = FALSE;
    return 0;
  }
  HTREEITEM item = item_at_cursor();
  if (!get_tree_item_protocol(item)) return TRUE;
  TreeView_SelectItem(m_tree, item);
  const DWORD position = ::GetMessagePos();
  track_menu(static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position)), nullptr, m_main_instance);
  return TRUE;
}

LRESULT protocol_frame_window::OnContextMenu(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
  // A click reached the tree's own handling (NM_RCLICK); here only the keys.
  if (reinterpret_cast<HWND>(wParam) != m_tree || lParam != -1) {
    handled = FALSE;
    return 0;
  }
  HTREEITEM item = selected_item();
  if (!get_tree_item_protocol(item)) return 0;
  RECT label;
  TreeView_GetItemRect(m_tree, item, &label, TRUE);
  ::MapWindowPoints(m_tree, nullptr, reinterpret_cast<POINT*>(&label), 2);
  track_menu(label.left, label.bottom, &label, true);
  return 0;
}
