// WTL::CUpdateUI<T>: command states (enabled, checked, text) kept in one
// place and shown on menus, toolbars, status panes and child windows.
//
//   class CMainFrame : public ..., public WTL::CUpdateUI<CMainFrame>, public WTL::CIdleHandler {
//    public:
//     static constexpr WTL::update_ui_entry update_ui_map[] = {
//         {ID_EDIT_COPY, WTL::UPDUI_MENUPOPUP | WTL::UPDUI_TOOLBAR},
//         {0, WTL::UPDUI_STATUSBAR},          // status pane 0: its id is the pane index
//     };
//     BEGIN_MSG_MAP(CMainFrame)
//       CHAIN_MSG_MAP(WTL::CUpdateUI<CMainFrame>)   // menus get their states when they open
//     END_MSG_MAP()
//     BOOL OnIdle() override {
//       UIEnable(ID_EDIT_COPY, has_selection());
//       UIUpdateToolBar();
//       UIUpdateStatusBar();
//       return FALSE;
//     }
//   };
//   // after creating the bars: UIAddToolBar(toolbar); UIAddStatusBar(status);
//
// Setting a state only records it; the UIUpdate* calls show what changed
// since their last call (everything when forced), and a popup menu shows
// every state when it opens. Ids not in the map are ignored (false).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <iterator>
#include <string>
#include <vector>

#include "message_map.h"

namespace WTL {

enum : WORD {
  UPDUI_MENUPOPUP = 0x0001,
  UPDUI_MENUBAR = 0x0002,
  UPDUI_CHILDWINDOW = 0x0004,
  UPDUI_TOOLBAR = 0x0008,
  UPDUI_STATUSBAR = 0x0010,
};

struct update_ui_entry {
  WORD id;
  WORD kinds;  // UPDUI_ flags: where the element appears
};

namespace detail {

// The states behind CUpdateUI, independent of the class using it.
class update_ui_states {
 public:
  update_ui_states(const update_ui_entry* map, size_t count);

  bool enable(WORD id, bool enabled, bool force);
  bool set_check(WORD id, int check, bool force);
  bool set_text(WORD id, LPCWSTR text, bool force);
  bool enabled(WORD id) const noexcept;
  int checked(WORD id) const noexcept;

  void add(WORD kind, HWND hWnd);
  // Shows the changed (or all) states of one kind on its windows.
  void update(WORD kind, bool force);
  // Shows every state on a popup menu about to open.
  void update_menu(HMENU menu) const;

 private:
  struct state {
    update_ui_entry entry{0, 0};
    bool enabled = true;
    int check = 0;
    std::wstring text;
    bool has_text = false;
    WORD changed = 0;  // kinds not yet shown
  };
  state* find(WORD id) noexcept;
  const state* find(WORD id) const noexcept;
  bool change(state* s, bool force);

  std::vector<state> m_states;
  std::vector<std::pair<WORD, HWND>> m_windows;
};

}  // namespace detail

template <class T>
class CUpdateUI {
 public:
  CUpdateUI() : m_ui(T::update_ui_map, std::size(T::update_ui_map)) {}

  BEGIN_MSG_MAP(CUpdateUI)
  MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
  END_MSG_MAP()

  LRESULT OnInitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
    m_ui.update_menu(reinterpret_cast<HMENU>(wParam));
    bHandled = FALSE;  // others may still fill the menu
    return 0;
  }

  BOOL UIEnable(int id, BOOL enable, BOOL force = FALSE) { return m_ui.enable(word(id), enable != FALSE, force); }
  BOOL UISetCheck(int id, int check, BOOL force = FALSE) { return m_ui.set_check(word(id), check, force); }
  BOOL UISetText(int id, LPCWSTR text, BOOL force = FALSE) { return m_ui.set_text(word(id), text, force); }
  BOOL UIIsEnabled(int id) const noexcept { return m_ui.enabled(word(id)); }
  int UIGetCheck(int id) const noexcept { return m_ui.checked(word(id)); }

  void UIAddToolBar(HWND toolbar) { m_ui.add(UPDUI_TOOLBAR, toolbar); }
  void UIAddStatusBar(HWND statusBar) { m_ui.add(UPDUI_STATUSBAR, statusBar); }
  void UIAddChildWindowContainer(HWND container) { m_ui.add(UPDUI_CHILDWINDOW, container); }
  void UIAddMenuBar(HWND owner) { m_ui.add(UPDUI_MENUBAR, owner); }

  void UIUpdateToolBar(BOOL force = FALSE) { m_ui.update(UPDUI_TOOLBAR, force); }
  void UIUpdateStatusBar(BOOL force = FALSE) { m_ui.update(UPDUI_STATUSBAR, force); }
  void UIUpdateChildWindows(BOOL force = FALSE) { m_ui.update(UPDUI_CHILDWINDOW, force); }
  void UIUpdateMenuBar(BOOL force = FALSE) { m_ui.update(UPDUI_MENUBAR, force); }

 private:
  static WORD word(int id) noexcept { return static_cast<WORD>(id); }
  detail::update_ui_states m_ui;
};

}  // namespace WTL
