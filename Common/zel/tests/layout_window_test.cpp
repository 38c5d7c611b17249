// Dialog layout on real dialogs under wine64: the protocol details dialog
// of the gallery and two small dialogs of this test's resources. The rules'
// arithmetic is the core's; these tests check what the dialog adds: the
// first layout, the grip, the minimum size, the hidden group boxes and
// redrawing around a layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>

#include "layout_window_test_resources.h"
#include "protocol_details_dialog.h"
#include "win/gdi.h"
#include "zel/errors.h"

namespace {

using namespace zel::layout;

// A dialog of resource Idd whose tree the test gives.
template <int Idd>
class tree_dialog : public WTL::CDialogImpl<tree_dialog<Idd>>, public dialog_layout<tree_dialog<Idd>> {
 public:
  enum { IDD = Idd };
  BEGIN_MSG_MAP(tree_dialog)
  MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
  CHAIN_MSG_MAP(dialog_layout<tree_dialog>)
  END_MSG_MAP()

  explicit tree_dialog(std::function<node_ptr()> tree) : m_tree(std::move(tree)) {}
  ~tree_dialog() override {
    if (this->m_hWnd) ::DestroyWindow(this->m_hWnd);
  }
  node_ptr define_layout() { return m_tree(); }
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    this->initialize_layout();
    return TRUE;
  }
  std::function<node_ptr()> m_tree;
};

// The gallery's dialog, hidden unless a test shows it: Wine takes a while
// to let a shown top-level window go when no window manager answers.
struct details : protocol_details_dialog {
  details() { Create(nullptr); }
  ~details() override {
    if (m_hWnd) DestroyWindow();
  }
};

