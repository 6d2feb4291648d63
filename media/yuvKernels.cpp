#include "media/yuvKernels.h"

#include "foundation/CInvalidArgError.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <immintrin.h>
#define NEBO_X86_KERNELS 1
// The helpers of a vector step must melt into its loop: a call would cost
// more than the step's own work.
#define NEBO_STEP inline __attribute__((always_inline))
// The functions between these markers may use the named instruction sets;
// the two compilers spell that differently.
#define NEBO_PRAGMA(text) _Pragma(#text)
#if defined(__clang__)
#define NEBO_BEGIN_TARGET(sets) NEBO_PRAGMA(clang attribute push(__attribute__((target(sets))), apply_to = function))
#define NEBO_END_TARGET NEBO_PRAGMA(clang attribute pop)
#else
#define NEBO_BEGIN_TARGET(sets) NEBO_PRAGMA(GCC push_options) NEBO_PRAGMA(GCC target(sets))
#define NEBO_END_TARGET NEBO_PRAGMA(GCC pop_options)
#endif
#endif

namespace nebo::common {

namespace {

// The fixed-point coefficients of y = Y - 16, u = U - 128, v = V - 128.
struct SYUY2Formula {
    static constexpr int32_t y = 298, rv = 409, gu = -100, gv = -208, bu = 516, round = 128, shift = 8;
};
struct SPlanarFormula {
    static constexpr int32_t y = 9535, rv = 13074, gu = -3203, gv = -6660, bu = 16531, round = 0, shift = 13;
};

constexpr uint8_t neutralChroma = 128;

uint8_t clampChannel(int32_t value) { return static_cast<uint8_t>(std::clamp(value, 0, 255)); }

// The shifts are arithmetic: a negative sum rounds toward minus infinity,
// exactly as the vector code's shifts do.
template <class F> void storePixel(int32_t Y, int32_t U, int32_t V, uint8_t* rgb)
{
    const int32_t y = F::y * (Y - 16), u = U - 128, v = V - 128;
    rgb[0] = clampChannel((y + F::bu * u + F::round) >> F::shift);
    rgb[1] = clampChannel((y + F::gu * u + F::gv * v + F::round) >> F::shift);
    rgb[2] = clampChannel((y + F::rv * v + F::round) >> F::shift);
    rgb[3] = 0xFF;
}

uint8_t* pixelAt(uint8_t* rgb, int64_t index) { return rgb + 4 * static_cast<std::ptrdiff_t>(index); }

// Pixels [from, width) of one planar row; chroma sample c of the row is
// u[c * step] and v[c * step] (step 2 reads interleaved pairs in place).
void convertPlanarRowPlain(const uint8_t* luma, const uint8_t* u, const uint8_t* v, int32_t step, int32_t chromaCount,
                           int32_t from, int32_t width, uint8_t* rgb)
{
    for (int32_t x = from; x < width; ++x) {
        const std::ptrdiff_t c = static_cast<std::ptrdiff_t>(std::min(x / 2, chromaCount - 1)) * step;
        storePixel<SPlanarFormula>(luma[x], u[c], v[c], pixelAt(rgb, x));
    }
}

// Pixels [from, count) of a YUY2 run; `from` is even.
void convertYUY2Plain(const uint8_t* source, int64_t from, int64_t count, uint8_t* rgb)
{
    int64_t p = from;
    for (; p + 1 < count; p += 2) {
        const uint8_t* pair = source + 2 * p;
        storePixel<SYUY2Formula>(pair[0], pair[1], pair[3], pixelAt(rgb, p));
        storePixel<SYUY2Formula>(pair[2], pair[1], pair[3], pixelAt(rgb, p + 1));
    }
    if (p < count)
        storePixel<SYUY2Formula>(source[2 * p], source[2 * p + 1], neutralChroma, pixelAt(rgb, p));
}

// Two rows of a 4:2:0 frame that read the same chroma row; a lone last row
// is given as both.
struct SRowPair {
    const uint8_t* luma[2];
    uint8_t* rgb[2];
};

// The vector kernels convert what they can in whole steps and return how
// many pixels of each row (or of the YUY2 run) they did; the plain loops
// finish.
struct SFastKernels {
    // `pixels` is even and needs pixels / 2 chroma samples.
    int32_t (*planarRows)(const SRowPair& rows, const uint8_t* u, const uint8_t* v, int32_t pixels);
    int32_t (*interleavedRows)(const SRowPair& rows, const uint8_t* chroma, int32_t pixels);
    // `pixels` is even.
    int64_t (*yuy2)(const uint8_t* source, int64_t pixels, uint8_t* rgb);
};

#if NEBO_X86_KERNELS

// A 32-bit lane holding the 16-bit factors of a multiply-add for one pair.
constexpr int32_t factorPair(int32_t first, int32_t second)
{
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint16_t>(first)) |
                                static_cast<uint32_t>(static_cast<uint16_t>(second)) << 16);
}

