#include "command_bar.h"

#include <algorithm>
#include <cwctype>

#include "toolbar_resource.h"
#include "window_traits.h"

namespace WTL {

namespace {
constexpr int max_button_text = 100;

bool is_rebar(HWND hWnd) {
  wchar_t name[32] = L"";
  ::GetClassNameW(hWnd, name, 32);
  return ::lstrcmpiW(name, REBARCLASSNAMEW) == 0;
}

// The access key of a menu text ("&File" gives 'f'), 0 when none.
wchar_t mnemonic(const std::wstring& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != L'&') continue;
    if (text[i + 1] != L'&') return static_cast<wchar_t>(std::towlower(text[i + 1]));
    ++i;
  }
  return 0;
}

std::wstring menu_text(HMENU menu, UINT position) {
  wchar_t text[256] = L"";
  ::GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
  return text;
}
}  // namespace

CCommandBarCtrlBase::~CCommandBarCtrlBase() {
  if (m_hImageList) ::ImageList_Destroy(m_hImageList);
  if (m_hFont) ::DeleteObject(m_hFont);
}

UINT CCommandBarCtrlBase::open_menu_message() noexcept {
  static const UINT message = ::RegisterWindowMessageW(L"WTL.CommandBar.OpenMenu");
  return message;
}

int CCommandBarCtrlBase::button_count() const noexcept { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }

BOOL CCommandBarCtrlBase::AttachMenu(HMENU menu) {
  if (!m_hWnd || m_bAttached) return FALSE;
  while (button_count() > 0) SendMessage(TB_DELETEBUTTON, 0);
  if (m_hWndOwner && ::GetMenu(m_hWndOwner) == menu && menu) ::SetMenu(m_hWndOwner, nullptr);
  m_hMenu = menu;
  const int count = menu ? ::GetMenuItemCount(menu) : 0;
  for (int i = 0; i < count; ++i) {
    std::wstring text = menu_text(menu, static_cast<UINT>(i));
    if (text.size() > max_button_text) text.resize(max_button_text);
    TBBUTTON button{};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = i;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_DROPDOWN | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    button.iString = reinterpret_cast<INT_PTR>(text.c_str());
    SendMessage(TB_INSERTBUTTONW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
  }
  SendMessage(TB_AUTOSIZE);
  return TRUE;
}

BOOL CCommandBarCtrlBase::LoadMenu(UINT id) {
  HMENU menu = ::LoadMenuW(resource_instance(), MAKEINTRESOURCEW(id));
  return menu && AttachMenu(menu);
}

void CCommandBarCtrlBase::SetImageSize(SIZE size) {
  m_szBitmap = size;
  m_szButton = {size.cx + 6, size.cy + 6};
}

bool CCommandBarCtrlBase::add_strip(HBITMAP bitmap, const std::vector<UINT>& commands) {
  if (!m_hImageList) {
    m_hImageList = ::ImageList_Create(m_szBitmap.cx, m_szBitmap.cy, ILC_COLOR24 | ILC_MASK, 8, 8);
    if (!m_hImageList) return false;
  }
  const int first = ::ImageList_GetImageCount(m_hImageList);
  if (bitmap && ::ImageList_AddMasked(m_hImageList, bitmap, m_clrMask) < 0) return false;
  int image = first;
  for (UINT command : commands) {
    if (command == 0) continue;
    m_arrCommand.push_back(command);  // index = image; a later entry wins in GetImageIndex
    ++image;
  }
  return image <= ::ImageList_GetImageCount(m_hImageList);
}

BOOL CCommandBarCtrlBase::LoadImages(UINT id) {
  toolbar_resource resource;
  if (!load_toolbar_resource(resource_instance(), id, resource)) return FALSE;
  if (!m_hImageList) SetImageSize({resource.width, resource.height});
  HBITMAP bitmap = static_cast<HBITMAP>(
      ::LoadImageW(resource_instance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) return FALSE;
  const std::vector<UINT> commands(resource.commands.begin(), resource.commands.end());
  const bool done = add_strip(bitmap, commands);
  ::DeleteObject(bitmap);
  return done;
}

BOOL CCommandBarCtrlBase::LoadImages(UINT id, HIMAGELIST images) {
  toolbar_resource resource;
  if (!images || !load_toolbar_resource(resource_instance(), id, resource)) return FALSE;
  int cx = 0, cy = 0;
  ::ImageList_GetIconSize(images, &cx, &cy);
  if (!m_hImageList) SetImageSize({cx, cy});
  if (!add_strip(nullptr, {})) return FALSE;
  int source = 0;
  for (WORD command : resource.commands) {
    if (command == 0) continue;
    HICON icon = ::ImageList_GetIcon(images, source++, ILD_NORMAL);
    if (!icon) break;
    AddIcon(icon, command);
    ::DestroyIcon(icon);
  }
  return TRUE;
}

BOOL CCommandBarCtrlBase::AddBitmap(HBITMAP bitmap, const UINT* commands, int count) {
  return bitmap && commands && count > 0 && add_strip(bitmap, std::vector<UINT>(commands, commands + count));
}

BOOL CCommandBarCtrlBase::AddIcon(HICON icon, UINT command) {
  if (!icon || !add_strip(nullptr, {})) return FALSE;
  if (::ImageList_ReplaceIcon(m_hImageList, -1, icon) < 0) return FALSE;
  m_arrCommand.push_back(command);
  return TRUE;
}

int CCommandBarCtrlBase::GetImageIndex(UINT command) const noexcept {
  for (size_t i = m_arrCommand.size(); i-- > 0;) {
    if (m_arrCommand[i] == command) return static_cast<int>(i);
  }
  return -1;
}

void CCommandBarCtrlBase::update_font() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return;
  HFONT font = ::CreateFontIndirectW(&metrics.lfMenuFont);
  if (!font) return;
  if (m_hFont) ::DeleteObject(m_hFont);
  m_hFont = font;
  if (m_hWnd && !m_bAttached) SetFont(font);
}

void CCommandBarCtrlBase::set_up(HWND owner) {
  m_hWndOwner = owner;
  subclass_owner(owner);
  update_font();
  HWND root = ::GetAncestor(owner, GA_ROOT);
  m_bParentActive = ::GetActiveWindow() == root;
  m_getMessage.install(WH_GETMESSAGE, [this](int code, WPARAM wParam, LPARAM lParam, LRESULT&) {
    if (code == HC_ACTION && wParam == PM_REMOVE) on_get_message(*reinterpret_cast<MSG*>(lParam));
    return false;
  });
}

void CCommandBarCtrlBase::clean_up() noexcept {
  m_getMessage.remove();
  m_filter.remove();
  release_owner();
  for (auto& open : m_items) restore_menu(open.first);
  m_items.clear();
  if (m_hImageList) ::ImageList_Destroy(m_hImageList);
  m_hImageList = nullptr;
  m_arrCommand.clear();
}

void CCommandBarCtrlBase::created() {
  SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
  HWND parent = ::GetParent(m_hWnd);
  set_up(parent && is_rebar(parent) ? ::GetParent(parent) : parent);
}

LRESULT CCommandBarCtrlBase::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  clean_up();
  bHandled = FALSE;
  return 0;
}

