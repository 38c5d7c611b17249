#include "state_fixture.h"

#include <objbase.h>
#include <oleauto.h>
#include <gtest/gtest.h>

#include "registry/registry_key.h"
#include "core/state_string.h"
#include "testing/com_test.h"

namespace orvo::impl::testing {

void UseCapabilitiesLibrary(const std::string& path) {
  const auto key = registry::key::create(HKEY_LOCAL_MACHINE, L"Software\\Quarnell Limited\\Orvo");
  ASSERT_TRUE(key);
  ASSERT_EQ(key.write_string(L"Provider", orvo::testing::windows_path(path)), ERROR_SUCCESS);
}

TAmplifierMemoryCollection ZeroImages(std::size_t count) {
  TAmplifierMemoryCollection images;
  for (std::size_t i = 0; i < count; ++i) images.Add(0xFF, static_cast<std::uint32_t>(i), TMemory());
  return images;
}

std::wstring StateString(const TAmplifierMemoryCollection& images) {
  const std::string text = WriteStateString(images);
  return std::wstring(text.begin(), text.end());
}

com::ptr<IAmplifierState2> MakeState(const std::wstring& text) {
  com::ptr<IAmplifierState2> empty, state;
  EXPECT_EQ(com::create_instance(CLSID_AmplifierState, empty, CLSCTX_INPROC_SERVER), S_OK);
  if (!empty) return state;
  BSTR b = SysAllocString(text.c_str());
  EXPECT_EQ(empty->CreateFromString(b, state.put()), S_OK);
  SysFreeString(b);
  return state;
}

com::ptr<IAmplifierState2> MakeState(const TAmplifierMemoryCollection& images) {
  // Writing a state encodes every value anew, and an image byte pattern may
  // encode a value in another way than the one it was read from; after a
  // few rounds the text no longer changes.
  std::wstring text = StateString(images);
  com::ptr<IAmplifierState2> state;
  for (int round = 0; round < 4; ++round) {
    state = MakeState(text);
    if (!state) break;
    const std::wstring next = AsString(state.get());
    if (next == text) break;
    text = next;
  }
  return state;
}

namespace {
std::wstring Take(BSTR text) {
  std::wstring result = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  return result;
}
}  // namespace

std::wstring NameOf(IIdentifier* node) {
  BSTR name = nullptr;
  if (!node || FAILED(node->get_Name(&name))) return L"<no name>";
  return Take(name);
}

std::wstring ValueOf(IProperty* property) {
  VARIANT value;
  VariantInit(&value);
  if (!property || FAILED(property->get_Value(&value))) return L"<no value>";
  VARIANT text;
  VariantInit(&text);
  VariantChangeTypeEx(&text, &value, LOCALE_INVARIANT, 0, VT_BSTR);
  VariantClear(&value);
  return Take(V_VT(&text) == VT_BSTR ? V_BSTR(&text) : nullptr);
}

HRESULT PutValue(IProperty* property, const std::wstring& text) {
  VARIANT value;
  V_VT(&value) = VT_BSTR;
  V_BSTR(&value) = SysAllocString(text.c_str());
  const HRESULT hr = property->put_Value(value);
  VariantClear(&value);
  return hr;
}

std::wstring AsString(IAmplifierState* state) {
  BSTR text = nullptr;
  EXPECT_EQ(state->get_AsString(&text), S_OK);
  return Take(text);
}

TAmplifierMemoryCollection ImagesOf(const std::wstring& text) {
  TStateContent content;
  EXPECT_TRUE(ReadStateString<wchar_t>(text, content));
  return std::move(content.Amplifiers);
}

std::wstring ErrorInfo() {
  com::ptr<IErrorInfo> info;
  if (GetErrorInfo(0, info.put()) != S_OK || !info) return L"<none>";
  BSTR description = nullptr, source = nullptr;
  info->GetDescription(&description);
  info->GetSource(&source);
  return Take(description) + L"|" + Take(source);
}

}  // namespace orvo::impl::testing
