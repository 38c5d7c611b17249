#include "SerialImp.h"

#include <cstdio>

#include "PacketReceiver.h"
#include "PortName.h"

using orvo::com::ptr;
using orvo::com::scoped_lock;
using rasper::end_reason;
using rasper::verdict;

namespace {

constexpr DWORD kReadSize = 4096;
constexpr DWORD kWriteChunk = 2048;
constexpr DWORD kStartWait = 8000;
constexpr DWORD kIdleWait = 30000;
constexpr DWORD kRtsQuiet = 2000;
// A read or comm-event wait that fails is not retried sooner than this, so a
// vanished device does not spin the reader.
constexpr DWORD kRetryPause = 50;

// Wine's serial driver completes an overlapped read under the usual
// "return what is there, else wait briefly" time-outs only when the buffer
// is full, and refuses comm-event waits on a pseudo-terminal; under Wine the
// engine reads with "return when bytes arrive" and waits on no comm event.
bool RunningOnWine() noexcept {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// One overlapped operation with its own manual-reset event.
struct Overlapped {
  Overlapped() noexcept { ov.hEvent = event.Handle(); }
  OVERLAPPED ov{};
  ZEL::TEventSemaphore event{true};
};

}  // namespace

CSerialImp::CSerialImp() = default;

CSerialImp::~CSerialImp() {
  StopThreads();
  if (m_receiver) m_receiver->Unbind();
  if (m_port != INVALID_HANDLE_VALUE) CloseHandle(m_port);
}

HRESULT CSerialImp::Open(const std::wstring& port_name) noexcept {
  m_timeout = 10000;
  if (m_port != INVALID_HANDLE_VALUE) return S_OK;
  try {
    m_on_wine = RunningOnWine();
    HANDLE port = CreateFileA(NarrowPortName(port_name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) return HRESULT_FROM_WIN32(GetLastError());
    auto fail = [&](HRESULT hr) {
      CloseHandle(port);
      return hr;
    };
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(port, &dcb)) return fail(HRESULT_FROM_WIN32(GetLastError()));
    dcb.BaudRate = 115200;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = TRUE;
    dcb.fOutxDsrFlow = TRUE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.EvtChar = static_cast<char>(0x81);
    dcb.EofChar = static_cast<char>(0xFF);
    if (!SetCommState(port, &dcb)) return fail(HRESULT_FROM_WIN32(GetLastError()));
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = m_on_wine ? 0 : MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = m_on_wine ? 0 : 5;
    if (!SetCommTimeouts(port, &timeouts)) return fail(HRESULT_FROM_WIN32(GetLastError()));
    if (!SetupComm(port, 4096, 4096)) return fail(HRESULT_FROM_WIN32(GetLastError()));
    m_port = port;
    m_port_name = port_name;

    ptr<IPacketDecoderCallback> receiver;
    HRESULT hr = CPacketReceiver::make(receiver);
    if (SUCCEEDED(hr)) {
      m_receiver = ptr<CPacketReceiver>::attach(static_cast<CPacketReceiver*>(receiver.detach()));
      m_receiver->Bind(this);
      hr = CreateComponents();
    }
    if (SUCCEEDED(hr) && !StartThreads()) hr = E_FAIL;
    if (FAILED(hr)) {
      if (m_receiver) m_receiver->Unbind();
      m_receiver.reset();
      m_crc.Set(nullptr);
      m_decoder.Set(nullptr);
      m_encoder.Set(nullptr);
      CloseHandle(m_port);
      m_port = INVALID_HANDLE_VALUE;
    }
    return hr;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT CSerialImp::CreateComponents() noexcept {
  ptr<ICRCGenerator> crc;
  HRESULT hr = orvo::com::create_instance(L"Quarnell.CRCGenerator16", crc);
  if (FAILED(hr)) return hr;
  ptr<IPacketDecoder> decoder;
  hr = orvo::com::create_instance(L"Quarnell.StdDecoder", decoder);
  if (FAILED(hr)) return hr;
  hr = AttachDecoder(decoder.get());
  if (FAILED(hr)) return hr;
  ptr<IPacketEncoder> encoder;
  hr = orvo::com::create_instance(L"Quarnell.StdEncoder", encoder);
  if (FAILED(hr)) return hr;
  m_crc.Set(crc);
  m_decoder.Set(decoder);
  m_encoder.Set(encoder);
  return S_OK;
}

HRESULT CSerialImp::AttachDecoder(IPacketDecoder* decoder) noexcept { return decoder->SetCallback(m_receiver.get()); }

bool CSerialImp::StartThreads() noexcept {
  if (!CWriterThread::Start() || !CWriterThread::WaitStarted(kStartWait) || !CReaderThread::Start() ||
      !CReaderThread::WaitStarted(kStartWait) || !CDelegatorThread::Start() ||
      !CDelegatorThread::WaitStarted(kStartWait)) {
    StopThreads();
    return false;
  }
  return true;
}

void CSerialImp::StopThreads() noexcept {
  // The reader's pending read is cancelled by the reader itself.
  CWriterThread::Stop();
  CReaderThread::Stop();
  CDelegatorThread::Stop();
}

DWORD CSerialImp::Bind(CPortListener* facade) {
  scoped_lock hold(m_facade_lock);
  m_facades.emplace_back(m_next_cookie, facade);
  return m_next_cookie++;
}

void CSerialImp::Unbind(DWORD cookie) noexcept {
  scoped_lock hold(m_facade_lock);
  for (auto i = m_facades.begin(); i != m_facades.end(); ++i) {
    if (i->first == cookie) {
      m_facades.erase(i);
      return;
    }
  }
}

bool CSerialImp::FireAll(PortEvent event, LONG argument, bool dispatch_first) noexcept {
  scoped_lock hold(m_facade_lock);
  for (auto& facade : m_facades)
    if (!facade.second->Fire(event, argument, dispatch_first)) return false;
  return true;
}

// ---------------------------------------------------------------- clients

HRESULT CSerialImp::RequestConversation(ICommClient* client, BYTE address) {
  if (!client) return E_POINTER;
  m_client_queue.Push({ptr<ICommClient>(client), address});
  return S_OK;
}

HRESULT CSerialImp::RegisterClient(ICommClient* client, BYTE address, LONG* registered) {
  if (!client || !registered) return E_POINTER;
  *registered = 0;
  if (address >= rasper::device_address_count) return S_OK;
  // The held client is asked outside the lock: the call may cross processes.
  ptr<ICommClient> held;
  {
    scoped_lock hold(m_address_lock);
    held = m_clients[address];
  }
  if (held && SUCCEEDED(held->IsAlive())) return S_OK;
  {
    scoped_lock hold(m_address_lock);
    ptr<ICommClient>& slot = m_clients[address];
    // Another caller took the address meanwhile.
    if (slot && slot.get() != held.get()) return S_OK;
    held = std::move(slot);
    slot = ptr<ICommClient>(client);
  }
  *registered = 1;
  FireAll(PortEvent::ClientRegistered, address, false);
  return S_OK;
}

HRESULT CSerialImp::UnregisterClient(ICommClient* client) {
  if (!client) return E_POINTER;
  std::vector<BYTE> cleared;
  std::vector<ptr<ICommClient>> released;
  {
    scoped_lock hold(m_address_lock);
    for (unsigned a = 0; a < rasper::device_address_count; ++a) {
      if (m_clients[a].get() == client) {
        released.push_back(std::move(m_clients[a]));
        cleared.push_back(static_cast<BYTE>(a));
      }
    }
  }
  for (BYTE a : cleared) FireAll(PortEvent::ClientUnregistered, a, false);
  return cleared.empty() ? S_FALSE : S_OK;
}

HRESULT CSerialImp::GetClient(BYTE address, ICommClient** client) {
  if (!client) return E_POINTER;
  *client = nullptr;
  if (address >= rasper::device_address_count) return E_FAIL;
  scoped_lock hold(m_address_lock);
  if (!m_clients[address]) return E_FAIL;
  return m_clients[address].copy_to(client);
}

// ------------------------------------------------------- rate and time-out

HRESULT CSerialImp::GetBaudRate(LONG* rate) noexcept {
  if (!rate) return E_POINTER;
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(m_port, &dcb)) return HRESULT_FROM_WIN32(GetLastError());
  *rate = static_cast<LONG>(dcb.BaudRate);
  return S_OK;
}

HRESULT CSerialImp::SetBaudRate(LONG rate) noexcept {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(m_port, &dcb)) return E_FAIL;
  scoped_lock hold(m_facade_lock);
  for (auto& facade : m_facades)
    if (!facade.second->Fire(PortEvent::BaudRateChanging, rate, true)) return E_FAIL;
  dcb.BaudRate = static_cast<DWORD>(rate);
  if (!SetCommState(m_port, &dcb)) return E_FAIL;
  for (auto& facade : m_facades) facade.second->Fire(PortEvent::BaudRateChanged, 0, true);
  return S_OK;
}

HRESULT CSerialImp::SetConversationTimeout(LONG milliseconds) noexcept {
  scoped_lock hold(m_facade_lock);
  for (auto& facade : m_facades)
    if (!facade.second->Fire(PortEvent::ConversationTimeoutChanging, milliseconds, true)) return E_FAIL;
  m_timeout = milliseconds;
  for (auto& facade : m_facades) facade.second->Fire(PortEvent::ConversationTimeoutChanged, 0, true);
  return S_OK;
}

// ------------------------------------------------------------ reset step

void CSerialImp::ResetStep() noexcept {
  // The modem status is read for its side effect on the driver; ports
  // without modem lines (a pseudo-terminal under Wine) refuse it, which
  // must not stop the port.
  DWORD status = 0;
  GetCommModemStatus(m_port, &status);
  if (ptr<IPacketDecoder> decoder = m_decoder.Get()) decoder->Reset();
  m_cancel_write.Set();
  m_abort.Set();
}

void CSerialImp::SetRts(bool on) noexcept {
  // Refused where the port has no modem lines; the port goes on regardless.
  EscapeCommFunction(m_port, on ? SETRTS : CLRRTS);
}

// ---------------------------------------------------------------- reader

DWORD CSerialImp::RunReader() noexcept {
  bool use_comm_events = !m_on_wine;
  if (use_comm_events) {
    DWORD mask = 0;
    GetCommMask(m_port, &mask);
    use_comm_events = SetCommMask(m_port, mask | EV_ERR) != FALSE;
  }
  Overlapped read, event;
  BYTE buffer[kReadSize];
  DWORD event_mask = 0;
  bool read_pending = false, event_pending = false;
  HANDLE stop = CReaderThread::StopEvent();

  auto pause_after_failure = [&] { return WaitForSingleObject(stop, kRetryPause) != WAIT_OBJECT_0; };
  auto deliver = [&](DWORD n) {
    if (!n) return;
    InterlockedExchangeAdd(&m_bytes_read, static_cast<LONG>(n));
    if (ptr<IPacketDecoder> decoder = m_decoder.Get()) decoder->Decode(buffer, static_cast<LONG>(n));
  };
  auto read_failed = [&](DWORD error) {
    // "No data" endings of a read that was cancelled or timed out.
    if (error == ERROR_OPERATION_ABORTED || error == ERROR_TIMEOUT) return true;
    ResetStep();
    return pause_after_failure();
  };

  while (!CReaderThread::StopRequested()) {
    if (!read_pending) {
      read.event.Reset();
      DWORD n = 0;
      if (ReadFile(m_port, buffer, kReadSize, &n, &read.ov)) {
        GetOverlappedResult(m_port, &read.ov, &n, FALSE);
        deliver(n);
        continue;
      }
      const DWORD error = GetLastError();
      if (error == ERROR_IO_PENDING) {
        read_pending = true;
      } else {
        if (!read_failed(error)) break;
        continue;
      }
    }
    if (use_comm_events && !event_pending) {
      event.event.Reset();
      if (WaitCommEvent(m_port, &event_mask, &event.ov)) {
        event.event.Set();
        event_pending = true;
      } else {
        const DWORD error = GetLastError();
        if (error == ERROR_IO_PENDING) {
          event_pending = true;
        } else if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_PARAMETER) {
          // The port has no comm events: read without them.
          use_comm_events = false;
        } else if (error != ERROR_OPERATION_ABORTED) {
          ResetStep();
          if (!pause_after_failure()) break;
        }
      }
    }
    HANDLE handles[3] = {read.event.Handle(), stop, event.event.Handle()};
    const DWORD r = WaitForMultipleObjects(event_pending ? 3 : 2, handles, FALSE, INFINITE);
    if (r == WAIT_OBJECT_0) {
      read_pending = false;
      DWORD n = 0;
      if (GetOverlappedResult(m_port, &read.ov, &n, FALSE)) {
        deliver(n);
      } else {
        const DWORD error = GetLastError();
        deliver(n);
        if (!read_failed(error)) break;
      }
    } else if (r == WAIT_OBJECT_0 + 2) {
      event_pending = false;
      DWORD n = 0;
      if (GetOverlappedResult(m_port, &event.ov, &n, FALSE)) {
        if (event_mask & EV_ERR) {
          if (ptr<IPacketDecoder> decoder = m_decoder.Get()) decoder->Reset();
          DWORD errors = 0;
          ClearCommError(m_port, &errors, nullptr);
        }
      } else if (GetLastError() != ERROR_OPERATION_ABORTED) {
        ResetStep();
        if (!pause_after_failure()) break;
      }
    } else {
      break;
    }
  }
  // Nothing may still write into this frame's buffers.
  DWORD n = 0;
  if (read_pending) {
    CancelIoEx(m_port, &read.ov);
    GetOverlappedResult(m_port, &read.ov, &n, TRUE);
  }
  if (event_pending) {
    CancelIoEx(m_port, &event.ov);
    GetOverlappedResult(m_port, &event.ov, &n, TRUE);
  }
  return 0;
}

