#include "impedance_view.h"

#include "comet/error.h"
#include "comet/ptr.h"
#include "common_controls.h"
#include "state_walk.h"
#include "win/placement.h"
#include "win/window_traits.h"
#include "zel/errors.h"
#include "zel/frame_window.h"

using namespace Orvo::impedance;

namespace {

// A child's rectangle in its parent's client coordinates.
rect place_of(HWND child, HWND parent) noexcept {
  RECT r{};
  ::GetWindowRect(child, &r);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return rect{r.left, r.top, r.right, r.bottom};
}

}  // namespace

void CImpedanceView::owner_sink::add_record(const std::wstring& text, int level, HRESULT code) {
  m_owner.Log(text.c_str(), level, code);
}

CImpedanceView::CImpedanceView(view_owner& owner, long amplifier_id) noexcept
    : m_owner(owner), m_sink(owner), m_amplifier_id(amplifier_id) {}

LRESULT CImpedanceView::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  RECT client{};
  GetClientRect(&client);
  m_design.width = client.right - client.left;
  m_design.height = client.bottom - client.top;
  create_tooltip();
  for (std::size_t i = 0; i < button_count; ++i) {
    HWND button = ::GetDlgItem(m_hWnd, IDC_ELECTRODE_FIRST + static_cast<int>(i));
    if (!m_electrodes[i].attach(button) || !m_tooltip) continue;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  if (m_tooltip) ::SendMessageW(m_tooltip, TTM_ACTIVATE, TRUE, 0);
  const rect first = place_of(::GetDlgItem(m_hWnd, IDC_ELECTRODE_FIRST), m_hWnd);
  m_design.button_width = first.width();
  m_design.button_height = first.height();
  m_design.gap_x = first.left;
  m_design.gap_y = first.top;
  update();
  return 1;
}

void CImpedanceView::create_tooltip() {
  DWORD style = WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX;
  if (common_controls_at_least(5, 80)) style |= TTS_BALLOON;
  m_tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, WTL::resource_instance(), nullptr);
  // A width limit makes the tip break its text at the line breaks.
  if (m_tooltip) ::SendMessageW(m_tooltip, TTM_SETMAXTIPWIDTH, 0, 400);
}

LRESULT CImpedanceView::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  // The tip is owned by the top-level window, not by the view.
  if (m_tooltip) ::DestroyWindow(m_tooltip);
  m_tooltip = nullptr;
  bHandled = FALSE;
  return 0;
}

void CImpedanceView::update() noexcept {
  if (!IsWindow()) return;
  guarded(m_sink, [&] {
    const comet::com_ptr<IAmplifier> amplifier = comet::query<IAmplifier>(m_owner.GetObjectByID(m_amplifier_id));
    // Everything is read before any button changes.
    std::array<electrode_details, button_count> found;
    std::size_t filled = 0;
    for_each_channel(amplifier.get(), [&](const comet::com_ptr<IChannel>& item) {
      if (filled >= button_count) return;
      IChannel* channel = comet::checked(item);
      comet::com_ptr<IElectrode> electrode;
      comet::check(channel->get_PositiveElectrode(electrode.put()), channel);
      found[filled] = CElectrode::read(electrode.get(), true);
      comet::check(channel->get_NegativeElectrode(electrode.put()), channel);
      found[filled + 1] = CElectrode::read(electrode.get(), false);
      filled += 2;
    });
    for (std::size_t i = 0; i < filled; ++i) m_electrodes[i].show(found[i]);
  });
}

void CImpedanceView::set_impedances(const unsigned char* values, std::size_t count) {
  if (!values) throw zel::basic_com_error(E_POINTER);
  const auto taken = readings_to_take(count);
  if (!taken) throw zel::basic_com_error(E_UNEXPECTED);
  for (std::size_t i = 0; i < *taken; ++i) m_electrodes[i].take_reading(values[i]);
}

void CImpedanceView::toggle_electrode(std::size_t i) noexcept {
  guarded(m_sink, [&] {
    const CElectrode& button = m_electrodes.at(i);
    const comet::com_ptr<IElectrode> electrode = comet::query<IElectrode>(m_owner.GetObjectByID(button.object_id()));
    comet::check(electrode->put_InUse(button.face().in_use ? VARIANT_FALSE : VARIANT_TRUE), electrode.get());
    m_owner.ApplyState();
  });
}

LRESULT CImpedanceView::OnElectrode(WORD code, WORD id, HWND, BOOL&) {
  // An owner-drawn button reports the second click of a double click as
  // such: it switches the electrode again, as any other click does.
  if (code == BN_CLICKED || code == BN_DOUBLECLICKED)
    toggle_electrode(static_cast<std::size_t>(id - IDC_ELECTRODE_FIRST));
  return 0;
}

LRESULT CImpedanceView::OnSize(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  lay_out(LOWORD(lParam), HIWORD(lParam));
  bHandled = FALSE;
  return 0;
}

void CImpedanceView::lay_out(int width, int height) {
  const auto places = layout(m_design, width, height);
  if (!places) return;
  std::array<bool, button_count> moved{};
  int count = 0;
  for (std::size_t i = 0; i < button_count; ++i) {
    moved[i] = m_electrodes[i].m_hWnd && place_of(m_electrodes[i], m_hWnd) != (*places)[i];
    count += moved[i];
  }
  if (count == 0) return;
  WTL::deferred_positions moves(count);
  for (std::size_t i = 0; i < button_count; ++i) {
    const rect& r = (*places)[i];
    if (moved[i]) moves.move(m_electrodes[i], RECT{r.left, r.top, r.right, r.bottom});
  }
}

LRESULT CImpedanceView::OnEraseBackground(UINT, WPARAM wParam, LPARAM, BOOL&) {
  RECT client{};
  GetClientRect(&client);
  ::FillRect(reinterpret_cast<HDC>(wParam), &client, ::GetSysColorBrush(COLOR_WINDOW));
  return 1;
}

LRESULT CImpedanceView::OnDrawItem(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  const std::size_t i = item && item->CtlType == ODT_BUTTON ? index_of(item->hwndItem) : button_count;
  if (i == button_count) {
    bHandled = FALSE;
    return 0;
  }
  m_electrodes[i].draw(*item);
  return TRUE;
}

LRESULT CImpedanceView::OnTipText(int, LPNMHDR header, BOOL& bHandled) {
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
  const std::size_t i = header->hwndFrom == m_tooltip ? index_of(reinterpret_cast<HWND>(header->idFrom)) : button_count;
  if (i == button_count) {
    bHandled = FALSE;
    return 0;
  }
  using zel::frame::load_string;
  const tip_texts texts{load_string(IDS_TIP_IMPEDANCE), load_string(IDS_TIP_LOWER_THRESHOLD),
                        load_string(IDS_TIP_UPPER_THRESHOLD), load_string(IDS_TIP_IN_ERROR),
                        load_string(IDS_TIP_TURNED_OFF)};
  m_tip = tip_text(m_electrodes[i].name(), m_electrodes[i].face(), texts);
  info->lpszText = m_tip.data();
  info->hinst = nullptr;
  return 0;
}

std::size_t CImpedanceView::index_of(HWND button) const noexcept {
  for (std::size_t i = 0; i < button_count; ++i) {
    if (button && m_electrodes[i].m_hWnd == button) return i;
  }
  return button_count;
}
