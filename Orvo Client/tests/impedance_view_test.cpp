// The impedance view under wine64 over a real AmplifierState made from a
// state string, with an owner that records what the view asks of it: the
// buttons' electrodes, clicks, reference electrodes, failures, readings,
// sizing, tips, and the pixels the buttons paint.
//
//   client_impedance_view_test.exe CAPABILITIES_DLL [gtest flags]
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "comet/bstr.h"
#include "core/memory.h"
#include "core/object_id.h"
#include "impedance_view.h"
#include "orvo_module.h"
#include "state_fixture.h"
#include "state_walk.h"
#include "win/gdi.h"
#include "win_test_support.h"
#include "zel/errors.h"

namespace {

using namespace orvo::impl::testing;
using Orvo::impedance::button_count;
using orvo::impl::KindChannel;
using orvo::impl::KindElectrode;
using orvo::impl::PackObjectID;
using orvo::impl::TAmplifierMemoryCollection;
using orvo::impl::TMemory;
using orvo::testing::pump_messages;

class recording_owner : public view_owner {
 public:
  struct record {
    std::wstring text;
    int level;
    HRESULT code;
  };
  comet::com_ptr<IAmplifierState> state;
  std::vector<record> records;
  int applied = 0;

  comet::com_ptr<IIdentifier> GetObjectByID(long id) override {
    return comet::query<IIdentifier>(get_object_by_id(comet::checked(state), id));
  }
  bool SendSerialNumber(const VARIANT&, const VARIANT&) override { return false; }
  void Log(const wchar_t* text, int level, HRESULT code) override { records.push_back({text, level, code}); }
  IAmplifierState* held_state() const noexcept override { return state.get(); }
  bool ApplyState(const BSTR) override {
    ++applied;
    return true;
  }
  std::vector<Orvo::wide_string> excluded_texts(const Orvo::wide_string&) const override { return {}; }
};

std::uint8_t& channel_byte(TAmplifierMemoryCollection& images, std::size_t amplifier, std::size_t channel,
                           std::size_t byte) {
  return images.Item(amplifier).Data()[channel * TMemory::ChannelRecordSize + byte];
}

// Two amplifiers whose thresholds are 33 and 66 in steps of 200 (stored as
// halves), with Ch1 P in use.
TAmplifierMemoryCollection two_amplifiers() {
  auto images = ZeroImages(2);
  images.Item(1).Data()[TMemory::SerialNumberOffset] = 7;
  for (std::size_t a = 0; a < 2; ++a) {
    std::uint8_t* data = images.Item(a).Data();
    data[TMemory::LowerThresholdOffset] = 3300 & 0xFF;
    data[TMemory::LowerThresholdOffset + 1] = 3300 >> 8;
    data[TMemory::UpperThresholdOffset] = 6600 & 0xFF;
    data[TMemory::UpperThresholdOffset + 1] = 6600 >> 8;
    data[76] = 1;  // impedance resolution 200
  }
  channel_byte(images, 0, 0, 8) = 1;
  return images;
}

const long first_amplifier = PackObjectID(orvo::impl::KindAmplifier, 0, 0, 0);
const long second_amplifier = PackObjectID(orvo::impl::KindAmplifier, 0, 1, 0);

bool in_use(IAmplifierState* state, int channel, bool positive) {
  auto electrode =
      Node<IElectrode>(state, PackObjectID(KindElectrode, positive, 0, static_cast<std::uint8_t>(channel)));
  VARIANT_BOOL value = VARIANT_FALSE;
  EXPECT_EQ(electrode->get_InUse(&value), S_OK);
  return value != VARIANT_FALSE;
}

// A shown top-level window holding the view, which is opened on an amplifier.
class ImpedanceView : public testing::Test {
 protected:
  ImpedanceView() {
    parent = ::CreateWindowExW(0, L"STATIC", L"Impedance", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 1000, 700,
                               nullptr, nullptr, nullptr, nullptr);
    ::ShowWindow(parent, SW_SHOWNORMAL);
  }
  ~ImpedanceView() override {
    if (view.IsWindow()) view.DestroyWindow();
    ::DestroyWindow(parent);
  }
  void open(TAmplifierMemoryCollection images = two_amplifiers(), long id = first_amplifier) {
    owner.state = MakeState(images).as<IAmplifierState>();
    ASSERT_TRUE(owner.state);
    view.set_amplifier_id(id);
    ASSERT_TRUE(view.Create(parent));
    pump_messages();
  }
  HWND button(std::size_t i) const { return ::GetDlgItem(view, IDC_ELECTRODE_FIRST + static_cast<int>(i)); }
  void click(std::size_t i, WORD code = BN_CLICKED) {
    ::SendMessageW(view, WM_COMMAND, MAKEWPARAM(IDC_ELECTRODE_FIRST + i, code), reinterpret_cast<LPARAM>(button(i)));
  }
  RECT place(std::size_t i) const {
    RECT r{};
    ::GetWindowRect(button(i), &r);
    ::MapWindowPoints(nullptr, view, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  HWND parent = nullptr;
  recording_owner owner;
  CImpedanceView view{owner, first_amplifier};
};

std::wstring text_of(HWND window) {
  wchar_t text[32] = {};
  ::GetWindowTextW(window, text, 32);
  return text;
}

TEST_F(ImpedanceView, ButtonsShowTheAmplifiersElectrodesInChannelOrder) {
  open();
  for (std::size_t i = 0; i < button_count; ++i) {
    EXPECT_EQ(text_of(button(i)), L"Ch" + std::to_wstring(i / 2 + 1) + (i % 2 ? L" N" : L" P")) << i;
    EXPECT_EQ(view.electrode(i).face().positive, i % 2 == 0) << i;
  }
  EXPECT_TRUE(view.electrode(0).face().in_use);
  EXPECT_FALSE(view.electrode(1).face().in_use);
  // The state's thresholds in steps of its resolution.
  EXPECT_EQ(view.electrode(0).face(), (Orvo::impedance::electrode_face{33, 66, 100, 99, true, true, true, false, 200}));
  view.set_amplifier_id(second_amplifier);
  view.update();
  EXPECT_EQ(text_of(button(0)), L"Ch9 P");
  EXPECT_EQ(text_of(button(15)), L"Ch16 N");
  EXPECT_TRUE(owner.records.empty());
}

TEST_F(ImpedanceView, AClickSwitchesTheElectrodeInTheHeldState) {
  open();
  ASSERT_FALSE(in_use(owner.state.get(), 1, false));
  click(3);
  EXPECT_TRUE(in_use(owner.state.get(), 1, false));
  EXPECT_EQ(owner.applied, 1);
  view.update();
  click(3, BN_DOUBLECLICKED);  // the second click of a double click
  EXPECT_FALSE(in_use(owner.state.get(), 1, false));
  EXPECT_EQ(owner.applied, 2);
  EXPECT_TRUE(owner.records.empty());
}

TEST_F(ImpedanceView, AReferenceElectrodeTakesOverFromTheOtherOfItsMode) {
  auto images = two_amplifiers();
  channel_byte(images, 0, 0, 6) = 0x23;  // "Pos Ref"
  channel_byte(images, 0, 2, 6) = 0x23;
  open(std::move(images));
  ASSERT_TRUE(in_use(owner.state.get(), 0, true));
  click(4);
  EXPECT_TRUE(in_use(owner.state.get(), 2, true));
  EXPECT_FALSE(in_use(owner.state.get(), 0, true));
  view.update();
  EXPECT_FALSE(view.electrode(0).face().in_use);
  EXPECT_TRUE(view.electrode(4).face().in_use);
  // Switching the reference electrode off is not taken, yet still applied.
  const std::wstring before = AsString(owner.state.get());
  click(4);
  EXPECT_EQ(AsString(owner.state.get()), before);
  EXPECT_EQ(owner.applied, 2);
}

TEST_F(ImpedanceView, FailuresAreLoggedAndTheButtonsKeepWhatTheyShowed) {
  open(two_amplifiers(), PackObjectID(KindChannel, 0, 0, 1));
  ASSERT_EQ(owner.records.size(), 1u);
  EXPECT_EQ(owner.records[0].level, 3);
  EXPECT_EQ(owner.records[0].code, E_NOINTERFACE);
  EXPECT_TRUE(view.IsWindow());
  EXPECT_EQ(view.electrode(0).face(), Orvo::impedance::electrode_face{});

  owner.state = nullptr;  // no held state: every lookup fails
  click(0);
  ASSERT_EQ(owner.records.size(), 2u);
  EXPECT_EQ(owner.records[1].level, 3);
  EXPECT_EQ(owner.records[1].code, E_POINTER);
  EXPECT_EQ(owner.applied, 0);
}

TEST_F(ImpedanceView, ReadingsReachTheButtonsAndBadOnesChangeNothing) {
  open();
  const std::vector<unsigned char> values(16, 40);
  view.set_impedances(values.data(), values.size());
  EXPECT_EQ(view.electrode(15).face().reading, 40);

  const auto refused = [&](const unsigned char* data, std::size_t count) {
    try {
      view.set_impedances(data, count);
    } catch (const zel::basic_com_error& e) {
      return e.hr();
    }
    return S_OK;
  };
  const unsigned char three[] = {1, 2, 3};
  EXPECT_EQ(refused(three, 0), E_UNEXPECTED);
  EXPECT_EQ(refused(three, 3), E_UNEXPECTED);
  EXPECT_EQ(refused(nullptr, 2), E_POINTER);
  EXPECT_EQ(view.electrode(2).face().reading, 40);
}

// Counts the moves of the view's buttons.
int g_moves = 0;
HWND g_view = nullptr;
LRESULT CALLBACK count_moves(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && message->message == WM_WINDOWPOSCHANGING && ::GetParent(message->hwnd) == g_view) {
    const auto* pos = reinterpret_cast<const WINDOWPOS*>(message->lParam);
    if (!(pos->flags & SWP_NOMOVE) || !(pos->flags & SWP_NOSIZE)) ++g_moves;
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(ImpedanceView, SizingSpreadsTheButtonsOnceAndNotAgain) {
  open();
  RECT client{};
  view.GetClientRect(&client);
  const RECT first = place(0);
  const int w = first.right - first.left, gx = first.left;
  g_view = view;
  g_moves = 0;
  HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, count_moves, nullptr, ::GetCurrentThreadId());
  view.SetWindowPos(nullptr, 0, 0, 2 * client.right, client.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
  const int first_moves = g_moves;
  ::SendMessageW(view, WM_SIZE, SIZE_RESTORED, MAKELPARAM(2 * client.right, client.bottom));
  const int second_moves = g_moves - first_moves;
  ::UnhookWindowsHookEx(hook);
  EXPECT_EQ(place(15).left, 7 * (2 * gx + 2 * w) + 2 * gx);
  EXPECT_EQ(place(15).right - place(15).left, 2 * w);
  EXPECT_EQ(place(1).top, place(0).bottom + first.top) << "heights and vertical gaps are kept";
  EXPECT_EQ(first_moves, 16);
  EXPECT_EQ(second_moves, 0);
}

TEST_F(ImpedanceView, EveryButtonHasATipTheViewWrites) {
  open();
  const HWND tip = view.tooltip();
  ASSERT_TRUE(tip);
  EXPECT_EQ(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 16);
  EXPECT_TRUE(::GetWindowLongW(tip, GWL_STYLE) & TTS_BALLOON) << "common controls 5.81 here";
  const unsigned char values[] = {20, 0xFF};
  view.set_impedances(values, 2);
  const auto tip_of = [&](std::size_t i) {
    NMTTDISPINFOW info{};
    info.hdr.hwndFrom = tip;
    info.hdr.idFrom = reinterpret_cast<UINT_PTR>(button(i));
    info.hdr.code = TTN_GETDISPINFOW;
    info.uFlags = TTF_IDISHWND;
    ::SendMessageW(view, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    return std::wstring(info.lpszText ? info.lpszText : L"");
  };
  EXPECT_EQ(tip_of(0), L"Ch1 P\r\nImpedance = 4K\r\nLower Threshold = 6K6\r\nUpper Threshold = 13K2");
  EXPECT_EQ(tip_of(1), L"Ch1 N\r\nElectrode is turned off.\r\nLower Threshold = 6K6\r\nUpper Threshold = 13K2");
}

// --- pixels --------------------------------------------------------------

// Reads the shown button back at the points of the geometry it was painted with.
class ImpedancePixels : public ImpedanceView {
 protected:
  void paint(const std::vector<unsigned char>& values) {
    open();
    view.set_impedances(values.data(), values.size());
    ::RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump_messages();
    WTL::CClientDC dc(view);
    WTL::CSelectObject font(dc, view.GetFont());
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    RECT r = place(0);
    geometry = Orvo::impedance::geometry_of(r.right - r.left, r.bottom - r.top, metrics.tmHeight);
  }
  COLORREF pixel(std::size_t i, int x, int y) const {
    WTL::CClientDC dc(button(i));
    return ::GetPixel(dc, x, y);
  }
  COLORREF frame_left(std::size_t i) const {
    return pixel(i, geometry.frame.left, (geometry.frame.top + geometry.frame.bottom) / 2);
  }
  COLORREF lamp_centre(std::size_t i) const {
    return pixel(i, (geometry.lamp.left + geometry.lamp.right) / 2, (geometry.lamp.top + geometry.lamp.bottom) / 2);
  }
  COLORREF bar_bottom(std::size_t i) const {
    return pixel(i, (geometry.bar_fill.left + geometry.bar_fill.right) / 2, geometry.bar_fill.bottom - 1);
  }
  Orvo::impedance::button_geometry geometry;
};

TEST_F(ImpedancePixels, ButtonsPaintTheirElectrodesLooks) {
  paint({99, 50, 0xFF, 0xFE});  // Ch1 P in use and above its upper threshold
  EXPECT_EQ(frame_left(0), 0x0000FFu);
  EXPECT_EQ(frame_left(1), 0xFF0000u);
  EXPECT_EQ(frame_left(2), 0x808080u) << "off";
  EXPECT_EQ(frame_left(3), 0xFF0000u) << "in error";
  EXPECT_EQ(lamp_centre(0), 0x0000FFu);
  EXPECT_EQ(lamp_centre(1), ::GetSysColor(COLOR_WINDOW)) << "out of use";
  EXPECT_EQ(bar_bottom(0), 0x00FF00u);
  EXPECT_EQ(bar_bottom(3), 0x0000FFu) << "an error is red throughout";
  const auto heights = Orvo::impedance::heights_of(view.electrode(0).face(), geometry.bar_fill.height());
  const int top = heights.reading - 1;
  ASSERT_GT(top, heights.upper + geometry.bar_fill.height() / 5) << "above the upper transition";
  EXPECT_EQ(pixel(0, geometry.bar_fill.left + 1, geometry.bar_fill.bottom - 1 - top), 0x0000FFu);
  EXPECT_EQ(pixel(0, geometry.bar_fill.left + 1, geometry.bar_fill.bottom - 1 - heights.reading),
            ::GetSysColor(COLOR_WINDOW))
      << "nothing above the reading";
  WTL::CClientDC dc(view);
  EXPECT_EQ(::GetPixel(dc, 2, 2), ::GetSysColor(COLOR_WINDOW)) << "the view between the buttons";
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 2) return 2;
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  _Module.Init(nullptr, ::GetModuleHandleW(nullptr));
  UseCapabilitiesLibrary(argv[1]);
  const int result = RUN_ALL_TESTS();
  _Module.Term();
  ::CoUninitialize();
  return result;
}
