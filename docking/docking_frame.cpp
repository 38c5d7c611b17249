#include "docking_frame.h"

#include <algorithm>

namespace dockwins {

namespace {
// SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW:
// a docked box shows with its frame recomputed, where the row put it.
constexpr UINT ShowDocked = 0x67;

int Along(bool horizontal, const zel::rect& r) { return horizontal ? r.left : r.top; }
int ExtentAlong(bool horizontal, const zel::rect& r) { return horizontal ? r.width() : r.height(); }

zel::rect MapRect(const zel::rect& r, HWND from, HWND to) {
  RECT mapped = ToRECT(r);
  ::MapWindowPoints(from, to, reinterpret_cast<POINT*>(&mapped), 2);
  return ToRect(mapped);
}

// A box already in a row must leave it before it docks again.
bool IsDocked(HWND box) {
  return ::GetClassLongPtrW(::GetParent(box), GCW_ATOM) == CPackageWindowFrame::CPackageWindowT::registered_class();
}

bool Send(HWND target, DockRequest& request) {
  return ::SendMessageW(target, DockingRequestMessage, 0, reinterpret_cast<LPARAM>(&request)) != 0;
}
}  // namespace

POINT PointerIn(HWND window) noexcept {
  POINT pt{0, 0};
  ::GetCursorPos(&pt);
  ::ScreenToClient(window, &pt);
  return pt;
}

POINT GetMinTrackSize(HWND window) noexcept {
  MINMAXINFO info{};
  ::SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  return info.ptMinTrackSize;
}

void DockToRow(HWND box, HWND row, bool row_horizontal) noexcept {
  ::ShowWindow(box, SW_HIDE);
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(box, GWL_STYLE));
  ::SetWindowLongPtrW(box, GWL_STYLE, static_cast<LONG_PTR>((style & 0x3FFFFFFF) | WS_CHILD));
  ::SetParent(box, row);
  ::SendMessageW(box, WM_NCACTIVATE, TRUE, 0);
  ::SendMessageW(box, DockStateMessage, MAKEWPARAM(1, row_horizontal ? 1 : 0), reinterpret_cast<LPARAM>(row));
}

void UndockFromRow(HWND box, HWND row) noexcept {
  ::ShowWindow(box, SW_HIDE);
  const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(box, GWL_STYLE));
  ::SetWindowLongPtrW(box, GWL_STYLE, static_cast<LONG_PTR>((style & 0x3FFFFFFF) | WS_POPUP));
  ::SetParent(box, nullptr);
  ::SendMessageW(box, DockStateMessage, 0, reinterpret_cast<LPARAM>(row));
}

// The row's window ---------------------------------------------------------

using CPackageWindow = CPackageWindowFrame::CPackageWindowT;

LRESULT CPackageWindow::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  WTL::CPaintDC dc(m_hWnd);
  m_package.Draw(dc);
  return 0;
}

LRESULT CPackageWindow::OnSetCursor(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
  bHandled = FALSE;
  if (reinterpret_cast<HWND>(wParam) != m_hWnd || LOWORD(lParam) != HTCLIENT) return 0;
  const POINT pt = PointerIn(m_hWnd);
  CSimpleSplitterBar<5> bar;
  if (!m_package.HitBar(pt, &bar)) return 0;
  ::SetCursor(bar.Cursor());
  bHandled = TRUE;
  return TRUE;
}

LRESULT CPackageWindow::OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  if (!m_package.HitBar(pt, nullptr)) {
    bHandled = FALSE;
    return 0;
  }
  if (m_package.StartDrag(pt)) RedrawWindow(nullptr, nullptr, RedrawWithView);
  return 0;
}

LRESULT CPackageWindow::OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
  const LRESULT result = DefWindowProc(uMsg, wParam, lParam);
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  MINMAXINFO minimum{};
  m_package.GetMinMaxInfo(&minimum);
  info->ptMinTrackSize.x = std::max(info->ptMinTrackSize.x, minimum.ptMinTrackSize.x);
  info->ptMinTrackSize.y = std::max(info->ptMinTrackSize.y, minimum.ptMinTrackSize.y);
  info->ptMaxTrackSize = {0, 0};
  return result;
}

LRESULT CPackageWindow::OnSize(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (wParam != SIZE_MINIMIZED) {
    RECT client;
    GetClientRect(&client);
    m_package.UpdateLayout(client);
  }
  bHandled = FALSE;
  return 0;
}

LRESULT CPackageWindow::OnDockingRequest(UINT, WPARAM, LPARAM lParam, BOOL&) {
  auto* request = reinterpret_cast<DockRequest*>(lParam);
  if (!request) return FALSE;
  switch (request->code) {
    case dock_code::DropTest:
      return DropTest(*request);
    case dock_code::AcceptDrop:
      return AcceptDrop(*request);
    case dock_code::Remove:
      return RemoveBox(*request);
    case dock_code::GetPosition:
      return GetDockPosition(*request);
    case dock_code::Dock:
      return Dock(*request);
    case dock_code::Replace:
      return ReplaceBox(*request);
    case dock_code::RowMinimum:
      return MinimumSize(*request);
    default:
      return FALSE;
  }
}

