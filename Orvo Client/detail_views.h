// The detail views: settings of the amplifier state as tables, one row per
// object (an amplifier or a channel), one column per property, edited in
// place. CChannelView lists channels, CAmplifierView amplifiers (and asks
// before a "Serial No" is edited). The owner serves the held state and
// takes the changes; the parent window must reflect notifications, since
// edit requests and the editors' results come back to the view that way.
//
//   CChannelView channels(frame, &loop);
//   channels.Create(pane, rect, nullptr, 0, 0, id);
//   channels.clear();
//   channels.show_all_channels(state);
//
// Every show operation suspends drawing while it runs; after it the focus
// cell is kept inside the list. Failures of the show operations raise
// comet::com_error; failures while the user edits go to the owner's log.
//
// A clear inside a suspension keeps the rows and columns for the show
// operation that follows: its rows take the old ones in order, and where
// they show the same objects under the same columns only the texts that
// differ are set, with drawing left on. What the show operation does not
// take is deleted at its end, or at the end of the suspension when none
// follows; the list then looks exactly as after a clear and a fresh fill,
// except that it keeps its scroll position.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "OrvoImpl_h.h"
#include "core/records.h"
#include "frame_views.h"
#include "safe_set_redraw.h"
#include "win/loop.h"
#include "zel/editable_list_view.h"
#include "zel/paint_no_items.h"

class CDetailView : public zel::editable_list_view<CDetailView>,
                    public zel::paint_no_items<CDetailView>,
                    public CSafeSetRedraw<CDetailView, true> {
 public:
  // Control ids of the in-place editors.
  static constexpr UINT edit_id = 0xEDEF;
  static constexpr UINT list_id = 0xEDED;
  // Posted to itself to store the column layout once the header has
  // finished a drag or a resize.
  static constexpr UINT WM_STORE_COLUMNS = WM_APP + 0x321;

  explicit CDetailView(view_owner& owner, WTL::CMessageLoop* loop = nullptr) noexcept : m_owner(owner), m_loop(loop) {}

  void show_object(IAmplifier* amplifier);       // one row: its Functions
  void show_amplifiers(IAmplifierState* state);  // one row per amplifier
  void show_channels(IAmplifier* amplifier);     // one row per channel
  void show_all_channels(IAmplifierState* state);
  void add_row(ICollection* collection);
  // Stores the column layout, then removes every row and column (inside a
  // suspension: leaves them to the next show operation, see above).
  void clear();

  void store_column_attributes();
  void apply_column_attributes();
  column_attributes_map& column_attributes() noexcept { return m_columns; }
  const column_attributes_map& column_attributes() const noexcept { return m_columns; }

  // The end of the last suspension deletes what a clear left unused.
  void OnRedrawResuming() noexcept { finish_reuse(); }

  // Runs an edit handler's work; a failure goes to the owner's log.
  template <class Body>
  void guard(Body&& body) noexcept {
    try {
      body();
    } catch (...) {
      report_failure();
    }
  }

  BEGIN_MSG_MAP(CDetailView)
  CHAIN_MSG_MAP(zel::paint_no_items<CDetailView>)
  CHAIN_MSG_MAP(zel::editable_list_view<CDetailView>)
  NOTIFY_CODE_HANDLER(HDN_ENDTRACKW, OnHeaderEnd)
  NOTIFY_CODE_HANDLER(HDN_ENDTRACKA, OnHeaderEnd)
  NOTIFY_CODE_HANDLER(HDN_ENDDRAG, OnHeaderEnd)
  MESSAGE_HANDLER(WM_STORE_COLUMNS, OnStoreColumns)
  REFLECTED_NOTIFY_CODE_HANDLER(LVN_BEGINLABELEDITW, OnBeginEdit)
  REFLECTED_NOTIFY_CODE_HANDLER(LVN_ENDLABELEDITW, OnEndEdit)
  DEFAULT_REFLECTION_HANDLER()
  END_MSG_MAP()

  LRESULT OnHeaderEnd(int, LPNMHDR, BOOL&);
  LRESULT OnStoreColumns(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnBeginEdit(int, LPNMHDR, BOOL&);
  LRESULT OnEndEdit(int, LPNMHDR, BOOL&);

 protected:
  // The header text of a column.
  std::wstring column_name(int column) const;
  view_owner& owner() noexcept { return m_owner; }

 private:
  // Suspends drawing; the outermost one limits the focus cell at its end.
  class refill {
   public:
    explicit refill(CDetailView& view) noexcept;
    ~refill();
    refill(const refill&) = delete;
    refill& operator=(const refill&) = delete;

   private:
    CDetailView& m_view;
  };

  int find_or_insert_column(IProperty* property, const std::wstring& name);
  // Deletes the header columns from `first` on.
  void delete_columns_from(std::size_t first) noexcept;
  // Deletes the rows and columns that the refill after a clear did not take.
  void finish_reuse() noexcept;
  void set_cell(int row, int column, const std::wstring& text);
  void insert_row(int row);
  // Sets a row's item data (the object ID) unless it already is that.
  void set_row_id(int row, LPARAM id);
  // The property of a cell, from the owner's state.
  comet::com_ptr<IProperty> property_of(int row, int column);
  void begin_edit(int row, int column);
  void commit_edit(int row, int column, const wchar_t* text);
  void report_failure() noexcept;

  view_owner& m_owner;
  WTL::CMessageLoop* m_loop;
  column_attributes_map m_columns;
  std::vector<std::wstring> m_column_names;  // the header's texts by index
  int m_refills = 0;
  // After a clear inside a suspension: the rows and columns still held for
  // reuse, how many rows the refill has taken so far, and how many of the
  // leading columns it has shown.
  bool m_reuse = false;
  int m_rows_taken = 0;
  std::size_t m_columns_taken = 0;
};

// One row per channel.
class CChannelView : public CDetailView {
 public:
  using CDetailView::CDetailView;
};

// One row per amplifier; editing its "Serial No" is confirmed first.
class CAmplifierView : public CDetailView {
 public:
  using CDetailView::CDetailView;

  static const wchar_t* const serial_warning;

  BEGIN_MSG_MAP(CAmplifierView)
  REFLECTED_NOTIFY_CODE_HANDLER(LVN_BEGINLABELEDITW, OnBeginEdit)
  CHAIN_MSG_MAP(CDetailView)
  END_MSG_MAP()

  LRESULT OnBeginEdit(int, LPNMHDR, BOOL&);
};
