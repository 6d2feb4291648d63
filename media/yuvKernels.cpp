#include "media/yuvKernels.h"

#include "foundation/CInvalidArgError.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <immintrin.h>
#define NEBO_X86_KERNELS 1
// The AVX2 code is compiled for that instruction set function by function
// and only ever runs after the processor said it has it.
#define NEBO_AVX2 __attribute__((target("avx2")))
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

uint8_t clampChannel(int32_t value)
{
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

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

uint8_t* pixelAt(uint8_t* rgb, int64_t index)
{
    return rgb + 4 * static_cast<std::ptrdiff_t>(index);
}

// Pixels [from, width) of one planar row; chroma sample c of the row is
// u[c * step] and v[c * step] (step 2 reads interleaved pairs in place).
void convertPlanarRowPlain(const uint8_t* luma, const uint8_t* u, const uint8_t* v, int32_t step,
                           int32_t chromaCount, int32_t from, int32_t width, uint8_t* rgb)
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

// The vector kernels convert what they can in whole steps of 8 or 16
// pixels and return how many pixels they did; the plain loops finish.
struct SFastKernels {
    // `pixels` is even and needs pixels / 2 chroma samples.
    int32_t (*planarRow)(const uint8_t* luma, const uint8_t* u, const uint8_t* v, int32_t pixels, uint8_t* rgb);
    int32_t (*interleavedRow)(const uint8_t* luma, const uint8_t* chroma, int32_t pixels, uint8_t* rgb);
    // `pixels` is even.
    int64_t (*yuy2)(const uint8_t* source, int64_t pixels, uint8_t* rgb);
};

#if NEBO_X86_KERNELS

// A 32-bit lane holding the 16-bit factors of _mm_madd_epi16 for one pair.
int32_t factorPair(int32_t first, int32_t second)
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

__m128i widen(__m128i bytes)
{
    return _mm_unpacklo_epi8(bytes, _mm_setzero_si128());
}

__m128i loadEight(const uint8_t* bytes)
{
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes));
}

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

int32_t convertPlanarRowSSE2(const uint8_t* luma, const uint8_t* u, const uint8_t* v, int32_t pixels, uint8_t* rgb)
{
    int32_t x = 0;
    for (; x + 8 <= pixels; x += 8)
        convertEight<SPlanarFormula>(widen(loadEight(luma + x)), loadFourDoubled(u + x / 2),
                                     loadFourDoubled(v + x / 2), pixelAt(rgb, x));
    return x;
}

int32_t convertInterleavedRowSSE2(const uint8_t* luma, const uint8_t* chroma, int32_t pixels, uint8_t* rgb)
{
    int32_t x = 0;
    __m128i u, v;
    for (; x + 8 <= pixels; x += 8) {
        spreadPairs(widen(loadEight(chroma + x)), u, v);
        convertEight<SPlanarFormula>(widen(loadEight(luma + x)), u, v, pixelAt(rgb, x));
    }
    return x;
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

constexpr SFastKernels sse2Kernels{&convertPlanarRowSSE2, &convertInterleavedRowSSE2, &convertYUY2SSE2};

// ---- AVX2: sixteen pixels per step, the same arithmetic ----
// The in-lane unpacks split the pixels 0-3 | 8-11 and 4-7 | 12-15; the
// packs put them back in order, and the stores reorder the two halves.

NEBO_AVX2 void multiplyAdd(__m256i a, __m256i b, int32_t first, int32_t second, __m256i& low, __m256i& high)
{
    const __m256i factors = _mm256_set1_epi32(factorPair(first, second));
    low = _mm256_madd_epi16(_mm256_unpacklo_epi16(a, b), factors);
    high = _mm256_madd_epi16(_mm256_unpackhi_epi16(a, b), factors);
}

template <class F> NEBO_AVX2 __m256i finishChannel(__m256i low, __m256i high)
{
    const __m256i round = _mm256_set1_epi32(F::round);
    return _mm256_packs_epi32(_mm256_srai_epi32(_mm256_add_epi32(low, round), F::shift),
                              _mm256_srai_epi32(_mm256_add_epi32(high, round), F::shift));
}

template <class F> NEBO_AVX2 void convertSixteen(__m256i luma, __m256i u, __m256i v, uint8_t* rgb)
{
    const __m256i y = _mm256_sub_epi16(luma, _mm256_set1_epi16(16));
    u = _mm256_sub_epi16(u, _mm256_set1_epi16(128));
    v = _mm256_sub_epi16(v, _mm256_set1_epi16(128));
    __m256i low, high, vLow, vHigh;
    multiplyAdd(y, v, F::y, F::rv, low, high);
    const __m256i r = finishChannel<F>(low, high);
    multiplyAdd(y, u, F::y, F::bu, low, high);
    const __m256i b = finishChannel<F>(low, high);
    multiplyAdd(y, u, F::y, F::gu, low, high);
    multiplyAdd(v, _mm256_setzero_si256(), F::gv, 0, vLow, vHigh);
    const __m256i g = finishChannel<F>(_mm256_add_epi32(low, vLow), _mm256_add_epi32(high, vHigh));

    const __m256i b8 = _mm256_packus_epi16(b, b), g8 = _mm256_packus_epi16(g, g), r8 = _mm256_packus_epi16(r, r);
    const __m256i bg = _mm256_unpacklo_epi8(b8, g8);
    const __m256i ra = _mm256_unpacklo_epi8(r8, _mm256_set1_epi8(-1));
    const __m256i first = _mm256_unpacklo_epi16(bg, ra), second = _mm256_unpackhi_epi16(bg, ra);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(rgb), _mm256_permute2x128_si256(first, second, 0x20));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(rgb + 32), _mm256_permute2x128_si256(first, second, 0x31));
}

