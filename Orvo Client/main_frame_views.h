// CFrameViews: the main frame's views in its client area. It holds the
// system tree (COrvoTreeView) on the left and passes the tree's selection
// and label edits to the frame; the rest of the area is kept for the
// detail views (`detail_area`). Until those views come, every request for
// them goes to `m_detail_views`, which takes and drops it.
//
//   CFrameViews views(frame);
//   frame.m_hWndClient = views.create(frame);   // a child window of the frame
//   frame.set_views(views);
#pragma once

#include <windows.h>

#include "frame_views.h"
#include "orvo_tree_view.h"
#include "win/window_impl.h"

class CMainFrame;

class CFrameViews : public frame_views, public WTL::CWindowImpl<CFrameViews> {
 public:
  // The tree's control id inside the views' window.
  enum : UINT { tree_id = 0xE900 };

  explicit CFrameViews(CMainFrame& frame) noexcept : m_frame(frame) {}

  static WTL::window_class class_traits() { return {L"Orvo.FrameViews", 0, COLOR_BTNFACE + 1}; }

  // Creates the views' window as a child of the frame and the views in it;
  // null when the window could not be made.
  HWND create(HWND frame);

  COrvoTreeView& tree() noexcept { return m_tree; }
  // The part of the window the detail views take: all of it right of the tree.
  RECT detail_area() const noexcept;

  void suspend_redraw() override;
  void resume_redraw() override;

  void empty_tree() override;
  void rebuild_tree(IAmplifierState* state, Orvo::IAmplifier* server, const rename_map& renames) override;
  void select_tree_item(long id) override;
  long selected_tree_item() const override;

  void empty_views() override { m_detail_views.empty_views(); }
  void show_server_properties(ICollection* properties) override { m_detail_views.show_server_properties(properties); }
  void show_state(IAmplifierState* state) override { m_detail_views.show_state(state); }
  void show_amplifier(IAmplifier* amplifier) override { m_detail_views.show_amplifier(amplifier); }
  void show_channel(ICollection* channel, IAmplifier* parent) override { m_detail_views.show_channel(channel, parent); }
  void scroll_to_current() override { m_detail_views.scroll_to_current(); }
  void set_view_titles(const std::wstring& primary, const std::wstring& secondary) override {
    m_detail_views.set_view_titles(primary, secondary);
  }
  void focus_primary() override { m_detail_views.focus_primary(); }
  void focus_view() override { m_detail_views.focus_view(); }

  void open_impedance(long id, const std::wstring& title) override { m_detail_views.open_impedance(id, title); }
  void impedance_values(const std::vector<unsigned char>& values) override { m_detail_views.impedance_values(values); }
  void refresh_impedance(IAmplifierState* state) override { m_detail_views.refresh_impedance(state); }
  void close_impedance() override { m_detail_views.close_impedance(); }

  // The overview is the tree's pane.
  bool overview_visible() const override;
  void show_overview(bool show) override;
  void show_secondary(bool show) override { m_detail_views.show_secondary(show); }
  void select_tab(int tab) override { m_detail_views.select_tab(tab); }
  int active_tab() const override { return m_detail_views.active_tab(); }

  BOOL filter_message(MSG* msg) override;

  BEGIN_MSG_MAP(CFrameViews)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  NOTIFY_HANDLER(tree_id, TVN_SELCHANGEDW, OnTreeSelChanged)
  NOTIFY_HANDLER(tree_id, TVN_BEGINLABELEDITW, OnTreeBeginLabelEdit)
  NOTIFY_HANDLER(tree_id, TVN_ENDLABELEDITW, OnTreeEndLabelEdit)
  END_MSG_MAP()

  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTreeSelChanged(int, LPNMHDR, BOOL&);
  LRESULT OnTreeBeginLabelEdit(int, LPNMHDR, BOOL&);
  LRESULT OnTreeEndLabelEdit(int, LPNMHDR, BOOL&);

 private:
  void layout();

  CMainFrame& m_frame;
  COrvoTreeView m_tree;
  null_frame_views m_detail_views;
};
