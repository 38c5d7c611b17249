// The detail views under wine64 on a real two-amplifier state (amplifier
// models 0 and 1) served by a small recording owner: what they list, how
// cells are edited in place with the loop running, how the keys and the
// mouse move the focus cell, and how the column layout follows the header.
// The rules below the windows (key moves, widths, layouts, exclusions,
// serial number texts) are tested in the cores' own tests.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "comet/variant.h"
#include "core/object_id.h"
#include "detail_views.h"
#include "orvo_module.h"
#include "state_fixture.h"
#include "state_walk.h"
#include "ui_seams.h"
#include "zel/in_place_editors.h"

namespace {

using namespace orvo::impl;
using orvo::impl::testing::MakeState;

// Serves a real state and notes what the views ask of it.
class recording_owner : public view_owner {
 public:
  struct serial_request {
    VARTYPE old_type;
    VARTYPE new_type;
    std::wstring text;
  };
  struct record {
    std::wstring text;
    int level;
    HRESULT code;
  };

  comet::com_ptr<IAmplifierState> state;
  std::vector<record> logs;
  std::vector<serial_request> serials;
  bool serial_accepted = true;
  int applied = 0;
  std::map<Orvo::wide_string, std::vector<Orvo::wide_string>> exclusions;

  comet::com_ptr<IIdentifier> GetObjectByID(long id) override {
    return comet::query<IIdentifier>(get_object_by_id(comet::checked(state), id));
  }
  bool SendSerialNumber(const VARIANT& old_number, const VARIANT& new_number) override {
    serials.push_back({old_number.vt, new_number.vt, new_number.vt == VT_BSTR ? new_number.bstrVal : L""});
    return serial_accepted;
  }
  void Log(const wchar_t* text, int level, HRESULT code) override { logs.push_back({text, level, code}); }
  IAmplifierState* held_state() const noexcept override { return state.get(); }
  bool ApplyState(const BSTR) override {
    ++applied;
    return true;
  }
  std::vector<Orvo::wide_string> excluded_texts(const Orvo::wide_string& name) const override {
    const auto it = exclusions.find(name);
    return it == exclusions.end() ? std::vector<Orvo::wide_string>{} : it->second;
  }
};

// A top-level window that reflects its children's notifications, as the frame does.
class CViewHost : public WTL::CWindowImpl<CViewHost, WTL::CWindow, WTL::CFrameWinTraits> {
 public:
  BEGIN_MSG_MAP(CViewHost)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()
};

// A state of one amplifier per model given, in that order.
comet::com_ptr<IAmplifierState> amplifiers_of_models(const std::vector<std::uint32_t>& models) {
  TAmplifierMemoryCollection images;
  for (std::size_t i = 0; i < models.size(); ++i) images.Add(static_cast<std::uint8_t>(i), models[i], TMemory());
  return MakeState(images).as<IAmplifierState>();
}

comet::com_ptr<IAmplifierState> two_amplifiers() { return amplifiers_of_models({0, 1}); }

std::wstring value_of(IProperty* property) {
  comet::variant_t value;
  EXPECT_EQ(property->get_Value(value.out()), S_OK);
  return value_text(value.get());
}

comet::com_ptr<IProperty> property_of(IAmplifierState* state, long id, const wchar_t* name) {
  auto collection = comet::query<ICollection>(get_object_by_id(state, id));
  comet::com_ptr<IDispatch> item;
  collection->get_Item(comet::variant_t(name).get(), item.put());
  return comet::query<IProperty>(item);
}

std::vector<std::wstring> legal_values(IProperty* property) {
  std::vector<std::wstring> values;
  for_each_property_value(property, [&](const std::wstring& v) { values.push_back(v); });
  return values;
}

// Counts the WM_SETREDRAW messages sent to one window while it lives.
class redraw_messages {
 public:
  explicit redraw_messages(HWND window) {
    s_window = window;
    s_count = 0;
    m_hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &seen, nullptr, ::GetCurrentThreadId());
  }
  ~redraw_messages() { ::UnhookWindowsHookEx(m_hook); }
  redraw_messages(const redraw_messages&) = delete;
  redraw_messages& operator=(const redraw_messages&) = delete;
  int count() const noexcept { return s_count; }

 private:
  static LRESULT CALLBACK seen(int code, WPARAM wparam, LPARAM lparam) {
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && message->hwnd == s_window && message->message == WM_SETREDRAW) ++s_count;
    return ::CallNextHookEx(nullptr, code, wparam, lparam);
  }
  static HWND s_window;
  static int s_count;
  HHOOK m_hook;
};
HWND redraw_messages::s_window = nullptr;
int redraw_messages::s_count = 0;

