// The docking frame: the main window's panes in rows and columns along its
// edges, resized by 5-pixel splitter bars.
//
//   class CMainFrame : public dockwins::CDockingFrameImplBase<CMainFrame> {
//    public:
//     enum { IDR = 128 };
//     BEGIN_MSG_MAP(CMainFrame)
//       MESSAGE_HANDLER(WM_CREATE, OnCreate)           // sets m_hWndClient
//       CHAIN_MSG_MAP(dockwins::CDockingFrameImplBase<CMainFrame>)
//     END_MSG_MAP()
//   };
//   DockRequest request{};  request.window = box;  request.code = 5;
//   request.flags = dock_flags::BeforeCentre | dock_flags::OwnRow;  request.row_extent = 120;
//   frame.SendMessage(DockingRequestMessage, 0, reinterpret_cast<LPARAM>(&request));
//
// The frame holds two packages: the outer one stacks rows from top to
// bottom around a nested inner package, which lines columns up from left
// to right around the client view. Every row or column is a package window
// holding the docked boxes across its own axis. The arithmetic (layout,
// insertion, drops, ratios) is the portable FramesPackage; these classes
// move the windows, draw the bars and answer the docking requests.
#pragma once

#include <windows.h>

#include <memory>
#include <utility>

#include "core/dock_request.h"
#include "core/frames_package.h"
#include "docking_settings.h"
#include "focus_handler.h"
#include "splitter_tracker.h"
#include "win/gdi.h"
#include "win/window_impl.h"
#include "win_rect.h"
#include "zel/frame_window.h"

namespace dockwins {

// Docking requests: a DockRequest by pointer in lParam.
constexpr UINT DockingRequestMessage = WM_USER + 1;
// A box's dock state notice from its host: wParam MAKEWPARAM(1, the row is
// horizontal) with the host in lParam when docked, 0 with the old host
// when undocked.
constexpr UINT DockStateMessage = WM_USER;

// The redraw after a docking change or a splitter move.
constexpr UINT RedrawWithView = RDW_INVALIDATE | RDW_UPDATENOW;
constexpr UINT RedrawWithoutView = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

// Window handles travel in docking requests as 32-bit values.
inline HWND WindowOf(std::int32_t handle) noexcept { return static_cast<HWND>(LongToHandle(handle)); }
inline std::int32_t HandleValue(HWND window) noexcept { return HandleToLong(window); }

// Where the pointer is, in a window's client coordinates. Cursor choices
// read it rather than the message position: Wine sends WM_SETCURSOR for a
// mouse move while GetMessagePos still gives the message before it.
POINT PointerIn(HWND window) noexcept;

// The minimum track size a window reports for a zeroed MINMAXINFO.
POINT GetMinTrackSize(HWND window) noexcept;

// Docks a box into a row window and undocks it again (the box's style,
// parent and state notice).
void DockToRow(HWND box, HWND row, bool row_horizontal) noexcept;
void UndockFromRow(HWND box, HWND row) noexcept;

// A splitter bar of the given width: drawn in the button-face colour.
template <int t_width>
class CSimpleSplitterBar {
 public:
  static_assert(t_width == SplitterWidth, "the layout arithmetic keeps 5-pixel bars");
  static constexpr int width = t_width;

  RECT rect{};
  bool horizontal = false;

  CSimpleSplitterBar() = default;
  explicit CSimpleSplitterBar(const SplitterBar& bar) : rect(ToRECT(bar.rect)), horizontal(bar.horizontal) {}

  void Draw(HDC dc) const { ::FillRect(dc, &rect, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1))); }
  HCURSOR Cursor() const {
    const DockingSettings& settings = DockingSettings::Global();
    return horizontal ? settings.horizontal_bar_cursor : settings.vertical_bar_cursor;
  }
};

