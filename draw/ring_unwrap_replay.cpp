// The ring unwrap replayed from its tables: a masked gather for the nearest pixel, a blend of
// four channels at once in single precision for the bilinear one, each pixel whose rounding
// single precision cannot settle done again in double. Worker thread.
#include <emmintrin.h>
#include <math.h>
#include <string.h>

#include "draw/ring_unwrap.h"

// The single-precision blend is within 1e-4 of the double one (fractions rounded to float, a
// handful of roundings of values up to 255); a channel whose value lies closer than this to a
// half is rounded in double instead.
static const float RoundingMargin = 1.0f / 4096;

static RingKey KeyOf(const RingPlane* source, const RingPlane* target, const RingParams* ring) {
  RingKey key;
  memset(&key, 0, sizeof key);
  key.angleOffset = ring->angleOffset;
  key.x0 = ring->x0;
  key.y0 = ring->y0;
  key.innerRadius = ring->innerRadius;
  key.outerRadius = ring->outerRadius;
  key.smooth = ring->smooth != 0;
  key.sourceWidth = source->width;
  key.sourceHeight = source->height;
  key.sourceStride = source->stride;
  key.targetWidth = target->width;
  key.targetHeight = target->height;
  return key;
}

// Without memory for the tables: every pixel straight from its sample point.
static void SampleDirectly(const RingPlane* source, const RingPlane* target,
                           const RingParams* ring) {
  for (int c = 0; c < target->width; c++) {
    const double theta = RingAngle(ring->angleOffset, c, target->width);
    const double cosine = cos(theta), sine = sin(theta);
    for (int y = 0; y < target->height; y++) {
      const double rho = RingRadius(ring->innerRadius, ring->outerRadius, y, target->height);
      const double x = ring->x0 + rho * cosine, v = ring->y0 + rho * sine;
      target->pixels[(size_t)y * target->stride + c] =
          ring->smooth ? BilinearSample(source, x, v) : NearestSample(source, x, v);
    }
  }
}

// Outside points hold -1: the arithmetic shift turns that into a mask that reads pixel 0 and
// writes black, without a branch.
static void ReplayNearest(const RingPlane* source, const RingPlane* target) {
  const int* from = source->pixels;
  const int* entry = ringTables.nearest;
  for (int y = 0; y < target->height; y++, entry += target->width) {
    int* row = target->pixels + (size_t)y * target->stride;
    for (int c = 0; c < target->width; c++) {
      const int offset = entry[c], outside = offset >> 31;
      row[c] = from[offset & ~outside] & (~outside & 0xFFFFFF);
    }
  }
}

// Two neighbouring pixels as 4 + 4 floats, one channel per lane.
static inline void LoadPair(const int* p, __m128* first, __m128* second) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i words = _mm_unpacklo_epi8(_mm_loadl_epi64((const __m128i*)p), zero);
  *first = _mm_cvtepi32_ps(_mm_unpacklo_epi16(words, zero));
  *second = _mm_cvtepi32_ps(_mm_unpackhi_epi16(words, zero));
}

// The blend of one entry, per channel.
static inline __m128 Blend(const int* from, int stride, const BlendEntry* entry) {
  const int* p = from + entry->base;
  __m128 p00, p10, p01, p11;
  LoadPair(p, &p00, &p10);
  LoadPair(p + stride, &p01, &p11);
  const __m128 fx = _mm_set1_ps(entry->fx), fy = _mm_set1_ps(entry->fy);
  const __m128 upper = _mm_add_ps(p00, _mm_mul_ps(fx, _mm_sub_ps(p10, p00)));
  const __m128 lower = _mm_add_ps(p01, _mm_mul_ps(fx, _mm_sub_ps(p11, p01)));
  return _mm_add_ps(upper, _mm_mul_ps(fy, _mm_sub_ps(lower, upper)));
}

// Lanes whose value lies further than a half less the margin from the whole number it was
// rounded to: the rounding is then not settled (or, under a rounding mode other than nearest,
// not even right). Lane 3, the top byte, is never written: its limit cannot be passed.
static inline __m128 Unsure(__m128 value, __m128i whole) {
  const __m128 distance = _mm_andnot_ps(_mm_set1_ps(-0.0f), _mm_sub_ps(value, _mm_cvtepi32_ps(whole)));
  const float limit = 0.5f - RoundingMargin;
  return _mm_cmpgt_ps(distance, _mm_setr_ps(limit, limit, limit, 1e30f));
}

static inline int Packed(__m128i whole) {
  const __m128i words = _mm_packs_epi32(whole, whole);
  return _mm_cvtsi128_si32(_mm_packus_epi16(words, words)) & 0xFFFFFF;
}

// Two target pixels per step, packed and stored together; one that is unsure is done again in
// double.
static void ReplayBlend(const RingPlane* source, const RingPlane* target) {
  const int* from = source->pixels;
  const int stride = source->stride, width = target->width;
  const BlendEntry* entry = ringTables.blend;
  const __m128i low24 = _mm_set1_epi32(0xFFFFFF);
  for (int y = 0; y < target->height; y++, entry += width) {
    int* row = target->pixels + (size_t)y * target->stride;
    int c = 0;
    for (; c + 1 < width; c += 2) {
      const __m128 first = Blend(from, stride, entry + c);
      const __m128 second = Blend(from, stride, entry + c + 1);
      const __m128i a = _mm_cvtps_epi32(first), b = _mm_cvtps_epi32(second);
      const __m128i words = _mm_packs_epi32(a, b);
      _mm_storel_epi64((__m128i*)(row + c), _mm_and_si128(_mm_packus_epi16(words, words), low24));
      const __m128 unsureFirst = Unsure(first, a), unsureSecond = Unsure(second, b);
      if (_mm_movemask_ps(_mm_or_ps(unsureFirst, unsureSecond))) {
        if (_mm_movemask_ps(unsureFirst)) row[c] = ExactRingPixel(source, c, y);
        if (_mm_movemask_ps(unsureSecond)) row[c + 1] = ExactRingPixel(source, c + 1, y);
      }
    }
    if (c < width) {
      const __m128 value = Blend(from, stride, entry + c);
      const __m128i whole = _mm_cvtps_epi32(value);
      row[c] = _mm_movemask_ps(Unsure(value, whole)) ? ExactRingPixel(source, c, y) : Packed(whole);
    }
  }
  for (int i = 0; i < ringTables.edgeCount; i++) {
    const int c = ringTables.edges[i] % width, y = ringTables.edges[i] / width;
    target->pixels[(size_t)y * target->stride + c] = ExactRingPixel(source, c, y);
  }
}

void UnwrapRingPlanes(const RingPlane* source, const RingPlane* target,
                      const RingParams* ring) {
  const RingKey key = KeyOf(source, target, ring);
  const bool same = ringTables.valid && memcmp(&key, &ringTables.key, sizeof key) == 0;
  if (!same && !BuildRingTables(&key)) {
    SampleDirectly(source, target, ring);
    return;
  }
  if (key.smooth)
    ReplayBlend(source, target);
  else
    ReplayNearest(source, target);
}
