// CSerialImp: the engine of one open serial port.
//
// Three threads work for it: the reader feeds the line's bytes to the
// packet decoder, whose callback (the packet receiver) queues each whole
// packet; the conversation thread ("delegator") takes client requests and
// received packets and runs the port's addressed conversations with the
// clients (ICommClient); the writer puts the encoded packets on the wire.
// Requests, packets and encoded packets travel between them through
// queues. Every facade (CCommServer) of the port is bound to the engine,
// which sends the port's events to the facades' sinks.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "CRCGenerator_h.h"
#include "CommServer_h.h"
#include "PacketCodec_h.h"
#include "Queue.h"
#include "Thread.h"
#include "com/lock.h"
#include "com/ptr.h"
#include "core/conversation.h"

class CPacketReceiver;
class CSerialImp;

// The events of a port, numbered as their DISPIDs.
enum class PortEvent : DISPID {
  BaudRateChanging = 1,
  BaudRateChanged = 2,
  ConversationTimeoutChanging = 3,
  ConversationTimeoutChanged = 4,
  ClientRegistered = 5,
  ClientUnregistered = 6,
};

// What a bound facade offers the engine: its sinks. Fire calls the vtable
// or the dispatch sinks (in the order asked) and returns the vote of a
// "Changing" event, stopping at the first sink that refuses.
class CPortListener {
 public:
  virtual bool Fire(PortEvent event, LONG argument, bool dispatch_first) noexcept = 0;

 protected:
  ~CPortListener() = default;
};

// A component of the port (CRC generator, decoder, encoder) behind its own
// lock; every use takes a counted reference.
template <class I>
class CComponent {
 public:
  orvo::com::ptr<I> Get() {
    orvo::com::scoped_lock hold(m_lock);
    return m_component;
  }
  void Set(orvo::com::ptr<I> component) {
    {
      orvo::com::scoped_lock hold(m_lock);
      m_component.swap(component);
    }
    // The old one is released outside the lock.
  }

 private:
  orvo::com::critical_section m_lock;
  orvo::com::ptr<I> m_component;
};

class CReaderThread : public ZEL::TComThread {
 protected:
  DWORD Run() noexcept override { return RunReader(); }
  virtual DWORD RunReader() noexcept = 0;
};
class CWriterThread : public ZEL::TComThread {
 protected:
  DWORD Run() noexcept override { return RunWriter(); }
  virtual DWORD RunWriter() noexcept = 0;
};
class CDelegatorThread : public ZEL::TComThread {
 protected:
  DWORD Run() noexcept override { return RunDelegator(); }
  virtual DWORD RunDelegator() noexcept = 0;
};

class CSerialImp : private CReaderThread, private CWriterThread, private CDelegatorThread {
 public:
  CSerialImp();
  ~CSerialImp() override;
  CSerialImp(const CSerialImp&) = delete;
  CSerialImp& operator=(const CSerialImp&) = delete;

  // Opens the port and starts the threads; the HRESULT of the first failure.
  HRESULT Open(const std::wstring& port_name) noexcept;
  const std::wstring& PortName() const noexcept { return m_port_name; }

  // Facades of the port.
  DWORD Bind(CPortListener* facade);
  void Unbind(DWORD cookie) noexcept;

  // The calls of ICommServer.
  HRESULT RequestConversation(ICommClient* client, BYTE address);
  HRESULT RegisterClient(ICommClient* client, BYTE address, LONG* registered);
  HRESULT UnregisterClient(ICommClient* client);
  HRESULT GetClient(BYTE address, ICommClient** client);
  HRESULT GetBaudRate(LONG* rate) noexcept;
  HRESULT SetBaudRate(LONG rate) noexcept;
  LONG ConversationTimeout() const noexcept { return m_timeout; }
  HRESULT SetConversationTimeout(LONG milliseconds) noexcept;
  LONG BytesWritten() const noexcept { return m_bytes_written; }
  LONG BytesRead() const noexcept { return m_bytes_read; }

  CComponent<ICRCGenerator> m_crc;
  CComponent<IPacketDecoder> m_decoder;
  CComponent<IPacketEncoder> m_encoder;
  // Points a new decoder at the engine's packet receiver.
  HRESULT AttachDecoder(IPacketDecoder* decoder) noexcept;

  // A packet read from the line (the packet receiver's call).
  void QueuePacket(std::vector<BYTE> packet) { m_packets.Push(std::move(packet)); }

 private:
  DWORD RunReader() noexcept override;
  DWORD RunWriter() noexcept override;
  DWORD RunDelegator() noexcept override;

  HRESULT CreateComponents() noexcept;
  bool StartThreads() noexcept;
  void StopThreads() noexcept;
  void ResetStep() noexcept;
  bool FireAll(PortEvent event, LONG argument, bool dispatch_first) noexcept;
  void SetRts(bool on) noexcept;

  // Conversation thread.
  void StartConversation(orvo::com::ptr<ICommClient> client, BYTE address) noexcept;
  void HandlePacket(const std::vector<BYTE>& packet) noexcept;
  void Answer(const BYTE* packet, std::size_t n, std::size_t c) noexcept;
  void EndConversation(rasper::end_reason reason, int line, bool invalid_packet = false) noexcept;
  void Send(BYTE id, BYTE address, const BYTE* payload, std::size_t size) noexcept;

  // Reader and writer helpers.
  bool WriteChunk(const BYTE* data, DWORD size, OVERLAPPED& overlapped, HANDLE done) noexcept;

  HANDLE m_port = INVALID_HANDLE_VALUE;
  std::wstring m_port_name;
  bool m_on_wine = false;
  orvo::com::ptr<CPacketReceiver> m_receiver;

  orvo::com::critical_section m_facade_lock;
  std::vector<std::pair<DWORD, CPortListener*>> m_facades;
  DWORD m_next_cookie = 1;

  orvo::com::critical_section m_address_lock;
  orvo::com::ptr<ICommClient> m_clients[rasper::device_address_count];

  CQueue<std::pair<orvo::com::ptr<ICommClient>, BYTE>> m_client_queue;
  CQueue<std::vector<BYTE>> m_packets;
  CQueue<orvo::com::ptr<IEnumBYTE>> m_writer_queue;

  // Conversation thread only.
  rasper::conversation m_conversation;
  orvo::com::ptr<ICommClient> m_current;

  std::atomic<LONG> m_timeout{10000};
  ZEL::TEventSemaphore m_abort{false};
  ZEL::TEventSemaphore m_cancel_write{true};
  LONG m_bytes_read = 0;
  LONG m_bytes_written = 0;
};