bool CCommandBarCtrlBase::owns_keys(HWND target) const {
  // Menu keys belong to a bar whose owner is a top-level window, and only
  // for messages of that window or its children.
  if (!m_hWnd || m_bAttached || !m_hMenu || !m_hWndOwner || ::GetParent(m_hWndOwner)) return false;
  if (::GetWindowLongPtrW(m_hWndOwner, GWL_STYLE) & WS_CHILD) return false;
  return target == m_hWndOwner || ::IsChild(m_hWndOwner, target);
}

int CCommandBarCtrlBase::button_of_mnemonic(wchar_t key) const {
  const wchar_t lower = static_cast<wchar_t>(std::towlower(key));
  const int count = m_hMenu ? ::GetMenuItemCount(m_hMenu) : 0;
  for (int i = 0; i < count; ++i) {
    if (mnemonic(menu_text(m_hMenu, static_cast<UINT>(i))) == lower) return i;
  }
  return -1;
}

void CCommandBarCtrlBase::set_hot(int index) { SendMessage(TB_SETHOTITEM, static_cast<WPARAM>(index)); }

void CCommandBarCtrlBase::leave_keyboard_mode() {
  if (!m_bKeyboard) return;
  m_bKeyboard = false;
  set_hot(-1);
}

bool CCommandBarCtrlBase::on_get_message(MSG& msg) {
  if (!owns_keys(msg.hwnd) || IsMenuOpen()) return false;
  const int count = button_count();
  auto swallow = [&msg] {
    msg.message = WM_NULL;
    return true;
  };
  auto open = [this](int index) { PostMessage(open_menu_message(), static_cast<WPARAM>(index), TRUE); };
  switch (msg.message) {
    case WM_SYSKEYDOWN:
      hook_message(msg.message, msg.wParam, msg.lParam);
      if (msg.wParam == VK_MENU) {
        if (!(msg.lParam & 0x40000000)) m_bAltAlone = true;
        return false;
      }
      m_bAltAlone = false;
      if (msg.wParam == VK_F10) {
        m_bKeyboard = true;
        m_bSwallowKeyUp = true;
        set_hot(0);
        return swallow();
      }
      return false;
    case WM_SYSKEYUP:
      if (m_bSwallowKeyUp && msg.wParam == VK_F10) {
        m_bSwallowKeyUp = false;
        return swallow();
      }
      if (msg.wParam == VK_MENU && m_bAltAlone) {
        m_bAltAlone = false;
        if (m_bKeyboard) {
          leave_keyboard_mode();
        } else if (count > 0) {
          m_bKeyboard = true;
          set_hot(0);
        }
        return swallow();  // no system-menu loop
      }
      return false;
    case WM_SYSCHAR: {
      const int index = button_of_mnemonic(static_cast<wchar_t>(msg.wParam));
      if (index < 0) return false;
      leave_keyboard_mode();
      open(index);
      return swallow();
    }
    default:
      break;
  }
  if (!m_bKeyboard) return false;
  const int hot = static_cast<int>(SendMessage(TB_GETHOTITEM));
  switch (msg.message) {
    case WM_KEYDOWN:
      switch (msg.wParam) {
        case VK_LEFT:
          set_hot(count ? (hot - 1 + count) % count : -1);
          break;
        case VK_RIGHT:
          set_hot(count ? (hot + 1) % count : -1);
          break;
        case VK_DOWN:
        case VK_UP:
        case VK_RETURN:
          leave_keyboard_mode();
          open(hot < 0 ? 0 : hot);
          break;
        case VK_ESCAPE:
          leave_keyboard_mode();
          break;
        default:
          break;
      }
      return swallow();
    case WM_CHAR: {
      const int index = button_of_mnemonic(static_cast<wchar_t>(msg.wParam));
      leave_keyboard_mode();
      if (index >= 0) open(index);
      return swallow();
    }
    case WM_KEYUP:
      return swallow();
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
      leave_keyboard_mode();
      return false;
    default:
      return false;
  }
}

