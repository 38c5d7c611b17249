// CMainFrame: the client's one top-level window. It follows the amplifier
// server (connection, events, the held state), shows the status panes, the
// activity indicator and the title, is the loop's message filter and idle
// handler, parks in the tray when minimised and comes back by the tray or
// the hot key Ctrl+Alt+D, and asks before it closes.
//
//   WTL::CMessageLoop loop;
//   _Module.AddMessageLoop(&loop);
//   CMainFrame frame;
//   frame.CreateEx();   // hidden; shows itself once its creation is done
//   loop.Run();         // WM_QUIT 0 once the frame is destroyed
//
// The frame owns the event log window (CLogWindow): every record logged
// through it goes there, and the frame's idle turn serves the window's
// requests for attention (a beep; the tray blink while minimised).
// It is a docking frame: the protocol manager is a docked (or floating)
// pane, and the tabbed area in its centre holds its own views
// (CFrameViews: the system tree and the detail views) in the system tab
// and the event log in the other. It reads the session and both protocol
// libraries at creation and writes them at Exit Now; the hooks m_load_data
// and m_exit_now, when set, run in place of the data files.
#pragma once

#include <windows.h>

#include <boost/signals2/connection.hpp>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "OrvoImpl_h.h"
#include "comet/bstr.h"
#include "comet/ptr.h"
#include "core/frame_rules.h"
#include "core/records.h"
#include "data_files.h"
#include "docking_frame.h"
#include "error_report.h"
#include "focus_handler.h"
#include "frame_views.h"
#include "log_window.h"
#include "main_frame_views.h"
#include "protocol_frame_window.h"
#include "res/resource.h"
#include "server_link.h"
#include "tab_window_holder.h"
#include "tray_icon.h"
#include "win/image_list.h"
#include "win/loop.h"
#include "win/reflection.h"
#include "win/update_ui.h"
#include "zel/command_bar_xp.h"
#include "zel/frame_window.h"
#include "zel/updater_window.h"

