// Runs JScript in process, as a page's script would run, with one object
// visible to it under the name "external".
//
//   script_result r = run_jscript(external, L"external.Version");
//   r.value   the expression's value as text (VT_EMPTY: "undefined")
//   r.error   the HRESULT of the failure the engine reported (S_OK: none)
#pragma once

#include <oaidl.h>

#include <string>

namespace orvo::testing {

struct script_result {
  HRESULT parse = S_OK;  // what ParseScriptText returned
  HRESULT error = S_OK;  // the scode of the error the engine reported
  std::wstring description;
  std::wstring value;
};

script_result run_jscript(IDispatch* external, const std::wstring& expression);

}  // namespace orvo::testing
