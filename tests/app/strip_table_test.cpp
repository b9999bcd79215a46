// The strip table against the plain walk: every pixel of the target and the whole ray state
// equal after every pass, over many rings, all three capture sizes, all three layouts, with the
// ring and the frame changed between passes.
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <vector>

#include "app/strip_table.h"
#include "support/seeded_random.h"

namespace {

StripTable table;

// The same pass twice, the plain walk into one target and the table into the other, from equal
// states; both targets start with the same leftovers, which the strips must keep where they do
// not write.
class Strips {
 public:
  Strips(int width, int height, unsigned seed)
      : random_(seed), width_(width), height_(height), source_((size_t)width * height),
        plain_((size_t)width * height), cached_((size_t)width * height) {
    for (int& pixel : source_) pixel = (int)(random_() >> 8);
    memset(&plainRay_, 0x5A, sizeof plainRay_);
    memcpy(&cachedRay_, &plainRay_, sizeof plainRay_);
  }

  RingGeometry Ring() const {
    RingGeometry ring = {};
    ring.X0 = width_ / 2;
    ring.Y0 = height_ / 2;
    ring.r = height_ * 2 / 5;
    ring.columnCount = width_;
    ring.frameWidth = width_;
    ring.frameHeight = height_;
    return ring;
  }

  // Both paths over the current frame; false with a message when they differ.
  ::testing::AssertionResult Pass(const RingGeometry& ring, int layout) {
    for (size_t i = 0; i < plain_.size(); i++) plain_[i] = cached_[i] = (int)(random_() >> 8);
    PixelPlane source = {source_.data(), width_, height_, width_};
    PixelPlane plain = {plain_.data(), width_, height_, width_};
    PixelPlane cached = {cached_.data(), width_, height_, width_};
    UnwrapStrip(&ring, layout, &source, &plain, &plainRay_);
    UnwrapStripCached(&table, &ring, layout, &source, &cached, &cachedRay_);
    size_t wrong = 0;
    for (size_t i = 0; i < plain_.size(); i++) wrong += plain_[i] != cached_[i];
    if (wrong || memcmp(&plainRay_, &cachedRay_, sizeof plainRay_) != 0)
      return ::testing::AssertionFailure()
             << width_ << "x" << height_ << " X0 " << ring.X0 << " Y0 " << ring.Y0 << " r "
             << ring.r << " columns " << ring.columnCount << " offset " << ring.angleOffset
             << " layout " << layout << ": " << wrong << " pixels differ, ray state "
             << (memcmp(&plainRay_, &cachedRay_, sizeof plainRay_) ? "differs" : "equal");
    return ::testing::AssertionSuccess();
  }

  // A new frame: some pixels change, as between two captured frames.
  void NewFrame() {
    for (int i = 0; i < 2000; i++) source_[random_.Below((int)source_.size())] = random_.Below(1 << 24);
  }

  Random random_;