class DetailViews : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_host = new CViewHost;
    s_host->Create(nullptr, RECT{10, 10, 1210, 610}, L"Views");
    s_host->ShowWindow(SW_SHOW);
    ::SetForegroundWindow(*s_host);
  }
  static void TearDownTestSuite() {
    s_host->DestroyWindow();
    delete s_host;
  }
  void SetUp() override {
    owner.state = two_amplifiers();
    channels.Create(*s_host, RECT{0, 0, 1180, 300}, nullptr, 0, 0, 101);
    amplifiers.Create(*s_host, RECT{0, 300, 1180, 560}, nullptr, 0, 0, 102);
    previous_box = Orvo::set_message_box_hook([this](const MSGBOXPARAMSW& p) {
      boxes.push_back({p.lpszCaption ? p.lpszCaption : L"", p.lpszText ? p.lpszText : L"", p.dwStyle});
      return box_answer;
    });
    previous_beep = Orvo::set_beep_hook([this](UINT type) { beeps.push_back(type); });
  }
  void TearDown() override {
    Orvo::set_message_box_hook(previous_box);
    Orvo::set_beep_hook(previous_beep);
    channels.DestroyWindow();
    amplifiers.DestroyWindow();
    pump();
  }

  // Runs the queue through the loop's filters, as the program's loop does.
  void pump() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!loop.PreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
      }
    }
  }
  void press(HWND target, WPARAM key) {
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    pump();
  }
  int column_of(HWND list, const wchar_t* name) {
    const int count = zel::detail::list_column_count(list);
    for (int i = 0; i < count; ++i) {
      if (header_texts(list)[static_cast<std::size_t>(i)] == name) return i;
    }
    ADD_FAILURE() << "no column " << std::string(name, name + wcslen(name));
    return -1;
  }
  static std::vector<std::wstring> header_texts(HWND list) {
    std::vector<std::wstring> names;
    const int count = zel::detail::list_column_count(list);
    for (int i = 0; i < count; ++i) {
      wchar_t buffer[128] = {};
      LVCOLUMNW c{};
      c.mask = LVCF_TEXT;
      c.pszText = buffer;
      c.cchTextMax = 128;
      ::SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
      names.push_back(buffer);
    }
    return names;
  }
  static std::wstring cell(HWND list, int row, int column) {
    wchar_t buffer[128] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 128;
    ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
  }
  static long row_id(HWND list, int row) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    ::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return static_cast<long>(item.lParam);
  }
  std::vector<long> channel_ids() {
    std::vector<long> ids;
    for_each_amplifier(owner.state.get(), [&](const comet::com_ptr<IAmplifier>& a) {
      for_each_channel_collection(a.get(), [&](const comet::com_ptr<ICollection>& c) {
        LONG id = 0;
        c->get_ID(&id);
        ids.push_back(id);
      });
    });
    return ids;
  }
  // Opens the editor of a cell with Enter; the editor window or null.
  HWND open_editor(CDetailView& view, int row, int column) {
    view.set_focus_cell({row, column});
    ::SetFocus(view);
    press(view, VK_RETURN);
    if (HWND list = ::GetDlgItem(view, CDetailView::list_id)) return list;
    return ::GetDlgItem(view, CDetailView::edit_id);
  }
  std::vector<std::wstring> combo_items(HWND combo) {
    std::vector<std::wstring> items;
    const int n = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      wchar_t buffer[128] = {};
      ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
      items.push_back(buffer);
    }
    return items;
  }
  std::wstring held_value(long id, const wchar_t* name) {
    return value_of(property_of(owner.state.get(), id, name).get());
  }

  static HWND header_of(HWND list) { return reinterpret_cast<HWND>(::SendMessageW(list, LVM_GETHEADER, 0, 0)); }
  static RECT header_item(HWND list, int column) {
    RECT r{};
    ::SendMessageW(header_of(list), HDM_GETITEMRECT, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&r));
    return r;
  }
  static LPARAM at(LONG x, LONG y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }
  // The mouse presses the header at `from`, moves in steps to `to` and lets go.
  void mouse_on_header(HWND list, POINT from, POINT to) {
    const HWND header = header_of(list);
    ::SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at(from.x, from.y));
    for (int step = 1; step <= 4; ++step) {
      ::SendMessageW(header, WM_MOUSEMOVE, MK_LBUTTON,
                     at(from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4));
    }
    ::SendMessageW(header, WM_LBUTTONUP, 0, at(to.x, to.y));
    pump();
  }
  // Drags the divider right of a column by dx.
  void track_column(HWND list, int column, int dx) {
    const RECT r = header_item(list, column);
    const LONG y = (r.top + r.bottom) / 2;
    mouse_on_header(list, {r.right - 1, y}, {r.right - 1 + dx, y});
  }
  // Drags a column's heading to the middle of another's.
  void drag_column(HWND list, int column, int onto) {
    const RECT from = header_item(list, column), to = header_item(list, onto);
    const LONG y = (from.top + from.bottom) / 2;
    mouse_on_header(list, {(from.left + from.right) / 2, y}, {(to.left + to.right) / 2 + 2, y});
  }
  static int width_of(HWND list, int column) {
    return static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
  }
  static std::vector<int> widths_of(HWND list) {
    std::vector<int> widths;
    for (int i = 0; i < zel::detail::list_column_count(list); ++i) widths.push_back(width_of(list, i));
    return widths;
  }

  // Everything a refill leaves in a list, for comparing two lists.
  struct contents {
    std::vector<long> ids;
    std::vector<std::wstring> headers;
    std::vector<int> widths, order;
    std::vector<std::vector<std::wstring>> texts;
    zel::editable_list::cell focus;
  };
  static contents contents_of(CDetailView& view) {
    contents c;
    c.headers = header_texts(view);
    c.widths = widths_of(view);
    c.order = zel::detail::list_display_order(view);
    for (int row = 0; row < zel::detail::list_row_count(view); ++row) {
      c.ids.push_back(row_id(view, row));
      c.texts.emplace_back();
      for (int column = 0; column < static_cast<int>(c.headers.size()); ++column)
        c.texts.back().push_back(cell(view, row, column));
    }
    c.focus = view.focus_cell();
    return c;
  }
  static void expect_same(const contents& a, const contents& b) {
    EXPECT_EQ(a.ids, b.ids);
    EXPECT_EQ(a.headers, b.headers);
    EXPECT_EQ(a.widths, b.widths);
    EXPECT_EQ(a.order, b.order);
    EXPECT_EQ(a.texts, b.texts);
    EXPECT_EQ(a.focus, b.focus);
  }
  // Clears and refills the view as the frame does, inside its redraw lock.
  template <class Show>
  static void refill_locked(CDetailView& view, Show&& show) {
    view.SuspendRedraw();
    view.clear();
    show(view);
    view.ReleaseRedraw();
  }
  comet::com_ptr<IAmplifier> amplifier(int index) {
    return comet::query<IAmplifier>(get_object_by_id(owner.state.get(), PackObjectID(KindAmplifier, 0, index, 0)));
  }

  struct box {
    std::wstring caption, text;
    DWORD style;
  };

  static CViewHost* s_host;
  WTL::CMessageLoop loop;
  recording_owner owner;
  CChannelView channels{owner, &loop};
  CAmplifierView amplifiers{owner, &loop};
  std::vector<box> boxes;
  int box_answer = IDYES;
  std::vector<UINT> beeps;
  Orvo::message_box_hook previous_box;
  Orvo::beep_hook previous_beep;
};

