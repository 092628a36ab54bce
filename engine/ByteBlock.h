#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define GLOSSCUTTER_HAS_AVX2_BLOCK
// For functions that run only where HasAvx2Block says so.
#define GLOSSCUTTER_AVX2_TARGET __attribute__((target("avx2,popcnt,bmi")))
#endif

// Eight bytes at `p` as one word, in the machine's order: what the hashes of
// short names read at a time.
inline std::uint64_t LoadWord(const char* p) {
    std::uint64_t word = 0;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// The bytes of `s`, fewer than eight, as the low bytes of one word, the first
// lowest: LoadWord's order on this platform, without a byte beyond `s`.
inline std::uint64_t LoadShortWord(std::string_view s) {
    std::uint64_t word = 0;
    for (std::size_t k = 0; k < s.size(); ++k)
        word |= std::uint64_t{static_cast<unsigned char>(s[k])} << (8 * k);
    return word;
}

// A set of bytes as two tables of 16, by the low and the high half of a byte:
// each high half that has members gets a bit of its own, so a set whose
// members' high halves take at most eight values is told exactly
// (CByteBlockAvx2::InNibbleClass).
struct CNibbleClass {
    std::array<std::uint8_t, 16> m_arrLow{};
    std::array<std::uint8_t, 16> m_arrHigh{};

    constexpr bool Contains(unsigned char b) const {
        return (m_arrLow[b & 15] & m_arrHigh[b >> 4]) != 0;
    }
};

constexpr CNibbleClass MakeNibbleClass(const std::array<bool, 256>& members) {
    CNibbleClass nibbles;
    unsigned nextBit = 1;
    for (std::size_t high = 0; high < 16; ++high) {
        bool bAny = false;
        for (std::size_t low = 0; low < 16; ++low) {
            if (members[high * 16 + low]) {
                nibbles.m_arrLow[low] |= static_cast<std::uint8_t>(nextBit);
                bAny = true;
            }
        }
        if (bAny) {
            nibbles.m_arrHigh[high] = static_cast<std::uint8_t>(nextBit);
            nextBit <<= 1;
        }
    }
    return nibbles;
}

// Whether `nibbles` holds exactly `members`.
constexpr bool IsExactClass(const CNibbleClass& nibbles, const std::array<bool, 256>& members) {
    for (std::size_t b = 0; b < 256; ++b) {
        if (nibbles.Contains(static_cast<unsigned char>(b)) != members[b])
            return false;
    }
    return true;
}

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

    // Set bits, without relying on a population-count instruction, which the
    // x86-64 baseline lacks.
    static int CountBits(std::uint64_t x) {
        x = x - ((x >> 1) & 0x5555555555555555ull);
        x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
        x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
        return static_cast<int>((x * 0x0101010101010101ull) >> 56);
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

#ifdef GLOSSCUTTER_HAS_AVX2_BLOCK
// The same questions in two 32-byte parts, with a population count, for the
// processors that have AVX2 (HasAvx2Block). It is used only in functions
// compiled for them, which take its code in whole (flatten).
class CByteBlockAvx2 final {
public:
    static constexpr std::size_t kSize = 64;

    GLOSSCUTTER_AVX2_TARGET explicit CByteBlockAvx2(const char* p)
        : m_low(Load(p)), m_high(Load(p + 32)) {}

    GLOSSCUTTER_AVX2_TARGET std::uint64_t Equal(char c) const {
        const __m256i pattern = _mm256_set1_epi8(c);
        return Bits(_mm256_cmpeq_epi8(m_low, pattern)) | Bits(_mm256_cmpeq_epi8(m_high, pattern))
                                                             << 32;
    }

    template <char... Bytes>
    GLOSSCUTTER_AVX2_TARGET std::uint64_t EqualAny() const {
        return AnyOf<Bytes...>(m_low) | AnyOf<Bytes...>(m_high) << 32;
    }

    // The bytes of the class.
    GLOSSCUTTER_AVX2_TARGET std::uint64_t InNibbleClass(const CNibbleClass& nibbles) const {
        const __m256i lowTable = _mm256_broadcastsi128_si256(Load16(nibbles.m_arrLow.data()));
        const __m256i highTable = _mm256_broadcastsi128_si256(Load16(nibbles.m_arrHigh.data()));
        return Classify(m_low, lowTable, highTable) | Classify(m_high, lowTable, highTable) << 32;
    }

    GLOSSCUTTER_AVX2_TARGET static int CountBits(std::uint64_t x) {
        return static_cast<int>(_mm_popcnt_u64(x));
    }

private:
    GLOSSCUTTER_AVX2_TARGET static __m256i Load(const char* p) {
        // The unaligned load takes its address as an __m256i pointer, aligned or not.
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }

    template <char... Bytes>
    GLOSSCUTTER_AVX2_TARGET static std::uint64_t AnyOf(__m256i bytes) {
        __m256i any = _mm256_setzero_si256();
        ((any = _mm256_or_si256(any, _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(Bytes)))), ...);
        return Bits(any);
    }

    GLOSSCUTTER_AVX2_TARGET static std::uint64_t Classify(__m256i bytes, __m256i lowTable,
                                                          __m256i highTable) {
        const __m256i nibble = _mm256_set1_epi8(0x0F);
        const __m256i lows = _mm256_shuffle_epi8(lowTable, _mm256_and_si256(bytes, nibble));
        const __m256i highs =
            _mm256_shuffle_epi8(highTable, _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble));
        return ~Bits(_mm256_cmpeq_epi8(_mm256_and_si256(lows, highs), _mm256_setzero_si256())) &
               0xFFFFFFFFu;
    }

    GLOSSCUTTER_AVX2_TARGET static __m128i Load16(const std::uint8_t* p) {
        // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }

    GLOSSCUTTER_AVX2_TARGET static std::uint64_t Bits(__m256i matches) {
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(matches));
    }

    __m256i m_low; // bytes 0 to 31
    __m256i m_high;
};

// Whether this processor runs CByteBlockAvx2's code, and GLOSSCUTTER_NO_AVX2
// is not set: with it, the baseline's code runs, as on a processor without.
inline bool HasAvx2Block() {
    static const bool bHas = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt") &&
               __builtin_cpu_supports("bmi") && std::getenv("GLOSSCUTTER_NO_AVX2") == nullptr;
    }();
    return bHas;
}
#endif
