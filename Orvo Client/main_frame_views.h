// CFrameViews: the main frame's views in its client area. It holds the
// system tree (COrvoTreeView) on the left and passes the tree's selection
// and label edits to the frame; the rest of the area (`detail_area`) holds
// the primary view (CChannelView) above the secondary view (CAmplifierView),
// whose place the impedance view (CImpedanceView) takes while a check runs.
// The detail views' notifications come back to them reflected.
//
//   CFrameViews views(frame);
//   frame.m_hWndClient = views.create(frame);   // a child window of the frame
//   frame.set_views(views);
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "detail_views.h"
#include "frame_views.h"
#include "impedance_view.h"
#include "orvo_tree_view.h"
#include "win/window_impl.h"

class CMainFrame;

class CFrameViews : public frame_views, public WTL::CWindowImpl<CFrameViews> {
 public:
  // The tree's control id inside the views' window.
  enum : UINT { tree_id = 0xE900, primary_id = 0xE901, secondary_id = 0xE902 };

  explicit CFrameViews(CMainFrame& frame) noexcept;
  ~CFrameViews() override;

  static WTL::window_class class_traits() { return {L"Orvo.FrameViews", 0, COLOR_BTNFACE + 1}; }

  // Creates the views' window as a child of the frame and the views in it;
  // null when the window could not be made.
  HWND create(HWND frame);

  COrvoTreeView& tree() noexcept { return m_tree; }
  CChannelView& primary() noexcept { return m_primary; }
  CAmplifierView& secondary() noexcept { return m_secondary; }
  // The impedance view while a check runs; null otherwise.
  CImpedanceView* impedance() noexcept { return m_impedance.get(); }
  const std::wstring& primary_title() const noexcept { return m_primary_title; }
  const std::wstring& secondary_title() const noexcept { return m_secondary_title; }
  // The part of the window the detail views take: all of it right of the tree.
  RECT detail_area() const noexcept;

  void suspend_redraw() override;
  void resume_redraw() override;

  void empty_tree() override;
  void rebuild_tree(IAmplifierState* state, Orvo::IAmplifier* server, const rename_map& renames) override;
  void select_tree_item(long id) override;
  long selected_tree_item() const override;

  void empty_views() override;
  void show_server_properties(ICollection* properties) override;
  void show_state(IAmplifierState* state) override;
  void show_amplifier(IAmplifier* amplifier) override;
  void show_channel(ICollection* channel, IAmplifier* parent) override;
  void scroll_to_current() override;
  void set_view_titles(const std::wstring& primary, const std::wstring& secondary) override;
  void focus_primary() override;
  void focus_view() override;

  void open_impedance(long id, const std::wstring& title) override;
  void impedance_values(const std::vector<unsigned char>& values) override;
  void refresh_impedance(IAmplifierState* state) override;
  void close_impedance() override;

  // The overview is the tree's pane.
  bool overview_visible() const override;
  void show_overview(bool show) override;
  void show_secondary(bool show) override;
  void select_tab(int tab) override { m_tabs.select_tab(tab); }
  int active_tab() const override { return m_tabs.active_tab(); }

  BOOL filter_message(MSG* msg) override;
  void store_column_layouts(Orvo::protocol& protocol) override;
  void apply_column_layouts(const Orvo::protocol& protocol) override;

  BEGIN_MSG_MAP(CFrameViews)
  MESSAGE_HANDLER(WM_SIZE, OnSize)
  NOTIFY_HANDLER(tree_id, TVN_SELCHANGEDW, OnTreeSelChanged)
  NOTIFY_HANDLER(tree_id, TVN_BEGINLABELEDITW, OnTreeBeginLabelEdit)
  NOTIFY_HANDLER(tree_id, TVN_ENDLABELEDITW, OnTreeEndLabelEdit)
  REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTreeSelChanged(int, LPNMHDR, BOOL&);
  LRESULT OnTreeBeginLabelEdit(int, LPNMHDR, BOOL&);
  LRESULT OnTreeEndLabelEdit(int, LPNMHDR, BOOL&);

 private:
  void layout();
  // The window in the secondary view's place: the impedance view while it
  // is open, else the secondary view.
  HWND lower_view() const noexcept;

  CMainFrame& m_frame;
  COrvoTreeView m_tree;
  CChannelView m_primary;
  CAmplifierView m_secondary;
  std::unique_ptr<CImpedanceView> m_impedance;
  bool m_show_secondary = true;
  // Titles kept until the views have panes that show them.
  std::wstring m_primary_title, m_secondary_title, m_impedance_title;
  null_frame_views m_tabs;  // the tabbed area's stand-in: the active tab
};
