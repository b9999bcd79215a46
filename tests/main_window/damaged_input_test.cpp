// Hostile input on the main window, in the running framework: a thousand-entry drop of sound,
// damaged and badly named files, and damaged device-independent bitmaps pasted with its Paste
// command. Seeded (KRV_SOAK_SEED); KRV_SOAK_BLOCKS sets the number of blocks (10000 for the
// long form).
#include <objidl.h>
#include <gdiplus.h>
#include <stdio.h>
#include <string.h>

#include <map>

#include "damaged_input/corpus.h"
#include "image/dib_blocks.h"
#include "image/picture_files.h"
#include "main_window/running_framework.h"

namespace {

int KeptPixel(int i) { return (i * 0x010203) & 0xFFFFFF; }

// Image 0 holds a pattern and is current: what the main window opens must leave it so.
void KeepImageZero(void) {
  SoundFiles();
  KRV_CreateImage(0, "keep", 0, 0, 16, 16, 100);
  for (int i = 0; i < 256; i++) ((int*)krv_pixels[0])[i] = KeptPixel(i);
}

bool ImageZeroKept(void) {
  if (!ImageInUse(0) || TitleOf(0) != "keep" || krv_current != 0) return false;
  for (int i = 0; i < 256; i++)
    if (((const int*)krv_pixels[0])[i] != KeptPixel(i)) return false;
  return true;
}

// The size GDI+ gives a file, 0 x 0 when it gives none.
SIZE DecodedSize(const std::wstring& path) {
  Gdiplus::GpImage* image = NULL;
  SIZE size = {0, 0};
  if (Gdiplus::DllExports::GdipLoadImageFromFile(path.c_str(), &image) != Gdiplus::Ok) return size;
  UINT width = 0, height = 0;
  Gdiplus::DllExports::GdipGetImageWidth(image, &width);
  Gdiplus::DllExports::GdipGetImageHeight(image, &height);
  Gdiplus::DllExports::GdipDisposeImage(image);
  size.cx = (LONG)width;
  size.cy = (LONG)height;
  return size;
}

std::wstring Wide(const char* ascii) { return std::wstring(ascii, ascii + strlen(ascii)); }

std::string Narrow(const std::wstring& wide) {
  char narrow[MAX_PATH * 2] = "";
  WideToNarrow(wide.c_str(), narrow, sizeof narrow);
  return narrow;
}

class HostileMainWindow : public RunningFramework {
 protected:
  void TearDown() override {
    ForgetCase();
    RunningFramework::TearDown();
    for (const std::wstring& name : written) DeleteFileW(name.c_str());
    RemoveDirectoryW(folder.c_str());
    if (OpenClipboard(NULL)) {
      EmptyClipboard();
      CloseClipboard();
    }
  }
  std::wstring Write(const std::wstring& name, const Bytes& bytes) {
    const std::wstring path = folder + L"\\" + name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    EXPECT_NE(INVALID_HANDLE_VALUE, file) << Narrow(name);
    DWORD done = 0;
    if (!bytes.empty()) WriteFile(file, bytes.data(), (DWORD)bytes.size(), &done, NULL);
    CloseHandle(file);
    written.push_back(path);
    return path;
  }
  // Every image but image 0 closed as its window's close box would.
  void CloseNewImages() {
    for (int id = 1; id < SlotCount; id++) {
      const ImageSlot* slot = ImageInUse(id);
      if (slot) SendMessageW(slot->window, WM_CLOSE, 0, 0);
      ASSERT_FALSE(ImageInUse(id)) << id;
    }
  }
  bool Answers(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result) != 0;
  }
  std::wstring folder = FullPath(L"hostile_drop");
  std::vector<std::wstring> written;
};

}  // namespace

// What a window the drop opened must hold: a sound picture its decoded size (and, for the BMPs
// read here byte by byte, its pixels); a damaged file may open one window or none.
struct DroppedPicture {
  std::wstring path;
  bool sound;
  Bytes bytes;
};

