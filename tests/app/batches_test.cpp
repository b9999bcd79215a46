// The "go" batch over numbered files on drive D: (the test scripts give the Wine prefix one).
#include "panel_fixture.h"

#include <stdio.h>

#include <string>

namespace {

class Batch : public Panel {
 protected:
  void SetUp() override {
    Panel::SetUp();
    CreateDirectoryA("d:\\pano0", NULL);
    CreateDirectoryA("d:\\pano", NULL);
    RemoveFiles();
  }
  void TearDown() override {
    RemoveFiles();
    RemoveDirectoryA("d:\\pano0");
    RemoveDirectoryA("d:\\pano");
    Panel::TearDown();
  }
  static void RemoveFiles() {
    for (int n = 1; n <= 3; n++) {
      DeleteFileA(Name("d:\\pano0\\file_%05d.png", n).c_str());
      DeleteFileA(Name("d:\\pano\\file_%05d.png", n).c_str());
    }
  }
  static std::string Name(const char* format, int n) {
    char name[64];
    snprintf(name, sizeof name, format, n);
    return name;
  }
  // A pseudo-random picture of the capture size written as the numbered input file.
  static std::vector<int> WriteInput(int n) {
    EXPECT_EQ(0, KRV_CreateImage(5, "input", 0, 0, CaptureWidth, CaptureHeight, 100));
    FillPseudoRandom(5, 100 + n);
    std::vector<int> pixels = ImagePixels(5);
    EXPECT_EQ(0, KRV_SaveImageFile(CaptureWidth, CaptureHeight, ImageFilePng,
                                   Name("d:\\pano0\\file_%05d", n).c_str()));
    KRV_DestroyImage(5);
    return pixels;
  }
  // The pixels of a written file, or nothing when it cannot be read.
  static std::vector<int> ReadBack(const std::string& name, int width = CaptureWidth,
                                   int height = CaptureHeight) {
    EXPECT_EQ(0, KRV_CreateImage(6, "check", 0, 0, width, height, 100));
    std::vector<int> pixels;
    if (KRV_LoadImageFile(name.c_str(), 0, 0) == 0) pixels = ImagePixels(6);
    KRV_DestroyImage(6);
    return pixels;
  }
  // What text window 0 shows after the overlay's lines and then these.
  static std::vector<COLORREF> LinesAfterOverlay(const std::vector<std::string>& lines) {
    int previous = currentTextWindow;
    EXPECT_EQ(0, KRV_OpenTextWindow(9, 400, 0, 198, 198));
    KRV_Print("X0: %d\nY0: %d\n r: %d\n", ring.X0, ring.Y0, ring.r);
    for (const std::string& line : lines) KRV_Print("%s\n", line.c_str());
    std::vector<COLORREF> pixels = TextPixels(9);
    KRV_CloseTextWindow(9);
    KRV_SelectTextWindow(previous);
    return pixels;
  }
};

TEST_F(Batch, GoUnrollsEveryNumberedFileAndSavesImage1AsPng) {
  std::vector<int> first = WriteInput(1), second = WriteInput(2);
  std::vector<int> output = ImagePixels(1);
  ring.angleOffset = 0.4;
  RunFileBatch();
  std::vector<int> afterFirst = CoreStrip(StripTop, first, output);
  std::vector<int> afterSecond = CoreStrip(StripTop, second, afterFirst);
  EXPECT_TRUE(ReadBack("d:\\pano\\file_00001.png") == afterFirst);
  EXPECT_TRUE(ReadBack("d:\\pano\\file_00002.png") == afterSecond);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("d:\\pano\\file_00003.png"));
  EXPECT_TRUE(ImagePixels(1) == afterSecond);
  EXPECT_TRUE(ImagePixels(0) == second);
  EXPECT_EQ(3, fileCounter);
  EXPECT_EQ(LinesAfterOverlay(
                {"d:\\pano0\\file_00001.png", "d:\\pano0\\file_00002.png", "end."}),
            TextPixels(0));
}

