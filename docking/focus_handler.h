// The docking focus handler keeps the active look of docked panes' captions
// in step with the keyboard focus, and gives a pane that is clicked again
// the child that last had the focus inside it.
//
// The main window owns one, installs its hook when it is created and
// removes it when it is destroyed; it and every pane run the handler's map
// before their own. A pane is the window directly below a package window
// (a row of docked boxes).
#pragma once

#include <windows.h>

#include <deque>
#include <map>

namespace dockwins {

// The class of the windows that hold a row of docked boxes.
constexpr wchar_t PackageWindowClassName[] = L"CPackageWindowFrame::CPackageWindow";

class CDockingFocusHandler {
 public:
  CDockingFocusHandler() noexcept;
  ~CDockingFocusHandler();
  CDockingFocusHandler(const CDockingFocusHandler&) = delete;
  CDockingFocusHandler& operator=(const CDockingFocusHandler&) = delete;

  // The live handler (the last one made), or null.
  static CDockingFocusHandler* Instance() noexcept { return s_instance; }

  // Installs the focus hook for this thread, for the main window `frame`;
  // false when one is installed already or the system refuses.
  bool InstallHook(HWND frame) noexcept;
  // Removes the hook: 0, or the failure as an HRESULT; the handle is
  // forgotten either way.
  HRESULT RemoveHook() noexcept;
  HHOOK Hook() const noexcept { return m_hook; }

  // Records `child` as the focused child of `pane` (0: none yet); from then
  // on the pane's focus is followed.
  void RememberFocus(HWND pane, HWND child);
  // The focused child remembered for a pane (0 when none or not followed).
  HWND RememberedFocus(HWND pane) const;
  // Whether a pane's focus is followed.
  bool Follows(HWND pane) const { return m_focus.count(pane) != 0; }

  // Panes whose caption repaint is still to come.
  std::size_t PendingRepaints() const noexcept { return m_repaint.size(); }

  // The pane a window belongs to: the ancestor (or the window) whose parent
  // is a package window; 0 when it has none.
  static HWND PaneOf(HWND window) noexcept;

  // WM_MOUSEACTIVATE at a pane refocuses its child; WM_ACTIVATE of the main
  // window keeps and restores the focus across deactivation.
  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult, DWORD dwMsgMapID = 0);

 private:
  static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD);
  void OnSetFocus(HWND gaining, HWND losing);
  void ScheduleRepaint(HWND window);

  HHOOK m_hook = nullptr;
  HWND m_frame = nullptr;
  std::deque<HWND> m_repaint;    // panes whose captions wait for a repaint
  std::map<HWND, HWND> m_focus;  // pane -> child that last had the focus in it

  static CDockingFocusHandler* s_instance;
  static HWND s_saved_focus;  // the focus when the main window was last deactivated
  static ATOM s_package_atom;
};

}  // namespace dockwins
