#include "detail_views.h"

#include <algorithm>
#include <iterator>

#include "comet/variant.h"
#include "core/detail_columns.h"
#include "error_report.h"
#include "state_walk.h"
#include "ui_seams.h"
#include "zel/in_place_editors.h"

const wchar_t* const CAmplifierView::serial_warning =
    L"Changing the Serial No field to anything other than the serial no \ndisplayed on the rear of the Orvo can "
    L"have unexpected side effects\n\nContinue ?";

namespace {

const wchar_t* const serial_column = L"Serial No";

Orvo::wide_string to_u16(const std::wstring& text) { return Orvo::wide_string(text.begin(), text.end()); }
std::wstring to_wide(const Orvo::wide_string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring name_of(IIdentifier* object) {
  comet::bstr_t name;
  const HRESULT hr = object->get_Name(name.out());
  if (FAILED(hr)) raise_IIdentifier(hr, object);
  return name.w_str();
}

LONG id_of(IIdentifier* object) {
  LONG id = 0;
  const HRESULT hr = object->get_ID(&id);
  if (FAILED(hr)) raise_IIdentifier(hr, object);
  return id;
}

comet::variant_t value_of(IProperty* property) {
  comet::variant_t value;
  const HRESULT hr = property->get_Value(value.out());
  if (FAILED(hr)) raise_IProperty(hr, property);
  return value;
}

std::vector<std::wstring> legal_values(IProperty* property) {
  std::vector<std::wstring> values;
  for_each_property_value(property, [&](const std::wstring& text) { values.push_back(text); });
  return values;
}

int string_width(HWND list, const std::wstring& text) {
  return static_cast<int>(::SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

std::wstring cell_text(HWND list, int row, int column) {
  wchar_t buffer[1024] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = static_cast<int>(std::size(buffer));
  ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

// The header's columns with their names and widths.
std::vector<Orvo::header_column> header_columns(HWND list) {
  std::vector<Orvo::header_column> columns;
  const int count = zel::detail::list_column_count(list);
  for (int i = 0; i < count; ++i) {
    wchar_t buffer[256] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = buffer;
    column.cchTextMax = static_cast<int>(std::size(buffer));
    ::SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
    columns.push_back({to_u16(buffer), column.cx});
  }
  return columns;
}

// The records of a failed edit handler, for the owner's log.
class owner_sink final : public CLogSink {
 public:
  explicit owner_sink(view_owner& owner) noexcept : m_owner(owner) {}
  void add_record(const std::wstring& text, int level, HRESULT code) override {
    m_owner.Log(text.c_str(), level, code);
  }
  void set_status_text(const std::wstring&) override {}

 private:
  view_owner& m_owner;
};

}  // namespace

CDetailView::refill::refill(CDetailView& view) noexcept : m_view(view) {
  m_view.SuspendRedraw();
  ++m_view.m_refills;
}

CDetailView::refill::~refill() {
  if (--m_view.m_refills == 0 && m_view.m_hWnd) {
    // The rows are in: what a clear left over goes, the stored layout goes
    // on the header once, then the focus cell is kept inside the list.
    m_view.finish_reuse();
    m_view.guard([this] { m_view.apply_column_attributes(); });
    m_view.limit_focus_cell();
    // Texts set with drawing on have redrawn their own cells.
    const bool stopped = m_view.IsRedrawStopped();
    m_view.ReleaseRedraw();
    if (stopped) ::InvalidateRect(m_view.m_hWnd, nullptr, TRUE);
  } else {
    m_view.ReleaseRedraw();
  }
}

void CDetailView::show_object(IAmplifier* amplifier) {
  refill r(*this);
  add_row(get_functions(comet::checked(amplifier)).get());
}

void CDetailView::show_amplifiers(IAmplifierState* state) {
  refill r(*this);
  for_each_amplifier(comet::checked(state),
                     [this](const comet::com_ptr<IAmplifier>& amplifier) { show_object(amplifier.get()); });
}

void CDetailView::show_channels(IAmplifier* amplifier) {
  refill r(*this);
  for_each_channel_collection(comet::checked(amplifier),
                              [this](const comet::com_ptr<ICollection>& channel) { add_row(channel.get()); });
}

void CDetailView::show_all_channels(IAmplifierState* state) {
  refill r(*this);
  for_each_amplifier(comet::checked(state),
                     [this](const comet::com_ptr<IAmplifier>& amplifier) { show_channels(amplifier.get()); });
}

void CDetailView::add_row(ICollection* collection) {
  comet::checked(collection);
  refill r(*this);
  const int rows = zel::detail::list_row_count(m_hWnd);
  const int row = m_reuse ? m_rows_taken : rows;
  const bool reused = row < rows;
  bool started = false;
  std::vector<bool> written;  // the columns of a reused row given their text
  // A reused row keeps no text of its old object: the columns this one
  // leaves out are emptied.
  const auto empty_the_rest = [&] {
    written.resize(m_column_names.size());
    for (std::size_t column = 0; column < written.size(); ++column) {
      const int c = static_cast<int>(column);
      if (!written[column] && !cell_text(m_hWnd, row, c).empty()) set_cell(row, c, std::wstring());
    }
  };
  try {
    for_each_property(collection, [&](const comet::com_ptr<IProperty>& p) {
      IProperty* property = comet::checked(p);
      const std::wstring name = name_of(property);
      const std::wstring text = value_text(value_of(property).get());
      const int column = find_or_insert_column(property, name);
      if (!started) {
        if (!reused) insert_row(row);
        if (m_reuse) ++m_rows_taken;
        started = true;
      }
      if (!reused) {
        set_cell(row, column, text);
        return;
      }
      if (written.size() <= static_cast<std::size_t>(column)) written.resize(static_cast<std::size_t>(column) + 1);
      written[static_cast<std::size_t>(column)] = true;
      if (cell_text(m_hWnd, row, column) != text) set_cell(row, column, text);
    });
  } catch (...) {
    // A reused row cut short holds what a fresh one would: the texts
    // written so far and no object.
    if (started && reused) {
      try {
        empty_the_rest();
        set_row_id(row, 0);
      } catch (...) {
      }
    }
    throw;
  }
  if (!started) return;
  if (reused) empty_the_rest();
  set_row_id(row, id_of(collection));
}

int CDetailView::find_or_insert_column(IProperty* property, const std::wstring& name) {
  const std::size_t shown = m_reuse ? m_columns_taken : m_column_names.size();
  const auto known =
      std::find(m_column_names.begin(), m_column_names.begin() + static_cast<std::ptrdiff_t>(shown), name);
  if (known != m_column_names.begin() + static_cast<std::ptrdiff_t>(shown))
    return static_cast<int>(known - m_column_names.begin());
  const Orvo::wide_string key = to_u16(name);
  column_attribute& stored = m_columns.m_column_atributes[key];
  if (stored.m_width < 0) {
    std::vector<int> widths;
    for (const std::wstring& value : legal_values(property)) widths.push_back(string_width(m_hWnd, value));
    stored.m_width = Orvo::column_width(string_width(m_hWnd, name), widths,
                                        {::GetSystemMetrics(SM_CXHSCROLL), ::GetSystemMetrics(SM_CXEDGE)});
  }
  if (m_reuse && shown < m_column_names.size()) {
    // The next column held over is taken when it is this one; otherwise the
    // columns differ from here on and the rest of the old ones go.
    if (m_column_names[shown] == name) return static_cast<int>(m_columns_taken++);
    delete_columns_from(shown);
  }
  StopRedraw();
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  column.fmt = LVCFMT_LEFT;
  column.cx = stored.m_width;
  column.pszText = const_cast<wchar_t*>(name.c_str());
  const int at = static_cast<int>(m_column_names.size());
  if (::SendMessageW(m_hWnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&column)) != at)
    comet::raise(E_FAIL);
  m_column_names.push_back(name);
  if (m_reuse) ++m_columns_taken;
  return at;
}

void CDetailView::delete_columns_from(std::size_t first) noexcept {
  if (first >= m_column_names.size()) return;
  StopRedraw();
  for (std::size_t column = m_column_names.size(); column-- > first;)
    ::SendMessageW(m_hWnd, LVM_DELETECOLUMN, static_cast<WPARAM>(column), 0);
  m_column_names.resize(first);
}

void CDetailView::finish_reuse() noexcept {
  if (!m_reuse) return;
  m_reuse = false;
  if (!m_hWnd) return;
  const int rows = zel::detail::list_row_count(m_hWnd);
  if (m_rows_taken < rows) {
    StopRedraw();
    if (m_rows_taken == 0) {
      ::SendMessageW(m_hWnd, LVM_DELETEALLITEMS, 0, 0);
    } else {
      for (int row = rows - 1; row >= m_rows_taken; --row)
        ::SendMessageW(m_hWnd, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
    }
  }
  delete_columns_from(m_columns_taken);
}

void CDetailView::set_cell(int row, int column, const std::wstring& text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  if (!::SendMessageW(m_hWnd, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)))
    comet::raise(E_FAIL);
}

void CDetailView::insert_row(int row) {
  StopRedraw();
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = const_cast<wchar_t*>(L"");
  if (::SendMessageW(m_hWnd, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) != row) comet::raise(E_FAIL);
}

void CDetailView::set_row_id(int row, LPARAM id) {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (::SendMessageW(m_hWnd, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) && item.lParam == id) return;
  item.lParam = id;
  if (!::SendMessageW(m_hWnd, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item))) comet::raise(E_FAIL);
}

void CDetailView::clear() {
  // The focus cell stays where it is: the rows that follow bring it back.
  // The rows and columns stay for them too, until the suspension ends; a
  // second clear before any refill finds the list as good as empty.
  suspension frozen(*this);
  if (m_reuse) return;
  store_column_attributes();
  m_reuse = true;
  m_rows_taken = 0;
  m_columns_taken = 0;
}

void CDetailView::store_column_attributes() {
  if (!m_hWnd) return;
  Orvo::store_column_attributes(m_columns, header_columns(m_hWnd), zel::detail::list_display_order(m_hWnd));
}

void CDetailView::apply_column_attributes() {
  const std::vector<Orvo::header_column> columns = header_columns(m_hWnd);
  const Orvo::header_changes changes =
      Orvo::apply_column_attributes(m_columns, columns, zel::detail::list_display_order(m_hWnd));
  for (std::size_t i = 0; i < changes.widths.size(); ++i) {
    if (changes.widths[i]) ::SendMessageW(m_hWnd, LVM_SETCOLUMNWIDTH, i, *changes.widths[i]);
  }
  if (changes.order) {
    ::SendMessageW(m_hWnd, LVM_SETCOLUMNORDERARRAY, changes.order->size(),
                   reinterpret_cast<LPARAM>(changes.order->data()));
  }
}

std::wstring CDetailView::column_name(int column) const {
  return column >= 0 && static_cast<std::size_t>(column) < m_column_names.size()
             ? m_column_names[static_cast<std::size_t>(column)]
             : std::wstring();
}

comet::com_ptr<IProperty> CDetailView::property_of(int row, int column) {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!::SendMessageW(m_hWnd, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) comet::raise(E_INVALIDARG);
  const comet::com_ptr<ICollection> collection =
      comet::query<ICollection>(m_owner.GetObjectByID(static_cast<long>(item.lParam)));
  comet::variant_t name(comet::bstr_t(column_name(column)));
  comet::com_ptr<IDispatch> found;
  const HRESULT hr = collection->get_Item(name.get(), found.put());
  if (FAILED(hr)) raise_ICollection(hr, collection.get());
  return comet::query<IProperty>(found);
}

void CDetailView::begin_edit(int row, int column) {
  const comet::com_ptr<IProperty> property = property_of(row, column);
  VARIANT_BOOL read_only = VARIANT_FALSE;
  HRESULT hr = property->get_IsReadOnly(&read_only);
  if (FAILED(hr)) raise_IProperty(hr, property.get());
  bool opened = false;
  if (!read_only) {
    LONG count = 0;
    hr = property->get_Count(&count);
    if (FAILED(hr)) raise_IProperty(hr, property.get());
    RECT cell = zel::detail::list_cell_rect(m_hWnd, row, column);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const std::wstring text = cell_text(m_hWnd, row, column);
    if (count == 0) {
      LVCOLUMNW format{};
      format.mask = LVCF_FMT;
      ::SendMessageW(m_hWnd, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&format));
      const int alignment = format.fmt & LVCFMT_JUSTIFYMASK;
      const DWORD align = alignment == LVCFMT_RIGHT ? ES_RIGHT : alignment == LVCFMT_CENTER ? ES_CENTER : ES_LEFT;
      auto* edit = new zel::CInPlaceEdit(row, column, text, m_loop);
      opened = edit->Create(m_hWnd, cell, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | align, 0,
                            edit_id) != nullptr;
    } else {
      std::vector<Orvo::wide_string> legal;
      for (const std::wstring& v : legal_values(property.get())) legal.push_back(to_u16(v));
      const std::wstring name = column_name(column);
      const std::vector<Orvo::wide_string> offered =
          Orvo::offered_values(legal, m_owner.excluded_texts(to_u16(name)), to_u16(text));
      if (!offered.empty()) {
        std::vector<std::wstring> choices;
        for (const Orvo::wide_string& v : offered) choices.push_back(to_wide(v));
        const int row_height = cell.bottom - cell.top;
        RECT area = cell;
        area.bottom = std::min<LONG>(cell.bottom + 8 * row_height, std::max(client.bottom, cell.bottom));
        if (area.right > client.right) {
          const LONG overhang = std::min<LONG>(area.right - client.right, area.left);
          area.left -= overhang;
          area.right -= overhang;
        }
        auto* list = new zel::in_place_list(row, column, std::move(choices),
                                            Orvo::selected_value(offered, to_u16(text)), m_loop);
        const HWND combo = list->Create(m_hWnd, area, nullptr,
                                        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | CBS_DROPDOWNLIST, 0, list_id);
        if (combo && row_height > 6) ::SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), row_height - 6);
        opened = combo != nullptr;
      }
    }
  }
  if (!opened) {
    BOOL show_sounds = FALSE;
    ::SystemParametersInfoW(SPI_GETSHOWSOUNDS, 0, &show_sounds, 0);
    if (!show_sounds) Orvo::beep(MB_ICONEXCLAMATION);
  }
}

