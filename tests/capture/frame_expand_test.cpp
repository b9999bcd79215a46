// 24-bit RGB frames expanded into the 32-bit frame buffer: the row, the whole frame with its
// padding and row order, the connected type's layout, and the sink on such a device.
#include <gtest/gtest.h>

#include <string.h>

#include <vector>

#include "capture/capture.h"

namespace {

// Pixel (x, y) of the picture, y counted from the top.
DWORD PictureWord(int x, int y) { return (DWORD)((x * 37 + y * 101) * 2654435761u) & 0xFFFFFF; }

// A frame as a device lays it out: rows of B, G, R padded with 0xA5 to 4 bytes.
std::vector<BYTE> Rgb24Frame(int width, int height, bool bottomUp) {
  long long stride = Rgb24Stride(width);
  std::vector<BYTE> frame((size_t)(stride * height), 0xA5);
  for (int y = 0; y < height; y++) {
    BYTE* row = frame.data() + stride * (bottomUp ? height - 1 - y : y);
    for (int x = 0; x < width; x++) {
      DWORD word = PictureWord(x, y);
      row[3 * x] = (BYTE)word;
      row[3 * x + 1] = (BYTE)(word >> 8);
      row[3 * x + 2] = (BYTE)(word >> 16);
    }
  }
  return frame;
}

TEST(Rgb24Expand, RowOfEveryLengthFromAnyAlignment) {
  BYTE source[3 * 13 + 1];
  for (int i = 0; i < (int)sizeof source; i++) source[i] = (BYTE)(i * 29 + 7);
  for (int offset = 0; offset < 2; offset++) {
    for (int count = 0; count <= 13; count++) {
      std::vector<DWORD> out(count + 1, 0xDEADBEEF);
      ExpandRgb24Row(source + offset, count, out.data());
      for (int x = 0; x < count; x++) {
        const BYTE* p = source + offset + 3 * x;
        EXPECT_EQ((DWORD)p[0] | (DWORD)p[1] << 8 | (DWORD)p[2] << 16, out[x]) << count << " " << x;
      }
      EXPECT_EQ(0xDEADBEEFu, out[count]) << count;  // nothing past the row
    }
  }
}

TEST(Rgb24Expand, StrideIsPaddedToFourBytes) {
  EXPECT_EQ(0, Rgb24Stride(0));
  EXPECT_EQ(4, Rgb24Stride(1));
  EXPECT_EQ(8, Rgb24Stride(2));
  EXPECT_EQ(12, Rgb24Stride(4));
  EXPECT_EQ(16, Rgb24Stride(5));
  EXPECT_EQ(1920, Rgb24Stride(640));
  EXPECT_EQ(1920, Rgb24Stride(639));
  EXPECT_EQ(960, Rgb24Stride(319));
}

// Odd widths carry padding; both row orders land top row first, exactly.
TEST(Rgb24Expand, FrameLandsTopDownWithoutItsPadding) {
  for (int width : {1, 2, 3, 5, 7, 8, 319, 320}) {
    for (bool bottomUp : {true, false}) {
      const int height = 6;
      std::vector<BYTE> source = Rgb24Frame(width, height, bottomUp);
      std::vector<DWORD> frame((size_t)width * height + 4, 0x77777777);
      Rgb24Layout layout = {width, height, bottomUp ? 1 : 0};
      EXPECT_EQ(width * height * 4,
                ExpandRgb24FrameTopDown(source.data(), (long)source.size(), layout, width, height,
                                        (BYTE*)frame.data()));
      int wrong = 0;
      for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
          if (frame[(size_t)y * width + x] != PictureWord(x, y)) wrong++;
      EXPECT_EQ(0, wrong) << width << (bottomUp ? " bottom-up" : " top-down");
      for (int i = 0; i < 4; i++) EXPECT_EQ(0x77777777u, frame[(size_t)width * height + i]);
    }
  }
}

TEST(Rgb24Expand, SmallerPictureKeepsTheRestLargerOneIsClipped) {
  // 5 x 3 into 8 x 4: three rows count, the columns beyond 5 and the last row stay.
  std::vector<BYTE> source = Rgb24Frame(5, 3, true);
  std::vector<DWORD> frame(8 * 4, 0x123456);
  Rgb24Layout small = {5, 3, 1};
  EXPECT_EQ(3 * 8 * 4, ExpandRgb24FrameTopDown(source.data(), (long)source.size(), small, 8, 4,
                                               (BYTE*)frame.data()));
  for (int y = 0; y < 4; y++)
    for (int x = 0; x < 8; x++)
      EXPECT_EQ(y < 3 && x < 5 ? PictureWord(x, y) : 0x123456u, frame[y * 8 + x]) << x << "," << y;
  // 9 x 7 into 4 x 2: the picture's top-left corner, nothing past the buffer.
  source = Rgb24Frame(9, 7, true);
  std::vector<DWORD> little(4 * 2 + 3, 0xABCDEF);
  Rgb24Layout large = {9, 7, 1};
  EXPECT_EQ(4 * 2 * 4, ExpandRgb24FrameTopDown(source.data(), (long)source.size(), large, 4, 2,
                                               (BYTE*)little.data()));
  for (int y = 0; y < 2; y++)
    for (int x = 0; x < 4; x++) EXPECT_EQ(PictureWord(x, y), little[y * 4 + x]);
  for (int i = 8; i < 11; i++) EXPECT_EQ(0xABCDEFu, little[i]);
}

TEST(Rgb24Expand, ShortFrameIsRefusedWhole) {
  std::vector<BYTE> source = Rgb24Frame(5, 3, true);  // stride 16, 48 bytes
  Rgb24Layout layout = {5, 3, 1};
  std::vector<DWORD> frame(15, 0x55);
  // The last row's padding may be missing; one byte less than that is too short.
  EXPECT_EQ(60, Rgb24FrameBytes(16 * 2 + 15, layout, 5, 3));
  EXPECT_EQ(0, Rgb24FrameBytes(16 * 2 + 14, layout, 5, 3));
  EXPECT_EQ(0, ExpandRgb24FrameTopDown(source.data(), 46, layout, 5, 3, (BYTE*)frame.data()));
  EXPECT_EQ(0, ExpandRgb24FrameTopDown(source.data(), -1, layout, 5, 3, (BYTE*)frame.data()));
  EXPECT_EQ(0, ExpandRgb24FrameTopDown(NULL, 48, layout, 5, 3, (BYTE*)frame.data()));
  Rgb24Layout empty = {0, 3, 1};
  EXPECT_EQ(0, ExpandRgb24FrameTopDown(source.data(), 48, empty, 5, 3, (BYTE*)frame.data()));
  for (DWORD word : frame) EXPECT_EQ(0x55u, word);
}

// Wine's capture source sends rows of width x 3 bytes whatever the width, in samples of exactly
// width x height x 3 bytes: those rows are taken as they come.
TEST(Rgb24Expand, RowsPackedTightAsWineSendsThemAreTakenAtTheirPitch) {
  for (int width : {1, 2, 3, 5, 7, 318, 322}) {
    const int height = 4;
    long packed = (long)width * 3;
    std::vector<BYTE> source((size_t)packed * height);
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++) {
        DWORD word = PictureWord(x, y);
        BYTE* pixel = source.data() + packed * (height - 1 - y) + 3 * x;  // bottom row first
        pixel[0] = (BYTE)word;
        pixel[1] = (BYTE)(word >> 8);
        pixel[2] = (BYTE)(word >> 16);
      }
    Rgb24Layout layout = {width, height, 1};
    const long length = (long)source.size();
    EXPECT_EQ(width % 4 ? packed : Rgb24Stride(width), Rgb24Pitch(length, layout)) << width;
    std::vector<DWORD> frame((size_t)width * height, 0x77777777);
    EXPECT_EQ(width * height * 4, ExpandRgb24FrameTopDown(source.data(), length, layout, width,
                                                          height, (BYTE*)frame.data()));
    int wrong = 0;
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++)
        if (frame[(size_t)y * width + x] != PictureWord(x, y)) wrong++;
    EXPECT_EQ(0, wrong) << width;
    // A byte more or less than packed rows, and short of padded ones, is no frame.
    if (width % 4) {
      EXPECT_EQ(0, Rgb24Pitch(length + 1, layout)) << width;
      EXPECT_EQ(0, Rgb24Pitch(length - 1, layout)) << width;
    }
  }
}

