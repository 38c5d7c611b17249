// zel::frame_window_impl: a frame window (top-level or child) with a rebar
// of bands, a status bar and the derived frame's own client window.
//
//   class CMainFrame : public zel::frame_window_impl<CMainFrame> {
//    public:
//     enum { IDR = 128 };  // title (string), menu and accelerators of this id
//     BEGIN_MSG_MAP(CMainFrame)
//       MESSAGE_HANDLER(WM_CREATE, OnCreate)
//       CHAIN_MSG_MAP(zel::frame_window_impl<CMainFrame>)
//     END_MSG_MAP()
//   };
//   frame.CreateEx();
//
// Layout: the rebar on top, the status bar at the bottom while shown, the
// client window (m_hWndClient) in the rest. Band n of the rebar has the id
// 0xEB00 + n. Menu selections show the command's prompt ("Status\nTip",
// string of the command's id) in the status bar; toolbar tips show its tip.
// A band's chevron opens a menu of the buttons the band hides.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "win/window_impl.h"

namespace zel {

enum : UINT { frame_first_band = 0xEB00, frame_toolbar = 0xEB01, frame_status_bar = 0xE801 };

namespace frame {
// The string resource `id` ("" when missing).
std::wstring load_string(UINT id);
// Sizes the rebar (top) and the status bar (bottom, when visible) when
// asked to, and returns the frame's client area left between them.
RECT client_area(HWND frame, HWND rebar, HWND status, BOOL resizeBars);
// Lays out rebar (top), status bar (bottom, when visible) and client.
void update_layout(HWND frame, HWND rebar, HWND status, HWND client, BOOL resizeBars);
// Adds `child` as a band of `rebar` with id 0xEB00 + its index, a chevron
// and an ideal width of the child's buttons.
bool add_band(HWND rebar, HWND child, LPCWSTR title, bool newRow, int width, bool fullWidth);
// Shows a command's status text (menu open) or the frame's own (closed).
void menu_select(HWND status, WPARAM wParam, LPARAM lParam);
// Fills a tooltip's text from its command's prompt.
void tooltip_text(NMTTDISPINFOW* info, std::wstring& store);
// The menu of the buttons a band's chevron hides, each sending its command;
// `track` opens it (screen point, exclusion rectangle) and returns when closed.
void chevron_pushed(HWND rebar, const NMREBARCHEVRON* chevron,
                    BOOL (*track)(void* context, HMENU menu, UINT flags, int x, int y, const RECT& exclude),
                    void* context);
}  // namespace frame

template <class T, class TBase = WTL::CWindow, class TWinTraits = WTL::CFrameWinTraits>
class frame_window_impl : public WTL::CWindowImpl<T, TBase, TWinTraits> {
 public:
  HWND m_hWndToolBar = nullptr;    // the rebar
  HWND m_hWndStatusBar = nullptr;  // the status bar
  HWND m_hWndClient = nullptr;     // the derived frame's view
  HMENU m_hMenu = nullptr;
  HACCEL m_hAccel = nullptr;

  // Creates the frame from resource T::IDR: its title string, menu and
  // accelerators (each optional).
  HWND CreateEx(HWND parent = nullptr, const RECT& rect = WTL::CWindow::rcDefault, DWORD style = 0, DWORD exStyle = 0,
                LPVOID param = nullptr) {
    const UINT id = T::IDR;
    const HINSTANCE instance = WTL::resource_instance();
    const std::wstring title = frame::load_string(id);
    m_hMenu = ::LoadMenuW(instance, MAKEINTRESOURCEW(id));
    m_hAccel = ::LoadAcceleratorsW(instance, MAKEINTRESOURCEW(id));
    const DWORD s = T::GetWndStyle(style);
    UINT_PTR menu = reinterpret_cast<UINT_PTR>(m_hMenu);
    if (s & WS_CHILD) menu = 0;
    return this->Create(parent, rect, title.empty() ? nullptr : title.c_str(), s, exStyle, menu, param);
  }

