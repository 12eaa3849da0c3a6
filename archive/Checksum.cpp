// Adler-32 of our own: the archive check sums every byte of a setup of hundreds of megabytes
// before the wizard appears, so the sum runs on 16 bytes at a time where the processor has SSE2.
#include <algorithm>

#include "archive/SetupData.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#include <emmintrin.h>
#define PLUGSETUP_ADLER_SSE2 1
#endif

namespace {

constexpr std::uint32_t kBase = 65521;
// The longest run after which both sums, started below kBase, still fit in 32 bits.
constexpr std::size_t kRun = 5552;

std::uint32_t Adler32Plain(std::uint32_t adler, const std::uint8_t* data, std::size_t size) {
    std::uint32_t a = adler & 0xFFFF;
    std::uint32_t b = adler >> 16;
    while (size > 0) {
        std::size_t run = std::min(size, kRun);
        size -= run;
        for (std::size_t i = 0; i < run; ++i) {
            a += data[i];
            b += a;
        }
        data += run;
        a %= kBase;
        b %= kBase;
    }
    return (b << 16) | a;
}

#ifdef PLUGSETUP_ADLER_SSE2

// Per 16-byte block: a grows by the bytes' sum, b by 16 times the a it started with plus each
// byte weighted by 16 - its index. The lanes hold parts of the two sums, each part no larger
// than the whole, so a run of kRun bytes fits in 32 bits as in the plain loop.
__attribute__((target("sse2"))) std::uint32_t Adler32Sse2(std::uint32_t adler, const std::uint8_t* data,
                                                          std::size_t size) {
    std::uint32_t a = adler & 0xFFFF;
    std::uint32_t b = adler >> 16;
    const __m128i zero = _mm_setzero_si128();
    const __m128i weightsLow = _mm_setr_epi16(16, 15, 14, 13, 12, 11, 10, 9);
    const __m128i weightsHigh = _mm_setr_epi16(8, 7, 6, 5, 4, 3, 2, 1);
    while (size >= 16) {
        std::size_t run = std::min(size, kRun) & ~static_cast<std::size_t>(15);
        size -= run;
        __m128i sumA = _mm_cvtsi32_si128(static_cast<int>(a));
        __m128i sumB = _mm_cvtsi32_si128(static_cast<int>(b));
        __m128i startsOfA = zero;  // the a of every block's start, added up
        for (; run > 0; run -= 16, data += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
            startsOfA = _mm_add_epi32(startsOfA, sumA);
            sumA = _mm_add_epi32(sumA, _mm_sad_epu8(bytes, zero));
            const __m128i low = _mm_unpacklo_epi8(bytes, zero);
            const __m128i high = _mm_unpackhi_epi8(bytes, zero);
            sumB = _mm_add_epi32(sumB, _mm_madd_epi16(low, weightsLow));
            sumB = _mm_add_epi32(sumB, _mm_madd_epi16(high, weightsHigh));
        }
        sumB = _mm_add_epi32(sumB, _mm_slli_epi32(startsOfA, 4));
        alignas(16) std::uint32_t lanesA[4];
        alignas(16) std::uint32_t lanesB[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanesA), sumA);
        _mm_store_si128(reinterpret_cast<__m128i*>(lanesB), sumB);
        a = (lanesA[0] + lanesA[1] + lanesA[2] + lanesA[3]) % kBase;
        b = (lanesB[0] + lanesB[1] + lanesB[2] + lanesB[3]) % kBase;
    }
    return Adler32Plain((b << 16) | a, data, size);
}

bool HasSse2() {
#if defined(__x86_64__)
    return true;
#else
    // Asked of the processor directly: the compiler's processor model would bring 5 KB of
    // detection into Setup.exe for this one bit.
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & bit_SSE2) != 0;
#endif
}

// Asked once, while the program starts and before any thread of its own: the sum is taken on
// the tool's compressing threads too.
const bool kHasSse2 = HasSse2();

#endif

}  // namespace

std::uint32_t Adler32(std::uint32_t adler, const std::uint8_t* data, std::size_t size) {
#ifdef PLUGSETUP_ADLER_SSE2
    if (kHasSse2) return Adler32Sse2(adler, data, size);
#endif
    return Adler32Plain(adler, data, size);
}

std::uint32_t Adler32Portable(std::uint32_t adler, const std::uint8_t* data, std::size_t size) {
    return Adler32Plain(adler, data, size);
}
