// CQueue<T>: a first-in first-out list handed between threads, under its
// own critical section, with a manual-reset event that is set exactly
// while the list is not empty (for a wait list).
#pragma once

#include <deque>
#include <optional>

#include "Thread.h"
#include "com/lock.h"

template <class T>
class CQueue {
 public:
  HANDLE Event() const noexcept { return m_not_empty.Handle(); }

  void Push(T item) {
    orvo::com::scoped_lock hold(m_lock);
    m_items.push_back(std::move(item));
    m_not_empty.Set();
  }

  std::optional<T> Pop() {
    orvo::com::scoped_lock hold(m_lock);
    if (m_items.empty()) return std::nullopt;
    std::optional<T> item(std::move(m_items.front()));
    m_items.pop_front();
    if (m_items.empty()) m_not_empty.Reset();
    return item;
  }

  bool Empty() {
    orvo::com::scoped_lock hold(m_lock);
    return m_items.empty();
  }

 private:
  orvo::com::critical_section m_lock;
  std::deque<T> m_items;
  ZEL::TEventSemaphore m_not_empty{true};
};