struct VideoType {
  AM_MEDIA_TYPE type;
  VIDEOINFOHEADER format;
  VideoType(const GUID& subtype, LONG width, LONG height, WORD bits) {
    memset(this, 0, sizeof *this);
    type.majortype = MEDIATYPE_Video;
    type.subtype = subtype;
    type.formattype = FORMAT_VideoInfo;
    type.cbFormat = sizeof format;
    type.pbFormat = (BYTE*)&format;
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = height;
    format.bmiHeader.biBitCount = bits;
    format.bmiHeader.biCompression = BI_RGB;
  }
};

TEST(Rgb24Expand, LayoutComesFromTheConnectedType) {
  Rgb24Layout layout = {};
  VideoType bottomUp(MEDIASUBTYPE_RGB24, 639, 480, 24);
  ASSERT_TRUE(Rgb24LayoutOf(&bottomUp.type, &layout));
  EXPECT_EQ(639, layout.width);
  EXPECT_EQ(480, layout.height);
  EXPECT_EQ(1, layout.bottomUp);
  VideoType topDown(MEDIASUBTYPE_RGB24, 320, -240, 24);
  ASSERT_TRUE(Rgb24LayoutOf(&topDown.type, &layout));
  EXPECT_EQ(240, layout.height);
  EXPECT_EQ(0, layout.bottomUp);

  VideoType rgb32(MEDIASUBTYPE_RGB32, 640, 480, 32);
  VideoType wrongBits(MEDIASUBTYPE_RGB24, 640, 480, 32);
  VideoType noWidth(MEDIASUBTYPE_RGB24, 0, 480, 24);
  VideoType noHeight(MEDIASUBTYPE_RGB24, 640, 0, 24);
  VideoType huge(MEDIASUBTYPE_RGB24, 100000, 480, 24);
  VideoType short_(MEDIASUBTYPE_RGB24, 640, 480, 24);
  short_.type.cbFormat = sizeof(VIDEOINFOHEADER) - 1;
  for (VideoType* bad : {&rgb32, &wrongBits, &noWidth, &noHeight, &huge, &short_})
    EXPECT_FALSE(Rgb24LayoutOf(&bad->type, &layout));
  EXPECT_FALSE(Rgb24LayoutOf(NULL, &layout));
}