bool CPackageWindow::DropTest(DockRequest& request) {
  HWND box = WindowOf(request.window);
  const auto& entries = m_package.Frames().Frames();
  if (entries.size() == 1 && entries.front().frame.hwnd() == box) {
    request.host = 0;  // the row would only hold the box dragged out of it
    return false;
  }
  zel::rect r = MapRect(request.DragRect(), nullptr, m_hWnd);
  RECT client;
  GetClientRect(&client);
  const POINT minimum = GetMinTrackSize(box);
  if (!m_package.Frames().RowTakesDrop({r.left, r.top}, ToRect(client), {minimum.x, minimum.y})) return false;
  if (m_package.IsHorizontal()) {
    r.top = client.top;
    r.bottom = client.bottom;
  } else {
    r.left = client.left;
    r.right = client.right;
  }
  request.SetDragRect(MapRect(r, m_hWnd, nullptr));
  request.host = HandleValue(m_hWnd);
  return true;
}

bool CPackageWindow::AcceptDrop(DockRequest& request) {
  HWND box = WindowOf(request.window);
  if (!::IsWindow(box) || IsDocked(box)) return false;
  const bool horizontal = m_package.IsHorizontal();
  const zel::rect r = MapRect(request.DragRect(), nullptr, m_hWnd);
  DockToRow(box, m_hWnd, horizontal);
  // The box shows where the outline was: its bar goes in front of it.
  const int bar = Along(horizontal, r) - SplitterWidth;
  m_package.Insert(m_package.Frames().PlaceFor(bar), CWndFrame(box, horizontal), bar,
                   ExtentAlong(horizontal, r) + SplitterWidth);
  m_package.Arrange();
  ::SetWindowPos(box, nullptr, 0, 0, 0, 0, ShowDocked);
  request.host = HandleValue(m_hWnd);
  return true;
}

bool CPackageWindow::RemoveBox(DockRequest& request) {
  HWND box = WindowOf(request.window);
  if (!m_package.Remove(box)) return false;
  UndockFromRow(box, m_hWnd);
  if (m_package.Frames().Count() == 0) {
    // An empty row leaves the frame and closes.
    DockRequest self{};
    self.window = HandleValue(m_hWnd);
    self.code = dock_code::Remove;
    Send(::GetParent(m_hWnd), self);
    SendMessage(WM_CLOSE);
  }
  return true;
}

bool CPackageWindow::GetDockPosition(DockRequest& request) {
  const std::size_t i = m_package.Find(WindowOf(request.window));
  if (i == m_package.Frames().Count()) return false;
  const BoxPosition position = m_package.Frames().BoxDockPosition(i);
  request.position_ratio = position.position_ratio;
  request.box_extent = position.box_extent;
  if (position.alone) request.flags |= dock_flags::OwnRow;
  return true;
}

bool CPackageWindow::Dock(DockRequest& request) {
  HWND box = WindowOf(request.window);
  if (!::IsWindow(box) || IsDocked(box)) return false;
  const bool horizontal = m_package.IsHorizontal();
  const DockPlan plan = m_package.Frames().PlanRowDock(request.position_ratio, request.box_extent);
  m_package.Insert(plan.where, CWndFrame(box, horizontal), plan.pos, plan.size);
  DockToRow(box, m_hWnd, horizontal);
  m_package.Arrange();
  ::SetWindowPos(box, nullptr, 0, 0, 0, 0, ShowDocked);
  request.host = HandleValue(m_hWnd);
  return true;
}

bool CPackageWindow::ReplaceBox(DockRequest& request) {
  HWND old_box = WindowOf(request.window);
  HWND new_box = WindowOf(static_cast<std::int32_t>(request.Word(12)));
  const std::size_t i = m_package.Find(old_box);
  if (i == m_package.Frames().Count() || !::IsWindow(new_box)) return false;
  m_package.Frames().Frames()[i].frame.Replace(new_box);
  UndockFromRow(old_box, m_hWnd);
  DockToRow(new_box, m_hWnd, m_package.IsHorizontal());
  m_package.Arrange();
  ::SetWindowPos(new_box, nullptr, 0, 0, 0, 0, ShowDocked);
  return true;
}

bool CPackageWindow::MinimumSize(DockRequest& request) {
  // The answer replaces the flags and row index words: x, then y.
  const POINT minimum = GetMinTrackSize(m_hWnd);
  request.SetWord(12, static_cast<std::uint32_t>(minimum.x));
  request.SetWord(16, static_cast<std::uint32_t>(minimum.y));
  return true;
}

// A row as an entry of a frame package --------------------------------------

