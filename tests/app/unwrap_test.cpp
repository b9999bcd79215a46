// The unwrap core on plain pixel planes: end points, the ray walk, the column writer, the strip
// rows, and whole strips against a straightforward computation of every ray at both sizes.
#include <gtest/gtest.h>

#include <math.h>

#include <algorithm>
#include <vector>

#include "app/unwrap.h"
#include "support/seeded_random.h"

namespace {

struct Picture {
  int width, height;
  std::vector<int> pixels;
  Picture(int w, int h, int fill = 0) : width(w), height(h), pixels((size_t)w * h, fill) {}
  PixelPlane Plane() { return {pixels.data(), width, height, width}; }
  int At(int x, int y) const { return pixels[(size_t)y * width + x]; }
};

// Pixel values that tell every position apart: its number plus one.
Picture Numbered(int w, int h) {
  Picture picture(w, h);
  for (size_t i = 0; i < picture.pixels.size(); i++) picture.pixels[i] = (int)i + 1;
  return picture;
}

Picture PseudoRandom(int w, int h, unsigned seed) {
  Picture picture(w, h);
  Random random(seed);
  for (int& pixel : picture.pixels) pixel = (int)(random() & 0xFFFFFF);
  return picture;
}

TEST(RayEndPoint, RoundsHalfUpThenTruncatesTowardsZero) {
  int x1, y1;
  RayEndPoint(320, 240, 192, 0.0, &x1, &y1);
  EXPECT_EQ(512, x1);
  EXPECT_EQ(240, y1);
  RayEndPoint(320, 240, 192, 3.141592653589793, &x1, &y1);
  EXPECT_EQ(129, x1);  // -191.5 truncates to -191
  EXPECT_EQ(240, y1);
  RayEndPoint(160, 120, 96, 3.141592653589793, &x1, &y1);
  EXPECT_EQ(65, x1);
  EXPECT_EQ(120, y1);
  RayEndPoint(160, 120, 96, 3.141592653589793 / 2, &x1, &y1);  // down the screen
  EXPECT_EQ(160, x1);
  EXPECT_EQ(216, y1);
}

TEST(Constants, AreTheExactDoubles) {
  EXPECT_EQ(6.283185307179586, TwoPi);
  EXPECT_EQ(0.004908738521234052, HalfStripStep(640));
  EXPECT_EQ(0.009817477042468103, HalfStripStep(320));
}

// Hand-walked: (2,2) to (7,4) has spans 5 and 2, e starts at 1 and y steps when e < 0.
TEST(WalkRay, StepsTheMinorAxisWhenTheErrorIsNegative) {
  Picture picture = Numbered(16, 12);
  PixelPlane plane = picture.Plane();
  int samples[RaySampleCount];
  ASSERT_EQ(5, WalkRay(&plane, 2, 2, 7, 4, samples));
  const int points[][2] = {{2, 2}, {3, 2}, {4, 3}, {5, 3}, {6, 4}, {7, 4}};
  for (int i = 0; i <= 5; i++) EXPECT_EQ(picture.At(points[i][0], points[i][1]), samples[i]) << i;

  // The same ray mirrored: leftwards and upwards, y-major.
  ASSERT_EQ(5, WalkRay(&plane, 9, 9, 7, 4, samples));
  const int mirrored[][2] = {{9, 9}, {9, 8}, {8, 7}, {8, 6}, {7, 5}, {7, 4}};
  for (int i = 0; i <= 5; i++)
    EXPECT_EQ(picture.At(mirrored[i][0], mirrored[i][1]), samples[i]) << i;
}

TEST(WalkRay, EqualSpansWalkAlongXDiagonally) {
  Picture picture = Numbered(16, 12);
  PixelPlane plane = picture.Plane();
  int samples[RaySampleCount];
  ASSERT_EQ(3, WalkRay(&plane, 5, 5, 2, 8, samples));
  for (int i = 0; i <= 3; i++) EXPECT_EQ(picture.At(5 - i, 5 + i), samples[i]) << i;
  ASSERT_EQ(0, WalkRay(&plane, 5, 5, 5, 5, samples));
  EXPECT_EQ(picture.At(5, 5), samples[0]);
}

TEST(WalkRay, PointsOutsideReadBlack) {
  Picture picture(8, 8, 0x808080);
  PixelPlane plane = picture.Plane();
  int samples[RaySampleCount];
  ASSERT_EQ(6, WalkRay(&plane, 5, 2, 11, 2, samples));
  for (int i = 0; i <= 2; i++) EXPECT_EQ(0x808080, samples[i]) << i;
  for (int i = 3; i <= 6; i++) EXPECT_EQ(0, samples[i]) << i;
  ASSERT_EQ(4, WalkRay(&plane, -1, -1, 3, 3, samples));
  EXPECT_EQ(0, samples[0]);
  EXPECT_EQ(0x808080, samples[1]);
}

TEST(WalkRay, StopsWhenTheSamplesAreFull) {
  Picture picture(2000, 4, 7);
  PixelPlane plane = picture.Plane();
  std::vector<int> samples(RaySampleCount + 20, -5);
  EXPECT_EQ(MaxRingRadius, WalkRay(&plane, 0, 1, 1500, 2, samples.data()));
  EXPECT_EQ(7, samples[MaxRingRadius]);
  for (int i = RaySampleCount; i < RaySampleCount + 20; i++) EXPECT_EQ(-5, samples[i]) << i;
}

TEST(WriteColumn, MapsRowsToTheNearestLowerSample) {
  Picture target(4, 10, -1);
  PixelPlane plane = target.Plane();
  const int samples[] = {10, 11, 12, 13};
  WriteColumn(&plane, 2, 8, 5, samples, 3);  // (k * 3) / 5 for k = 0..4: 0 0 1 1 2
  const int expected[] = {10, 10, 11, 11, 12};
  for (int k = 0; k < 5; k++) EXPECT_EQ(expected[k], target.At(2, 8 - k)) << k;
  EXPECT_EQ(-1, target.At(2, 9));
  EXPECT_EQ(-1, target.At(2, 3));
  EXPECT_EQ(-1, target.At(1, 8));
  // Longer rays skip samples and never use the last one.
  WriteColumn(&plane, 1, 3, 2, samples, 3);  // (k * 3) / 2: 0 1
  EXPECT_EQ(10, target.At(1, 3));
  EXPECT_EQ(11, target.At(1, 2));
  EXPECT_EQ(-1, target.At(1, 1));
}

TEST(WriteColumn, WritesNothingForRadiusZeroOrOutsideTheTarget) {
  Picture target(4, 10, -1);
  PixelPlane plane = target.Plane();
  const int samples[] = {10, 11, 12, 13};
  WriteColumn(&plane, 2, 8, 0, samples, 0);
  WriteColumn(&plane, 2, 8, -3, samples, 3);
  WriteColumn(&plane, 4, 8, 3, samples, 3);
  WriteColumn(&plane, -1, 8, 3, samples, 3);
  WriteColumn(&plane, 0, 1, 4, samples, 3);  // rows 1 and 0 only
  for (int y = 0; y < 10; y++)
    for (int x = 0; x < 4; x++)
      if (!(x == 0 && y <= 1)) {
        EXPECT_EQ(-1, target.At(x, y)) << x << "," << y;
      }
  EXPECT_EQ(10, target.At(0, 1));
  EXPECT_EQ(10, target.At(0, 0));
}

// ---- Whole strips ----

struct StripRows {
  int first, last;
};

// Rows holding anything after unwrapping a white picture into a black one.
std::vector<StripRows> WrittenRows(int layout, int width, int height, int r) {
  Picture source(width, height, 0xFFFFFF), target(width, height, 0);
  target.pixels[(size_t)5 * width] = 0x123456;  // column 0 keeps what it had
  RingGeometry ring = {width / 2, height / 2, r, width, 0.0, width, height};
  PixelPlane from = source.Plane(), to = target.Plane();
  RayState ray;
  UnwrapStrip(&ring, layout, &from, &to, &ray);
  EXPECT_EQ(0x123456, target.At(0, 5));
  std::vector<StripRows> rows;
  for (int y = 0; y < height; y++) {
    bool inked = false;
    for (int x = 1; x < width; x++) inked |= target.At(x, y) != 0;
    for (int x = 1; x < width && inked; x++) EXPECT_EQ(0xFFFFFF, target.At(x, y)) << x << "," << y;
    if (!inked) continue;
    if (!rows.empty() && rows.back().last == y - 1)
      rows.back().last = y;
    else
      rows.push_back({y, y});
  }
  for (int y = 0; y < height; y++) EXPECT_EQ(y == 5 ? 0x123456 : 0, target.At(0, y)) << y;
  return rows;
}

void ExpectRows(const std::vector<StripRows>& rows, std::initializer_list<StripRows> expected) {
  ASSERT_EQ(expected.size(), rows.size());
  size_t i = 0;
  for (const StripRows& want : expected) {
    EXPECT_EQ(want.first, rows[i].first) << i;
    EXPECT_EQ(want.last, rows[i].last) << i;
    i++;
  }
}

TEST(Strips, OccupyTheirRowsAt640x480) {
  ExpectRows(WrittenRows(StripTop, 640, 480, 192), {{1, 192}});
  ExpectRows(WrittenRows(StripCentred, 640, 480, 192), {{145, 336}});
  ExpectRows(WrittenRows(StripHalves, 640, 480, 192), {{25, 216}, {265, 456}});
}

TEST(Strips, OccupyTheirRowsAt320x240) {
  ExpectRows(WrittenRows(StripTop, 320, 240, 96), {{1, 96}});
  ExpectRows(WrittenRows(StripCentred, 320, 240, 96), {{73, 168}});
  ExpectRows(WrittenRows(StripHalves, 320, 240, 96), {{13, 108}, {133, 228}});
}

TEST(Strips, RadiusZeroWritesNothing) {
  for (int layout : {StripTop, StripCentred, StripHalves}) {
    Picture source = PseudoRandom(640, 480, 3), target = PseudoRandom(640, 480, 4);
    const std::vector<int> before = target.pixels;
    RingGeometry ring = {320, 240, 0, 640, 0.0, 640, 480};
    PixelPlane from = source.Plane(), to = target.Plane();
    RayState ray;
    ray.rayLength = -1;
    UnwrapStrip(&ring, layout, &from, &to, &ray);
    EXPECT_TRUE(before == target.pixels) << layout;
    EXPECT_EQ(0, ray.rayLength);
  }
}

// The straightforward computation: every ray's points from the closed form of the walk (the
// minor axis has moved floor((2 minor i + major - 1) / (2 major)) after i steps), every pixel
// of every column looked up directly.
struct Reference {
  double lastAngle = 0;
  int lastLength = 0;
  std::vector<int> lastSamples;
};

int ReadOrBlack(const Picture& p, long long x, long long y) {
  return x >= 0 && y >= 0 && x < p.width && y < p.height ? p.At((int)x, (int)y) : 0;
}

void ReferenceRay(const Picture& source, Picture* target, int X0, int Y0, int r, double theta,
                  int c, int b, Reference* out) {
  int x1 = X0 + (int)trunc(r * cos(theta) + 0.5);
  int y1 = Y0 + (int)trunc(r * sin(theta) + 0.5);
  long long dx = x1 - X0, dy = y1 - Y0;
  long long major = std::max(llabs(dx), llabs(dy)), minor = std::min(llabs(dx), llabs(dy));
  bool yMajor = llabs(dy) > llabs(dx);
  std::vector<int> samples;
  for (long long i = 0; i <= major; i++) {
    long long side = major ? (2 * minor * i + major - 1) / (2 * major) : 0;
    long long x = yMajor ? X0 + (dx < 0 ? -side : side) : X0 + (dx < 0 ? -i : i);
    long long y = yMajor ? Y0 + (dy < 0 ? -i : i) : Y0 + (dy < 0 ? -side : side);
    samples.push_back(ReadOrBlack(source, x, y));
  }
  for (int k = 0; k < r; k++) {
    int row = b - k;
    if (c >= 0 && c < target->width && row >= 0 && row < target->height)
      target->pixels[(size_t)row * target->width + c] = samples[(size_t)(k * major / r)];
  }
  out->lastAngle = theta;
  out->lastLength = (int)major;
  out->lastSamples = samples;
}

void ReferenceStrip(const Picture& source, Picture* target, int layout, int X0, int Y0, int r,
                    double offset, Reference* out) {
  int w = source.width, h = source.height;
  if (layout == StripHalves) {
    double step = w == 640 ? 0.004908738521234052 : 0.009817477042468103;
    int b1 = r + (h / 2 - r) / 2;
    for (int j = 0; j < w; j++)
      ReferenceRay(source, target, X0, Y0, r, (j + w) * step + offset, w - j, b1, out);
    for (int j = 0; j < w; j++)
      ReferenceRay(source, target, X0, Y0, r, j * step + offset, w - j, b1 + h / 2, out);
    return;
  }
  int b = layout == StripTop ? r : r + (h - r) / 2;
  for (int j = 0; j < w; j++)
    ReferenceRay(source, target, X0, Y0, r, j * (6.283185307179586 / w) + offset, w - j, b, out);
}

TEST(Strips, MatchTheStraightforwardComputation) {
  struct Size {
    int w, h;
  } const sizes[] = {{640, 480}, {320, 240}};
  unsigned seed = 1;
  int strips = 0;
  for (const Size& size : sizes) {
    const int w = size.w, h = size.h;
    const int centres[][2] = {{w / 2, h / 2}, {w / 2 - 37, h / 2 + 21}, {6, h - 3}, {-20, 30}};
    const int radii[] = {1, 7, h * 2 / 5, 250, MaxRingRadius};
    const double offsets[] = {0.0, 0.3, -2.5, 0.17453292519943295 * 5};
    for (const auto& centre : centres)
      for (int r : radii)
        for (int layout : {StripTop, StripCentred, StripHalves}) {
          double offset = offsets[(strips++) % 4];
          Picture source = PseudoRandom(w, h, seed++);
          Picture expected = PseudoRandom(w, h, seed++), actual = expected;
          Reference reference;
          ReferenceStrip(source, &expected, layout, centre[0], centre[1], r, offset, &reference);
          RingGeometry ring = {centre[0], centre[1], r, w, offset, w, h};
          PixelPlane from = source.Plane(), to = actual.Plane();
          RayState ray;
          UnwrapStrip(&ring, layout, &from, &to, &ray);
          size_t differences = 0;
          for (size_t i = 0; i < actual.pixels.size(); i++)
            differences += actual.pixels[i] != expected.pixels[i];
          EXPECT_EQ(0u, differences) << w << " centre " << centre[0] << "," << centre[1]
                                     << " r " << r << " layout " << layout;
          EXPECT_EQ(reference.lastAngle, ray.currentAngle);
          ASSERT_EQ(reference.lastLength, ray.rayLength);
          for (int i = 0; i <= ray.rayLength; i++)
            ASSERT_EQ(reference.lastSamples[i], ray.raySamples[i]) << i;
        }
  }
  EXPECT_EQ(2 * 4 * 5 * 3, strips);
}

// Rays are read whole before their column is written, so the strip may go over its own source.
TEST(Strips, SourceAndTargetMayBeOnePlane) {
  Picture expected = PseudoRandom(320, 240, 77), actual = expected;
  Reference reference;
  RingGeometry ring = {160, 120, 96, 320, 0.25, 320, 240};
  PixelPlane plane = actual.Plane();
  RayState ray;
  UnwrapStrip(&ring, StripCentred, &plane, &plane, &ray);
  for (int j = 0; j < 320; j++) {
    ReferenceRay(expected, &expected, 160, 120, 96, j * (6.283185307179586 / 320) + 0.25,
                 320 - j, 96 + (240 - 96) / 2, &reference);
  }
  EXPECT_TRUE(expected.pixels == actual.pixels);
}

TEST(Strips, RadiusBeyondTheSamplesIsTakenAsTheLongestRay) {
  Picture source = PseudoRandom(640, 480, 9);
  Picture big(640, 480, 0), longest(640, 480, 0);
  RingGeometry ring = {320, 240, 100000, 640, 0.0, 640, 480};
  PixelPlane from = source.Plane(), to = big.Plane();
  RayState ray;
  UnwrapStrip(&ring, StripTop, &from, &to, &ray);
  EXPECT_LE(ray.rayLength, MaxRingRadius);
  ring.r = MaxRingRadius;
  to = longest.Plane();
  UnwrapStrip(&ring, StripTop, &from, &to, &ray);
  EXPECT_TRUE(big.pixels == longest.pixels);
}

}  // namespace
