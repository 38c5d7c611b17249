// Arbitrary texts (16-bit code units) into OrvoImpl's own text parsing: the
// channel sets of the test box's input selects and the trimmed, case-blind
// name match of collections and lists.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "require.h"
#include "core/test_box.h"
#include "core/tree_text.h"

using namespace orvo::impl;

using orvo::impl::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t other_mask = data[0];
  std::wstring text;
  for (std::size_t i = 1; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);

  // A channel set reads back from its own text, and the items of two lists
  // joined by a comma add up.
  const std::uint8_t mask = ParseInputSelect(text);
  Require(ParseInputSelect(FormatInputSelect(mask)) == mask);
  Require(ParseInputSelect(text + L"," + FormatInputSelect(other_mask)) == (mask | other_mask));

  // The name match ignores blanks around a name and is symmetric.
  Require(SameName(text, text));
  Require(SameName(L" \t" + std::wstring(TrimText(text)) + L"\r\n", text));
  const std::wstring half = text.substr(0, text.size() / 2);
  Require(SameName(text, half) == SameName(half, text));

  // A list finds only an entry whose name matches.
  for (const TTestBoxList* list : {&OutputChannelList(), &AttenuatorList(), &SignalSelectList()}) {
    const int found = list->Find(text);
    Require(found >= -1 && found < static_cast<int>(list->Count));
    if (found >= 0) Require(SameName(list->Names[found], text));
  }
  return 0;
}