template <class TSplitterBar, DWORD t_style, DWORD t_exStyle>
class CDockingFrameTraitsT : public WTL::CWinTraits<t_style, t_exStyle> {
 public:
  using CSplitterBar = TSplitterBar;
};
using CDockingFrameTraits =
    CDockingFrameTraitsT<CSimpleSplitterBar<5>, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                         WS_EX_APPWINDOW | WS_EX_WINDOWEDGE>;
static_assert(CDockingFrameTraits::GetWndStyle(0) == 0x06CF0000 && CDockingFrameTraits::GetWndExStyle(0) == 0x00040100,
              "the frame's window styles");

// An entry of a frame package, owned by the package that holds it.
class IFrame {
 public:
  virtual ~IFrame() = default;
  // The window the entry stands for (0 when none).
  virtual HWND hwnd() const = 0;
  // Offers a docking request (its rectangle in the owner's client
  // coordinates); true when taken.
  virtual bool AcceptDocking(DockRequest& request) = 0;
  // The entry's minimum size along the axis of the package that holds it.
  virtual int MinExtent() const = 0;
  virtual void GetMinMaxInfo(MINMAXINFO* info) const = 0;
  // Queues the entry's move into a DeferWindowPos batch; the new batch, or
  // 0 when the move failed.
  virtual HDWP SetPosition(HDWP batch, int left, int top, int right, int bottom) const {
    return ::DeferWindowPos(batch, hwnd(), nullptr, left, top, right - left, bottom - top,
                            SWP_NOZORDER | SWP_NOACTIVATE);
  }
};

// A package entry that owns an IFrame.
template <class TFrame>
class CPtrFrame {
 public:
  explicit CPtrFrame(TFrame* frame) : m_frame(frame) {}
  TFrame* operator->() const { return m_frame.get(); }
  TFrame& operator*() const { return *m_frame; }
  int MinExtent() const { return m_frame->MinExtent(); }
  HWND hwnd() const { return m_frame->hwnd(); }
  void GetMinMaxInfo(MINMAXINFO* info) const { m_frame->GetMinMaxInfo(info); }
  HDWP SetPosition(HDWP batch, const RECT& r) const {
    return m_frame->SetPosition(batch, r.left, r.top, r.right, r.bottom);
  }

 private:
  std::unique_ptr<TFrame> m_frame;
};

// A package entry that is a docked box's window, in a row whose axis is
// `horizontal`.
class CWndFrame {
 public:
  CWndFrame(HWND window, bool horizontal) : m_hWnd(window), m_horizontal(horizontal) {}
  HWND hwnd() const { return m_hWnd; }
  void Replace(HWND window) { m_hWnd = window; }
  int MinExtent() const {
    const POINT minimum = GetMinTrackSize(m_hWnd);
    return m_horizontal ? minimum.x : minimum.y;
  }
  void GetMinMaxInfo(MINMAXINFO* info) const {
    ::SendMessageW(m_hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(info));
  }
  HDWP SetPosition(HDWP batch, const RECT& r) const {
    return ::DeferWindowPos(batch, m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                            SWP_NOZORDER | SWP_NOACTIVATE);
  }

 private:
  HWND m_hWnd;
  bool m_horizontal;
};

// A package of entries laid out along one axis in a window's client area:
// the window side of FramesPackage. `TFrame` is CPtrFrame<IFrame> in the
// frame and CWndFrame in a row.
template <class TFrame, class TSplitterBar = CSimpleSplitterBar<5>>
class CWndFramesPackageBase {
 public:
  using Package = FramesPackage<TFrame>;
  using CSplitterBar = TSplitterBar;

  CWndFramesPackageBase(HWND* owner, bool horizontal) : m_owner(owner), m_package(horizontal) {}

  Package& Frames() { return m_package; }
  const Package& Frames() const { return m_package; }
  // Empties the package: no entries, no bounds.
  void Reset() { m_package = Package(m_package.Horizontal()); }
  bool IsHorizontal() const { return m_package.Horizontal(); }
  RECT Bounds() const { return ToRECT(m_package.Bounds()); }
  HWND Owner() const { return *m_owner; }

