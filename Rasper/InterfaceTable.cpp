#include "InterfaceTable.h"

#include <new>

using orvo::com::scoped_lock;

std::vector<CInterfaceTable::entry>::iterator CInterfaceTable::Find(BSTR name) noexcept {
  for (auto i = m_entries.begin(); i != m_entries.end(); ++i)
    if (VarBstrCmp(i->name, name, LOCALE_USER_DEFAULT, 0) == static_cast<HRESULT>(VARCMP_EQ)) return i;
  return m_entries.end();
}

HRESULT CInterfaceTable::Register(BSTR name, IUnknown* object) noexcept {
  scoped_lock hold(m_lock);
  if (Find(name) != m_entries.end()) return S_FALSE;
  BSTR copy = SysAllocStringLen(name, SysStringLen(name));
  if (!copy) return E_OUTOFMEMORY;
  orvo::com::ptr<IUnknown> identity;
  object->QueryInterface(IID_IUnknown, identity.put_void());
  if (!identity) identity = orvo::com::ptr<IUnknown>(object);
  try {
    m_entries.push_back({copy, std::move(identity)});
  } catch (const std::bad_alloc&) {
    SysFreeString(copy);
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

HRESULT CInterfaceTable::Revoke(BSTR name) noexcept {
  entry gone{};
  {
    scoped_lock hold(m_lock);
    auto i = Find(name);
    if (i == m_entries.end()) return S_FALSE;
    gone = std::move(*i);
    m_entries.erase(i);
  }
  // Released outside the lock: the object may call back.
  SysFreeString(gone.name);
  return S_OK;
}

HRESULT CInterfaceTable::Get(BSTR name, IUnknown** object) noexcept {
  *object = nullptr;
  scoped_lock hold(m_lock);
  auto i = Find(name);
  if (i == m_entries.end()) return S_FALSE;
  return i->object.copy_to(object);
}

bool CInterfaceTable::Clear() noexcept {
  std::vector<entry> gone;
  {
    scoped_lock hold(m_lock);
    gone.swap(m_entries);
  }
  for (entry& e : gone) SysFreeString(e.name);
  return !gone.empty();
}
