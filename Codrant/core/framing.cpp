#include "core/framing.h"

// The three loops every byte of the line goes through. Where SSE2 is there
// (every x86-64, and our 32-bit builds) they take 16 packet bytes at a time;
// CODRANT_SCALAR keeps the byte-by-byte forms, which a test build checks.
#if defined(__SSE2__) && !defined(CODRANT_SCALAR)
#include <emmintrin.h>
#define CODRANT_SSE2 1
#endif

namespace codrant {

namespace {
void write_pair(std::uint8_t b, std::uint8_t* out) noexcept {
  const bool high = b > pair_limit;
  out[0] = high ? static_cast<std::uint8_t>(b - pair_limit) : 0;
  out[1] = high ? pair_limit : b;
}
}  // namespace

void write_pairs(const std::uint8_t* in, std::size_t count, std::uint8_t* out) noexcept {
  std::size_t i = 0;
#ifdef CODRANT_SSE2
  // second = min(b, 0x80), first = b - second (saturating), interleaved.
  const __m128i limit = _mm_set1_epi8(static_cast<char>(pair_limit));
  for (; i + 16 <= count; i += 16) {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    const __m128i second = _mm_min_epu8(b, limit);
    const __m128i first = _mm_subs_epu8(b, limit);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i), _mm_unpacklo_epi8(first, second));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i + 16), _mm_unpackhi_epi8(first, second));
  }
#endif
  for (; i < count; ++i) write_pair(in[i], out + 2 * i);
}

void join_pairs(const std::uint8_t* in, std::size_t count, std::uint8_t* out) noexcept {
  std::size_t i = 0;
#ifdef CODRANT_SSE2
  // Each pair is one 16-bit lane: low byte plus high byte, kept modulo 256.
  const __m128i low_byte = _mm_set1_epi16(0x00FF);
  auto sums = [&](const std::uint8_t* at) {
    const __m128i lanes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i sum = _mm_add_epi16(_mm_and_si128(lanes, low_byte), _mm_srli_epi16(lanes, 8));
    return _mm_and_si128(sum, low_byte);
  };
  for (; i + 16 <= count; i += 16)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(sums(in + 2 * i), sums(in + 2 * i + 16)));
#endif
  for (; i < count; ++i) out[i] = static_cast<std::uint8_t>(in[2 * i] + in[2 * i + 1]);
}

std::size_t join_pair_run(const std::uint8_t* in, std::size_t count, std::size_t room, std::uint8_t* out) noexcept {
  std::size_t i = 0;
#ifdef CODRANT_SSE2
  // A lane's low byte + high byte, modulo 256, left in the low byte.
  const __m128i limit = _mm_set1_epi8(static_cast<char>(pair_limit));
  const __m128i low_byte = _mm_set1_epi16(0x00FF);
  const __m128i zero = _mm_setzero_si128();
  auto sums = [&](__m128i lanes) { return _mm_and_si128(_mm_add_epi8(lanes, _mm_srli_epi16(lanes, 8)), low_byte); };
  auto load = [&](std::size_t at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + at)); };
  // The bytes are all pair bytes when their largest one leaves nothing after
  // subtracting 0x80 with saturation.
  auto all_pairs = [&](__m128i largest) {
    return _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_subs_epu8(largest, limit), zero)) == 0xFFFF;
  };
  for (; i + 32 <= room && 2 * i + 64 <= count; i += 32) {
    const __m128i a = load(2 * i), b = load(2 * i + 16), c = load(2 * i + 32), d = load(2 * i + 48);
    if (!all_pairs(_mm_max_epu8(_mm_max_epu8(a, b), _mm_max_epu8(c, d)))) break;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(sums(a), sums(b)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 16), _mm_packus_epi16(sums(c), sums(d)));
  }
  for (; i + 16 <= room && 2 * i + 32 <= count; i += 16) {
    const __m128i a = load(2 * i), b = load(2 * i + 16);
    if (!all_pairs(_mm_max_epu8(a, b))) break;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(sums(a), sums(b)));
  }
#else
  for (; i < room && 2 * i + 1 < count && in[2 * i] <= pair_limit && in[2 * i + 1] <= pair_limit; ++i)
    out[i] = static_cast<std::uint8_t>(in[2 * i] + in[2 * i + 1]);
#endif
  return i;
}

std::size_t pair_run(const std::uint8_t* data, std::size_t count) noexcept {
  std::size_t i = 0;
#ifdef CODRANT_SSE2
  // A byte is no greater than 0x80 exactly when max(byte, 0x80) is 0x80.
  const __m128i limit = _mm_set1_epi8(static_cast<char>(pair_limit));
  for (; i + 16 <= count; i += 16) {
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const unsigned larger =
        ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(b, limit), limit))) & 0xFFFFu;
    if (larger) return i + static_cast<std::size_t>(__builtin_ctz(larger));
  }
#endif
  while (i < count && data[i] <= pair_limit) ++i;
  return i;
}

}  // namespace codrant
