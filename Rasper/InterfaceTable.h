// CInterfaceTable: the process-wide table of interface pointers by name
// behind IRasperGIT, under its own lock. Names compare as VarBstrCmp does.
#pragma once

#include <objbase.h>
#include <oleauto.h>

#include <vector>

#include "com/lock.h"
#include "com/ptr.h"

class CInterfaceTable {
 public:
  ~CInterfaceTable() { Clear(); }

  // S_FALSE when the name is present already.
  HRESULT Register(BSTR name, IUnknown* object) noexcept;
  // S_FALSE when the name is absent.
  HRESULT Revoke(BSTR name) noexcept;
  // S_FALSE and null when the name is absent.
  HRESULT Get(BSTR name, IUnknown** object) noexcept;
  // Releases every entry; true when there were any.
  bool Clear() noexcept;

 private:
  struct entry {
    BSTR name;
    orvo::com::ptr<IUnknown> object;
  };
  std::vector<entry>::iterator Find(BSTR name) noexcept;

  orvo::com::critical_section m_lock;
  std::vector<entry> m_entries;
};
