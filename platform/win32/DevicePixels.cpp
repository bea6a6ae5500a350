#include "platform/win32/DevicePixels.h"

#include <cstring>
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define NORVALE_SSE2 1
#endif

namespace norvale {

std::uint32_t Blend(std::uint32_t d, std::uint32_t c, std::uint32_t a) {
    const std::uint32_t b = 255 - a;
    auto div255 = [](std::uint32_t t) { return ((t + ((t >> 8) & 0x00FF00FFu) + 0x00800080u) >> 8) & 0x00FF00FFu; };
    const std::uint32_t rb = div255((d & 0x00FF00FFu) * b + (c & 0x00FF00FFu) * a);
    const std::uint32_t g = div255(((d >> 8) & 0x000000FFu) * b + ((c >> 8) & 0x000000FFu) * a);
    return rb | (g << 8);
}

void BlendBox(std::uint32_t* origin, std::ptrdiff_t stride, const DeviceGlyph& g, std::uint32_t pixel) {
#ifdef NORVALE_SSE2
    const __m128i zero = _mm_setzero_si128();
    const __m128i colour = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(pixel)), zero);
    const __m128i k255 = _mm_set1_epi16(255);
    const __m128i k128 = _mm_set1_epi16(128);
    auto blend2 = [&](__m128i d, __m128i a) {
        const __m128i t = _mm_add_epi16(_mm_mullo_epi16(d, _mm_sub_epi16(k255, a)), _mm_mullo_epi16(colour, a));
        return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), k128), 8);
    };
    // Already all in the text's colour (the white shadow on a white band): nothing would change.
    const __m128i all = _mm_set1_epi32(static_cast<int>(pixel));
    bool same = true;
    for (int row = 0; row < g.height && same; ++row) {
        const std::uint32_t* p = origin + (g.top + row) * stride + g.left;
        for (int x = 0; x < g.width; x += 4) {
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x));
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(d, all)) != 0xFFFF) {
                same = false;
                break;
            }
        }
    }
    if (same) return;
    for (int row = 0; row < g.height; ++row) {
        std::uint32_t* p = origin + (g.top + row) * stride + g.left;
        const std::uint8_t* a = g.alpha.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(g.width);
        for (int x = 0; x < g.width; x += 4) {
            std::uint32_t a4 = 0;
            std::memcpy(&a4, a + x, 4);
            if (a4 == 0) continue;  // four pixels without coverage
            // Each pixel's coverage once per channel: a0 a0 a0 a0 a1 a1 a1 a1 | a2 ... a3.
            const __m128i a16 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(a4)), zero);
            const __m128i pairs = _mm_unpacklo_epi16(a16, a16);
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x));
            const __m128i lo = blend2(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi32(pairs, pairs));
            const __m128i hi = blend2(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi32(pairs, pairs));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(p + x), _mm_packus_epi16(lo, hi));
        }
    }
#else
    for (int row = 0; row < g.height; ++row) {
        std::uint32_t* p = origin + (g.top + row) * stride + g.left;
        const std::uint8_t* a = g.alpha.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(g.width);
        for (int x = 0; x < g.width; ++x) {
            if (a[x] != 0 && p[x] != pixel) p[x] = Blend(p[x], pixel, a[x]);
        }
    }
#endif
}

void FillRow(std::uint32_t* p, std::size_t n, std::uint32_t pixel) {
    std::size_t k = 0;
#ifdef NORVALE_SSE2
    const __m128i four = _mm_set1_epi32(static_cast<int>(pixel));
    for (; k + 4 <= n; k += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + k), four);
#endif
    for (; k < n; ++k) p[k] = pixel;
}

}  // namespace norvale
