// The command bar under wine64: the frame's menu as buttons, command
// images, menus opened by keys and mnemonics and handed from one button to
// the next, popup items measured and drawn in the flat look, the custom
// drawing of the bar and its toolbars, a bar attached to a dialog, and odd
// menus and buttons.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/dialog.h"
#include "win/dialog_template.h"

#include "test_frame.h"
#include "win_test_support.h"

using orvo::testing::pump_messages;
using testing::ElementsAre;

namespace {

std::wstring button_text(HWND bar, int index) {
  TBBUTTON b{};
  ::SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&b));
  wchar_t text[256] = L"";
  ::SendMessageW(bar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(b.idCommand), reinterpret_cast<LPARAM>(text));
  return text;
}

LRESULT prepaint_answer(test_frame& frame, HWND from) {
  NMTBCUSTOMDRAW draw{};
  draw.nmcd.hdr = {from, 0, static_cast<UINT>(NM_CUSTOMDRAW)};
  draw.nmcd.dwDrawStage = CDDS_PREPAINT;
  return frame.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
}

// Opens button `index` and runs `step` at each idle moment of the menu
// loop with the button that is open; ends the menu if `step` leaves it open
// after 20 moments.
void run_menu(test_frame& frame, int index, std::function<void(int open, HWND popup, int moment)> step) {
  int moment = 0;
  frame.on_idle = [&](HWND popup) {
    step(frame.m_bar.GetTrackingButton(), popup, moment);
    if (++moment > 20) ::EndMenu();
  };
  frame.m_bar.PostMessage(WTL::CCommandBarCtrlBase::open_menu_message(), static_cast<WPARAM>(index), FALSE);
  pump_messages();
  frame.on_idle = nullptr;
}

TEST(CommandBar, ShowsTheFramesMenuAsDropDownButtonsAndTakesItsMenu) {
  test_frame frame;
  frame.open();
  EXPECT_EQ(frame.GetMenu(), nullptr);
  EXPECT_EQ(frame.m_bar.GetMenu(), frame.m_hMenu);
  ASSERT_EQ(frame.m_bar.SendMessage(TB_BUTTONCOUNT), 3);
  EXPECT_EQ(button_text(frame.m_bar, 1), L"&Edit");
  TBBUTTON b{};
  frame.m_bar.SendMessage(TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&b));
  EXPECT_EQ(b.fsStyle & (BTNS_DROPDOWN | BTNS_AUTOSIZE), BTNS_DROPDOWN | BTNS_AUTOSIZE);
  wchar_t name[32] = L"";
  ::GetClassNameW(frame.m_bar, name, 32);
  EXPECT_STREQ(name, L"zel::command_bar");
}

TEST(CommandBar, TakesCommandImagesFromAToolbarResourceAndIcons) {
  test_frame frame;
  frame.open();
  WTL::CCommandBarCtrlBase& bar = frame.m_bar;
  EXPECT_EQ(bar.GetImageIndex(ID_FILE_NEW), 0);
  EXPECT_EQ(bar.GetImageIndex(ID_EDIT_COPY), 2);  // the separator has no image
  EXPECT_EQ(bar.GetImageIndex(ID_APP_EXIT), -1);
  EXPECT_EQ(bar.m_szButton.cx, 22);
  EXPECT_EQ(bar.m_szButton.cy, 22);
  HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
  ASSERT_TRUE(bar.AddIcon(icon, ID_FILE_NEW));
  EXPECT_EQ(bar.GetImageIndex(ID_FILE_NEW), 4);
}

