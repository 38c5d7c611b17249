#include "TIAmplifierState.h"

#include <oleauto.h>

#include <string>

#include "ByteStreamOnIStream.h"
#include "TIAmplifier.h"
#include "TICollection_Amplifiers.h"
#include "TICollection_Functions.h"
#include "TIProperty.h"
#include "com/error.h"
#include "core/little_endian.h"
#include "core/state_string.h"

namespace orvo::impl {

namespace {
// A state string is read from a stream in steps of this many bytes.
constexpr ULONG LoadStep = 200;

HRESULT StreamPosition(IStream* stream, ULARGE_INTEGER& position) {
  LARGE_INTEGER zero{};
  return stream->Seek(zero, STREAM_SEEK_CUR, &position);
}

HRESULT SeekTo(IStream* stream, ULONGLONG position) {
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(position);
  return stream->Seek(to, STREAM_SEEK_SET, nullptr);
}

// Reads a zero-terminated UTF-16 text and leaves the stream just past the
// terminator; without a terminator the stream goes back to where it was
// and the result is false.
bool ReadTerminatedText(IStream* stream, std::wstring& text) {
  ULARGE_INTEGER start;
  if (FAILED(StreamPosition(stream, start))) return false;
  std::string bytes;
  BYTE buffer[LoadStep];
  for (;;) {
    ULONG read = 0;
    if (FAILED(stream->Read(buffer, LoadStep, &read))) read = 0;
    const std::size_t scanned = bytes.size() & ~std::size_t{1};
    bytes.append(reinterpret_cast<const char*>(buffer), read);
    for (std::size_t i = scanned; i + 1 < bytes.size(); i += 2) {
      if (bytes[i] == 0 && bytes[i + 1] == 0) {
        text.resize(i / 2);
        for (std::size_t k = 0; k < text.size(); ++k)
          text[k] = static_cast<wchar_t>(static_cast<BYTE>(bytes[2 * k]) | static_cast<BYTE>(bytes[2 * k + 1]) << 8);
        return SUCCEEDED(SeekTo(stream, start.QuadPart + i + 2));
      }
    }
    if (read < LoadStep) break;
  }
  SeekTo(stream, start.QuadPart);
  return false;
}

// The text of another state given as Equal's source.
std::wstring SourceStateString(const VARIANT& source) {
  if (source.vt == VT_BSTR) return FromBSTR(source.bstrVal);
  if (source.vt != VT_DISPATCH && source.vt != VT_UNKNOWN)
    RaiseError(L"Source not an IAmplifierState object or StateString.", L"Equal");
  com::ptr<IAmplifierState> state;
  IUnknown* object = source.vt == VT_DISPATCH ? source.pdispVal : source.punkVal;
  if (!object || FAILED(object->QueryInterface(IID_IAmplifierState, state.put_void())))
    RaiseError(L"Source not an IAmplifierState object.", L"Equal");
  BSTR text = nullptr;
  const HRESULT hr = state->get_AsString(&text);
  std::wstring result = FromBSTR(text);
  SysFreeString(text);
  if (FAILED(hr)) throw com::error(hr, L"The source state gave no state string");
  return result;
}
}  // namespace

TIAmplifierState::TIAmplifierState(TCOMInterfacedObject* parent) : TIIDentifier(parent, 0, L"All Amplifiers") {}

TIAmplifierState::~TIAmplifierState() { DropTree(); }

void* TIAmplifierState::query_extra(REFIID iid) noexcept {
  if (iid == IID_IPersist) return static_cast<IPersistStreamInit*>(this);
  return nullptr;
}

STDMETHODIMP TIAmplifierState::get_Parent(IDispatch** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return S_OK;
}

STDMETHODIMP TIAmplifierState::get_Amplifiers(ICollection** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return Call([&] {
    ICollection* amplifiers = &Tree();
    amplifiers->AddRef();
    *value = amplifiers;
    return S_OK;
  });
}

STDMETHODIMP TIAmplifierState::getObjectByID(LONG id, IDispatch** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return Call([&] {
    TCOMInterfacedObject* node = this;
    if (id != ID()) {
      node = Tree().GetObjectByID(id);
      if (!node) RaiseError(L"Orvo Amplifier object does not exist.", L"getObjectByID");
    }
    IDispatch* dispatch = node->NodeDispatch();
    if (!dispatch) RaiseError(L"Internal error.", L"getObjectByID no IDispatch");
    dispatch->AddRef();
    *value = dispatch;
    return S_OK;
  });
}

STDMETHODIMP TIAmplifierState::get_AsString(BSTR* value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return Call([&] {
    *value = comet::bstr_t(StateString()).detach();
    return S_OK;
  });
}

STDMETHODIMP TIAmplifierState::get_GlobalDeblock(VARIANT_BOOL* value) {
  if (!value) return E_POINTER;
  *value = m_memory.GlobalDeblock() ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP TIAmplifierState::put_GlobalDeblock(VARIANT_BOOL value) {
  return Call([&] {
    m_memory.SetGlobalDeblock(value ? 1 : 0);
    for (const auto& amplifier : Tree().Children()) {
      // An amplifier of an unknown model has no functions to set.
      auto* functions = static_cast<TIAmplifier*>(amplifier.Node)->Functions();
      if (!functions) continue;
      if (auto* deblock = dynamic_cast<TIProperty*>(functions->ItemNamed(L"Deblock State")))
        deblock->PutText(value ? L"Set" : L"Reset");
    }
    return S_OK;
  });
}

STDMETHODIMP TIAmplifierState::Clone(IAmplifierState2** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return Call([&] {
    BSTR text = nullptr;
    HRESULT hr = get_AsString(&text);
    if (SUCCEEDED(hr)) hr = CreateFromString(text, value);
    SysFreeString(text);
    return hr;
  });
}

STDMETHODIMP TIAmplifierState::Equal(VARIANT source, LONG* value) {
  if (!value) return E_POINTER;
  return Call([&] {
    comet::variant_t plain;
    if (FAILED(VariantValue(source, *plain.out())))
      RaiseError(L"Source not an IAmplifierState object or StateString.", L"Equal");
    const std::wstring other = SourceStateString(plain.get());
    const std::wstring own = StateString();
    const int result = CompareStateStrings<wchar_t>(own, other);
    if (result < 0) RaiseError(L"Invalid state string.", L"Equal");
    *value = result;
    return S_OK;
  });
}

STDMETHODIMP TIAmplifierState::CreateFromString(BSTR text, IAmplifierState2** value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return Call([&] {
    com::ptr<IAmplifierState2> state;
    if (FAILED(make(state))) RaiseError(L"Unable to create IAmplifierState2 object", L"CreateFromString");
    com::ptr<IPersistStreamInit> persist;
    if (FAILED(state.query(persist)))
      RaiseError(L"Unable to create IPersistStreamInit from IAmplifierState2 object", L"CreateFromString");
    com::ptr<IStream> stream;
    HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, stream.put());
    if (FAILED(hr)) return hr;
    const ULONG bytes = (SysStringLen(text) + 1) * sizeof(wchar_t);
    const wchar_t empty[] = L"";
    hr = stream->Write(text ? text : empty, bytes, nullptr);
    if (SUCCEEDED(hr)) hr = SeekTo(stream.get(), 0);
    if (FAILED(hr)) return hr;
    // A text that is no state string gives a state without amplifiers.
    persist->Load(stream.get());
    BSTR check = nullptr;
    hr = state->get_AsString(&check);
    SysFreeString(check);
    if (FAILED(hr)) return hr;
    *value = state.detach();
    return S_OK;
  });
}

STDMETHODIMP TIAmplifierState::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_AmplifierState;
  return S_OK;
}