  // Fits the entries into a new rectangle and moves them; nothing when the
  // rectangle is the one they fill.
  bool UpdateLayout(const RECT& rc) { return !m_package.UpdateLayout(ToRect(rc)) || Arrange(); }

  // Moves every entry to its span, all in one batch; false when a move fails.
  bool Arrange() {
    if (m_package.Count() == 0) return true;
    HDWP batch = ::BeginDeferWindowPos(static_cast<int>(m_package.Count()));
    if (!batch) return false;
    const std::vector<zel::rect> spans = m_package.Arrange();
    for (std::size_t i = 0; i < spans.size(); ++i) {
      batch = m_package.Frames()[i].frame.SetPosition(batch, ToRECT(spans[i]));
      if (!batch) return false;
    }
    return ::EndDeferWindowPos(batch) != FALSE;
  }

  void Draw(HDC dc) const {
    for (const SplitterBar& bar : m_package.Bars()) CSplitterBar(bar).Draw(dc);
  }

  int GetMinFrameDist(std::size_t first, std::size_t last) const { return m_package.GetMinFrameDist(first, last); }

  std::size_t Insert(std::size_t where, TFrame frame, int pos, int size, bool central = false) {
    return m_package.Insert(where, std::move(frame), pos, size, central);
  }

  // The index of the entry standing for `window`; Count() when none.
  std::size_t Find(HWND window) const {
    const auto& entries = m_package.Frames();
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (window && entries[i].frame.hwnd() == window) return i;
    return entries.size();
  }

  // Takes the entry of `window` out and rearranges; false when none.
  bool Remove(HWND window) {
    const std::size_t i = Find(window);
    if (i == m_package.Count()) return false;
    m_package.Remove(i);
    Arrange();
    return true;
  }

  // The splitter bar under a point of the owner's client area.
  bool HitBar(POINT pt, CSplitterBar* bar) const {
    const RECT bounds = Bounds();
    if (!::PtInRect(&bounds, pt)) return false;
    const std::size_t i = m_package.BarAt(IsHorizontal() ? pt.x : pt.y);
    if (i == m_package.Count()) return false;
    if (bar) *bar = CSplitterBar(m_package.Bars()[i - 1]);
    return true;
  }

  // Drags the bar under a point (owner's client coordinates) with the
  // mouse: outline or full by the settings. True when a move completed.
  bool StartDrag(POINT pt) {
    const std::size_t i = m_package.BarAt(IsHorizontal() ? pt.x : pt.y);
    if (i == 0 || i >= m_package.Count()) return false;
    const SplitterTarget target{Owner(),
                                IsHorizontal(),
                                [this](std::size_t entry, int pos) { return m_package.MoveBar(entry, pos); },
                                [this] { return m_package.Positions(); },
                                [this](const std::vector<std::int32_t>& p) { m_package.SetPositions(p); },
                                [this] { Arrange(); },
                                m_package.SplitterRange(i),
                                m_package.Frames()[i].pos,
                                i,
                                ToRECT(m_package.Bounds())};
    return TrackSplitter(target, IsHorizontal() ? pt.x : pt.y, DockingSettings::Global().IsGhostDrag());
  }

  // The package's minimum: along the axis every entry's with the bars
  // between them, across it the largest; unchanged when empty.
  void GetMinMaxInfo(MINMAXINFO* info) const {
    std::vector<zel::size> minima;
    for (const auto& entry : m_package.Frames()) {
      MINMAXINFO one{};
      entry.frame.GetMinMaxInfo(&one);
      minima.push_back({one.ptMinTrackSize.x, one.ptMinTrackSize.y});
    }
    zel::size minimum{info->ptMinTrackSize.x, info->ptMinTrackSize.y};
    PackageMinimum(IsHorizontal(), minima, minimum);
    info->ptMinTrackSize = {minimum.cx, minimum.cy};
  }

 protected:
  HWND* m_owner;
  Package m_package;
};