TEST(CommandBar, ItsBandHasNoGripperAndTheToolbarBandKeepsItsStyle) {
  test_frame frame;
  frame.open();
  REBARBANDINFOW band{};
  band.cbSize = sizeof band;
  band.fMask = RBBIM_STYLE;
  ::SendMessageW(frame.m_hWndToolBar, RB_GETBANDINFOW, 0, reinterpret_cast<LPARAM>(&band));
  EXPECT_TRUE(band.fStyle & RBBS_NOGRIPPER);
  ::SendMessageW(frame.m_hWndToolBar, RB_GETBANDINFOW, 1, reinterpret_cast<LPARAM>(&band));
  EXPECT_FALSE(band.fStyle & RBBS_NOGRIPPER);
  RECT barBorders{}, toolbarBorders{};
  ::SendMessageW(frame.m_hWndToolBar, RB_GETBANDBORDERS, 0, reinterpret_cast<LPARAM>(&barBorders));
  ::SendMessageW(frame.m_hWndToolBar, RB_GETBANDBORDERS, 1, reinterpret_cast<LPARAM>(&toolbarBorders));
  EXPECT_LT(barBorders.left, toolbarBorders.left);
}

TEST(CommandBar, ColoursFollowTheSystemColoursAndTheScreenDepth) {
  test_frame frame;
  frame.open();
  HDC screen = ::GetDC(nullptr);
  const int bits = ::GetDeviceCaps(screen, BITSPIXEL), planes = ::GetDeviceCaps(screen, PLANES);
  ::ReleaseDC(nullptr, screen);
  auto sys = [](int index) { return zel::colour::from_value(::GetSysColor(index)); };
  const zel::command_bar::bar_colours expected =
      zel::command_bar::compute_colours({sys(COLOR_WINDOW), sys(COLOR_WINDOWTEXT), sys(COLOR_BTNFACE),
                                         sys(COLOR_BTNSHADOW), sys(COLOR_HOTLIGHT), sys(COLOR_HIGHLIGHT)},
                                        bits, planes);
  EXPECT_EQ(frame.m_bar.m_clrMenuBackground, expected.menu_background.value());
  EXPECT_EQ(frame.m_bar.m_clrSelectionBackground, expected.selection_background.value());
  EXPECT_EQ(frame.m_bar.m_clrCheckedBackground, expected.checked_background.value());
}

TEST(CommandBar, DrawsItsOwnButtonsAndListedToolbarsOnly) {
  test_frame frame;
  frame.open();
  EXPECT_EQ(prepaint_answer(frame, frame.m_toolbar), CDRF_NOTIFYITEMDRAW);
  HWND other =
      ::CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr, WS_CHILD, 0, 0, 10, 10, frame, nullptr, nullptr, nullptr);
  EXPECT_EQ(prepaint_answer(frame, other), CDRF_DODEFAULT);
  EXPECT_EQ(prepaint_answer(frame, frame.m_hWndToolBar), CDRF_DODEFAULT);
  EXPECT_EQ(prepaint_answer(frame, frame.m_bar), CDRF_NOTIFYITEMDRAW);
}

TEST(CommandBar, HidesAccessKeyUnderlinesExceptAfterAltWithALetter) {
  test_frame frame;
  frame.open();
  zel::CCommandBarXPCtrl& bar = frame.m_bar;
  EXPECT_TRUE(bar.button_text_format(false) & DT_HIDEPREFIX);
  frame.PostMessage(WM_SYSKEYDOWN, 'Q', 0x20000000);
  pump_messages();
  EXPECT_FALSE(bar.button_text_format(false) & DT_HIDEPREFIX);
  frame.on_idle = [](HWND) { ::EndMenu(); };  // Alt+Space opens the system menu
  frame.PostMessage(WM_SYSKEYDOWN, VK_SPACE, 0x20000000);
  pump_messages();
  EXPECT_TRUE(bar.button_text_format(false) & DT_HIDEPREFIX);
  frame.PostMessage(WM_SYSKEYDOWN, 'Q', 0x20000000);
  pump_messages();
  EXPECT_FALSE(bar.button_text_format(false) & DT_HIDEPREFIX);
  bar.SendMessage(WM_KILLFOCUS);
  EXPECT_TRUE(bar.button_text_format(false) & DT_HIDEPREFIX);
}

