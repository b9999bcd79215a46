// The mirror's ring found in generated pictures of known geometry, in the virtual camera's
// picture, and the call's codes on real images.
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "draw/draw.h"
#include "draw/ring_pictures.h"
#include "draw/ring_search.h"
#include "image/image_fixture.h"
#include "support/seeded_random.h"
#include "tools/virtual_camera/picture.h"

namespace {

// What KRV_FindRing would report: each value rounded to the nearest whole pixel.
struct Found {
  int x0, y0, outer, inner;
};

int Rounded(double value) { return (int)floor(value + 0.5); }

bool Search(const std::vector<unsigned>& pixels, int width, int height, Found* found,
            RingGeometry* exact = NULL) {
  RingGeometry ring;
  std::vector<double> scratch(RingSearchScratchSize(width, height) / sizeof(double) + 1);
  if (SearchRing(pixels.data(), width, height, width * 4, scratch.data(), &ring) != RingFound)
    return false;
  if (exact) *exact = ring;
  *found = {Rounded(ring.x0), Rounded(ring.y0), Rounded(ring.outerRadius),
            Rounded(ring.innerRadius)};
  return true;
}

// The errors of what the call reports, and of the search's unrounded figures.
struct Accuracy {
  RingErrors rounded = {}, exact = {};
  void Print(const char* what) const {
    char line[96];
    snprintf(line, sizeof line, "%s, rounded", what);
    PrintRingErrors(rounded, line);
    snprintf(line, sizeof line, "%s, unrounded", what);
    PrintRingErrors(exact, line);
  }
};

// The centre within 1 pixel on each axis, the radii within 2, the blind spot found when there
// is one and not otherwise.
void ExpectFound(const RingScene& scene, const char* label, Accuracy* accuracy) {
  std::vector<unsigned> pixels((size_t)scene.width * scene.height);
  PaintRingScene(scene, pixels.data(), scene.width);
  Found found;
  RingGeometry exact;
  ASSERT_TRUE(Search(pixels, scene.width, scene.height, &found, &exact)) << label;
  EXPECT_LE(fabs(found.x0 - scene.x0), 1.0) << label;
  EXPECT_LE(fabs(found.y0 - scene.y0), 1.0) << label;
  EXPECT_LE(fabs(found.outer - scene.outerRadius), 2.0) << label;
  EXPECT_LE(fabs(found.inner - scene.innerRadius), 2.0) << label;
  EXPECT_EQ(scene.innerRadius > 0, found.inner > 0) << label;
  AddRingErrors(&accuracy->rounded, scene, found.x0, found.y0, found.outer, found.inner);
  AddRingErrors(&accuracy->exact, scene, exact.x0, exact.y0, exact.outerRadius, exact.innerRadius);
}

std::vector<unsigned> CameraPicture(int width, int height, int frame) {
  std::vector<unsigned> pixels((size_t)width * height);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      pixels[(size_t)y * width + x] = CameraPixel(x, y, width, height, frame);
  return pixels;
}

}  // namespace

TEST(RingSearch, FindsRandomScenesWithinOnePixelAndTwo) {
  Accuracy accuracy;
  for (unsigned long long seed = 1; seed <= 120; seed++) {
    const RingScene scene = RandomRingScene(640, 480, seed);
    char label[160];
    snprintf(label, sizeof label,
             "seed %llu: centre (%.2f, %.2f) radii %.2f %.2f content %d "
             "surround %d contrast %d",
             seed, scene.x0, scene.y0, scene.outerRadius, scene.innerRadius, scene.content,
             scene.surround, scene.contrast);
    ExpectFound(scene, label, &accuracy);
  }
  accuracy.Print("640 x 480, random scenes");
}

// The corners of the range: the smallest and largest radius at the least contrast, the centre
// half a radius from two edges of the frame, every content, with and without a blind spot.
TEST(RingSearch, FindsTheExtremesOfEveryContent) {
  Accuracy accuracy;
  const int width = 320, height = 240;
  for (int content = 0; content < SceneContentCount; content++)
    for (int large = 0; large < 2; large++)
      for (int spot = 0; spot < 2; spot++) {
        RingScene scene = RandomRingScene(width, height, 500 + content * 4 + large * 2 + spot);
        scene.content = content;
        scene.outerRadius = large ? height / 2.0 : height / 8.0;
        scene.innerRadius = spot ? scene.outerRadius * 0.3 : 0;
        scene.contrast = 40;
        const double margin = scene.outerRadius / 2;
        scene.x0 = (content + spot) % 2 ? width - 1 - margin : margin;
        scene.y0 = large ? height - 1 - margin : margin + 0.5;
        char label[96];
        snprintf(label, sizeof label, "content %d radius %.0f blind spot %d", content,
                 scene.outerRadius, spot);
        ExpectFound(scene, label, &accuracy);
      }
  accuracy.Print("320 x 240, extremes");
}