CViewHost* DetailViews::s_host = nullptr;

// --- views ---------------------------------------------------------------

TEST_F(DetailViews, AllChannelsAreSixteenRowsOfChannelsUnderTheirPropertyColumns) {
  channels.show_all_channels(owner.state.get());
  ASSERT_EQ(zel::detail::list_row_count(channels), 16);
  const std::vector<long> ids = channel_ids();
  for (int row = 0; row < 16; ++row) EXPECT_EQ(row_id(channels, row), ids[static_cast<std::size_t>(row)]) << row;
  EXPECT_EQ(header_texts(channels),
            (std::vector<std::wstring>{L"Channel Name", L"Input Mode", L"Gain", L"LowCut (Hz)", L"HighCut (Hz)",
                                       L"50Hz Notch", L"Deblock State", L"Group", L"60Hz Notch"}));
  const int notch50 = column_of(channels, L"50Hz Notch"), notch60 = column_of(channels, L"60Hz Notch");
  EXPECT_EQ(cell(channels, 0, notch60), L"");
  EXPECT_NE(cell(channels, 0, notch50), L"");
  EXPECT_EQ(cell(channels, 8, notch50), L"");
  EXPECT_NE(cell(channels, 8, notch60), L"");
  EXPECT_EQ(cell(channels, 0, column_of(channels, L"Gain")), held_value(ids[0], L"Gain"));
}

