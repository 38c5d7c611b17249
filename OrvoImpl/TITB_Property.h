// TITB_Property: a setting of the test box, kept in the state's test-box
// record. A list setting (output channel, attenuator, signal selects) shows
// the text at its position in a fixed list and takes only texts of that
// list; an input select shows and takes a set of channels 1 to 8 ("1,3");
// the group is always 0, read-only, and ignores puts.
//
// All amplifiers show the one test-box record, so Update writes a setting's
// byte only after that setting was changed: an unchanged test box of one
// amplifier never overwrites what another amplifier's test box set.
#pragma once

#include "TIProperty.h"
#include "core/test_box.h"

namespace orvo::impl {

class TITB_Property : public TIProperty {
 public:
  enum TKind { List, InputSelect, Group };

  // A setting over TestBoxRec byte `byte` (unused by the group); `list` for
  // list settings only.
  TITB_Property(TCOMInterfacedObject* parent, ObjectID id, std::wstring name, TKind kind, const TTestBoxList* list,
                std::size_t byte, const TestBoxRec& test_box);

  void Update(TAmplifierMemory* memory, TestBoxRec* test_box) override;
  void Apply(TCOMInterfacedObject*) override {}

 protected:
  void GetValue(VARIANT* value) override;
  void PutValue(const VARIANT& value) override;
  bool IsReadOnly() override { return m_kind == Group; }
  LONG RangeID() override { return 0; }
  LONG Count() override;
  void Item(LONG index, VARIANT* value) override;

 private:
  TKind m_kind;
  const TTestBoxList* m_list;
  std::size_t m_byte;
  // The list position, or the channel set of an input select.
  std::size_t m_value = 0;
  bool m_changed = false;
};

}  // namespace orvo::impl
