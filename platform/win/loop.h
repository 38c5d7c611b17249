// The message loop of a UI thread, with its message filters and idle
// handlers.
//
//   WTL::CMessageLoop loop;
//   module.AddMessageLoop(&loop);
//   loop.AddMessageFilter(&frame);    // frame: a WTL::CMessageFilter
//   loop.AddIdleHandler(&frame);      // and a WTL::CIdleHandler
//   int code = loop.Run();            // until WM_QUIT
//
// Every message is first offered to the filters, the one added last first;
// a filter that answers TRUE has taken it (translated it itself), else it
// is translated and dispatched. When the queue runs empty after an input or
// paint message, the idle handlers run in the order they were added. A
// filter or idle handler may add or remove handlers, itself included,
// during its own call. An exception from one is logged (guard.h) and
// counts as "not taken".
//
// Nested modal loops run on the same loop object:
//   WTL::modal_run run;
//   int result = loop.RunModal(run);  // until run.end(result) is called
// Runs end in order: a run asked to end while a run nested inside it is
// still going returns once the inner one has returned. WM_QUIT ends every
// run: a nested run gives it back to the queue so the outer runs see it.
#pragma once

#include <windows.h>

#include <vector>

namespace WTL {

class CMessageFilter {
 public:
  // TRUE: the message was taken and must not be dispatched.
  virtual BOOL PreTranslateMessage(MSG* pMsg) = 0;

 protected:
  ~CMessageFilter() = default;
};

class CIdleHandler {
 public:
  virtual BOOL OnIdle() = 0;

 protected:
  ~CIdleHandler() = default;
};

// A nested run of a loop and its end.
class modal_run {
 public:
  // Asks the run to end with `result`; it returns once it and every run
  // nested inside it have ended.
  void end(int result) noexcept;
  bool ended() const noexcept { return m_ended; }
  int result() const noexcept { return m_result; }

 private:
  bool m_ended = false;
  int m_result = 0;
};

namespace detail {
// A list that its own members may change while it is being walked: a
// removal during a walk leaves a gap that the walk skips.
template <class T>
class handler_list {
 public:
  bool add(T* item) {
    if (!item || contains(item)) return false;
    m_items.push_back(item);
    return true;
  }
  bool remove(T* item) noexcept {
    for (auto& slot : m_items) {
      if (slot == item) {
        slot = nullptr;
        compact();
        return true;
      }
    }
    return false;
  }
  bool contains(T* item) const noexcept {
    for (T* slot : m_items) {
      if (slot == item) return true;
    }
    return false;
  }
  // Calls f on each member, last added first, until one answers true.
  template <class F>
  bool any_last_first(F f) {
    walk_scope scope(*this);
    for (size_t i = m_items.size(); i-- > 0;) {
      if (T* item = m_items[i]; item && f(item)) return true;
    }
    return false;
  }
  // Calls f on each member in the order added.
  template <class F>
  void each(F f) {
    walk_scope scope(*this);
    for (size_t i = 0; i < m_items.size(); ++i) {
      if (T* item = m_items[i]) f(item);
    }
  }

 private:
  struct walk_scope {
    explicit walk_scope(handler_list& l) noexcept : list(l) { ++list.m_walks; }
    ~walk_scope() {
      --list.m_walks;
      list.compact();
    }
    handler_list& list;
  };
  void compact() noexcept {
    if (m_walks) return;
    size_t kept = 0;
    for (T* slot : m_items) {
      if (slot) m_items[kept++] = slot;
    }
    m_items.resize(kept);
  }
  std::vector<T*> m_items;
  int m_walks = 0;
};
}  // namespace detail

class CMessageLoop {
 public:
  virtual ~CMessageLoop() = default;

  BOOL AddMessageFilter(CMessageFilter* filter) { return m_filters.add(filter); }
  BOOL RemoveMessageFilter(CMessageFilter* filter) noexcept { return m_filters.remove(filter); }
  BOOL AddIdleHandler(CIdleHandler* handler) { return m_idle.add(handler); }
  BOOL RemoveIdleHandler(CIdleHandler* handler) noexcept { return m_idle.remove(handler); }

  // Runs until WM_QUIT; returns its exit code.
  int Run();
  // Runs until `run` is ended (its result) or WM_QUIT arrives (its exit code).
  int RunModal(modal_run& run);

  // The filter step: TRUE when a filter took the message.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // The idle step: calls every idle handler; TRUE asks for another idle call.
  virtual BOOL OnIdle(int idleCount);
  // Messages after which the idle handlers run again.
  static BOOL IsIdleMessage(const MSG* pMsg) noexcept;

 private:
  // One run; `run` null for the outermost loop.
  int pump(modal_run* run);

  detail::handler_list<CMessageFilter> m_filters;
  detail::handler_list<CIdleHandler> m_idle;
};

}  // namespace WTL