// ---- SSE2: eight pixels per step ----

// first * a + second * b in 32 bits, for the low and the high four of eight
// 16-bit lanes.
void multiplyAdd(__m128i a, __m128i b, int32_t first, int32_t second, __m128i& low, __m128i& high)
{
    const __m128i factors = _mm_set1_epi32(factorPair(first, second));
    low = _mm_madd_epi16(_mm_unpacklo_epi16(a, b), factors);
    high = _mm_madd_epi16(_mm_unpackhi_epi16(a, b), factors);
}

// The rounded, shifted sums as eight 16-bit values (not yet clamped).
template <class F> __m128i finishChannel(__m128i low, __m128i high)
{
    const __m128i round = _mm_set1_epi32(F::round);
    return _mm_packs_epi32(_mm_srai_epi32(_mm_add_epi32(low, round), F::shift),
                           _mm_srai_epi32(_mm_add_epi32(high, round), F::shift));
}

// Eight samples of Y, U and V as 16-bit lanes into eight pixels.
template <class F> void convertEight(__m128i luma, __m128i u, __m128i v, uint8_t* rgb)
{
    const __m128i y = _mm_sub_epi16(luma, _mm_set1_epi16(16));
    u = _mm_sub_epi16(u, _mm_set1_epi16(128));
    v = _mm_sub_epi16(v, _mm_set1_epi16(128));
    __m128i low, high, vLow, vHigh;
    multiplyAdd(y, v, F::y, F::rv, low, high);
    const __m128i r = finishChannel<F>(low, high);
    multiplyAdd(y, u, F::y, F::bu, low, high);
    const __m128i b = finishChannel<F>(low, high);
    multiplyAdd(y, u, F::y, F::gu, low, high);
    multiplyAdd(v, _mm_setzero_si128(), F::gv, 0, vLow, vHigh);
    const __m128i g = finishChannel<F>(_mm_add_epi32(low, vLow), _mm_add_epi32(high, vHigh));

    // The saturating packs clamp to 0..255.
    const __m128i b8 = _mm_packus_epi16(b, b), g8 = _mm_packus_epi16(g, g), r8 = _mm_packus_epi16(r, r);
    const __m128i bg = _mm_unpacklo_epi8(b8, g8);
    const __m128i ra = _mm_unpacklo_epi8(r8, _mm_set1_epi8(-1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rgb), _mm_unpacklo_epi16(bg, ra));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rgb + 16), _mm_unpackhi_epi16(bg, ra));
}

__m128i widen(__m128i bytes) { return _mm_unpacklo_epi8(bytes, _mm_setzero_si128()); }

__m128i loadEight(const uint8_t* bytes) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes)); }

// Four chroma samples, each repeated for the two pixels it serves.
__m128i loadFourDoubled(const uint8_t* bytes)
{
    int32_t four;
    std::memcpy(&four, bytes, sizeof four);
    const __m128i samples = _mm_cvtsi32_si128(four);
    return widen(_mm_unpacklo_epi8(samples, samples));
}

// U0, V0, U1, V1 ... in 16-bit lanes into U0, U0, U1, U1 ... and V0, V0 ...
void spreadPairs(__m128i pairs, __m128i& u, __m128i& v)
{
    u = _mm_shufflehi_epi16(_mm_shufflelo_epi16(pairs, _MM_SHUFFLE(2, 2, 0, 0)), _MM_SHUFFLE(2, 2, 0, 0));
    v = _mm_shufflehi_epi16(_mm_shufflelo_epi16(pairs, _MM_SHUFFLE(3, 3, 1, 1)), _MM_SHUFFLE(3, 3, 1, 1));
}

