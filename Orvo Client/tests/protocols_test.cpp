// What Windows adds to the protocol records and their files: the user's
// name, state comparison and property maps over real AmplifierState objects,
// the shell's folders, wide paths, the built-in session resource read through
// a COM stream, and file replacement on disk.
//
// Argument: the capabilities library.
#include <windows.h>

#include <shellapi.h>

#include <boost/exception/get_error_info.hpp>
#include <gtest/gtest.h>

#define SECURITY_WIN32
#include <security.h>

#include <algorithm>
#include <optional>
#include <tuple>
#include <vector>

#include "OrvoPaths.h"
#include "comet/bstr.h"
#include "data_files.h"
#include "protocol_state.h"
#include "settings_disk.h"
#include "state_fixture.h"
#include "state_walk.h"

using namespace orvo::impl::testing;

namespace {

using log_line = std::tuple<std::wstring, int, std::int32_t>;

// An empty folder below the temporary folder, named outside the ANSI code
// page; what an earlier run left there is deleted first.
std::wstring fresh_folder(const std::wstring& leaf) {
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"orvo \u0416\u03a9 " + leaf;
  const std::wstring from = folder + L'\0';  // a list of one path
  SHFILEOPSTRUCTW deletion{};
  deletion.wFunc = FO_DELETE;
  deletion.pFrom = from.c_str();
  deletion.fFlags = FOF_NO_UI;
  ::SHFileOperationW(&deletion);
  EXPECT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr)) << ::GetLastError();
  return folder;
}

bool is_folder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

struct files_fixture {
  explicit files_fixture(HMODULE module, const std::wstring& base) : disk(module, base, base + L"\\common") {
    ::CreateDirectoryW((base + L"\\common").c_str(), nullptr);
  }
  CSettingsDisk disk;
  Orvo::session_data session;
  Orvo::protocol_libraries libraries;
  std::vector<log_line> lines;
  Orvo::settings_files files{session, libraries, disk,
                             [this](const Orvo::wide_string& text, int level, std::int32_t code) {
                               lines.emplace_back(to_wstring(text), level, code);
                             }};
};

TEST(UserDisplayName, FallsBackToTheLogonName) {
  wchar_t display[MAX_PATH], logon[MAX_PATH];
  ULONG display_length = MAX_PATH;
  DWORD logon_length = MAX_PATH;
  const bool has_display = ::GetUserNameExW(NameDisplay, display, &display_length);
  ASSERT_TRUE(::GetUserNameW(logon, &logon_length));
  EXPECT_EQ(get_user_display_name(), has_display ? std::wstring(display) : std::wstring(logon));
  EXPECT_FALSE(get_user_display_name().empty());
  use_user_display_name();
  const Orvo::protocol p;
  EXPECT_EQ(to_wstring(p.m_created_by), get_user_display_name());
  Orvo::set_stamp_source(nullptr);
}

TEST(OrvoPathsFolders, ProductFolderIsCreatedBelowTheBase) {
  const std::wstring base = fresh_folder(L"paths");
  EXPECT_EQ(OrvoPaths::get_protocols_file(base), base + L"\\Quarnell\\Orvo\\protocols.xml");
  EXPECT_TRUE(is_folder(base + L"\\Quarnell\\Orvo"));
  EXPECT_EQ(OrvoPaths::get_options_file(base), base + L"\\Quarnell\\Orvo\\options.xml");
  EXPECT_FALSE(OrvoPaths::get_user_data_folder().empty());
  EXPECT_FALSE(OrvoPaths::get_common_data_folder().empty());
}

TEST(OrvoPathsFolders, ABaseOfMaxPathCharactersCannotBeJoined) {
  try {
    OrvoPaths::path_append(std::wstring(MAX_PATH, L'a'), L"Quarnell");
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "path_append");
    const char* const* file = boost::get_error_info<boost::throw_file>(e);
    ASSERT_NE(file, nullptr);
    EXPECT_NE(std::string(*file).find("OrvoPaths.h"), std::string::npos);
  }
  EXPECT_EQ(OrvoPaths::path_append(std::wstring(MAX_PATH - 10, L'a'), L"b").size(), std::size_t(MAX_PATH - 8));
}