TEST(CommandBar, RightAndLeftHandTheMenuToTheNextAndBackAndAClickSendsACommand) {
  test_frame frame;
  frame.open();
  std::vector<int> opened;
  run_menu(frame, 0, [&](int open, HWND, int) {
    if (opened.empty() || opened.back() != open) {
      opened.push_back(open);
      if (opened.size() == 1) ::PostMessageW(frame, WM_KEYDOWN, VK_RIGHT, 0);
      if (opened.size() == 2) ::PostMessageW(frame, WM_KEYDOWN, VK_LEFT, 0);
      if (opened.size() == 3) ::PostMessageW(frame, WM_KEYDOWN, VK_LEFT, 0);  // wraps to the last
      if (opened.size() == 4) {
        ::PostMessageW(frame, WM_KEYDOWN, VK_ESCAPE, 0);
      }
    }
  });
  EXPECT_THAT(opened, ElementsAre(0, 1, 0, 2));
  EXPECT_FALSE(frame.m_bar.IsMenuOpen());

  run_menu(frame, 0, [&](int, HWND, int moment) {
    if (moment == 0) {
      ::PostMessageW(frame, WM_KEYDOWN, VK_DOWN, 0);
      ::PostMessageW(frame, WM_KEYDOWN, VK_RETURN, 0);
    }
  });
  EXPECT_THAT(frame.commands, ElementsAre(ID_FILE_NEW));
}

TEST(CommandBar, OpenMenuHasItsButtonPressedAndItsItemsDrawnByTheBarUntilItCloses) {
  test_frame frame;
  frame.open();
  bool pressed = false;
  size_t records = 0;
  UINT type = 0;
  RECT button{}, popupRect{};
  run_menu(frame, 1, [&](int open, HWND popup, int) {
    pressed = frame.m_bar.SendMessage(TB_ISBUTTONPRESSED, 1) != 0;
    records = frame.m_bar.GetItemRecordCount();
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    ::GetMenuItemInfoW(::GetSubMenu(frame.m_hMenu, 1), 0, TRUE, &info);
    type = info.fType;
    frame.m_bar.SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(open), reinterpret_cast<LPARAM>(&button));
    ::MapWindowPoints(frame.m_bar, nullptr, reinterpret_cast<POINT*>(&button), 2);
    ::GetWindowRect(popup, &popupRect);
    ::EndMenu();
  });
  EXPECT_TRUE(pressed);
  EXPECT_EQ(records, 3u);
  EXPECT_TRUE(type & MFT_OWNERDRAW);
  EXPECT_EQ(popupRect.top, button.bottom);
  EXPECT_EQ(frame.m_bar.GetItemRecordCount(), 0u);
  wchar_t text[64] = L"";
  ::GetMenuStringW(::GetSubMenu(frame.m_hMenu, 1), 0, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"&Copy\tCtrl+C");
  EXPECT_FALSE(frame.m_bar.SendMessage(TB_ISBUTTONPRESSED, 1));
}

TEST(CommandBar, AltF10AndMnemonicsOpenMenusWithoutTheSystemMenu) {
  test_frame frame;
  frame.open();
  std::vector<int> opened;
  frame.on_idle = [&](HWND) {
    opened.push_back(frame.m_bar.GetTrackingButton());
    ::EndMenu();
  };
  frame.watch_from = WM_ENTERMENULOOP;
  frame.watch_to = WM_ENTERMENULOOP;
  // Alt alone: keyboard mode on the first button; Right, then Down opens Edit.
  frame.PostMessage(WM_SYSKEYDOWN, VK_MENU, 0x20000000);
  frame.PostMessage(WM_SYSKEYUP, VK_MENU, 0xC0000000);
  pump_messages();
  EXPECT_TRUE(frame.m_bar.IsKeyboardMode());
  EXPECT_EQ(frame.m_bar.SendMessage(TB_GETHOTITEM), 0);
  frame.PostMessage(WM_KEYDOWN, VK_RIGHT, 0);
  frame.PostMessage(WM_KEYDOWN, VK_DOWN, 0);
  pump_messages();
  // F10, then Escape: nothing opens.
  frame.PostMessage(WM_SYSKEYDOWN, VK_F10, 0);
  frame.PostMessage(WM_SYSKEYUP, VK_F10, 0xC0000000);
  pump_messages();
  EXPECT_TRUE(frame.m_bar.IsKeyboardMode());
  frame.PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
  pump_messages();
  EXPECT_FALSE(frame.m_bar.IsKeyboardMode());
  // Alt+E, and a menu character posted by another window.
  frame.PostMessage(WM_SYSCHAR, 'e', 0x20000000);
  pump_messages();
  frame.PostMessage(WM_MENUCHAR, MAKEWPARAM('v', MF_POPUP), 0);
  pump_messages();
  EXPECT_THAT(opened, ElementsAre(1, 1, 2));
  EXPECT_EQ(frame.seen.size(), 3u);  // one menu loop per menu opened: none for the system menu
}

