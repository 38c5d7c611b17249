// Standard streams over COM streams.
//
//   IStream* memory; ::CreateStreamOnHGlobal(nullptr, TRUE, &memory);
//   {
//     zel::basic_com_ostream<wchar_t> out(memory);
//     out << L"Amplifier 1\r\n";
//   }                                           // flushed: UTF-16 in the stream
//
// zel::basic_com_streambuf<Ch> is a stream buffer whose device is an
// IStream: characters go to and come from the stream as their bytes
// (UTF-16 code units for wchar_t), counted from the position the stream had
// when the buffer was opened (the base position). Output and input keep
// separate stream positions: opened for both, the input reads a Clone.
// A failed or short write makes overflow and sync fail, so the stream
// reports it; a read that ends inside a character delivers the whole
// characters before it and then ends the input.
#pragma once

#include <objidl.h>

#include <algorithm>
#include <cstring>
#include <ios>
#include <istream>
#include <memory>
#include <ostream>
#include <streambuf>

#include "com/ptr.h"
#include "zel/errors.h"

namespace zel {

template <class Ch, class Tr = std::char_traits<Ch>>
class basic_com_streambuf : public std::basic_streambuf<Ch, Tr> {
  using base = std::basic_streambuf<Ch, Tr>;

 public:
  using int_type = typename base::int_type;
  using pos_type = typename base::pos_type;
  using off_type = typename base::off_type;
  using openmode = std::ios_base::openmode;

  explicit basic_com_streambuf(openmode allowed = std::ios_base::in | std::ios_base::out, size_t size = 4096) noexcept
      : m_allowed(allowed & (std::ios_base::in | std::ios_base::out)), m_size(size ? size : 1) {}
  basic_com_streambuf(const basic_com_streambuf&) = delete;
  basic_com_streambuf& operator=(const basic_com_streambuf&) = delete;
  ~basic_com_streambuf() override { write_out(); }

  // Opens the buffer on `stream`; null unless mode is a non-empty subset of
  // the allowed modes and every step succeeds.
  basic_com_streambuf* open(IStream* stream, openmode mode) noexcept {
    mode &= std::ios_base::in | std::ios_base::out;
    if (!stream || !mode || (mode & ~m_allowed) || !write_out() || !drop_read_ahead()) return nullptr;
    ULARGE_INTEGER position{};
    if (FAILED(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &position))) return nullptr;
    orvo::com::ptr<IStream> write, read;
    if (mode & std::ios_base::out) write = orvo::com::ptr<IStream>(stream);
    if (mode == std::ios_base::in) read = orvo::com::ptr<IStream>(stream);
    if (mode == (std::ios_base::in | std::ios_base::out) && FAILED(stream->Clone(read.put()))) return nullptr;
    m_write = std::move(write);
    m_read = std::move(read);
    m_base = position.QuadPart;
    m_input_ended = false;
    this->setg(nullptr, nullptr, nullptr);
    this->setp(nullptr, nullptr);
    return this;
  }
  bool is_open() const noexcept { return m_write || m_read; }

 protected:
  // Before the first use only: the buffer's size in characters (0 means 1).
  base* setbuf(Ch*, std::streamsize count) override {
    if (!m_buffer) m_size = count > 0 ? static_cast<size_t>(count) : 1;
    return this;
  }

  int_type overflow(int_type c) override {
    if (!m_write || !drop_read_ahead() || !buffer()) return Tr::eof();
    this->setg(nullptr, nullptr, nullptr);                                        // the buffer now holds output
    if (!this->pbase()) this->setp(m_buffer.get(), m_buffer.get() + m_size - 1);  // one in reserve
    if (Tr::eq_int_type(c, Tr::eof())) return write_out() ? Tr::not_eof(c) : Tr::eof();
    *this->pptr() = Tr::to_char_type(c);
    this->pbump(1);
    if (this->pptr() >= this->epptr() && !write_out()) return Tr::eof();
    return c;
  }

  int sync() override { return write_out() ? 0 : -1; }

  int_type underflow() override {
    if (this->gptr() && this->gptr() < this->egptr()) return Tr::to_int_type(*this->gptr());
    if (!m_read || m_input_ended || !write_out() || !buffer()) return Tr::eof();
    this->setp(nullptr, nullptr);  // the buffer now holds input
    // Keep the last characters read for putting back.
    const size_t limit = m_size < 16 ? m_size / 2 : 8;
    const size_t read_so_far = this->gptr() ? static_cast<size_t>(this->gptr() - this->eback()) : 0;
    const size_t keep = std::min(read_so_far, limit);
    if (keep) std::memmove(m_buffer.get(), this->gptr() - keep, keep * sizeof(Ch));
    ULONG got = 0;
    const HRESULT hr = m_read->Read(m_buffer.get() + keep, static_cast<ULONG>((m_size - keep) * sizeof(Ch)), &got);
    const size_t chars = FAILED(hr) ? 0 : got / sizeof(Ch);
    if (FAILED(hr) || got % sizeof(Ch)) m_input_ended = true;  // nothing after a broken character
    if (!chars) {
      m_input_ended = true;
      this->setg(m_buffer.get(), m_buffer.get() + keep, m_buffer.get() + keep);
      return Tr::eof();
    }
    this->setg(m_buffer.get(), m_buffer.get() + keep, m_buffer.get() + keep + chars);
    return Tr::to_int_type(*this->gptr());
  }

