// The system tree over a real two-amplifier state (amplifier IDs 0 and 1)
// with the stand-in server (object ID -1) as its root: items, images and
// expansion, the selection kept across rebuilds, renames, and the tree
// inside the real frame, where a change event rebuilds it and re-selects,
// the detail views are filled for the selection and an impedance check puts
// its view in the secondary view's place.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client_pixels.h"
#include "comet/error.h"
#include "comet/variant.h"
#include "impedance_view.h"
#include "main_frame_views.h"
#include "main_frame_stand_in_test.h"
#include "orvo_tree_view.h"
#include "state_walk.h"
#include "test_states.h"
#include "win/window_impl.h"
#include "zel/paint_no_items.h"

using namespace frame_testing;

namespace {

constexpr long left_channel_4 = 0x03010002;  // channel 4 of the second amplifier

// The tree's parent: keeps the object ID of every TVN_SELCHANGED.
class tree_parent : public WTL::CWindowImpl<tree_parent> {
 public:
  static WTL::window_class class_traits() { return {L"Orvo.TreeTestParent"}; }
  BEGIN_MSG_MAP(tree_parent)
  NOTIFY_CODE_HANDLER(TVN_SELCHANGEDW, OnSelChanged)
  END_MSG_MAP()
  LRESULT OnSelChanged(int, LPNMHDR header, BOOL&) {
    const auto* change = reinterpret_cast<const NMTREEVIEWW*>(header);
    selections.push_back(change->itemNew.hItem ? static_cast<long>(change->itemNew.lParam) : 0);
    return 0;
  }
  std::vector<long> selections;
};

class SystemTree : public stand_in_frame_test<> {
 protected:
  void SetUp() override {
    stand_in_frame_test<>::SetUp();
    CLSID server_class{};
    ASSERT_EQ(CLSIDFromProgID(L"OrvoServer.OrvoAmplifier", &server_class), S_OK);
    ASSERT_EQ(CoCreateInstance(server_class, nullptr, CLSCTX_ALL, __uuidof(Orvo::IAmplifier), server.put_void()), S_OK);
    two = stable_state(state_string_of(2));
    ASSERT_TRUE(two);
    ASSERT_TRUE(parent.Create(nullptr, RECT{0, 0, 300, 600}, L"tree", WS_OVERLAPPEDWINDOW)) << GetLastError();
    ASSERT_TRUE(tree.Create(parent, RECT{0, 0, 300, 600}));
  }
  void TearDown() override {
    if (tree.m_hWnd) tree.DestroyWindow();
    if (parent.m_hWnd) parent.DestroyWindow();
    stand_in_frame_test<>::TearDown();
  }

  HTREEITEM item(long id) { return tree.find_item_by_id(tree.GetRootItem(), id); }
  std::wstring text_of(HTREEITEM h) {
    wchar_t text[128] = L"";
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = h;
    data.pszText = text;
    data.cchTextMax = 128;
    TreeView_GetItem(tree, &data);
    return text;
  }
  bool expanded(HTREEITEM h) { return (TreeView_GetItemState(tree, h, TVIS_EXPANDED) & TVIS_EXPANDED) != 0; }
  // Every item depth first as "level text image/selected image" lines.
  void list(HTREEITEM h, int level, std::vector<std::wstring>& lines) {
    for (; h; h = TreeView_GetNextSibling(tree, h)) {
      TVITEMW data{};
      data.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
      data.hItem = h;
      TreeView_GetItem(tree, &data);
      lines.push_back(std::to_wstring(level) + L" " + text_of(h) + L" " + std::to_wstring(data.iImage) + L"/" +
                      std::to_wstring(data.iSelectedImage));
      list(TreeView_GetChild(tree, h), level + 1, lines);
    }
  }

  comet::com_ptr<Orvo::IAmplifier> server;
  comet::com_ptr<IAmplifierState> two;
  tree_parent parent;
  COrvoTreeView tree;
  COrvoTreeView::rename_map renames;
};

}  // namespace

