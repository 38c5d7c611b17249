#include "protocol_state.h"

#define SECURITY_WIN32
#include <security.h>

#include <boost/date_time/posix_time/posix_time_types.hpp>

#include <algorithm>

#include "comet/bstr.h"
#include "settings_disk.h"
#include "state_walk.h"

std::wstring get_user_display_name() {
  wchar_t name[MAX_PATH] = {};
  ULONG length = MAX_PATH;
  if (::GetUserNameExW(NameDisplay, name, &length)) return name;
  DWORD logon_length = MAX_PATH;
  if (::GetUserNameW(name, &logon_length)) return name;
  return {};
}

namespace {

Orvo::stamp user_stamp() {
  return {boost::posix_time::second_clock::local_time(), to_wide_string(get_user_display_name())};
}

int bstr_compare(const Orvo::wide_string& a, const Orvo::wide_string& b) {
  const comet::bstr_t left(to_wstring(a)), right(to_wstring(b));
  if (left < right) return -1;
  return right < left ? 1 : 0;
}

}  // namespace

void use_user_display_name() { Orvo::set_stamp_source(user_stamp); }

Orvo::key_order bstr_key_order() { return Orvo::key_order{bstr_compare}; }

namespace Orvo {

bool state_equals(const protocol& p, const VARIANT& state) {
  const bool given_empty = (V_VT(&state) == VT_BSTR && ::SysStringLen(V_BSTR(&state)) == 0) ||
                           V_VT(&state) == VT_EMPTY || V_VT(&state) == VT_NULL;
  if (p.m_state_string.empty() && given_empty) return false;
  const comet::com_ptr<IAmplifierState2> factory = create_amplifier_state();
  const comet::com_ptr<IAmplifierState> stored =
      create_state_from_string(factory.get(), comet::bstr_t(to_wstring(p.m_state_string)));
  const auto stored2 = comet::query<IAmplifierState2>(stored);
  LONG result = -1;
  const HRESULT hr = comet::checked(stored2)->Equal(state, &result);
  if (FAILED(hr)) raise_IAmplifierState2(hr, stored2.get());
  return result == 0;
}

property_map make_property_map(ICollection* properties) {
  property_map map(bstr_key_order());
  for_each_property(comet::checked(properties), [&](const comet::com_ptr<IProperty>& property) {
    VARIANT_BOOL read_only = VARIANT_TRUE;
    HRESULT hr = comet::checked(property)->get_IsReadOnly(&read_only);
    if (FAILED(hr)) raise_IProperty(hr, property.get());
    if (read_only != VARIANT_FALSE) return;
    comet::bstr_t name;
    hr = property->get_Name(name.out());
    if (FAILED(hr)) raise_IProperty(hr, property.get());
    std::vector<wide_string>& values = map.m_map[to_wide_string(name.w_str())];
    for_each_property_value(property.get(), [&](const std::wstring& text) { values.push_back(to_wide_string(text)); });
  });
  return map;
}

property_map make_property_map_excluding(ICollection* properties, const property_map& excluded) {
  property_map map = make_property_map(properties);
  for (const auto& [key, hidden] : excluded.m_map) {
    const auto found = map.m_map.find(key);
    if (found == map.m_map.end()) continue;
    auto& values = found->second;
    values.erase(std::remove_if(values.begin(), values.end(),
                                [&](const wide_string& v) {
                                  return std::find(hidden.begin(), hidden.end(), v) != hidden.end();
                                }),
                 values.end());
  }
  return map;
}

}  // namespace Orvo
