// TIProperty_SimpleString: a read-only property showing a constant text
// (a channel's "Channel Name"); it has no legal values to list.
#pragma once

#include "TIProperty.h"

namespace orvo::impl {

class TIProperty_SimpleString : public TIProperty {
 public:
  TIProperty_SimpleString(TCOMInterfacedObject* parent, ObjectID id, std::wstring name, std::wstring text);

 protected:
  void GetValue(VARIANT* value) override;
  void PutValue(const VARIANT& value) override;
  bool IsReadOnly() override { return true; }
  LONG RangeID() override { return 0; }
  LONG Count() override { return 0; }
  void Item(LONG index, VARIANT* value) override;

 private:
  std::wstring m_text;
};

}  // namespace orvo::impl
