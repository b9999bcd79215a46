// Damaged device-independent bitmaps through the real clipboard into the image paste and into
// the reading the main window's paste starts with: no crash, and an image that a refused paste
// leaves exactly as it was. KRV_SOAK_BLOCKS sets the count (10000 for the long form).
#include <stdio.h>

#include "damaged_input/corpus.h"
#include "image/dib_blocks.h"
#include "image/image_fixture.h"

class HostileClipboard : public ImageTest {
 protected:
  void TearDown() override {
    ForgetCase();
    if (OpenClipboard(NULL)) {
      EmptyClipboard();
      CloseClipboard();
    }
    ImageTest::TearDown();
  }
};

TEST_F(HostileClipboard, DamagedBlocksArePastedOrLeaveTheImageAsItWas) {
  ASSERT_EQ(0, KRV_CreateImage(1, "paste32", 0, 0, 64, 64, 100));
  ASSERT_EQ(0, KRV_CreateImage8(2, "paste8", 100, 0, 64, 64, 100));
  EXPECT_TRUE(GuardedAfter(1));
  EXPECT_TRUE(GuardedAfter(2));
  const unsigned long long seed = SoakSeed();
  const int blocks = (int)EnvironmentNumber("KRV_SOAK_BLOCKS", 1000);
  const std::vector<std::vector<BYTE>> seeds = SeedDibs();
  static const POINT corners[] = {{0, 0}, {-3, -2}, {60, 60}, {5, 70}};
  int pasted = 0, refused = 0, bitmaps = 0;
  for (int number = 0; number < blocks; number++) {
    Random random(seed * 1000003ULL + (unsigned long long)number);
    const std::vector<BYTE> block = Mutated(seeds[random() % seeds.size()], random);
    if (block.empty() || !OfferDib(block)) continue;
    const int id = 1 + (int)(random() % 2);
    const POINT corner = corners[random() % 4];
    Random scribbler(seed + (unsigned long long)number);
    Scribble(id, &scribbler);
    const Snapshot before = SnapshotOf(id);
    NoteCase("clipboard", seed, number);
    RGBQUAD colours[256];
    int count = -1;
    HBITMAP bitmap = KRV_GetClipboardBitmap(colours, &count);
    if (bitmap) {
      BITMAP shape = {};
      ASSERT_TRUE(GetObjectW(bitmap, sizeof shape, &shape)) << "case " << number;
      EXPECT_GT(shape.bmWidth, 0);
      EXPECT_GT(shape.bmHeight, 0);
      DeleteObject(bitmap);
      bitmaps++;
    }
    ASSERT_TRUE(count >= 0 && count <= 256) << count << " case " << number;
    KRV_PasteImage(id, corner.x, corner.y);
    ForgetCase();
    const std::string replay = "seed " + std::to_string(seed) + " case " + std::to_string(number);
    if (SnapshotOf(id) == before) {
      refused++;
      continue;
    }
    pasted++;
    ASSERT_TRUE(UntouchedBeforeCorner(id, before, corner.x, corner.y))
        << "pasted outside the picture's place; " << replay;
  }
  printf("clipboard blocks: seed %llu, %d pasted, %d left the image as it was, %d read as "
         "bitmaps, 0 crashes\n", seed, pasted, refused, bitmaps);
  EXPECT_GT(pasted, 0);
  EXPECT_GT(refused, 0);
}
