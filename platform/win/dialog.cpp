#include "dialog.h"

#include "dialog_template.h"

namespace WTL {

namespace detail {
bool dialog_returns_directly(UINT uMsg) noexcept {
  switch (uMsg) {
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return true;
    default:
      return false;
  }
}
}  // namespace detail

dialog_template::dialog_template(LPCWSTR title, DWORD style, short x, short y, short cx, short cy, LPCWSTR font,
                                 WORD pointSize) {
  put(style | DS_SETFONT);
  put(DWORD{0});         // extended style
  m_words.push_back(0);  // item count, counted by add()
  for (short v : {x, y, cx, cy}) m_words.push_back(static_cast<WORD>(v));
  m_words.push_back(0);  // no menu
  m_words.push_back(0);  // the system's dialog class
  put(title);
  m_words.push_back(pointSize);
  put(font);
}

dialog_template& dialog_template::add(LPCWSTR className, LPCWSTR text, WORD id, DWORD style, short x, short y, short cx,
                                      short cy, DWORD exStyle) {
  align_dword();
  put(style);
  put(exStyle);
  for (short v : {x, y, cx, cy}) m_words.push_back(static_cast<WORD>(v));
  m_words.push_back(id);
  put(className);
  put(text);
  m_words.push_back(0);  // no creation data
  ++m_words[4];          // DLGTEMPLATE::cdit
  return *this;
}

void dialog_template::align_dword() {
  if (m_words.size() % 2) m_words.push_back(0);
}

void dialog_template::put(DWORD value) {
  m_words.push_back(LOWORD(value));
  m_words.push_back(HIWORD(value));
}

void dialog_template::put(LPCWSTR text) {
  for (; text && *text; ++text) m_words.push_back(static_cast<WORD>(*text));
  m_words.push_back(0);
}

}  // namespace WTL
