// CLogWindow: the event log pane. It keeps every message the client logs
// (Orvo::event_log) and lists the records at or above the chosen filter
// level in a report list with a level image, optional highlighting by
// level, a copy to the clipboard and the Event Logging switch.
//
//   CLogWindow log;                      // records may be added at once
//   log.add(L"Orvo Client program started", 1, S_OK);
//   log.Create(parent);                  // dialog 256; lists what is held
//
// The window registers itself as idle handler of the thread's message loop
// (the module's) and updates its buttons, menu and status lines there.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "core/event_log.h"
#include "dialog_view.h"
#include "log_window_resources.h"
#include "safe_set_redraw.h"
#include "win/loop.h"
#include "win/update_ui.h"
#include "win/window_impl.h"
#include "zel/command_bar_xp.h"
#include "zel/layout_manager.h"
#include "zel/paint_no_items.h"

// The log's list control, subclassed by the window (messages go to the
// window's map 1).
class CLogList : public WTL::CContainedWindow, public zel::paint_no_items<CLogList>, public CSafeSetRedraw<CLogList> {
 public:
  explicit CLogList(WTL::CMessageMap* owner) noexcept : WTL::CContainedWindow(owner, 1) {}
};

class CLogWindow : public CDialogView<CLogWindow>,
                   public zel::layout::dialog_layout<CLogWindow>,
                   public WTL::CUpdateUI<CLogWindow>,
                   public WTL::CIdleHandler {
 public:
  enum { IDD = IDD_LOG_WINDOW };
  // The message the list posts itself to fit its "Message" column.
  static constexpr UINT WM_FIT_COLUMNS = WM_APP + 1000;

  // `clock` stamps the records (the local time by default).
  explicit CLogWindow(Orvo::log_clock clock = local_clock());
  CLogWindow(const CLogWindow&) = delete;
  CLogWindow& operator=(const CLogWindow&) = delete;
  ~CLogWindow() override;

  // Appends a record (a null text counts as empty) and lists it when shown.
  void add(const wchar_t* text, int level, HRESULT code);

  // Texts of a record's columns.
  static std::wstring time_text(const Orvo::log_time& time);
  static std::wstring type_name(int level);
  static std::wstring code_text(HRESULT code);
  static Orvo::log_clock local_clock();

  const Orvo::event_log& log() const noexcept { return m_log; }

  // Read and written by the main frame: a record at or above the attention
  // level asks for attention; the frame serves and clears the request.
  bool& m_attention;
  std::int32_t& m_attention_level;

  static constexpr WTL::update_ui_entry update_ui_map[] = {
      {IDC_LOG_CLEAR, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_CHILDWINDOW},
      {IDC_LOG_COPY, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_CHILDWINDOW},
      {IDC_LOG_STATUS1, WTL::UPDUI_CHILDWINDOW},
      {IDC_LOG_STATUS2, WTL::UPDUI_CHILDWINDOW},
  };

  BEGIN_MSG_MAP(CLogWindow)
  CHAIN_MSG_MAP(CDialogView<CLogWindow>)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
  COMMAND_ID_HANDLER(IDC_LOG_CLEAR, OnClear)
  COMMAND_ID_HANDLER(IDC_LOG_COPY, OnCopy)
  COMMAND_ID_HANDLER(IDC_LOG_AUTO_SCROLL, OnAutoScroll)
  COMMAND_ID_HANDLER(IDC_LOG_HIGHLIGHTING, OnHighlighting)
  COMMAND_ID_HANDLER(IDC_LOG_EVENT_LOGGING, OnEventLogging)
  COMMAND_RANGE_HANDLER(IDC_LOG_LEVEL1, IDC_LOG_LEVEL4, OnFilter)
  NOTIFY_HANDLER(IDC_LOG_LIST, LVN_GETDISPINFOW, OnGetDispInfo)
  NOTIFY_HANDLER(IDC_LOG_LIST, NM_CUSTOMDRAW, OnCustomDraw)
  NOTIFY_HANDLER(IDC_LOG_LIST, LVN_DELETEALLITEMS, OnDeleteAllItems)
  CHAIN_MSG_MAP(WTL::CUpdateUI<CLogWindow>)
  CHAIN_MSG_MAP(zel::layout::dialog_layout<CLogWindow>)
  ALT_MSG_MAP(1)
  CHAIN_MSG_MAP_MEMBER(static_cast<zel::paint_no_items<CLogList>&>(m_list))
  MESSAGE_HANDLER(WM_PAINT, OnListPaint)
  MESSAGE_HANDLER(WM_ERASEBKGND, OnListEraseBackground)
  MESSAGE_HANDLER(WM_WINDOWPOSCHANGED, OnListPositionChanged)
  MESSAGE_HANDLER(WM_FIT_COLUMNS, OnListFitColumns)
  MESSAGE_HANDLER(WM_HSCROLL, OnListHScroll)
  MESSAGE_HANDLER(WM_KEYDOWN, OnListKeyDown)
  NOTIFY_CODE_HANDLER(HDN_BEGINTRACKW, OnHeaderRefused)
  NOTIFY_CODE_HANDLER(HDN_BEGINTRACKA, OnHeaderRefused)
  NOTIFY_CODE_HANDLER(HDN_BEGINDRAG, OnHeaderRefused)
  END_MSG_MAP()

  zel::layout::node_ptr define_layout();
  BOOL OnIdle() override;

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnContextMenu(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnClear(WORD, WORD, HWND, BOOL&);
  LRESULT OnCopy(WORD, WORD, HWND, BOOL&);
  LRESULT OnAutoScroll(WORD, WORD, HWND, BOOL&);
  LRESULT OnHighlighting(WORD, WORD, HWND, BOOL&);
  LRESULT OnEventLogging(WORD, WORD, HWND, BOOL&);
  LRESULT OnFilter(WORD, WORD, HWND, BOOL&);
  LRESULT OnGetDispInfo(int, LPNMHDR, BOOL&);
  LRESULT OnCustomDraw(int, LPNMHDR, BOOL&);
  // No LVN_DELETEITEM per item: items own nothing.
  LRESULT OnDeleteAllItems(int, LPNMHDR, BOOL&) { return TRUE; }
  LRESULT OnListPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnListEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
  LRESULT OnListPositionChanged(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnListFitColumns(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnListHScroll(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnListKeyDown(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnHeaderRefused(int, LPNMHDR, BOOL&) { return TRUE; }

  // Lists record `index` when the list exists and the filter shows it.
  void show(std::size_t index);
  // Lists every shown record again.
  void refill();
  // The width left for "Message" beside the three kept columns.
  int message_width_left() const;
  void fit_columns();
  void set_up_columns();
  void set_up_tooltips();
  // Enables Clear and Copy and writes the status lines.
  void update_ui_states();
  // Places the shown records on the clipboard; throws zel::basic_com_error.
  void copy_to_clipboard();
  // Runs the list's own handling with window updates locked, then repaints.
  LRESULT locked_default(UINT, WPARAM, LPARAM);
  int string_width(const std::wstring& text);
  int message_width(std::size_t index);
  std::wstring load_text(UINT id) const;

  Orvo::event_log m_log;
  Orvo::status_texts m_status_texts;
  CLogList m_list{this};
  zel::CCommandBarXPCtrl m_command_bar;
  HIMAGELIST m_levels = nullptr;
  HWND m_tooltip = nullptr;
  WTL::CMessageLoop* m_loop = nullptr;
  int m_widest_message = -1;
  int m_time_width = -1, m_index_width = -1, m_code_width = -1;
  std::vector<int> m_message_widths;  // per record, -1 until first shown
  bool m_refilling = false;
};
