// CFrameViews: the main frame's tabbed area and the views in it.
//
//   tabbed area (the frame's client window)
//     tab 0 "&Orvo System": overview splitter (vertical, static edge)
//       left:  "Orvo System Overview" container (close button): system tree
//       right: detail splitter (horizontal)
//         top:    "Primary View - " container: primary view (CChannelView)
//         bottom: "Secondary View - " container (close button): secondary
//                 view (CAmplifierView); while an impedance check runs the
//                 "Impedance View - " container (CImpedanceView) instead
//     tab 1 "&Event Log": the frame's event log window
//
// Containers, splitters and the tabbed area pass their children's
// commands, notifications and drawing messages up to the frame, which
// hands the tree's to `tree_notification` and reflects the detail views'
// back to them.
//
//   CFrameViews views(frame);
//   frame.m_hWndClient = views.create_area(frame);
//   log.Create(views.tabs());
//   views.create_panes(log);
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "detail_views.h"
#include "tabbed_frame.h"
#include "frame_views.h"
#include "impedance_view.h"
#include "log_window_resources.h"
#include "orvo_tree_view.h"
#include "pane_container.h"
#include "res/resource.h"
#include "zel/dynamic_splitter.h"

class CMainFrame;

class CFrameViews : public frame_views {
 public:
  // Control ids of the views inside their containers.
  enum : UINT { tree_id = 0xE900, primary_id = 0xE901, secondary_id = 0xE902 };
  // The tabs' icons.
  enum : UINT { system_tab_icon = IDI_SYSTEM_TAB, event_log_tab_icon = IDI_LOG_EVENT };

  explicit CFrameViews(CMainFrame& frame) noexcept;
  ~CFrameViews() override;
  CFrameViews(const CFrameViews&) = delete;
  CFrameViews& operator=(const CFrameViews&) = delete;

  // The tabbed area, a child of the frame; null when it could not be made.
  HWND create_area(HWND frame);
  // The splitters, containers and views, then the two tabs: the system tab
  // and `log` (a child of the tabbed area) as the event log tab. Throws
  // when a window cannot be made.
  void create_panes(HWND log);

  dockwins::CTabbedChildWindow<>& tabs() noexcept { return m_tabs; }
  WTL::CDynSplitterWindow& overview_splitter() noexcept { return m_overview_split; }
  WTL::CDynSplitterWindow& detail_splitter() noexcept { return m_detail_split; }
  CZELPaneContainer& overview_pane() noexcept { return m_overview_pane; }
  CZELPaneContainer& primary_pane() noexcept { return m_primary_pane; }
  CZELPaneContainer& secondary_pane() noexcept { return m_secondary_pane; }
  // The impedance container while a check runs; null otherwise.
  CZELPaneContainer* impedance_pane() noexcept { return m_impedance_pane.get(); }

  COrvoTreeView& tree() noexcept { return m_tree; }
  CChannelView& primary() noexcept { return m_primary; }
  CAmplifierView& secondary() noexcept { return m_secondary; }
  // The impedance view while a check runs; null otherwise.
  CImpedanceView* impedance() noexcept { return m_impedance.get(); }
  std::wstring primary_title() const;
  std::wstring secondary_title() const;

  // The system tree's selection and label edits, as the frame receives
  // them; false for any other notification.
  bool tree_notification(const NMHDR& header, LRESULT& result);

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

  // The overview is the overview splitter's left pane, the secondary view
  // the detail splitter's lower one.
  bool overview_visible() const override;
  void show_overview(bool show) override;
  void show_secondary(bool show) override;
  bool secondary_visible() const;
  void select_tab(int tab) override;
  int active_tab() const override;

  BOOL filter_message(MSG* msg) override;
  void store_column_layouts(Orvo::protocol& protocol) override;
  void apply_column_layouts(const Orvo::protocol& protocol) override;

 private:
  void show_lower_pane();

  CMainFrame& m_frame;
  dockwins::CTabbedChildWindow<> m_tabs;
  WTL::CDynSplitterWindow m_overview_split, m_detail_split;
  CZELPaneContainer m_primary_pane{false}, m_secondary_pane{true}, m_overview_pane{true};
  std::unique_ptr<CZELPaneContainer> m_impedance_pane;
  COrvoTreeView m_tree;
  CChannelView m_primary;
  CAmplifierView m_secondary;
  std::unique_ptr<CImpedanceView> m_impedance;
  bool m_show_secondary = true;
};