// `loadChroma(sample, u, v)` gives the chroma of eight pixels from `sample` on.
template <class FLoadChroma> int32_t convertRowsSSE2(const SRowPair& rows, int32_t pixels, FLoadChroma loadChroma)
{
    int32_t x = 0;
    __m128i u, v;
    for (; x + 8 <= pixels; x += 8) {
        loadChroma(x / 2, u, v);
        for (int32_t row = 0; row < 2; ++row)
            convertEight<SPlanarFormula>(widen(loadEight(rows.luma[row] + x)), u, v, pixelAt(rows.rgb[row], x));
    }
    return x;
}

int32_t convertPlanarRowsSSE2(const SRowPair& rows, const uint8_t* u, const uint8_t* v, int32_t pixels)
{
    return convertRowsSSE2(rows, pixels, [u, v](int32_t sample, __m128i& us, __m128i& vs) {
        us = loadFourDoubled(u + sample);
        vs = loadFourDoubled(v + sample);
    });
}

int32_t convertInterleavedRowsSSE2(const SRowPair& rows, const uint8_t* chroma, int32_t pixels)
{
    return convertRowsSSE2(rows, pixels, [chroma](int32_t sample, __m128i& us, __m128i& vs) {
        spreadPairs(widen(loadEight(chroma + 2 * sample)), us, vs);
    });
}

int64_t convertYUY2SSE2(const uint8_t* source, int64_t pixels, uint8_t* rgb)
{
    int64_t p = 0;
    __m128i u, v;
    for (; p + 8 <= pixels; p += 8) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 2 * p));
        spreadPairs(_mm_srli_epi16(bytes, 8), u, v);
        convertEight<SYUY2Formula>(_mm_and_si128(bytes, _mm_set1_epi16(0xFF)), u, v, pixelAt(rgb, p));
    }
    return p;
}

constexpr SFastKernels sse2Kernels{&convertPlanarRowsSSE2, &convertInterleavedRowsSSE2, &convertYUY2SSE2};

// ---- AVX2 and AVX-512: one row step of two rows at a time ----
//
// Every per-pixel operation stays in 16-bit lanes.
//
// A planar channel is floor((9535 Y + C) / 8192), C being its chroma part
// with the offsets of Y, U and V folded in. Both parts are split by 8192
// into a quotient and a remainder; the channel is the sum of the quotients,
// plus one where the remainders reach 8192 together: the 32-bit sum
// shifted, bit for bit. The chroma parts are worked out once per sample,
// for the four pixels it serves. A step keeps the even and the odd pixel of
// each sample in separate registers, one lane per sample.
//
// A YUY2 channel is (298 Y + k U + m V + c) >> 8, c holding the offsets
// and the rounding. 298 is even, so the sum halves exactly: red is
// (149 Y + floor(409 V / 2) + c / 2) >> 7; green and blue, whose chroma
// factors and constants divide by 4, are (floor(149 Y / 2) + (k U + m V + c) / 4) >> 6.
// Every channel between 0 and 255 comes from a 16-bit sum below 32768, so
// the unsigned saturating adds and subtractions are exact where it matters,
// and the final pack clamps the rest.
//
// Each instruction set's SVector loads the pixels in an order that its
// packs and stores undo; yuvVectorSteps.inc holds the arithmetic, compiled
// once for each set. Those functions only ever run after the processor said
// it has the set.

constexpr int32_t yuy2Constant(int32_t uFactor, int32_t vFactor)
{
    using F = SYUY2Formula;
    return F::round - 16 * F::y - 128 * (uFactor + vFactor);
}

NEBO_BEGIN_TARGET("avx2")
namespace avx2 {

// Thirty-two pixels a step. The 16 sample lanes hold the samples
// 0 1 4 5 8 9 12 13 | 2 3 6 7 10 11 14 15: in that order the in-lane packs
// and unpacks leave every pixel in its place, and only the luma load
// crosses lanes.
struct SVector {
    using V = __m256i;
    static constexpr int32_t step = 32;

