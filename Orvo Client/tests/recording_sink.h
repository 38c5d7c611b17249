// An event log for tests: keeps every record and the last status text.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "error_report.h"

struct record {
  std::wstring text;
  int level;
  HRESULT code;
};

class CRecordingSink : public CLogSink {
 public:
  void add_record(const std::wstring& text, int level, HRESULT code) override {
    records.push_back({text, level, code});
  }
  void set_status_text(const std::wstring& text) override { status = text; }
  std::vector<record> records;
  std::wstring status = L"Not connected";
};