TEST_F(SystemTree, IsASystemTreeViewWithItsStylesAndImages) {
  wchar_t name[64] = L"";
  GetClassNameW(tree, name, 64);
  EXPECT_STREQ(name, L"ZEL-TreeViewEx");
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(tree, GWL_STYLE));
  const DWORD wanted = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_EDITLABELS | TVS_SHOWSELALWAYS;
  EXPECT_EQ(style & wanted, wanted);
  EXPECT_TRUE(GetWindowLongPtrW(tree, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  const HIMAGELIST images = TreeView_GetImageList(tree, TVSIL_NORMAL);
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 4);
  int cx = 0, cy = 0;
  ImageList_GetIconSize(images, &cx, &cy);
  EXPECT_EQ(cx, 16);
  EXPECT_EQ(cy, 16);
  EXPECT_FALSE(tree.has_items());
}

TEST_F(SystemTree, AFirstBuildShowsTheWholeSystemExpandedWithAllAmplifiersSelected) {
  tree.refresh(server.get(), two.get(), renames);
  std::vector<std::wstring> lines;
  list(tree.GetRootItem(), 0, lines);
  ASSERT_EQ(lines.size(), 1u + 1u + 2u + 16u);
  EXPECT_EQ(lines[0], L"0 Orvo System 0/0");
  EXPECT_EQ(lines[1], L"1 All Amplifiers 1/1");
  EXPECT_EQ(lines[2].rfind(L"2 Amplifier 1 ( SN: ", 0), 0u) << lines[2];
  EXPECT_EQ(lines[2].substr(lines[2].size() - 6), L" ) 2/2") << lines[2];
  EXPECT_EQ(lines[3], L"3 Channel 1 3/3");
  EXPECT_EQ(lines[10], L"3 Channel 8 3/3");
  EXPECT_EQ(lines[11].rfind(L"2 Amplifier 2 ( SN: ", 0), 0u) << lines[11];
  EXPECT_EQ(lines[19], L"3 Channel 8 3/3");
  for (HTREEITEM h : {item(-1), item(0), TreeView_GetParent(tree, item(left_channel_4))}) EXPECT_TRUE(expanded(h));
  EXPECT_EQ(tree.selected_id(), 0);
  ASSERT_FALSE(parent.selections.empty());
  EXPECT_EQ(parent.selections.back(), 0);
  EXPECT_TRUE(tree.has_items());
}

TEST_F(SystemTree, ARebuildAfterAChangeKeepsTheExpansionAndTheSelection) {
  tree.refresh(server.get(), two.get(), renames);
  const HTREEITEM first_amplifier = TreeView_GetChild(tree, item(0));
  TreeView_Expand(tree, first_amplifier, TVE_COLLAPSE);
  tree.select_by_id(left_channel_4);
  // A value of the selected channel changes, as an edit would change it.
  comet::com_ptr<IDispatch> channel = get_object_by_id(two.get(), left_channel_4);
  comet::com_ptr<ICollection> properties;
  ASSERT_EQ(channel->QueryInterface(IID_ICollection, properties.put_void()), S_OK);
  bool changed = false;
  for_each_property(properties.get(), [&](const comet::com_ptr<IProperty>& p) {
    VARIANT_BOOL read_only = VARIANT_TRUE;
    if (changed || FAILED(p->get_IsReadOnly(&read_only)) || read_only) return;
    comet::variant_t now;
    p->get_Value(now.out());
    const std::wstring current = value_text(now.get());
    for_each_property_value(p.get(), [&](const std::wstring& text) {
      if (changed || text == current) return;
      const comet::variant_t next{comet::bstr_t(text)};
      changed = SUCCEEDED(p->put_Value(next.get()));
    });
  });
  ASSERT_TRUE(changed);
  parent.selections.clear();

  tree.refresh(server.get(), two.get(), renames);
  EXPECT_FALSE(expanded(TreeView_GetChild(tree, item(0))));
  EXPECT_TRUE(expanded(TreeView_GetParent(tree, item(left_channel_4))));
  EXPECT_TRUE(expanded(item(0)));
  EXPECT_EQ(tree.selected_id(), left_channel_4);
  ASSERT_FALSE(parent.selections.empty());
  EXPECT_EQ(parent.selections.back(), left_channel_4);
}