    static V set16(int16_t value) { return _mm256_set1_epi16(value); }
    static V set32(int32_t value) { return _mm256_set1_epi32(value); }
    // The same sixteen bytes in each 128-bit lane.
    template <class... T> static V laneBytes(T... bytes) { return _mm256_setr_epi8(bytes..., bytes...); }
    static V add16(V a, V b) { return _mm256_add_epi16(a, b); }
    static V add32(V a, V b) { return _mm256_add_epi32(a, b); }
    static V mulhi16(V a, V b) { return _mm256_mulhi_epi16(a, b); }
    static V mulhiUnsigned16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
    static V mullo16(V a, V b) { return _mm256_mullo_epi16(a, b); }
    static V madd16(V a, V b) { return _mm256_madd_epi16(a, b); }
    static V maddubs(V a, V b) { return _mm256_maddubs_epi16(a, b); }
    static V and16(V a, V b) { return _mm256_and_si256(a, b); }
    static V andNot(V a, V b) { return _mm256_andnot_si256(a, b); }
    static V addsUnsigned16(V a, V b) { return _mm256_adds_epu16(a, b); }
    static V subsUnsigned16(V a, V b) { return _mm256_subs_epu16(a, b); }
    static V packs32(V a, V b) { return _mm256_packs_epi32(a, b); }
    static V packus16(V a, V b) { return _mm256_packus_epi16(a, b); }
    static V shuffleBytes(V a, V order) { return _mm256_shuffle_epi8(a, order); }
    template <int n> static V srli16(V a) { return _mm256_srli_epi16(a, n); }
    template <int n> static V slli16(V a) { return _mm256_slli_epi16(a, n); }
    template <int n> static V srai32(V a) { return _mm256_srai_epi32(a, n); }
    // value + 1 where a > b.
    static V incrementWhereAbove(V value, V a, V b) { return _mm256_sub_epi16(value, _mm256_cmpgt_epi16(a, b)); }

    static V loadLumaPairs(const uint8_t* luma)
    {
        const V pairOrder = _mm256_setr_epi32(0, 2, 4, 6, 1, 3, 5, 7);
        return _mm256_permutevar8x32_epi32(_mm256_loadu_si256(reinterpret_cast<const V*>(luma)), pairOrder);
    }
    static V loadBothLanes(const uint8_t* bytes)
    {
        return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)));
    }
    // Eight U, V byte pairs, the same in both lanes, into their 16-bit pairs.
    static V spreadChromaPairs(V bytes)
    {
        const V order = _mm256_setr_epi8(0, -1, 1, -1, 2, -1, 3, -1, 8, -1, 9, -1, 10, -1, 11, -1, //
                                         4, -1, 5, -1, 6, -1, 7, -1, 12, -1, 13, -1, 14, -1, 15, -1);
        return _mm256_shuffle_epi8(bytes, order);
    }
    static void loadPlanarChroma(const uint8_t* u, const uint8_t* v, V& low, V& high)
    {
        const V us = loadBothLanes(u), vs = loadBothLanes(v);
        low = spreadChromaPairs(_mm256_unpacklo_epi8(us, vs));
        high = spreadChromaPairs(_mm256_unpackhi_epi8(us, vs));
    }
    static void loadInterleavedChroma(const uint8_t* pairs, V& low, V& high)
    {
        low = spreadChromaPairs(loadBothLanes(pairs));
        high = spreadChromaPairs(loadBothLanes(pairs + 16));
    }
    // Evens and odds packed per lane into pixel order, then stored.
    static void storePairs(V b, V g, V r, uint8_t* rgb)
    {
        const V interleave = laneBytes(0, 8, 1, 9, 2, 10, 3, 11, 4, 12, 5, 13, 6, 14, 7, 15);
        storeRun(shuffleBytes(b, interleave), shuffleBytes(g, interleave), shuffleBytes(r, interleave), rgb);
    }

    // Sixteen pixels, lanes holding pixels 0-3 8-11 | 4-7 12-15.
    static V loadYUY2(const uint8_t* bytes)
    {
        return _mm256_permute4x64_epi64(_mm256_loadu_si256(reinterpret_cast<const V*>(bytes)), _MM_SHUFFLE(3, 1, 2, 0));
    }
    // Lanes holding pixels 0-3 8-11 16-19 24-27 | 4-7 12-15 20-23 28-31.
    static void storeRun(V b, V g, V r, uint8_t* rgb)
    {
        const V alpha = _mm256_set1_epi8(-1);
        const V bgLow = _mm256_unpacklo_epi8(b, g), bgHigh = _mm256_unpackhi_epi8(b, g);
        const V raLow = _mm256_unpacklo_epi8(r, alpha), raHigh = _mm256_unpackhi_epi8(r, alpha);
        V* out = reinterpret_cast<V*>(rgb);
        _mm256_storeu_si256(out, _mm256_unpacklo_epi16(bgLow, raLow));
        _mm256_storeu_si256(out + 1, _mm256_unpackhi_epi16(bgLow, raLow));
        _mm256_storeu_si256(out + 2, _mm256_unpacklo_epi16(bgHigh, raHigh));
        _mm256_storeu_si256(out + 3, _mm256_unpackhi_epi16(bgHigh, raHigh));
    }
};