TEST(CommandBar, DrawsAShortcutAtTheRightAndADisabledImageEmbossed) {
  test_frame frame;
  frame.open();
  zel::CCommandBarXPCtrl& bar = frame.m_bar;
  const int cx = 200, cy = 24;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = ::CreateCompatibleDC(nullptr);
  HBITMAP target = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ::SelectObject(dc, target);
  auto pixel = [&](int x, int y) {
    ::GdiFlush();
    const DWORD p = static_cast<const DWORD*>(bits)[y * cx + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  };
  DRAWITEMSTRUCT draw{ODT_MENU, 0, ID_EDIT_COPY, ODA_DRAWENTIRE, 0, nullptr, dc, {0, 0, cx, cy}, 0};

  WTL::command_bar_item copy;
  copy.text = L"Copy\tCtrl+C";
  copy.id = ID_EDIT_COPY;
  bar.draw_item(bar, copy, draw);
  int rightmost = -1;
  for (int x = 0; x < cx; ++x) {
    for (int y = 0; y < cy; ++y) {
      if (pixel(x, y) == bar.m_clrWindowText) rightmost = x;
    }
  }
  const int textRight = cx - bar.m_szButton.cx;
  EXPECT_LT(rightmost, textRight);
  EXPECT_GE(rightmost, textRight - 6);  // the last glyph's side bearing

  // Disabled, with no disabled image list: the image's dark pixels in the
  // shadow colour, their copy one pixel right and down in the highlight.
  WTL::command_bar_item paste;
  paste.text = L"Paste";
  paste.image = bar.GetImageIndex(ID_EDIT_PASTE);
  draw.itemState = ODS_GRAYED;
  bar.draw_item(bar, paste, draw);
  const zel::rect at =
      zel::command_bar::centred(zel::command_bar::place_item({0, 0, cx, cy}, {22, 22}).image_square, {16, 16});
  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  int checked = 0;
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      const bool dark = x >= 3 && x < 13 && y >= 3 && y < 13;  // the image's square, on the mask colour
      const bool darkBefore = x >= 4 && x < 14 && y >= 4 && y < 14;
      if (dark) {
        EXPECT_EQ(pixel(at.left + x, at.top + y), shadow) << x << "," << y;
        ++checked;
      } else if (darkBefore) {
        EXPECT_EQ(pixel(at.left + x, at.top + y), light) << x << "," << y;
        ++checked;
      }
    }
  }
  EXPECT_EQ(checked, 100 + 19);

  // Checked, without an image: a mark in the menu text colour.
  WTL::command_bar_item radio;
  radio.text = L"Radio";
  radio.type = MFT_RADIOCHECK;
  draw.itemState = ODS_CHECKED;
  bar.draw_item(bar, radio, draw);
  int marked = 0;
  for (int y = 0; y < cy; ++y) {
    for (int x = 0; x < 22; ++x) marked += pixel(x, y) == ::GetSysColor(COLOR_MENUTEXT);
  }
  EXPECT_GT(marked, 0);

  // An image index the list does not have draws no image and no harm.
  WTL::command_bar_item stray;
  stray.text = L"Stray";
  stray.image = 99;
  draw.itemState = 0;
  bar.draw_item(bar, stray, draw);
  ::DeleteDC(dc);
  ::DeleteObject(target);
}

