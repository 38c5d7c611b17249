// Standard streams over COM streams in global memory under wine64.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/object.h"
#include "zel/com_stream.h"
#include "zel_test_support.h"

using orvo::com::ptr;

namespace {

ptr<IStream> memory_stream() {
  ptr<IStream> stream;
  EXPECT_EQ(::CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
  return stream;
}

void write_bytes(IStream* stream, const void* bytes, ULONG count) {
  ULONG written = 0;
  ASSERT_EQ(stream->Write(bytes, count, &written), S_OK);
  ASSERT_EQ(written, count);
}

std::vector<unsigned char> all_bytes(IStream* stream) {
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::vector<unsigned char> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
  stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
  ULONG got = 0;
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got);
  return bytes;
}

ULONGLONG position(IStream* stream) {
  ULARGE_INTEGER now{};
  stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &now);
  return now.QuadPart;
}

void rewind(IStream* stream, LONGLONG to = 0) {
  LARGE_INTEGER at;
  at.QuadPart = to;
  stream->Seek(at, STREAM_SEEK_SET, nullptr);
}

TEST(ComOutputStream, WritesUtf16FromThePositionTheStreamHadWhenItWasMade) {
  auto stream = memory_stream();
  write_bytes(stream.get(), "abc", 3);
  zel::basic_com_ostream<wchar_t> out(stream.get());
  out << L"H\x00e9" << 42;
  out.flush();
  EXPECT_TRUE(out.good());
  const std::vector<unsigned char> expected{'a', 'b', 'c', 'H', 0, 0xe9, 0, '4', 0, '2', 0};
  EXPECT_EQ(all_bytes(stream.get()), expected);
}

TEST(ComOutputStream, SeeksCountFromTheBasePositionAndNotBeforeIt) {
  auto stream = memory_stream();
  write_bytes(stream.get(), "abcd", 4);
  zel::basic_com_ostream<wchar_t> out(stream.get());
  out << L"xyz";
  EXPECT_EQ(out.tellp(), 3);
  out.seekp(1);
  EXPECT_EQ(position(stream.get()), 4u + 2u);
  out << L"Y";
  out.seekp(0, std::ios_base::end);
  EXPECT_EQ(out.tellp(), 3);
  EXPECT_EQ(out.rdbuf()->pubseekoff(-1, std::ios_base::beg, std::ios_base::out), std::streampos(-1));
  // Two characters before the base lie inside the stream, still before the base.
  EXPECT_EQ(out.rdbuf()->pubseekoff(-5, std::ios_base::end, std::ios_base::out), std::streampos(-1));
  const std::vector<unsigned char> expected{'a', 'b', 'c', 'd', 'x', 0, 'Y', 0, 'z', 0};
  EXPECT_EQ(all_bytes(stream.get()), expected);
}

// A stream whose writes fail, or write less than asked.
class broken_stream : public orvo::com::object<broken_stream, IStream> {
 public:
  explicit broken_stream(bool short_write) : m_short(short_write) {}
  STDMETHODIMP Write(const void*, ULONG count, ULONG* written) override {
    if (!m_short) return STG_E_MEDIUMFULL;
    if (written) *written = count ? count - 1 : 0;
    return S_OK;
  }
  STDMETHODIMP Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER* now) override {
    if (now) now->QuadPart = 0;
    return S_OK;
  }
  STDMETHODIMP Read(void*, ULONG, ULONG*) override { return E_NOTIMPL; }
  STDMETHODIMP SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  STDMETHODIMP CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override { return E_NOTIMPL; }
  STDMETHODIMP Commit(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Revert() override { return E_NOTIMPL; }
  STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Clone(IStream**) override { return E_NOTIMPL; }

 private:
  bool m_short;
};

TEST(ComOutputStream, AFailedOrShortWriteFailsTheStream) {
  for (bool short_write : {false, true}) {
    ptr<IStream> stream;
    ASSERT_EQ(broken_stream::make(stream, short_write), S_OK);
    zel::basic_com_ostream<wchar_t> out(stream.get());
    ASSERT_TRUE(out.good());
    out << L"lost";
    EXPECT_EQ(out.rdbuf()->pubsync(), -1);
    out << L"lost" << std::flush;
    EXPECT_TRUE(out.bad()) << "short write: " << short_write;
  }
}

TEST(ComOutputStream, ANullStreamFailsToOpenAndBreaksIntoTheDebugger) {
  orvo::testing::debugger_output output;
  zel::basic_com_ostream<wchar_t> out(nullptr);
  EXPECT_TRUE(out.bad());
  EXPECT_EQ(output.text(), "Failed to break into debugger.\n");
  zel::basic_com_streambuf<wchar_t> buffer(std::ios_base::out);
  auto stream = memory_stream();
  EXPECT_EQ(buffer.open(stream.get(), std::ios_base::in), nullptr);  // not an allowed mode
  EXPECT_EQ(buffer.open(stream.get(), std::ios_base::binary), nullptr);
  EXPECT_EQ(buffer.open(stream.get(), std::ios_base::out), &buffer);
}

TEST(ComInputStream, ReadsTextAndAnOddByteCountAsTheWholeCharactersBeforeIt) {
  auto stream = memory_stream();
  write_bytes(stream.get(), "a\0b\0c\0d", 7);
  rewind(stream.get());
  zel::basic_com_istream<wchar_t> in(stream.get());
  std::wstring text;
  in >> text;
  EXPECT_EQ(text, L"abc");
  EXPECT_TRUE(in.eof());
}

TEST(ComInputStream, ACharacterReadMayBePutBackButNotChangedWithoutOutput) {
  auto stream = memory_stream();
  write_bytes(stream.get(), "xyz", 3);
  rewind(stream.get());
  zel::basic_com_istream<char> in(stream.get());
  EXPECT_EQ(in.get(), 'x');
  EXPECT_EQ(in.get(), 'y');
  in.unget();
  EXPECT_EQ(in.get(), 'y');
  in.putback('y');
  EXPECT_TRUE(in.good());
  in.putback('Q');  // another character: only a buffer that may write takes it
  EXPECT_TRUE(in.bad());
}

TEST(ComStreamBuffer, InputAndOutputTogetherReadAClone) {
  auto stream = memory_stream();
  write_bytes(stream.get(), "ab", 2);
  zel::basic_com_streambuf<char> buffer;
  ASSERT_EQ(buffer.open(stream.get(), std::ios_base::in | std::ios_base::out), &buffer);
  std::iostream both(&buffer);
  both << "hello" << std::flush;
  EXPECT_EQ(position(stream.get()), 7u);  // the writes moved the stream itself
  std::string word;
  both >> word;  // the clone still stands at the base position
  EXPECT_EQ(word, "hello");
  both.clear();
  both.seekg(1);
  EXPECT_EQ(both.get(), 'e');
  both.unget();
  EXPECT_EQ(buffer.sputbackc('h'), 'h');  // output allowed: a different character may be put back
  EXPECT_EQ(both.get(), 'h');
}

}  // namespace
