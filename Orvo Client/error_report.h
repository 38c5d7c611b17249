// Turning whatever a command or event handler lets escape into a record of
// the event log, so that the frame always goes on:
//
//   guarded(frame, [&] { amplifier_state_changed(state); });
//
// The sink is where records go (the main frame: its event log window and
// its status text). Reporters never throw.
#pragma once

#include <windows.h>

#include <string>

// The levels of the event log.
enum log_level { log_event = 0, log_information = 1, log_warning = 2, log_error = 3 };

class CLogSink {
 public:
  virtual void add_record(const std::wstring& text, int level, HRESULT code) = 0;
  virtual void set_status_text(const std::wstring& text) = 0;

 protected:
  ~CLogSink() = default;
};

// The status text every failure report sets.
extern const wchar_t* const error_status_text;

// One record: a null text counts as empty; a negative code also sets the
// status text.
void Log(CLogSink& sink, const wchar_t* text, int level, HRESULT code) noexcept;

// Reports the exception being handled; call only inside a catch block.
void report_current_exception(CLogSink& sink) noexcept;

template <class Body>
void guarded(CLogSink& sink, Body&& body) noexcept {
  try {
    body();
  } catch (...) {
    report_current_exception(sink);
  }
}
