// The sink's frame copy and the device rule, as pure functions and through the sink object.
#include <gtest/gtest.h>

#include <string.h>

#include <vector>

#include "capture/capture.h"

namespace {

// A bottom-up frame whose k-th row in memory holds words 1000 * k + column.
std::vector<int> BottomUpFrame(int width, int height) {
  std::vector<int> frame((size_t)width * height);
  for (int k = 0; k < height; k++)
    for (int x = 0; x < width; x++) frame[(size_t)k * width + x] = 1000 * k + x;
  return frame;
}

TEST(FrameCopy, LastRowInMemoryBecomesFirstRow) {
  const int width = 4, height = 3;
  std::vector<int> source = BottomUpFrame(width, height);
  std::vector<int> frame(width * height, -1);
  long valid = CopyFrameTopDown((const BYTE*)source.data(), width * height * 4, width, height,
                                (BYTE*)frame.data());
  EXPECT_EQ(48, valid);
  const int expected[] = {2000, 2001, 2002, 2003, 1000, 1001, 1002, 1003, 0, 1, 2, 3};
  for (int i = 0; i < width * height; i++) EXPECT_EQ(expected[i], frame[i]) << i;
}

TEST(FrameCopy, OversizedFrameIsClampedToTheBuffer) {
  const int width = 4, height = 3;
  // Rows of 8 words where 4 fit: each row keeps its first 4 words, nothing lands past 12 words.
  std::vector<int> source = BottomUpFrame(8, height);
  std::vector<int> frame(width * height + 16, -7);
  long valid = CopyFrameTopDown((const BYTE*)source.data(), 8 * height * 4, width, height,
                                (BYTE*)frame.data());
  EXPECT_EQ(48, valid);
  const int expected[] = {2000, 2001, 2002, 2003, 1000, 1001, 1002, 1003, 0, 1, 2, 3};
  for (int i = 0; i < width * height; i++) EXPECT_EQ(expected[i], frame[i]) << i;
  for (int i = width * height; i < width * height + 16; i++) EXPECT_EQ(-7, frame[i]) << i;
}

TEST(FrameCopy, ExcessBeyondWholeRowsIsIgnored) {
  const int width = 2, height = 2;
  std::vector<BYTE> source(2 * 2 * 4 + 5, 0xAB);
  std::vector<BYTE> frame(16 + 8, 0x11);
  EXPECT_EQ(16, CopyFrameTopDown(source.data(), (long)source.size(), width, height,
                                 frame.data()));
  for (int i = 0; i < 16; i++) EXPECT_EQ(0xAB, frame[i]) << i;
  for (int i = 16; i < 24; i++) EXPECT_EQ(0x11, frame[i]) << i;
}

TEST(FrameCopy, SmallerFramePacksItsShorterRows) {
  // Two rows of one word into a buffer of two-word rows: rows of length / height bytes.
  const int source[] = {5, 9};
  int frame[4] = {-1, -1, -1, -1};
  EXPECT_EQ(8, CopyFrameTopDown((const BYTE*)source, 8, 2, 2, (BYTE*)frame));
  EXPECT_EQ(9, frame[0]);
  EXPECT_EQ(5, frame[1]);
  EXPECT_EQ(-1, frame[2]);
}

TEST(FrameCopy, EmptyOrBadInputCopiesNothing) {
  int source[4] = {1, 2, 3, 4}, frame[4] = {0, 0, 0, 0};
  EXPECT_EQ(0, CopyFrameTopDown((const BYTE*)source, 0, 2, 2, (BYTE*)frame));
  EXPECT_EQ(0, CopyFrameTopDown((const BYTE*)source, -16, 2, 2, (BYTE*)frame));
  EXPECT_EQ(0, CopyFrameTopDown(NULL, 16, 2, 2, (BYTE*)frame));
  EXPECT_EQ(0, CopyFrameTopDown((const BYTE*)source, 16, 2, 0, (BYTE*)frame));
  EXPECT_EQ(0, CopyFrameTopDown((const BYTE*)source, 1, 2, 2, (BYTE*)frame));  // < a byte a row
  for (int word : frame) EXPECT_EQ(0, word);
}

TEST(DeviceRule, WindowsTakesOnlyPlugAndPlayDevices) {
  EXPECT_TRUE(DeviceQualifies(L"@device:pnp:\\\\?\\usb#vid_046d&pid_0825#{65e8773d}", false));
  EXPECT_FALSE(DeviceQualifies(
      L"@device:sw:{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\KORVEL Virtual Camera", false));
  EXPECT_FALSE(DeviceQualifies(L"", false));
  EXPECT_FALSE(DeviceQualifies(NULL, false));
}

TEST(DeviceRule, WineTakesEveryDevice) {
  EXPECT_TRUE(DeviceQualifies(
      L"@device:sw:{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\KORVEL Virtual Camera", true));
  EXPECT_TRUE(DeviceQualifies(L"@device:pnp:\\\\?\\usb", true));
  EXPECT_TRUE(DeviceQualifies(L"", true));
}

TEST(DeviceRule, TheseTestsRunUnderWine) { EXPECT_TRUE(RunningUnderWine()); }

TEST(Sink, UnknownCountsNothing) {
  xkc_SampleGrabberCB sink;
  sink.device = 0;
  void* object = NULL;
  EXPECT_EQ(S_OK, sink.QueryInterface(SampleGrabberCallbackIid, &object));
  EXPECT_EQ(&sink, object);
  object = NULL;
  EXPECT_EQ(S_OK, sink.QueryInterface(IID_IUnknown, &object));
  EXPECT_EQ(&sink, object);
  EXPECT_EQ(E_NOINTERFACE, sink.QueryInterface(IID_IBaseFilter, &object));
  EXPECT_EQ(2u, sink.AddRef());
  EXPECT_EQ(1u, sink.Release());
  EXPECT_EQ(1u, sink.Release());
  EXPECT_EQ(S_OK, sink.SampleCB(1.0, NULL));
}

// The sink writes byte count, rows top-down and sample time of the device it serves.
TEST(Sink, BufferCallbackFillsItsDevice) {
  std::vector<int> buffer((size_t)CaptureWidth * CaptureHeight, 0);
  krv_frameBuffer[3] = buffer.data();
  captureDevices[3].frameHeight = CaptureHeight;
  krv_frameByteCount[3] = 0;
  krv_sampleTime[3] = 0.0;
  std::vector<int> source = BottomUpFrame(CaptureWidth, CaptureHeight);
  xkc_SampleGrabberCB sink;
  sink.device = 3;
  long length = CaptureWidth * CaptureHeight * 4;
  EXPECT_EQ(S_OK, sink.BufferCB(2.5, (BYTE*)source.data(), length));
  EXPECT_EQ(length, krv_frameByteCount[3]);
  EXPECT_EQ(2.5, krv_sampleTime[3]);
  EXPECT_EQ(1000 * (CaptureHeight - 1), buffer[0]);
  EXPECT_EQ(7, buffer[(size_t)(CaptureHeight - 1) * CaptureWidth + 7]);
  // Twice the size: the published byte count stays that of the buffer.
  std::vector<int> twice(2 * source.size(), 0x00FFFFFF);
  EXPECT_EQ(S_OK, sink.BufferCB(2.75, (BYTE*)twice.data(), 2 * length));
  EXPECT_EQ(length, krv_frameByteCount[3]);
  EXPECT_EQ(2.75, krv_sampleTime[3]);
  krv_frameBuffer[3] = NULL;
  // Without its buffer the sink leaves everything as it was.
  EXPECT_EQ(S_OK, sink.BufferCB(3.0, (BYTE*)source.data(), length));
  EXPECT_EQ(2.75, krv_sampleTime[3]);
}

}  // namespace