TEST_F(Batch, GoWithoutFilesPrintsOnlyEnd) {
  std::vector<int> output = ImagePixels(1);
  RunFileBatch();
  EXPECT_EQ(LinesAfterOverlay({"end."}), TextPixels(0));
  EXPECT_TRUE(ImagePixels(1) == output);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("d:\\pano\\file_00001.png"));
}

// The work image as go2 leaves it: black, with the whole output image from (0, 210).
const int WorkWidth = CaptureWidth > 960 ? CaptureWidth : 960;
const int WorkHeight = CaptureHeight > 510 ? 210 + CaptureHeight : 720;
std::vector<int> WorkPicture(const std::vector<int>& output) {
  std::vector<int> work((size_t)WorkWidth * WorkHeight, 0);
  for (int y = 0; y < CaptureHeight; y++)
    for (int x = 0; x < CaptureWidth; x++)
      work[(size_t)(210 + y) * WorkWidth + x] = output[(size_t)y * CaptureWidth + x];
  return work;
}

TEST(WorkImage, Is960x720UnlessImage1AtRow210NeedsMore) {
  EXPECT_EQ(960, WorkImageWidth(320));
  EXPECT_EQ(720, WorkImageHeight(240));
  EXPECT_EQ(960, WorkImageWidth(640));
  EXPECT_EQ(720, WorkImageHeight(480));
  EXPECT_EQ(960, WorkImageWidth(960));
  EXPECT_EQ(720, WorkImageHeight(510));
  EXPECT_EQ(961, WorkImageWidth(961));
  EXPECT_EQ(721, WorkImageHeight(511));
  EXPECT_EQ(1280, WorkImageWidth(1280));
  EXPECT_EQ(1170, WorkImageHeight(960));
}

TEST_F(Batch, Go2PastesImage1IntoTheWorkImageAndSavesIt) {
  std::vector<int> first = WriteInput(1), second = WriteInput(2);
  std::vector<int> output = ImagePixels(1);
  RunWorkBatch();
  std::vector<int> afterFirst = CoreStrip(StripTop, first, output);
  std::vector<int> afterSecond = CoreStrip(StripTop, second, afterFirst);
  EXPECT_TRUE(ReadBack("d:\\pano\\file_00001.png", WorkWidth, WorkHeight) ==
              WorkPicture(afterFirst));
  EXPECT_TRUE(ReadBack("d:\\pano\\file_00002.png", WorkWidth, WorkHeight) ==
              WorkPicture(afterSecond));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("d:\\pano\\file_00003.png"));
  EXPECT_EQ(0, krv_images[2].inUse);
  EXPECT_EQ(LinesAfterOverlay(
                {"d:\\pano0\\file_00001.png", "d:\\pano0\\file_00002.png", "end."}),
            TextPixels(0));
}

TEST_F(Batch, Go2WithoutFilesPrintsOnlyEndAndLeavesNoWorkImage) {
  EXPECT_EQ(PassGoesOn, RunButton(18));
  EXPECT_EQ(LinesAfterOverlay({"end."}), TextPixels(0));
  EXPECT_EQ(0, krv_images[2].inUse);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("d:\\pano\\file_00001.png"));
}

// Stop or Exit chosen while a batch runs ends it before the next file; Exit would otherwise
// end the worker by force in the middle of one.
TEST_F(Batch, BothBatchesEndBeforeTheNextFileOnceStopWasChosen) {
  WriteInput(1);
  WriteInput(2);
  stopRequested = 1;
  RunFileBatch();
  EXPECT_EQ(LinesAfterOverlay({"end."}), TextPixels(0));
  RunWorkBatch();
  stopRequested = 0;
  EXPECT_EQ(0, krv_images[2].inUse);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("d:\\pano\\file_00001.png"));
}

TEST_F(Batch, GoButtonRunsTheBatch) {
  WriteInput(1);
  EXPECT_EQ(PassGoesOn, RunButton(15));
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("d:\\pano\\file_00001.png"));
}

}  // namespace
