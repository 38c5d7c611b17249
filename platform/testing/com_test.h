// Support for tests that use COM under Wine the way a client would.
//
// Link orvo_com_test_main: its main() enters the multithreaded apartment
// for the whole run. in_sta() runs code on a thread of its own in a
// single-threaded apartment, so that objects marked "Free" reach it
// through their registered proxies.
#pragma once

#include <objbase.h>

#include <functional>
#include <map>
#include <string>

#include "wine_path.h"

namespace orvo::testing {

void in_sta(const std::function<void()>& body);

// After a failed call on `object`: the object says it supports error
// information for `iid`, and the thread's error information names `source`.
void expect_error_info(IUnknown* object, REFIID iid, const wchar_t* source);

// Runs a program and waits; returns its exit code, or -1 when it did not start.
int run_program(const std::wstring& command_line);

// Deletes a folder with all it holds; nothing when there is none.
void remove_folder(const std::wstring& path);

// regsvr32 /s [/u] on a module; returns regsvr32's exit code.
int regsvr32(const std::wstring& module, bool unregister = false);

// Every key and value under a registry key, one entry per key ("path") and
// per value ("path\\:name" -> "type:data"), for before/after comparisons.
// Paths compare without regard to case, as the registry does.
struct registry_path_less {
  bool operator()(const std::wstring& a, const std::wstring& b) const noexcept;
};
using registry_dump = std::map<std::wstring, std::wstring, registry_path_less>;
registry_dump dump_registry(HKEY root, const std::wstring& key);

// The entries of `dump` whose path or data contains `needle` (any case).
registry_dump entries_mentioning(const registry_dump& dump, const std::wstring& needle);

}  // namespace orvo::testing
