#include "log_window.h"
#include "wait_cursor.h"

#include <objbase.h>
#include <shlwapi.h>

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "com/ptr.h"
#include "common_controls.h"
#include "orvo_module.h"
#include "ui_seams.h"
#include "win/module.h"
#include "win/offscreen.h"
#include "win/window_traits.h"
#include "zel/com_stream.h"
#include "zel/errors.h"

namespace {

const wchar_t* as_wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
std::wstring to_wide(const std::u16string& text) { return std::wstring(as_wide(text), text.size()); }
std::u16string to_u16(const wchar_t* text) {
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text)) : std::u16string();
}

// Background colours of the levels (0x00BBGGRR).
constexpr COLORREF level_colours[] = {0xFFE1B0, 0xBCFFB0, 0xB0E6FF, 0xB0B0FF};

constexpr int level_icons[] = {IDI_LOG_EVENT, IDI_LOG_INFORMATION, IDI_LOG_WARNING, IDI_LOG_ERROR};

// A failed Win32 call of the copy as an HRESULT.
[[noreturn]] void throw_last_error() {
  const DWORD error = ::GetLastError();
  zel::throw_com_error(HRESULT_FROM_WIN32(error ? error : ERROR_GEN_FAILURE));
}

std::wstring narrow_to_wide(const char* text) {
  const int n = ::MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, nullptr, 0);
  if (n <= 1) return {};
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, out.data(), n);
  out.resize(static_cast<size_t>(n - 1));
  return out;
}

}  // namespace

CLogWindow::CLogWindow(Orvo::log_clock clock)
    : m_attention(m_log.m_attention), m_attention_level(m_log.m_attention_level), m_log(std::move(clock)) {
  m_log.m_on_added = [this](std::size_t index) {
    m_message_widths.resize(m_log.records().size(), -1);
    show(index);
  };
  m_log.m_on_erased = [this] {
    m_message_widths.assign(m_log.records().size(), -1);
    refill();
  };
}

CLogWindow::~CLogWindow() {
  if (m_levels) ::ImageList_Destroy(m_levels);
}

Orvo::log_clock CLogWindow::local_clock() {
  return [] {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return Orvo::log_time{now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
                          now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
  };
}

std::wstring CLogWindow::time_text(const Orvo::log_time& t) {
  const SYSTEMTIME time{t.year, t.month, t.day_of_week, t.day, t.hour, t.minute, t.second, t.milliseconds};
  wchar_t text[64] = {};
  if (::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, L"HH':'mm':'ss", text, 64) <= 0) return {};
  return text;
}

std::wstring CLogWindow::type_name(int level) {
  const std::u16string_view name = Orvo::type_name(level);
  return std::wstring(reinterpret_cast<const wchar_t*>(name.data()), name.size());
}

std::wstring CLogWindow::code_text(HRESULT code) { return to_wide(Orvo::code_text(code)); }

void CLogWindow::add(const wchar_t* text, int level, HRESULT code) { m_log.add(to_u16(text), level, code); }

