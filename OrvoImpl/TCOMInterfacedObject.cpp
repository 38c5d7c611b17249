#include "TCOMInterfacedObject.h"

namespace orvo::impl {

void TCOMInterfacedObject::Init(TCOMInterfacedObject* parent, ObjectID id, std::wstring name) {
  m_parent = parent;
  m_id = id;
  m_name = std::move(name);
}

TCOMInterfacedObject::~TCOMInterfacedObject() { ReleaseChildren(); }

void* TCOMInterfacedObject::find_interface(REFIID iid) noexcept {
  if (iid == __uuidof(_IGetObject)) return static_cast<_IGetObject*>(this);
  if (iid == __uuidof(_IUpdateAmpMemory)) return static_cast<_IUpdateAmpMemory*>(this);
  if (iid == __uuidof(_IGroupLink)) return static_cast<_IGroupLink*>(this);
  return nullptr;
}

TCOMInterfacedObject* TCOMInterfacedObject::Root() noexcept {
  TCOMInterfacedObject* node = this;
  while (node->m_parent) node = node->m_parent;
  return node;
}

TCOMInterfacedObject* TCOMInterfacedObject::GetObjectByID(ObjectID id) {
  if (id == m_id) return this;
  for (const TChild& child : m_children)
    if (TCOMInterfacedObject* found = child.Node->GetObjectByID(id)) return found;
  return nullptr;
}

TCOMInterfacedObject* TCOMInterfacedObject::GetOwnerByID(ObjectID id) {
  for (const TChild& child : m_children)
    if (child.Node->ID() == id) return this;
  for (const TChild& child : m_children)
    if (TCOMInterfacedObject* owner = child.Node->GetOwnerByID(id)) return owner;
  return nullptr;
}

void TCOMInterfacedObject::Update(TAmplifierMemory* memory, TestBoxRec* test_box) {
  for (const TChild& child : m_children) child.Node->Update(memory, test_box);
}

void TCOMInterfacedObject::Apply(TCOMInterfacedObject* changed) {
  for (const TChild& child : m_children) child.Node->Apply(changed);
}

void TCOMInterfacedObject::ReleaseChildren() noexcept {
  // A child a client still holds lives on without a holder.
  for (const TChild& child : m_children) child.Node->Orphan();
  m_children.clear();
  ForgetItemSnapshot();
}

HRESULT TCOMInterfacedObject::NewItemEnumerator(com::ptr<IEnumVARIANT>& out) {
  AcquireSRWLockExclusive(&m_items_lock);
  HRESULT hr = S_OK;
  try {
    if (!m_items) {
      auto items = std::make_shared<TIEnumVARIANT::snapshot>();
      for (const TChild& child : m_children) {
        if (!child.IsItem) continue;
        VARIANT item;
        item.vt = VT_DISPATCH;
        item.pdispVal = child.Dispatch.get();
        items->items.push_back(item);
        item.pdispVal->AddRef();
      }
      m_items = std::move(items);
    }
    hr = TIEnumVARIANT::reuse_or_make(m_items, m_spare_enumerator, out);
  } catch (...) {
    ReleaseSRWLockExclusive(&m_items_lock);
    throw;
  }
  ReleaseSRWLockExclusive(&m_items_lock);
  return hr;
}

void TCOMInterfacedObject::ForgetItemSnapshot() noexcept {
  std::shared_ptr<const TIEnumVARIANT::snapshot> dropped;
  com::ptr<IEnumVARIANT> spare;
  AcquireSRWLockExclusive(&m_items_lock);
  dropped.swap(m_items);
  spare.swap(m_spare_enumerator);
  ReleaseSRWLockExclusive(&m_items_lock);
}

}  // namespace orvo::impl
