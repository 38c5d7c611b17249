// The internal interfaces of the state tree. They join the nodes of one
// tree and let an in-process caller reach the register images; they carry
// C++ types, are not in the type library and never cross an apartment.
// Their methods use the C++ calling convention and may throw ECOMException,
// which the COM method at the top of the call turns into an HRESULT.
#pragma once

#include <objbase.h>
#include <oaidl.h>

#include <vector>

#include "core/amplifier_memory_collection.h"
#include "core/byte_stream.h"
#include "core/object_id.h"

namespace orvo::impl {
class TCOMInterfacedObject;
}

// Writes the node's value into the image of its amplifier and the test-box
// record; a collection passes the call to all its children.
struct _IUpdateAmpMemory : IUnknown {
  virtual void Update(orvo::impl::TAmplifierMemory* memory, orvo::impl::TestBoxRec* test_box) = 0;
};

// The Amplifiers collection: amplifier i writes into image i.
struct _IUpdateAmpMemoryCollection : IUnknown {
  virtual void Update(orvo::impl::TAmplifierMemoryCollection* memory, orvo::impl::TestBoxRec* test_box) = 0;
};

// Finding nodes: the node itself when the ID matches, else the first match
// depth-first among its children; the owner is the node that directly holds
// the child with that ID. Both give nullptr when nothing matches; the tree
// keeps the nodes it gives (no reference is added).
struct _IGetObject : IUnknown {
  virtual orvo::impl::TCOMInterfacedObject* GetObjectByID(orvo::impl::ObjectID id) = 0;
  virtual orvo::impl::TCOMInterfacedObject* GetOwnerByID(orvo::impl::ObjectID id) = 0;
};

// A collection's item by key: a key that converts to an integer is an
// index, else a name compared trimmed and without regard to case. True and
// the item in *found, or false and nullptr.
struct _IFindItem : IUnknown {
  virtual bool FindItem(const VARIANT& key, IDispatch** found) = 0;
};

// The group link: passes a changed property (a node answering _IRawValue)
// down the tree to the properties that follow it.
struct _IGroupLink : IUnknown {
  virtual void Apply(orvo::impl::TCOMInterfacedObject* changed) = 0;
};

struct _IRawValue : IUnknown {
  virtual LONG GetRawValue() = 0;
};

struct _IElectrodeState : IUnknown {
  virtual bool IsPositive() = 0;
  virtual bool IsNegative() = 0;
  // The channel's input-mode code when the electrode was made.
  virtual LONG GetInputMode() = 0;
  virtual bool GetInUse() = 0;
  // A plain store, without the reference-mode rule.
  virtual void SetInUse(bool in_use) = 0;
};

// All positive or all negative electrodes of one amplifier (by index).
struct _IElectrodeList : IUnknown {
  virtual void GetElectrodes(std::uint8_t amplifier, bool positive, std::vector<_IElectrodeState*>& electrodes) = 0;
};

// The state's images, for an in-process caller.
struct _IStateMemory : IUnknown {
  // TAmplifierMemoryCollection::AssignFrom.
  virtual void AssignMemory(const orvo::impl::TAmplifierMemoryCollection& memory) = 0;
  // Loads 87-byte amplifier records (no count limit), then takes the global
  // deblock flag and the test-box record.
  virtual void LoadMemory(orvo::impl::TByteSource& source, std::int32_t global_deblock,
                          const orvo::impl::TestBoxRec& test_box) = 0;
  // Brings the images up to date from the tree and gives them.
  virtual orvo::impl::TAmplifierMemoryCollection& GetMemory() = 0;
  virtual void SetModified() = 0;
};

__CRT_UUID_DECL(_IUpdateAmpMemory, 0xF7037F4A, 0xAFAD, 0x46EC, 0xAB, 0xA1, 0xDF, 0x1E, 0x4C, 0x8F, 0x9E, 0xCE)
__CRT_UUID_DECL(_IUpdateAmpMemoryCollection, 0x4A1FF6AE, 0x3FF6, 0x4245, 0x81, 0xE2, 0x09, 0x29, 0xB8, 0xE3, 0x1B, 0xFC)
__CRT_UUID_DECL(_IGetObject, 0x95A0B347, 0xC574, 0x4524, 0x98, 0xC0, 0x95, 0xF1, 0x19, 0x13, 0xAC, 0x40)
__CRT_UUID_DECL(_IFindItem, 0xE80DA5E6, 0x1FFA, 0x411B, 0xA6, 0xB8, 0x35, 0x7A, 0xA4, 0xB1, 0x5D, 0xAA)
__CRT_UUID_DECL(_IGroupLink, 0x6D79764F, 0xEFC9, 0x4907, 0xB7, 0x70, 0x23, 0x3A, 0x78, 0x4C, 0xB2, 0x31)
__CRT_UUID_DECL(_IRawValue, 0x138DE585, 0x9B05, 0x4CAC, 0xA8, 0xEF, 0x5B, 0x66, 0x20, 0xB3, 0x1C, 0xE9)
__CRT_UUID_DECL(_IElectrodeState, 0x679E78AB, 0xEECC, 0x4394, 0x94, 0xF2, 0x64, 0x1E, 0x07, 0x68, 0x94, 0x6A)
__CRT_UUID_DECL(_IElectrodeList, 0x4F1D538F, 0x21D2, 0x48FB, 0xBF, 0x15, 0x26, 0x67, 0xF8, 0x45, 0xC7, 0x8B)
__CRT_UUID_DECL(_IStateMemory, 0x56CD845A, 0xCC0B, 0x4AE9, 0x84, 0xBF, 0x41, 0xB5, 0x5E, 0x99, 0x80, 0x8E)