// ---------------------------------------------------------------- writer

bool CSerialImp::WriteChunk(const BYTE* data, DWORD size, OVERLAPPED& ov, HANDLE done) noexcept {
  // False when the writer is to stop.
  DWORD offset = 0;
  while (offset < size) {
    ResetEvent(done);
    DWORD n = 0;
    if (!WriteFile(m_port, data + offset, size - offset, &n, &ov)) {
      const DWORD error = GetLastError();
      if (error != ERROR_IO_PENDING) {
        if (error != ERROR_OPERATION_ABORTED) ResetStep();
        return true;
      }
      HANDLE handles[3] = {CWriterThread::StopEvent(), done, m_cancel_write.Handle()};
      const DWORD r = WaitForMultipleObjects(3, handles, FALSE, INFINITE);
      if (r != WAIT_OBJECT_0 + 1) {
        CancelIoEx(m_port, &ov);
        GetOverlappedResult(m_port, &ov, &n, TRUE);
        InterlockedExchangeAdd(&m_bytes_written, static_cast<LONG>(n));
        return r != WAIT_OBJECT_0;
      }
      if (!GetOverlappedResult(m_port, &ov, &n, FALSE)) {
        InterlockedExchangeAdd(&m_bytes_written, static_cast<LONG>(n));
        if (GetLastError() != ERROR_OPERATION_ABORTED) ResetStep();
        return true;
      }
    } else {
      GetOverlappedResult(m_port, &ov, &n, FALSE);
    }
    InterlockedExchangeAdd(&m_bytes_written, static_cast<LONG>(n));
    offset += n;
  }
  return true;
}

