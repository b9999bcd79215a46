// Images through the real clipboard under Wine: exact blocks copied out, pictures pasted in
// from this process and from another one, a busy clipboard, and a reading by GDI+.
#include <objidl.h>
#include <gdiplus.h>

#include <string>
#include <vector>

#include "image/dib_blocks.h"
#include "image/image_fixture.h"
#include "support/seeded_random.h"

namespace {

const wchar_t PeerSwitch[] = L"--clipboard-peer";

// Leaves the clipboard with nothing but one CF_DIB block of these bytes.
bool PutDib(const std::vector<BYTE>& bytes) {
  if (!OpenClipboard(NULL)) return false;
  EmptyClipboard();
  HGLOBAL block;
  void* data = LockNewClipboardBlock(bytes.size(), &block);
  if (data) {
    memcpy(data, bytes.data(), bytes.size());
    HandBlockToClipboard(block, CF_DIB);
  }
  CloseClipboard();
  return data != NULL;
}

// The clipboard's CF_DIB block, as long as the system says it is; empty when there is none.
std::vector<BYTE> ClipboardDib(void) {
  std::vector<BYTE> bytes;
  if (!OpenClipboard(NULL)) return bytes;
  HANDLE data = GetClipboardData(CF_DIB);
  const BYTE* start = data ? (const BYTE*)GlobalLock(data) : NULL;
  if (start) {
    bytes.assign(start, start + GlobalSize(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return bytes;
}

void PutText(const char* text) {
  ASSERT_TRUE(OpenClipboard(NULL));
  EmptyClipboard();
  HGLOBAL block;
  char* data = (char*)LockNewClipboardBlock(strlen(text) + 1, &block);
  strcpy(data, text);
  HandBlockToClipboard(block, CF_TEXT);
  CloseClipboard();
}

std::string ClipboardText(void) {
  std::string text;
  if (!OpenClipboard(NULL)) return text;
  HANDLE data = GetClipboardData(CF_TEXT);
  const char* start = data ? (const char*)GlobalLock(data) : NULL;
  if (start) {
    text = start;
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

int Pattern(int x, int y) { return ((x * 7) << 16) ^ ((y * 13) << 8) ^ (x + y) ^ 0x5A; }

void FillPattern(int id) {
  const ImageSlot& slot = krv_images[id];
  for (int y = 0; y < slot.height; y++)
    for (int x = 0; x < slot.width; x++) {
      if (slot.bits == 32)
        ((int*)krv_pixels[id])[y * slot.width + x] = Pattern(x, y) & 0xFFFFFF;
      else
        ((BYTE*)krv_pixels[id])[y * ImageStride(8, slot.width) + x] = (BYTE)(x * 8 + y);
    }
}

void FillWith(int id, int colour) {
  const ImageSlot& slot = krv_images[id];
  for (int i = 0; i < slot.width * slot.height; i++) ((int*)krv_pixels[id])[i] = colour;
}

BYTE Solid123456(int, int index) {
  static const BYTE bgr[3] = {0x56, 0x34, 0x12};
  return bgr[index % 3];
}

// Holds the clipboard open from another thread until told to let go. It opens it for a window
// of its own: Wine lets any thread in when the clipboard was opened without one.
struct ClipboardHolder {
  HANDLE opened = CreateEventW(NULL, TRUE, FALSE, NULL);
  HANDLE release = CreateEventW(NULL, TRUE, FALSE, NULL);
  HANDLE thread = NULL;
  static DWORD WINAPI Hold(LPVOID self) {
    ClipboardHolder* holder = (ClipboardHolder*)self;
    HWND window = CreateWindowExW(0, L"STATIC", L"holder", 0, 0, 0, 1, 1, HWND_MESSAGE, NULL,
                                  NULL, NULL);
    if (OpenClipboard(window)) {
      SetEvent(holder->opened);
      WaitForSingleObject(holder->release, 10000);
      CloseClipboard();
    }
    DestroyWindow(window);
    return 0;
  }
  bool Start() {
    thread = CreateThread(NULL, 0, Hold, this, 0, NULL);
    return WaitForSingleObject(opened, 5000) == WAIT_OBJECT_0;
  }
  ~ClipboardHolder() {
    SetEvent(release);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(opened);
    CloseHandle(release);
  }
};

// The second process of the cross-process test: it puts an 8 x 4 picture the way many
// programs do (a 124-byte header, bit fields with alpha, top-down rows) and ends.
BYTE PeerPixel(int row, int index) {
  static const BYTE bgra[4] = {0xC0, 0xB0, 0xA0, 0xFF};
  return row == 0 && index < 4 ? 0x00 : bgra[index % 4];  // top-left pixel black
}

struct PeerMode {
  PeerMode() {
    if (!wcsstr(GetCommandLineW(), PeerSwitch)) return;
    DibShape shape;
    shape.headerSize = 124;
    shape.width = 8;
    shape.height = -4;
    shape.bitCount = 32;
    shape.compression = BI_BITFIELDS;
    ExitProcess(PutDib(MakeDib(shape, PeerPixel)) ? 0 : 1);
  }
} peerMode;

DWORD RunPeer(void) {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(NULL, path, MAX_PATH);
  std::wstring line = L"\"" + std::wstring(path) + L"\" " + PeerSwitch;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(path, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
    return 99;
  WaitForSingleObject(process.hProcess, 20000);
  DWORD code = 98;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

}  // namespace

class Clipboard : public ImageTest {};

TEST_F(Clipboard, CopyOf640x480ImageIsA24BitBottomUpBlock) {
  ASSERT_EQ(0, KRV_CreateImage(0, "copy", -1, -1, 640, 480, 100));
  FillPattern(0);
  KRV_CopyImage(0);
  const std::vector<BYTE> block = ClipboardDib();
  ASSERT_EQ(40u + 480u * 1920u, block.size());
  BITMAPINFOHEADER header;
  memcpy(&header, block.data(), sizeof header);
  EXPECT_EQ(40u, header.biSize);
  EXPECT_EQ(640, header.biWidth);
  EXPECT_EQ(480, header.biHeight);
  EXPECT_EQ(1, header.biPlanes);
  EXPECT_EQ(24, header.biBitCount);
  EXPECT_EQ((DWORD)BI_RGB, header.biCompression);
  EXPECT_EQ(0u, header.biSizeImage);
  EXPECT_EQ(0, header.biXPelsPerMeter);
  EXPECT_EQ(0, header.biYPelsPerMeter);
  EXPECT_EQ(0u, header.biClrUsed);
  EXPECT_EQ(0u, header.biClrImportant);
  for (int y = 0; y < 480; y++)
    for (int x = 0; x < 640; x++) {
      const BYTE* p = &block[40 + (479 - y) * 1920 + x * 3];
      ASSERT_EQ(Pattern(x, y) & 0xFFFFFF, (p[2] << 16) | (p[1] << 8) | p[0]) << x << "," << y;
    }

  PutText("kept");
  KRV_CopyImage(5);  // no such image: the clipboard is not touched
  KRV_CopyImage(256);
  EXPECT_EQ("kept", ClipboardText());
}

TEST_F(Clipboard, CopyOf8BitImageCarriesItsColourTable) {
  ASSERT_EQ(0, KRV_CreateImage8(0, "copy8", -1, -1, 30, 10, 100));
  RGBQUAD table[256];
  for (int i = 0; i < 256; i++) table[i] = {(BYTE)(255 - i), (BYTE)(i / 2), (BYTE)i, 0};
  ASSERT_EQ(0, KRV_SetPalette(table, 256));
  FillPattern(0);
  KRV_CopyImage(0);
  const std::vector<BYTE> block = ClipboardDib();
  ASSERT_EQ(40u + 1024u + 10u * 32u, block.size());
  BITMAPINFOHEADER header;
  memcpy(&header, block.data(), sizeof header);
  EXPECT_EQ(8, header.biBitCount);
  EXPECT_EQ(10, header.biHeight);
  EXPECT_EQ(0u, header.biClrUsed);
  EXPECT_EQ(0, memcmp(table, &block[40], 1024));
  for (int y = 0; y < 10; y++)
    for (int x = 0; x < 30; x++)
      ASSERT_EQ(x * 8 + y, block[40 + 1024 + (9 - y) * 32 + x]) << x << "," << y;
}

TEST_F(Clipboard, PasteAtCornerChangesOnlyThePixelsInside) {
  ASSERT_EQ(0, KRV_CreateImage(0, "paste", -1, -1, 640, 480, 100));
  FillWith(0, 0x010203);
  DibShape shape;
  shape.width = 100;
  shape.height = 50;
  ASSERT_TRUE(PutDib(MakeDib(shape, Solid123456)));
  KRV_PasteImage(0, 600, 470);
  int changed = 0;
  for (int y = 0; y < 480; y++)
    for (int x = 0; x < 640; x++) {
      const int inside = x >= 600 && y >= 470;
      const int pixel = ((int*)krv_pixels[0])[y * 640 + x];
      ASSERT_EQ(inside ? 0x123456 : 0x010203, pixel) << x << "," << y;
      changed += inside;
    }
  EXPECT_EQ(400, changed);

  KRV_PasteImage(1, 0, 0);  // no image 1: nothing at all
  EXPECT_FALSE(ImageInUse(1));
}

TEST_F(Clipboard, SixteenColourTableReplacesTheFirstSixteenEntries) {
  DibShape shape;
  shape.bitCount = 4;
  shape.coloursUsed = 16;
  shape.tableEntries = 16;  // entry i is blue 3i, green 5i, red 7i
  ASSERT_TRUE(PutDib(MakeDib(shape, IndexFive)));
  RGBQUAD colours[256];
  int count = -1;
  HBITMAP bitmap = KRV_GetClipboardBitmap(colours, &count);
  ASSERT_TRUE(bitmap != NULL);
  DeleteObject(bitmap);
  EXPECT_EQ(16, count);
  EXPECT_EQ(105, colours[15].rgbRed);

  ASSERT_EQ(0, KRV_CreateImage8(0, "eight", -1, -1, 8, 8, 100));
  KRV_PasteImage(0, 1, 1);
  RGBQUAD table[256];
  ASSERT_EQ(0, KRV_GetPalette(table));
  for (int i = 0; i < 16; i++) {
    EXPECT_EQ(7 * i, table[i].rgbRed) << i;
    EXPECT_EQ(5 * i, table[i].rgbGreen) << i;
    EXPECT_EQ(3 * i, table[i].rgbBlue) << i;
  }
  for (int i = 16; i < 256; i++) ASSERT_EQ(i, table[i].rgbRed) << i;  // grey ramp kept
  KRV_SelectImage(0);
  EXPECT_EQ(0, KRV_GetPixel(0, 0));
  EXPECT_EQ(5, KRV_GetPixel(1, 1));
  EXPECT_EQ(5, KRV_GetPixel(4, 2));
  EXPECT_EQ(0, KRV_GetPixel(5, 1));

  ASSERT_EQ(0, KRV_CreateImage(1, "thirty-two", -1, -1, 8, 8, 100));
  KRV_PasteImage(1, 0, 0);
  EXPECT_EQ((35 << 16) | (25 << 8) | 15, KRV_GetPixel(3, 1));
  EXPECT_EQ(0, KRV_GetPixel(4, 0));
}

TEST_F(Clipboard, UnreadablePicturesChangeNothing) {
  ASSERT_EQ(0, KRV_CreateImage8(0, "guarded", -1, -1, 8, 8, 100));
  FillPattern(0);
  RGBQUAD before[256], after[256];
  KRV_GetPalette(before);
  const std::vector<BYTE> pixels((BYTE*)krv_pixels[0], (BYTE*)krv_pixels[0] + 64);
  DibShape shape;
  shape.bitCount = 8;
  shape.coloursUsed = 16;
  shape.tableEntries = 16;
  std::vector<BYTE> block = MakeDib(shape, IndexFive);
  block.pop_back();  // one byte of the rows missing
  ASSERT_TRUE(PutDib(block));
  RGBQUAD colours[256];
  int count = -1;
  EXPECT_TRUE(KRV_GetClipboardBitmap(colours, &count) == NULL);
  EXPECT_EQ(0, count);
  KRV_PasteImage(0, 0, 0);
  PutText("no picture");
  KRV_PasteImage(0, 0, 0);
  KRV_GetPalette(after);
  EXPECT_EQ(0, memcmp(before, after, sizeof before));
  EXPECT_EQ(0, memcmp(pixels.data(), krv_pixels[0], 64));
}

TEST_F(Clipboard, CutClearsTheImageEvenWhenTheClipboardIsBusy) {
  ASSERT_EQ(0, KRV_CreateImage(0, "cut", -1, -1, 16, 8, 100));
  FillWith(0, 0x334455);
  PutText("before");
  {
    ClipboardHolder holder;
    ASSERT_TRUE(holder.Start());
    CutImage(0);
  }
  for (int i = 0; i < 16 * 8; i++) ASSERT_EQ(0, ((int*)krv_pixels[0])[i]) << i;
  EXPECT_EQ("before", ClipboardText());

  FillWith(0, 0x334455);
  CutImage(0);
  const std::vector<BYTE> block = ClipboardDib();
  ASSERT_EQ(40u + 8u * 48u, block.size());
  EXPECT_EQ(0x55, block[40]);
  EXPECT_EQ(0x33, block[42]);
  EXPECT_EQ(0, ((int*)krv_pixels[0])[0]);
}

TEST_F(Clipboard, PictureOfAnotherProcessIsPasted) {
  PutText("not a picture");
  ASSERT_EQ(0u, RunPeer());
  ASSERT_EQ(0, KRV_CreateImage(0, "peer", -1, -1, 20, 20, 100));
  KRV_PasteImage(0, 2, 3);
  EXPECT_EQ(0x000000, KRV_GetPixel(2, 3));  // its top-left pixel, top-down rows
  EXPECT_EQ(0xA0B0C0, KRV_GetPixel(3, 3));
  EXPECT_EQ(0xA0B0C0, KRV_GetPixel(9, 6));
  EXPECT_EQ(0, KRV_GetPixel(10, 6));
  EXPECT_EQ(0, KRV_GetPixel(9, 7));
}

TEST_F(Clipboard, CopiedPictureReadsBackInGdiplus) {
  if (!gdiplusToken) {
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&gdiplusToken, &input, NULL));
  }
  ASSERT_EQ(0, KRV_CreateImage(0, "gdiplus", -1, -1, 37, 11, 100));
  FillPattern(0);
  KRV_CopyImage(0);
  std::vector<BYTE> block = ClipboardDib();
  ASSERT_EQ(40u + 11u * 112u, block.size());
  Gdiplus::GpBitmap* decoded = NULL;
  ASSERT_EQ(Gdiplus::Ok, Gdiplus::DllExports::GdipCreateBitmapFromGdiDib(
                             (const BITMAPINFO*)block.data(), &block[40], &decoded));
  UINT width = 0, height = 0;
  Gdiplus::DllExports::GdipGetImageWidth(decoded, &width);
  Gdiplus::DllExports::GdipGetImageHeight(decoded, &height);
  EXPECT_EQ(37u, width);
  EXPECT_EQ(11u, height);
  for (int y = 0; y < 11; y++)
    for (int x = 0; x < 37; x++) {
      Gdiplus::ARGB argb = 0;
      Gdiplus::DllExports::GdipBitmapGetPixel(decoded, x, y, &argb);
      ASSERT_EQ(Pattern(x, y) & 0xFFFFFF, (int)(argb & 0xFFFFFF)) << x << "," << y;
    }
  Gdiplus::DllExports::GdipDisposeImage(decoded);
}

TEST_F(Clipboard, PendingBitmapIsDrawnAtTheCornerAndDeleted) {
  ASSERT_EQ(0, KRV_CreateImage(0, "pending", -1, -1, 10, 10, 100));
  FillWith(0, 0x010101);
  HDC screen = GetDC(NULL);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 3, 2);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all = {0, 0, 3, 2};
  HBRUSH brush = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(NULL, screen);

  RequestBlock block = {};
  block.bitmap = bitmap;
  requestHandlers[RequestCodePasteBitmap - RequestCodeCreateImage](&block);
  EXPECT_TRUE(block.bitmap == NULL);
  BITMAP info;
  EXPECT_EQ(0, GetObjectW(bitmap, sizeof info, &info));  // deleted
  EXPECT_EQ(0x123456, KRV_GetPixel(0, 0));
  EXPECT_EQ(0x123456, KRV_GetPixel(2, 1));
  EXPECT_EQ(0x010101, KRV_GetPixel(3, 1));
  EXPECT_EQ(0x010101, KRV_GetPixel(0, 2));
}

// Damaged pictures through the real clipboard: whatever the checks refuse leaves the image and
// its colour table as they were; whatever they accept is pasted.
TEST_F(Clipboard, DamagedPicturesAreRefusedWithoutATrace) {
  ASSERT_EQ(0, KRV_CreateImage8(0, "guarded", -1, -1, 12, 8, 100));
  const std::vector<std::vector<BYTE>> seeds = SeedDibs();
  Random random(7);
  int refused = 0, pasted = 0;
  for (int round = 0; round < 400; round++) {
    FillPattern(0);
    RGBQUAD before[256], after[256];
    KRV_GetPalette(before);
    const std::vector<BYTE> pixels((BYTE*)krv_pixels[0], (BYTE*)krv_pixels[0] + 12 * 8);
    const std::vector<BYTE> damaged = Mutated(seeds[random() % seeds.size()], random);
    if (damaged.empty()) continue;  // a block of no bytes cannot be put on the clipboard
    ASSERT_TRUE(PutDib(damaged));
    const std::vector<BYTE> block = ClipboardDib();  // as long as the system has it
    PackedDib dib;
    const bool readable = ReadPackedDib(block.data(), block.size(), &dib) == DibReadable;
    KRV_PasteImage(0, 0, 0);
    if (readable) {
      pasted++;
      continue;
    }
    refused++;
    KRV_GetPalette(after);
    ASSERT_EQ(0, memcmp(before, after, sizeof before)) << round;
    ASSERT_EQ(0, memcmp(pixels.data(), krv_pixels[0], pixels.size())) << round;
  }
  EXPECT_GT(refused, 100);
  EXPECT_GT(pasted, 20);
}

// Pictures pasted into 8-bit images keep their exact colours wherever the colour table has
// them: an 8-bit copy pasted back, and a 24-bit copy of grey pixels into a grey image.
TEST_F(Clipboard, EightBitImagesTakeTheExactEntriesOfPastedColours) {
  ASSERT_EQ(0, KRV_CreateImage8(0, "source", -1, -1, 64, 8, 100));
  BYTE* source = (BYTE*)krv_pixels[0];
  for (int y = 0; y < 8; y++)
    for (int x = 0; x < 64; x++) source[y * 64 + x] = (BYTE)(x * 4 + y % 4);
  KRV_CopyImage(0);
  ASSERT_EQ(0, KRV_CreateImage8(1, "eight", -1, -1, 64, 8, 100));
  KRV_PasteImage(1, 0, 0);
  for (int i = 0; i < 64 * 8; i++) ASSERT_EQ(source[i], ((BYTE*)krv_pixels[1])[i]) << i;

  ASSERT_EQ(0, KRV_CreateImage(2, "grey32", -1, -1, 64, 8, 100));
  for (int i = 0; i < 64 * 8; i++) ((int*)krv_pixels[2])[i] = source[i] * 0x010101;
  KRV_CopyImage(2);
  ASSERT_EQ(0, KRV_CreateImage8(3, "corner", -1, -1, 64, 8, 100));
  memset(krv_pixels[3], 200, 64 * 8);
  KRV_PasteImage(3, 60, 5);  // only the 4 x 3 pixels inside change
  for (int y = 0; y < 8; y++)
    for (int x = 0; x < 64; x++) {
      const BYTE expected = x >= 60 && y >= 5 ? source[(y - 5) * 64 + x - 60] : 200;
      ASSERT_EQ(expected, ((BYTE*)krv_pixels[3])[y * 64 + x]) << x << "," << y;
    }
}
