#include "update_ui.h"

namespace WTL::detail {

update_ui_states::update_ui_states(const update_ui_entry* map, size_t count) {
  m_states.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    state s;
    s.entry = map[i];
    m_states.push_back(std::move(s));
  }
}

update_ui_states::state* update_ui_states::find(WORD id) noexcept {
  for (auto& s : m_states) {
    if (s.entry.id == id) return &s;
  }
  return nullptr;
}
const update_ui_states::state* update_ui_states::find(WORD id) const noexcept {
  return const_cast<update_ui_states*>(this)->find(id);
}

bool update_ui_states::change(state* s, bool force) {
  if (!s) return false;
  s->changed = s->entry.kinds;
  if (force) {
    for (const auto& w : m_windows) {
      if (s->entry.kinds & w.first) update(w.first, false);
    }
  }
  return true;
}

bool update_ui_states::enable(WORD id, bool enabled, bool force) {
  state* s = find(id);
  if (!s) return false;
  if (s->enabled == enabled && !force) return true;
  s->enabled = enabled;
  return change(s, force);
}

bool update_ui_states::set_check(WORD id, int check, bool force) {
  state* s = find(id);
  if (!s) return false;
  if (s->check == check && !force) return true;
  s->check = check;
  return change(s, force);
}

bool update_ui_states::set_text(WORD id, LPCWSTR text, bool force) {
  state* s = find(id);
  if (!s) return false;
  const std::wstring now = text ? text : L"";
  if (s->has_text && s->text == now && !force) return true;
  s->text = now;
  s->has_text = true;
  return change(s, force);
}

bool update_ui_states::enabled(WORD id) const noexcept {
  const state* s = find(id);
  return s && s->enabled;
}

int update_ui_states::checked(WORD id) const noexcept {
  const state* s = find(id);
  return s ? s->check : 0;
}

void update_ui_states::add(WORD kind, HWND hWnd) {
  if (!hWnd) return;
  m_windows.emplace_back(kind, hWnd);
  update(kind, true);
}

namespace {

void show_on_menu(HMENU menu, const update_ui_entry& entry, bool enabled, int check, const std::wstring* text) {
  ::EnableMenuItem(menu, entry.id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  ::CheckMenuItem(menu, entry.id, MF_BYCOMMAND | (check ? MF_CHECKED : MF_UNCHECKED));
  if (text) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<LPWSTR>(text->c_str());
    ::SetMenuItemInfoW(menu, entry.id, FALSE, &info);
  }
}

}  // namespace

void update_ui_states::update(WORD kind, bool force) {
  for (auto& s : m_states) {
    if (!(s.entry.kinds & kind) || (!(s.changed & kind) && !force)) continue;
    s.changed = static_cast<WORD>(s.changed & ~kind);
    const std::wstring* text = s.has_text ? &s.text : nullptr;
    for (const auto& w : m_windows) {
      if (w.first != kind || !::IsWindow(w.second)) continue;
      switch (kind) {
        case UPDUI_TOOLBAR:
          ::SendMessageW(w.second, TB_ENABLEBUTTON, s.entry.id, MAKELPARAM(s.enabled, 0));
          ::SendMessageW(w.second, TB_CHECKBUTTON, s.entry.id, MAKELPARAM(s.check != 0, 0));
          break;
        case UPDUI_STATUSBAR:
          if (text) ::SendMessageW(w.second, SB_SETTEXTW, s.entry.id, reinterpret_cast<LPARAM>(text->c_str()));
          break;
        case UPDUI_CHILDWINDOW:
          if (HWND child = ::GetDlgItem(w.second, s.entry.id)) {
            ::EnableWindow(child, s.enabled);
            ::SendMessageW(child, BM_SETCHECK, static_cast<WPARAM>(s.check), 0);
            if (text) ::SetWindowTextW(child, text->c_str());
          }
          break;
        case UPDUI_MENUBAR:
          if (HMENU bar = ::GetMenu(w.second)) {
            show_on_menu(bar, s.entry, s.enabled, s.check, text);
            ::DrawMenuBar(w.second);
          }
          break;
        default:
          break;
      }
    }
  }
}

void update_ui_states::update_menu(HMENU menu) const {
  if (!::IsMenu(menu)) return;
  for (const auto& s : m_states) {
    if (s.entry.kinds & UPDUI_MENUPOPUP)
      show_on_menu(menu, s.entry, s.enabled, s.check, s.has_text ? &s.text : nullptr);
  }
}

}  // namespace WTL::detail