TEST_F(SystemTree, PaintsTheEmptyTextOnlyWhileItHoldsNoItem) {
  auto printed = [&](HDC dc) { ::SendMessageW(tree, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT); };
  const auto empty_text =
      pixels(tree, [&](HDC dc) { zel::detail::draw_no_items(tree, dc, zel::detail::no_items_area(tree)); });
  EXPECT_EQ(pixels(tree, printed), empty_text);
  tree.refresh(server.get(), two.get(), renames);
  EXPECT_NE(pixels(tree, printed), empty_text);
}

TEST_F(SystemTree, RenamedObjectsKeepTheirNamesAcrossRebuilds) {
  renames[left_channel_4] = u"Left eye";
  tree.refresh(server.get(), two.get(), renames);
  EXPECT_EQ(text_of(item(left_channel_4)), L"Left eye");
  tree.refresh(server.get(), two.get(), renames);
  EXPECT_EQ(text_of(item(left_channel_4)), L"Left eye");
  EXPECT_EQ(text_of(item(0x02010002)), L"Channel 3");
  renames.clear();
  tree.refresh(server.get(), two.get(), renames);
  EXPECT_EQ(text_of(item(left_channel_4)), L"Channel 4");
}

TEST_F(SystemTree, SelectingAnIdNotInTheTreeChangesNothing) {
  tree.refresh(server.get(), two.get(), renames);
  tree.select_by_id(left_channel_4);
  const std::size_t seen = parent.selections.size();
  tree.select_by_id(0x7F);
  EXPECT_EQ(tree.selected_id(), left_channel_4);
  EXPECT_EQ(parent.selections.size(), seen);
  EXPECT_EQ(item(0x7F), nullptr);
}

TEST_F(SystemTree, WithoutAStateOnlyTheServerIsShown) {
  tree.refresh(server.get(), nullptr, renames);
  EXPECT_EQ(TreeView_GetCount(tree), 1u);
  EXPECT_EQ(tree.item_id(tree.GetRootItem()), -1);
  EXPECT_EQ(TreeView_GetSelection(tree), nullptr);
  tree.clear();
  EXPECT_FALSE(tree.has_items());
}

TEST_F(SystemTree, AnObjectGivenAsNullIsRefused) {
  try {
    tree.insert_object(nullptr, TVI_ROOT, 0, renames);
    ADD_FAILURE() << "no error";
  } catch (const comet::com_error& e) {
    EXPECT_EQ(e.hr(), E_POINTER);
  }
  EXPECT_FALSE(tree.has_items());
}

TEST_F(SystemTree, AChannelWhoseAmplifierLeavesAndReturnsDoesNotTakeTheSelectionChosenMeanwhile) {
  tree.refresh(server.get(), two.get(), renames);
  tree.select_by_id(left_channel_4);
  comet::com_ptr<IAmplifierState> one = stable_state(state_string_of(1));
  tree.refresh(server.get(), one.get(), renames);
  EXPECT_EQ(tree.selected_id(), 0);
  const HTREEITEM first_amplifier = TreeView_GetChild(tree, item(0));
  const long chosen = tree.item_id(first_amplifier);
  TreeView_SelectItem(tree, first_amplifier);
  tree.refresh(server.get(), two.get(), renames);
  EXPECT_EQ(tree.selected_id(), chosen);
}

