#include "codec/RowFilterSums.h"

#include <stdlib.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

enum { kNone, kSub, kUp, kAverage, kPaeth };

uint32_t Magnitude(uint8_t filtered) { return filtered < 128 ? filtered : 256u - filtered; }

uint8_t PaethPredictor(uint8_t a, uint8_t b, uint8_t c) {
    const int pa = abs(b - c);
    const int pb = abs(a - c);
    const int pc = abs(a + b - 2 * c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

// One byte x with its left neighbour a, the byte above b and the one above
// the left neighbour c.
template <RowFilterSet kSet>
void AddByte(uint8_t x, uint8_t a, uint8_t b, uint8_t c, RowFilterSums *sums) {
    sums->byType[kNone] += Magnitude(x);
    sums->byType[kSub] += Magnitude(static_cast<uint8_t>(x - a));
    sums->byType[kUp] += Magnitude(static_cast<uint8_t>(x - b));
    if (kSet != kNoneSubUp) sums->byType[kAverage] += Magnitude(static_cast<uint8_t>(x - ((a + b) >> 1)));
    if (kSet == kEveryFilter) sums->byType[kPaeth] += Magnitude(static_cast<uint8_t>(x - PaethPredictor(a, b, c)));
}

#if defined(__SSE2__)

// Sixteen bytes at a time. Each filter's bytes are folded to magnitudes
// (the smaller of d and -d, as unsigned bytes) and added up by psadbw into
// two 64-bit lanes per filter.
struct WideSums {
    __m128i byType[kRowFilterTypes];
};

__m128i SumOfMagnitudes(__m128i filtered) {
    const __m128i zero = _mm_setzero_si128();
    return _mm_sad_epu8(_mm_min_epu8(filtered, _mm_sub_epi8(zero, filtered)), zero);
}

// (a + b) >> 1: pavgb rounds up, so the carry it added is taken off again.
__m128i AverageDown(__m128i a, __m128i b) {
    return _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), _mm_set1_epi8(1)));
}

__m128i Abs16(__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); }

__m128i Select(__m128i mask, __m128i yes, __m128i no) {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// The predictor on eight bytes widened to 16 bits: a when its distance is
// the smallest, else b when b's is, else c, as the scalar rule orders ties.
__m128i PaethPredictor16(__m128i a, __m128i b, __m128i c) {
    const __m128i bc = _mm_sub_epi16(b, c);
    const __m128i ac = _mm_sub_epi16(a, c);
    const __m128i pa = Abs16(bc);
    const __m128i pb = Abs16(ac);
    const __m128i pc = Abs16(_mm_add_epi16(bc, ac));
    const __m128i smallest = _mm_min_epi16(_mm_min_epi16(pa, pb), pc);
    return Select(_mm_cmpeq_epi16(smallest, pa), a, Select(_mm_cmpeq_epi16(smallest, pb), b, c));
}

__m128i PaethPredictor8(__m128i a, __m128i b, __m128i c) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low =
        PaethPredictor16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(c, zero));
    const __m128i high =
        PaethPredictor16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), _mm_unpackhi_epi8(c, zero));
    return _mm_packus_epi16(low, high);
}

__m128i Load(const uint8_t *at) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(at)); }

uint32_t AddLanes(__m128i lanes) {
    return static_cast<uint32_t>(_mm_cvtsi128_si32(lanes)) +
           static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(lanes, 8)));
}

// Bytes from `from` while sixteen remain; returns where it stopped.
template <RowFilterSet kSet>
size_t SumWide(const uint8_t *row, const uint8_t *previous, size_t from, size_t rowBytes, size_t pixelBytes,
               RowFilterSums *sums) {
    WideSums wide;
    for (__m128i &lanes : wide.byType) lanes = _mm_setzero_si128();
    size_t i = from;
    for (; i + 16 <= rowBytes; i += 16) {
        const __m128i x = Load(row + i);
        const __m128i a = Load(row + i - pixelBytes);
        const __m128i b = Load(previous + i);
        wide.byType[kNone] = _mm_add_epi64(wide.byType[kNone], SumOfMagnitudes(x));
        wide.byType[kSub] = _mm_add_epi64(wide.byType[kSub], SumOfMagnitudes(_mm_sub_epi8(x, a)));
        wide.byType[kUp] = _mm_add_epi64(wide.byType[kUp], SumOfMagnitudes(_mm_sub_epi8(x, b)));
        if (kSet != kNoneSubUp)
            wide.byType[kAverage] =
                _mm_add_epi64(wide.byType[kAverage], SumOfMagnitudes(_mm_sub_epi8(x, AverageDown(a, b))));
        if (kSet == kEveryFilter) {
            const __m128i c = Load(previous + i - pixelBytes);
            wide.byType[kPaeth] =
                _mm_add_epi64(wide.byType[kPaeth], SumOfMagnitudes(_mm_sub_epi8(x, PaethPredictor8(a, b, c))));
        }
    }
    for (int type = 0; type < kRowFilterTypes; ++type) sums->byType[type] += AddLanes(wide.byType[type]);
    return i;
}

#else

template <RowFilterSet>
size_t SumWide(const uint8_t *, const uint8_t *, size_t from, size_t, size_t, RowFilterSums *) {
    return from;
}

#endif

template <RowFilterSet kSet>
RowFilterSums Sum(const uint8_t *row, const uint8_t *previous, size_t rowBytes, size_t pixelBytes) {
    RowFilterSums sums{};
    // The first pixel has no left neighbour: a and c count as zero.
    const size_t first = pixelBytes < rowBytes ? pixelBytes : rowBytes;
    for (size_t i = 0; i < first; ++i) AddByte<kSet>(row[i], 0, previous[i], 0, &sums);
    size_t i = SumWide<kSet>(row, previous, first, rowBytes, pixelBytes, &sums);
    for (; i < rowBytes; ++i) AddByte<kSet>(row[i], row[i - pixelBytes], previous[i], previous[i - pixelBytes], &sums);
    return sums;
}

}  // namespace

RowFilterSums SumRowFilters(const uint8_t *row, const uint8_t *previous, size_t rowBytes, size_t pixelBytes,
                            RowFilterSet set) {
    switch (set) {
        case kNoneSubUp: return Sum<kNoneSubUp>(row, previous, rowBytes, pixelBytes);
        case kNoneSubUpAverage: return Sum<kNoneSubUpAverage>(row, previous, rowBytes, pixelBytes);
        default: return Sum<kEveryFilter>(row, previous, rowBytes, pixelBytes);
    }
}
