// zel::basic_enum_iterator: a forward iterator over an automation
// enumerator (IEnumVARIANT), fetching 32 elements a batch.
//
//   for (auto it = zel::make_enum_iterator(items); it != zel::basic_enum_iterator(); ++it) use(*it);
//
// Copies share one representation (the enumerator and the current batch);
// an iterator without one is the end. An element lives until its batch is
// replaced: take a copy to keep it.
#pragma once

#include <oaidl.h>

#include <cstddef>
#include <iterator>
#include <memory>

#include "com/ptr.h"

namespace zel {

class basic_enum_iterator {
 public:
  using iterator_category = std::forward_iterator_tag;
  using value_type = VARIANT;
  using difference_type = std::ptrdiff_t;
  using pointer = const VARIANT*;
  using reference = const VARIANT&;

  static constexpr ULONG batch_size = 32;

  basic_enum_iterator() = default;  // the end
  // Starts at the first element; the end when nothing comes.
  explicit basic_enum_iterator(IEnumVARIANT* enumerator);

  reference operator*() const noexcept { return m_rep->buffer[m_rep->index]; }
  pointer operator->() const noexcept { return &**this; }
  basic_enum_iterator& operator++();
  basic_enum_iterator operator++(int) {
    basic_enum_iterator before = *this;
    ++*this;
    return before;
  }
  bool operator==(const basic_enum_iterator& other) const noexcept { return m_rep == other.m_rep; }
  bool operator!=(const basic_enum_iterator& other) const noexcept { return m_rep != other.m_rep; }

 private:
  struct representation {
    orvo::com::ptr<IEnumVARIANT> enumerator;
    VARIANT buffer[batch_size];
    ULONG fetched = 0;
    ULONG capacity = batch_size;
    ULONG index = 0;
    bool exhausted = false;
    representation();
    ~representation();
    // Replaces the batch; false when nothing came.
    bool fetch();
  };
  std::shared_ptr<representation> m_rep;
};

// The first element of the object's IEnumVARIANT; the end when the object
// has none or yields nothing.
basic_enum_iterator make_enum_iterator(IUnknown* enumerator);

}  // namespace zel