TEST(CommandBar, MeasuresSeparatorsFlatAndTheDefaultItemInBold) {
  test_frame frame;
  frame.open();
  zel::CCommandBarXPCtrl& bar = frame.m_bar;
  WTL::command_bar_item item;
  item.text = L"Status bar";
  MEASUREITEMSTRUCT plain{ODT_MENU, 0, 0, 0, 0, 0};
  bar.measure_item(bar, item, plain);
  item.state = MFS_DEFAULT;
  MEASUREITEMSTRUCT bold = plain;
  bar.measure_item(bar, item, bold);
  EXPECT_GT(bold.itemWidth, plain.itemWidth);
  EXPECT_GE(plain.itemHeight, 24u);
  item.type = MFT_SEPARATOR;
  MEASUREITEMSTRUCT separator{};
  bar.measure_item(bar, item, separator);
  EXPECT_EQ(separator.itemWidth, 0u);
  EXPECT_EQ(separator.itemHeight, 5u);
}

TEST(CommandBar, CutsLongButtonTextsAndTakesAnEmptyMenu) {
  test_frame frame;
  frame.open();
  HMENU menu = ::CreateMenu();
  ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(::CreatePopupMenu()), std::wstring(150, L'x').c_str());
  ASSERT_TRUE(frame.m_bar.AttachMenu(menu));
  EXPECT_EQ(button_text(frame.m_bar, 0).size(), 100u);
  HMENU empty = ::CreateMenu();
  EXPECT_TRUE(frame.m_bar.AttachMenu(empty));
  EXPECT_EQ(frame.m_bar.SendMessage(TB_BUTTONCOUNT), 0);
  // Foreign owner-drawn items pass to the owner.
  MEASUREITEMSTRUCT foreign{ODT_MENU, 0, 7, 0, 0, 12345};
  frame.SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&foreign));
  EXPECT_THAT(frame.owner_measured, ElementsAre(12345u));
  ::DestroyMenu(menu);
  ::DestroyMenu(empty);
}

TEST(CommandBar, AnEmptyPopupOrMenuBarOpensNothingAndKeysOnItDoNoHarm) {
  test_frame frame;
  frame.open();
  HMENU menu = ::CreateMenu();
  ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(::CreatePopupMenu()), L"&Empty");
  ASSERT_TRUE(frame.m_bar.AttachMenu(menu));
  run_menu(frame, 0, [](int, HWND, int) { ::EndMenu(); });
  EXPECT_FALSE(frame.m_bar.IsMenuOpen());
  EXPECT_EQ(frame.m_bar.GetItemRecordCount(), 0u);

  HMENU none = ::CreateMenu();
  ASSERT_TRUE(frame.m_bar.AttachMenu(none));
  frame.on_idle = [](HWND) { ::EndMenu(); };
  frame.watch_from = frame.watch_to = WM_ENTERMENULOOP;
  for (WPARAM key : {VK_F10, VK_MENU}) {
    frame.PostMessage(WM_SYSKEYDOWN, key, 0x20000000);
    frame.PostMessage(WM_SYSKEYUP, key, 0xC0000000);
    frame.PostMessage(WM_KEYDOWN, VK_RIGHT, 0);
    frame.PostMessage(WM_KEYDOWN, VK_DOWN, 0);
    pump_messages();
  }
  EXPECT_TRUE(frame.seen.empty());
  ::DestroyMenu(menu);
  ::DestroyMenu(none);
}