TEST(RingSearch, FindsTheVirtualCamerasMirror) {
  // Centred, radius 2/5 of the height, the blind spot inside a quarter of it.
  const int sizes[][2] = {{640, 480}, {320, 240}};
  for (const auto& size : sizes) {
    const int width = size[0], height = size[1], radius = CameraRingRadius(height);
    for (int frame = 0; frame < 60; frame += 13) {
      Found found;
      ASSERT_TRUE(Search(CameraPicture(width, height, frame), width, height, &found));
      EXPECT_EQ(width / 2, found.x0);
      EXPECT_EQ(height / 2, found.y0);
      EXPECT_EQ(radius, found.outer);
      EXPECT_EQ(radius / 4, found.inner);
    }
  }
}

TEST(RingSearch, FlatAndNoisePicturesHaveNoRing) {
  const int width = 160, height = 120;
  std::vector<unsigned> pixels((size_t)width * height);
  Random random(31);
  Found found;
  for (unsigned level : {0x000000u, 0x808080u, 0xFFFFFFu}) {
    for (unsigned& pixel : pixels) pixel = level;
    EXPECT_FALSE(Search(pixels, width, height, &found)) << level;
  }
  for (unsigned& pixel : pixels) pixel = random() & 0xFFFFFF;  // every colour at random
  EXPECT_FALSE(Search(pixels, width, height, &found));
  for (unsigned& pixel : pixels) pixel = random() >> 31 ? 0xFFFFFF : 0;  // salt and pepper
  EXPECT_FALSE(Search(pixels, width, height, &found));
  // Only the noise of a scene: mid-grey with sigma 8.
  RingScene scene = RandomRingScene(width, height, 77);
  scene.outerRadius = scene.innerRadius = 0;
  scene.surround = 128;
  PaintRingScene(scene, pixels.data(), width);
  EXPECT_FALSE(Search(pixels, width, height, &found));
}

// Bright shapes with a straight or square edge: rays find edges all round, or along a line, and
// no circle gathers most of them.
TEST(RingSearch, SquaresAndStepsAreNoRing) {
  const int width = 320, height = 240;
  std::vector<unsigned> square((size_t)width * height), step(square.size());
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      square[(size_t)y * width + x] = abs(x - 160) < 60 && abs(y - 120) < 60 ? 0x969696 : 0x1E1E1E;
      step[(size_t)y * width + x] = x > 200 ? 0x969696 : 0x1E1E1E;
    }
  Found found;
  EXPECT_FALSE(Search(square, width, height, &found));
  EXPECT_FALSE(Search(step, width, height, &found));
}

TEST(RingSearch, CircleFitIgnoresAThirdOfStrayPoints) {
  double xs[90], ys[90];
  unsigned char kept[90];
  Random random(5);
  for (int i = 0; i < 90; i++) {
    const double angle = i * 2 * 3.14159265358979323846 / 90;
    // Strays well off the circle, inside and outside it.
    const double r = i % 3 != 1        ? 50
                     : random.Below(2) ? random.Between(5, 45)
                                       : random.Between(55, 200);
    xs[i] = 100.25 + r * cos(angle);
    ys[i] = 80.5 + r * sin(angle);
  }
  CircleFit fit;
  ASSERT_EQ(0, FitCircle(xs, ys, 90, 2.0, &fit, kept));
  EXPECT_NEAR(100.25, fit.x, 1e-6);
  EXPECT_NEAR(80.5, fit.y, 1e-6);
  EXPECT_NEAR(50, fit.r, 1e-6);
  EXPECT_GE(fit.inliers, 60);
  for (int i = 0; i < 90; i += 3) EXPECT_EQ(1, kept[i]) << i;
  EXPECT_EQ(2, FitCircle(xs, ys, 2, 2.0, &fit, kept));
}

