// The identifiers of the serial components' interfaces and classes, which
// every binary on either side of a call must agree on. (Their method slots
// are checked where the build compiles serial_interface_slots.c.)
#include <gtest/gtest.h>

#include <string>

#include "CRCGenerator_h.h"
#include "CommServer_h.h"
#include "PacketCodec_h.h"

namespace {

std::wstring text(const GUID& id) {
  wchar_t s[40] = {};
  EXPECT_GT(StringFromGUID2(id, s, 40), 0);
  return s;
}

TEST(SerialInterfaces, InterfacesAndClassesCarryTheirPublishedIdentifiers) {
  const struct {
    const GUID& id;
    const wchar_t* expected;
  } ids[] = {
      {IID_ICommServerConstructor, L"{23BBD4A8-1350-11D3-9630-0020182D7984}"},
      {IID_IRasperGIT, L"{944E094B-DD74-4765-B354-0FE8540555EC}"},
      {IID_ICommServer, L"{23BBD4AA-1350-11D3-9630-0020182D7984}"},
      {IID__ICommServerEventMethods, L"{89213500-6A27-11D3-972D-444553540000}"},
      {DIID__DCommServerEvents, L"{DBA0E5A0-6A27-11D3-972D-444553540000}"},
      {IID_IDataProcessor, L"{5F67C5A0-60C0-11D3-972D-444553540000}"},
      {IID_ICommClient, L"{6B8DBFC0-0DE5-11D3-9630-0020182D7984}"},
      {CLSID_CommServerConstructor, L"{23BBD4A9-1350-11D3-9630-0020182D7984}"},
      {IID_IPacketEncoder, L"{96024A63-11BD-11D3-9630-0020182D7984}"},
      {IID_IPacketDecoder, L"{8A61647A-0E99-11D3-9630-0020182D7984}"},
      {IID_IPacketDecoderCallback, L"{A760F9A0-0EBB-11D3-9630-0020182D7984}"},
      {IID_IEnumBYTE, L"{48DBC8C0-11C1-11D3-9630-0020182D7984}"},
      {CLSID_StdEncoder, L"{96024A64-11BD-11D3-9630-0020182D7984}"},
      {CLSID_StdDecoder, L"{8A61647B-0E99-11D3-9630-0020182D7984}"},
      {IID_ICRCGenerator, L"{A1889571-0ACE-11D3-972D-444553540000}"},
      {CLSID_CRCGenerator16, L"{A1889572-0ACE-11D3-972D-444553540000}"},
      {CLSID_CRCGenerator32, L"{66E505E5-0C3D-11D3-9630-0020182D7984}"},
  };
  for (const auto& i : ids) EXPECT_EQ(text(i.id), i.expected);
}

}  // namespace
