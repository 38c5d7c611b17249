// TIAmplifierState: the coclass AmplifierState. It holds the register
// images of all amplifiers and shows them as a tree ("All Amplifiers",
// ID 0), made when first needed and kept until the images are replaced. It
// writes and reads the state string, compares and clones states, persists
// itself as a state string in a stream, and travels by value (IMarshal):
// the other apartment or process gets a copy of the images.
//
// The images are brought up to date from the tree before they are written
// out (AsString, Save, marshalling). No locks: a state and its tree are
// used from one thread at a time.
#pragma once

#include "TIIDentifier.h"
#include "core/amplifier_memory_collection.h"

namespace orvo::impl {

class TICollection_Amplifiers;

class TIAmplifierState
    : public TIIDentifier<TIAmplifierState, com::dispatch<IAmplifierState2, IAmplifierState, IIdentifier>,
                          IPersistStreamInit, IMarshal, _IStateMemory, _IElectrodeList> {
 public:
  explicit TIAmplifierState(TCOMInterfacedObject* parent = nullptr);
  ~TIAmplifierState() override;

  void* query_extra(REFIID iid) noexcept;

  // IIdentifier: the state has no holder, and says so without failing.
  STDMETHODIMP get_Parent(IDispatch** value) override;

  // IAmplifierState
  STDMETHODIMP get_Amplifiers(ICollection** value) override;
  STDMETHODIMP getObjectByID(LONG id, IDispatch** value) override;
  STDMETHODIMP get_AsString(BSTR* value) override;
  STDMETHODIMP get_GlobalDeblock(VARIANT_BOOL* value) override;
  STDMETHODIMP put_GlobalDeblock(VARIANT_BOOL value) override;

  // IAmplifierState2
  STDMETHODIMP Clone(IAmplifierState2** value) override;
  STDMETHODIMP Equal(VARIANT source, LONG* value) override;
  STDMETHODIMP CreateFromString(BSTR text, IAmplifierState2** value) override;

  // IPersistStreamInit
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP IsDirty() override;
  STDMETHODIMP Load(IStream* stream) override;
  STDMETHODIMP Save(IStream* stream, BOOL clear_dirty) override;
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
  STDMETHODIMP InitNew() override;

  // IMarshal
  STDMETHODIMP GetUnmarshalClass(REFIID iid, void* object, DWORD context, void* reserved, DWORD flags,
                                 CLSID* clsid) override;
  STDMETHODIMP GetMarshalSizeMax(REFIID iid, void* object, DWORD context, void* reserved, DWORD flags,
                                 DWORD* size) override;
  STDMETHODIMP MarshalInterface(IStream* stream, REFIID iid, void* object, DWORD context, void* reserved,
                                DWORD flags) override;
  STDMETHODIMP UnmarshalInterface(IStream* stream, REFIID iid, void** object) override;
  STDMETHODIMP ReleaseMarshalData(IStream* stream) override;
  STDMETHODIMP DisconnectObject(DWORD reserved) override;

  // _IStateMemory
  void AssignMemory(const TAmplifierMemoryCollection& memory) override;
  void LoadMemory(TByteSource& source, std::int32_t global_deblock, const TestBoxRec& test_box) override;
  TAmplifierMemoryCollection& GetMemory() override;
  void SetModified() override { m_modified = true; }

  // _IElectrodeList
  void GetElectrodes(std::uint8_t amplifier, bool positive, std::vector<_IElectrodeState*>& electrodes) override;

 private:
  // The Amplifiers collection, made when missing.
  TICollection_Amplifiers& Tree();
  // Writes the tree's values into the images (making the tree first).
  void UpdateImages();
  // Lets the tree go: it is made again from the images when next needed.
  void DropTree() noexcept;
  std::wstring StateString();

  TAmplifierMemoryCollection m_memory;
  TICollection_Amplifiers* m_amplifiers = nullptr;
  bool m_modified = false;
  bool m_loaded = false;
  bool m_initialized = false;
};

}  // namespace orvo::impl