class FindRing : public ImageTest {
 protected:
  // Copies pixels into image id, row by row through its stride.
  void Fill(int id, const std::vector<unsigned>& pixels) {
    int width, height, bits, stride;
    ASSERT_EQ(0, KRV_GetImageInfo(id, &width, &height, &bits, &stride));
    for (int y = 0; y < height; y++)
      memcpy((char*)krv_pixels[id] + (size_t)y * stride, &pixels[(size_t)y * width],
             (size_t)width * 4);
  }
  // The call's code, its four outputs copied to out (may be NULL); they must stay as they were
  // unless the code is 0.
  int Call(int id, int out[4]) {
    int values[4] = {-7, -7, -7, -7};
    const int code = KRV_FindRing(id, &values[0], &values[1], &values[2], &values[3]);
    if (code != 0) {
      for (int value : values) EXPECT_EQ(-7, value) << "outputs touched, code " << code;
    }
    if (out) memcpy(out, values, sizeof values);
    return code;
  }
};

TEST_F(FindRing, FindsTheRingOfAnImage) {
  ASSERT_EQ(0, KRV_CreateImage(3, "ring", -1, -1, 640, 480, 50));
  RingScene scene = RandomRingScene(640, 480, 9);
  scene.x0 = 250;
  scene.y0 = 260;
  scene.outerRadius = 150;
  scene.innerRadius = 40;
  std::vector<unsigned> pixels(640 * 480);
  PaintRingScene(scene, pixels.data(), 640);
  Fill(3, pixels);
  ASSERT_EQ(0, KRV_CreateImage(4, "other", -1, -1, 40, 30, 100));
  int out[4];
  ASSERT_EQ(0, Call(3, out));
  EXPECT_NEAR(250, out[0], 1);
  EXPECT_NEAR(260, out[1], 1);
  EXPECT_NEAR(150, out[2], 2);
  EXPECT_NEAR(40, out[3], 2);
  EXPECT_EQ(4, krv_current);  // the current image stays current
}

TEST_F(FindRing, FindsTheVirtualCamerasMirrorInImagesOfBothSizes) {
  // The small one first: the larger one must not search in scratch memory of the small size.
  ASSERT_EQ(0, KRV_CreateImage(1, "small camera", -1, -1, 320, 240, 100));
  Fill(1, CameraPicture(320, 240, 0));
  ASSERT_EQ(0, KRV_CreateImage(0, "camera", -1, -1, 640, 480, 50));
  Fill(0, CameraPicture(640, 480, 0));
  int out[4];
  ASSERT_EQ(0, Call(1, out));
  EXPECT_EQ(160, out[0]);
  EXPECT_EQ(120, out[1]);
  EXPECT_EQ(96, out[2]);
  EXPECT_EQ(24, out[3]);
  ASSERT_EQ(0, Call(0, out));
  EXPECT_EQ(320, out[0]);
  EXPECT_EQ(240, out[1]);
  EXPECT_EQ(192, out[2]);
  EXPECT_EQ(48, out[3]);
  int x0 = -1;  // outputs not wanted may be NULL
  EXPECT_EQ(0, KRV_FindRing(0, &x0, NULL, NULL, NULL));
  EXPECT_EQ(320, x0);
}

TEST_F(FindRing, MissingOrEightBitImagesAreRefusedWithOne) {
  EXPECT_EQ(1, Call(5, NULL));
  EXPECT_EQ(1, Call(256, NULL));
  EXPECT_EQ(1, Call(-1, NULL));
  ASSERT_EQ(0, KRV_CreateImage8(5, "grey", -1, -1, 64, 48, 100));
  EXPECT_EQ(1, Call(5, NULL));
}

TEST_F(FindRing, FlatAndTinyImagesHaveNoRing) {
  ASSERT_EQ(0, KRV_CreateImage(6, "flat", -1, -1, 160, 120, 100));
  EXPECT_EQ(2, Call(6, NULL));  // black, as created
  // A disc in a picture too small to search.
  ASSERT_EQ(0, KRV_CreateImage(7, "tiny", -1, -1, 12, 12, 100));
  std::vector<unsigned> tiny(144);
  for (int i = 0; i < 144; i++) tiny[i] = hypot(i % 12 - 6, i / 12 - 6) < 4 ? 0xFFFFFF : 0;
  Fill(7, tiny);
  EXPECT_EQ(2, Call(7, NULL));
}
