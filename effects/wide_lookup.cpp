#include "effects/wide_lookup.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define FOTELLO_WIDE_LOOKUP 1
#endif

namespace fotello::filters {

#ifdef FOTELLO_WIDE_LOOKUP

namespace {

#define WIDE __attribute__((target("avx512f,avx512bw,avx512vbmi")))

// Which byte of a pixel word a lane holds, for the 64 lanes of a register.
constexpr __mmask64 kGreenBytes = 0x2222222222222222ull;
constexpr __mmask64 kRedBytes = 0x4444444444444444ull;
constexpr __mmask64 kUnusedBytes = 0x8888888888888888ull;

struct Table {
    __m512i part[4]; // entries 0-63, 64-127, 128-191, 192-255
};

WIDE inline Table LoadTable(const std::uint8_t* t) {
    return Table{{_mm512_loadu_si512(t), _mm512_loadu_si512(t + 64), _mm512_loadu_si512(t + 128),
                  _mm512_loadu_si512(t + 192)}};
}

// Each byte of v through the table: the low seven bits pick among 128 entries
// of each half, the top bit picks the half.
WIDE inline __m512i Look(const Table& t, __m512i v) {
    const __m512i low = _mm512_permutex2var_epi8(t.part[0], v, t.part[1]);
    const __m512i high = _mm512_permutex2var_epi8(t.part[2], v, t.part[3]);
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(v), low, high);
}

WIDE int LookupWideImpl(std::uint32_t* row, int n, const std::uint8_t* const (&tables)[3]) {
    const Table blue = LoadTable(tables[0]);
    const Table green = LoadTable(tables[1]);
    const Table red = LoadTable(tables[2]);
    int x = 0;
    for (; x + 16 <= n; x += 16) {
        const __m512i v = _mm512_loadu_si512(row + x);
        __m512i out = _mm512_mask_blend_epi8(kGreenBytes, Look(blue, v), Look(green, v));
        out = _mm512_mask_blend_epi8(kRedBytes, out, Look(red, v));
        _mm512_storeu_si512(row + x, _mm512_mask_blend_epi8(kUnusedBytes, out, v));
    }
    return x;
}

WIDE int LookupWideNotingImpl(std::uint32_t* row, int n, const std::uint8_t* table,
                              const std::uint8_t* flags, std::uint32_t* original, int* at, int base,
                              int& count) {
    const Table values = LoadTable(table);
    const Table noted = LoadTable(flags);
    const __m512i colour = _mm512_set1_epi32(0x00FFFFFF);
    const __m512i lane = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    int x = 0;
    for (; x + 16 <= n; x += 16) {
        const __m512i v = _mm512_loadu_si512(row + x);
        _mm512_storeu_si512(row + x, _mm512_mask_blend_epi8(kUnusedBytes, Look(values, v), v));
        const __mmask16 out = _mm512_test_epi32_mask(Look(noted, v), colour);
        if (out == 0)
            continue;
        // Compressed in registers and stored whole: a compressing store to
        // memory is slow on some processors.
        _mm512_storeu_si512(original + count, _mm512_maskz_compress_epi32(out, v));
        const __m512i index = _mm512_add_epi32(lane, _mm512_set1_epi32(base + x));
        _mm512_storeu_si512(at + count, _mm512_maskz_compress_epi32(out, index));
        count += __builtin_popcount(out);
    }
    return x;
}

// Shifts are written as vector arithmetic: GCC 12 warns on the shift intrinsics.
typedef std::int32_t Words __attribute__((vector_size(64)));

// Channel C of 16 words: its low byte, and its high byte moved up and
// sign-extended.
template <int C> WIDE inline __m512i Channel(__m512i lo, __m512i hi) {
    const Words l = ((Words)lo >> (8 * C)) & 0xFF;
    const Words h = (((Words)hi << (24 - 8 * C)) >> 24) * 256;
    return (__m512i)(l | h);
}

// One spill step of channel v into o1 and o2 (see SpillIntoRange).
WIDE inline void SpillStep(__m512i& v, __m512i& o1, __m512i& o2) {
    const __m512i zero = _mm512_setzero_si512();
    const __m512i top = _mm512_set1_epi32(255);
    const __mmask16 low = _mm512_cmplt_epi32_mask(v, zero);
    const __mmask16 high = _mm512_cmpgt_epi32_mask(v, top);
    // Halves rounded toward zero, as the integer division does (for the
    // negative values (v + 1) >> 1).
    const Words w = (Words)v;
    const __m512i halfLow = (__m512i)((w + 1) >> 1);
    const __m512i halfHigh = (__m512i)((w - 255) >> 1);
    const __m512i share =
        _mm512_mask_mov_epi32(_mm512_maskz_mov_epi32(low, halfLow), high, halfHigh);
    o1 = _mm512_add_epi32(o1, share);
    o2 = _mm512_add_epi32(o2, share);
    v = _mm512_mask_mov_epi32(_mm512_mask_mov_epi32(v, low, zero), high, top);
}

WIDE inline __mmask16 Outside(__m512i v) {
    return _mm512_cmplt_epi32_mask(v, _mm512_setzero_si512()) |
           _mm512_cmpgt_epi32_mask(v, _mm512_set1_epi32(255));
}

WIDE int SpillWideImpl(const std::uint32_t* words, int n, const std::uint8_t* low,
                       const std::uint8_t* high, std::uint32_t* out) {
    const Table lows = LoadTable(low);
    const Table highs = LoadTable(high);
    const __m512i zero = _mm512_setzero_si512();
    const __m512i top = _mm512_set1_epi32(255);
    int x = 0;
    for (; x + 16 <= n; x += 16) {
        const __m512i v = _mm512_loadu_si512(words + x);
        const __m512i lo = Look(lows, v);
        const __m512i hi = Look(highs, v);
        __m512i a = Channel<0>(lo, hi), b = Channel<1>(lo, hi), c = Channel<2>(lo, hi);
        for (int round = 0; round < 256 && (Outside(a) | Outside(b) | Outside(c)) != 0; ++round) {
            const __mmask16 allLow = _mm512_cmple_epi32_mask(a, zero) &
                                     _mm512_cmple_epi32_mask(b, zero) &
                                     _mm512_cmple_epi32_mask(c, zero);
            const __mmask16 allHigh = _mm512_cmpge_epi32_mask(a, top) &
                                      _mm512_cmpge_epi32_mask(b, top) &
                                      _mm512_cmpge_epi32_mask(c, top);
            a = _mm512_mask_mov_epi32(_mm512_mask_mov_epi32(a, allLow, zero), allHigh, top);
            b = _mm512_mask_mov_epi32(_mm512_mask_mov_epi32(b, allLow, zero), allHigh, top);
            c = _mm512_mask_mov_epi32(_mm512_mask_mov_epi32(c, allLow, zero), allHigh, top);
            SpillStep(a, b, c);
            SpillStep(b, a, c);
            SpillStep(c, a, b);
        }
        const Words word =
            ((Words)v & int(0xFF000000u)) | (Words)a | ((Words)b << 8) | ((Words)c << 16);
        _mm512_storeu_si512(out + x, (__m512i)word);
    }
    return x;
}

#undef WIDE

} // namespace

