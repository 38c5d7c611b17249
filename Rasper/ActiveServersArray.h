// CActiveServersArray: the process-wide table of open port engines under
// one lock. An engine whose last facade is released goes to the deletion
// queue, which the program's main thread empties.
#pragma once

#include <string>

#include "Queue.h"
#include "SerialImp.h"
#include "com/lock.h"
#include "core/active_servers.h"

class CActiveServersArray {
 public:
  explicit CActiveServersArray(CQueue<CSerialImp*>& deletion_queue) noexcept : m_deletion_queue(deletion_queue) {}

  // Finds or opens the engine of a port: E_ACCESSDENIED when attach-only
  // finds none, E_FAIL when all slots are taken, else the open's failure.
  HRESULT FindOrOpen(const std::wstring& port, bool attach_only, CSerialImp** engine) noexcept;
  // One use of the engine less; the last hands it to the deletion queue.
  void Release(CSerialImp* engine) noexcept;

 private:
  orvo::com::critical_section m_lock;
  rasper::active_servers<CSerialImp> m_table;
  CQueue<CSerialImp*>& m_deletion_queue;
};
