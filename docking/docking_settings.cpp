#include "docking_settings.h"

#include <algorithm>
#include <vector>

namespace dockwins {

DockingSettings::DockingSettings() : message(::RegisterWindowMessageW(MessageName().c_str())) { Refresh(); }

DockingSettings::~DockingSettings() {
  if (caption_font) ::DeleteObject(caption_font);
  if (caption_font_vertical) ::DeleteObject(caption_font_vertical);
}

DockingSettings& DockingSettings::Global() {
  static DockingSettings settings;
  return settings;
}

std::wstring DockingSettings::MessageName() {
  // Decimal digits of the id: no locale takes part.
  return L"DockingBoxMessage-" + std::to_wstring(::GetCurrentProcessId());
}

namespace {
void Replace(HFONT& font, HFONT fresh) {
  if (!fresh) return;
  if (font && font != fresh) ::DeleteObject(font);
  font = fresh;
}
}  // namespace

void DockingSettings::Refresh() {
  if (!(flags & FixedDragMode)) {
    BOOL full = FALSE;
    if (::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &full, 0))
      flags = (flags & ~(GhostDrag | FullDrag)) | (full ? FullDrag : GhostDrag);
  }
  NONCLIENTMETRICSW read{};
  read.cbSize = MetricsSize;
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, MetricsSize, &read, 0)) {
    metrics = read;
    LOGFONTW font = metrics.lfSmCaptionFont;
    font.lfWeight = FW_NORMAL;
    Replace(caption_font, ::CreateFontIndirectW(&font));
    font.lfEscapement = font.lfOrientation = 2700;
    font.lfOutPrecision = OUT_TT_ONLY_PRECIS;
    Replace(caption_font_vertical, ::CreateFontIndirectW(&font));
  }
  horizontal_bar_cursor = ::LoadCursorW(nullptr, IDC_SIZENS);
  vertical_bar_cursor = ::LoadCursorW(nullptr, IDC_SIZEWE);
}

std::wstring DockingSettings::FitEllipsisText(HDC dc, LPCWSTR text, int length, int extent) {
  const std::wstring whole(text, static_cast<size_t>(std::max(length, 0)));
  SIZE size{};
  ::GetTextExtentPoint32W(dc, whole.c_str(), static_cast<int>(whole.size()), &size);
  if (size.cx <= extent) return whole;
  // "..." in front of the text: the characters that fit after it tell how
  // many of the text's own fit before a trailing "...".
  const std::wstring measured = L"..." + whole;
  int fit = 0;
  std::vector<int> ends(measured.size());
  ::GetTextExtentExPointW(dc, measured.c_str(), static_cast<int>(measured.size()), extent, &fit, ends.data(), &size);
  fit = std::max(fit, 4);
  return whole.substr(0, static_cast<size_t>(fit - 3)) + L"...";
}

void DockingSettings::DrawEllipsisText(HDC dc, LPCWSTR text, int length, const RECT& rect, bool horizontal) {
  const int extent = horizontal ? rect.right - rect.left : rect.bottom - rect.top;
  const std::wstring shown = FitEllipsisText(dc, text, length, extent);
  TEXTMETRICW metric{};
  ::GetTextMetricsW(dc, &metric);
  int x = rect.left, y = rect.top;
  if (horizontal)
    y = rect.top + (rect.bottom - rect.top - metric.tmHeight) / 2;
  else
    x = rect.right - (rect.right - rect.left - metric.tmHeight) / 2;
  ::ExtTextOutW(dc, x, y, ETO_CLIPPED, &rect, shown.c_str(), static_cast<UINT>(shown.size()), nullptr);
}

}  // namespace dockwins