TEST_F(DetailViews, AmplifiersAreOneRowEachUnderTheirFunctionColumns) {
  amplifiers.show_amplifiers(owner.state.get());
  EXPECT_EQ(zel::detail::list_row_count(amplifiers), 2);
  EXPECT_EQ(header_texts(amplifiers),
            (std::vector<std::wstring>{L"Serial No", L"Deblock State", L"Deblock Type", L"Deblock Duration (ms)",
                                       L"Impedance State", L"Lower Threshold", L"Upper Threshold",
                                       L"Impedance Resolution", L"Highlight"}));
}

TEST_F(DetailViews, AColumnIsAsWideAsItsWidestValueWithRoomForTheDropDown) {
  channels.show_all_channels(owner.state.get());
  int widest = 0;
  for (const std::wstring& v : legal_values(property_of(owner.state.get(), channel_ids()[0], L"Gain").get())) {
    widest = std::max(widest, static_cast<int>(::SendMessageW(channels, LVM_GETSTRINGWIDTHW, 0,
                                                              reinterpret_cast<LPARAM>(v.c_str()))));
  }
  const int allowance = ::GetSystemMetrics(SM_CXHSCROLL) + 1 + 4 * ::GetSystemMetrics(SM_CXEDGE);
  EXPECT_EQ(::SendMessageW(channels, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column_of(channels, L"Gain")), 0),
            widest + allowance);
}

TEST_F(DetailViews, TheWindowIsTheEditableListWithItsStyles) {
  wchar_t name[64] = {};
  ::GetClassNameW(channels, name, 64);
  EXPECT_STREQ(name, L"zel::editablelistview");
  const DWORD style = channels.GetStyle();
  EXPECT_EQ(style & (LVS_TYPEMASK | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_AUTOARRANGE),
            static_cast<DWORD>(LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | LVS_AUTOARRANGE));
  EXPECT_TRUE(channels.GetExStyle() & WS_EX_CLIENTEDGE);
  const DWORD extended = static_cast<DWORD>(::SendMessageW(channels, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  EXPECT_EQ(extended & (LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP),
            static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP));
  const HWND header = reinterpret_cast<HWND>(::SendMessageW(channels, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(::GetWindowLongPtrW(header, GWL_STYLE) & (HDS_FULLDRAG | HDS_HOTTRACK | HDS_DRAGDROP),
            HDS_FULLDRAG | HDS_HOTTRACK | HDS_DRAGDROP);
  EXPECT_EQ(channels.minimum_column_width(), ::GetSystemMetrics(SM_CXSMICON));
}

TEST_F(DetailViews, ItemsAreNeverSelected) {
  channels.show_all_channels(owner.state.get());
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  ::SendMessageW(channels, LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&state));
  EXPECT_EQ(::SendMessageW(channels, LVM_GETSELECTEDCOUNT, 0, 0), 0);
}

TEST_F(DetailViews, ANullObjectRaisesEPointer) {
  try {
    channels.show_all_channels(nullptr);
    ADD_FAILURE() << "no error";
  } catch (const comet::com_error& e) {
    EXPECT_EQ(e.hr(), E_POINTER);
  }
}

// --- editing -------------------------------------------------------------

TEST_F(DetailViews, EnterOnAGainCellOffersItsValuesAndTheChosenOneIsAppliedOnce) {
  channels.show_all_channels(owner.state.get());
  const int gain = column_of(channels, L"Gain");
  const long id = channel_ids()[2];
  const std::wstring before = held_value(id, L"Gain");
  const HWND combo = open_editor(channels, 2, gain);
  ASSERT_TRUE(combo);
  EXPECT_EQ(::GetDlgCtrlID(combo), static_cast<int>(CDetailView::list_id));
  const std::vector<std::wstring> values = legal_values(property_of(owner.state.get(), id, L"Gain").get());
  EXPECT_EQ(combo_items(combo), values);
  const auto current = std::find(values.begin(), values.end(), before) - values.begin();
  EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), current);

  const int other = current == 0 ? 1 : 0;
  ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(other), 0);
  press(combo, VK_RETURN);
  EXPECT_FALSE(::IsWindow(combo));
  EXPECT_EQ(held_value(id, L"Gain"), values[static_cast<std::size_t>(other)]);
  EXPECT_EQ(owner.applied, 1);
  EXPECT_TRUE(owner.logs.empty());
}