std::wstring CLogWindow::load_text(UINT id) const {
  const wchar_t* text = nullptr;
  const int n = ::LoadStringW(WTL::resource_instance(), id, reinterpret_cast<LPWSTR>(&text), 0);
  return n > 0 ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

zel::layout::node_ptr CLogWindow::define_layout() {
  using namespace zel::layout;
  const unsigned left_bottom = anchor_left | anchor_bottom;
  const unsigned right_bottom = anchor_right | anchor_bottom;
  return container() << control(IDC_LOG_MESSAGES_BOX, anchor_left | anchor_top | anchor_right | anchor_bottom)
                     << (around_control(IDC_LOG_MESSAGES_BOX, -4, -9, -4, -4) << fill(IDC_LOG_LIST))
                     << control(IDC_LOG_FILTER_BOX, left_bottom) << control(IDC_LOG_LEVEL1, left_bottom)
                     << control(IDC_LOG_LEVEL2, left_bottom) << control(IDC_LOG_LEVEL3, left_bottom)
                     << control(IDC_LOG_LEVEL4, left_bottom) << control(IDC_LOG_OPTIONS_BOX, left_bottom)
                     << control(IDC_LOG_HIGHLIGHTING, left_bottom) << control(IDC_LOG_AUTO_SCROLL, left_bottom)
                     << control(IDC_LOG_EVENT_LOGGING, left_bottom) << control(IDC_LOG_CLEAR, right_bottom)
                     << control(IDC_LOG_COPY, right_bottom) << control(IDC_LOG_STATUS1, right_bottom)
                     << control(IDC_LOG_STATUS2, right_bottom);
}

LRESULT CLogWindow::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  initialize_layout();

  m_command_bar.AttachToWindow(m_hWnd);
  if (HIMAGELIST images = ::ImageList_LoadImageW(WTL::resource_instance(), MAKEINTRESOURCEW(IDB_LOG_COMMANDS), 16, 0,
                                                 0xC0C0C0, IMAGE_BITMAP, LR_CREATEDIBSECTION)) {
    m_command_bar.LoadImages(IDR_LOG_COMMANDS, images);
    ::ImageList_Destroy(images);
  }
  m_command_bar.SetupAfterCreate();

  m_loop = _Module.GetMessageLoop();
  if (m_loop) m_loop->AddIdleHandler(this);

  m_list.SubclassWindow(GetDlgItem(IDC_LOG_LIST));
  m_list.ModifyStyle(LVS_SHOWSELALWAYS | LVS_TYPEMASK, LVS_REPORT | LVS_SINGLESEL | LVS_SHAREIMAGELISTS |
                                                           LVS_NOSORTHEADER | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
  m_list.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);

  m_levels = ::ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 0);
  for (int id : level_icons) {
    HICON icon =
        static_cast<HICON>(::LoadImageW(WTL::resource_instance(), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0));
    ::ImageList_ReplaceIcon(m_levels, -1, icon);
    if (icon) ::DestroyIcon(icon);
  }
  m_list.SendMessage(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_levels));

  m_status_texts.available = to_u16(load_text(IDS_LOG_AVAILABLE).c_str());
  m_status_texts.hidden = to_u16(load_text(IDS_LOG_HIDDEN).c_str());
  m_status_texts.all_shown = to_u16(load_text(IDS_LOG_ALL_SHOWN).c_str());
  m_status_texts.none = to_u16(load_text(IDS_LOG_NONE).c_str());

  set_up_columns();
  CheckDlgButton(m_hWnd, IDC_LOG_HIGHLIGHTING, m_log.m_highlighting ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(m_hWnd, IDC_LOG_AUTO_SCROLL, m_log.m_auto_scroll ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(m_hWnd, IDC_LOG_EVENT_LOGGING, m_log.m_event_logging ? BST_CHECKED : BST_UNCHECKED);
  CheckRadioButton(m_hWnd, IDC_LOG_LEVEL1, IDC_LOG_LEVEL4, IDC_LOG_LEVEL1 + m_log.m_filter_level);
  set_up_tooltips();
  UIAddChildWindowContainer(m_hWnd);
  refill();
  // A docked view takes the focus when its owner gives it, not by being
  // created.
  return FALSE;
}

void CLogWindow::set_up_columns() {
  struct column {
    UINT text;
    int* kept;
  };
  const column columns[] = {{IDS_LOG_TIME, &m_time_width},
                            {IDS_LOG_INDEX, &m_index_width},
                            {IDS_LOG_MESSAGE, nullptr},
                            {IDS_LOG_STATUS_CODE, &m_code_width}};
  const Orvo::log_time sample_time = local_clock()();
  const std::wstring samples[] = {time_text(sample_time), L"888888", L"", code_text(E_FAIL)};
  const int extra[] = {32, 16, 0, 16};
  for (int i = 0; i < 4; ++i) {
    std::wstring header = load_text(columns[i].text);
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    c.pszText = header.data();
    c.iSubItem = i;
    c.cx = std::max(string_width(header), string_width(samples[i])) + extra[i];
    if (columns[i].kept) *columns[i].kept = c.cx;
    m_list.SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
  }
}

void CLogWindow::set_up_tooltips() {
  DWORD style = WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX;
  if (common_controls_at_least(5, 80)) style |= TTS_BALLOON;
  m_tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, WTL::resource_instance(), nullptr);
  if (!m_tooltip) return;
  const LRESULT initial = ::SendMessageW(m_tooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0);
  const LPARAM delay = MAKELPARAM(static_cast<WORD>(initial * 3 / 2), 0);
  ::SendMessageW(m_tooltip, TTM_SETDELAYTIME, TTDT_INITIAL, delay);
  ::SendMessageW(m_tooltip, TTM_SETDELAYTIME, TTDT_RESHOW, delay);
  ::SendMessageW(m_tooltip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(65535, 0));
  for (int i = 0; i < 4; ++i) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(::GetDlgItem(m_hWnd, IDC_LOG_LEVEL1 + i));
    tool.hinst = WTL::resource_instance();
    tool.lpszText = MAKEINTRESOURCEW(IDS_LOG_TIP_LEVEL1 + i);
    ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  ::SendMessageW(m_tooltip, TTM_SETTIPBKCOLOR, 0xFFE1B0, 0);
}