bool WideLookupSupported() {
    static const bool supported = __builtin_cpu_supports("avx512f") &&
                                  __builtin_cpu_supports("avx512bw") &&
                                  __builtin_cpu_supports("avx512vbmi");
    return supported;
}

int LookupWide(std::uint32_t* row, int n, const std::uint8_t* const (&tables)[3]) {
    return LookupWideImpl(row, n, tables);
}

int LookupWideNoting(std::uint32_t* row, int n, const std::uint8_t* table,
                     const std::uint8_t* flags, std::uint32_t* original, int* at, int base,
                     int& count) {
    return LookupWideNotingImpl(row, n, table, flags, original, at, base, count);
}

int SpillWide(const std::uint32_t* words, int n, const std::uint8_t* low, const std::uint8_t* high,
              std::uint32_t* out) {
    return SpillWideImpl(words, n, low, high, out);
}

#else

bool WideLookupSupported() {
    return false;
}

int LookupWide(std::uint32_t*, int, const std::uint8_t* const (&)[3]) {
    return 0;
}

int LookupWideNoting(std::uint32_t*, int, const std::uint8_t*, const std::uint8_t*, std::uint32_t*,
                     int*, int, int&) {
    return 0;
}

int SpillWide(const std::uint32_t*, int, const std::uint8_t*, const std::uint8_t*, std::uint32_t*) {
    return 0;
}

#endif

} // namespace fotello::filters