TEST(SettingsOnDisk, FirstRunReadsTheBuiltInSessionThroughItsStream) {
  const std::wstring base = fresh_folder(L"first run");
  files_fixture f(::GetModuleHandleW(nullptr), base);
  f.files.LoadSessionData();
  const std::wstring options = base + L"\\Quarnell\\Orvo\\options.xml";
  const std::vector<log_line> expected = {{L"Opening user session data: " + options, 1, 0},
                                          {L"Failed to open user session data", 2, Orvo::failure_code},
                                          {L"Opening in-built session data", 1, 0}};
  EXPECT_EQ(f.lines, expected);
  const auto& p = f.session.m_mainframe_pos;
  EXPECT_EQ(std::tie(p.length, p.flags, p.show_command, p.min_x, p.min_y, p.max_x, p.max_y),
            std::make_tuple(44u, 0u, 1u, -1, -1, -1, -1));
  EXPECT_EQ(std::tie(p.left, p.top, p.right, p.bottom), std::make_tuple(22, 29, 982, 751));
  EXPECT_EQ(sizeof(WINDOWPLACEMENT), 44u);
  EXPECT_EQ(
      std::make_tuple(f.session.m_wndSplitHorPos, f.session.m_wndSplitPos, f.session.m_protocol_manager_splitter_pos),
      std::make_tuple(458, 199, 114));
  const std::vector<std::uint32_t> docking(f.session.m_protocol_window_pos.words.begin(),
                                           f.session.m_protocol_window_pos.words.end());
  EXPECT_EQ(docking, (std::vector<std::uint32_t>{0, 0, 4, 5, 0, 0, 238, 638, 0, 666, 189, 909, 691, 1, 1}));
}

TEST(SettingsOnDisk, WithoutTheResourceTheConstructorDefaultsStand) {
  files_fixture f(::GetModuleHandleW(L"kernel32.dll"), fresh_folder(L"no resource"));
  f.files.LoadSessionData();
  EXPECT_EQ(f.lines.back(), log_line(L"Failed to load ANY session data", 2, Orvo::failure_code));
  EXPECT_EQ(f.session, Orvo::session_data{});
}

TEST(SettingsOnDisk, LibrariesRoundTripInAFolderNamedOutsideTheAnsiCodePage) {
  const std::wstring base = fresh_folder(L"round trip");
  const Orvo::wide_string name = u"Jos\u00e9 \u0141\u00f3d\u017a \u03a9 &<>\"'";
  {
    files_fixture f(nullptr, base);
    f.files.start(true);
    f.libraries.m_user[name].m_rename_map[-2] = u"Ref";
    f.libraries.m_common[u"Shared"];
    f.files.exit();
  }
  files_fixture again(nullptr, base);
  again.files.start(false);
  EXPECT_EQ(again.libraries.m_user.m_protocols.at(name).m_rename_map.at(-2), u"Ref");
  EXPECT_TRUE(again.libraries.m_common.contains(u"Shared"));
  EXPECT_EQ(std::get<0>(again.lines[0]), L"Opening user session data: " + base + L"\\Quarnell\\Orvo\\options.xml");
}

