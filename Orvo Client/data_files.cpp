#include "data_files.h"

CDataFiles::CDataFiles(Orvo::session_data& session, Orvo::protocol_libraries& libraries, CLogSink& log, HMODULE module,
                       std::wstring user_base, std::wstring common_base)
    : detail::data_files_disk{CSettingsDisk(module, std::move(user_base), std::move(common_base))},
      Orvo::settings_files(
          session, libraries, m_disk,
          [&log](const Orvo::wide_string& text, int level, std::int32_t code) {
            Log(log, to_wstring(text).c_str(), level, static_cast<HRESULT>(code));
          },
          [&log] { report_current_exception(log); }) {}