TEST_F(DetailViews, AFreeTextCellOpensAnEditWithItsTextAndEscapeChangesNothing) {
  channels.show_all_channels(owner.state.get());
  const int group = column_of(channels, L"Group");
  const long id = channel_ids()[1];
  HWND edit = open_editor(channels, 1, group);
  ASSERT_TRUE(edit);
  EXPECT_EQ(::GetDlgCtrlID(edit), static_cast<int>(CDetailView::edit_id));
  wchar_t text[64] = {};
  ::GetWindowTextW(edit, text, 64);
  EXPECT_EQ(text, cell(channels, 1, group));
  const std::wstring before = held_value(id, L"Group");

  press(edit, VK_ESCAPE);
  EXPECT_EQ(held_value(id, L"Group"), before);
  EXPECT_EQ(owner.applied, 0);

  edit = open_editor(channels, 1, group);
  ASSERT_TRUE(edit);
  ::SetWindowTextW(edit, L"3");
  press(edit, VK_RETURN);
  EXPECT_EQ(held_value(id, L"Group"), L"3");
  EXPECT_EQ(owner.applied, 1);
}

TEST_F(DetailViews, AReadOnlyCellBeepsAndOpensNothing) {
  channels.show_all_channels(owner.state.get());
  EXPECT_FALSE(open_editor(channels, 0, column_of(channels, L"Channel Name")));
  EXPECT_EQ(beeps, std::vector<UINT>{MB_ICONEXCLAMATION});
  EXPECT_FALSE(::GetDlgItem(channels, CDetailView::edit_id));
}

TEST_F(DetailViews, ARejectedValueIsLoggedAndNothingIsApplied) {
  channels.show_all_channels(owner.state.get());
  const int notch = column_of(channels, L"50Hz Notch");
  const std::wstring before = cell(channels, 0, notch);
  zel::detail::notify_end_of_edit(channels, 0, notch, L"Maybe");
  ASSERT_EQ(owner.logs.size(), 1u);
  EXPECT_EQ(owner.logs[0].text, L"Invalid property value");
  EXPECT_EQ(owner.logs[0].level, 3);
  EXPECT_EQ(owner.logs[0].code, E_FAIL);
  EXPECT_EQ(owner.applied, 0);
  EXPECT_EQ(cell(channels, 0, notch), before);
}

TEST_F(DetailViews, ExcludedValuesAreOfferedOnlyWhenTheyAreTheCellsOwn) {
  channels.show_all_channels(owner.state.get());
  const int gain = column_of(channels, L"Gain");
  const long id = channel_ids()[0];
  const std::vector<std::wstring> values = legal_values(property_of(owner.state.get(), id, L"Gain").get());
  const std::wstring current = held_value(id, L"Gain");
  std::wstring other = values[0] == current ? values[1] : values[0];
  owner.exclusions[u"Gain"] = {Orvo::wide_string(current.begin(), current.end()),
                               Orvo::wide_string(other.begin(), other.end())};
  const HWND combo = open_editor(channels, 0, gain);
  ASSERT_TRUE(combo);
  const std::vector<std::wstring> offered = combo_items(combo);
  EXPECT_EQ(offered.size(), values.size() - 1);
  EXPECT_NE(std::find(offered.begin(), offered.end(), current), offered.end());
  EXPECT_EQ(std::find(offered.begin(), offered.end(), other), offered.end());
  press(combo, VK_ESCAPE);
}

TEST_F(DetailViews, HandlerFailuresGoToTheOwnersLog) {
  channels.show_all_channels(owner.state.get());
  owner.state = nullptr;
  EXPECT_FALSE(open_editor(channels, 0, column_of(channels, L"Gain")));
  ASSERT_EQ(owner.logs.size(), 1u);
  EXPECT_EQ(owner.logs[0].level, 3);
  EXPECT_EQ(owner.logs[0].code, E_POINTER);
  EXPECT_EQ(owner.applied, 0);
}

// --- serial number -------------------------------------------------------

TEST_F(DetailViews, SerialNoAsksFirstAndOnlyYesEdits) {
  amplifiers.show_amplifiers(owner.state.get());
  const int serial = column_of(amplifiers, L"Serial No");
  box_answer = IDNO;
  EXPECT_FALSE(open_editor(amplifiers, 0, serial));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"Warning");
  EXPECT_EQ(boxes[0].text, CAmplifierView::serial_warning);
  EXPECT_EQ(boxes[0].style, static_cast<DWORD>(MB_YESNO | MB_USERICON));
  EXPECT_TRUE(beeps.empty());

  box_answer = IDYES;
  const HWND other = open_editor(amplifiers, 0, column_of(amplifiers, L"Impedance Resolution"));
  ASSERT_TRUE(other);
  EXPECT_EQ(boxes.size(), 1u) << "other columns ask nothing";
  press(other, VK_ESCAPE);
}