// A control's rectangle in its dialog's client coordinates.
RECT placed(HWND dialog, int id) {
  RECT r;
  ::GetWindowRect(::GetDlgItem(dialog, id), &r);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Where the dialog manager puts a box of the resource (dialog units).
RECT designed(HWND dialog, int x, int y, int cx, int cy) {
  RECT r{x, y, cx, cy};
  ::MapDialogRect(dialog, &r);
  return {r.left, r.top, r.left + r.right, r.top + r.bottom};
}

RECT moved(RECT r, int dx_left, int dy_top, int dx_right, int dy_bottom) {
  return {r.left + dx_left, r.top + dy_top, r.right + dx_right, r.bottom + dy_bottom};
}

RECT grown_by_frame(HWND dialog, RECT inner) {
  RECT frame{COMMENT_FRAME};
  ::MapDialogRect(dialog, &frame);
  return {inner.left - frame.left, inner.top - frame.top, inner.right + frame.right, inner.bottom + frame.bottom};
}

RECT client_of(HWND window) {
  RECT r;
  ::GetClientRect(window, &r);
  return r;
}

void resize_by(HWND window, int dx, int dy) {
  RECT r;
  ::GetWindowRect(window, &r);
  ::SetWindowPos(window, nullptr, 0, 0, r.right - r.left + dx, r.bottom - r.top + dy, SWP_NOMOVE | SWP_NOZORDER);
}

// A rectangle as gtest prints it.
std::array<LONG, 4> edges(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

bool visible_bit(HWND window) { return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

}  // namespace

namespace {

#define EXPECT_RECT_EQ(a, b) EXPECT_EQ(edges(a), edges(b))

TEST(DialogLayout, TheFirstLayoutIsTheResourcesWithAGripInTheBottomRightCorner) {
  details d;
  const struct {
    int id;
    RECT box;
  } controls[] = {{IDC_NAME_LABEL, designed(d, BOX_NAME_LABEL)},
                  {IDC_NAME, designed(d, BOX_NAME)},
                  {IDC_COMMENT, designed(d, BOX_COMMENT)},
                  {IDC_SAVED, designed(d, BOX_SAVED)},
                  {IDOK, designed(d, BOX_OK)},
                  {IDCANCEL, designed(d, BOX_CANCEL)}};
  for (const auto& c : controls) {
    const RECT now = placed(d, c.id);
    EXPECT_RECT_EQ(now, c.box) << " control " << c.id;
  }
  const RECT box = placed(d, IDC_COMMENT_BOX), framed = grown_by_frame(d, placed(d, IDC_COMMENT));
  EXPECT_RECT_EQ(box, framed);

  HWND grip = d.GetDlgItem(size_grip_id);
  ASSERT_EQ(grip, d.size_grip());
  wchar_t name[32];
  ::GetClassNameW(grip, name, 32);
  EXPECT_STREQ(name, L"ScrollBar");
  const RECT at = placed(d, size_grip_id), client = client_of(d);
  EXPECT_EQ(at.right, client.right);
  EXPECT_EQ(at.bottom, client.bottom);
  // The system sizes the box (under Wine one pixel more than a scroll bar).
  EXPECT_GT(at.right - at.left, 0);
  EXPECT_LE(at.right - at.left, ::GetSystemMetrics(SM_CXVSCROLL) + 1);
  EXPECT_GT(at.bottom - at.top, 0);
  EXPECT_LE(at.bottom - at.top, ::GetSystemMetrics(SM_CYHSCROLL) + 1);

  EXPECT_TRUE(d.GetStyle() & WS_CLIPCHILDREN);
  EXPECT_TRUE(d.GetExStyle() & WS_EX_DLGMODALFRAME);
  EXPECT_FALSE(visible_bit(d.GetDlgItem(IDC_COMMENT_BOX))) << "group boxes are painted by the dialog";
  EXPECT_TRUE(visible_bit(d.GetDlgItem(IDC_COMMENT)));
}

TEST(DialogLayout, AfterAResizeEachControlFollowsItsAnchorsAndTheFrameItsControl) {
  details d;
  const RECT label = placed(d, IDC_NAME_LABEL), name = placed(d, IDC_NAME), comment = placed(d, IDC_COMMENT),
             saved = placed(d, IDC_SAVED), ok = placed(d, IDOK), cancel = placed(d, IDCANCEL);
  resize_by(d, 100, 60);
  EXPECT_RECT_EQ(placed(d, IDC_NAME_LABEL), label);
  EXPECT_RECT_EQ(placed(d, IDC_NAME), moved(name, 0, 0, 100, 0));
  EXPECT_RECT_EQ(placed(d, IDC_COMMENT), moved(comment, 0, 0, 100, 60));
  EXPECT_RECT_EQ(placed(d, IDC_COMMENT_BOX), grown_by_frame(d, moved(comment, 0, 0, 100, 60)));
  EXPECT_RECT_EQ(placed(d, IDC_SAVED), moved(saved, 0, 60, 0, 60));
  EXPECT_RECT_EQ(placed(d, IDOK), moved(ok, 100, 60, 100, 60));
  EXPECT_RECT_EQ(placed(d, IDCANCEL), moved(cancel, 100, 60, 100, 60));
  const RECT grip = placed(d, size_grip_id), client = client_of(d);
  EXPECT_EQ(grip.right, client.right);
  EXPECT_EQ(grip.bottom, client.bottom);
}

TEST(DialogLayout, MaximizingHidesTheGripRestoringShowsItMinimizingLeavesTheLayout) {
  details d;
  HWND grip = d.size_grip();
  const int from_right = client_of(d).right - placed(d, IDCANCEL).right;
  d.ShowWindow(SW_MAXIMIZE);
  EXPECT_FALSE(::IsWindowVisible(grip));
  EXPECT_GT(client_of(d).right, 500);
  EXPECT_EQ(client_of(d).right - placed(d, IDCANCEL).right, from_right) << "laid out at the maximized size";
  d.ShowWindow(SW_RESTORE);
  EXPECT_TRUE(::IsWindowVisible(grip));
  const RECT ok = placed(d, IDOK);
  d.SendMessage(WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
  EXPECT_RECT_EQ(placed(d, IDOK), ok);
  EXPECT_TRUE(::IsWindowVisible(grip));
}

TEST(DialogLayout, ATopLevelDialogCannotBeMadeSmallerThanItStarted) {
  details d;
  RECT start, now;
  d.GetWindowRect(&start);
  d.SetWindowPos(nullptr, 0, 0, 60, 40, SWP_NOMOVE | SWP_NOZORDER);
  d.GetWindowRect(&now);
  EXPECT_EQ(now.right - now.left, start.right - start.left);
  EXPECT_EQ(now.bottom - now.top, start.bottom - start.top);
}

TEST(DialogLayout, AChildDialogIsLaidOutAtLeastAtItsStartingClientSize) {
  tree_dialog<IDD_OWN_GRIP> parent([] { return container(); });
  parent.Create(nullptr);
  parent.SetWindowPos(nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
  tree_dialog<IDD_CHANNEL_PAGE> page([] {
    return container() << control(IDC_PAGE_GAIN, anchor_left | anchor_top | anchor_right)
                       << control(IDC_PAGE_APPLY, anchor_right | anchor_bottom);
  });
  ASSERT_TRUE(page.Create(parent));
  EXPECT_FALSE(page.GetExStyle() & WS_EX_DLGMODALFRAME) << "only a top-level dialog gets the frame";
  const RECT start = client_of(page), apply = placed(page, IDC_PAGE_APPLY);
  page.SetWindowPos(nullptr, 0, 0, start.right / 2, start.bottom / 2, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_RECT_EQ(placed(page, IDC_PAGE_APPLY), apply);
  page.SetWindowPos(nullptr, 0, 0, start.right + 40, start.bottom + 20, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_RECT_EQ(placed(page, IDC_PAGE_APPLY), moved(apply, 40, 20, 40, 20));
}

TEST(DialogLayout, ADialogWithItsOwnGripIdentifierGetsNoGripAndItsTreeStaysUnwrapped) {
  tree_dialog<IDD_OWN_GRIP> d([] { return container() << control(IDOK, anchor_right | anchor_bottom); });
  ASSERT_TRUE(d.Create(nullptr));
  EXPECT_EQ(d.size_grip(), nullptr);
  wchar_t name[32];
  ::GetClassNameW(d.GetDlgItem(size_grip_id), name, 32);
  EXPECT_STREQ(name, L"Static");
  const RECT ok = placed(d, IDOK), own = placed(d, IDC_OWN_GRIP);
  resize_by(d, 30, 20);
  EXPECT_RECT_EQ(placed(d, IDOK), moved(ok, 30, 20, 30, 20));
  EXPECT_RECT_EQ(placed(d, IDC_OWN_GRIP), own);
}

TEST(DialogLayout, HiddenGroupBoxesArePaintedWithTheBackground) {
  details d;
  const RECT client = client_of(d), box = placed(d, IDC_COMMENT_BOX);
  WTL::CClientDC screen(d);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  const COLORREF unpainted = RGB(255, 0, 255);
  WTL::CDCHandle(memory).FillSolidRect(client, unpainted);

  EXPECT_EQ(d.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory)), 1);
  const int middle = (box.top + box.bottom) / 2;
  EXPECT_EQ(::GetPixel(memory, box.left + 3, middle), ::GetSysColor(COLOR_BTNFACE));
  EXPECT_NE(::GetPixel(memory, box.left, middle), ::GetSysColor(COLOR_BTNFACE)) << "the frame's left line";
  EXPECT_NE(::GetPixel(memory, box.left, middle), unpainted);
  EXPECT_NE(::GetPixel(memory, box.right - 2, middle), ::GetSysColor(COLOR_BTNFACE)) << "the frame's right line";
  EXPECT_NE(::GetPixel(memory, (box.left + box.right) / 2, box.bottom - 2), ::GetSysColor(COLOR_BTNFACE))
      << "the frame's bottom line";

  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
}

// A rule that notes whether the dialog was visible (redrawing on) when it
// was evaluated, then finds the layout invalid.
struct failing_rule : rule {
  explicit failing_rule(HWND& dialog, bool& visible) : dialog(dialog), visible(visible) {}
  int evaluate(const dialog_controls&, int, const zel::rect&) const override {
    visible = ::IsWindowVisible(dialog) != FALSE;
    exception::raise(__func__, __FILE__, __LINE__);
  }
  HWND& dialog;
  bool& visible;
};

TEST(DialogLayout, AFailingRuleReachesTheCallerWithRedrawingSwitchedBackOn) {
  HWND window = nullptr;
  bool failing = false, visible_during = true;
  tree_dialog<IDD_OWN_GRIP> d([&]() -> node_ptr {
    if (!failing) return container();
    return container(std::make_shared<failing_rule>(window, visible_during)) << control(IDOK, anchor_left);
  });
  window = d.Create(nullptr);
  d.ShowWindow(SW_SHOWNOACTIVATE);
  failing = true;
  EXPECT_THROW(d.apply_layout(), exception);
  EXPECT_FALSE(visible_during) << "redrawing is off while the tree is arranged";
  EXPECT_TRUE(d.IsWindowVisible());
}

TEST(DialogLayout, ADestroyedControlIsSkipped) {
  details d;
  const RECT ok = placed(d, IDOK);
  d.GetDlgItem(IDC_SAVED).DestroyWindow();
  EXPECT_NO_THROW(d.arrange(client_of(d).right + 20, client_of(d).bottom));
  EXPECT_RECT_EQ(placed(d, IDOK), moved(ok, 20, 0, 20, 0));
}

TEST(DialogLayout, DialogUnitsOfAWindowThatIsNoDialogRaiseAWin32Error) {
  HWND plain = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  EXPECT_THROW(window_controls(plain).dialog_units(4), zel::win32_error);
  ::DestroyWindow(plain);
}

TEST(DialogLayout, ChildWindowsAreTheDirectOnesAndGroupBoxesAreButtonsOfThatStyle) {
  tree_dialog<IDD_OWN_GRIP> parent([] { return container(); });
  parent.Create(nullptr);
  tree_dialog<IDD_CHANNEL_PAGE> page([] { return container(); });
  page.Create(parent);
  const auto children = get_child_windows(parent);
  EXPECT_EQ(children.size(), 3u) << "OK, the static and the page; not the page's controls";
  EXPECT_NE(std::find(children.begin(), children.end(), page.m_hWnd), children.end());

  details d;
  for (HWND child : get_child_windows(d)) {
    EXPECT_EQ(is_group_box(child), child == d.GetDlgItem(IDC_COMMENT_BOX)) << ::GetDlgCtrlID(child);
  }
  HWND frame = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_WHITEFRAME, 0, 0, 9, 9, d, nullptr, nullptr, nullptr);
  EXPECT_FALSE(is_group_box(frame)) << "style 7 of another class";
}

}  // namespace