LRESULT CCommandBarCtrlBase::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  const int index = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&at)));
  if (index < 0 || index >= button_count()) {
    bHandled = FALSE;
    return 0;
  }
  leave_keyboard_mode();
  track(index, false);
  return 0;
}

LRESULT CCommandBarCtrlBase::OnOpenMenu(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  const int index = static_cast<int>(wParam);
  if (!IsMenuOpen() && index >= 0 && index < button_count()) track(index, lParam != 0);
  return 0;
}

void CCommandBarCtrlBase::track(int index, bool keyboard) {
  while (index >= 0) {
    HMENU popup = ::GetSubMenu(m_hMenu, index);
    if (!popup) break;
    m_nTracking = index;
    m_nNext = -1;
    m_hTopPopup = popup;
    m_hWndPopup = nullptr;
    m_bRedrawnForPopup = false;
    m_hSelectedMenu = nullptr;
    SendMessage(TB_PRESSBUTTON, static_cast<WPARAM>(index), MAKELPARAM(TRUE, 0));
    RECT button{};
    SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button));
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&button), 2);
    UpdateWindow();
    m_filter.install(WH_MSGFILTER, [this](int code, WPARAM, LPARAM lParam, LRESULT& result) {
      if (code != MSGF_MENU || !on_filter(*reinterpret_cast<MSG*>(lParam))) return false;
      result = 1;
      return true;
    });
    if (keyboard) ::PostMessageW(m_hWndOwner, WM_KEYDOWN, VK_DOWN, 0);  // select the first item
    TPMPARAMS params{sizeof params, button};
    ::TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_VERTICAL, button.left, button.bottom,
                       m_hWndOwner, &params);
    m_filter.remove();
    SendMessage(TB_PRESSBUTTON, static_cast<WPARAM>(index), MAKELPARAM(FALSE, 0));
    m_nTracking = -1;
    m_hWndPopup = nullptr;
    for (auto& open : m_items) restore_menu(open.first);
    m_items.clear();
    index = m_nNext;
    keyboard = m_bNextByKey;
    Invalidate();
  }
}