// A device connected as RGB24: the sink expands its frames and drops broken ones.
TEST(Rgb24Expand, SinkOfA24BitDeviceExpandsEachFrame) {
  std::vector<int> buffer((size_t)CaptureWidth * CaptureHeight, 0);
  CaptureDevice& entry = captureDevices[4];
  entry.frameHeight = CaptureHeight;
  entry.frameBits = 24;
  entry.rgb24 = {CaptureWidth - 1, CaptureHeight, 1};
  krv_frameBuffer[4] = buffer.data();
  krv_frameByteCount[4] = 0;
  krv_sampleTime[4] = 0.0;
  std::vector<BYTE> source = Rgb24Frame(CaptureWidth - 1, CaptureHeight, true);
  xkc_SampleGrabberCB sink;
  sink.device = 4;
  EXPECT_EQ(S_OK, sink.BufferCB(1.5, source.data(), (long)source.size()));
  EXPECT_EQ((long)CaptureWidth * CaptureHeight * 4, krv_frameByteCount[4]);
  EXPECT_EQ(1.5, krv_sampleTime[4]);
  int wrong = 0;
  for (int y = 0; y < CaptureHeight; y++)
    for (int x = 0; x < CaptureWidth; x++)
      if ((DWORD)buffer[(size_t)y * CaptureWidth + x] !=
          (x < CaptureWidth - 1 ? PictureWord(x, y) : 0u))
        wrong++;
  EXPECT_EQ(0, wrong);
  EXPECT_EQ(S_OK, sink.BufferCB(1.75, source.data(), (long)source.size() / 2));
  EXPECT_EQ(1.5, krv_sampleTime[4]);  // the half frame never reached the consumer
  krv_frameBuffer[4] = NULL;
  memset(&entry, 0, sizeof entry);
}

}  // namespace
