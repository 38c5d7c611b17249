// Copy as Text: the whole amplifier state as aligned plain text.
//
//   state_text_table table(state);   // measures every column
//   std::wstring text = table.text();
//
// Per amplifier: its name, a header row and a values row of the
// amplifier's functions, then a header row and one row per channel. Columns
// are the union of all names, ordered by UTF-16 code unit, each as wide as
// its longest name or value plus two; cells are right-aligned and a name a
// row lacks is all spaces. Lines end in CR LF.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "state_walk.h"

class state_text_table {
 public:
  using columns = std::map<std::wstring, std::uint32_t>;

  explicit state_text_table(IAmplifierState* state);

  std::wstring text() const;
  const columns& amplifier_columns() const noexcept { return m_amplifier_columns; }
  const columns& channel_columns() const noexcept { return m_channel_columns; }

 private:
  comet::com_ptr<IAmplifierState> m_state;
  columns m_amplifier_columns;
  columns m_channel_columns;
};