TEST_F(HostileMainWindow, AThousandEntryDropOpensOneWindowPerPictureAndNothingElse) {
  Start(KeepImageZero);
  CreateDirectoryW(folder.c_str(), NULL);
  const unsigned long long seed = SoakSeed();
  Random random(seed);
  const std::vector<SoundFile>& sound = SoundFiles();
  std::map<std::string, DroppedPicture> pictures;  // by file name as the titles spell it
  std::vector<std::wstring> entries;
  auto add = [&](const std::wstring& name, const Bytes& bytes, bool soundPicture, bool damaged) {
    const std::wstring path = Write(name, bytes);
    entries.push_back(path);
    if (soundPicture || damaged) pictures[Narrow(name)] = {path, soundPicture, bytes};
  };
  for (int round = 0; round < 2; round++)
    for (size_t i = 0; i < sound.size(); i++) {
      const std::wstring name = L"sound_" + std::to_wstring(round) + L"_" + std::to_wstring(i);
      add(name + Wide(ExtensionOf(sound[i].kind)), sound[i].bytes, IsPicture(sound[i]), false);
    }
  for (int i = 0; i < 4; i++)  // 画像: names the code page spells
    add(L"\u753B\u50CF_" + std::to_wstring(i) + L".bmp", sound[0].bytes, true, false);
  for (int i = 0; i < 150; i++) {
    const SoundFile& file = sound[random.Below((int)sound.size())];
    std::string how;
    const std::wstring name = L"damaged_" + std::to_wstring(i) + Wide(ExtensionOf(file.kind));
    add(name, Damage(file.bytes, &random, &how), false, true);
  }
  // Real pictures under names the code page cannot spell (ā à ß 한, and one beyond the BMP):
  // converted, they would name no file or another.
  std::vector<std::wstring> foreign;
  for (const wchar_t* odd : {L"\u0101", L"\u00e0", L"\u00df", L"\ud55c", L"\U0001F600"})
    foreign.push_back(Write(std::wstring(L"x") + odd + L".bmp", sound[0].bytes));
  std::vector<std::wstring> others = {folder, L"C:\\", L"NUL", folder + L"\\missing.png"};
  for (size_t length : {250, 255, 259, 260, 261, 300, 1000, 4000, 32000})
    others.push_back(folder + L"\\" + std::wstring(length, L'n') + L".bmp");
  for (size_t i = 0; entries.size() < 1000; i++)
    entries.push_back(i % 2 ? foreign[i / 2 % foreign.size()] : others[i / 2 % others.size()]);
  for (size_t i = entries.size() - 1; i > 0; i--)
    std::swap(entries[i], entries[random.Below((int)i + 1)]);

  NoteCase("main window drop of 1000", seed, 0);
  SendMessageW(mainWindow, WM_DROPFILES, (WPARAM)MakeDrop(entries), 0);
  ForgetCase();
  ASSERT_TRUE(Answers(mainWindow));
  std::map<std::string, int> opened;
  int windows = 0, soundWindows = 0, damagedWindows = 0;
  for (int id = 1; id < SlotCount; id++) {
    const ImageSlot* slot = ImageInUse(id);
    if (!slot) continue;
    windows++;
    ASSERT_TRUE(Answers(slot->window));
    const std::string title = TitleOf(id);
    char number[8];
    snprintf(number, sizeof number, "%03d ", id);
    ASSERT_EQ(0u, title.find(number)) << title;
    const std::string name = title.substr(4);
    const auto found = pictures.find(name);
    ASSERT_TRUE(found != pictures.end()) << "a window for " << name;
    ASSERT_EQ(1, ++opened[name]) << name;
    const DroppedPicture& picture = found->second;
    (picture.sound ? soundWindows : damagedWindows)++;
    if (!picture.sound) continue;
    const SIZE size = DecodedSize(picture.path);
    EXPECT_EQ(size.cx, slot->width) << name;
    EXPECT_EQ(size.cy, slot->height) << name;
    const BmpPicture bmp = ParseBmp(picture.bytes);
    if (!bmp.ok) continue;
    for (int y = 0; y < bmp.height; y++)
      for (int x = 0; x < bmp.width; x++)
        ASSERT_EQ(bmp.At(x, y), ((const int*)krv_pixels[id])[y * slot->width + x])
            << name << " at " << x << "," << y;
  }
  int soundPictures = 0;
  for (const auto& picture : pictures) soundPictures += picture.second.sound;
  EXPECT_EQ(soundPictures, soundWindows);
  EXPECT_TRUE(ImageZeroKept());
  printf("main window drop: seed %llu, %d entries, %d windows: %d of %d sound pictures, %d of "
         "150 damaged files; 0 crashes\n",
         seed, (int)entries.size(), windows, soundWindows, soundPictures, damagedWindows);
  CloseNewImages();
}

