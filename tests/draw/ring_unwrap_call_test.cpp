// KRV_UnwrapRing on real images: the codes, what is left alone on refusal, the other smooth
// values, and an image unwrapped onto itself.
#include <vector>

#include "draw/draw.h"
#include "image/image_fixture.h"
#include "ring_unwrap_reference.h"

namespace {

class UnwrapRingCall : public ImageTest {
 protected:
  // Image 1 (64 x 48) with seeded pixels, image 2 the 40 x 12 target filled with a marker.
  void SetUp() override {
    ImageTest::SetUp();
    ASSERT_EQ(0, KRV_CreateImage(1, "ring", -1, -1, 64, 48, 100));
    ASSERT_EQ(0, KRV_CreateImage(2, "strip", -1, -1, 40, 12, 100));
    frame = SeededFrame(64, 48, 21);
    SetPixels(1, frame);
    SetPixels(2, std::vector<int>(40 * 12, Marker));
  }
  static void SetPixels(int id, const std::vector<int>& pixels) {
    int* to = (int*)krv_pixels[id];
    for (size_t i = 0; i < pixels.size(); i++) to[i] = pixels[i];
  }
  static std::vector<int> PixelsOf(int id) {
    const int* from = (const int*)krv_pixels[id];
    return std::vector<int>(from, from + krv_images[id].width * krv_images[id].height);
  }
  static constexpr int Marker = 0x5A5A5A;
  std::vector<int> frame;
};

}  // namespace

TEST_F(UnwrapRingCall, FillsTheTargetImageWithTheRing) {
  for (int smooth = 0; smooth <= 1; smooth++) {
    const RingCase ring = {30, 25, 4, 28, 0.7, smooth};
    EXPECT_EQ(0, KRV_UnwrapRing(1, 2, 30, 25, 4, 28, 0.7, smooth));
    EXPECT_EQ(ReferenceTarget(frame, 64, 48, ring, 40, 12), PixelsOf(2)) << smooth;
  }
  EXPECT_EQ(frame, PixelsOf(1));  // the source is only read
}

TEST_F(UnwrapRingCall, AnyOtherSmoothValueBlends) {
  ASSERT_EQ(0, KRV_UnwrapRing(1, 2, 30, 25, 4, 28, 0.7, 1));
  const std::vector<int> blended = PixelsOf(2);
  for (int smooth : {2, -1, 0x7FFFFFFF}) {
    SetPixels(2, std::vector<int>(40 * 12, Marker));
    EXPECT_EQ(0, KRV_UnwrapRing(1, 2, 30, 25, 4, 28, 0.7, smooth));
    EXPECT_EQ(blended, PixelsOf(2)) << smooth;
  }
  ASSERT_EQ(0, KRV_UnwrapRing(1, 2, 30, 25, 4, 28, 0.7, 0));
  EXPECT_NE(blended, PixelsOf(2));
}

TEST_F(UnwrapRingCall, RefusalsLeaveTheTargetAlone) {
  ASSERT_EQ(0, KRV_CreateImage8(3, "grey", -1, -1, 40, 12, 100));
  EXPECT_EQ(1, KRV_UnwrapRing(4, 2, 30, 25, 4, 28, 0.0, 0));  // no image 4
  EXPECT_EQ(1, KRV_UnwrapRing(1, 4, 30, 25, 4, 28, 0.0, 0));
  EXPECT_EQ(1, KRV_UnwrapRing(-1, 2, 30, 25, 4, 28, 0.0, 0));
  EXPECT_EQ(1, KRV_UnwrapRing(1, 256, 30, 25, 4, 28, 0.0, 0));
  EXPECT_EQ(1, KRV_UnwrapRing(3, 2, 30, 25, 4, 28, 0.0, 0));  // 8-bit
  EXPECT_EQ(1, KRV_UnwrapRing(1, 3, 30, 25, 4, 28, 0.0, 0));
  EXPECT_EQ(2, KRV_UnwrapRing(1, 2, 30, 25, -1, 28, 0.0, 0));
  EXPECT_EQ(2, KRV_UnwrapRing(1, 2, 30, 25, 10, 9, 0.0, 1));
  EXPECT_EQ(1, KRV_UnwrapRing(4, 2, 30, 25, 10, 9, 0.0, 1));  // the image comes first
  EXPECT_EQ(std::vector<int>(40 * 12, Marker), PixelsOf(2));
  EXPECT_EQ(0, KRV_UnwrapRing(1, 2, 30, 25, 9, 9, 0.0, 1));  // one radius is a ring
}

TEST_F(UnwrapRingCall, AnImageUnwrappedOntoItselfReadsItAsItWas) {
  for (int smooth = 0; smooth <= 1; smooth++) {
    SetPixels(1, frame);
    const RingCase ring = {32, 24, 0, 30, 0.25, smooth};
    EXPECT_EQ(0, KRV_UnwrapRing(1, 1, 32, 24, 0, 30, 0.25, smooth));
    EXPECT_EQ(ReferenceTarget(frame, 64, 48, ring, 64, 48), PixelsOf(1)) << smooth;
  }
}
