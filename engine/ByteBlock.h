#pragma once

#include <cstddef>
#include <cstdint>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// 64 bytes of a text, asked which of them are of a kind: bit k of each mask
// stands for byte k. With SSE2 a question costs a few instructions per 16
// bytes; without it, a loop.
class CByteBlock final {
public:
    static constexpr std::size_t kSize = 64;

#ifdef __SSE2__
    explicit CByteBlock(const char* p)
        : m_a(Load(p)), m_b(Load(p + 16)), m_c(Load(p + 32)), m_d(Load(p + 48)) {}
#else
    explicit CByteBlock(const char* p) : m_p(p) {}
#endif

    std::uint64_t Equal(char c) const {
#ifdef __SSE2__
        const __m128i pattern = _mm_set1_epi8(c);
        return Gather([&](__m128i bytes) { return _mm_cmpeq_epi8(bytes, pattern); });
#else
        return Select([c](char b) { return b == c; });
#endif
    }

    // Any of `Bytes`: one mask for all, whatever their number.
    template <char... Bytes>
    std::uint64_t EqualAny() const {
#ifdef __SSE2__
        return Gather([](__m128i bytes) {
            __m128i any = _mm_setzero_si128();
            ((any = _mm_or_si128(any, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(Bytes)))), ...);
            return any;
        });
#else
        return Select([](char b) { return ((b == Bytes) || ...); });
#endif
    }

    // The bytes from `Low` to `High`, both included.
    template <unsigned char Low, unsigned char High>
    std::uint64_t InRange() const {
        static_assert(Low <= High);
#ifdef __SSE2__
        // Shifted down by Low, the bytes in range are those at most High - Low:
        // an unsigned minimum tells.
        return Gather([](__m128i bytes) {
            const __m128i shifted = _mm_sub_epi8(bytes, _mm_set1_epi8(static_cast<char>(Low)));
            return _mm_cmpeq_epi8(
                _mm_min_epu8(shifted, _mm_set1_epi8(static_cast<char>(High - Low))), shifted);
        });
#else
        return Select([](char b) {
            const auto u = static_cast<unsigned char>(b);
            return u >= Low && u <= High;
        });
#endif
    }

private:
#ifdef __SSE2__
    static __m128i Load(const char* p) {
        // The unaligned load takes its address as an __m128i pointer, aligned or not.
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }

    static std::uint64_t Bits(__m128i matches) {
        return static_cast<unsigned>(_mm_movemask_epi8(matches));
    }

    template <typename Compare>
    std::uint64_t Gather(Compare compare) const {
        return Bits(compare(m_a)) | Bits(compare(m_b)) << 16 | Bits(compare(m_c)) << 32 |
               Bits(compare(m_d)) << 48;
    }

    __m128i m_a; // bytes 0 to 15
    __m128i m_b;
    __m128i m_c;
    __m128i m_d;
#else
    template <typename Test>
    std::uint64_t Select(Test test) const {
        std::uint64_t mask = 0;
        for (std::size_t k = 0; k < kSize; ++k)
            mask |= test(m_p[k]) ? std::uint64_t{1} << k : 0;
        return mask;
    }

    const char* m_p;
#endif
};