CPackageWindowFrame::CPackageWindowFrame(HWND frame, bool horizontal) : m_frame(frame), m_horizontal(horizontal) {
  auto* window = new CPackageWindowT(horizontal);
  m_window =
      window->Create(frame, RECT{0, 0, 0, 0}, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  if (!m_window) delete window;  // never bound: nothing else deletes it
}

bool CPackageWindowFrame::AcceptDocking(DockRequest& request) {
  request.SetDragRect(MapRect(request.DragRect(), m_frame, nullptr));
  const bool taken = Send(m_window, request);
  request.SetDragRect(MapRect(request.DragRect(), nullptr, m_frame));
  return taken;
}

int CPackageWindowFrame::MinExtent() const {
  const POINT minimum = GetMinTrackSize(m_window);
  return m_horizontal ? minimum.y : minimum.x;
}

void CPackageWindowFrame::GetMinMaxInfo(MINMAXINFO* info) const {
  ::SendMessageW(m_window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(info));
  info->ptMaxTrackSize = {0, 0};
}

// A package of the frame ----------------------------------------------------

namespace {
// The drop word of a drop test: the place found, whether it lies before an
// existing entry, and (top bit) whether the inner package took it.
constexpr std::uint32_t DropBeforeEntry = 0x40000000u;
constexpr std::uint32_t DropPlaceMask = 0xFFFFu;
}  // namespace

CPackageWindowFrame* CFramePackage::NewRow() {
  auto* row = new CPackageWindowFrame(Owner(), !IsHorizontal());
  if (row->hwnd()) return row;
  delete row;
  return nullptr;
}

bool CFramePackage::AcceptDocking(DockRequest& request) {
  zel::rect r = request.DragRect();
  const DropPlace place = m_package.LocateDrop({r.left, r.top});
  if (place.kind == DropPlace::None) return false;
  const auto& entries = m_package.Frames();
  if (place.kind == DropPlace::Inside) {
    if (entries[place.index].central) return false;
    return entries[place.index].frame->AcceptDocking(request);
  }
  const bool horizontal = IsHorizontal();
  const POINT minimum = GetMinTrackSize(WindowOf(request.window));
  if (!m_package.CanOpenRow(horizontal ? minimum.x : minimum.y)) return false;
  const auto span = m_package.DropSpan(place.index, ExtentAlong(horizontal, r));
  if (horizontal) {
    r.left = span.first;
    r.right = span.second;
  } else {
    r.top = span.first;
    r.bottom = span.second;
  }
  request.SetDragRect(r);
  request.SetDropFlags((static_cast<std::uint32_t>(place.index) & DropPlaceMask) |
                       (place.index < entries.size() ? DropBeforeEntry : 0) | (horizontal ? DropInInnerPackage : 0));
  request.host = HandleValue(Owner());
  return true;
}

bool CFramePackage::AcceptDrop(DockRequest& request) {
  HWND box = WindowOf(request.window);
  if (!::IsWindow(box) || IsDocked(box)) return false;
  const bool horizontal = IsHorizontal();
  const zel::rect r = MapRect(request.DragRect(), nullptr, Owner());
  const std::size_t where = std::min<std::size_t>(request.DropFlags() & DropPlaceMask, m_package.Count());
  CPackageWindowFrame* row = NewRow();
  if (!row) return false;
  HWND window = row->hwnd();
  Insert(where, CPtrFrame<IFrame>(row), Along(horizontal, r) - SplitterWidth,
         ExtentAlong(horizontal, r) + SplitterWidth);
  Arrange();
  RECT placed;
  ::GetWindowRect(window, &placed);
  request.host = HandleValue(window);
  request.SetDragRect(ToRect(placed));
  if (Send(window, request)) return true;
  Remove(window);
  ::DestroyWindow(window);
  return false;
}

bool CFramePackage::GetDockPosition(DockRequest& request) {
  const std::size_t i = Find(WindowOf(request.host));
  if (i == m_package.Count()) return false;
  const RowPosition row = m_package.RowDockPosition(i);
  request.row_extent = row.row_extent;
  request.row_index = row.row_index;
  if (row.before_centre) request.flags |= dock_flags::BeforeCentre;
  return Send(WindowOf(request.host), request);
}

bool CFramePackage::DockWindow(DockRequest& request) {
  // Checked before a row is made: taking a new row out again would not
  // give its neighbours back the room it took.
  HWND box = WindowOf(request.window);
  if (m_package.Count() == 0 || !::IsWindow(box) || IsDocked(box)) return false;
  const POINT minimum = GetMinTrackSize(box);
  request.row_extent = std::max<std::int32_t>(request.row_extent, IsHorizontal() ? minimum.x : minimum.y);
  const DockPlan plan =
      m_package.PlanDockWindow((request.flags & dock_flags::BeforeCentre) != 0,
                               (request.flags & dock_flags::OwnRow) != 0, request.row_index, request.row_extent);
  if (!plan.new_row) {
    HWND host = m_package.Frames()[plan.where].frame.hwnd();
    request.host = HandleValue(host);
    return Send(host, request);
  }
  CPackageWindowFrame* row = NewRow();
  if (!row) return false;
  HWND window = row->hwnd();
  Insert(plan.where, CPtrFrame<IFrame>(row), plan.pos, plan.size);
  Arrange();
  request.host = HandleValue(window);
  if (Send(window, request)) return true;
  Remove(window);
  ::DestroyWindow(window);
  return false;
}

}  // namespace dockwins