TEST(CommandBar, AnOwnerDrawnItemOfTheOwnerStaysTheOwnersInAnOpenMenu) {
  test_frame frame;
  frame.open();
  HMENU file = ::GetSubMenu(frame.m_hMenu, 0);
  MENUITEMINFOW own{};
  own.cbSize = sizeof own;
  own.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
  own.fType = MFT_OWNERDRAW;
  own.wID = 0x9001;
  own.dwItemData = 777;
  ASSERT_TRUE(::InsertMenuItemW(file, 99, TRUE, &own));
  size_t records = 0;
  run_menu(frame, 0, [&](int, HWND, int) {
    records = frame.m_bar.GetItemRecordCount();
    ::EndMenu();
  });
  EXPECT_EQ(records, 4u);  // New, Open, the separator, Exit
  EXPECT_THAT(frame.owner_measured, ElementsAre(777u));
  own.fMask = MIIM_FTYPE | MIIM_DATA;
  ASSERT_TRUE(::GetMenuItemInfoW(file, 0x9001, FALSE, &own));
  EXPECT_TRUE(own.fType & MFT_OWNERDRAW);
  EXPECT_EQ(own.dwItemData, 777u);
}

TEST(CommandBar, DrawsAListedToolbarsButtonWithAnOverlongTextAndAnImageItLacks) {
  test_frame frame;
  frame.open();
  const std::wstring text(150, L'w');
  TBBUTTON button{};
  button.iBitmap = 99;
  button.idCommand = 0x9002;
  button.fsState = TBSTATE_ENABLED | TBSTATE_CHECKED;
  button.fsStyle = BTNS_SHOWTEXT;
  button.iString = reinterpret_cast<INT_PTR>(text.c_str());
  ASSERT_TRUE(::SendMessageW(frame.m_toolbar, TB_INSERTBUTTONW, 0, reinterpret_cast<LPARAM>(&button)));
  ::RedrawWindow(frame.m_toolbar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RECT r{};
  ::SendMessageW(frame.m_toolbar, TB_GETRECT, 0x9002, reinterpret_cast<LPARAM>(&r));
  HDC dc = ::GetDC(frame.m_toolbar);
  EXPECT_EQ(::GetPixel(dc, r.left + 1, r.top + 1), frame.m_bar.m_clrCheckedBackground)
      << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
  ::ReleaseDC(frame.m_toolbar, dc);
}

TEST(CommandBar, AnOpenMenuSizesItsItemsFromTheMenuFontAndTheButtonSize) {
  test_frame frame;
  frame.open();
  HMENU file = ::GetSubMenu(frame.m_hMenu, 0);
  std::vector<RECT> items;
  run_menu(frame, 0, [&](int, HWND, int) {
    for (int i = 0; i < ::GetMenuItemCount(file); ++i) {
      RECT r{};
      ::GetMenuItemRect(nullptr, file, static_cast<UINT>(i), &r);
      items.push_back(r);
    }
    ::EndMenu();
  });
  ASSERT_EQ(items.size(), 4u);
  LOGFONTW font{};
  ASSERT_TRUE(::GetObjectW(frame.m_bar.m_hFont, sizeof font, &font));
  const zel::size item =
      zel::command_bar::measure_item(false, 0, {22, 22}, ::GetSystemMetrics(SM_CXMENUCHECK), font.lfHeight);
  for (int i : {0, 1, 3}) EXPECT_EQ(items[i].bottom - items[i].top, item.cy) << i;
  EXPECT_EQ(items[2].bottom - items[2].top, 5);
  // The widest text, "&New\tCtrl+N" measured as one line, sets the width;
  // the menu adds twice the menu font's mean letter width to an owner-drawn item.
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, frame.m_bar.m_hFont);
  RECT text{};
  ::DrawTextW(dc, L"&New\tCtrl+N", -1, &text, DT_SINGLELINE | DT_VCENTER | DT_CALCRECT);
  SIZE letters{};
  ::GetTextExtentPoint32W(dc, L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ", 52, &letters);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  const zel::size widest = zel::command_bar::measure_item(false, text.right - text.left, {22, 22},
                                                          ::GetSystemMetrics(SM_CXMENUCHECK), font.lfHeight);
  EXPECT_EQ(items[0].right - items[0].left, widest.cx + 2 * ((letters.cx / 26 + 1) / 2));
}

