// The capability objects handed out by the provider: the provider, the
// amplifier and channel objects, one ICapabilities object per setting and
// the enumerators over their legal values. Each method is a few lines over
// the portable settings in core/; this layer adds VARIANTs, the registry and
// reference counting.
#pragma once

#include "CapsProviderIntf.h"
#include "core/settings.h"
#include "com/object.h"

namespace orvo::caps {

// What every provider in the process shares: the descriptor cache and the
// setup switch read when the library was loaded.
struct process_state {
  TRangeCache cache;
  bool setup = false;
};
process_state& process() noexcept;

// Builds the capability object of an amplifier model; false ("Amplifier not
// registered") when its amplifier descriptor is missing or any of its eight
// descriptors does not load.
bool make_amplifier(WORD amplifier_id, com::ptr<IAmplifierCapabilities>& out) noexcept;

class TICapsProvider final : public com::object<TICapsProvider, ICapsProvider> {
 public:
  bool32 __stdcall Load(WORD id) override;
  bool32 __stdcall GetAmplifier(WORD amplifier_id, IUnknown** result) override;
};

class TICapsEnumerator final : public com::object<TICapsEnumerator, ICapsEnumerator> {
 public:
  explicit TICapsEnumerator(setting s) : m_setting(std::move(s)) {}
  LONG __stdcall GetCount() override;
  LONG __stdcall GetValue(LONG index) override;
  void __stdcall GetName(LONG index, VARIANT* result) override;

 private:
  setting m_setting;
};

class TIEnumerator_EMPTY final : public com::object<TIEnumerator_EMPTY, ICapsEnumerator> {
 public:
  LONG __stdcall GetCount() override { return 0; }
  LONG __stdcall GetValue(LONG) override { return -1; }
  void __stdcall GetName(LONG index, VARIANT* result) override;
};

// A setting over a cached record: lookup lists convert through their
// entries, gain, low-cut and high-cut through their formatter and parser.
class TICapabilities final : public com::object<TICapabilities, ICapabilities> {
 public:
  explicit TICapabilities(setting s) : m_setting(std::move(s)) {}
  LONG __stdcall GetRangeID() override;
  void __stdcall GetName(VARIANT* result) override;
  LONG __stdcall NearestValue(LONG value) override;
  LONG __stdcall ToValue(VARIANT value) override;
  void __stdcall FromValue(LONG value, VARIANT* result) override;
  void __stdcall WriteValue(LONG value, BYTE* record) override;
  LONG __stdcall ReadValue(BYTE* record) override;
  void __stdcall GetEnumerator(ICapsEnumerator** result) override;

 private:
  LONG parse(const VARIANT& value) const;

  setting m_setting;
  com::ptr<ICapsEnumerator> m_enumerator;
};

// A numeric range at fixed record bytes: values are clamped, texts that do
// not convert are 0, and there is no list to enumerate.
class TICapabilities_Range : public ICapabilities {
 public:
  using interface_type = ICapabilities;
  LONG __stdcall GetRangeID() override;
  void __stdcall GetName(VARIANT* result) override;
  LONG __stdcall NearestValue(LONG value) override;
  LONG __stdcall ToValue(VARIANT value) override;
  void __stdcall FromValue(LONG value, VARIANT* result) override;
  void __stdcall WriteValue(LONG value, BYTE* record) override;
  LONG __stdcall ReadValue(BYTE* record) override;
  void __stdcall GetEnumerator(ICapsEnumerator** result) override;

 protected:
  virtual ~TICapabilities_Range() = default;
  // Which range this is: its caption, limits, code and record bytes.
  virtual range_kind kind() const noexcept = 0;

 private:
  range_setting range() const noexcept { return range_setting::of(kind()); }
};

template <range_kind Kind>
class range_capabilities final : public com::object<range_capabilities<Kind>, TICapabilities_Range> {
 protected:
  range_kind kind() const noexcept override { return Kind; }
};
// Channel byte 7, 0 to 255.
using TICapabilities_CHANNELGROUP = range_capabilities<range_kind::channel_group>;
// Amplifier bytes 5-6, 0 to 32767 ms.
using TICapabilities_DEBLOCKDURATION = range_capabilities<range_kind::deblock_duration>;
// Amplifier bytes 0-1 and 2-3, half the threshold, 0 to 65535.
using TICapabilities_IMPEDANCETHRESHOLD_LOWER = range_capabilities<range_kind::lower_threshold>;
using TICapabilities_IMPEDANCETHRESHOLD_UPPER = range_capabilities<range_kind::upper_threshold>;
// Amplifier byte 8, 0 to 255.
using TICapabilities_INDEX = range_capabilities<range_kind::serial_no>;

class TIChannelCapabilities final : public com::object<TIChannelCapabilities, IChannelCapabilities> {
 public:
  explicit TIChannelCapabilities(const amplifier_records& model) noexcept : m_model(model) {}
  void __stdcall GetInputMode(ICapabilities** result) override;
  void __stdcall GetGain(ICapabilities** result) override;
  void __stdcall GetLowCut(ICapabilities** result) override;
  void __stdcall GetHighCut(ICapabilities** result) override;
  void __stdcall GetNotch(ICapabilities** result) override;
  void __stdcall GetInputConnections(ICapabilities** result) override;
  void __stdcall GetGroup(ICapabilities** result) override;

 private:
  void get(channel_setting which, ICapabilities** result);

  amplifier_records m_model;
  com::ptr<ICapabilities> m_slots[7];
};

class TIAmplifierCaps final : public com::object<TIAmplifierCaps, IAmplifierCapabilities> {
 public:
  explicit TIAmplifierCaps(const amplifier_records& model);
  WORD __stdcall GetAmplifierID() override;
  void __stdcall GetChannel(LONG index, IChannelCapabilities** result) override;
  void __stdcall GetDeblockState(ICapabilities** result) override;
  void __stdcall GetDeblockType(ICapabilities** result) override;
  void __stdcall GetDeblockDuration(ICapabilities** result) override;
  void __stdcall GetImpedanceState(ICapabilities** result) override;
  void __stdcall GetLowerThreshold(ICapabilities** result) override;
  void __stdcall GetUpperThreshold(ICapabilities** result) override;
  void __stdcall GetImpedanceResolution(ICapabilities** result) override;
  void __stdcall GetHighlight(ICapabilities** result) override;
  void __stdcall GetSerialNo(ICapabilities** result) override;

 private:
  template <class Make>
  void get(int slot, ICapabilities** result, Make make);
  void get_list(int slot, amplifier_setting which, ICapabilities** result);
  template <range_kind Kind>
  void get_range(int slot, ICapabilities** result);

  amplifier_records m_model;
  // The built-in lists, shared with the capability objects made over them.
  std::shared_ptr<const TRangeRecord> m_deblock_state, m_impedance_state, m_highlight;
  com::ptr<IChannelCapabilities> m_channel;
  com::ptr<ICapabilities> m_slots[9];
};

}  // namespace orvo::caps