TEST(SettingsOnDisk, SecondSaveMovesTheFirstToOld) {
  const std::wstring base = fresh_folder(L"old");
  files_fixture f(nullptr, base);
  f.files.start(false);
  const std::wstring options = base + L"\\Quarnell\\Orvo\\options.xml";
  f.files.SaveSessionData();
  const std::optional<std::string> first = f.disk.read_file(to_wide_string(options));
  ASSERT_TRUE(first);
  f.session.m_wndSplitPos = 5;
  f.files.SaveSessionData();
  EXPECT_EQ(f.disk.read_file(to_wide_string(options + L".old")), first);
  EXPECT_NE(f.disk.read_file(to_wide_string(options)), first);
  EXPECT_EQ(::GetFileAttributesW((options + L".new").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(SettingsOnDisk, AFileInPlaceOfTheProductFolderMakesSavesFail) {
  const std::wstring base = fresh_folder(L"unwritable");
  ::CreateDirectoryW((base + L"\\Quarnell").c_str(), nullptr);
  files_fixture f(nullptr, base);
  ASSERT_TRUE(f.disk.write_file(to_wide_string(base + L"\\Quarnell\\Orvo"), "not a folder"));
  f.files.SaveSessionData();
  EXPECT_EQ(f.lines.back(), log_line(L"Failed to save session data", 3, Orvo::failure_code));
}

struct recording_log : CLogSink {
  std::vector<log_line> records;
  void add_record(const std::wstring& text, int level, HRESULT code) override {
    records.emplace_back(text, level, code);
  }
  void set_status_text(const std::wstring&) override {}
};

TEST(DataFiles, ACaughtExceptionIsReportedBeforeTheFailureLine) {
  recording_log log;
  Orvo::session_data session;
  Orvo::protocol_libraries libraries;
  CDataFiles files(session, libraries, log, nullptr, std::wstring(MAX_PATH, L'a'), std::wstring(MAX_PATH, L'a'));
  files.SaveSessionData();
  ASSERT_EQ(log.records.size(), 2u);
  EXPECT_EQ(std::get<1>(log.records[0]), log_error);
  EXPECT_NE(std::get<0>(log.records[0]).find(L"path_append"), std::wstring::npos) << std::get<0>(log.records[0]);
  EXPECT_EQ(log.records[1], log_line(L"Failed to save session data", 3, E_FAIL));
}

class StateComparison : public ::testing::Test {
 protected:
  static std::wstring state_text(std::size_t amplifiers) { return StateString(ZeroImages(amplifiers)); }
  static VARIANT text_variant(const comet::bstr_t& text) {
    VARIANT v;
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = text.in();
    return v;
  }
};

TEST_F(StateComparison, EqualStatesCompareEqualAndOthersDiffer) {
  Orvo::protocol p;
  p.m_state_string = to_wide_string(AsString(MakeState(ZeroImages(1)).get()));
  const comet::bstr_t same(to_wstring(p.m_state_string));
  EXPECT_TRUE(Orvo::state_equals(p, text_variant(same)));
  const comet::bstr_t other(AsString(MakeState(ZeroImages(2)).get()));
  EXPECT_FALSE(Orvo::state_equals(p, text_variant(other)));
}

TEST_F(StateComparison, TwoEmptyStatesAreNotEqual) {
  const Orvo::protocol p;
  const comet::bstr_t empty;
  EXPECT_FALSE(Orvo::state_equals(p, text_variant(empty)));
}

TEST_F(StateComparison, AnInvalidGivenStateRaisesTheServersError) {
  Orvo::protocol p;
  p.m_state_string = to_wide_string(AsString(MakeState(ZeroImages(1)).get()));
  const comet::bstr_t invalid(L"no state string");
  EXPECT_THROW(Orvo::state_equals(p, text_variant(invalid)), comet::com_error);
}

TEST(PropertyMaps, HoldWritablePropertiesWithTheirValuesInEnumerationOrder) {
  const auto state = MakeState(ZeroImages(1));
  comet::com_ptr<ICollection> functions;
  for_each_amplifier(state.get(), [&](const comet::com_ptr<IAmplifier>& a) { functions = get_functions(a.get()); });
  const Orvo::property_map map = Orvo::make_property_map(functions.get());
  int writable = 0;
  for_each_property(functions.get(), [&](const comet::com_ptr<IProperty>& property) {
    VARIANT_BOOL read_only = VARIANT_TRUE;
    ASSERT_EQ(property->get_IsReadOnly(&read_only), S_OK);
    comet::bstr_t name;
    ASSERT_EQ(property->get_Name(name.out()), S_OK);
    const auto found = map.m_map.find(to_wide_string(name.w_str()));
    if (read_only != VARIANT_FALSE) {
      EXPECT_EQ(found, map.m_map.end()) << name.w_str();
      return;
    }
    ++writable;
    ASSERT_NE(found, map.m_map.end()) << name.w_str();
    std::vector<Orvo::wide_string> values;
    for_each_property_value(property.get(), [&](const std::wstring& v) { values.push_back(to_wide_string(v)); });
    EXPECT_EQ(found->second, values) << name.w_str();
  });
  EXPECT_EQ(std::size_t(writable), map.m_map.size());
  // Keys in the order of VarBstrCmp.
  std::vector<comet::bstr_t> keys;
  for (const auto& entry : map.m_map) keys.emplace_back(to_wstring(entry.first));
  EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));

  const auto several =
      std::find_if(map.m_map.begin(), map.m_map.end(), [](const auto& e) { return e.second.size() > 1; });
  ASSERT_NE(several, map.m_map.end());
  Orvo::property_map hidden;
  hidden.m_map[several->first] = {several->second.front()};
  const Orvo::property_map shown = Orvo::make_property_map_excluding(functions.get(), hidden);
  std::vector<Orvo::wide_string> rest(several->second.begin() + 1, several->second.end());
  EXPECT_EQ(shown.m_map.at(several->first), rest);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 2) return 2;
  ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  UseCapabilitiesLibrary(argv[1]);
  const int result = RUN_ALL_TESTS();
  ::CoUninitialize();
  return result;
}