 private:
  int width_, height_;
  std::vector<int> source_, plain_, cached_;
  RayState plainRay_, cachedRay_;
};

const int sizes[3][2] = {{640, 480}, {320, 240}, {1280, 960}};

TEST(StripTable, EqualsTheWalkOverManyRings) {
  for (const auto& size : sizes) {
    Strips strips(size[0], size[1], 7u + size[0]);
    Random& random = strips.random_;
    for (int n = 0; n < 150; n++) {
      RingGeometry ring = strips.Ring();
      // Centres inside, near and beyond every border.
      ring.X0 = random.Below(size[0] + 300) - 150;
      ring.Y0 = random.Below(size[1] + 300) - 150;
      ring.r = random.Below(500);
      ring.angleOffset = (random.Below(4001) - 2000) * 0.0031;
      int layout = random.Below(3);
      for (int pass = 0; pass < 3; pass++) {
        ASSERT_TRUE(strips.Pass(ring, layout));
        strips.NewFrame();
      }
    }
  }
}

TEST(StripTable, EqualsTheWalkForEveryRadius) {
  for (const auto& size : sizes) {
    Strips strips(size[0], size[1], 11u);
    for (int r = 0; r <= MaxRingRadius; r += size[0] == 640 ? 1 : size[0] == 320 ? 3 : 7) {
      RingGeometry ring = strips.Ring();
      ring.r = r;
      ring.angleOffset = r * 0.01;
      ASSERT_TRUE(strips.Pass(ring, r % 3));
      ASSERT_TRUE(strips.Pass(ring, r % 3));  // the second pass replays the table
    }
  }
}

// The ring turning, moving and growing on every pass, the layout switching, and back again.
TEST(StripTable, EqualsTheWalkWhenTheRingChangesEveryPass) {
  const double rotation = 0.17453292519943295;
  for (const auto& size : sizes) {
    Strips strips(size[0], size[1], 23u);
    RingGeometry ring = strips.Ring();
    for (int layout = StripTop; layout <= StripHalves; layout++) {
      for (int pass = 0; pass < 40; pass++) {
        ring.angleOffset += rotation;
        ASSERT_TRUE(strips.Pass(ring, layout)) << pass;
        strips.NewFrame();
      }
      for (int pass = 0; pass < 20; pass++) {
        ring.X0 += pass % 2 ? 7 : -3;
        ring.Y0 -= 2;
        ASSERT_TRUE(strips.Pass(ring, layout)) << pass;
      }
      for (int pass = 0; pass < 20; pass++) {
        ring.r = (ring.r + 37) % 500;
        ASSERT_TRUE(strips.Pass(ring, (layout + pass) % 3)) << pass;
      }
    }
  }
}

TEST(StripTable, BuiltOnTheSecondPassWithTheSameRingOnly) {
  Strips strips(640, 480, 5u);
  RingGeometry ring = strips.Ring();
  ring.angleOffset = 0.25;  // a ring no earlier test left behind
  int before = table.rebuilds;
  ASSERT_TRUE(strips.Pass(ring, StripCentred));
  EXPECT_EQ(before, table.rebuilds);
  ASSERT_TRUE(strips.Pass(ring, StripCentred));
  EXPECT_EQ(before + 1, table.rebuilds);
  EXPECT_EQ(1, table.valid);
  ASSERT_TRUE(strips.Pass(ring, StripCentred));
  EXPECT_EQ(before + 1, table.rebuilds);
  ASSERT_TRUE(strips.Pass(ring, StripHalves));  // a new layout: not built at once
  EXPECT_EQ(before + 1, table.rebuilds);
  ASSERT_TRUE(strips.Pass(ring, StripCentred));  // the old table still serves
  EXPECT_EQ(before + 1, table.rebuilds);
}

// Degenerate rings and planes the table does not take: the state still ends as the walk leaves
// it.
TEST(StripTable, EqualsTheWalkAtTheEdges) {
  Strips strips(320, 240, 3u);
  RingGeometry ring = strips.Ring();
  ring.r = 0;
  for (int layout = 0; layout < 3; layout++) ASSERT_TRUE(strips.Pass(ring, layout));
  ring = strips.Ring();
  ring.columnCount = 0;  // no rays: nothing written, the ray state stays
  ASSERT_TRUE(strips.Pass(ring, StripTop));
  ASSERT_TRUE(strips.Pass(ring, StripTop));
  ring = strips.Ring();
  ring.columnCount = 100;  // fewer columns than the target has
  ASSERT_TRUE(strips.Pass(ring, StripCentred));
  ASSERT_TRUE(strips.Pass(ring, StripCentred));
  ring.r = -150;  // rays walked backwards, no column written
  ASSERT_TRUE(strips.Pass(ring, StripTop));
  ASSERT_TRUE(strips.Pass(ring, StripTop));
  ring = strips.Ring();
  ring.r = 2000;  // taken as the longest ray that fits
  ASSERT_TRUE(strips.Pass(ring, StripHalves));
  ASSERT_TRUE(strips.Pass(ring, StripHalves));
}

TEST(StripTable, OverlappingPlanesTakeTheWalk) {
  // The strip read from the plane it writes: rays see the columns written before them.
  std::vector<int> one(320 * 240), two;
  Random random(9);
  for (int& pixel : one) pixel = (int)(random() >> 8);
  two = one;
  PixelPlane a = {one.data(), 320, 240, 320}, b = {two.data(), 320, 240, 320};
  RingGeometry ring = {160, 120, 96, 320, 0.0, 320, 240};
  RayState plainRay, cachedRay;
  memset(&plainRay, 0, sizeof plainRay);
  memset(&cachedRay, 0, sizeof cachedRay);
  UnwrapStrip(&ring, StripTop, &a, &a, &plainRay);
  UnwrapStripCached(&table, &ring, StripTop, &b, &b, &cachedRay);
  EXPECT_TRUE(one == two);
  EXPECT_EQ(0, memcmp(&plainRay, &cachedRay, sizeof plainRay));
  // A plane larger than the table serves (1280 x 960) is walked too.
  const int w = 1400, h = 1000;
  std::vector<int> big(w * h, 1), bigPlain(w * h, 2), bigCached(w * h, 2);
  PixelPlane source = {big.data(), w, h, w};
  PixelPlane p = {bigPlain.data(), w, h, w}, c = {bigCached.data(), w, h, w};
  RingGeometry large = {w / 2, h / 2, 400, w, 0.5, w, h};
  UnwrapStrip(&large, StripTop, &source, &p, &plainRay);
  UnwrapStripCached(&table, &large, StripTop, &source, &c, &cachedRay);
  EXPECT_TRUE(bigPlain == bigCached);
  EXPECT_EQ(0, memcmp(&plainRay, &cachedRay, sizeof plainRay));
}

// "><" or "<>" held: a new radius on every pass, each strip written by the row walk the first
// time and replayed from its table the second; the centre held near a border so that rings
// leaving the source take the walk instead.
TEST(StripTable, EqualsTheWalkWithANewRadiusEveryPass) {
  for (const auto& size : sizes) {
    Strips strips(size[0], size[1], 31u);
    for (int layout = StripTop; layout <= StripHalves; layout++) {
      RingGeometry ring = strips.Ring();
      ring.angleOffset = 0.1 * layout;
      for (int r = MaxRingRadius; r >= 0; r -= 3) {
        ring.r = r;
        ASSERT_TRUE(strips.Pass(ring, layout)) << r;
        if (r % 7 == 0) {
          ASSERT_TRUE(strips.Pass(ring, layout)) << r;
        }
        strips.NewFrame();
      }
      ring.X0 = 20;
      for (int r = 1; r < 60; r++) {
        ring.r = r;
        ASSERT_TRUE(strips.Pass(ring, layout)) << r;
      }
    }
  }
}

}  // namespace

