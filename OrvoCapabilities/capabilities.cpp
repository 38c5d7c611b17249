#include "capabilities.h"

#include <string>

#include "registry_source.h"

namespace orvo::caps {
namespace {

// Runs f, swallowing any exception: no exception may leave a method.
template <class F, class R>
R quietly(F&& f, R fallback) noexcept {
  try {
    return f();
  } catch (...) {
    return fallback;
  }
}
template <class F>
void quietly(F&& f) noexcept {
  try {
    f();
  } catch (...) {
  }
}

// Stores an AddRef'ed pointer in a caller's slot and releases what it held.
template <class I>
void deliver(I** slot, const com::ptr<I>& value) noexcept {
  if (!slot) return;
  I* old = *slot;
  value.copy_to(slot);
  if (old) old->Release();
}

void put_int(VARIANT* slot, LONG value) noexcept {
  if (!slot) return;
  VariantClear(slot);
  V_VT(slot) = VT_I4;
  V_I4(slot) = value;
}

std::wstring widen(const std::string& text) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

// The single-byte form of a text; nothing when a character has none.
std::optional<std::string> narrow(const wchar_t* text, UINT length) {
  if (length == 0) return std::string();
  BOOL lossy = FALSE;
  const int n =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(length), nullptr, 0, nullptr, &lossy);
  if (n <= 0 || lossy) return std::nullopt;
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(length), out.data(), n, nullptr, nullptr);
  return out;
}

void put_text(VARIANT* slot, const std::string& text) noexcept {
  if (!slot) return;
  VariantClear(slot);
  quietly([&] {
    const std::wstring wide = widen(text);
    BSTR b = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!b) return;
    V_VT(slot) = VT_BSTR;
    V_BSTR(slot) = b;
  });
}

// A text, or the integer -1 that stands for "no such entry".
void put_text_or_none(VARIANT* slot, const std::optional<std::string>& text) noexcept {
  if (text)
    put_text(slot, *text);
  else
    put_int(slot, -1);
}

// A copy of a VARIANT argument converted to `type`; VT_EMPTY when it does not
// convert. Texts of numbers are read with `locale`.
struct converted {
  converted(const VARIANT& in, VARTYPE type, LCID locale) noexcept {
    VariantInit(&v);
    VARIANT copy;
    VariantInit(&copy);
    if (FAILED(VariantCopyInd(&copy, const_cast<VARIANT*>(&in))) ||
        FAILED(VariantChangeTypeEx(&v, &copy, locale, 0, type)))
      VariantClear(&v);
    VariantClear(&copy);
  }
  ~converted() { VariantClear(&v); }
  bool ok() const noexcept { return V_VT(&v) != VT_EMPTY; }
  VARIANT v;
};

// The text of a VARIANT with "." as decimal point, as single-byte text.
std::optional<std::string> text_of(const VARIANT& value) {
  converted t(value, VT_BSTR, LOCALE_INVARIANT);
  if (!t.ok()) return std::nullopt;
  return narrow(V_BSTR(&t.v), SysStringLen(V_BSTR(&t.v)));
}

// A number through the platform's VARIANT conversion (user locale).
std::optional<double> number_of(const VARIANT& value) {
  converted n(value, VT_R8, LOCALE_USER_DEFAULT);
  if (!n.ok()) return std::nullopt;
  return V_R8(&n.v);
}

bool is_integer_type(VARTYPE t) {
  switch (t & VT_TYPEMASK) {
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UI8:
    case VT_UINT:
      return true;
    default:
      return false;
  }
}

void debug_line(const std::wstring& text) { OutputDebugStringW((text + L"\n").c_str()); }

std::wstring debug_text(const VARIANT& value) {
  converted t(value, VT_BSTR, LOCALE_INVARIANT);
  return t.ok() ? std::wstring(V_BSTR(&t.v), SysStringLen(V_BSTR(&t.v))) : std::wstring();
}

}  // namespace

process_state& process() noexcept {
  // Kept until the process ends, past the destruction of statics, so that
  // objects still held at exit keep valid records.
  static process_state* state = new process_state;
  return *state;
}

bool make_amplifier(WORD amplifier_id, com::ptr<IAmplifierCapabilities>& out) noexcept {
  out.reset();
  return quietly(
      [&] {
        registry_source source;
        TCapsRegistry registry(source, process().setup);
        auto model = load_amplifier(process().cache, registry, amplifier_id);
        if (!model) return false;  // "Amplifier not registered"
        return SUCCEEDED(TIAmplifierCaps::make(out, *model));
      },
      false);
}