namespace {

class MainFrameTree : public stand_in_frame_test<> {
 protected:
  void start() {
    const comet::bstr_t text(state_string_of(2));
    ASSERT_EQ(control->put_State(text.in()), S_OK);
    f = std::make_unique<frame_fixture>();
    ASSERT_TRUE(pump_until([&] { return frame().IsWindowVisible() != FALSE; }));
    tree = frame().own_views().tree();
    ASSERT_NE(tree, nullptr);
  }
  CMainFrame& frame() { return f->frame; }
  HTREEITEM item(HTREEITEM h, long id) {
    for (; h; h = TreeView_GetNextSibling(tree, h)) {
      TVITEMW data{};
      data.mask = TVIF_PARAM;
      data.hItem = h;
      TreeView_GetItem(tree, &data);
      if (data.lParam == id) return h;
      if (HTREEITEM found = item(TreeView_GetChild(tree, h), id)) return found;
    }
    return nullptr;
  }
  HTREEITEM item(long id) { return item(TreeView_GetRoot(tree), id); }
  // The object IDs the frame asked the server about as the selection changed.
  std::wstring last_impedance_query() {
    BSTR text = nullptr;
    control->get_CallLog(&text);
    const std::wstring log(text ? text : L"", SysStringLen(text));
    SysFreeString(text);
    const std::size_t at = log.rfind(L"CanCheckImpedance(");
    return at == std::wstring::npos ? L"" : log.substr(at, log.find(L'\n', at) - at);
  }

  HWND tree = nullptr;
};

}  // namespace

TEST_F(MainFrameTree, AChangeEventRebuildsTheTreeAndSelectsTheItemAgain) {
  start();
  log_events(frame());  // the OnChange record tells when the event was handled
  EXPECT_EQ(TreeView_GetCount(tree), 20u);
  EXPECT_EQ(last_impedance_query(), L"CanCheckImpedance(0)");
  ASSERT_NE(item(left_channel_4), nullptr);
  TreeView_SelectItem(tree, item(left_channel_4));
  EXPECT_EQ(last_impedance_query(), L"CanCheckImpedance(" + std::to_wstring(left_channel_4) + L")");
  ASSERT_EQ(control->FireChange(VT_DISPATCH), S_OK);
  pump_until([&] { return frame_log_record(frame().log_records().back()).text == L"OnChange"; });
  EXPECT_EQ(TreeView_GetCount(tree), 20u);
  EXPECT_EQ(TreeView_GetSelection(tree), item(left_channel_4));
  EXPECT_EQ(last_impedance_query(), L"CanCheckImpedance(" + std::to_wstring(left_channel_4) + L")");
}