#include "media/yuvVectorSteps.inc"

} // namespace avx2
NEBO_END_TARGET

// 64 bytes of permutation indices (bytes or words), made at compile time.
template <class T> struct TIndexTable {
    alignas(64) T entries[64 / sizeof(T)];
};

template <class T, class F> constexpr TIndexTable<T> makeIndexTable(F index)
{
    TIndexTable<T> table{};
    for (int32_t i = 0; i < int32_t(64 / sizeof(T)); ++i)
        table.entries[i] = static_cast<T>(index(i));
    return table;
}

// Where pixel p (0..63) of a step sits in the packed channel bytes: after
// packing evens and odds (planar) or two natural halves (YUY2).
constexpr int32_t pairedPosition(int32_t p) { return 16 * (p / 16) + 8 * (p % 2) + p % 16 / 2; }
constexpr int32_t runPosition(int32_t p) { return 16 * (p % 32 / 8) + 8 * (p / 32) + p % 8; }

// The YV12 samples 8l..8l+3 (low) or 8l+4..8l+7 (high) of lane l as U, 0,
// V, 0 byte quads: indices into U (0..63) and V (64..127).
template <int32_t half> constexpr TIndexTable<uint8_t> planarChromaTable()
{
    return makeIndexTable<uint8_t>([](int32_t i) {
        const int32_t sample = 8 * (i / 16) + 4 * half + i % 16 / 4;
        return i % 4 == 0 ? sample : 64 + sample;
    });
}

NEBO_BEGIN_TARGET("avx512bw,avx512vbmi")
namespace avx512 {

// Sixty-four pixels a step, samples and pixels in natural order within the
// lanes; the byte permutations of the stores put them in place.
struct SVector {
    using V = __m512i;
    static constexpr int32_t step = 64;
    static constexpr __mmask64 evenBytes = 0x5555555555555555;
    // GCC 12 warns of an uninitialised value inside the unmasked forms of a
    // few intrinsics; their zero-masked forms with every lane on are the
    // same instructions.
    static constexpr __mmask16 allDwords = 0xFFFF;

    static V set16(int16_t value) { return _mm512_set1_epi16(value); }
    static V set32(int32_t value) { return _mm512_set1_epi32(value); }
    template <class... T> static V laneBytes(T... bytes)
    {
        return _mm512_maskz_broadcast_i32x4(allDwords, _mm_setr_epi8(bytes...));
    }
    static V add16(V a, V b) { return _mm512_add_epi16(a, b); }
    static V add32(V a, V b) { return _mm512_add_epi32(a, b); }
    static V mulhi16(V a, V b) { return _mm512_mulhi_epi16(a, b); }
    static V mulhiUnsigned16(V a, V b) { return _mm512_mulhi_epu16(a, b); }
    static V mullo16(V a, V b) { return _mm512_mullo_epi16(a, b); }
    static V madd16(V a, V b) { return _mm512_madd_epi16(a, b); }
    static V maddubs(V a, V b) { return _mm512_maddubs_epi16(a, b); }
    static V and16(V a, V b) { return _mm512_and_si512(a, b); }
    static V andNot(V a, V b) { return _mm512_maskz_andnot_epi32(allDwords, a, b); }
    static V addsUnsigned16(V a, V b) { return _mm512_adds_epu16(a, b); }
    static V subsUnsigned16(V a, V b) { return _mm512_subs_epu16(a, b); }
    static V packs32(V a, V b) { return _mm512_packs_epi32(a, b); }
    static V packus16(V a, V b) { return _mm512_packus_epi16(a, b); }
    static V shuffleBytes(V a, V order) { return _mm512_shuffle_epi8(a, order); }
    template <int n> static V srli16(V a) { return _mm512_srli_epi16(a, n); }
    template <int n> static V slli16(V a) { return _mm512_slli_epi16(a, n); }
    template <int n> static V srai32(V a) { return _mm512_maskz_srai_epi32(allDwords, a, n); }
    static V incrementWhereAbove(V value, V a, V b)
    {
        return _mm512_mask_add_epi16(value, _mm512_cmpgt_epi16_mask(a, b), value, set16(1));
    }