// Provider ------------------------------------------------------------------

bool32 TICapsProvider::Load(WORD id) {
  return quietly(
      [&] {
        registry_source source;
        TCapsRegistry registry(source, process().setup);
        return process().cache.Load(id, registry) ? bool32_true : bool32_false;
      },
      bool32_false);
}

bool32 TICapsProvider::GetAmplifier(WORD amplifier_id, IUnknown** result) {
  com::ptr<IAmplifierCapabilities> amplifier;
  const bool ok = make_amplifier(amplifier_id, amplifier);
  com::ptr<IUnknown> unknown;
  if (ok) amplifier.query(unknown);
  deliver(result, unknown);
  return ok && unknown ? bool32_true : bool32_false;
}

// Enumerators ---------------------------------------------------------------

LONG TICapsEnumerator::GetCount() { return m_setting.count(); }
LONG TICapsEnumerator::GetValue(LONG index) { return m_setting.value_at(index); }
void TICapsEnumerator::GetName(LONG index, VARIANT* result) {
  quietly([&] { put_text_or_none(result, m_setting.name_at(index)); });
}

void TIEnumerator_EMPTY::GetName(LONG, VARIANT* result) { put_text(result, std::string()); }

// Settings over records -----------------------------------------------------

LONG TICapabilities::GetRangeID() { return m_setting.range_id(); }
void TICapabilities::GetName(VARIANT* result) { put_text(result, m_setting.caption()); }
LONG TICapabilities::NearestValue(LONG value) { return m_setting.nearest(value); }

LONG TICapabilities::parse(const VARIANT& value) const {
  switch (m_setting.record().type()) {
    case type_gain: {
      if (is_integer_type(V_VT(&value))) {
        converted i(value, VT_I4, LOCALE_INVARIANT);
        return i.ok() ? V_I4(&i.v) : 0;
      }
      if ((V_VT(&value) & VT_TYPEMASK) != VT_BSTR) return 0;
      auto text = text_of(value);
      return text ? parse_decimal(*text) : 0;
    }
    case type_low_cut: {
      auto text = text_of(value);
      return text ? low_cut_from_text(*text) : 0;
    }
    default: {
      // A plain decimal text is read with "." in every locale, as the
      // formatter writes it; other texts and values go through the
      // platform's conversion in the user's locale.
      std::optional<double> hz;
      if ((V_VT(&value) & VT_TYPEMASK) == VT_BSTR)
        if (auto text = text_of(value)) hz = plain_decimal(*text);
      if (!hz) hz = number_of(value);
      const LONG code = hz ? high_cut_from_number(*hz) : 0;
      debug_line(std::to_wstring(code));
      return code;
    }
  }
}

LONG TICapabilities::ToValue(VARIANT value) {
  return quietly(
      [&]() -> LONG {
        if (m_setting.generated()) return parse(value);
        debug_line(L"TICapabilities.ToValue =" + debug_text(value));
        auto text = text_of(value);
        const LONG result = text ? m_setting.lookup(*text) : -1;
        debug_line(L"ToValue Res =" + std::to_wstring(result));
        return result;
      },
      LONG{-1});
}

void TICapabilities::FromValue(LONG value, VARIANT* result) {
  quietly([&] { put_text_or_none(result, m_setting.text_of(value)); });
}

void TICapabilities::WriteValue(LONG value, BYTE* record) { m_setting.write(value, record); }
LONG TICapabilities::ReadValue(BYTE* record) { return m_setting.read(record); }

void TICapabilities::GetEnumerator(ICapsEnumerator** result) {
  quietly([&] {
    if (!m_enumerator) TICapsEnumerator::make(m_enumerator, m_setting);
  });
  deliver(result, m_enumerator);
}

// Ranges --------------------------------------------------------------------

LONG TICapabilities_Range::GetRangeID() { return range().range_code; }
void TICapabilities_Range::GetName(VARIANT* result) { put_text(result, range().caption); }
LONG TICapabilities_Range::NearestValue(LONG value) { return range().clamp(value); }
LONG TICapabilities_Range::ToValue(VARIANT value) {
  return quietly(
      [&]() -> LONG {
        // The platform's integer conversion (halves to even); a value that
        // does not convert, one beyond 32 bits included, gives 0.
        converted n(value, VT_I4, LOCALE_USER_DEFAULT);
        return n.ok() ? range().clamp(V_I4(&n.v)) : 0;
      },
      LONG{0});
}
void TICapabilities_Range::FromValue(LONG value, VARIANT* result) { put_int(result, value); }
void TICapabilities_Range::WriteValue(LONG value, BYTE* record) { range().write(value, record); }
LONG TICapabilities_Range::ReadValue(BYTE* record) { return range().read(record); }
void TICapabilities_Range::GetEnumerator(ICapsEnumerator** result) {
  com::ptr<ICapsEnumerator> empty;
  TIEnumerator_EMPTY::make(empty);
  deliver(result, empty);
}

