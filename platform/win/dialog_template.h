// WTL::dialog_template: a dialog template built in memory, for dialogs
// that have no resource (DoModal/Create with a DLGTEMPLATE*).
//
//   WTL::dialog_template t(L"Options", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, 200, 100);
//   t.add(L"BUTTON", L"OK", IDOK, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 140, 80, 50, 14);
//   dialog.DoModal(t.get(), parent);
//
// Positions and sizes are in dialog units; the font is the one given
// (DS_SETFONT is added).
#pragma once

#include <windows.h>

#include <vector>

namespace WTL {

class dialog_template {
 public:
  dialog_template(LPCWSTR title, DWORD style, short x, short y, short cx, short cy, LPCWSTR font = L"MS Shell Dlg",
                  WORD pointSize = 8);
  // Adds a control of a registered class (L"BUTTON", L"EDIT", L"SysListView32"...).
  dialog_template& add(LPCWSTR className, LPCWSTR text, WORD id, DWORD style, short x, short y, short cx, short cy,
                       DWORD exStyle = 0);
  const DLGTEMPLATE* get() const noexcept { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

 private:
  void align_dword();
  void put(DWORD value);
  void put(LPCWSTR text);
  std::vector<WORD> m_words;
};

}  // namespace WTL
