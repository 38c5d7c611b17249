#include "protocol_changes.h"

#include <boost/algorithm/string/trim.hpp>

#include <cwctype>
#include <string>
#include <utility>

namespace Orvo {

namespace {

bool is_blank(char16_t c) { return std::iswspace(static_cast<std::wint_t>(c)) != 0; }

change_result result(change_result::status_type status, bool unwritten_user = false) {
  change_result r;
  r.status = status;
  r.unwritten_user = unwritten_user;
  return r;
}

// Applies `change` to one library and writes it. When the write fails (or
// throws) the library gets its earlier content back.
template <class Change>
bool change_and_write(protocol_libraries& libraries, bool user, Change&& change) {
  protocols& library = libraries.library(user);
  protocols before = library;
  change(library);
  const std::function<bool()>& writer = user ? libraries.m_write_user : libraries.m_write_common;
  try {
    if (!writer || writer()) return true;
  } catch (...) {
    library = std::move(before);
    throw;
  }
  library = std::move(before);
  return false;
}

void relocated(protocol_libraries& libraries, bool from_user, const wide_string& from_name,
               std::optional<protocol_place> to) {
  libraries.m_relocated(protocol_place{from_user, from_name}, to);
}

}  // namespace

wide_string trim_protocol_name(const wide_string& name) { return boost::algorithm::trim_copy_if(name, is_blank); }

bool is_valid_protocol_name(const wide_string& name) {
  const wide_string trimmed = trim_protocol_name(name);
  if (trimmed.empty()) return false;
  static const char untitled[] = "UNTITLED";
  if (trimmed.size() != sizeof untitled - 1) return true;
  for (std::size_t i = 0; i < trimmed.size(); ++i)
    if (std::towupper(static_cast<std::wint_t>(trimmed[i])) != static_cast<std::wint_t>(untitled[i])) return true;
  return false;
}

wide_string make_copy_name(const protocols& library, const wide_string& name) {
  wide_string copy = u"Copy of " + name;
  for (unsigned n = 1; library.contains(copy); ++n) {
    const std::string number = std::to_string(n);
    copy = u"Copy [" + wide_string(number.begin(), number.end()) + u"] of " + name;
  }
  return copy;
}

change_result copy_protocol(protocol_libraries& libraries, bool user, const wide_string& name) {
  const protocols& library = libraries.library(user);
  const auto found = library.m_protocols.find(name);
  if (found == library.m_protocols.end()) return result(change_result::refused);
  const protocol record = found->second;
  const wide_string copy_name = make_copy_name(library, name);
  if (!change_and_write(libraries, user, [&](protocols& l) { l.m_protocols.emplace(copy_name, record); }))
    return result(change_result::not_written, user);
  libraries.m_changed();
  return result(change_result::done);
}

change_result move_protocol(protocol_libraries& libraries, const wide_string& name, bool from_user) {
  const bool to_user = !from_user;
  const protocols& source = libraries.library(from_user);
  const auto found = source.m_protocols.find(name);
  if (found == source.m_protocols.end()) return result(change_result::refused);
  const protocol record = found->second;
  const protocols& target = libraries.library(to_user);
  const wide_string target_name = target.contains(name) ? make_copy_name(target, name) : name;
  // The target holds the protocol on disk before the source lets it go.
  if (!change_and_write(libraries, to_user, [&](protocols& l) { l.m_protocols.emplace(target_name, record); }))
    return result(change_result::not_written, to_user);
  if (!change_and_write(libraries, from_user, [&](protocols& l) { l.m_protocols.erase(name); })) {
    libraries.m_changed();  // the target gained a copy
    return result(change_result::not_written, from_user);
  }
  relocated(libraries, from_user, name, protocol_place{to_user, target_name});
  libraries.m_changed();
  return result(change_result::done);
}

change_result rename_protocol(protocol_libraries& libraries, bool user, const wide_string& old_name,
                              const wide_string& new_name) {
  if (!is_valid_protocol_name(new_name)) return result(change_result::refused);
  const wide_string trimmed = trim_protocol_name(new_name);
  const protocols& library = libraries.library(user);
  const auto found = library.m_protocols.find(old_name);
  if (found == library.m_protocols.end() || library.contains(trimmed)) return result(change_result::refused);
  if (!change_and_write(libraries, user, [&](protocols& l) {
        auto node = l.m_protocols.extract(old_name);
        node.key() = trimmed;
        l.m_protocols.insert(std::move(node));
      }))
    return result(change_result::not_written, user);
  relocated(libraries, user, old_name, protocol_place{user, trimmed});
  libraries.m_changed();
  return result(change_result::done);
}

change_result delete_protocol(protocol_libraries& libraries, bool user, const wide_string& name) {
  if (!libraries.library(user).contains(name)) return result(change_result::refused);
  if (!change_and_write(libraries, user, [&](protocols& l) { l.m_protocols.erase(name); }))
    return result(change_result::not_written, user);
  relocated(libraries, user, name, std::nullopt);
  libraries.m_changed();
  return result(change_result::done);
}

change_result set_protocol_comment(protocol_libraries& libraries, bool user, const wide_string& name,
                                   const wide_string& comment) {
  if (!libraries.library(user).contains(name)) return result(change_result::refused);
  if (!change_and_write(libraries, user, [&](protocols& l) { l.m_protocols.at(name).set_comment(comment); }))
    return result(change_result::not_written, user);
  libraries.m_changed();
  return result(change_result::done);
}

change_result store_protocol(protocol_libraries& libraries, bool user, const wide_string& name,
                             const protocol& working) {
  const wide_string trimmed = trim_protocol_name(name);
  if (trimmed.empty()) return result(change_result::refused);
  if (!change_and_write(libraries, user, [&](protocols& l) { l[trimmed].replace_keeping_comment(working); }))
    return result(change_result::not_written, user);
  libraries.m_changed();
  return result(change_result::done);
}

}  // namespace Orvo