// Channel -------------------------------------------------------------------

void TIChannelCapabilities::get(channel_setting which, ICapabilities** result) {
  auto& slot = m_slots[static_cast<int>(which)];
  quietly([&] {
    if (!slot) TICapabilities::make(slot, make_channel_setting(m_model, which));
  });
  deliver(result, slot);
}

void TIChannelCapabilities::GetInputMode(ICapabilities** result) { get(channel_setting::input_mode, result); }
void TIChannelCapabilities::GetGain(ICapabilities** result) { get(channel_setting::gain, result); }
void TIChannelCapabilities::GetLowCut(ICapabilities** result) { get(channel_setting::low_cut, result); }
void TIChannelCapabilities::GetHighCut(ICapabilities** result) { get(channel_setting::high_cut, result); }
void TIChannelCapabilities::GetNotch(ICapabilities** result) { get(channel_setting::notch, result); }
void TIChannelCapabilities::GetInputConnections(ICapabilities** result) {
  get(channel_setting::input_connections, result);
}
void TIChannelCapabilities::GetGroup(ICapabilities** result) {
  auto& slot = m_slots[6];
  if (!slot) TICapabilities_CHANNELGROUP::make(slot);
  deliver(result, slot);
}

// Amplifier -----------------------------------------------------------------

TIAmplifierCaps::TIAmplifierCaps(const amplifier_records& model)
    : m_model(model),
      m_deblock_state(built_in_record(defaults::deblock_state())),
      m_impedance_state(built_in_record(defaults::impedance_state())),
      m_highlight(built_in_record(defaults::highlight())) {}

template <class Make>
void TIAmplifierCaps::get(int slot, ICapabilities** result, Make make) {
  auto& p = m_slots[slot];
  quietly([&] {
    if (!p) make(p);
  });
  deliver(result, p);
}

void TIAmplifierCaps::get_list(int slot, amplifier_setting which, ICapabilities** result) {
  get(slot, result, [&](com::ptr<ICapabilities>& p) {
    std::shared_ptr<const TRangeRecord> built_in = which == amplifier_setting::deblock_state     ? m_deblock_state
                                                   : which == amplifier_setting::impedance_state ? m_impedance_state
                                                   : which == amplifier_setting::highlight       ? m_highlight
                                                                                                 : nullptr;
    TICapabilities::make(p, make_amplifier_setting(m_model, which, std::move(built_in)));
  });
}

template <range_kind Kind>
void TIAmplifierCaps::get_range(int slot, ICapabilities** result) {
  get(slot, result, [](com::ptr<ICapabilities>& p) { range_capabilities<Kind>::make(p); });
}

WORD TIAmplifierCaps::GetAmplifierID() { return m_model.id; }

void TIAmplifierCaps::GetChannel(LONG, IChannelCapabilities** result) {
  quietly([&] {
    if (!m_channel) TIChannelCapabilities::make(m_channel, m_model);
  });
  deliver(result, m_channel);
}

void TIAmplifierCaps::GetDeblockState(ICapabilities** result) { get_list(0, amplifier_setting::deblock_state, result); }
void TIAmplifierCaps::GetDeblockType(ICapabilities** result) { get_list(1, amplifier_setting::deblock_type, result); }
void TIAmplifierCaps::GetDeblockDuration(ICapabilities** result) { get_range<range_kind::deblock_duration>(2, result); }
void TIAmplifierCaps::GetImpedanceState(ICapabilities** result) {
  get_list(3, amplifier_setting::impedance_state, result);
}
void TIAmplifierCaps::GetLowerThreshold(ICapabilities** result) { get_range<range_kind::lower_threshold>(4, result); }
void TIAmplifierCaps::GetUpperThreshold(ICapabilities** result) { get_range<range_kind::upper_threshold>(5, result); }
void TIAmplifierCaps::GetImpedanceResolution(ICapabilities** result) {
  get_list(6, amplifier_setting::impedance_resolution, result);
}
void TIAmplifierCaps::GetHighlight(ICapabilities** result) { get_list(7, amplifier_setting::highlight, result); }
void TIAmplifierCaps::GetSerialNo(ICapabilities** result) { get_range<range_kind::serial_no>(8, result); }

}  // namespace orvo::caps