    static V load(const void* bytes) { return _mm512_loadu_si512(bytes); }
    static V loadLumaPairs(const uint8_t* luma) { return load(luma); }
    static void loadPlanarChroma(const uint8_t* u, const uint8_t* v, V& low, V& high)
    {
        static constexpr TIndexTable<uint8_t> lowOrder = planarChromaTable<0>(), highOrder = planarChromaTable<1>();
        const __mmask64 samples = 0xFFFFFFFF;
        const V us = _mm512_maskz_loadu_epi8(samples, u), vs = _mm512_maskz_loadu_epi8(samples, v);
        low = _mm512_maskz_permutex2var_epi8(evenBytes, us, load(lowOrder.entries), vs);
        high = _mm512_maskz_permutex2var_epi8(evenBytes, us, load(highOrder.entries), vs);
    }
    static void loadInterleavedChroma(const uint8_t* pairs, V& low, V& high)
    {
        const V bytes = load(pairs), zero = _mm512_setzero_si512();
        low = _mm512_unpacklo_epi8(bytes, zero);
        high = _mm512_unpackhi_epi8(bytes, zero);
    }
    static V loadYUY2(const uint8_t* bytes) { return load(bytes); }

    // Blue and green bytes into B, G pairs, red into R, 0xFF pairs, each for
    // half of the step, then the two pair words of each pixel together.
    template <int32_t (*position)(int32_t)> static void store(V b, V g, V r, uint8_t* rgb)
    {
        static constexpr TIndexTable<uint8_t> blueGreen[2] = {
            makeIndexTable<uint8_t>([](int32_t i) { return position(i / 2) + 64 * (i % 2); }),
            makeIndexTable<uint8_t>([](int32_t i) { return position(32 + i / 2) + 64 * (i % 2); })};
        static constexpr TIndexTable<uint8_t> red[2] = {
            makeIndexTable<uint8_t>([](int32_t i) { return position(i / 2); }),
            makeIndexTable<uint8_t>([](int32_t i) { return position(32 + i / 2); })};
        // Pixels 0-15 (or 16-31) of a half: their B, G word, then their R, 0xFF word.
        static constexpr TIndexTable<uint16_t> words[2] = {
            makeIndexTable<uint16_t>([](int32_t i) { return i / 2 + 32 * (i % 2); }),
            makeIndexTable<uint16_t>([](int32_t i) { return 16 + i / 2 + 32 * (i % 2); })};
        const V alpha = _mm512_set1_epi8(-1);
        V* out = reinterpret_cast<V*>(rgb);
        for (int32_t half = 0; half < 2; ++half) {
            const V bg = _mm512_permutex2var_epi8(b, load(blueGreen[half].entries), g);
            const V ra = _mm512_mask_permutexvar_epi8(alpha, evenBytes, load(red[half].entries), r);
            _mm512_storeu_si512(out + 2 * half, _mm512_permutex2var_epi16(bg, load(words[0].entries), ra));
            _mm512_storeu_si512(out + 2 * half + 1, _mm512_permutex2var_epi16(bg, load(words[1].entries), ra));
        }
    }
    static void storePairs(V b, V g, V r, uint8_t* rgb) { store<&pairedPosition>(b, g, r, rgb); }
    static void storeRun(V b, V g, V r, uint8_t* rgb) { store<&runPosition>(b, g, r, rgb); }
};

#include "media/yuvVectorSteps.inc"

} // namespace avx512
NEBO_END_TARGET

#endif