namespace {

// Rows wider than the picture: offsets must count in the plane's stride, not its width.
TEST(StripTable, EqualsTheWalkOnPlanesWithPaddedRows) {
  const int width = 320, height = 240, stride = 333;
  std::vector<int> source((size_t)stride * height), plain(source.size()), cached(source.size());
  Random random(17);
  for (int& pixel : source) pixel = (int)(random() >> 8);
  RayState plainRay, cachedRay;
  memset(&plainRay, 0, sizeof plainRay);
  memset(&cachedRay, 0, sizeof cachedRay);
  PixelPlane from = {source.data(), width, height, stride};
  PixelPlane a = {plain.data(), width, height, stride}, b = {cached.data(), width, height, stride};
  for (int pass = 0; pass < 9; pass++) {
    RingGeometry ring = {150 + pass, 110, 60 + 20 * (pass / 3), 320, 0.3 * (pass % 3), 320, 240};
    for (int repeat = 0; repeat < 2; repeat++) {
      std::fill(plain.begin(), plain.end(), pass);
      std::fill(cached.begin(), cached.end(), pass);
      UnwrapStrip(&ring, pass % 3, &from, &a, &plainRay);
      UnwrapStripCached(&table, &ring, pass % 3, &from, &b, &cachedRay);
      ASSERT_TRUE(plain == cached) << pass;
      ASSERT_EQ(0, memcmp(&plainRay, &cachedRay, sizeof plainRay)) << pass;
    }
  }
}

}  // namespace
