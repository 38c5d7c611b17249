// TIProperty: one setting of a channel or an amplifier as an automation
// property. It keeps a raw value (the setting's code), shows it as text
// through the setting's capabilities, takes a new text, and offers the
// texts of the legal values. Subclasses store the raw value into the image
// (Update) or show settings that have no capabilities.
#pragma once

#include "CapsProviderIntf.h"
#include "TIIDentifier.h"

namespace orvo::impl {

class TIProperty : public TIIDentifier<TIProperty, com::dispatch<IProperty, IIdentifier>, _IRawValue> {
 public:
  TIProperty(TCOMInterfacedObject* parent, ObjectID id, std::wstring name, ICapabilities* capabilities, LONG raw,
             bool read_only, bool linkable);

  // IProperty
  STDMETHODIMP get_Value(VARIANT* value) override;
  STDMETHODIMP put_Value(VARIANT value) override;
  STDMETHODIMP get_IsReadOnly(VARIANT_BOOL* value) override;
  STDMETHODIMP get_RangeID(LONG* value) override;
  STDMETHODIMP get_Count(LONG* value) override;
  STDMETHODIMP get_Item(LONG index, VARIANT* value) override;
  STDMETHODIMP get__NewEnum(IUnknown** value) override;

  // _IRawValue
  LONG GetRawValue() override { return m_raw; }
  // _IGroupLink: takes the changed property's raw value when this one is
  // linkable, is another property and has the same kind and element.
  void Apply(TCOMInterfacedObject* changed) override;
  // _IUpdateAmpMemory: a plain property stores nothing.
  void Update(TAmplifierMemory*, TestBoxRec*) override {}

  // Value put of a text, for callers inside the model.
  void PutText(const wchar_t* text);

  // A setting the provider delivered; raises "Amplifier not registered"
  // for none, so that the amplifier is shown as a model it does not know
  // (see TIAmplifier::Populate).
  static ICapabilities* Delivered(const com::ptr<ICapabilities>& capabilities);

  // The caption of a setting.
  static std::wstring Caption(ICapabilities* capabilities);

 protected:
  // The steps behind the interface methods; each may raise ECOMException.
  virtual void GetValue(VARIANT* value);
  virtual void PutValue(const VARIANT& value);
  virtual bool IsReadOnly() { return m_read_only; }
  virtual LONG RangeID();
  virtual LONG Count();
  virtual void Item(LONG index, VARIANT* value);
  // An enumerator over the texts Item gives for 0 to Count() - 1.
  void NewEnum(IUnknown** value);

  ICapabilities* Capabilities() const noexcept { return m_capabilities.get(); }
  void SetRawValue(LONG raw) noexcept { m_raw = raw; }
  // Runs the group link from the top of the tree, when that is a state.
  void RunGroupLink();

  // The nearest legal value of what a copy of the record at offset (size
  // bytes of the image) holds; and raw encoded into such a copy, which is
  // then written back.
  static LONG ReadRecordValue(ICapabilities* capabilities, const TAmplifierMemory& memory, std::size_t offset,
                              std::size_t size);
  static void WriteRecordValue(ICapabilities* capabilities, LONG raw, TAmplifierMemory& memory, std::size_t offset,
                               std::size_t size);

 private:
  com::ptr<ICapabilities> m_capabilities;
  com::ptr<ICapsEnumerator> m_enumerator;
  LONG m_raw;
  bool m_read_only;
  bool m_linkable;
};

}  // namespace orvo::impl