// The client view of the frame, given by a pointer to its handle.
class CWindowPtrWrapper : public IFrame {
 public:
  explicit CWindowPtrWrapper(HWND* window) : m_pWnd(window) {}
  HWND hwnd() const override { return *m_pWnd; }
  bool AcceptDocking(DockRequest&) override { return false; }
  int MinExtent() const override {
    MINMAXINFO info{};
    GetMinMaxInfo(&info);
    return info.ptMinTrackSize.x;
  }
  void GetMinMaxInfo(MINMAXINFO* info) const override {
    if (*m_pWnd) ::SendMessageW(*m_pWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(info));
  }
  HDWP SetPosition(HDWP batch, int left, int top, int right, int bottom) const override {
    return *m_pWnd ? IFrame::SetPosition(batch, left, top, right, bottom) : batch;
  }

 private:
  HWND* m_pWnd;
};

class CFramePackage;

// The package windows of the frame: one row or column of docked boxes.
class CPackageWindowFrame : public IFrame {
 public:
  // The row's window: its package runs across the axis of the package
  // that holds it. It deletes itself when its window is gone.
  class CPackageWindowT : public WTL::CWindowImpl<CPackageWindowT, WTL::CWindow, WTL::CNullTraits> {
   public:
    static WTL::window_class class_traits() { return {PackageWindowClassName, CS_DBLCLKS, 0, IDC_ARROW}; }

    explicit CPackageWindowT(bool horizontal) : m_package(&m_hWnd, horizontal) {}
    CWndFramesPackageBase<CWndFrame>& Package() { return m_package; }

    BEGIN_MSG_MAP(CPackageWindowT)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBackground)
    MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(DockingRequestMessage, OnDockingRequest)
    END_MSG_MAP()

    void OnFinalMessage(HWND) override { delete this; }

   private:
    LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEraseBackground(UINT, WPARAM, LPARAM, BOOL&) { return 1; }
    LRESULT OnSetCursor(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDockingRequest(UINT, WPARAM, LPARAM, BOOL&);

    bool DropTest(DockRequest& request);
    bool AcceptDrop(DockRequest& request);
    bool RemoveBox(DockRequest& request);
    bool GetDockPosition(DockRequest& request);
    bool Dock(DockRequest& request);
    bool ReplaceBox(DockRequest& request);
    bool MinimumSize(DockRequest& request);

    CWndFramesPackageBase<CWndFrame> m_package;
  };

  // Creates the row's window as a child of `frame`; hwnd() is 0 when that failed.
  CPackageWindowFrame(HWND frame, bool horizontal);
  HWND hwnd() const override { return m_window; }
  bool AcceptDocking(DockRequest& request) override;
  int MinExtent() const override;
  void GetMinMaxInfo(MINMAXINFO* info) const override;

 private:
  HWND m_frame;
  HWND m_window = nullptr;
  bool m_horizontal;
};

// A package of the frame: its entries are the client view or the nested
// package (the central entry) and the package windows of the rows.
class CFramePackage : public CWndFramesPackageBase<CPtrFrame<IFrame>> {
 public:
  using CWndFramesPackageBase::CWndFramesPackageBase;

  // Request code 1: where a box dragged at the request's rectangle (the
  // owner's client coordinates) would dock in this package.
  bool AcceptDocking(DockRequest& request);
  // Request code 2 after this package took the drop test.
  bool AcceptDrop(DockRequest& request);
  // Request code 4 for a box whose row is `request.host`.
  bool GetDockPosition(DockRequest& request);
  // Request code 5: dock by side, row index and row extent.
  bool DockWindow(DockRequest& request);

 private:
  CPackageWindowFrame* NewRow();
};