TEST_F(DetailViews, ASerialNumberGoesToTheServerAndNotIntoTheState) {
  amplifiers.show_amplifiers(owner.state.get());
  const int serial = column_of(amplifiers, L"Serial No");
  const comet::bstr_t before = get_state_string(owner.state.get());
  HWND edit = open_editor(amplifiers, 1, serial);
  ASSERT_TRUE(edit);
  ::SetWindowTextW(edit, L"9");
  press(edit, VK_RETURN);
  ASSERT_EQ(owner.serials.size(), 1u);
  EXPECT_EQ(owner.serials[0].old_type, VT_I4);
  EXPECT_EQ(owner.serials[0].new_type, VT_BSTR);
  EXPECT_EQ(owner.serials[0].text, L"9");
  EXPECT_EQ(std::wstring(get_state_string(owner.state.get()).w_str()), before.w_str());
  EXPECT_EQ(owner.applied, 0);
  EXPECT_TRUE(owner.logs.empty());

  for (const wchar_t* bad : {L"300", L"x"}) {
    zel::detail::notify_end_of_edit(amplifiers, 1, serial, bad);
    ASSERT_FALSE(owner.logs.empty());
    EXPECT_EQ(owner.logs.back().text, L"Invalid property value");
    EXPECT_EQ(owner.logs.back().level, 3);
    EXPECT_EQ(owner.logs.back().code, E_FAIL);
  }
  EXPECT_EQ(owner.serials.size(), 1u) << "nothing sent for a bad number";

  owner.serial_accepted = false;
  zel::detail::notify_end_of_edit(amplifiers, 1, serial, L"12");
  EXPECT_EQ(owner.logs.back().text, L"The Orvo server cannot change the serial number");
  EXPECT_EQ(owner.logs.back().level, 2);
  EXPECT_EQ(owner.logs.back().code, S_OK);
  EXPECT_EQ(owner.applied, 0);
}

// --- keys ----------------------------------------------------------------

TEST_F(DetailViews, RightAndTabFollowTheDisplayOrderAfterAColumnDrag) {
  channels.show_all_channels(owner.state.get());
  drag_column(channels, 0, 2);
  const std::vector<int> order = zel::detail::list_display_order(channels);
  ASSERT_NE(order.front(), 0) << "the drag moved the first column";
  channels.set_focus_cell({0, order[0]});
  ::SetFocus(channels);
  press(channels, VK_RIGHT);
  EXPECT_EQ(channels.focus_cell(), (zel::editable_list::cell{0, order[1]}));
  press(channels, VK_TAB);
  EXPECT_EQ(channels.focus_cell(), (zel::editable_list::cell{0, order[2]}));
  channels.set_focus_cell({15, order.back()});
  press(channels, VK_RIGHT);
  EXPECT_EQ(channels.focus_cell(), (zel::editable_list::cell{0, order[0]})) << "past the last cell: the first";
  press(channels, VK_UP);
  EXPECT_EQ(channels.focus_cell(), (zel::editable_list::cell{15, order[0]}));
  press(channels, VK_NEXT);
  EXPECT_EQ(channels.focus_cell().row, 15) << "Page Down stops at the last row";
}