DWORD CSerialImp::RunWriter() noexcept {
  DWORD wait = INFINITE;
  Overlapped write;
  BYTE chunk[kWriteChunk];
  HANDLE stop = CWriterThread::StopEvent();
  for (bool running = true; running && !CWriterThread::StopRequested();) {
    HANDLE handles[2] = {stop, m_writer_queue.Event()};
    const DWORD r = WaitForMultipleObjects(2, handles, FALSE, wait);
    if (r == WAIT_OBJECT_0 + 1) {
      if (wait != kRtsQuiet) {
        // The first packet after a quiet period: RTS off, and a moment for
        // the line to turn.
        SetRts(false);
        wait = kRtsQuiet;
        Sleep(25);
      }
      // A cancel cuts short the write under way when it is asked for; one
      // asked for while the writer was idle must not cut the next packet.
      m_cancel_write.Reset();
      std::optional<ptr<IEnumBYTE>> packet = m_writer_queue.Pop();
      if (!packet || !*packet) continue;
      for (;;) {
        ULONG fetched = 0;
        if (FAILED((*packet)->Next(kWriteChunk, chunk, &fetched)) || fetched == 0) break;
        if (!WriteChunk(chunk, fetched, write.ov, write.event.Handle())) {
          running = false;
          break;
        }
        if (m_cancel_write.IsSet()) break;
      }
    } else if (r == WAIT_TIMEOUT) {
      SetRts(true);
      wait = INFINITE;
    } else if (r == WAIT_OBJECT_0) {
      break;
    } else {
      Sleep(kRetryPause);
    }
  }
  SetRts(true);
  return 0;
}

