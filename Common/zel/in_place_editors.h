// Editors of one list-view cell, opened over the cell: a text box
// (zel::CInPlaceEdit) and a drop-down list of the legal values
// (zel::in_place_list).
//
//   auto* edit = new zel::CInPlaceEdit(row, column, cell_text, loop);
//   edit->Create(list, cell_rect, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 0, 0xEDEF);
//
// An editor reports its end to the list view's parent as the list view's
// own label editing does, with LVN_ENDLABELEDITW (a null text when the user
// pressed Escape), and then closes and deletes itself: from Create on it
// owns itself, also when Create fails, and the caller keeps no pointer to
// it. While open it is a message filter of the loop given, so Enter and
// Escape reach it even inside a dialog.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win/loop.h"
#include "win/window_impl.h"

namespace zel {

namespace detail {
// Sends a label-edit notification (`code`) for cell (item, subitem) of
// `list` to the list's parent; the parent's answer.
LRESULT notify_label_edit(HWND list, UINT code, UINT mask, int item, int subitem, const wchar_t* text);
// Sends LVN_ENDLABELEDITW for cell (item, subitem) of `list` to the list's
// parent, with `text` (null: cancelled).
void notify_end_of_edit(HWND list, int item, int subitem, const wchar_t* text);
// Translates and dispatches a key the editor takes, past any dialog manager.
BOOL take_key(MSG* msg);
}  // namespace detail

// What the two editors share: the cell, the loop, the cancelled flag, the
// self-ownership and the end of the edit.
template <class T>
class in_place_editor : public WTL::CWindowImpl<T>, public WTL::CMessageFilter {
 public:
  in_place_editor(const in_place_editor&) = delete;
  in_place_editor& operator=(const in_place_editor&) = delete;

  // Creates the editor as a child of the list view over the cell. From
  // here on the object owns itself: when creation fails it is deleted
  // before Create returns null.
  HWND Create(HWND list, const RECT& cell, LPCWSTR name = nullptr, DWORD style = 0, DWORD exStyle = 0,
              UINT_PTR id = 0) noexcept {
    bool deleted = false;
    m_deleted = &deleted;
    HWND hWnd = WTL::CWindowImpl<T>::Create(list, cell, name, style, exStyle, id);
    if (deleted) return nullptr;
    m_deleted = nullptr;
    if (!hWnd) delete this;
    return hWnd;
  }

 protected:
  in_place_editor(int item, int subitem, WTL::CMessageLoop* loop) noexcept
      : m_item(item), m_subitem(subitem), m_loop(loop) {}

  // The window's end: out of the loop's filters, then gone.
  void OnFinalMessage(HWND) override {
    if (m_loop) m_loop->RemoveMessageFilter(this);
    if (m_deleted) *m_deleted = true;
    delete this;
  }

  // The user's last word: Escape cancels, Enter keeps the text; both hand
  // the focus back to the list, which ends the edit.
  bool ended_by(WPARAM key) {
    if (key != VK_ESCAPE && key != VK_RETURN) return false;
    if (key == VK_ESCAPE) m_cancelled = true;
    ::SetFocus(::GetParent(this->m_hWnd));
    return true;
  }

  // Reports the edit to the list's parent, once, and closes the editor.
  void end_edit() {
    if (m_ended) return;
    m_ended = true;
    HWND self = this->m_hWnd;
    HWND list = ::GetParent(self);
    const std::wstring text = this->GetWindowText();
    detail::notify_end_of_edit(list, m_item, m_subitem, m_cancelled ? nullptr : text.c_str());
    // The parent may have destroyed the list, and this editor with it.
    if (::IsWindow(self)) ::PostMessageW(self, WM_CLOSE, 0, 0);
  }

  void register_filter() {
    if (m_loop) m_loop->AddMessageFilter(this);
  }

  int m_item;
  int m_subitem;
  WTL::CMessageLoop* m_loop;
  bool m_cancelled = false;

 private:
  bool m_ended = false;
  bool* m_deleted = nullptr;  // told when the object is deleted during Create
};

class CInPlaceEdit : public in_place_editor<CInPlaceEdit> {
 public:
  static WTL::window_class class_traits() { return {L"zel::inplaceedit", 0, 0, nullptr, L"EDIT"}; }

  CInPlaceEdit(int item, int subitem, std::wstring text, WTL::CMessageLoop* loop)
      : in_place_editor(item, subitem, loop), m_text(std::move(text)) {}

  BEGIN_MSG_MAP(CInPlaceEdit)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_CHAR, OnChar)
  MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
  END_MSG_MAP()

  // Enter, Delete and Escape, and any key while Ctrl is held down.
  BOOL PreTranslateMessage(MSG* msg) override;

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnChar(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnKillFocus(UINT, WPARAM, LPARAM, BOOL&);

 private:
  // Widens the box to its text plus one "X", up to the list's client edge.
  void fit_text();

  std::wstring m_text;
};

class in_place_list : public in_place_editor<in_place_list> {
 public:
  static WTL::window_class class_traits() { return {L"zel::inplacelist", 0, 0, nullptr, L"COMBOBOX"}; }

  in_place_list(int item, int subitem, std::vector<std::wstring> choices, int selected, WTL::CMessageLoop* loop)
      : in_place_editor(item, subitem, loop), m_choices(std::move(choices)), m_selected(selected) {}

  BEGIN_MSG_MAP(in_place_list)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_CHAR, OnChar)
  MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
  REFLECTED_COMMAND_CODE_HANDLER(CBN_KILLFOCUS, OnReflectedEnd)
  REFLECTED_NOTIFY_CODE_HANDLER(CBEN_ENDEDITW, OnReflectedEndNotify)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

  // Enter and Escape.
  BOOL PreTranslateMessage(MSG* msg) override;

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnChar(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnKillFocus(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnReflectedEnd(WORD, WORD, HWND, BOOL&);
  LRESULT OnReflectedEndNotify(int, LPNMHDR, BOOL&);

 private:
  std::vector<std::wstring> m_choices;
  int m_selected;
};

}  // namespace zel