STDMETHODIMP TIAmplifierState::IsDirty() { return m_modified ? S_OK : S_FALSE; }

STDMETHODIMP TIAmplifierState::Load(IStream* stream) {
  if (!stream) return E_POINTER;
  if (m_initialized) return E_UNEXPECTED;
  return Call([&] {
    DropTree();
    m_loaded = true;
    std::wstring text;
    if (!ReadTerminatedText(stream, text)) return E_FAIL;
    TStateContent content;
    if (!ReadStateString<wchar_t>(text, content)) return E_FAIL;
    const std::int32_t deblock = m_memory.GlobalDeblock();
    m_memory = std::move(content.Amplifiers);
    m_memory.SetGlobalDeblock(deblock);
    return S_OK;
  });
}

STDMETHODIMP TIAmplifierState::Save(IStream* stream, BOOL clear_dirty) {
  if (!stream) return E_POINTER;
  return Call([&] {
    const std::wstring text = StateString();
    const ULONG bytes = static_cast<ULONG>((text.size() + 1) * sizeof(wchar_t));
    ULONG written = 0;
    HRESULT hr = stream->Write(text.c_str(), bytes, &written);
    if (FAILED(hr)) return hr;
    if (written != bytes) return STG_E_WRITEFAULT;
    if (clear_dirty) m_modified = false;
    return S_OK;
  });
}

