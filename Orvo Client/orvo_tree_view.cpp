#include "orvo_tree_view.h"

#include <string>

#include "comet/bstr.h"
#include "comet/error.h"
#include "state_walk.h"
#include "system_tree_resources.h"
#include "wait_cursor.h"
#include "win/offscreen.h"

namespace {

long id_of(IIdentifier* object) {
  LONG id = 0;
  const HRESULT hr = object->get_ID(&id);
  if (FAILED(hr)) raise_IIdentifier(hr, object);
  return id;
}

std::wstring name_of(IIdentifier* object, long id, const COrvoTreeView::rename_map& renames) {
  const auto renamed = renames.find(static_cast<std::int32_t>(id));
  if (renamed != renames.end()) return std::wstring(renamed->second.begin(), renamed->second.end());
  comet::bstr_t name;
  const HRESULT hr = object->get_Name(name.out());
  if (FAILED(hr)) raise_IIdentifier(hr, object);
  return name.w_str();
}

template <class I>
comet::com_ptr<IIdentifier> identifier_of(I* object) {
  comet::com_ptr<IIdentifier> node;
  if (!object) comet::raise(E_POINTER);
  comet::check(object->QueryInterface(IID_IIdentifier, node.put_void()));
  return node;
}

}  // namespace

// Visits every item depth first from `start` (its children, then its next
// sibling).
template <class F>
void COrvoTreeView::for_each_item(HTREEITEM start, F&& f) const {
  for (HTREEITEM item = start; item; item = TreeView_GetNextSibling(m_hWnd, item)) {
    f(item);
    if (HTREEITEM child = TreeView_GetChild(m_hWnd, item)) for_each_item(child, f);
  }
}

LRESULT COrvoTreeView::OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  const LRESULT created = DefWindowProc(uMsg, wParam, lParam);
  if (created == -1) return created;
  // The images are cut 16 x 16 from the bitmap, 0xC0C0C0 transparent;
  // without the bitmap the tree works without images.
  m_images = ::ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 6, 2);
  if (const HBITMAP bitmap = ::LoadBitmapW(WTL::resource_instance(), MAKEINTRESOURCEW(IDB_SYSTEM_TREE))) {
    if (m_images) ::ImageList_AddMasked(m_images, bitmap, RGB(0xC0, 0xC0, 0xC0));
    ::DeleteObject(bitmap);
  }
  TreeView_SetImageList(m_hWnd, m_images, TVSIL_NORMAL);
  return created;
}

LRESULT COrvoTreeView::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  TreeView_SetImageList(m_hWnd, nullptr, TVSIL_NORMAL);
  if (m_images) ::ImageList_Destroy(m_images);
  m_images = nullptr;
  bHandled = FALSE;
  return 0;
}

// The tree prints the part to be painted into an off-screen bitmap, which
// then goes to the screen in one piece.
LRESULT COrvoTreeView::OnPaint(UINT, WPARAM wParam, LPARAM, BOOL&) {
  WTL::paint_offscreen(
      m_hWnd, wParam, [&](HDC memory) { DefWindowProc(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT); });
  return 0;
}

long COrvoTreeView::item_id(HTREEITEM item) const noexcept {
  TVITEMW data{};
  data.mask = TVIF_PARAM | TVIF_HANDLE;
  data.hItem = item;
  if (!item || !TreeView_GetItem(m_hWnd, &data)) return 0;
  return static_cast<long>(data.lParam);
}

long COrvoTreeView::selected_id() const noexcept { return item_id(TreeView_GetSelection(m_hWnd)); }

void COrvoTreeView::clear() {
  wait_cursor waiting;
  for_each_item(GetRootItem(), [&](HTREEITEM item) {
    const UINT state = TreeView_GetItemState(m_hWnd, item, TVIS_SELECTED | TVIS_EXPANDED);
    m_memory.record(static_cast<std::int32_t>(item_id(item)), (state & TVIS_SELECTED) != 0,
                    (state & TVIS_EXPANDED) != 0);
  });
  DeleteAllItems();
}

HTREEITEM COrvoTreeView::insert_object(IIdentifier* object, HTREEITEM parent, int image, const rename_map& renames) {
  if (!object) comet::raise(E_POINTER);
  const long id = id_of(object);
  const std::wstring text = name_of(object, id, renames);
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<wchar_t*>(text.c_str());
  insert.item.lParam = static_cast<LPARAM>(id);
  insert.item.iImage = insert.item.iSelectedImage = image;
  const HTREEITEM item = TreeView_InsertItem(m_hWnd, &insert);
  if (!item) comet::raise(E_FAIL);
  return item;
}

void COrvoTreeView::refresh(Orvo::IAmplifier* server, IAmplifierState* state, const rename_map& renames) {
  wait_cursor waiting;
  clear();
  HTREEITEM below = TVI_ROOT;
  if (server) below = insert_object(identifier_of(server).get(), TVI_ROOT, server_image, renames);
  HTREEITEM state_item = nullptr;
  if (state) {
    state_item = insert_object(identifier_of(state).get(), below, state_image, renames);
    for_each_amplifier(state, [&](const comet::com_ptr<IAmplifier>& amplifier) {
      IAmplifier* a = comet::checked(amplifier);
      const HTREEITEM amplifier_item = insert_object(identifier_of(a).get(), state_item, amplifier_image, renames);
      for_each_channel_collection(a, [&](const comet::com_ptr<ICollection>& channel) {
        insert_object(identifier_of(comet::checked(channel)).get(), amplifier_item, channel_image, renames);
      });
    });
  }
  HTREEITEM chosen = nullptr;
  m_memory.begin_restore();
  for_each_item(GetRootItem(), [&](HTREEITEM item) {
    const Orvo::tree_memory::restore_step step = m_memory.restore(static_cast<std::int32_t>(item_id(item)));
    if (step.expand) TreeView_Expand(m_hWnd, item, TVE_EXPAND);
    if (step.select) chosen = item;
  });
  if (!chosen) chosen = state_item;
  if (chosen) TreeView_SelectItem(m_hWnd, chosen);
}

HTREEITEM COrvoTreeView::find_item_by_id(HTREEITEM start, long id) const {
  HTREEITEM found = nullptr;
  for_each_item(start, [&](HTREEITEM item) {
    if (!found && item_id(item) == id) found = item;
  });
  return found;
}

void COrvoTreeView::select_by_id(long id) {
  if (const HTREEITEM item = find_item_by_id(GetRootItem(), id)) TreeView_SelectItem(m_hWnd, item);
}

BOOL COrvoTreeView::PreTranslateMessage(MSG* msg) {
  if (msg->message != WM_KEYDOWN || (msg->wParam != VK_RETURN && msg->wParam != VK_ESCAPE)) return FALSE;
  const HWND edit = TreeView_GetEditControl(m_hWnd);
  if (!edit || msg->hwnd != edit) return FALSE;
  ::TranslateMessage(msg);
  ::DispatchMessageW(msg);
  return TRUE;
}
