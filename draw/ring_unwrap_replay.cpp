// The ring unwrap replayed from its tables: a masked gather for the nearest pixel, a blend of
// four channels at once in integers on rounded weights for the bilinear one, each pixel whose
// rounding those cannot settle done again in double. Worker thread.
#include <emmintrin.h>
#include <math.h>
#include <string.h>

#include "draw/ring_unwrap.h"

// The blend on weights rounded to 2^-23 is within 255 x 2 x 2^-23 (6.1e-5) of the exact one; a
// channel whose value lies closer than this margin to a half is rounded in double instead.
static const double RoundingMargin = 1.0 / 4096;

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

// The blend of one entry, per channel (lane), in units of 2^-23: exact integer arithmetic on
// the rounded weights. The two rows are interleaved so that each 16-bit pair holds a column's
// top and bottom neighbour, which one multiply-add weighs together.
static inline __m128i Blend(const int* from, int stride, const BlendEntry* entry) {
  const int* p = from + entry->base;
  const __m128i zero = _mm_setzero_si128();
  const __m128i rows = _mm_unpacklo_epi8(_mm_loadl_epi64((const __m128i*)p),
                                         _mm_loadl_epi64((const __m128i*)(p + stride)));
  const __m128i left = _mm_unpacklo_epi8(rows, zero), right = _mm_unpackhi_epi8(rows, zero);
  const __m128i weights = _mm_loadu_si128((const __m128i*)entry);
  const __m128i low = _mm_unpacklo_epi8(weights, zero);
  const __m128i high = _mm_add_epi32(_mm_madd_epi16(left, _mm_shuffle_epi32(weights, 0xAA)),
                                     _mm_madd_epi16(right, _mm_shuffle_epi32(weights, 0xFF)));
  const __m128i rest = _mm_add_epi32(_mm_madd_epi16(left, _mm_shuffle_epi32(low, 0xAA)),
                                     _mm_madd_epi16(right, _mm_shuffle_epi32(low, 0xFF)));
  return _mm_add_epi32(_mm_slli_epi32(high, 8), rest);
}

// Rounded to the nearest whole number.
static inline __m128i Whole(__m128i value) {
  return _mm_srli_epi32(_mm_add_epi32(value, _mm_set1_epi32(BlendScale / 2)), 23);
}

// Lanes whose fraction lies within the margin of a half. Lane 3, the top byte, is never
// written: its limit, 0, cannot be passed.
static inline __m128i Unsure(__m128i value) {
  const int margin = (int)(BlendScale * RoundingMargin);
  const __m128i fraction = _mm_and_si128(_mm_sub_epi32(value, _mm_set1_epi32(BlendScale / 2 - margin)),
                                         _mm_set1_epi32(BlendScale - 1));
  return _mm_cmplt_epi32(fraction, _mm_setr_epi32(2 * margin, 2 * margin, 2 * margin, 0));
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
      const __m128i first = Blend(from, stride, entry + c);
      const __m128i second = Blend(from, stride, entry + c + 1);
      const __m128i words = _mm_packs_epi32(Whole(first), Whole(second));
      _mm_storel_epi64((__m128i*)(row + c), _mm_and_si128(_mm_packus_epi16(words, words), low24));
      const __m128i unsureFirst = Unsure(first), unsureSecond = Unsure(second);
      if (_mm_movemask_epi8(_mm_or_si128(unsureFirst, unsureSecond))) {
        if (_mm_movemask_epi8(unsureFirst)) row[c] = ExactRingPixel(source, c, y);
        if (_mm_movemask_epi8(unsureSecond)) row[c + 1] = ExactRingPixel(source, c + 1, y);
      }
    }
    if (c < width) {
      const __m128i value = Blend(from, stride, entry + c);
      row[c] = _mm_movemask_epi8(Unsure(value)) ? ExactRingPixel(source, c, y) : Packed(Whole(value));
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
