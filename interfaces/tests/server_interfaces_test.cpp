// The amplifier server's type library as the client's event sink reads it:
// the library's identity and the dispatch ids of the six events.
#include <objbase.h>
#include <oleauto.h>
#include <gtest/gtest.h>

#include <string>

#include "OrvoServerIntf.h"
#include "com/ptr.h"
#include "testing/com_test.h"

namespace {

std::string g_tlb;

TEST(AmplifierServerTypeLibrary, NamesTheSixEventsByTheirDispatchIds) {
  const std::wstring path = orvo::testing::windows_path(g_tlb);
  orvo::com::ptr<ITypeLib> library;
  ASSERT_EQ(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put()), S_OK);
  TLIBATTR* attributes = nullptr;
  ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->guid, LIBID_OrvoServer);
  EXPECT_EQ(attributes->wMajorVerNum, 1);
  EXPECT_EQ(attributes->wMinorVerNum, 0);
  library->ReleaseTLibAttr(attributes);

  orvo::com::ptr<ITypeInfo> events;
  ASSERT_EQ(library->GetTypeInfoOfGuid(DIID_IOrvoAmplifierEvents, events.put()), S_OK);
  const wchar_t* names[] = {L"OnInitialize", L"OnChange", L"OnImpedance", L"OnImpedanceEnd", L"OnError", L"OnReset"};
  const UINT arguments[] = {2, 1, 2, 0, 2, 0};
  for (DISPID id = 1; id <= 6; ++id) {
    LPOLESTR name = const_cast<LPOLESTR>(names[id - 1]);
    DISPID found = 0;
    EXPECT_EQ(events->GetIDsOfNames(&name, 1, &found), S_OK);
    EXPECT_EQ(found, id) << names[id - 1];
    FUNCDESC* function = nullptr;
    ASSERT_EQ(events->GetFuncDesc(id - 1, &function), S_OK);
    EXPECT_EQ(function->memid, id);
    EXPECT_EQ(static_cast<UINT>(function->cParams), arguments[id - 1]) << names[id - 1];
    events->ReleaseFuncDesc(function);
  }
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) return 2;
  g_tlb = argv[1];
  return RUN_ALL_TESTS();
}