// ---------------------------------------------------------- conversations

void CSerialImp::Send(BYTE id, BYTE address, const BYTE* payload, std::size_t size) noexcept {
  BYTE header[2] = {id, address};
  ptr<ICRCGenerator> crc = m_crc.Get();
  if (crc) {
    crc->Reset();
    crc->AddData(header, 2);
    if (size) crc->AddData(const_cast<BYTE*>(payload), static_cast<LONG>(size));
    crc->EndGenerate();
  }
  ptr<IPacketEncoder> encoder = m_encoder.Get();
  if (!encoder) return;
  encoder->BeginPacket();
  encoder->AddData(header, 2);
  if (size) encoder->AddData(const_cast<BYTE*>(payload), static_cast<LONG>(size));
  if (crc) {
    SHORT count = 0;
    crc->get_ByteCount(&count);
    for (SHORT i = 0; i < count; ++i) {
      BYTE b = 0;
      if (SUCCEEDED(crc->GetByte(i, &b))) encoder->AddData(&b, 1);
    }
  }
  ptr<IEnumBYTE> bytes;
  if (SUCCEEDED(encoder->EndPacket(bytes.put())) && bytes) {
    try {
      m_writer_queue.Push(std::move(bytes));
    } catch (const std::bad_alloc&) {
    }
  }
}

