// The capability interfaces of OrvoCapabilities and the function types of
// its exports, shared by OrvoCapabilities (which implements them) and
// OrvoImpl (which loads the library at run time and calls them).
//
// The interfaces derive from IUnknown, carry no type information and are not
// registered: objects are handed out by the export CreateInterface and by
// the provider, never by CoCreateInstance.
//
// Calling convention, which both sides must keep:
//  - every method and export is __stdcall;
//  - an integer or bool32 result is the return value; a bool32 is -1 for
//    true and 0 for false;
//  - a VARIANT result is delivered into a slot the caller supplies as the
//    last argument: the slot must hold a valid VARIANT (VT_EMPTY after
//    VariantInit, or a value the caller owns); the callee clears it with
//    VariantClear and stores the result, which the caller then owns. The
//    result is either a text (VT_BSTR) or a 32-bit integer (VT_I4);
//  - an interface result is delivered into a slot the caller supplies as the
//    last argument: the callee releases what the slot held and stores an
//    AddRef'ed pointer (nullptr when there is none), which the caller then
//    releases;
//  - ICapabilities::ToValue takes its VARIANT by value: the callee reads it
//    and neither clears nor keeps it; the caller still owns what it holds;
//  - a null result slot is ignored; a null record pointer makes WriteValue do
//    nothing and ReadValue give 0;
//  - amplifier and descriptor IDs are 16-bit (WORD); `record` points at the
//    first byte of a 9-byte channel record or the 10-byte amplifier record
//    of a register image;
//  - no C++ exception crosses any method or export.
#pragma once

#include <objbase.h>
#include <oaidl.h>

using bool32 = LONG;
constexpr bool32 bool32_true = -1;
constexpr bool32 bool32_false = 0;

// The legal values of one setting, by index 0 to count - 1.
struct ICapsEnumerator : IUnknown {
  virtual LONG __stdcall GetCount() = 0;
  // The value code at index; -1 outside 0..count-1.
  virtual LONG __stdcall GetValue(LONG index) = 0;
  // The text at index; the integer -1 outside 0..count-1.
  virtual void __stdcall GetName(LONG index, VARIANT* result) = 0;
};

// One setting.
struct ICapabilities : IUnknown {
  // The descriptor ID behind the setting, or the fixed code of a range.
  virtual LONG __stdcall GetRangeID() = 0;
  // The setting's caption (text).
  virtual void __stdcall GetName(VARIANT* result) = 0;
  // The legal code the encoder would use; touches no record.
  virtual LONG __stdcall NearestValue(LONG value) = 0;
  // A text or number as a value code; -1 for a text no list entry names.
  virtual LONG __stdcall ToValue(VARIANT value) = 0;
  // The text of a value code (an integer for ranges; the integer -1 when a
  // list has no entry with that code).
  virtual void __stdcall FromValue(LONG value, VARIANT* result) = 0;
  virtual void __stdcall WriteValue(LONG value, BYTE* record) = 0;
  virtual LONG __stdcall ReadValue(BYTE* record) = 0;
  virtual void __stdcall GetEnumerator(ICapsEnumerator** result) = 0;
};

// The settings of a channel; each getter gives the same object every time.
struct IChannelCapabilities : IUnknown {
  virtual void __stdcall GetInputMode(ICapabilities** result) = 0;
  virtual void __stdcall GetGain(ICapabilities** result) = 0;
  virtual void __stdcall GetLowCut(ICapabilities** result) = 0;
  virtual void __stdcall GetHighCut(ICapabilities** result) = 0;
  virtual void __stdcall GetNotch(ICapabilities** result) = 0;
  virtual void __stdcall GetInputConnections(ICapabilities** result) = 0;
  virtual void __stdcall GetGroup(ICapabilities** result) = 0;
};

// One amplifier model.
struct IAmplifierCapabilities : IUnknown {
  virtual WORD __stdcall GetAmplifierID() = 0;
  // The index is not used: one channel object serves every channel.
  virtual void __stdcall GetChannel(LONG index, IChannelCapabilities** result) = 0;
  virtual void __stdcall GetDeblockState(ICapabilities** result) = 0;
  virtual void __stdcall GetDeblockType(ICapabilities** result) = 0;
  virtual void __stdcall GetDeblockDuration(ICapabilities** result) = 0;
  virtual void __stdcall GetImpedanceState(ICapabilities** result) = 0;
  virtual void __stdcall GetLowerThreshold(ICapabilities** result) = 0;
  virtual void __stdcall GetUpperThreshold(ICapabilities** result) = 0;
  virtual void __stdcall GetImpedanceResolution(ICapabilities** result) = 0;
  virtual void __stdcall GetHighlight(ICapabilities** result) = 0;
  virtual void __stdcall GetSerialNo(ICapabilities** result) = 0;
};

// The provider. Every provider works on the one process-wide descriptor
// cache.
struct ICapsProvider : IUnknown {
  // Loads a descriptor, or an amplifier descriptor with the eight it names,
  // into the cache.
  virtual bool32 __stdcall Load(WORD id) = 0;
  // On true the slot holds the amplifier's capability object (query it for
  // IAmplifierCapabilities); on false the slot holds nullptr.
  virtual bool32 __stdcall GetAmplifier(WORD amplifier_id, IUnknown** result) = 0;
};

__CRT_UUID_DECL(ICapsProvider, 0x3D4E3F10, 0xFBA8, 0x4AC2, 0xB1, 0xE4, 0x8C, 0x1E, 0x48, 0x70, 0x86, 0x06)
__CRT_UUID_DECL(ICapsEnumerator, 0x898208CE, 0x4F74, 0x4B9D, 0x90, 0x26, 0xDC, 0xD6, 0x00, 0x6C, 0x59, 0x90)
__CRT_UUID_DECL(ICapabilities, 0x313C4B91, 0x42AB, 0x4988, 0xBD, 0x33, 0xD5, 0xB4, 0xB3, 0x1F, 0xC5, 0xDA)
__CRT_UUID_DECL(IChannelCapabilities, 0x1C888246, 0x9BDF, 0x4FE6, 0x8E, 0xC6, 0x1A, 0xE3, 0x27, 0x53, 0xB1, 0x26)
__CRT_UUID_DECL(IAmplifierCapabilities, 0x4AE1223A, 0x0ADC, 0x4DF6, 0x8A, 0x0B, 0x62, 0x78, 0x38, 0x3F, 0xC9, 0xDF)

// The exports, bound by name with GetProcAddress.
extern "C" {
// Stores a new provider in *provider (the slot is overwritten, not
// released); 0 on success.
typedef LONG(__stdcall* CreateInterfaceProc)(ICapsProvider** provider);
// 0 when the amplifier ID (low 16 bits) names a registered model whose
// descriptors all load, else 1.
typedef LONG(__stdcall* CheckAmplifierIDProc)(DWORD amplifier_id);
// Write the default descriptors / delete them.
typedef void(__stdcall* DllRegisterProc)();
typedef void(__stdcall* DllUnregisterProc)();
}