// A dialog with a toolbar, as the event log has, whose context menu an
// attached bar draws; it notes what it sees of an open menu and of its end.
class toolbar_dialog : public WTL::CDialogImpl<toolbar_dialog> {
 public:
  const zel::CCommandBarXPCtrl* m_bar = nullptr;
  LONG_PTR m_own = 0;  // its window procedure before the bar came
  std::vector<std::string> log;

  BEGIN_MSG_MAP(toolbar_dialog)
  MESSAGE_HANDLER(WM_ENTERIDLE, OnEnterIdle)
  MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
  MESSAGE_HANDLER(WM_NCDESTROY, OnNcDestroy)
  END_MSG_MAP()

  LRESULT OnEnterIdle(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    if (wParam == MSGF_MENU) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_FTYPE | MIIM_DATA;
      HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(reinterpret_cast<HWND>(lParam), MN_GETHMENU, 0, 0));
      ::GetMenuItemInfoW(menu, 0, TRUE, &info);
      const auto* record = reinterpret_cast<const WTL::command_bar_item*>(info.dwItemData);
      if ((info.fType & MFT_OWNERDRAW) && record) log.push_back("image " + std::to_string(record->image));
      ::EndMenu();
    }
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    log.push_back(m_bar->m_hImageList ? "destroyed before the bar let go" : "destroyed after the bar let go");
    bHandled = FALSE;
    return 0;
  }
  LRESULT OnNcDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    log.push_back(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC) == m_own ? "own procedure" : "another procedure");
    bHandled = FALSE;
    return 0;
  }
};

TEST(CommandBar, AttachedToADialogDrawsItsContextMenuAndToolbarAndLetsGoAfterIt) {
  WTL::dialog_template layout(L"log", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 200, 100);
  toolbar_dialog dialog;
  ASSERT_TRUE(dialog.Create(layout.get(), nullptr));
  HWND toolbar = WTL::create_toolbar_from_resource(dialog, IDR_TEST_FRAME,
                                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | CCS_NODIVIDER, 1);
  ASSERT_TRUE(toolbar);
  zel::CCommandBarXPCtrl bar;
  dialog.m_bar = &bar;
  dialog.m_own = ::GetWindowLongPtrW(dialog, GWLP_WNDPROC);
  ASSERT_TRUE(bar.AttachToWindow(dialog));
  bar.LoadImages(IDR_TEST_FRAME);
  bar.m_arrToolbars.push_back(toolbar);
  bar.SetupAfterCreate();

  // The toolbar paints through the dialog's answers: a checked button in the bar's colours.
  ::SendMessageW(toolbar, TB_CHECKBUTTON, ID_FILE_NEW, TRUE);
  ::RedrawWindow(toolbar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RECT button{};
  ::SendMessageW(toolbar, TB_GETRECT, ID_FILE_NEW, reinterpret_cast<LPARAM>(&button));
  HDC dc = ::GetDC(toolbar);
  EXPECT_EQ(::GetPixel(dc, button.left + 1, button.bottom - 2), bar.m_clrCheckedBackground);
  ::ReleaseDC(toolbar, dc);

  HMENU popup = ::CreatePopupMenu();
  ::AppendMenuW(popup, MF_STRING, ID_EDIT_COPY, L"Co&py");
  POINT at{20, 20};
  ::ClientToScreen(dialog, &at);
  bar.TrackPopupMenu(popup, TPM_LEFTALIGN, at.x, at.y);
  ::DestroyMenu(popup);

  ::DestroyWindow(dialog);
  EXPECT_EQ(bar.m_hWnd, nullptr);
  // A key after the end reaches no bar: the bar's message hook went with it.
  ::PostThreadMessageW(::GetCurrentThreadId(), WM_SYSKEYDOWN, VK_MENU, 0x20000000);
  ::PostThreadMessageW(::GetCurrentThreadId(), WM_SYSCHAR, 'e', 0x20000000);
  pump_messages();
  EXPECT_FALSE(bar.IsMenuOpen());
  EXPECT_THAT(dialog.log, ElementsAre("image 2", "destroyed before the bar let go", "own procedure"));
}

}  // namespace