class CMainFrame : public zel::updater_window<CMainFrame>,
                   public dockwins::CDockingFrameImplBase<CMainFrame>,
                   public WTL::CUpdateUI<CMainFrame>,
                   public WTL::CMessageFilter,
                   public WTL::CIdleHandler,
                   public WTL::CConditionalNotificationReflection<CMainFrame>,
                   public CLogSink,
                   public IServerEventHandler,
                   public view_owner {
 public:
  enum { IDR = IDR_MAINFRAME };
  // Messages, timers and the hot key of the frame.
  enum : UINT { WM_REBUILD = WM_APP + 5, WM_DEFERRED_START = WM_APP + 1000 };
  enum : UINT_PTR { activity_timer = 170, blink_timer = 204 };
  enum : int { hot_key_id = 0xACAC };

  static constexpr WTL::update_ui_entry update_ui_map[] = {
      {ID_SAVE_PROTOCOL, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_VIEW_PROTOCOL_MANAGER, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_VIEW_TOOLBAR, WTL::UPDUI_MENUPOPUP},
      {ID_VIEW_STATUS_BAR, WTL::UPDUI_MENUPOPUP},
      {ID_VIEW_DISPLAY_OPTIONS, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_VIEW_OVERVIEW, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_VIEW_SECONDARY, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_VIEW_IMPEDANCE, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_COPY_STATE, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_COPY_TEXT, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_ACTION_GLOBAL_DEBLOCK, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_REDO, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_UNDO, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {ID_PASTE, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
      {0, WTL::UPDUI_STATUSBAR},  // status panes by index
      {2, WTL::UPDUI_STATUSBAR},
      {3, WTL::UPDUI_STATUSBAR},
  };

  CMainFrame();
  ~CMainFrame() override;
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;

  // Views of the caller's (the frame does not own them) that take the
  // frame's requests in place of its own views, set before the window is
  // created; the frame's own windows are made all the same.
  void set_views(frame_views& views) noexcept { m_views = &views; }
  // The frame's own views (in use unless others were set).
  CFrameViews& own_views() noexcept { return m_frame_views; }

  // When set, these run in place of reading the data files at creation
  // (not with switch B) and in place of the steps of Exit Now before the
  // window goes (false: stay); the frame then has no data files.
  std::function<void(CMainFrame&)> m_load_data;
  std::function<bool(CMainFrame&)> m_exit_now;
  // Base folders in place of the shell's user and common data folders,
  // set before the window is created.
  void set_data_folders(std::wstring user_base, std::wstring common_base);
  // The data files once read at creation (null with a loading hook).
  CDataFiles* data_files() noexcept { return m_data_files.get(); }

  // The protocol manager's docking pane and the manager in it.
  dockwins::CRq4TabWindowHolder& protocol_pane() noexcept { return m_protocol_pane; }
  protocol_frame_window& protocol_window() noexcept { return m_protocol_window; }
  // The pane is shown, docked or floating.
  bool protocol_pane_visible() const noexcept;
  // Focus to the next (previous) pane of the cycle: impedance view, system
  // tree, primary view, secondary view, protocol manager.
  void move_to_pane(bool forward);

  // The event log window, and the records it holds, oldest first.
  CLogWindow& log_window() noexcept { return m_log_window; }
  const std::vector<Orvo::log_record>& log_records() const noexcept { return m_log_window.log().records(); }

  // The server connection (reset: Initialize after a Reset command).
  void ConnectServer(bool reset);
  void DisconnectServer() noexcept;
  Orvo::IAmplifier* server() const noexcept { return m_link.server(); }
  const CServerLink& link() const noexcept { return m_link; }

  // view_owner
  comet::com_ptr<IIdentifier> GetObjectByID(long id) override;
  bool SendSerialNumber(const VARIANT& old_number, const VARIANT& new_number) override;
  void Log(const wchar_t* text, int level, HRESULT code) override;
  IAmplifierState* held_state() const noexcept override { return m_state.get(); }
  std::vector<Orvo::wide_string> excluded_texts(const Orvo::wide_string& name) const override;

  // The one road by which a change reaches the server: SendState passes a
  // state (string or object) to SetState and warns when it was applied only
  // in part; ApplyState first keeps the current state string for Undo and,
  // once sent, empties Redo. Without a string it sends the held state.
  bool SendState(const VARIANT& state);
  bool ApplyState(const BSTR state = nullptr) override;
  // Switches global deblock of every amplifier when it differs from the
  // held state's own setting (the one the last request wrote).
  void SetGlobalDeblock(bool on);

  // The state commands (each does nothing while its command is disabled
  // when it comes as a WM_COMMAND). Undo and Redo send the back entry of
  // their history and keep the current state string in the other one;
  // the copies place Unicode text on the clipboard; Paste sends the
  // clipboard's text unexamined.
  void Undo();
  void Redo();
  void CopyAsState();
  void CopyAsText();
  void Paste();
  void Reset();
  void CheckImpedance();
  // Whether the idle turn's rules enable the command now (commands without
  // a rule always are).
  bool command_enabled(UINT id) const;

  // The system tree's selection and label edits (true: the edit is refused).
  void OnTreeSelection(long id);
  bool OnBeginLabelEdit(long id) const noexcept { return id == 0; }
  bool OnEndLabelEdit(long id, const wchar_t* text);
  void QueryImpedanceAllowed(long id);

  // Tray icon (the icon's record and its operations).
  void AddTrayIcon(HWND window, HICON icon = nullptr, const wchar_t* tip = nullptr) { m_tray.add(window, icon, tip); }
  void DeleteTrayIcon() { m_tray.remove(); }
  void ModifyTrayIcon(HICON icon) { m_tray.modify(icon); }
  const CTrayIcon& tray() const noexcept { return m_tray; }
  UINT tray_message() const noexcept { return m_tray.data().uCallbackMessage; }
  UINT shown_tray_icon() const noexcept { return m_tray_icon_id; }
  void StartBlink();
  void StopBlink();
  void RestoreFromTray();

  // What the frame shows and holds.
  std::wstring status_text() const;  // pane 0
  bool activity_showing() const noexcept { return m_activity; }
  HICON pane_icon(int id) const noexcept;  // the loaded icon of id 226 or 227
  bool initialised() const noexcept { return m_initialised; }
  bool global_deblock() const noexcept { return m_global_deblock; }
  long amplifier_count() const noexcept { return m_amplifiers; }
  bool impedance_open() const noexcept { return m_impedance_open; }
  bool impedance_allowed() const noexcept { return m_impedance_allowed; }
  const comet::bstr_t& state_string() const noexcept { return m_state_string; }

  // The active protocol, the libraries and the session.
  std::wstring m_protocol_name;
  bool m_protocol_user_specific = true;
  Orvo::protocol m_protocol;
  bool m_modified = true;
  Orvo::protocol_libraries m_libraries;
  Orvo::session_data m_session;
  std::deque<comet::bstr_t> m_undo, m_redo;
  // The protocol manager's pane, and the layout of the panes that the
  // session keeps.
  protocol_frame_window m_protocol_window{&m_libraries, true, this};
  void create_protocol_pane();
  void record_layout();

  // The protocol commands. Saving into a library asks before it loses
  // amplifiers or stores an empty protocol; both saves and the question
  // before leaving a modified protocol answer whether to go on (true:
  // saved, or nothing to save).
  bool SaveProtocol();
  bool SaveProtocolAs();
  bool SaveInto(bool user, const std::wstring& name);
  bool AskToSaveModified();
  // Makes the library's protocol the working one and sends its state.
  void OpenProtocol(bool user, const std::wstring& name);
  // The manager's selected protocol, after the question its state asks.
  void OpenFromManager();
  void UserOptions();
  void DisplayOptions();
  // Exit Now's steps: false when the user cancelled them.
  bool ExitNow();

  // Server events.
  void OnInitialize(long success, BSTR message) override;
  void OnChange(const VARIANT& state) override;
  void OnImpedance(long id, const VARIANT& values) override;
  void OnImpedanceEnd() override;
  void OnError(long code, BSTR description) override;
  void OnReset() override;

  // The loop's filter and idle turn.
  BOOL PreTranslateMessage(MSG* msg) override;
  BOOL OnIdle() override;
  // The facts the command states are made of, as the frame sees them now.
  Orvo::frame_facts facts() const;

  BEGIN_MSG_MAP(CMainFrame)
  CHAIN_MSG_MAP(zel::updater_window<CMainFrame>)
  CHAIN_MSG_MAP(dockwins::CDockingFrameImplBase<CMainFrame>)
  CHAIN_MSG_MAP(WTL::CUpdateUI<CMainFrame>)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  MESSAGE_HANDLER(WM_CLOSE, OnClose)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
  MESSAGE_HANDLER(WM_TIMER, OnTimer)
  MESSAGE_HANDLER(WM_HOTKEY, OnHotKey)
  MESSAGE_HANDLER(WM_REBUILD, OnRebuild)
  MESSAGE_HANDLER(WM_DEFERRED_START, OnDeferredStart)
  MESSAGE_HANDLER(WM_NCDESTROY, OnNcDestroy)
  MESSAGE_HANDLER(WM_CONTEXTMENU, OnContextMenu)
  if (uMsg == WM_NOTIFY && m_frame_views.tree_notification(*reinterpret_cast<const NMHDR*>(lParam), lResult))
    return TRUE;
  if (uMsg == m_tray.data().uCallbackMessage && m_tray.added())
    ORVO_MSG_CALL(OnTrayNotify(uMsg, wParam, lParam, bHandled))
  if (uMsg == m_instance_message && uMsg) ORVO_MSG_CALL(static_cast<LRESULT>(static_cast<UINT>(~uMsg)))
  if (uMsg == m_taskbar_created && uMsg) ORVO_MSG_CALL(OnTaskbarCreated(uMsg, wParam, lParam, bHandled))
  COMMAND_ID_HANDLER(ID_APP_EXIT, OnFileExit)
  COMMAND_ID_HANDLER(ID_TRAY_RESTORE, OnTrayRestore)
  COMMAND_ID_HANDLER(ID_TRAY_EXIT, OnTrayExit)
  COMMAND_ID_HANDLER(ID_REPAIR, OnRepair)
  COMMAND_ID_HANDLER(ID_HELP_CHECK_UPDATES, OnCheckForUpdates)
  COMMAND_ID_HANDLER(ID_HELP_CONFIGURE_UPDATES, OnConfigureUpdates)
  COMMAND_ID_HANDLER(ID_APP_ABOUT, OnAbout)
  COMMAND_ID_HANDLER(ID_UNDO, OnStateCommand)
  COMMAND_ID_HANDLER(ID_REDO, OnStateCommand)
  COMMAND_ID_HANDLER(ID_COPY_STATE, OnStateCommand)
  COMMAND_ID_HANDLER(ID_COPY_TEXT, OnStateCommand)
  COMMAND_ID_HANDLER(ID_PASTE, OnStateCommand)
  COMMAND_ID_HANDLER(ID_ACTION_GLOBAL_DEBLOCK, OnStateCommand)
  COMMAND_ID_HANDLER(ID_ACTION_RESET, OnStateCommand)
  COMMAND_ID_HANDLER(ID_VIEW_IMPEDANCE, OnStateCommand)
  COMMAND_ID_HANDLER(ID_SYSTEM_TAB, OnStateCommand)
  COMMAND_ID_HANDLER(ID_EVENT_LOG_TAB, OnStateCommand)
  COMMAND_ID_HANDLER(ID_VIEW_TOOLBAR, OnViewToolbar)
  COMMAND_ID_HANDLER(ID_VIEW_STATUS_BAR, OnViewStatusBar)
  COMMAND_ID_HANDLER(ID_HELP_TOPICS, OnHelpDocument)
  COMMAND_ID_HANDLER(ID_HELP_PROGREF, OnHelpDocument)
  COMMAND_ID_HANDLER(ID_HELP_MAIL, OnHelpMail)
  COMMAND_ID_HANDLER(ID_HELP_WEB, OnHelpWeb)
  COMMAND_ID_HANDLER(ID_SAVE_PROTOCOL, OnProtocolCommand)
  COMMAND_ID_HANDLER(ID_SAVE_PROTOCOL_AS, OnProtocolCommand)
  COMMAND_ID_HANDLER(ID_PROTOCOL_OPEN, OnProtocolCommand)
  COMMAND_ID_HANDLER(ID_PROTOCOL_PREVIEW, OnProtocolCommand)
  COMMAND_ID_HANDLER(ID_VIEW_USER_OPTIONS, OnProtocolCommand)
  COMMAND_ID_HANDLER(ID_VIEW_DISPLAY_OPTIONS, OnProtocolCommand)
  COMMAND_ID_HANDLER(ID_VIEW_OVERVIEW, OnViewPane)
  COMMAND_ID_HANDLER(ID_VIEW_SECONDARY, OnViewPane)
  COMMAND_ID_HANDLER(CZELPaneContainer::close_command, OnViewPane)
  COMMAND_ID_HANDLER(ID_VIEW_PROTOCOL_MANAGER, OnViewProtocolManager)
  COMMAND_ID_HANDLER(ID_NEXT_PANE, OnNextPane)
  COMMAND_ID_HANDLER(ID_PREV_PANE, OnNextPane)
  CHAIN_MSG_MAP(WTL::CConditionalNotificationReflection<CMainFrame>)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnHotKey(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnRebuild(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDeferredStart(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnNcDestroy(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTrayNotify(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTaskbarCreated(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnFileExit(WORD, WORD, HWND, BOOL&);
  LRESULT OnTrayRestore(WORD, WORD, HWND, BOOL&);
  LRESULT OnTrayExit(WORD, WORD, HWND, BOOL&);
  LRESULT OnRepair(WORD, WORD, HWND, BOOL&);
  LRESULT OnCheckForUpdates(WORD, WORD, HWND, BOOL&);
  LRESULT OnConfigureUpdates(WORD, WORD, HWND, BOOL&);
  LRESULT OnAbout(WORD, WORD, HWND, BOOL&);
  LRESULT OnStateCommand(WORD, WORD id, HWND, BOOL&);
  // The bars' toggles and the Help menu's documents, mail and web page.
  LRESULT OnViewToolbar(WORD, WORD, HWND, BOOL&);
  LRESULT OnViewStatusBar(WORD, WORD, HWND, BOOL&);
  LRESULT OnHelpDocument(WORD, WORD id, HWND, BOOL&);
  LRESULT OnHelpMail(WORD, WORD, HWND, BOOL&);
  LRESULT OnHelpWeb(WORD, WORD, HWND, BOOL&);
  // Saving, opening and previewing protocols, and the two options dialogs.
  LRESULT OnProtocolCommand(WORD, WORD id, HWND, BOOL&);
  // The panes: Overview, Secondary View and the containers' close buttons,
  // Protocol Manager, next and previous pane, the View menu at a click.
  LRESULT OnContextMenu(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnViewPane(WORD, WORD id, HWND sender, BOOL&);
  LRESULT OnViewProtocolManager(WORD, WORD, HWND, BOOL&);
  LRESULT OnNextPane(WORD, WORD id, HWND, BOOL&);

  // The toolbar in band 0xEB01 (null when it could not be made).
  HWND toolbar() const noexcept { return m_toolbar; }

  zel::CCommandBarXPCtrl m_CmdBar;

 private:
  // CLogSink: records go to the log, failures set the error status.
  void add_record(const std::wstring& text, int level, HRESULT code) override;
  void set_status_text(const std::wstring& text) override { m_status = text; }
  void set_status(UINT id);

  void create_bars();
  void create_panes();
  void create_log_window(HWND parent);
  void place_protocol_pane();
  void apply_layout();
  void show_overview(bool show);
  void show_secondary(bool show);
  bool serve_attention();
  void update_command_states();
  void create_toolbar();
  void show_toolbar(bool show);
  void layout_status_bar(const std::vector<std::wstring>& property_texts);
  void place_status_panes();
  void show_activity();
  void close_impedance();
  void event_start(const wchar_t* name, bool ready = true);
  std::wstring object_title(const wchar_t* prefix, long id);
  void update_panes();
  void send_history_entry(std::deque<comet::bstr_t>& from, std::deque<comet::bstr_t>& to);
  void copy_to_clipboard(const std::function<void(std::wostream&)>& write);
  bool filter_deblock_key(const MSG& msg);
  // The data files at creation, and the last protocol at the deferred start.
  void load_data_files();
  void open_last_protocol();
  // The active and last protocol follow a rename or move in a library and
  // are cleared when their protocol is deleted.
  void follow_relocation(const Orvo::protocol_place& from, const std::optional<Orvo::protocol_place>& to);
  void save_session();

  // First in, last out: whatever the other members log on their way out
  // still has a log to go to.
  CLogWindow m_log_window;
  frame_views* m_views;
  null_frame_views m_no_views;
  CFrameViews m_frame_views{*this};  // the views unless others were set
  dockwins::CDockingFocusHandler m_focus_handler;
  dockwins::CRq4TabWindowHolder m_protocol_pane;
  CServerLink m_link;
  comet::com_ptr<IAmplifierState> m_state;
  comet::bstr_t m_state_string;
  bool m_initialised = false, m_global_deblock = false;
  long m_amplifiers = 0;
  bool m_impedance_open = false, m_impedance_allowed = false, m_overview_was_visible = false;
  std::wstring m_status;

  HICON m_icon_idle = nullptr, m_icon_data = nullptr, m_icon_tray = nullptr, m_icon_blink = nullptr;
  bool m_activity = false;
  CTrayIcon m_tray;
  UINT m_tray_icon_id = IDR_MAINFRAME;
  bool m_blinking = false;
  UINT m_taskbar_created = 0;
  UINT m_instance_message = 0;
  std::vector<int> m_pane_widths;  // panes 1 and up
  std::wstring m_title;
  bool m_deblock_key_down = false;  // a Ctrl+Space key-down was taken
  HWND m_toolbar = nullptr;
  WTL::CImageList m_toolbar_images, m_toolbar_hot_images;
  std::wstring m_user_data_base, m_common_data_base;
  std::unique_ptr<CDataFiles> m_data_files;
  boost::signals2::scoped_connection m_relocation;
  bool m_opening = false;  // an open from the manager runs
};
