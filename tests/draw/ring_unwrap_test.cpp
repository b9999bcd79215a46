// The ring unwrap on plain planes: every pixel against the plain double-precision computation,
// chosen points worked out by hand, and the tables kept from call to call.
#include <gtest/gtest.h>

#include <vector>

#include "draw/ring_unwrap.h"
#include "ring_unwrap_reference.h"

namespace {

struct Unwrapped {
  std::vector<int> pixels;
  int width, height;
};

Unwrapped Unwrap(std::vector<int>& frame, int width, int height, const RingCase& ring, int W,
                 int H) {
  Unwrapped out = {std::vector<int>((size_t)W * H, 0x12345678), W, H};
  const RingPlane source = {frame.data(), width, height, width};
  const RingPlane target = {out.pixels.data(), W, H, W};
  const RingParams params = {ring.x0,          ring.y0,    ring.innerRadius, ring.outerRadius,
                             ring.angleOffset, ring.smooth};
  UnwrapRingPlanes(&source, &target, &params);
  return out;
}

// The index of the first pixel that differs, or -1.
int FirstDifference(const std::vector<int>& a, const std::vector<int>& b) {
  if (a.size() != b.size()) return 0;
  for (size_t i = 0; i < a.size(); i++)
    if (a[i] != b[i]) return (int)i;
  return -1;
}

void ExpectWholeTarget(std::vector<int>& frame, int width, int height, const RingCase& ring,
                       int W, int H) {
  const Unwrapped got = Unwrap(frame, width, height, ring, W, H);
  const std::vector<int> want = ReferenceTarget(frame, width, height, ring, W, H);
  const int at = FirstDifference(got.pixels, want);
  EXPECT_EQ(-1, at) << "column " << at % W << " row " << at / W << ": got " << std::hex
                    << got.pixels[at < 0 ? 0 : at] << ", want " << want[at < 0 ? 0 : at];
}

// Small and medium frames; rings inside, crossing the edges, centred off the frame, inner radius
// 0, a ring of whole-pixel steps that makes ties at exact halves, and odd angles.
const RingCase Rings[] = {
    {20, 15, 0, 14, 0.0, 0},       {20, 15, 3, 25, 0.3, 0},     {-5, 40, 10, 60, -2.0, 0},
    {160, 120, 40, 120, 1.0, 0},   {100, 100, 0, 200, 3.7, 0},  {160, 120, 0, 10, 0.0, 0},
};
const int Sizes[][4] = {{40, 30, 64, 16}, {320, 240, 360, 60}, {41, 33, 7, 21}};

}  // namespace

TEST(RingUnwrapPlanes, NearestEqualsDoubleReferenceEverywhere) {
  for (const auto& size : Sizes) {
    std::vector<int> frame = SeededFrame(size[0], size[1], 11);
    for (RingCase ring : Rings) {
      SCOPED_TRACE(testing::Message() << size[0] << "x" << size[1] << " centre " << ring.x0);
      ExpectWholeTarget(frame, size[0], size[1], ring, size[2], size[3]);
    }
  }
}

TEST(RingUnwrapPlanes, BilinearEqualsDoubleReferenceEverywhere) {
  for (const auto& size : Sizes) {
    std::vector<int> frame = SeededFrame(size[0], size[1], 12);
    for (RingCase ring : Rings) {
      ring.smooth = 1;
      SCOPED_TRACE(testing::Message() << size[0] << "x" << size[1] << " centre " << ring.x0);
      ExpectWholeTarget(frame, size[0], size[1], ring, size[2], size[3]);
    }
  }
}

// Channels 0..3 only: every blend of two whole neighbours at a half lands on a tie.
TEST(RingUnwrapPlanes, BilinearTiesAtHalvesRoundUp) {
  std::vector<int> frame(64 * 64);
  Random random(13);
  for (int& pixel : frame) pixel = random.Below(4) * 0x010101 + random.Below(2) * 0x010000;
  // Radii in half steps, angles on the axes at columns 0, W/4, W/2, 3W/4.
  const RingCase ring = {32, 32, 0, 20, 0.0, 1};
  ExpectWholeTarget(frame, 64, 64, ring, 16, 41);
  const Unwrapped got = Unwrap(frame, 64, 64, ring, 16, 41);
  // Row 1, column W / 2: radius 19.5 at angle pi lies halfway between (12, 32) and (13, 32).
  const int a = frame[32 * 64 + 12], b = frame[32 * 64 + 13];
  int want = 0;
  for (int shift = 0; shift < 24; shift += 8)
    want |= ((((a >> shift) & 255) + ((b >> shift) & 255) + 1) / 2) << shift;
  EXPECT_EQ(want, got.pixels[16 * 1 + 8]);
}

TEST(RingUnwrapPlanes, InnerRadiusZeroEndsAtTheCentre) {
  std::vector<int> frame = SeededFrame(50, 40, 14);
  frame[17 * 50 + 23] = (int)0xFF00C0DE;
  for (int smooth = 0; smooth <= 1; smooth++) {
    const Unwrapped got = Unwrap(frame, 50, 40, {23, 17, 0, 15, 0.4, smooth}, 24, 8);
    for (int c = 0; c < 24; c++) EXPECT_EQ(0x00C0DE, got.pixels[7 * 24 + c]) << c;
  }
}

