#include "toolbar_resource.h"

#include <commctrl.h>

#include "window_traits.h"

namespace WTL {

bool load_toolbar_resource(HINSTANCE instance, UINT id, toolbar_resource& out) {
  HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(241));
  if (!found) return false;
  const DWORD bytes = ::SizeofResource(instance, found);
  HGLOBAL loaded = ::LoadResource(instance, found);
  const auto* words = loaded ? static_cast<const WORD*>(::LockResource(loaded)) : nullptr;
  if (!words || bytes < 4 * sizeof(WORD) || words[0] != 1) return false;
  const WORD count = words[3];
  if (bytes < (4u + count) * sizeof(WORD)) return false;
  out.width = words[1];
  out.height = words[2];
  out.commands.assign(words + 4, words + 4 + count);
  return true;
}

HWND create_toolbar_from_resource(HWND parent, UINT id, DWORD style, UINT controlId) {
  toolbar_resource resource;
  const HINSTANCE instance = resource_instance();
  if (!load_toolbar_resource(instance, id, resource)) return nullptr;
  HWND toolbar = ::CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, style, 0, 0, 100, 100, parent,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)), instance, nullptr);
  if (!toolbar) return nullptr;
  ::SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  ::SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(resource.width, resource.height));
  int images = 0;
  for (WORD command : resource.commands) images += command != 0;
  TBADDBITMAP bitmap{instance, id};
  ::SendMessageW(toolbar, TB_ADDBITMAP, static_cast<WPARAM>(images), reinterpret_cast<LPARAM>(&bitmap));
  std::vector<TBBUTTON> buttons;
  int image = 0;
  for (WORD command : resource.commands) {
    TBBUTTON b{};
    if (command == 0) {
      b.fsStyle = BTNS_SEP;
    } else {
      b.iBitmap = image++;
      b.idCommand = command;
      b.fsState = TBSTATE_ENABLED;
      b.fsStyle = BTNS_BUTTON;
    }
    buttons.push_back(b);
  }
  ::SendMessageW(toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
  ::SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
  return toolbar;
}

}  // namespace WTL
