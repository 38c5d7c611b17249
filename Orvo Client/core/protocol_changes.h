// The changes a user makes to the protocol libraries: copy, move, rename,
// delete, comment and store. Each change writes the library it changed
// before it counts as done: a library whose file cannot be written is put
// back as it was, so nothing looks saved that is not on disk. After every
// change the libraries' change signal fires; after a rename, move or delete
// also the signal that tells where the protocol went.
#pragma once

#include "records.h"

namespace Orvo {

// The name with white space removed at both ends.
wide_string trim_protocol_name(const wide_string& name);

// True when the trimmed name is not empty and is not "UNTITLED" in any mix
// of upper and lower case (upper-cased with the current locale).
bool is_valid_protocol_name(const wide_string& name);

// "Copy of " + name, or the first "Copy [n] of " + name (n = 1, 2, ...)
// that the library does not hold.
wide_string make_copy_name(const protocols& library, const wide_string& name);

// What became of a change.
struct change_result {
  enum status_type {
    done,        // changed, written, signalled
    refused,     // nothing to do: no such protocol, or an unusable name
    not_written  // a library's file could not be written; that library is as before
  };
  status_type status = refused;
  bool unwritten_user = false;  // not_written: the library that is as before

  explicit operator bool() const { return status == done; }
};

// An exact copy (stamps unchanged) under make_copy_name in the same library.
change_result copy_protocol(protocol_libraries& libraries, bool user, const wide_string& name);

// An exact copy into the other library under the same name, or under
// make_copy_name there when the name is taken; the target is written before
// the protocol leaves the source. When the source cannot be written the
// protocol stays in both libraries (the change signal still fires).
change_result move_protocol(protocol_libraries& libraries, const wide_string& name, bool from_user);

// The record under the trimmed new name. Refused for an invalid new name, a
// missing old name, or a trimmed new name the library holds (the old one
// included).
change_result rename_protocol(protocol_libraries& libraries, bool user, const wide_string& old_name,
                              const wide_string& new_name);

change_result delete_protocol(protocol_libraries& libraries, bool user, const wide_string& name);

// Sets the comment and the modified stamp.
change_result set_protocol_comment(protocol_libraries& libraries, bool user, const wide_string& name,
                                   const wide_string& comment);

// Saves the working protocol under the trimmed name: the library's protocol
// of that name (new when missing) takes every field of the working one but
// keeps its own comment, and gets a new modified stamp. Refused for a name
// that is empty once trimmed.
change_result store_protocol(protocol_libraries& libraries, bool user, const wide_string& name,
                             const protocol& working);

}  // namespace Orvo