TEST(RingUnwrapPlanes, RimAndSeamColumnsReadTheirAngles) {
  std::vector<int> frame = SeededFrame(50, 40, 15);
  auto at = [&](int x, int y) { return frame[y * 50 + x] & 0xFFFFFF; };
  const Unwrapped got = Unwrap(frame, 50, 40, {25, 20, 2, 10, 0.0, 0}, 8, 5);
  EXPECT_EQ(at(35, 20), got.pixels[0]);          // c = 0: angle 2 pi, the rim to the right
  EXPECT_EQ(at(32, 27), got.pixels[7]);          // c = W - 1: angle pi / 4, (7.07, 7.07) away
  EXPECT_EQ(at(25, 10), got.pixels[2]);          // c = W / 4: angle 3 pi / 2, straight up
  EXPECT_EQ(at(15, 20), got.pixels[4]);          // c = W / 2: angle pi, to the left
  EXPECT_EQ(at(27, 20), got.pixels[4 * 8 + 0]);  // last row: the inner radius, 2
  // With an offset of a quarter turn the seam moves with it.
  const Unwrapped turned = Unwrap(frame, 50, 40, {25, 20, 2, 10, 3.14159265358979 / 2, 0}, 8, 5);
  EXPECT_EQ(at(25, 30), turned.pixels[0]);
}

TEST(RingUnwrapPlanes, OneRowReadsTheOuterRadius) {
  std::vector<int> frame = SeededFrame(50, 40, 16);
  const Unwrapped wide = Unwrap(frame, 50, 40, {25, 20, 0, 12, 0.0, 0}, 4, 1);
  const Unwrapped narrow = Unwrap(frame, 50, 40, {25, 20, 12, 12, 0.0, 0}, 4, 1);
  EXPECT_EQ(frame[20 * 50 + 37] & 0xFFFFFF, wide.pixels[0]);
  EXPECT_EQ(frame[8 * 50 + 25] & 0xFFFFFF, wide.pixels[1]);
  EXPECT_EQ(narrow.pixels, wide.pixels);
  ExpectWholeTarget(frame, 50, 40, {25, 20, 3, 12, 0.1, 1}, 30, 1);
}

TEST(RingUnwrapPlanes, OutsideIsBlackWhenNearestAndBlendsWithBlackWhenSmooth) {
  std::vector<int> frame(20 * 10, (int)0xFFFFFFFF);
  frame[5 * 20 + 0] = (int)0x80FF4020;
  // Column 2 of 4 looks left (angle pi); row 1 of 3 has radius 3.5: the point (-0.5, 5).
  const Unwrapped nearest = Unwrap(frame, 20, 10, {3, 5, 3, 4, 0.0, 0}, 4, 3);
  EXPECT_EQ(0, nearest.pixels[0 * 4 + 2]);           // (-1, 5)
  EXPECT_EQ(0x00FF4020, nearest.pixels[1 * 4 + 2]);  // (-0.5, 5) rounds to (0, 5)
  const Unwrapped smooth = Unwrap(frame, 20, 10, {3, 5, 3, 4, 0.0, 1}, 4, 3);
  EXPECT_EQ(0x802010, smooth.pixels[1 * 4 + 2]);  // half of each channel, halves up
  EXPECT_EQ(0, smooth.pixels[0 * 4 + 2]);         // (-1, 5): its right neighbour weighs 0
  // A centre far off the frame: nothing but black.
  const Unwrapped away = Unwrap(frame, 20, 10, {500, 500, 0, 30, 0.0, 1}, 16, 4);
  EXPECT_EQ(std::vector<int>(16 * 4, 0), away.pixels);
}

TEST(RingUnwrapPlanes, PointsThatAreNotNumbersAreBlack) {
  std::vector<int> frame = SeededFrame(20, 20, 17);
  for (int smooth = 0; smooth <= 1; smooth++) {
    const Unwrapped got = Unwrap(frame, 20, 20, {10, 10, 0, 5, NAN, smooth}, 8, 4);
    EXPECT_EQ(std::vector<int>(8 * 4, 0), got.pixels);
    const Unwrapped far = Unwrap(frame, 20, 20, {10, 10, 0, 5, INFINITY, smooth}, 8, 4);
    EXPECT_EQ(std::vector<int>(8 * 4, 0), far.pixels);
  }
}

TEST(RingUnwrapPlanes, TablesFollowEveryChangeAndOnlyThose) {
  std::vector<int> frame = SeededFrame(120, 90, 18);
  const RingCase first = {60, 45, 5, 40, 0.2, 1}, turned = {60, 45, 5, 40, 0.3, 1},
                 grown = {60, 45, 5, 41, 0.3, 1}, nearest = {60, 45, 5, 41, 0.3, 0};
  ExpectWholeTarget(frame, 120, 90, first, 90, 20);
  const int built = ringTables.rebuilds;
  ExpectWholeTarget(frame, 120, 90, first, 90, 20);
  EXPECT_EQ(built, ringTables.rebuilds);
  ExpectWholeTarget(frame, 120, 90, turned, 90, 20);
  ExpectWholeTarget(frame, 120, 90, grown, 90, 20);
  ExpectWholeTarget(frame, 120, 90, nearest, 90, 20);
  ExpectWholeTarget(frame, 120, 90, nearest, 91, 20);  // another target size
  ExpectWholeTarget(frame, 100, 90, nearest, 91, 20);  // another source size
  EXPECT_EQ(built + 5, ringTables.rebuilds);
  ExpectWholeTarget(frame, 120, 90, first, 90, 20);
  EXPECT_EQ(built + 6, ringTables.rebuilds);
  // New pixels under the same parameters are read anew.
  frame = SeededFrame(120, 90, 19);
  ExpectWholeTarget(frame, 120, 90, first, 90, 20);
  EXPECT_EQ(built + 6, ringTables.rebuilds);
}
