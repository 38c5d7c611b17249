// The records' XML archives: the session ("options.xml", top element
// m_session_data) and a protocol library ("protocols.xml", top element
// protocol), in Boost.Serialization's XML layout.
#pragma once

#include "archive_text.h"
#include "records.h"

#include <iosfwd>
#include <stdexcept>

namespace Orvo {

// Archive library version written in the root element; a newer one is
// refused on reading.
constexpr unsigned archive_version = 18;

// A stored archive that cannot be read (or a stream that cannot be written).
class archive_error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Write the whole archive; throw archive_error when the stream fails.
void write_session(std::ostream& out, const session_data& session);
void write_library(std::ostream& out, const protocols& library);

// Reads a session into a copy and keeps it only when the whole archive was
// read; then sets m_loaded. Throws archive_error.
void read_session(std::istream& in, session_data& session, ansi_decoder decode = nullptr);

// Empties the library, then adds each protocol once it has been read; after
// a failure (archive_error) the library keeps the protocols read before it.
void read_library(std::istream& in, protocols& library, ansi_decoder decode = nullptr);

}  // namespace Orvo