  int_type pbackfail(int_type c) override {
    if (!this->gptr() || this->gptr() <= this->eback()) return Tr::eof();
    const bool same = Tr::eq_int_type(c, Tr::eof()) || Tr::eq(Tr::to_char_type(c), this->gptr()[-1]);
    if (!same && !(m_allowed & std::ios_base::out)) return Tr::eof();
    this->gbump(-1);
    if (!same) *this->gptr() = Tr::to_char_type(c);
    return Tr::not_eof(c);
  }

  pos_type seekoff(off_type offset, std::ios_base::seekdir direction, openmode which) override {
    const bool out = which & std::ios_base::out, in = which & std::ios_base::in;
    if ((!out && !in) || (out && in && direction == std::ios_base::cur)) return failed();
    if ((out && !m_write) || (in && !m_read)) return failed();
    if ((out && !write_out()) || (in && !drop_read_ahead())) return failed();
    LARGE_INTEGER move;
    move.QuadPart = static_cast<LONGLONG>(offset) * static_cast<LONGLONG>(sizeof(Ch));
    DWORD origin = STREAM_SEEK_CUR;
    if (direction == std::ios_base::beg) {
      origin = STREAM_SEEK_SET;
      move.QuadPart += static_cast<LONGLONG>(m_base);
      if (move.QuadPart < 0) return failed();
    } else if (direction == std::ios_base::end) {
      origin = STREAM_SEEK_END;
    }
    ULARGE_INTEGER now{};
    if (out && FAILED(m_write->Seek(move, origin, &now))) return failed();
    if (in && FAILED(m_read->Seek(move, origin, &now))) return failed();
    m_input_ended = false;
    if (now.QuadPart < m_base) return failed();
    return pos_type(static_cast<off_type>((now.QuadPart - m_base) / sizeof(Ch)));
  }

  pos_type seekpos(pos_type position, openmode which) override {
    return seekoff(off_type(position), std::ios_base::beg, which);
  }

 private:
  static pos_type failed() noexcept { return pos_type(off_type(-1)); }

  // The buffer, made on first use.
  Ch* buffer() noexcept {
    if (!m_buffer) m_buffer.reset(new (std::nothrow) Ch[m_size]);
    return m_buffer.get();
  }

  // Writes the put area; false when the write fails or is short (the
  // characters are dropped either way, so a failure is reported once).
  bool write_out() noexcept {
    if (!this->pbase() || this->pptr() == this->pbase()) return true;
    const auto bytes = static_cast<ULONG>((this->pptr() - this->pbase()) * sizeof(Ch));
    ULONG written = 0;
    const bool done = m_write && SUCCEEDED(m_write->Write(this->pbase(), bytes, &written)) && written == bytes;
    this->setp(this->pbase(), this->epptr());
    return done;
  }

  // Moves the read stream back over what was read ahead but not taken.
  bool drop_read_ahead() noexcept {
    if (!this->gptr() || this->gptr() == this->egptr()) return true;
    LARGE_INTEGER back;
    back.QuadPart = -static_cast<LONGLONG>((this->egptr() - this->gptr()) * sizeof(Ch));
    if (!m_read || FAILED(m_read->Seek(back, STREAM_SEEK_CUR, nullptr))) return false;
    this->setg(this->eback(), this->gptr(), this->gptr());
    m_input_ended = false;
    return true;
  }

  orvo::com::ptr<IStream> m_write, m_read;
  ULONGLONG m_base = 0;
  std::unique_ptr<Ch[]> m_buffer;
  openmode m_allowed;
  size_t m_size;
  bool m_input_ended = false;
};

// An output stream over an IStream (buffer of 2048 characters).
template <class Ch, class Tr = std::char_traits<Ch>>
class basic_com_ostream : public std::basic_ostream<Ch, Tr> {
 public:
  explicit basic_com_ostream(IStream* stream)
      : std::basic_ostream<Ch, Tr>(nullptr), m_buffer(std::ios_base::out, 2048) {
    this->init(&m_buffer);
    if (!m_buffer.open(stream, std::ios_base::out)) {
      this->setstate(std::ios_base::badbit);
      debug_break();
    }
  }
  basic_com_streambuf<Ch, Tr>* rdbuf() const noexcept { return const_cast<basic_com_streambuf<Ch, Tr>*>(&m_buffer); }

 private:
  basic_com_streambuf<Ch, Tr> m_buffer;
};

// An input stream over an IStream (buffer of 4096 characters).
template <class Ch, class Tr = std::char_traits<Ch>>
class basic_com_istream : public std::basic_istream<Ch, Tr> {
 public:
  explicit basic_com_istream(IStream* stream) : std::basic_istream<Ch, Tr>(nullptr), m_buffer(std::ios_base::in, 4096) {
    this->init(&m_buffer);
    if (!m_buffer.open(stream, std::ios_base::in)) {
      this->setstate(std::ios_base::badbit);
      debug_break();
    }
  }
  basic_com_streambuf<Ch, Tr>* rdbuf() const noexcept { return const_cast<basic_com_streambuf<Ch, Tr>*>(&m_buffer); }

 private:
  basic_com_streambuf<Ch, Tr> m_buffer;
};

}  // namespace zel