void CSerialImp::EndConversation(end_reason reason, int line, bool invalid_packet) noexcept {
  static const char* const names[] = {nullptr, "OnConversationTerminated(TimedOut) %s: %d\n",
                                      "OnConversationTerminated(Interrupted) %s: %d\n",
                                      "OnConversationTerminated(InvalidPacketReceived) %s: %d\n"};
  const auto r = static_cast<int>(reason);
  if (r > 0) {
    char text[160];
    // An invalid packet read from the line has its own line in the output.
    const char* format = invalid_packet ? "OnConversationTerminated(InvalidPacketRecieved) %s: %d\n" : names[r];
    std::snprintf(text, sizeof text, format, "SerialImp", line);
    OutputDebugStringA(text);
  }
  ptr<ICommClient> client = std::move(m_current);
  m_conversation.end();
  if (client) client->OnConversationTerminated(r);
}

void CSerialImp::StartConversation(ptr<ICommClient> client, BYTE address) noexcept {
  m_current = std::move(client);
  const BYTE id = m_conversation.begin_request();
  BYTE* request = nullptr;
  LONG count = 0;
  const HRESULT hr = m_current->ProcessData(nullptr, 0, &request, &count);
  if (FAILED(hr) || !request || count <= 0) {
    CoTaskMemFree(request);
    EndConversation(end_reason::completed, __LINE__);
    return;
  }
  Sleep(21);
  Send(id, address, request, static_cast<std::size_t>(count));
  CoTaskMemFree(request);
}