void CDetailView::commit_edit(int row, int column, const wchar_t* text) {
  const comet::com_ptr<IProperty> property = property_of(row, column);
  if (column_name(column) == serial_column) {
    if (!Orvo::serial_number(to_u16(text))) {
      m_owner.Log(L"Invalid property value", log_error, E_FAIL);
      return;
    }
    const comet::variant_t current = value_of(property.get());
    const comet::variant_t typed(text);
    if (!m_owner.SendSerialNumber(current.get(), typed.get()))
      m_owner.Log(L"The Orvo server cannot change the serial number", log_warning, S_OK);
    return;
  }
  const comet::variant_t typed(text);
  const HRESULT hr = property->put_Value(typed.get());
  if (FAILED(hr)) raise_IProperty(hr, property.get());
  m_owner.ApplyState();
}

void CDetailView::report_failure() noexcept {
  owner_sink sink(m_owner);
  report_current_exception(sink);
}

LRESULT CDetailView::OnHeaderEnd(int, LPNMHDR, BOOL& bHandled) {
  // The header takes the new widths and order only after this notification.
  ::PostMessageW(m_hWnd, WM_STORE_COLUMNS, 0, 0);
  bHandled = FALSE;
  return 0;
}

LRESULT CDetailView::OnStoreColumns(UINT, WPARAM, LPARAM, BOOL&) {
  guard([this] { store_column_attributes(); });
  return 0;
}

LRESULT CDetailView::OnBeginEdit(int, LPNMHDR header, BOOL&) {
  const auto* request = reinterpret_cast<const NMLVDISPINFOW*>(header);
  guard([&] { begin_edit(request->item.iItem, request->item.iSubItem); });
  return TRUE;  // the list's own label editing never starts
}

LRESULT CDetailView::OnEndEdit(int, LPNMHDR header, BOOL&) {
  const auto* result = reinterpret_cast<const NMLVDISPINFOW*>(header);
  if (result->item.pszText)
    guard([&] { commit_edit(result->item.iItem, result->item.iSubItem, result->item.pszText); });
  return FALSE;
}

LRESULT CAmplifierView::OnBeginEdit(int, LPNMHDR header, BOOL& bHandled) {
  const auto* request = reinterpret_cast<const NMLVDISPINFOW*>(header);
  int answer = IDNO;
  guard([&] {
    if (column_name(request->item.iSubItem) != serial_column) {
      answer = IDYES;
      return;
    }
    answer = Orvo::message_box(m_hWnd, serial_warning, L"Warning", MB_YESNO | MB_USERICON);
  });
  bHandled = answer == IDYES ? FALSE : TRUE;
  return TRUE;
}