bool CCommandBarCtrlBase::on_filter(MSG& msg) {
  const int count = button_count();
  if (m_nTracking < 0 || count == 0) return false;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_RIGHT && !m_bSelectedIsPopup) {
    m_nNext = (m_nTracking + 1) % count;
  } else if (msg.message == WM_KEYDOWN && msg.wParam == VK_LEFT &&
             (m_hSelectedMenu == m_hTopPopup || !m_hSelectedMenu)) {
    m_nNext = (m_nTracking - 1 + count) % count;
  } else if (msg.message == WM_MOUSEMOVE) {
    POINT at = msg.pt;
    ::ScreenToClient(m_hWnd, &at);
    RECT client;
    GetClientRect(&client);
    if (!::PtInRect(&client, at)) return false;
    const int index = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&at)));
    if (index < 0 || index >= count || index == m_nTracking) return false;
    m_nNext = index;
    m_bNextByKey = false;
    ::EndMenu();
    return true;
  } else {
    return false;
  }
  m_bNextByKey = true;
  ::EndMenu();
  return true;
}

BOOL CCommandBarCtrlBase::TrackPopupMenu(HMENU menu, UINT flags, int x, int y, LPTPMPARAMS params) {
  if (!menu || IsMenuOpen()) return FALSE;
  m_bPopupTracking = true;
  m_hWndPopup = nullptr;
  const BOOL result = ::TrackPopupMenuEx(menu, flags, x, y, m_hWndOwner, params);
  m_bPopupTracking = false;
  m_hWndPopup = nullptr;
  for (auto& open : m_items) restore_menu(open.first);
  m_items.clear();
  return result;
}

void CCommandBarCtrlBase::make_owner_drawn(HMENU popup) {
  if (m_items.count(popup)) return;
  auto& records = m_items[popup];
  const int count = ::GetMenuItemCount(popup);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = L"";
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_DATA | MIIM_CHECKMARKS | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = 255;
    if (!::GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &info) || (info.fType & MFT_OWNERDRAW)) continue;
    auto record = std::make_unique<command_bar_item>();
    record->text = text;
    record->type = info.fType;
    record->state = info.fState;
    record->id = info.wID;
    record->image = info.hSubMenu ? -1 : GetImageIndex(info.wID);
    record->checked = info.hbmpChecked;
    record->unchecked = info.hbmpUnchecked;
    record->data = info.dwItemData;
    MENUITEMINFOW drawn{};
    drawn.cbSize = sizeof drawn;
    drawn.fMask = MIIM_FTYPE | MIIM_DATA;
    drawn.fType = info.fType | MFT_OWNERDRAW;
    drawn.dwItemData = reinterpret_cast<ULONG_PTR>(record.get());
    if (::SetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &drawn)) records.push_back(std::move(record));
  }
}

void CCommandBarCtrlBase::restore_menu(HMENU popup) {
  auto found = m_items.find(popup);
  if (found == m_items.end() || !::IsMenu(popup)) return;
  const int count = ::GetMenuItemCount(popup);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    if (!::GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &info)) continue;
    const command_bar_item* record = item_of(info.dwItemData);
    if (!record) continue;
    MENUITEMINFOW back{};
    back.cbSize = sizeof back;
    back.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_STRING;
    back.fType = record->type;
    back.dwItemData = record->data;
    back.dwTypeData = const_cast<LPWSTR>(record->text.c_str());
    if (record->type & MFT_SEPARATOR) back.fMask &= ~MIIM_STRING;
    ::SetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &back);
  }
}

const command_bar_item* CCommandBarCtrlBase::item_of(ULONG_PTR data) const noexcept {
  if (!data) return nullptr;
  for (const auto& open : m_items) {
    for (const auto& record : open.second) {
      if (reinterpret_cast<ULONG_PTR>(record.get()) == data) return record.get();
    }
  }
  return nullptr;
}

size_t CCommandBarCtrlBase::GetItemRecordCount() const noexcept {
  size_t count = 0;
  for (const auto& open : m_items) count += open.second.size();
  return count;
}

LRESULT CCommandBarCtrlBase::OnInitMenuPopup(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  if (HIWORD(lParam) || !IsMenuOpen()) {  // the system menu, or a menu the bar does not track
    bHandled = FALSE;
    return 0;
  }
  const LRESULT result = owner_default(uMsg, wParam, lParam);
  make_owner_drawn(reinterpret_cast<HMENU>(wParam));
  return result;
}

LRESULT CCommandBarCtrlBase::OnUninitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  HMENU popup = reinterpret_cast<HMENU>(wParam);
  restore_menu(popup);
  m_items.erase(popup);
  bHandled = FALSE;
  return 0;
}