// The nested package as an entry of the package that holds it.
class CSubWndFramesPackage {
 public:
  class CFrameWrapper : public IFrame {
   public:
    explicit CFrameWrapper(CFramePackage* package) : m_package(package) {}
    HWND hwnd() const override { return nullptr; }
    bool AcceptDocking(DockRequest&) override { return true; }
    int MinExtent() const override {
      MINMAXINFO info{};
      GetMinMaxInfo(&info);
      return m_package->IsHorizontal() ? info.ptMinTrackSize.y : info.ptMinTrackSize.x;
    }
    void GetMinMaxInfo(MINMAXINFO* info) const override { m_package->GetMinMaxInfo(info); }
    HDWP SetPosition(HDWP batch, int left, int top, int right, int bottom) const override {
      m_package->UpdateLayout(RECT{left, top, right, bottom});
      return batch;
    }

   private:
    CFramePackage* m_package;
  };
};

// The main frame's docking base: owns the two top packages, draws their
// bars, drags them, and answers docking requests. Unhandled messages go on
// to the frame window.
template <class T, class TBase = WTL::CWindow, class TTraits = CDockingFrameTraits>
class CDockingFrameImplBase : public zel::frame_window_impl<T, TBase, TTraits> {
  using base = zel::frame_window_impl<T, TBase, TTraits>;

 public:
  using CSplitterBar = typename TTraits::CSplitterBar;

  CDockingFrameImplBase() : m_vPackage(&this->m_hWnd, false), m_hPackage(&this->m_hWnd, true) {}

  // Lays out the bars, then gives the docking packages the client area
  // left between them. A layout started from inside a layout only places
  // the bars; the outermost one places the panes.
  void UpdateLayout(BOOL resizeBars = TRUE) {
    const RECT area = zel::frame::client_area(this->m_hWnd, this->m_hWndToolBar, this->m_hWndStatusBar, resizeBars);
    if (m_layout_depth > 0) return;
    ++m_layout_depth;
    m_vPackage.UpdateLayout(area);
    // The view may have come after the area was last laid out (the frame
    // lays out when it is created): its column always takes its place.
    m_hPackage.Arrange();
    --m_layout_depth;
  }

  CFramePackage& OuterPackage() { return m_vPackage; }
  CFramePackage& InnerPackage() { return m_hPackage; }