TEST_F(DetailViews, TheFocusCellFollowsClicksAndStaysInsideTheListAfterARefill) {
  channels.show_all_channels(owner.state.get());
  const RECT target = zel::detail::list_cell_rect(channels, 3, 2);
  ::SendMessageW(channels, WM_LBUTTONDOWN, MK_LBUTTON,
                 at((target.left + target.right) / 2, (target.top + target.bottom) / 2));
  ::SendMessageW(channels, WM_LBUTTONUP, 0, at((target.left + target.right) / 2, (target.top + target.bottom) / 2));
  pump();
  EXPECT_EQ(channels.focus_cell(), (zel::editable_list::cell{3, 2}));
  EXPECT_EQ(::GetFocus(), channels.m_hWnd);
  EXPECT_FALSE(::GetDlgItem(channels, CDetailView::list_id)) << "a first click only moves the focus";
  ::SendMessageW(channels, WM_LBUTTONDOWN, MK_LBUTTON,
                 at((target.left + target.right) / 2, (target.top + target.bottom) / 2));
  pump();
  const HWND combo = ::GetDlgItem(channels, CDetailView::list_id);
  EXPECT_TRUE(combo) << "a click on the focus cell edits it";
  // Resizing the list while the editor has the focus ends the edit.
  channels.SetWindowPos(nullptr, 0, 0, 900, 280, SWP_NOZORDER | SWP_NOMOVE);
  pump();
  EXPECT_FALSE(::IsWindow(combo));
  EXPECT_EQ(::GetFocus(), channels.m_hWnd);

  channels.set_focus_cell({15, 8});
  channels.clear();
  channels.show_channels(
      comet::query<IAmplifier>(get_object_by_id(owner.state.get(), PackObjectID(KindAmplifier, 0, 1, 0))).get());
  EXPECT_EQ(zel::detail::list_row_count(channels), 8);
  EXPECT_EQ(channels.focus_cell(), (zel::editable_list::cell{7, 7}));
}

TEST_F(DetailViews, TheFocusCellScrollsBackWhenTheFocusReturnsUnlessTheUserScrolled) {
  channels.SetWindowPos(nullptr, 0, 0, 500, 120, SWP_NOZORDER | SWP_NOMOVE);
  channels.show_all_channels(owner.state.get());
  auto top = [&] { return ::SendMessageW(channels, LVM_GETTOPINDEX, 0, 0); };
  channels.set_focus_cell({0, 0});
  ::SetFocus(channels);
  ::SetFocus(*s_host);
  ::SendMessageW(channels, LVM_ENSUREVISIBLE, 15, FALSE);
  ASSERT_GT(top(), 0);
  ::SetFocus(channels);
  EXPECT_EQ(top(), 0) << "the focus cell came back into view";

  ::SetFocus(*s_host);
  ::SendMessageW(channels, WM_VSCROLL, SB_PAGEDOWN, 0);
  const LRESULT scrolled = top();
  ASSERT_GT(scrolled, 0);
  ::SetFocus(channels);
  EXPECT_EQ(top(), scrolled) << "the user's scrolling stands";
}