// Null for the plain level.
const SFastKernels* getFastKernels(EYUVKernelLevel level)
{
    if (!isYUVKernelLevelSupported(level))
        throw lumo::CInvalidArgError("this processor cannot run the requested kernel level", "convertToRGB");
#if NEBO_X86_KERNELS
    if (level == EYUVKernelLevel::sse2)
        return &sse2Kernels;
    if (level == EYUVKernelLevel::avx2)
        return &avx2::kernels;
    if (level == EYUVKernelLevel::avx512)
        return &avx512::kernels;
#endif
    return nullptr;
}

// A 4:2:0 frame whose chroma sample c of a chroma row is u[c * step] and
// v[c * step] (step 1: separate planes, step 2: interleaved pairs).
void convertPlanarFrame(const uint8_t* luma, const uint8_t* u, const uint8_t* v, int32_t step, int32_t chromaPitch,
                        int32_t width, int32_t height, uint8_t* rgb, EYUVKernelLevel level)
{
    const SFastKernels* fast = getFastKernels(level);
    const int32_t chromaWidth = width / 2;
    int32_t chromaRows = height / 2;
    std::vector<uint8_t> neutral;
    if (chromaWidth == 0 || chromaRows == 0) {
        neutral.assign(2 * static_cast<size_t>(std::max(chromaWidth, 1)), neutralChroma);
        u = v = neutral.data();
        chromaPitch = 0;
        chromaRows = 1;
    }
    const int32_t chromaCount = std::max(chromaWidth, 1);
    for (int32_t row = 0; row < height; row += 2) {
        const std::ptrdiff_t chromaOffset =
            static_cast<std::ptrdiff_t>(std::min(row / 2, chromaRows - 1)) * chromaPitch;
        const uint8_t* rowU = u + chromaOffset;
        const uint8_t* rowV = v + chromaOffset;
        const int32_t pair[2] = {row, std::min(row + 1, height - 1)};
        SRowPair rows;
        for (int32_t i = 0; i < 2; ++i) {
            rows.luma[i] = luma + static_cast<std::ptrdiff_t>(pair[i]) * width;
            rows.rgb[i] = pixelAt(rgb, static_cast<int64_t>(pair[i]) * width);
        }
        int32_t done = 0;
        if (fast && step == 1)
            done = fast->planarRows(rows, rowU, rowV, 2 * chromaWidth);
        else if (fast)
            done = fast->interleavedRows(rows, rowU, 2 * chromaWidth);
        for (int32_t i = 0; i <= pair[1] - pair[0]; ++i)
            convertPlanarRowPlain(rows.luma[i], rowU, rowV, step, chromaCount, done, width, rows.rgb[i]);
    }
}

EYUVKernelLevel findBestLevel()
{
    for (EYUVKernelLevel level : {EYUVKernelLevel::avx512, EYUVKernelLevel::avx2, EYUVKernelLevel::sse2})
        if (isYUVKernelLevelSupported(level))
            return level;
    return EYUVKernelLevel::plain;
}

} // namespace

bool isYUVKernelLevelSupported(EYUVKernelLevel level)
{
    switch (level) {
    case EYUVKernelLevel::plain:
        return true;
#if NEBO_X86_KERNELS
    case EYUVKernelLevel::sse2:
        return true;
    case EYUVKernelLevel::avx2:
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2");
    case EYUVKernelLevel::avx512:
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi");
#endif
    default:
        return false;
    }
}

EYUVKernelLevel getBestYUVKernelLevel()
{
    static const EYUVKernelLevel best = findBestLevel();
    return best;
}

void convertYUY2ToRGB(const uint8_t* source, int64_t pixelCount, uint8_t* rgb, EYUVKernelLevel level)
{
    const SFastKernels* fast = getFastKernels(level);
    const int64_t done = fast ? fast->yuy2(source, pixelCount / 2 * 2, rgb) : 0;
    convertYUY2Plain(source, done, pixelCount, rgb);
}

void convertNV12ToRGB(const uint8_t* luma, const uint8_t* chroma, int32_t width, int32_t height, uint8_t* rgb,
                      EYUVKernelLevel level)
{
    convertPlanarFrame(luma, chroma, chroma + 1, 2, width, width, height, rgb, level);
}

void convertYV12ToRGB(const uint8_t* luma, const uint8_t* u, const uint8_t* v, int32_t width, int32_t height,
                      uint8_t* rgb, EYUVKernelLevel level)
{
    convertPlanarFrame(luma, u, v, 1, width / 2, width, height, rgb, level);
}

} // namespace nebo::common