TEST_F(MainFrameTree, EnterEndsALabelEditThroughTheFramesFilterAndTheNameStays) {
  start();
  const HWND edit = TreeView_EditLabel(tree, item(left_channel_4));
  ASSERT_NE(edit, nullptr);
  SetWindowTextW(edit, L"Left eye");
  MSG enter{edit, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  EXPECT_TRUE(frame().PreTranslateMessage(&enter));
  EXPECT_EQ(TreeView_GetEditControl(tree), nullptr);
  EXPECT_EQ(frame().m_protocol.m_rename_map.at(static_cast<std::int32_t>(left_channel_4)), u"Left eye");
  pump_until([] { return false; }, 200);  // the rebuild the edit posted
  wchar_t text[64] = L"";
  TVITEMW data{};
  data.mask = TVIF_TEXT;
  data.hItem = item(left_channel_4);
  data.pszText = text;
  data.cchTextMax = 64;
  TreeView_GetItem(tree, &data);
  EXPECT_STREQ(text, L"Left eye");
}

namespace {

int rows(HWND list) { return ListView_GetItemCount(list); }

// Sixteen readings as the server sends them: VT_I4 elements 10, 20, ...
// plus `offset`.
VARIANT readings(long offset) {
  VARIANT values;
  VariantInit(&values);
  values.vt = VT_ARRAY | VT_VARIANT;
  values.parray = SafeArrayCreateVector(VT_VARIANT, 0, 16);
  for (LONG i = 0; i < 16; ++i) {
    VARIANT element;
    VariantInit(&element);
    element.vt = VT_I4;
    element.lVal = 10 * (i + 1) + offset;
    SafeArrayPutElement(values.parray, &i, &element);
  }
  return values;
}

}  // namespace

TEST_F(MainFrameTree, AChangeEventRefillsTheDetailViewsForTheItemSelectedAgain) {
  start();
  log_events(frame());
  CFrameViews& views = frame().own_views();
  EXPECT_EQ(views.tree().selected_id(), 0);
  EXPECT_EQ(rows(views.primary()), 16) << "All Amplifiers: every channel";
  EXPECT_EQ(rows(views.secondary()), 2) << "All Amplifiers: every amplifier";
  const comet::bstr_t one(state_string_of(1));
  ASSERT_EQ(control->put_State(one.in()), S_OK);
  ASSERT_EQ(control->FireChange(VT_DISPATCH), S_OK);
  pump_until([&] { return frame_log_record(frame().log_records().back()).text == L"OnChange"; });
  EXPECT_EQ(TreeView_GetCount(tree), 11u);
  EXPECT_EQ(views.tree().selected_id(), 0);
  EXPECT_EQ(rows(views.primary()), 8);
  EXPECT_EQ(rows(views.secondary()), 1);
}

TEST_F(MainFrameTree, AnImpedanceCheckShowsItsViewInTheSecondaryViewsPlaceUntilItEnds) {
  start();
  log_events(frame());
  CFrameViews& views = frame().own_views();
  const long second_amplifier = views.tree().item_id(TreeView_GetParent(tree, item(left_channel_4)));
  EXPECT_TRUE(views.secondary().IsWindowVisible());

  VARIANT values = readings(0);
  ASSERT_EQ(control->FireImpedance(second_amplifier, values), S_OK);
  VariantClear(&values);
  ASSERT_NE(views.impedance(), nullptr);
  const HWND window = views.impedance()->m_hWnd;
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_FALSE(views.secondary().IsWindowVisible());
  ASSERT_NE(views.impedance_pane(), nullptr);
  EXPECT_EQ(GetParent(window), views.impedance_pane()->m_hWnd);
  EXPECT_EQ(views.impedance()->electrode(0).name(), L"Ch9 P");
  EXPECT_EQ(views.impedance()->electrode(15).face().reading, 160);

  // A second check event reaches the same window.
  values = readings(1);
  ASSERT_EQ(control->FireImpedance(second_amplifier, values), S_OK);
  VariantClear(&values);
  ASSERT_NE(views.impedance(), nullptr);
  EXPECT_EQ(views.impedance()->m_hWnd, window);
  EXPECT_EQ(views.impedance()->electrode(15).face().reading, 161);

  // A click switches the electrode in the held state only; the change the
  // server sends back shows it on the button.
  const bool in_use = views.impedance()->electrode(0).face().in_use;
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(8000, BN_CLICKED), 0);
  EXPECT_EQ(views.impedance()->electrode(0).face().in_use, in_use);
  ASSERT_TRUE(pump_until([&] { return frame_log_record(frame().log_records().back()).text == L"OnChange"; }));
  EXPECT_EQ(views.impedance()->electrode(0).face().in_use, !in_use);

  ASSERT_EQ(control->FireImpedanceEnd(), S_OK);
  EXPECT_EQ(views.impedance(), nullptr);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(views.secondary().IsWindowVisible());
}

TEST_F(MainFrameTree, ThePrimaryViewsLayoutIsAProtocolsChannelColumnsAndTheSecondarysItsAmplifierColumns) {
  start();
  pump_until([&] { return rows(frame().own_views().primary()) == 16; });
  CFrameViews& views = frame().own_views();
  Orvo::protocol saved;
  views.store_column_layouts(saved);
  EXPECT_FALSE(saved.m_channel_columns.m_column_atributes.empty());
  EXPECT_EQ(saved.m_channel_columns, views.primary().column_attributes());
  EXPECT_EQ(saved.m_amp_columns, views.secondary().column_attributes());

  // The first column of the primary view, made 123 pixels wide.
  wchar_t name[64] = L"";
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT;
  column.pszText = name;
  column.cchTextMax = 64;
  ASSERT_TRUE(ListView_GetColumn(views.primary(), 0, &column));
  const std::wstring first(name);
  saved.m_channel_columns.m_column_atributes[std::u16string(first.begin(), first.end())].m_width = 123;
  views.apply_column_layouts(saved);
  EXPECT_EQ(ListView_GetColumnWidth(views.primary(), 0), 123);
  EXPECT_EQ(views.secondary().column_attributes(), saved.m_amp_columns);
}
