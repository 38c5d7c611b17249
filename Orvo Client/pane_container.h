// CZELPaneContainer: the main frame's titled holder of one child window.
// A title bar on top shows the window text (cut to 80 characters) and,
// when asked for, a close button whose click sends WM_COMMAND 0xE152 with
// the container's handle to the container's parent; the client window
// fills the rest. Commands, notifications and drawing messages of the
// children go up to the parent, so the frame sees its views' messages as
// if it held them itself.
//
//   CZELPaneContainer pane(true);
//   pane.Create(splitter);
//   pane.SetClient(view);             // made a child of the container
//   pane.SetWindowText(L"Secondary View - Amplifier 1");
#pragma once

#include <windows.h>

#include <cstddef>

#include "win/window_impl.h"

class CZELPaneContainer : public WTL::CWindowImpl<CZELPaneContainer> {
 public:
  static WTL::window_class class_traits() { return {L"CZELPaneContainer", CS_DBLCLKS, COLOR_BTNFACE + 1}; }
  // The command a close-button click sends to the parent (lParam: the container).
  enum : WORD { close_command = 0xE152 };
  static constexpr std::size_t max_title = 80;

  explicit CZELPaneContainer(bool close_button = true) noexcept : m_has_close(close_button) {}
  ~CZELPaneContainer() override;
  CZELPaneContainer(const CZELPaneContainer&) = delete;
  CZELPaneContainer& operator=(const CZELPaneContainer&) = delete;

  // A visible child of `parent` with clip styles and an empty title.
  HWND Create(HWND parent, const RECT& rect = CWindow::rcDefault);

  // The window shown below the title bar (made a child of the container).
  void SetClient(HWND client);
  HWND GetClient() const noexcept { return m_client; }
  // The close button; null when the container has none.
  HWND close_button() const noexcept { return m_close; }
  // The title bar's height in pixels.
  int title_height() const noexcept { return m_title_height; }

  BEGIN_MSG_MAP(CZELPaneContainer)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_SETTEXT, OnSetText)
  MESSAGE_HANDLER(WM_SETFOCUS, OnSetFocus)
  if (uMsg == WM_COMMAND && m_close && reinterpret_cast<HWND>(lParam) == m_close)
    ORVO_MSG_CALL(OnCloseClicked(uMsg, wParam, lParam, bHandled))
  if (uMsg == WM_DRAWITEM && m_close && reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem == m_close)
    ORVO_MSG_CALL(OnDrawClose(uMsg, wParam, lParam, bHandled))
  FORWARD_NOTIFICATIONS()
  END_MSG_MAP()

 private:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSetText(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSetFocus(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnCloseClicked(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDrawClose(UINT, WPARAM, LPARAM, BOOL&);
  void place_children();

  bool m_has_close;
  HWND m_close = nullptr;
  HWND m_client = nullptr;
  int m_title_height = 18;
};