NEBO_AVX2 __m256i loadSixteenWide(const uint8_t* bytes)
{
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)));
}

NEBO_AVX2 __m256i loadEightDoubled(const uint8_t* bytes)
{
    const __m128i samples = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes));
    return _mm256_cvtepu8_epi16(_mm_unpacklo_epi8(samples, samples));
}

NEBO_AVX2 void spreadPairs(__m256i pairs, __m256i& u, __m256i& v)
{
    u = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(pairs, _MM_SHUFFLE(2, 2, 0, 0)), _MM_SHUFFLE(2, 2, 0, 0));
    v = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(pairs, _MM_SHUFFLE(3, 3, 1, 1)), _MM_SHUFFLE(3, 3, 1, 1));
}

NEBO_AVX2 int32_t convertPlanarRowAVX2(const uint8_t* luma, const uint8_t* u, const uint8_t* v, int32_t pixels,
                                       uint8_t* rgb)
{
    int32_t x = 0;
    for (; x + 16 <= pixels; x += 16)
        convertSixteen<SPlanarFormula>(loadSixteenWide(luma + x), loadEightDoubled(u + x / 2),
                                       loadEightDoubled(v + x / 2), pixelAt(rgb, x));
    return x;
}

NEBO_AVX2 int32_t convertInterleavedRowAVX2(const uint8_t* luma, const uint8_t* chroma, int32_t pixels, uint8_t* rgb)
{
    int32_t x = 0;
    __m256i u, v;
    for (; x + 16 <= pixels; x += 16) {
        spreadPairs(loadSixteenWide(chroma + x), u, v);
        convertSixteen<SPlanarFormula>(loadSixteenWide(luma + x), u, v, pixelAt(rgb, x));
    }
    return x;
}

NEBO_AVX2 int64_t convertYUY2AVX2(const uint8_t* source, int64_t pixels, uint8_t* rgb)
{
    int64_t p = 0;
    __m256i u, v;
    for (; p + 16 <= pixels; p += 16) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + 2 * p));
        spreadPairs(_mm256_srli_epi16(bytes, 8), u, v);
        convertSixteen<SYUY2Formula>(_mm256_and_si256(bytes, _mm256_set1_epi16(0xFF)), u, v, pixelAt(rgb, p));
    }
    return p;
}

constexpr SFastKernels avx2Kernels{&convertPlanarRowAVX2, &convertInterleavedRowAVX2, &convertYUY2AVX2};

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
        return &avx2Kernels;
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
    for (int32_t row = 0; row < height; ++row) {
        const std::ptrdiff_t chromaOffset = static_cast<std::ptrdiff_t>(std::min(row / 2, chromaRows - 1)) * chromaPitch;
        const uint8_t* lumaRow = luma + static_cast<std::ptrdiff_t>(row) * width;
        uint8_t* rgbRow = pixelAt(rgb, static_cast<int64_t>(row) * width);
        int32_t done = 0;
        if (fast && step == 1)
            done = fast->planarRow(lumaRow, u + chromaOffset, v + chromaOffset, 2 * chromaWidth, rgbRow);
        else if (fast)
            done = fast->interleavedRow(lumaRow, u + chromaOffset, 2 * chromaWidth, rgbRow);
        convertPlanarRowPlain(lumaRow, u + chromaOffset, v + chromaOffset, step, chromaCount, done, width, rgbRow);
    }
}

EYUVKernelLevel findBestLevel()
{
    for (EYUVKernelLevel level : {EYUVKernelLevel::avx2, EYUVKernelLevel::sse2})
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
