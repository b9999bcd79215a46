// A ring that lies inside the source, written without walking its rays one by one: eight
// neighbouring columns at a time go down their rows together, each carrying its ray's two
// counters from row to row, the sample i = k length / r and the minor steps m = (2 minor i +
// length - 1) / (2 length), as remainders instead of divisions. Both grow by at most one a row,
// since no ray is longer than r, so a row costs a few additions and comparisons on eight lanes
// of 16 bits and one read per pixel. The same walk gives a table's offsets. Pure; one thread at
// a time (the scratch tables are shared).
#include <stddef.h>
#include <stdint.h>

#include "app/strip_table.h"

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
#include <emmintrin.h>
#define KRV_ROW_WALK_SSE2 1
#endif

namespace {

enum { Lanes = 8, MaxSteps = 32767 };

RayShape shapes[StripTableRays];

// The eight columns' rays as the walk needs them, lane by lane; unused lanes hold rays without
// steps, which stay on the centre.
struct alignas(16) Group {
  int16_t length[Lanes], twiceMinor[Lanes], twiceLength[Lanes], twiceLengthLess1[Lanes];
  int16_t steps[2 * Lanes];  // per lane: the offset of a major step, then of a minor step
};

// Where the walk of one group puts what it finds: the strip's pixels, or a table's offsets.
struct GroupSink {
  const int* centre;       // source pixel at the ring's centre
  int centreOffset;        // its offset in the source
  int* row0;               // target pixel of the group's first column in the strip's bottom row
  ptrdiff_t rowStep;       // from one row of the strip to the next one up
  int firstRow, lastRow;   // the k of the rows written, both included
  const int* tableSlot;    // table mode: per k, where the row's offsets start, or -1
  int* offsets;            // table mode: the table's offsets, NULL to write pixels
};

inline void Deliver(const GroupSink& sink, int k, const int* off, int n) {
  if (sink.offsets) {
    int slot = sink.tableSlot[k];
    if (slot < 0) return;
    for (int q = 0; q < n; q++) sink.offsets[slot + q] = sink.centreOffset + off[q];
    return;
  }
  int* out = sink.row0 + k * sink.rowStep;
  const int* centre = sink.centre;
  if (n == Lanes) {
    out[0] = centre[off[0]], out[1] = centre[off[1]], out[2] = centre[off[2]];
    out[3] = centre[off[3]], out[4] = centre[off[4]], out[5] = centre[off[5]];
    out[6] = centre[off[6]], out[7] = centre[off[7]];
    return;
  }
  for (int q = 0; q < n; q++) out[q] = centre[off[q]];
}

#ifdef KRV_ROW_WALK_SSE2
void WalkGroup(const Group& g, int r, int n, const GroupSink& sink) {
  const __m128i length = _mm_load_si128((const __m128i*)g.length);
  const __m128i twiceMinor = _mm_load_si128((const __m128i*)g.twiceMinor);
  const __m128i twiceLength = _mm_load_si128((const __m128i*)g.twiceLength);
  const __m128i twiceLengthLess1 = _mm_load_si128((const __m128i*)g.twiceLengthLess1);
  const __m128i stepsLow = _mm_load_si128((const __m128i*)g.steps);
  const __m128i stepsHigh = _mm_load_si128((const __m128i*)(g.steps + Lanes));
  const __m128i radius = _mm_set1_epi16((short)r), radiusLess1 = _mm_set1_epi16((short)(r - 1));
  __m128i sampleRest = _mm_setzero_si128(), i = _mm_setzero_si128(), m = _mm_setzero_si128();
  __m128i minorRest = _mm_sub_epi16(length, _mm_set1_epi16(1));
  alignas(16) int off[Lanes];
  for (int k = 0; k <= sink.lastRow; k++) {
    if (k >= sink.firstRow) {
      // i * majorStep + m * minorStep, lane by lane, in 32 bits.
      _mm_store_si128((__m128i*)off, _mm_madd_epi16(_mm_unpacklo_epi16(i, m), stepsLow));
      _mm_store_si128((__m128i*)(off + 4), _mm_madd_epi16(_mm_unpackhi_epi16(i, m), stepsHigh));
      Deliver(sink, k, off, n);
    }
    sampleRest = _mm_add_epi16(sampleRest, length);
    __m128i stepped = _mm_cmpgt_epi16(sampleRest, radiusLess1);
    sampleRest = _mm_sub_epi16(sampleRest, _mm_and_si128(stepped, radius));
    i = _mm_sub_epi16(i, stepped);
    minorRest = _mm_add_epi16(minorRest, _mm_and_si128(stepped, twiceMinor));
    __m128i across = _mm_cmpgt_epi16(minorRest, twiceLengthLess1);
    minorRest = _mm_sub_epi16(minorRest, _mm_and_si128(across, twiceLength));
    m = _mm_sub_epi16(m, across);
  }
}
#else
void WalkGroup(const Group& g, int r, int n, const GroupSink& sink) {
  int sampleRest[Lanes] = {}, minorRest[Lanes], i[Lanes] = {}, m[Lanes] = {}, off[Lanes];
  for (int q = 0; q < Lanes; q++) minorRest[q] = g.length[q] - 1;
  for (int k = 0; k <= sink.lastRow; k++) {
    if (k >= sink.firstRow) {
      for (int q = 0; q < Lanes; q++) off[q] = i[q] * g.steps[2 * q] + m[q] * g.steps[2 * q + 1];
      Deliver(sink, k, off, n);
    }
    for (int q = 0; q < Lanes; q++) {
      sampleRest[q] += g.length[q];
      if (sampleRest[q] < r) continue;
      sampleRest[q] -= r;
      i[q]++;
      minorRest[q] += g.twiceMinor[q];
      if (minorRest[q] < g.twiceLength[q]) continue;
      minorRest[q] -= g.twiceLength[q];
      m[q]++;
    }
  }
}
#endif

void MakeGroup(const RayShape* rays, int firstRay, int n, int stride, Group* g) {
  for (int q = 0; q < Lanes; q++) {
    const RayShape* s = q < n ? &rays[firstRay - q] : NULL;  // column c + q takes ray first - q
    int length = s ? s->length : 0, minor = s ? s->minor : 0;
    g->length[q] = (int16_t)length;
    g->twiceMinor[q] = (int16_t)(2 * minor);
    g->twiceLength[q] = (int16_t)(2 * length);
    g->twiceLengthLess1[q] = (int16_t)(2 * length - 1);
    g->steps[2 * q] = (int16_t)(s ? s->majorY * stride + s->majorX : 0);
    g->steps[2 * q + 1] = (int16_t)(s ? s->minorY * stride + s->minorX : 0);
  }
}

// Where each target row's offsets go in the table: rows in target order, one run of the
// columns 1..lastColumn each, a row shared by both half strips kept by the second.
int rowSlots[2][RaySampleCount];

bool LayOutTable(StripTable* table, const RayPlan& plan, int r, const PixelPlane* target) {
  for (int s = 0; s < plan.strips; s++)
    for (int k = 0; k < r; k++) rowSlots[s][k] = -1;
  table->runCount = table->offsetCount = 0;
  for (int y = 0; y < target->height; y++) {
    int s = StripOfRow(plan, r, y);
    if (s < 0) continue;
    if (table->runCount == StripTableRuns ||
        table->offsetCount + plan.lastColumn > StripTablePixels)
      return false;
    StripRun& run = table->runs[table->runCount++];
    run.start = y * target->stride + 1;
    run.count = plan.lastColumn;
    run.zero = 0;
    rowSlots[s][plan.bottom[s] - y] = table->offsetCount;
    table->offsetCount += plan.lastColumn;
  }
  return true;
}

void WalkStrips(const RingGeometry* ring, const RayPlan& plan, int r, const PixelPlane* source,
                const PixelPlane* target, StripTable* table) {
  const int centreOffset = ring->Y0 * source->stride + ring->X0;
  for (int s = 0; s < plan.strips; s++) {
    const int bottom = plan.bottom[s];
    GroupSink sink;
    sink.centre = source->pixels + centreOffset;
    sink.centreOffset = centreOffset;
    sink.rowStep = -(ptrdiff_t)target->stride;
    // Rows below the target are walked but not written; the walk ends at its top row.
    sink.firstRow = bottom >= target->height ? bottom - (target->height - 1) : 0;
    sink.lastRow = bottom < r - 1 ? bottom : r - 1;
    sink.tableSlot = rowSlots[s];
    sink.offsets = table ? table->offsets : NULL;
    if (sink.firstRow > sink.lastRow) continue;
    const int first = s * plan.perStrip + plan.perStrip;  // ray first - c writes column c
    for (int c = 1; c <= plan.lastColumn; c += Lanes) {
      int n = plan.lastColumn - c + 1 < Lanes ? plan.lastColumn - c + 1 : Lanes;
      Group g;
      MakeGroup(shapes, first - c, n, source->stride, &g);
      sink.row0 = target->pixels + (ptrdiff_t)bottom * target->stride + c;
      if (table) sink.offsets = table->offsets + (c - 1);  // column c's offset: row slot + c - 1
      WalkGroup(g, r, n, sink);
    }
  }
}

}  // namespace