LRESULT CCommandBarCtrlBase::OnMenuSelect(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  m_hSelectedMenu = reinterpret_cast<HMENU>(lParam);
  m_bSelectedIsPopup = (HIWORD(wParam) & MF_POPUP) != 0 && HIWORD(wParam) != 0xFFFF;
  bHandled = FALSE;
  return 1;
}

LRESULT CCommandBarCtrlBase::OnEnterIdle(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  if (wParam == MSGF_MENU && IsMenuOpen() && lParam) {
    m_hWndPopup = reinterpret_cast<HWND>(lParam);
    if (!m_bRedrawnForPopup && m_nTracking >= 0) {
      m_bRedrawnForPopup = true;  // the open button's edge follows its popup
      RECT button{};
      SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(m_nTracking), reinterpret_cast<LPARAM>(&button));
      InvalidateRect(&button, FALSE);
      UpdateWindow();
    }
  }
  bHandled = FALSE;
  return 0;
}

LRESULT CCommandBarCtrlBase::OnMeasureItem(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
  if (!item || item->CtlType != ODT_MENU || !item_of(item->itemData)) {
    bHandled = FALSE;
    return 0;
  }
  MeasureItem(*item);
  return TRUE;
}

LRESULT CCommandBarCtrlBase::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
  if (!item || item->CtlType != ODT_MENU || !item_of(item->itemData)) {
    bHandled = FALSE;
    return 0;
  }
  DrawItem(*item);
  return TRUE;
}

LRESULT CCommandBarCtrlBase::OnMenuChar(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  const int index = m_bAttached ? -1 : button_of_mnemonic(static_cast<wchar_t>(LOWORD(wParam)));
  if (index < 0 || (lParam && reinterpret_cast<HMENU>(lParam) != m_hTopPopup && !(HIWORD(wParam) & MF_SYSMENU) &&
                    IsMenuOpen() && m_nTracking < 0)) {
    bHandled = FALSE;
    return 0;
  }
  // Opened once the current menu loop has ended.
  PostMessage(open_menu_message(), static_cast<WPARAM>(index), TRUE);
  return MAKELRESULT(0, MNC_CLOSE);
}

LRESULT CCommandBarCtrlBase::OnParentActivate(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  const bool active = LOWORD(wParam) != WA_INACTIVE;
  if (active != m_bParentActive && m_hWnd && !m_bAttached) {
    m_bParentActive = active;
    Invalidate();
  }
  bHandled = FALSE;
  return 0;
}

void CCommandBarCtrlBase::MeasureItem(MEASUREITEMSTRUCT& item) {
  const command_bar_item* record = item_of(item.itemData);
  if (record->type & MFT_SEPARATOR) {
    item.itemWidth = 0;
    item.itemHeight = 5;
    return;
  }
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, m_hFont ? m_hFont : ::GetStockObject(DEFAULT_GUI_FONT));
  RECT r{};
  ::DrawTextW(dc, record->text.c_str(), -1, &r, DT_SINGLELINE | DT_CALCRECT | DT_EXPANDTABS);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  item.itemWidth = static_cast<UINT>(r.right + 2 * m_szButton.cx);
  item.itemHeight = static_cast<UINT>(std::max<LONG>(r.bottom + 4, m_szButton.cy + 2));
}

void CCommandBarCtrlBase::DrawItem(const DRAWITEMSTRUCT& item) {
  const command_bar_item* record = item_of(item.itemData);
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const int saved = ::SaveDC(item.hDC);
  ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_MENU));
  if (record->type & MFT_SEPARATOR) {
    RECT line = item.rcItem;
    line.top += 2;
    ::DrawEdge(item.hDC, &line, EDGE_ETCHED, BF_TOP);
  } else {
    if (record->image >= 0 && m_hImageList) {
      ::ImageList_Draw(m_hImageList, record->image, item.hDC, item.rcItem.left + 3, item.rcItem.top + 3,
                       ILD_TRANSPARENT);
    }
    RECT text = item.rcItem;
    text.left += m_szButton.cx + 4;
    ::SetBkMode(item.hDC, TRANSPARENT);
    ::SetTextColor(item.hDC, ::GetSysColor(item.itemState & ODS_GRAYED ? COLOR_GRAYTEXT
                                           : selected                  ? COLOR_HIGHLIGHTTEXT
                                                                       : COLOR_MENUTEXT));
    ::SelectObject(item.hDC, m_hFont);
    ::DrawTextW(item.hDC, record->text.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS);
  }
  ::RestoreDC(item.hDC, saved);
}

}  // namespace WTL