namespace {

DWORD Field(const Bytes& block, size_t at, int size) {
  DWORD value = 0;
  if (at + size <= block.size()) memcpy(&value, block.data() + at, size);
  return value;
}

// What a block must become when it is a plain one: a 40-byte header, no compression, 1, 4 or
// 8 bits with a whole colour table, or 24 or 32 bits, and all its rows present. Read here byte
// by byte, top row first, as 0x00RRGGBB; false for every other block.
bool PlainPicture(const Bytes& block, int* width, int* height, std::vector<int>* pixels) {
  const int w = (int)Field(block, 4, 4), h = (int)Field(block, 8, 4);
  const int bits = (int)Field(block, 14, 2);
  const DWORD used = Field(block, 32, 4);
  if (block.size() < 40 || Field(block, 0, 4) != 40 || Field(block, 12, 2) != 1 ||
      Field(block, 16, 4) != BI_RGB || w < 1 || w > 32767 || h == 0 || h < -32767 || h > 32767)
    return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  const long long table = bits <= 8 ? 1LL << bits : used;
  if (bits <= 8 && used != 0 && used != (DWORD)table) return false;
  const long long rows = h < 0 ? -(long long)h : h;
  const long long stride = ((long long)w * bits + 31) / 32 * 4;
  const long long start = 40 + table * 4;
  if (start + stride * rows > (long long)block.size()) return false;
  *width = w;
  *height = (int)rows;
  pixels->assign((size_t)w * rows, 0);
  for (long long y = 0; y < rows; y++) {
    const BYTE* row = block.data() + start + (h < 0 ? y : rows - 1 - y) * stride;
    for (int x = 0; x < w; x++) {
      const BYTE* colour = row + x * (bits / 8);  // 24 and 32 bits: blue, green, red
      if (bits <= 8) {
        const int perByte = 8 / bits;
        const int index = (row[x / perByte] >> ((perByte - 1 - x % perByte) * bits)) &
                          ((1 << bits) - 1);
        colour = block.data() + 40 + index * 4;
      }
      (*pixels)[(size_t)y * w + x] = colour[2] << 16 | colour[1] << 8 | colour[0];
    }
  }
  return true;
}

}  // namespace

// Each paste makes one image, titled by its slot, of the block's size, and for a plain block
// holding exactly its pixels; or it makes nothing.
TEST_F(HostileMainWindow, DamagedClipboardBlocksMakeACorrectImageOrNone) {
  Start(KeepImageZero);
  const unsigned long long seed = SoakSeed();
  const int blocks = (int)EnvironmentNumber("KRV_SOAK_BLOCKS", 1000);
  const std::vector<std::vector<BYTE>> seeds = SeedDibs();
  int made = 0, plain = 0, refused = 0, offered = 0;
  for (int number = 0; number < blocks; number++) {
    Random random(seed * 1000003ULL + (unsigned long long)number);
    const Bytes block = Mutated(seeds[random() % seeds.size()], random);
    if (block.empty() || !OfferDib(block)) continue;
    offered++;
    NoteCase("main window paste", seed, number);
    SendMessageW(mainWindow, WM_COMMAND, CommandPasteBitmap, 0);
    ForgetCase();
    const std::string replay = "seed " + std::to_string(seed) + " case " + std::to_string(number);
    int width = 0, height = 0;
    std::vector<int> pixels;
    const bool isPlain = PlainPicture(block, &width, &height, &pixels);
    const ImageSlot* slot = ImageInUse(1);
    ASSERT_FALSE(ImageInUse(2)) << replay;
    if (!slot) {
      refused++;
      ASSERT_FALSE(isPlain) << "a plain block made no image; " << replay;
      continue;
    }
    made++;
    ASSERT_EQ("001", TitleOf(1)) << replay;
    ASSERT_GE(block.size(), 40u) << replay;
    const int rows = (int)Field(block, 8, 4);
    ASSERT_EQ((int)Field(block, 4, 4), slot->width) << replay;
    ASSERT_EQ(rows < 0 ? -rows : rows, slot->height) << replay;
    ASSERT_EQ(32, slot->bits) << replay;
    if (isPlain) {
      plain++;
      const int* got = (const int*)krv_pixels[1];
      for (size_t i = 0; i < pixels.size(); i++)
        ASSERT_EQ(pixels[i], got[i]) << "pixel " << i << "; " << replay;
    }
    CloseNewImages();
  }
  EXPECT_TRUE(ImageZeroKept());
  ASSERT_TRUE(Answers(mainWindow));
  printf("main window paste: seed %llu, %d blocks offered, %d images made (%d of plain blocks "
         "checked pixel by pixel), %d refused, 0 crashes\n",
         seed, offered, made, plain, refused);
  EXPECT_GT(plain, 0);
  EXPECT_GT(refused, 0);
}
