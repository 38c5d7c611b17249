// The registry key type under Wine, on a scratch key of the current user.
#include <gtest/gtest.h>

#include <algorithm>

#include "registry/registry_key.h"

using orvo::registry::key;

namespace {

const wchar_t scratch[] = L"Software\\Quarnell Limited\\Orvo Scratch\\registry_key";

class RegistryKey : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(key::delete_tree(HKEY_CURRENT_USER, scratch), ERROR_SUCCESS);
    k = key::create(HKEY_CURRENT_USER, scratch);
    ASSERT_TRUE(k);
  }
  void TearDown() override {
    k.close();
    key::delete_tree(HKEY_CURRENT_USER, scratch);
  }
  key k;
};

TEST_F(RegistryKey, TypedReadsRefuseAnotherTypeOrSize) {
  const DWORD four = 4;
  const std::uint64_t eight = 8;
  ASSERT_EQ(k.write_binary(L"bin4", &four, sizeof four), ERROR_SUCCESS);
  ASSERT_EQ(k.write_value(L"dword8", REG_DWORD, &eight, sizeof eight), ERROR_SUCCESS);
  ASSERT_EQ(k.write_dword(L"dword", 7), ERROR_SUCCESS);
  ASSERT_EQ(k.write_binary(L"big", std::vector<std::uint8_t>(17, 1)), ERROR_SUCCESS);

  EXPECT_EQ(k.read_dword(L"dword"), 7u);
  EXPECT_EQ(k.read_dword(L"bin4"), std::nullopt);
  EXPECT_EQ(k.read_dword(L"dword8"), std::nullopt);
  EXPECT_EQ(k.read_string(L"dword"), std::nullopt);
  EXPECT_EQ(k.read_binary(L"dword"), std::nullopt);
  EXPECT_EQ(k.read_binary(L"big", 16), std::nullopt);
  EXPECT_EQ(k.read_binary(L"big", 17)->size(), 17u);
  EXPECT_EQ(k.read_dword(L"missing"), std::nullopt);
  EXPECT_EQ(k.value_type(L"dword8"), DWORD{REG_DWORD});
}

TEST_F(RegistryKey, AStringStoredWithoutItsTerminatorIsReadWhole) {
  const wchar_t text[] = {L'a', L'b', L'c'};
  ASSERT_EQ(k.write_value(L"bare", REG_SZ, text, sizeof text), ERROR_SUCCESS);
  EXPECT_EQ(k.read_string(L"bare"), L"abc");
  ASSERT_EQ(k.write_string(L"terminated", L"abc"), ERROR_SUCCESS);
  EXPECT_EQ(k.read_string(L"terminated"), L"abc");
}

TEST_F(RegistryKey, DeletingAMissingTreeSucceedsAndAnEmptyPathIsRefused) {
  ASSERT_TRUE(k.create_subkey(L"child\\grandchild"));
  ASSERT_EQ(k.delete_subtree(L"child"), ERROR_SUCCESS);
  EXPECT_FALSE(k.open_subkey(L"child"));
  EXPECT_EQ(k.delete_subtree(L"child"), ERROR_SUCCESS);
  EXPECT_EQ(k.delete_subtree(L""), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(key::exists(HKEY_CURRENT_USER, scratch));
  EXPECT_EQ(key{}.open_subkey(L"child").error(), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryKey, EnumerationListsSubkeysAndValuesWithTheirBytes) {
  ASSERT_TRUE(k.create_subkey(L"one"));
  ASSERT_TRUE(k.create_subkey(std::wstring(200, L'n')));
  ASSERT_EQ(k.write_binary(L"bytes", std::vector<std::uint8_t>{1, 2, 3}), ERROR_SUCCESS);
  ASSERT_EQ(k.write_value(L"empty", REG_BINARY, nullptr, 0), ERROR_SUCCESS);

  auto names = k.subkey_names();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{std::wstring(200, L'n'), L"one"}));
  auto values = k.values();
  ASSERT_EQ(values.size(), 2u);
  std::sort(values.begin(), values.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  EXPECT_EQ(values[0].name, L"bytes");
  EXPECT_EQ(values[0].type, DWORD{REG_BINARY});
  EXPECT_EQ(values[0].data, (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_EQ(values[1].name, L"empty");
  EXPECT_TRUE(values[1].data.empty());
}

}  // namespace
