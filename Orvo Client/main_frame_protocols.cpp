// The main frame's protocols and data files: reading the session and both
// libraries at creation, reopening the last protocol, saving into a
// library, opening from the protocol manager, the options dialogs, and the
// writes of Exit Now.
#include <windows.h>

#include <optional>
#include <string>

#include "comet/variant.h"
#include "main_frame.h"
#include "options_dialogs.h"
#include "orvo_module.h"
#include "save_protocol_dialog.h"
#include "settings_disk.h"
#include "state_walk.h"
#include "ui_seams.h"

namespace {

const wchar_t* const fewer_amplifiers_question =
    L"The protocol that will be overwitten contains information on more amplifiers than contained in the active "
    L"protocol\nIf you save it now information about the amplifiers not currently connected will be lost\nAre you "
    L"sure you want to save it?";
const wchar_t* const empty_question =
    L"This prototocol doesn't contain any information about any amplifers.\nAre you sure you want to save it?";

// The number of amplifiers a state string describes (none for an empty
// string); nothing when no state can be built from it.
std::optional<long> amplifiers_in(const Orvo::wide_string& state) {
  if (state.empty()) return 0L;
  try {
    const comet::com_ptr<IAmplifierState2> factory = create_amplifier_state();
    const comet::com_ptr<IAmplifierState> built =
        create_state_from_string(factory.get(), comet::bstr_t(to_wstring(state)));
    return static_cast<long>(get_collection_count(get_amplifiers(comet::checked(built)).get()));
  } catch (...) {
    return std::nullopt;
  }
}

}  // namespace

void CMainFrame::set_data_folders(std::wstring user_base, std::wstring common_base) {
  m_user_data_base = std::move(user_base);
  m_common_data_base = std::move(common_base);
}

// At creation: the session and the two libraries (not with switch B),
// then the libraries' writers, through which every change to a
// library reaches its file. A loading hook runs instead, with no files.
void CMainFrame::load_data_files() {
  if (m_load_data) {
    if (!_Module.m_skip_data_files)
      m_load_data(*this);
    else
      Log(L"Not loading data files due to command line option -b. Existing data files will be overwitten.", log_warning,
          0);
    return;
  }
  m_data_files = std::make_unique<CDataFiles>(m_session, m_libraries, *this, WTL::resource_instance(), m_user_data_base,
                                              m_common_data_base);
  m_relocation = m_libraries.m_relocated.connect(
      [this](const Orvo::protocol_place& from, const std::optional<Orvo::protocol_place>& to) {
        follow_relocation(from, to);
      });
  m_data_files->start(_Module.m_skip_data_files);
}

void CMainFrame::follow_relocation(const Orvo::protocol_place& from, const std::optional<Orvo::protocol_place>& to) {
  if (!m_protocol_name.empty() &&
      from == Orvo::protocol_place{m_protocol_user_specific, to_wide_string(m_protocol_name)}) {
    m_protocol_name = to ? to_wstring(to->name) : std::wstring();
    if (to) m_protocol_user_specific = to->user;
  }
  Orvo::session_data& s = m_session;
  if (!s.m_last_protocol_name.empty() &&
      from == Orvo::protocol_place{s.m_last_protocol_local, s.m_last_protocol_name}) {
    s.m_last_protocol_name = to ? to->name : Orvo::wide_string();
    s.m_last_protocol_local = to ? to->user : true;
  }
}

// At the deferred start: the protocol open at the last exit, when its
// library still holds it.
void CMainFrame::open_last_protocol() {
  Orvo::session_data& s = m_session;
  if (!s.m_open_last_profile || s.m_last_protocol_name.empty()) return;
  if (m_libraries.library(s.m_last_protocol_local).contains(s.m_last_protocol_name)) {
    OpenProtocol(s.m_last_protocol_local, to_wstring(s.m_last_protocol_name));
  } else {
    s.m_last_protocol_name.clear();
    s.m_last_protocol_local = true;
  }
}

bool CMainFrame::SaveProtocol() {
  if (m_protocol_name.empty()) return SaveProtocolAs();
  return SaveInto(m_protocol_user_specific, m_protocol_name);
}

bool CMainFrame::SaveProtocolAs() {
  save_protocol_dialog dialog(m_protocol_name.empty() ? L"Untitled" : m_protocol_name, m_protocol_user_specific,
                              &m_libraries);
  if (dialog.run(m_hWnd) != IDOK) return false;
  return SaveInto(dialog.user(), dialog.name());
}