  bool CreateSimpleReBar(DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | RBS_VARHEIGHT |
                                       RBS_BANDBORDERS | RBS_AUTOSIZE | CCS_NODIVIDER) {
    m_hWndToolBar = ::CreateWindowExW(0, REBARCLASSNAMEW, nullptr, style, 0, 0, 100, 100, this->m_hWnd,
                                      reinterpret_cast<HMENU>(static_cast<UINT_PTR>(frame_first_band - 1)),
                                      WTL::resource_instance(), nullptr);
    if (!m_hWndToolBar) return false;
    REBARINFO info{sizeof info, 0, nullptr};
    ::SendMessageW(m_hWndToolBar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));
    return true;
  }
  bool AddSimpleReBarBand(HWND child, LPCWSTR title = nullptr, bool newRow = false, int width = 0,
                          bool fullWidth = false) {
    return frame::add_band(m_hWndToolBar, child, title, newRow, width, fullWidth);
  }
  bool CreateSimpleStatusBar(UINT id = frame_status_bar) {
    m_hWndStatusBar = ::CreateWindowExW(
        0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBARS_SIZEGRIP, 0, 0, 0, 0,
        this->m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), WTL::resource_instance(), nullptr);
    return m_hWndStatusBar != nullptr;
  }

  void UpdateLayout(BOOL resizeBars = TRUE) {
    frame::update_layout(this->m_hWnd, m_hWndToolBar, m_hWndStatusBar, m_hWndClient, resizeBars);
  }

  // The frame's accelerators; derived frames call it from PreTranslateMessage.
  BOOL TranslateAccelerator(MSG* msg) {
    return m_hAccel && msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST &&
           ::TranslateAcceleratorW(this->m_hWnd, m_hAccel, msg);
  }

  // Opens a chevron's menu; a frame with a command bar tracks it there.
  BOOL TrackChevronMenu(HMENU menu, UINT flags, int x, int y, const RECT& exclude) {
    TPMPARAMS params{sizeof params, exclude};
    return ::TrackPopupMenuEx(menu, flags, x, y, this->m_hWnd, &params);
  }

  BEGIN_MSG_MAP(frame_window_impl)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_MENUSELECT, OnMenuSelect)
  MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettings)
  MESSAGE_HANDLER(WM_SYSCOLORCHANGE, OnSettings)
  MESSAGE_HANDLER(WM_FONTCHANGE, OnSettings)
  NOTIFY_CODE_HANDLER(RBN_AUTOSIZE, OnReBarAutoSize)
  NOTIFY_CODE_HANDLER(RBN_CHEVRONPUSHED, OnChevronPushed)
  NOTIFY_CODE_HANDLER(TTN_GETDISPINFOW, OnToolTipText)
  END_MSG_MAP()

  LRESULT OnSize(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (wParam != SIZE_MINIMIZED) static_cast<T*>(this)->UpdateLayout();
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnMenuSelect(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    frame::menu_select(m_hWndStatusBar, wParam, lParam);
    bHandled = FALSE;
    return 1;
  }
  LRESULT OnSettings(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (!(this->GetStyle() & WS_CHILD)) this->SendMessageToDescendants(uMsg, wParam, lParam);
    bHandled = FALSE;
    return 1;
  }
  LRESULT OnReBarAutoSize(int, LPNMHDR, BOOL&) {
    static_cast<T*>(this)->UpdateLayout(FALSE);
    return 0;
  }
  LRESULT OnChevronPushed(int, LPNMHDR header, BOOL&) {
    frame::chevron_pushed(m_hWndToolBar, reinterpret_cast<const NMREBARCHEVRON*>(header), &track,
                          static_cast<T*>(this));
    return 0;
  }
  LRESULT OnToolTipText(int, LPNMHDR header, BOOL&) {
    frame::tooltip_text(reinterpret_cast<NMTTDISPINFOW*>(header), m_tip);
    return 0;
  }

 private:
  static BOOL track(void* self, HMENU menu, UINT flags, int x, int y, const RECT& exclude) {
    return static_cast<T*>(self)->TrackChevronMenu(menu, flags, x, y, exclude);
  }
  std::wstring m_tip;
};

}  // namespace zel