TEST_F(DetailViews, TheFocusCellIsPaintedInTheHighlightColourWhileTheListHasTheFocus) {
  channels.show_all_channels(owner.state.get());
  const int notch60 = column_of(channels, L"60Hz Notch");  // empty on the first amplifier's rows
  channels.set_focus_cell({0, notch60});
  auto colour_of = [&](int row) {
    const RECT r = zel::detail::list_cell_rect(channels, row, notch60);
    channels.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    const HDC dc = ::GetDC(channels);
    const COLORREF c = ::GetPixel(dc, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::ReleaseDC(channels, dc);
    return c;
  };
  ::SetFocus(channels);
  EXPECT_EQ(colour_of(0), ::GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(colour_of(1), ::GetSysColor(COLOR_WINDOW));
}

// --- refills --------------------------------------------------------------

TEST_F(DetailViews, ARefillOfTheSameRowsSetsOnlyTheChangedTextAndLeavesDrawingOn) {
  channels.SetWindowPos(nullptr, 0, 0, 900, 120, SWP_NOZORDER | SWP_NOMOVE);
  channels.show_all_channels(owner.state.get());
  const int gain = column_of(channels, L"Gain");
  channels.set_focus_cell({12, gain});
  ::SendMessageW(channels, LVM_ENSUREVISIBLE, 15, FALSE);
  const LRESULT top = ::SendMessageW(channels, LVM_GETTOPINDEX, 0, 0);
  ASSERT_GT(top, 0);
  contents expected = contents_of(channels);

  const long id = channel_ids()[3];
  const std::vector<std::wstring> values = legal_values(property_of(owner.state.get(), id, L"Gain").get());
  const std::wstring changed = values[0] == held_value(id, L"Gain") ? values[1] : values[0];
  ASSERT_EQ(property_of(owner.state.get(), id, L"Gain")->put_Value(comet::variant_t(changed.c_str()).get()), S_OK);
  expected.texts[3][static_cast<std::size_t>(gain)] = changed;

  const redraw_messages redraws(channels);
  refill_locked(channels, [&](CDetailView& v) { v.show_all_channels(owner.state.get()); });
  EXPECT_EQ(redraws.count(), 0);
  expect_same(contents_of(channels), expected);
  EXPECT_EQ(::SendMessageW(channels, LVM_GETTOPINDEX, 0, 0), top);
}

TEST_F(DetailViews, ARefillWithOtherRowsOrColumnsEndsAsAClearAndAFreshFill) {
  // The reference view is cleared outside any suspension, so its rows and
  // columns go at once and the refill builds them anew.
  CChannelView fresh(owner, &loop);
  fresh.Create(*s_host, RECT{0, 300, 1180, 560}, nullptr, 0, 0, 103);
  channels.show_all_channels(owner.state.get());
  drag_column(channels, 0, 3);
  channels.store_column_attributes();
  fresh.column_attributes().assign(channels.column_attributes());
  channels.set_focus_cell({14, 6});
  fresh.set_focus_cell({14, 6});

  const comet::com_ptr<IAmplifier> first = amplifier(0), second = amplifier(1);
  const comet::com_ptr<IAmplifierState> others = amplifiers_of_models({1, 0});
  const std::vector<std::pair<const char*, std::function<void(CDetailView&)>>> refills{
      {"fewer rows, a column elsewhere", [&](CDetailView& v) { v.show_channels(second.get()); }},
      {"more rows", [&](CDetailView& v) { v.show_all_channels(owner.state.get()); }},
      {"a column less", [&](CDetailView& v) { v.show_channels(first.get()); }},
      {"other columns", [&](CDetailView& v) { v.show_object(second.get()); }},
      {"the channels again", [&](CDetailView& v) { v.show_all_channels(owner.state.get()); }},
      {"amplifiers of other models", [&](CDetailView& v) { v.show_all_channels(others.get()); }},
  };
  for (const auto& [what, show] : refills) {
    SCOPED_TRACE(what);
    refill_locked(channels, show);
    fresh.clear();
    show(fresh);
    expect_same(contents_of(channels), contents_of(fresh));
  }
  fresh.DestroyWindow();
}

TEST_F(DetailViews, AClearInsideASuspensionWithNoRefillLeavesTheListEmptyAtItsEnd) {
  channels.show_all_channels(owner.state.get());
  channels.SuspendRedraw();
  channels.clear();
  channels.ReleaseRedraw();
  EXPECT_EQ(zel::detail::list_row_count(channels), 0);
  EXPECT_EQ(zel::detail::list_column_count(channels), 0);
}

// --- columns -------------------------------------------------------------

TEST_F(DetailViews, TrackedAndDraggedColumnsAreStoredAndKeptAcrossARefill) {
  channels.show_all_channels(owner.state.get());
  const int gain = column_of(channels, L"Gain");
  const int before = width_of(channels, gain);
  track_column(channels, gain, 40);
  drag_column(channels, 0, 3);
  const std::vector<int> order = zel::detail::list_display_order(channels);
  const int width = width_of(channels, gain);
  ASSERT_EQ(width, before + 40);
  ASSERT_NE(order.front(), 0);
  const auto& map = channels.column_attributes().m_column_atributes;
  EXPECT_EQ(map.at(u"Gain").m_width, width);
  const auto position = std::find(order.begin(), order.end(), 0) - order.begin();
  EXPECT_EQ(map.at(u"Channel Name").m_order, position);

  channels.clear();
  channels.show_all_channels(owner.state.get());
  EXPECT_EQ(width_of(channels, gain), width);
  EXPECT_EQ(zel::detail::list_display_order(channels), order);

  // Saved into a protocol and opened in another view: the same layout.
  Orvo::protocol saved;
  channels.store_column_attributes();
  saved.m_channel_columns.assign(channels.column_attributes());
  CChannelView other(owner, &loop);
  other.Create(*s_host, RECT{0, 0, 1180, 300}, nullptr, 0, 0, 103);
  other.column_attributes().assign(saved.m_channel_columns);
  other.show_all_channels(owner.state.get());
  EXPECT_EQ(widths_of(other), widths_of(channels));
  EXPECT_EQ(zel::detail::list_display_order(other), order);
  other.DestroyWindow();
}

TEST_F(DetailViews, AColumnResizedBelowTheMinimumSnapsToIt) {
  channels.show_all_channels(owner.state.get());
  track_column(channels, 1, -(width_of(channels, 1) - 2));
  EXPECT_EQ(width_of(channels, 1), channels.minimum_column_width());
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 2) return 2;
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  _Module.Init(nullptr, ::GetModuleHandleW(nullptr));
  orvo::impl::testing::UseCapabilitiesLibrary(argv[1]);
  const int result = RUN_ALL_TESTS();
  _Module.Term();
  ::CoUninitialize();
  return result;
}