bool CMainFrame::SaveInto(bool user, const std::wstring& name) {
  const Orvo::protocols& library = m_libraries.library(user);
  const auto stored = library.m_protocols.find(to_wide_string(name));
  const std::optional<long> working = amplifiers_in(m_protocol.m_state_string);
  if (stored != library.m_protocols.end()) {
    const std::optional<long> kept = amplifiers_in(stored->second.m_state_string);
    if (working && kept && *working < *kept &&
        Orvo::message_box(m_hWnd, fewer_amplifiers_question, L"Warning", MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
      return false;
  }
  if (working && *working == 0 &&
      Orvo::message_box(m_hWnd, empty_question, L"Empty protocol!", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  m_views->store_column_layouts(m_protocol);
  if (!Orvo::store_protocol_reporting(m_hWnd, m_libraries, user, name, m_protocol)) return false;
  m_protocol_name = name;
  m_protocol_user_specific = user;
  // The session names the protocol that is open, reopened at the next start.
  m_session.m_last_protocol_name = to_wide_string(name);
  m_session.m_last_protocol_local = user;
  return true;
}

bool CMainFrame::AskToSaveModified() {
  if (!m_modified) return true;
  if (Orvo::message_box(m_hWnd, L"Current protocol has been modified. Save?", L"Warning", MB_YESNO | MB_USERICON) !=
      IDYES)
    return true;
  return SaveProtocolAs();
}

void CMainFrame::OpenProtocol(bool user, const std::wstring& name) {
  m_protocol = m_libraries.library(user).m_protocols.at(to_wide_string(name));
  m_session.m_last_protocol_name = to_wide_string(name);
  m_protocol_name = name;
  m_session.m_last_protocol_local = m_protocol_user_specific = user;
  m_views->apply_column_layouts(m_protocol);
  Log((L"On open protocol: " + name).c_str(), log_information, 0);
  const comet::variant_t state(comet::bstr_t(to_wstring(m_protocol.m_state_string)));
  SendState(state.get());
}

void CMainFrame::OpenFromManager() {
  if (m_opening) return;
  m_opening = true;
  struct reset {
    bool& flag;
    ~reset() { flag = false; }
  } running{m_opening};
  const std::optional<Orvo::protocol_place> chosen = m_protocol_window.selected_protocol();
  if (!chosen) return;
  const std::wstring name = to_wstring(chosen->name);
  if (m_modified && chosen->user == m_protocol_user_specific && name == m_protocol_name) {
    const std::wstring question = L"Discard changes to protocol \"" + name + L"\" and revert to saved version?";
    if (Orvo::message_box(m_hWnd, question.c_str(), L"Discard changes?", MB_YESNO | MB_USERICON) == IDYES)
      OpenProtocol(chosen->user, name);
  } else if (AskToSaveModified()) {
    OpenProtocol(chosen->user, name);
  }
}

void CMainFrame::save_session() {
  if (!m_data_files) return;
  record_layout();
  m_data_files->SaveSessionData();
}

// The session is written at once: a later tray Exit writes nothing.
void CMainFrame::UserOptions() {
  HWND owner = ::GetActiveWindow();
  Orvo::run_user_options(owner ? owner : m_hWnd, m_session, [this] { save_session(); });
}

void CMainFrame::DisplayOptions() { Orvo::run_display_options(m_state.get(), m_protocol, *this); }

bool CMainFrame::ExitNow() {
  if (!AskToSaveModified()) return false;
  record_layout();
  if (m_data_files) m_data_files->exit();
  return true;
}

LRESULT CMainFrame::OnProtocolCommand(WORD, WORD id, HWND, BOOL&) {
  guarded(*this, [&] {
    switch (id) {
      case ID_SAVE_PROTOCOL:
        if (m_modified) SaveProtocol();
        break;
      case ID_SAVE_PROTOCOL_AS:
        SaveProtocolAs();
        break;
      case ID_PROTOCOL_OPEN:
        OpenFromManager();
        break;
      case ID_PROTOCOL_PREVIEW:
        Log(L"On preview protocol", log_information, 0);
        break;
      case ID_VIEW_USER_OPTIONS:
        UserOptions();
        break;
      case ID_VIEW_DISPLAY_OPTIONS:
        DisplayOptions();
        break;
      default:
        break;
    }
  });
  return 0;
}
