// The line server's process-wide objects, made by the program's entry
// before the class objects are registered and gone after they are revoked:
// the exit event, the queue of engines for the main thread to delete, the
// table of open engines and the table behind IRasperGIT.
#pragma once

#include "ActiveServersArray.h"
#include "InterfaceTable.h"
#include "Queue.h"
#include "SerialImp.h"
#include "Thread.h"

struct CRasperProcess {
  ZEL::TEventSemaphore exit{true};
  CQueue<CSerialImp*> deletion_queue;
  CActiveServersArray servers{deletion_queue};
  CInterfaceTable interfaces;
};

CRasperProcess& RasperProcess() noexcept;
