// What the stand-in server keeps per process: the settings a test steers
// through the control object, the call log, and which amplifier object is
// alive. One object per process serves the amplifier; every setting holds
// for it and for the next one.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <map>
#include <string>
#include <vector>

#include "com/lock.h"

namespace stand_in {

class CStandInAmplifier;

// A VARIANT owned by value.
class held_variant {
 public:
  held_variant() noexcept { VariantInit(&m_value); }
  explicit held_variant(const VARIANT& value) noexcept : held_variant() {
    VariantCopy(&m_value, const_cast<VARIANT*>(&value));
  }
  held_variant(const held_variant& other) noexcept : held_variant(other.m_value) {}
  held_variant& operator=(const held_variant& other) noexcept {
    if (this != &other) VariantCopy(&m_value, const_cast<VARIANT*>(&other.m_value));
    return *this;
  }
  ~held_variant() { VariantClear(&m_value); }
  const VARIANT& get() const noexcept { return m_value; }

 private:
  VARIANT m_value;
};

struct property_item {
  std::wstring name;
  held_variant value;
};

struct failure {
  HRESULT code = S_OK;
  std::wstring description;  // empty: no error information
};

struct settings {
  std::wstring state;  // the state string OnChange carries
  bool supports_error_info = true;
  bool offers_amplifier2 = true;
  bool applied = true;
  bool change_inside_set_state = false;  // else OnChange is posted
  std::vector<property_item> properties;
  std::map<std::wstring, failure> failures;  // by method name
};

// The first settings: one fresh amplifier of the first registered model,
// and one property naming the server.
settings default_settings();

struct process_state {
  orvo::com::critical_section lock;
  settings current = default_settings();
  std::vector<std::wstring> call_log;
  CStandInAmplifier* amplifier = nullptr;  // the live one, not counted
  long objects = 0;                        // live amplifier, collections, items
};

process_state& process();

// Counts a server object in process().objects while it lives.
class counted {
 public:
  counted() noexcept;
  ~counted();
  counted(const counted&) = delete;
  counted& operator=(const counted&) = delete;
};

// Appends one line to the call log.
void log_call(const std::wstring& line);

// The failure requested for a method: S_OK, or its code, with error
// information from the server for `iid` when a description was given (and
// none left over otherwise).
HRESULT requested_failure(const wchar_t* method, REFIID iid) noexcept;

// A new AmplifierState (the registered class, in this process) loaded from
// a state string by IPersistStreamInit::Load; the load's HRESULT on failure.
HRESULT make_state(const std::wstring& text, IDispatch** out) noexcept;

}  // namespace stand_in