bool WalkRows(const RingGeometry* ring, int layout, const PixelPlane* source,
              const PixelPlane* target, RayState* ray, StripTable* table) {
  const int r = StripRadius(ring->r);
  RayPlan plan = PlanRays(ring, layout, r, target);
  if (r <= 0 || plan.count == 0 || plan.lastColumn < 1 || source->stride > MaxSteps) return false;
  double theta = 0.0;
  if (!ShapeRays(ring, layout, r, plan, source, shapes, &theta)) return false;
  for (int i = 0; i < plan.count; i++)
    if (!shapes[i].inside) return false;
  if (!table) {
    WalkStrips(ring, plan, r, source, target, NULL);
    WalkTail(ring, plan, shapes, source, false, ray->raySamples);
    ray->currentAngle = theta;
    ray->rayLength = shapes[plan.count - 1].length;
    return true;
  }
  table->valid = 0;
  if (!LayOutTable(table, plan, r, target)) return false;
  table->rebuilds++;
  WalkStrips(ring, plan, r, source, target, table);
  table->rays = plan.count;
  table->lastAngle = theta;
  table->lastLength = shapes[plan.count - 1].length;
  table->tailLength = WalkTail(ring, plan, shapes, source, true, table->tail);
  table->key = KeyOf(ring, layout, source, target);
  table->valid = 1;
  return true;
}