  BEGIN_MSG_MAP(CDockingFrameImplBase)
  MESSAGE_HANDLER(WM_CREATE, OnCreate)
  MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingChange)
  MESSAGE_HANDLER(WM_SYSCOLORCHANGE, OnSettingChange)
  MESSAGE_HANDLER(WM_PAINT, OnPaint)
  MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
  MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
  MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
  MESSAGE_HANDLER(DockingRequestMessage, OnDockingRequest)
  CHAIN_MSG_MAP(base)
  END_MSG_MAP()

 protected:
  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    DockingSettings& settings = DockingSettings::Global();
    settings.flags = 0;
    settings.Refresh();
    // Each window starts from empty packages: an object whose earlier
    // window was destroyed still holds that window's rows.
    m_vPackage.Reset();
    m_hPackage.Reset();
    m_layout_depth = 0;
    m_hPackage.Insert(0, CPtrFrame<IFrame>(new CWindowPtrWrapper(&this->m_hWndClient)), 0, 0, true);
    m_vPackage.Insert(0, CPtrFrame<IFrame>(new CSubWndFramesPackage::CFrameWrapper(&m_hPackage)), 0, 0, true);
    // Laid out over the client area at once, so that panes docked while
    // the frame is being created find their places; the bars made later
    // take their room from the centre.
    RECT client;
    ::GetClientRect(this->m_hWnd, &client);
    m_vPackage.UpdateLayout(client);
    bHandled = FALSE;  // the frame's own creation follows
    return 0;
  }
  LRESULT OnSettingChange(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    DockingSettings::Global().Refresh();
    bHandled = FALSE;  // the frame passes it on to its children
    return 0;
  }
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
    WTL::CPaintDC dc(this->m_hWnd);
    m_vPackage.Draw(dc);
    m_hPackage.Draw(dc);
    return 0;
  }
  LRESULT OnSetCursor(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    bHandled = FALSE;
    if (reinterpret_cast<HWND>(wParam) != this->m_hWnd || LOWORD(lParam) != HTCLIENT) return 0;
    const POINT pt = PointerIn(this->m_hWnd);
    CSplitterBar bar;
    if (!m_hPackage.HitBar(pt, &bar) && !m_vPackage.HitBar(pt, &bar)) return 0;
    ::SetCursor(bar.Cursor());
    bHandled = TRUE;
    return TRUE;
  }
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
    const POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const RECT outer = m_vPackage.Bounds(), inner = m_hPackage.Bounds();
    bHandled = FALSE;
    if (!::PtInRect(&outer, pt)) return 0;
    CFramePackage& package = ::PtInRect(&inner, pt) ? m_hPackage : m_vPackage;
    if (!package.HitBar(pt, nullptr)) return 0;
    bHandled = TRUE;
    if (package.StartDrag(pt)) Redraw();
    return 0;
  }
  LRESULT OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL&) {
    const LRESULT result = this->DefWindowProc(uMsg, wParam, lParam);
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    if (m_vPackage.Frames().Count() == 0) return result;
    MINMAXINFO minimum{};
    m_vPackage.GetMinMaxInfo(&minimum);
    RECT window, bounds = m_vPackage.Bounds();
    ::GetWindowRect(this->m_hWnd, &window);
    info->ptMinTrackSize.x = minimum.ptMinTrackSize.x + (window.right - window.left) - (bounds.right - bounds.left);
    info->ptMinTrackSize.y = minimum.ptMinTrackSize.y + (window.bottom - window.top) - (bounds.bottom - bounds.top);
    return result;
  }
  LRESULT OnDockingRequest(UINT, WPARAM, LPARAM lParam, BOOL&) {
    auto* request = reinterpret_cast<DockRequest*>(lParam);
    if (!request) return FALSE;
    bool result = false;
    switch (request->code) {
      case dock_code::DropTest: {
        RECT r = ToRECT(request->DragRect());
        ::MapWindowPoints(nullptr, this->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        request->SetDragRect(ToRect(r));
        request->host = 0;
        result = m_hPackage.AcceptDocking(*request) || m_vPackage.AcceptDocking(*request);
        if (!result) request->host = 0;
        r = ToRECT(request->DragRect());
        ::MapWindowPoints(this->m_hWnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
        request->SetDragRect(ToRect(r));
        break;
      }
      case dock_code::AcceptDrop:
        result = (request->DropFlags() & DropInInnerPackage ? m_hPackage : m_vPackage).AcceptDrop(*request);
        Redraw();
        break;
      case dock_code::Remove:
        result = m_vPackage.Remove(WindowOf(request->window)) || m_hPackage.Remove(WindowOf(request->window));
        Redraw();
        break;
      case dock_code::GetPosition:
        request->flags = 0;
        result = m_vPackage.GetDockPosition(*request);
        if (!result) {
          request->flags = dock_flags::Inner;
          result = m_hPackage.GetDockPosition(*request);
        }
        break;
      case dock_code::Dock:
        result = ((request->flags & dock_flags::Inner) ? m_hPackage : m_vPackage).DockWindow(*request);
        Redraw();
        break;
      case dock_code::AdjustDragRect: {
        RECT client;
        ::GetClientRect(this->m_hWnd, &client);
        request->SetDragRect(AdjustDragRect(request->DragRect(), {client.right, client.bottom},
                                            {::GetSystemMetrics(SM_CXMIN), ::GetSystemMetrics(SM_CYMIN)}));
        result = true;
        break;
      }
      default:
        break;
    }
    return result ? TRUE : FALSE;
  }

  void Redraw() {
    ::RedrawWindow(this->m_hWnd, nullptr, nullptr, this->m_hWndClient ? RedrawWithView : RedrawWithoutView);
  }

  CFramePackage m_vPackage;  // rows, top to bottom, around the inner package
  CFramePackage m_hPackage;  // columns, left to right, around the client view
  int m_layout_depth = 0;
};

}  // namespace dockwins