LRESULT CLogWindow::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  if (m_loop) m_loop->RemoveIdleHandler(this);
  m_loop = nullptr;
  if (m_tooltip) ::DestroyWindow(m_tooltip);
  m_tooltip = nullptr;
  bHandled = FALSE;
  return 0;
}

int CLogWindow::string_width(const std::wstring& text) {
  return static_cast<int>(m_list.DefWindowProc(LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int CLogWindow::message_width(std::size_t index) {
  if (m_message_widths.size() < m_log.records().size()) m_message_widths.resize(m_log.records().size(), -1);
  int& width = m_message_widths[index];
  if (width < 0) width = string_width(to_wide(m_log.records()[index].text)) + 16;
  return width;
}

void CLogWindow::show(std::size_t index) {
  const Orvo::log_record* record = m_log.record(index);
  if (!record || !m_list.IsWindow() || !m_log.shown(*record)) return;
  // Straight to the list's own procedure: a refill sends this for every
  // record, and the window's own map has nothing to add to these messages.
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = INT_MAX;  // appended
  item.pszText = LPSTR_TEXTCALLBACKW;
  item.iImage = record->level;
  item.lParam = static_cast<LPARAM>(index);
  const LRESULT at = m_list.DefWindowProc(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  const int width = message_width(index);
  if (width > m_widest_message) {
    m_widest_message = width;
    if (m_list.DefWindowProc(LVM_GETCOLUMNWIDTH, 2, 0) < width) m_list.DefWindowProc(LVM_SETCOLUMNWIDTH, 2, width);
  }
  if (m_log.m_auto_scroll && at >= 0) m_list.DefWindowProc(LVM_ENSUREVISIBLE, static_cast<WPARAM>(at), TRUE);
}

void CLogWindow::refill() {
  if (!m_list.IsWindow()) return;
  wait_cursor waiting;
  {
    CSafeSetRedraw<CLogList>::suspension frozen(m_list);
    m_refilling = true;
    struct end_of_refill {
      CLogWindow& w;
      bool auto_scroll;
      ~end_of_refill() {
        w.m_log.m_auto_scroll = auto_scroll;
        w.m_refilling = false;
      }
    } restore{*this, m_log.m_auto_scroll};
    m_widest_message = -1;
    m_list.SendMessage(LVM_DELETEALLITEMS);
    m_list.SendMessage(LVM_SETITEMCOUNT, m_log.records().size());
    m_log.m_auto_scroll = false;
    for (std::size_t i = 0; i < m_log.records().size(); ++i) show(i);
    m_log.m_auto_scroll = restore.auto_scroll;
    const LRESULT count = m_list.SendMessage(LVM_GETITEMCOUNT);
    if (m_log.m_auto_scroll && count > 0) m_list.SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(count - 1), FALSE);
  }
  fit_columns();
}

int CLogWindow::message_width_left() const {
  RECT client{};
  ::GetClientRect(m_list.m_hWnd, &client);
  return client.right - client.left - m_time_width - m_index_width - m_code_width;
}

void CLogWindow::fit_columns() {
  if (!m_list.IsWindow()) return;
  const int left = message_width_left();
  if (left > m_widest_message) m_list.SendMessage(LVM_SETCOLUMNWIDTH, 2, left);
}

LRESULT CLogWindow::OnListPositionChanged(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  if (!m_refilling && message_width_left() > m_widest_message) m_list.PostMessage(WM_FIT_COLUMNS);
  bHandled = FALSE;
  return 0;
}

LRESULT CLogWindow::OnListFitColumns(UINT, WPARAM, LPARAM, BOOL&) {
  fit_columns();
  return 0;
}

LRESULT CLogWindow::locked_default(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  const bool lock = !::IsIconic(::GetAncestor(m_hWnd, GA_ROOT));
  if (lock) ::LockWindowUpdate(m_list);
  const LRESULT result = m_list.DefWindowProc(uMsg, wParam, lParam);
  if (lock) ::LockWindowUpdate(nullptr);
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  return result;
}

LRESULT CLogWindow::OnListHScroll(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  const WORD code = LOWORD(wParam);
  if (code != SB_PAGELEFT && code != SB_PAGERIGHT) {
    bHandled = FALSE;
    return 0;
  }
  return locked_default(uMsg, wParam, lParam);
}

LRESULT CLogWindow::OnListKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  if (wParam != VK_PRIOR && wParam != VK_NEXT) {
    bHandled = FALSE;
    return 0;
  }
  return locked_default(uMsg, wParam, lParam);
}

LRESULT CLogWindow::OnListPaint(UINT, WPARAM wParam, LPARAM, BOOL&) {
  // Only the part to be painted goes through the off-screen bitmap: after
  // a scroll by one row that is one row, not the whole list.
  WTL::paint_offscreen(m_list, wParam, [&](HDC memory) {
    m_list.DefWindowProc(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  });
  return 0;
}

LRESULT CLogWindow::OnGetDispInfo(int, LPNMHDR header, BOOL&) {
  auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
  if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0) return 0;
  const std::u16string text = m_log.column_text(static_cast<std::size_t>(info->item.lParam), info->item.iSubItem,
                                                [](const Orvo::log_time& t) { return to_u16(time_text(t).c_str()); });
  Orvo::copy_cut(reinterpret_cast<char16_t*>(info->item.pszText), static_cast<std::size_t>(info->item.cchTextMax),
                 text);
  return 0;
}

LRESULT CLogWindow::OnCustomDraw(int, LPNMHDR header, BOOL&) {
  auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT || !m_log.m_highlighting) return CDRF_DODEFAULT;
  if (draw->nmcd.uItemState == CDIS_SELECTED) return CDRF_DODEFAULT;
  const Orvo::log_record* record = m_log.record(static_cast<std::size_t>(draw->nmcd.lItemlParam));
  if (!record || record->level < 0 || record->level > 3) return CDRF_DODEFAULT;
  draw->clrTextBk = level_colours[record->level];
  return CDRF_NEWFONT;
}

void CLogWindow::update_ui_states() {
  const bool any = !m_log.records().empty();
  UIEnable(IDC_LOG_CLEAR, any);
  UIEnable(IDC_LOG_COPY, any);
  UISetText(IDC_LOG_STATUS1, as_wide(m_log.status_line_1(m_status_texts)));
  UISetText(IDC_LOG_STATUS2, as_wide(m_log.status_line_2(m_status_texts)));
}

BOOL CLogWindow::OnIdle() {
  if (IsWindow() && IsWindowVisible()) {
    update_ui_states();
    UIUpdateChildWindows();
  }
  return FALSE;
}

LRESULT CLogWindow::OnContextMenu(UINT, WPARAM, LPARAM lParam, BOOL&) {
  RECT box{};
  GetWindowRect(&box);
  POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (!::PtInRect(&box, at)) at = {(box.left + box.right) / 2, (box.top + box.bottom) / 2};
  HMENU menu = ::LoadMenuW(WTL::resource_instance(), MAKEINTRESOURCEW(IDR_LOG_CONTEXT_MENU));
  if (!menu) return 0;
  update_ui_states();
  UIUpdateChildWindows();
  m_command_bar.TrackPopupMenu(::GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y);
  ::DestroyMenu(menu);
  return 0;
}

LRESULT CLogWindow::OnClear(WORD, WORD, HWND, BOOL&) {
  m_widest_message = -1;
  m_list.SendMessage(LVM_DELETEALLITEMS);
  m_log.clear();
  m_message_widths.clear();
  return 0;
}

void CLogWindow::copy_to_clipboard() {
  orvo::com::ptr<IStream> stream;
  zel::check_com_result(::CreateStreamOnHGlobal(nullptr, FALSE, stream.put()), static_cast<IStream*>(nullptr));
  HGLOBAL memory = nullptr;
  zel::check_com_result(::GetHGlobalFromStream(stream.get(), &memory), stream.get());
  bool taken = false;
  struct owner_of_memory {
    HGLOBAL memory;
    const bool& taken;
    ~owner_of_memory() {
      if (!taken) ::GlobalFree(memory);
    }
  } owner{memory, taken};
  {
    zel::basic_com_ostream<wchar_t> out(stream.get());
    const std::u16string text = m_log.copy_text([](const Orvo::log_time& t) { return to_u16(time_text(t).c_str()); });
    out.write(reinterpret_cast<const wchar_t*>(text.data()), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) zel::throw_com_error(STG_E_MEDIUMFULL);
  }
  if (!Orvo::clipboard(Orvo::clipboard_step::open, m_hWnd, 0, memory)) throw_last_error();
  struct closer {
    HGLOBAL memory;
    bool armed = true;
    ~closer() {
      if (armed) Orvo::clipboard(Orvo::clipboard_step::close, nullptr, 0, memory);
    }
  } close_on_the_way_out{memory};
  if (!Orvo::clipboard(Orvo::clipboard_step::empty, m_hWnd, 0, memory)) throw_last_error();
  if (!Orvo::clipboard(Orvo::clipboard_step::set, m_hWnd, CF_UNICODETEXT, memory)) throw_last_error();
  taken = true;
  close_on_the_way_out.armed = false;
  if (!Orvo::clipboard(Orvo::clipboard_step::close, m_hWnd, 0, memory)) throw_last_error();
}

LRESULT CLogWindow::OnCopy(WORD, WORD, HWND, BOOL&) {
  try {
    copy_to_clipboard();
  } catch (const zel::basic_com_error& e) {
    add(narrow_to_wide(e.what()).c_str(), Orvo::level_error, e.hr());
  }
  return 0;
}

LRESULT CLogWindow::OnAutoScroll(WORD, WORD, HWND, BOOL&) {
  m_log.m_auto_scroll = IsDlgButtonChecked(m_hWnd, IDC_LOG_AUTO_SCROLL) == BST_CHECKED;
  return 0;
}

LRESULT CLogWindow::OnHighlighting(WORD, WORD, HWND, BOOL&) {
  m_log.m_highlighting = IsDlgButtonChecked(m_hWnd, IDC_LOG_HIGHLIGHTING) == BST_CHECKED;
  m_list.Invalidate();
  return 0;
}

LRESULT CLogWindow::OnEventLogging(WORD, WORD, HWND, BOOL&) {
  const bool on = IsDlgButtonChecked(m_hWnd, IDC_LOG_EVENT_LOGGING) == BST_CHECKED;
  m_log.set_event_logging(on, [this](std::int32_t count) {
    const std::wstring text = L"There are currently " + std::to_wstring(count) +
                              L" records of type 'Event' logged.\nDo you wish to delete them permenantly?";
    return Orvo::message_box(m_hWnd, text.c_str(), L"Erase Events", MB_YESNO | MB_USERICON) == IDYES;
  });
  return 0;
}

LRESULT CLogWindow::OnFilter(WORD, WORD, HWND, BOOL&) {
  auto checked = [this](int id) { return IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; };
  m_log.m_filter_level = Orvo::filter_level_of(checked(IDC_LOG_LEVEL1), checked(IDC_LOG_LEVEL2),
                                               checked(IDC_LOG_LEVEL3), checked(IDC_LOG_LEVEL4));
  refill();
  return 0;
}