void CSerialImp::Answer(const BYTE* p, std::size_t n, std::size_t c) noexcept {
  BYTE* reply = nullptr;
  LONG count = 0;
  const LONG payload = static_cast<LONG>(n - c - 2);
  const HRESULT hr = m_current->ProcessData(const_cast<BYTE*>(p + 2), payload, &reply, &count);
  const bool empty = FAILED(hr) || !reply || count <= 0;
  Send(p[0], rasper::answer_address, reply, empty ? 0 : static_cast<std::size_t>(count));
  CoTaskMemFree(reply);
  if (empty) EndConversation(end_reason::completed, __LINE__);
}

void CSerialImp::HandlePacket(const std::vector<BYTE>& packet) noexcept {
  const BYTE* p = packet.data();
  const std::size_t n = packet.size();
  std::size_t c = 0;
  bool crc_ok = false;
  ptr<ICRCGenerator> crc = m_crc.Get();
  if (crc) {
    SHORT count = 0;
    LONG valid = 0;
    crc->Reset();
    crc->AddData(const_cast<BYTE*>(p), static_cast<LONG>(n));
    crc->EndCheck();
    crc_ok = SUCCEEDED(crc->get_ByteCount(&count)) && count >= 0 && SUCCEEDED(crc->get_Valid(&valid)) && valid;
    c = count > 0 ? static_cast<std::size_t>(count) : 0;
  }
  const bool valid = rasper::packet_valid(n, static_cast<bool>(crc), c, crc_ok);
  verdict v = m_conversation.judge(valid, p, n, c);
  switch (v) {
    case verdict::invalid:
      OutputDebugStringA("Invalid packet recieved\n");
      if (m_conversation.current()) EndConversation(end_reason::invalid_packet, __LINE__, true);
      return;
    case verdict::completed:
      EndConversation(end_reason::completed, __LINE__);
      return;
    case verdict::answer:
      Answer(p, n, c);
      return;
    case verdict::drop:
      return;
    case verdict::interrupted:
      EndConversation(end_reason::interrupted, __LINE__);
      return;
    case verdict::interrupt:
      m_cancel_write.Set();
      EndConversation(end_reason::interrupted, __LINE__);
      v = m_conversation.judge(valid, p, n, c);
      if (v != verdict::device) return;
      break;
    case verdict::device:
      break;
  }
  {
    scoped_lock hold(m_address_lock);
    m_current = m_clients[p[1]];
  }
  if (!m_current) return;
  m_conversation.begin_device(p[0]);
  Answer(p, n, c);
}

DWORD CSerialImp::RunDelegator() noexcept {
  SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
  ZEL::TWaitList idle, busy;
  try {
    for (ZEL::TWaitList* list : {&idle, &busy}) {
      list->Add(CDelegatorThread::StopEvent());
      list->Add(m_abort.Handle());
      list->Add(m_packets.Event());
    }
    idle.Add(m_client_queue.Event());
  } catch (const std::bad_alloc&) {
    return 1;
  }
  while (!CDelegatorThread::StopRequested()) {
    const bool in_conversation = m_conversation.current();
    const DWORD r = in_conversation ? busy.Wait(static_cast<DWORD>(m_timeout.load())) : idle.Wait(kIdleWait);
    switch (r) {
      case 0:
        break;
      case 1:
        if (m_conversation.current()) EndConversation(end_reason::invalid_packet, __LINE__);
        break;
      case 2:
        if (auto packet = m_packets.Pop()) HandlePacket(*packet);
        break;
      case 3:
        if (auto entry = m_client_queue.Pop()) StartConversation(std::move(entry->first), entry->second);
        break;
      case ZEL::TWaitList::TimedOut:
        if (in_conversation) {
          ResetStep();
          EndConversation(end_reason::timed_out, __LINE__);
        }
        break;
      default:
        Sleep(kRetryPause);
        break;
    }
    if (r == 0) break;
  }
  // Whoever is still in a conversation hears no more of it; the queued
  // requests and packets go with the engine.
  m_current.reset();
  return 0;
}
