// What the program carries for its splash window and About box: the pages
// and pictures, the string of System Information's failure, the version
// block and the embedded type library of its automation interface.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "OrvoIntf_h.h"
#include "about_resources.h"
#include "registry/registry_key.h"
#include "testing/com_test.h"
#include "version_info.h"

namespace {

std::string g_pages;
std::string g_version_de;
std::string g_version_none;

std::string resource_bytes(LPCWSTR name) {
  HRSRC found = ::FindResourceW(nullptr, name, MAKEINTRESOURCEW(23));
  if (!found) return {};
  HGLOBAL loaded = ::LoadResource(nullptr, found);
  const auto* data = static_cast<const char*>(::LockResource(loaded));
  return data ? std::string(data, ::SizeofResource(nullptr, found)) : std::string();
}

std::string file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(PageResources, EveryPageAndPictureIsTheTreesFileAsHtmlResource) {
  struct item {
    LPCWSTR name;
    const char* file;
  };
  const item items[] = {{L"SPLASH.HTML", "SPLASH.HTML"}, {MAKEINTRESOURCEW(IDR_ABOUT_PAGE), "ABOUT.HTML"},
                        {L"README.HTML", "README.HTML"}, {L"BANNER.PNG", "BANNER.PNG"},
                        {L"CE.PNG", "CE.PNG"},           {L"LOADER.GIF", "LOADER.GIF"},
                        {L"ORVO_T.PNG", "ORVO_T.PNG"}};
  for (const item& i : items) {
    const std::string expected = file_bytes(g_pages + "/" + i.file);
    ASSERT_FALSE(expected.empty()) << i.file;
    EXPECT_EQ(resource_bytes(i.name), expected) << i.file;
  }
}

TEST(PageResources, PicturesCarryTheirFormatsSignatures) {
  for (LPCWSTR png : {L"BANNER.PNG", L"CE.PNG", L"ORVO_T.PNG"}) {
    EXPECT_EQ(resource_bytes(png).substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  }
  EXPECT_EQ(resource_bytes(L"LOADER.GIF").substr(0, 6), "GIF89a");
}

TEST(PageResources, TheFailureOfSystemInformationHasItsString) {
  wchar_t text[64] = {};
  ::LoadStringW(::GetModuleHandleW(nullptr), IDS_UNABLE_TO_LOCATE_FILE, text, 64);
  EXPECT_STREQ(text, L"Unable to locate file: ");
}

TEST(VersionBlock, TheProgramReadsItsFileVersionInItsFirstTranslation) {
  const Orvo::version_data data = Orvo::read_version_translation(nullptr);
  EXPECT_EQ(data.translation, 0x040904B0u);
  EXPECT_EQ(Orvo::query_version_string(data, L"FileVersion"), L"" ORVO_CLIENT_VERSION_TEXT);
}

TEST(VersionBlock, AModuleWithAnotherTranslationReadsItsOwn) {
  const std::wstring path = orvo::testing::windows_path(g_version_de);
  HMODULE module = ::LoadLibraryW(path.c_str());
  ASSERT_NE(module, nullptr);
  const Orvo::version_data data = Orvo::read_version_translation(module);
  EXPECT_EQ(data.translation, 0x040704E4u);
  EXPECT_EQ(Orvo::query_version_string(data, L"FileVersion"), L"4.7 deutsch");
  ::FreeLibrary(module);
}

TEST(VersionBlock, AModuleWithoutBlockHasAnEmptyVersion) {
  const std::wstring path = orvo::testing::windows_path(g_version_none);
  HMODULE module = ::LoadLibraryW(path.c_str());
  ASSERT_NE(module, nullptr);
  const Orvo::version_data data = Orvo::read_version_translation(module);
  EXPECT_TRUE(data.block.empty());
  EXPECT_EQ(Orvo::query_version_string(data, L"FileVersion"), L"");
  ::FreeLibrary(module);
}

std::wstring program_path() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

TEST(TypeLibrary, TheEmbeddedLibraryDescribesTheClientInterface) {
  ITypeLib* library = nullptr;
  ASSERT_EQ(::LoadTypeLibEx(program_path().c_str(), REGKIND_NONE, &library), S_OK);
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(library->GetLibAttr(&attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(attr->guid, LIBID_OrvoIntf));
  EXPECT_EQ(attr->wMajorVerNum, 1);
  EXPECT_EQ(attr->wMinorVerNum, 0);
  library->ReleaseTLibAttr(attr);
  BSTR name = nullptr;
  BSTR text = nullptr;
  ASSERT_EQ(library->GetDocumentation(-1, &name, &text, nullptr, nullptr), S_OK);
  EXPECT_STREQ(name, L"OrvoIntf");
  EXPECT_STREQ(text, L"OrvoIntf 1.0 Type Library");
  ::SysFreeString(name);
  ::SysFreeString(text);

  ITypeInfo* info = nullptr;
  ASSERT_EQ(library->GetTypeInfoOfGuid(IID_IOrvoClientInterface, &info), S_OK);
  TYPEATTR* type = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&type), S_OK);
  EXPECT_EQ(type->typekind, TKIND_DISPATCH);
  EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FDUAL);
  const struct {
    const wchar_t* name;
    MEMBERID id;
    INVOKEKIND kind;
  } members[] = {{L"DoClose", 0x60020000, INVOKE_FUNC},        {L"DoSplash", 0x60020001, INVOKE_FUNC},
                 {L"SystemInfo", 0x60020002, INVOKE_FUNC},     {L"Resize", 0x60020003, INVOKE_FUNC},
                 {L"Version", 0x60020004, INVOKE_PROPERTYGET}, {L"Implemented", 0x60020005, INVOKE_PROPERTYGET},
                 {L"Date", 0x60020006, INVOKE_PROPERTYGET},    {L"Time", 0x60020007, INVOKE_PROPERTYGET}};
  // IDispatch's seven members come first in the dispatch view.
  ASSERT_EQ(type->cFuncs, 7 + 8);
  for (UINT i = 0; i < 8; ++i) {
    FUNCDESC* func = nullptr;
    ASSERT_EQ(info->GetFuncDesc(7 + i, &func), S_OK);
    BSTR member = nullptr;
    UINT count = 0;
    info->GetNames(func->memid, &member, 1, &count);
    EXPECT_STREQ(member, members[i].name);
    EXPECT_EQ(func->memid, members[i].id) << members[i].name;
    EXPECT_EQ(func->invkind, members[i].kind) << members[i].name;
    ::SysFreeString(member);
    info->ReleaseFuncDesc(func);
  }
  info->ReleaseTypeAttr(type);
  info->Release();
  library->Release();
}

TEST(TypeLibrary, LoadingItLeavesNothingInTheRegistry) {
  ITypeLib* library = nullptr;
  ASSERT_EQ(::LoadTypeLibEx(program_path().c_str(), REGKIND_NONE, &library), S_OK);
  library->Release();
  EXPECT_FALSE(orvo::registry::key::exists(HKEY_CLASSES_ROOT, L"TypeLib\\{24CF86CA-0228-42FF-9415-0F5799F791E9}"));
  EXPECT_FALSE(orvo::registry::key::exists(HKEY_CLASSES_ROOT, L"Interface\\{4E1D4094-8077-4872-8D33-0BFC62D04FB7}"));
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc < 4) return 2;
  g_pages = argv[1];
  g_version_de = argv[2];
  g_version_none = argv[3];
  return RUN_ALL_TESTS();
}
