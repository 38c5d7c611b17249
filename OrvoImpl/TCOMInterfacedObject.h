// TCOMInterfacedObject: what every node of the state tree is besides its
// automation interface. It holds the node's object ID, its name and its
// holder (weakly: a plain pointer the holder clears when it lets the node
// go), the node's children, and answers the internal interfaces that join
// the tree: finding nodes by ID, writing values into the images and the
// group link. Subclasses add what they hold and override the steps.
//
// The children are held by counted references. Items are the children a
// collection shows (Count, Item, _NewEnum); a channel's electrodes are
// children without being items.
#pragma once

#include <new>
#include <string>
#include <utility>
#include <vector>

#include "ECOMException.h"
#include "InternalIntf.h"
#include "TIEnumVARIANT.h"
#include "com/ptr.h"
#include "core/object_id.h"

namespace orvo::impl {

class TCOMInterfacedObject : public _IGetObject, public _IUpdateAmpMemory, public _IGroupLink {
 public:
  TCOMInterfacedObject() = default;
  virtual ~TCOMInterfacedObject();
  TCOMInterfacedObject(const TCOMInterfacedObject&) = delete;
  TCOMInterfacedObject& operator=(const TCOMInterfacedObject&) = delete;

  // For orvo::com::object: the internal interfaces this node answers.
  void* find_interface(REFIID iid) noexcept;

  ObjectID ID() const noexcept { return m_id; }
  const std::wstring& Name() const noexcept { return m_name; }
  TCOMInterfacedObject* Parent() const noexcept { return m_parent; }
  // The top of the tree this node is in (itself when it has no holder).
  TCOMInterfacedObject* Root() noexcept;
  // The node's automation interface (no reference added).
  virtual IDispatch* NodeDispatch() noexcept = 0;
  // A channel's group number; -1 for every other node.
  virtual LONG GroupNumber() { return -1; }

  // _IGetObject
  TCOMInterfacedObject* GetObjectByID(ObjectID id) override;
  TCOMInterfacedObject* GetOwnerByID(ObjectID id) override;
  // _IUpdateAmpMemory: passes the call to every child.
  void Update(TAmplifierMemory* memory, TestBoxRec* test_box) override;
  // _IGroupLink: passes the changed property to every child.
  void Apply(TCOMInterfacedObject* changed) override;

  struct TChild {
    com::ptr<IDispatch> Dispatch;
    TCOMInterfacedObject* Node;
    bool IsItem;
  };
  const std::vector<TChild>& Children() const noexcept { return m_children; }
  // An enumerator over the items. The list it walks is made on first use
  // after the children last changed, then shared by every enumerator until
  // they change again (a list once made never changes, so a walk in
  // progress keeps its items). The node keeps the last enumerator it made
  // and gives it again, rewound, once nobody else holds it.
  HRESULT NewItemEnumerator(com::ptr<IEnumVARIANT>& out);

 protected:
  // Sets what the node is; the first step of every node's constructor.
  void Init(TCOMInterfacedObject* parent, ObjectID id, std::wstring name);

  // Makes a child node of class T (an orvo::com::object hierarchy rooted at
  // T::base_type), holds it and gives it.
  template <class T, class... Args>
  T* AddChild(bool is_item, Args&&... args) {
    com::ptr<IDispatch> dispatch;
    const HRESULT hr =
        T::template create_as<T>(nullptr, IID_IDispatch, dispatch.put_void(), this, std::forward<Args>(args)...);
    if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
    if (FAILED(hr)) RaiseError(L"Internal error.", L"Populate", hr);
    T* node = static_cast<T*>(static_cast<typename T::dual_type*>(dispatch.get()));
    m_children.push_back(TChild{std::move(dispatch), node, is_item});
    ForgetItemSnapshot();
    return node;
  }
  // Lets every child go (their holder becomes none).
  void ReleaseChildren() noexcept;

 private:
  void Orphan() noexcept { m_parent = nullptr; }
  void ForgetItemSnapshot() noexcept;

  TCOMInterfacedObject* m_parent = nullptr;
  ObjectID m_id = 0;
  std::wstring m_name;
  std::vector<TChild> m_children;
  // Guards m_items and m_spare_enumerator, which enumerators on any thread may ask for at once.
  SRWLOCK m_items_lock = SRWLOCK_INIT;
  std::shared_ptr<const TIEnumVARIANT::snapshot> m_items;
  com::ptr<IEnumVARIANT> m_spare_enumerator;  // over m_items
};

}  // namespace orvo::impl
