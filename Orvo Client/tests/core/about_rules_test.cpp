// The texts, paths and sizes of the splash and About windows and of
// System Information.
#include <gtest/gtest.h>

#include "core/about_rules.h"

namespace {

using Orvo::build_implemented_html;
using Orvo::implemented_heading;

TEST(ImplementedText, ListsTheLibrariesWithTheirVersionsAndLinksUnderTheHeadingOfEachWindow) {
  const std::wstring about = build_implemented_html(implemented_heading::about_box);
  const std::wstring splash = build_implemented_html(implemented_heading::client_interface);
  EXPECT_EQ(about.rfind(L"Implemented using:<br/>Boost 1.44.0 <a href=\"", 0), 0u);
  EXPECT_EQ(splash.rfind(L"Implemented using...<br/>Boost 1.44.0 <a href=\"", 0), 0u);
  EXPECT_EQ(about.substr(about.find(L"<br/>Boost")), splash.substr(splash.find(L"<br/>Boost")));
  EXPECT_NE(about.find(L"</a><br/>ZLib 1.2.3 <a href=\""), std::wstring::npos);
  EXPECT_NE(about.find(L"</a><br/>Comet 1.32.20060626 <a href=\""), std::wstring::npos);
  // The last library line ends in "<br>", then a blank line and the compiler.
  EXPECT_NE(about.find(L"</a><br><br/>" + Orvo::compiler_text() + L"<br/>"), std::wstring::npos);
  EXPECT_EQ(about.size() - about.rfind(Orvo::compiler_text()), Orvo::compiler_text().size() + 5);
}

TEST(ImplementedText, NamesTheCompilerByItsOwnNameAndFullVersion) {
  const std::wstring text = Orvo::compiler_text();
#if defined(__clang__)
  EXPECT_EQ(text.rfind(L"Clang ", 0), 0u);
#else
  EXPECT_EQ(text.rfind(L"GCC ", 0), 0u);
#endif
  EXPECT_GT(text.size(), 6u);
  EXPECT_EQ(text.find(L"160030319"), std::wstring::npos);
}

TEST(VersionBlock, TranslationPutsTheLanguageHighAndTheCodePageLow) {
  EXPECT_EQ(Orvo::version_translation(0x0409, 0x04B0), 0x040904B0u);
  EXPECT_EQ(Orvo::version_translation(0x0407, 0x04E4), 0x040704E4u);
}

TEST(VersionBlock, StringQueryWritesTheTranslationAsEightLowerCaseHexDigits) {
  EXPECT_EQ(Orvo::version_string_query(0x040904B0u, L"FileVersion"), L"\\StringFileInfo\\040904b0\\FileVersion");
  EXPECT_EQ(Orvo::version_string_query(0x00000ABCu, L"FileVersion"), L"\\StringFileInfo\\00000abc\\FileVersion");
}

TEST(ErrorCodes, PositiveCodesBecomeWin32ResultsZeroAFailureAndOthersStay) {
  EXPECT_EQ(static_cast<std::uint32_t>(Orvo::hresult_from_error_code(2)), 0x80070002u);
  EXPECT_EQ(static_cast<std::uint32_t>(Orvo::hresult_from_error_code(0x12345)), 0x80072345u);
  EXPECT_EQ(static_cast<std::uint32_t>(Orvo::hresult_from_error_code(0)), 0x80004005u);
  EXPECT_EQ(static_cast<std::uint32_t>(Orvo::hresult_from_error_code(static_cast<std::int32_t>(0x8007000Eu))),
            0x8007000Eu);
}

TEST(SystemInformationPath, ARegistryPathIsUsedAsItIsAndMustExist) {
  Orvo::msinfo_registry registry;
  registry.tools_key_opened = true;
  registry.path = L"C:\\Tools\\msinfo.exe";
  registry.tools_location = L"D:\\Elsewhere";
  const Orvo::msinfo_choice choice = Orvo::choose_msinfo_path(registry);
  EXPECT_EQ(choice.path, L"C:\\Tools\\msinfo.exe");
  EXPECT_TRUE(choice.must_exist);
}

TEST(SystemInformationPath, WithoutPathTheToolsLocationIsJoinedWithTheFileName) {
  Orvo::msinfo_registry registry;
  registry.tools_key_opened = true;
  registry.tools_location = L"C:\\Shared";
  const Orvo::msinfo_choice choice = Orvo::choose_msinfo_path(registry);
  EXPECT_EQ(choice.path, L"C:\\Shared\\MSInfo32.exe");
  EXPECT_TRUE(choice.must_exist);
}

TEST(SystemInformationPath, WithoutRegistryKnowledgeThePlainFileNameIsLeftToTheShell) {
  Orvo::msinfo_registry closed;
  closed.path = L"C:\\ignored.exe";  // read from a key that did not open: never used
  for (const Orvo::msinfo_registry& registry : {Orvo::msinfo_registry{true, {}, {}}, closed}) {
    const Orvo::msinfo_choice choice = Orvo::choose_msinfo_path(registry);
    EXPECT_EQ(choice.path, L"MSInfo32.exe");
    EXPECT_FALSE(choice.must_exist);
  }
}

TEST(SystemInformationPath, PathsOf260CharactersOrMoreNameNoFile) {
  EXPECT_FALSE(Orvo::too_long_for_a_file(std::wstring(259, L'a')));
  EXPECT_TRUE(Orvo::too_long_for_a_file(std::wstring(260, L'a')));
}

TEST(Centring, TheBoxLiesInTheMiddleOfTheArea) {
  const Orvo::point p = Orvo::centred_in(420, 466, 0, 0, 1280, 1000);
  EXPECT_EQ(p.x, 430);
  EXPECT_EQ(p.y, 267);
  const Orvo::point q = Orvo::centred_in(100, 50, 200, 100, 400, 300);
  EXPECT_EQ(q.x, 250);
  EXPECT_EQ(q.y, 175);
}

}  // namespace
