// The client's three data files as the main frame uses them: it holds one
// CDataFiles and forwards its LoadSessionData, SaveSessionData,
// LoadProtocols, SaveProtocols, SaveCommonProtocols and SaveUserProtocols to
// it. Log lines and the reports of caught exceptions go to the frame's log.
#pragma once

#include <windows.h>

#include <string>

#include "core/settings_files.h"
#include "error_report.h"
#include "settings_disk.h"

namespace detail {
// Constructed before the settings_files base that refers to it.
struct data_files_disk {
  CSettingsDisk m_disk;
};
}  // namespace detail

class CDataFiles : private detail::data_files_disk, public Orvo::settings_files {
 public:
  // module holds the built-in session; base folders given here stand in for
  // the shell's user and common data folders.
  CDataFiles(Orvo::session_data& session, Orvo::protocol_libraries& libraries, CLogSink& log, HMODULE module,
             std::wstring user_base = {}, std::wstring common_base = {});
};