STDMETHODIMP TIAmplifierState::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  return Call([&] {
    size->QuadPart = (StateString().size() + 1) * sizeof(wchar_t);
    return S_OK;
  });
}

STDMETHODIMP TIAmplifierState::InitNew() {
  if (m_loaded) return E_UNEXPECTED;
  DropTree();
  m_memory = TAmplifierMemoryCollection();
  m_initialized = true;
  return S_OK;
}

STDMETHODIMP TIAmplifierState::GetUnmarshalClass(REFIID, void*, DWORD, void*, DWORD, CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_AmplifierState;
  return S_OK;
}

STDMETHODIMP TIAmplifierState::GetMarshalSizeMax(REFIID, void*, DWORD, void*, DWORD, DWORD* size) {
  if (!size) return E_POINTER;
  *size = static_cast<DWORD>(MarshalSize(m_memory.Count()));
  return S_OK;
}

STDMETHODIMP TIAmplifierState::MarshalInterface(IStream* stream, REFIID, void*, DWORD, void*, DWORD) {
  if (!stream) return E_POINTER;
  return Call([&] {
    if (m_amplifiers) UpdateImages();
    TStreamSink sink(stream);
    WriteMarshalStream(m_memory, sink);
    return S_OK;
  });
}

STDMETHODIMP TIAmplifierState::UnmarshalInterface(IStream* stream, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (!stream) return E_POINTER;
  return Call([&] {
    TStreamSource source(stream);
    TAmplifierMemoryCollection memory;
    // A short or damaged stream leaves this state as it was.
    if (!ReadMarshalStream(source, memory)) return E_FAIL;
    DropTree();
    m_memory = std::move(memory);
    return QueryInterface(iid, object);
  });
}

STDMETHODIMP TIAmplifierState::ReleaseMarshalData(IStream* stream) {
  if (!stream) return E_POINTER;
  std::uint8_t head[MarshalHeadSize];
  if (TStreamSource(stream).Read(head, sizeof head) != sizeof head) return E_FAIL;
  const std::int32_t count = LoadI32(head);
  if (count < 0) return E_FAIL;
  LARGE_INTEGER skip;
  skip.QuadPart = static_cast<LONGLONG>(TAmplifierMemory::RecordSize) * count;
  return stream->Seek(skip, STREAM_SEEK_CUR, nullptr);
}

STDMETHODIMP TIAmplifierState::DisconnectObject(DWORD) { return S_OK; }

void TIAmplifierState::AssignMemory(const TAmplifierMemoryCollection& memory) {
  DropTree();
  m_memory.AssignFrom(memory);
}

void TIAmplifierState::LoadMemory(TByteSource& source, std::int32_t global_deblock, const TestBoxRec& test_box) {
  DropTree();
  m_memory.LoadFromStream(source);
  m_memory.SetGlobalDeblock(global_deblock);
  m_memory.TestBox() = test_box;
}

TAmplifierMemoryCollection& TIAmplifierState::GetMemory() {
  UpdateImages();
  return m_memory;
}

void TIAmplifierState::GetElectrodes(std::uint8_t amplifier, bool positive,
                                     std::vector<_IElectrodeState*>& electrodes) {
  electrodes.clear();
  TCOMInterfacedObject* node = Tree().GetObjectByID(PackObjectID(KindAmplifier, 0, amplifier, 0));
  if (!node) return;
  // The amplifier's channels, then each channel's children.
  std::vector<TCOMInterfacedObject*> pending{node};
  while (!pending.empty()) {
    TCOMInterfacedObject* current = pending.back();
    pending.pop_back();
    if (auto* electrode = dynamic_cast<_IElectrodeState*>(current)) {
      if (electrode->IsPositive() == positive) electrodes.push_back(electrode);
      continue;
    }
    for (const auto& child : current->Children()) pending.push_back(child.Node);
  }
}

TICollection_Amplifiers& TIAmplifierState::Tree() {
  if (!m_amplifiers) {
    auto* amplifiers = AddChild<TICollection_Amplifiers>(false);
    try {
      amplifiers->Populate(m_memory);
    } catch (...) {
      ReleaseChildren();
      throw;
    }
    m_amplifiers = amplifiers;
  }
  return *m_amplifiers;
}

void TIAmplifierState::UpdateImages() { Tree().Update(&m_memory, &m_memory.TestBox()); }

void TIAmplifierState::DropTree() noexcept {
  ReleaseChildren();
  m_amplifiers = nullptr;
}

std::wstring TIAmplifierState::StateString() {
  UpdateImages();
  const std::string text = WriteStateString(m_memory);
  return std::wstring(text.begin(), text.end());
}

}  // namespace orvo::impl
