// Image files written and read for real through GDI+ under Wine, checked against files made
// and parsed byte by byte.
#include <string.h>

#include "image/image_fixture.h"
#include "image/picture_files.h"

namespace {

int Stripes(int x, int y) {
  return (((x * 7) & 0xFF) << 16) | (((y * 5) & 0xFF) << 8) | ((x + y) & 0xFF);
}
int Orange(int, int) { return 0xFF8000; }
int Teal(int, int) { return 0x008080; }

// Pixel (x, y) of a 32-bit image.
int& Pixel(int id, int x, int y) { return ((int*)krv_pixels[id])[y * krv_images[id].width + x]; }
unsigned char& Index(int id, int x, int y) {
  return ((unsigned char*)krv_pixels[id])[y * ImageStride(8, krv_images[id].width) + x];
}

void FillImage(int id, int (*colourAt)(int x, int y)) {
  for (int y = 0; y < krv_images[id].height; y++)
    for (int x = 0; x < krv_images[id].width; x++) Pixel(id, x, y) = colourAt(x, y);
}

std::vector<int> PixelsOf(int id) {
  const ImageSlot& slot = krv_images[id];
  std::vector<int> pixels((size_t)slot.width * slot.height);
  KRV_SelectImage(id);
  KRV_ReadImageRect(pixels.data(), 0, 0, slot.width, slot.height);
  return pixels;
}

std::vector<RGBQUAD> PaletteOf(int id) {
  std::vector<RGBQUAD> table(256);
  KRV_SelectImage(id);
  KRV_GetPalette(table.data());
  return table;
}

int ColourOf(const RGBQUAD& quad) {
  return (quad.rgbRed << 16) | (quad.rgbGreen << 8) | quad.rgbBlue;
}

}  // namespace

class ImageFiles : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    UseGdiplus();
    CreateDirectoryA("files_test", NULL);
  }
  void TearDown() override {
    for (const std::string& name : made) DeleteFileA(name.c_str());
    RemoveDirectoryA("files_test");
    ImageTest::TearDown();
  }
  // A file name in the test's folder, removed after the test.
  std::string Made(const std::string& name) {
    made.push_back("files_test\\" + name);
    return made.back();
  }
  std::string MadeBmp(const std::string& name, int width, int height, int (*colourAt)(int, int)) {
    const std::string path = Made(name);
    WriteBytes(path, MakeBmp24(width, height, colourAt));
    return path;
  }
  std::vector<std::string> made;
};

TEST_F(ImageFiles, APictureOverTheCornerChangesOnlyTheCornerInside) {
  const std::string path = MadeBmp("corner.bmp", 100, 50, Orange);
  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 640, 480, 100));
  FillImage(0, Stripes);
  ASSERT_EQ(0, KRV_LoadImageFile(path.c_str(), 600, 470));
  for (int y = 0; y < 480; y++)
    for (int x = 0; x < 640; x++) {
      const int expected = x >= 600 && y >= 470 ? 0xFF8000 : Stripes(x, y);
      ASSERT_EQ(expected, Pixel(0, x, y)) << x << "," << y;
    }
}

TEST_F(ImageFiles, LoadedPixelsKeepTheTopByteZero) {
  const std::string path = MadeBmp("teal.bmp", 8, 8, Teal);
  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 64, 64, 100));
  ASSERT_EQ(0, KRV_LoadImageFile(path.c_str(), -4, 60));
  for (int y = 0; y < 64; y++)
    for (int x = 0; x < 64; x++)
      ASSERT_EQ(x < 4 && y >= 60 ? 0x008080 : 0, Pixel(0, x, y)) << x << "," << y;
}

TEST_F(ImageFiles, SixteenColourGifSetsTheFirstSixteenEntries) {
  const std::string path = Made("sixteen.gif");
  WriteBytes(path, std::vector<unsigned char>(sixteenColourGif,
                                              sixteenColourGif + sixteenColourGifSize));
  ASSERT_EQ(0, KRV_CreateImage8(1, "gif", -1, -1, 40, 20, 100));
  ASSERT_EQ(0, KRV_LoadImageFile(path.c_str(), 2, 3));
  const std::vector<RGBQUAD> table = PaletteOf(1);
  for (int i = 0; i < 16; i++) {
    const unsigned char* entry = sixteenColourGif + 13 + 3 * i;
    EXPECT_EQ((entry[0] << 16) | (entry[1] << 8) | entry[2], ColourOf(table[i])) << i;
    EXPECT_EQ(0, table[i].rgbReserved);
  }
  for (int i = 16; i < 256; i++) EXPECT_EQ(i * 0x010101, ColourOf(table[i])) << i;
  for (int y = 0; y < 20; y++)
    for (int x = 0; x < 40; x++) {
      const bool inside = x >= 2 && x < 18 && y >= 3 && y < 7;
      if (inside)
        ASSERT_EQ(gifColours[x - 2], ColourOf(table[Index(1, x, y)])) << x << "," << y;
      else
        ASSERT_EQ(0, Index(1, x, y)) << x << "," << y;
    }
}

TEST_F(ImageFiles, NoCurrentImageAndBadSizesAreRefused) {
  const std::string path = MadeBmp("small.bmp", 4, 4, Orange);
  EXPECT_EQ(2, KRV_LoadImageFile(path.c_str(), 0, 0));
  Made("none.bmp");
  Made("zero.bmp");
  EXPECT_EQ(3, KRV_SaveImageFile(4, 4, ImageFileBmp, Made("none").c_str()));
  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 16, 16, 100));
  EXPECT_EQ(2, KRV_SaveImageFile(0, 4, ImageFileBmp, Made("zero").c_str()));
  EXPECT_EQ(2, KRV_SaveImageFile(4, -1, ImageFileBmp, Made("zero").c_str()));
  EXPECT_EQ(1, KRV_SaveImageFile(4, 4, 5, Made("format").c_str()));
  EXPECT_FALSE(FileExists("files_test\\none.bmp"));
  EXPECT_FALSE(FileExists("files_test\\zero.bmp"));
  KRV_DestroyImage(0);
  EXPECT_EQ(2, KRV_LoadImageFile(path.c_str(), 0, 0));
}

TEST_F(ImageFiles, BadFilesLeaveTheImageAsItWas) {
  std::vector<unsigned char> good = MakeBmp24(20, 10, Orange);
  std::vector<unsigned char> truncated(good.begin(), good.begin() + 80);
  std::vector<unsigned char> empty;
  std::vector<unsigned char> zeroSize = MakeBmp24(1, 1, Orange);
  zeroSize[18] = zeroSize[22] = 0;  // width and height 0
  std::vector<unsigned char> text = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
  const std::string names[] = {"truncated.bmp", "empty.png", "zero.bmp", "text.png"};
  const std::vector<unsigned char>* contents[] = {&truncated, &empty, &zeroSize, &text};
  std::vector<std::string> paths;
  for (int i = 0; i < 4; i++) {
    paths.push_back(Made(names[i]));
    WriteBytes(paths.back(), *contents[i]);
  }
  paths.push_back("files_test\\missing.bmp");
  paths.push_back("files_test");  // a folder
  paths.push_back("files_test\\" + std::string(300, 'a') + ".bmp");
  paths.push_back("");

  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 32, 16, 100));
  FillImage(0, Stripes);
  ASSERT_EQ(0, KRV_CreateImage8(1, "001", -1, -1, 32, 16, 100));
  for (int y = 0; y < 16; y++)
    for (int x = 0; x < 32; x++) Index(1, x, y) = (unsigned char)(x + y);
  const std::vector<int> before32 = PixelsOf(0), before8 = PixelsOf(1);
  for (const std::string& path : paths) {
    for (int id : {0, 1}) {
      KRV_SelectImage(id);
      EXPECT_EQ(1, KRV_LoadImageFile(path.c_str(), 0, 0)) << path << " into " << id;
    }
    EXPECT_EQ(before32, PixelsOf(0)) << path;
    EXPECT_EQ(before8, PixelsOf(1)) << path;
    const std::vector<RGBQUAD> table = PaletteOf(1);
    for (int i = 0; i < 256; i++) ASSERT_EQ(i * 0x010101, ColourOf(table[i])) << path;
  }
  // A file that failed is not left open: it can be removed at once.
  for (int i = 0; i < 4; i++) EXPECT_TRUE(DeleteFileA(paths[i].c_str())) << paths[i];
  EXPECT_EQ(1, KRV_LoadImageFile(NULL, 0, 0));
}

TEST_F(ImageFiles, ExtensionsAreAppendedUnlessTheNameEndsInThem) {
  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 8, 8, 100));
  FillImage(0, Stripes);
  EXPECT_EQ(0, KRV_SaveImageFile(8, 8, ImageFilePng, Made("shot.png").c_str()));
  const std::string shot = "files_test\\shot";
  EXPECT_EQ(0, KRV_SaveImageFile(8, 8, ImageFilePng, shot.c_str()));
  EXPECT_TRUE(FileExists(shot + ".png"));
  EXPECT_FALSE(FileExists(shot));
  EXPECT_EQ(0, KRV_SaveImageFile(8, 8, ImageFilePng, Made("upper.PNG").c_str()));
  EXPECT_TRUE(FileExists("files_test\\upper.PNG"));
  EXPECT_FALSE(FileExists("files_test\\upper.PNG.png"));
  Made("shot.tiff.tif");
  EXPECT_EQ(0, KRV_SaveImageFile(8, 8, ImageFileTiff, "files_test\\shot.tiff"));
  EXPECT_TRUE(FileExists("files_test\\shot.tiff.tif"));
  Made("photo.jpeg.jpg");
  EXPECT_EQ(0, KRV_SaveImageFile(8, 8, ImageFileJpeg, "files_test\\photo.jpeg"));
  EXPECT_TRUE(FileExists("files_test\\photo.jpeg.jpg"));
  Made("b.bmp");
  Made("g.gif");
  EXPECT_EQ(0, KRV_SaveImageFile(8, 8, ImageFileBmp, "files_test\\b"));
  EXPECT_EQ(0, KRV_SaveImageFile(8, 8, ImageFileGif, "files_test\\g"));
  EXPECT_TRUE(FileExists("files_test\\b.bmp"));
  EXPECT_TRUE(FileExists("files_test\\g.gif"));
}

TEST_F(ImageFiles, AThirtyTwoBitImageIsWrittenAsATwentyFourBitBmpPaddedWithBlack) {
  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 13, 7, 100));
  FillImage(0, Stripes);
  const std::string path = Made("padded.bmp");
  ASSERT_EQ(0, KRV_SaveImageFile(17, 9, ImageFileBmp, path.c_str()));
  const BmpPicture picture = ParseBmp(ReadBytes(path));
  ASSERT_TRUE(picture.ok);
  EXPECT_EQ(24, picture.bits);
  EXPECT_EQ(17, picture.width);
  EXPECT_EQ(9, picture.height);
  for (int y = 0; y < 9; y++)
    for (int x = 0; x < 17; x++)
      ASSERT_EQ(x < 13 && y < 7 ? Stripes(x, y) : 0, picture.At(x, y)) << x << "," << y;
}

TEST_F(ImageFiles, AnEightBitImageOfWidth30IsSavedIndexedWithoutShear) {
  ASSERT_EQ(0, KRV_CreateImage8(1, "001", -1, -1, 30, 6, 100));
  RGBQUAD table[256];
  for (int i = 0; i < 256; i++) table[i] = {(BYTE)i, (BYTE)(255 - i), (BYTE)(i * 3), 0};
  KRV_SetPalette(table, 256);
  for (int y = 0; y < 6; y++)
    for (int x = 0; x < 30; x++) Index(1, x, y) = (unsigned char)(x * 8 + y);
  const std::string path = Made("thirty.bmp");
  ASSERT_EQ(0, KRV_SaveImageFile(30, 6, ImageFileBmp, path.c_str()));
  const BmpPicture picture = ParseBmp(ReadBytes(path));
  ASSERT_TRUE(picture.ok);
  EXPECT_EQ(8, picture.bits);
  ASSERT_EQ(30, picture.width);
  ASSERT_EQ(6, picture.height);
  for (int y = 0; y < 6; y++)
    for (int x = 0; x < 30; x++) {
      const int index = x * 8 + y;
      ASSERT_EQ(ColourOf(table[index]), picture.At(x, y)) << x << "," << y;
    }

  // Read back into an 8-bit image through GDI+: the same indexes and colours.
  for (const char* name : {"thirty.png", "thirty.tif", "thirty.gif"}) {
    const std::string saved = Made(name);
    const int format = strstr(name, "png") ? ImageFilePng
                       : strstr(name, "tif") ? ImageFileTiff : ImageFileGif;
    KRV_SelectImage(1);
    ASSERT_EQ(0, KRV_SaveImageFile(30, 6, format, saved.c_str())) << name;
    ASSERT_EQ(0, KRV_CreateImage8(2, "002", -1, -1, 30, 6, 100));
    ASSERT_EQ(0, KRV_LoadImageFile(saved.c_str(), 0, 0)) << name;
    const std::vector<RGBQUAD> loaded = PaletteOf(2);
    for (int y = 0; y < 6; y++)
      for (int x = 0; x < 30; x++)
        ASSERT_EQ(ColourOf(table[x * 8 + y]), ColourOf(loaded[Index(2, x, y)]))
            << name << " " << x << "," << y;
    KRV_DestroyImage(2);
  }
}

TEST_F(ImageFiles, AGreyEightBitImageComesBackWithTheSameIndexes) {
  ASSERT_EQ(0, KRV_CreateImage8(1, "001", -1, -1, 64, 4, 100));
  for (int y = 0; y < 4; y++)
    for (int x = 0; x < 64; x++) Index(1, x, y) = (unsigned char)(x * 4 + y);
  const std::vector<int> original = PixelsOf(1);
  for (const char* name : {"grey.png", "grey.bmp", "grey.tif", "grey.gif"}) {
    const int format = strstr(name, "png")   ? ImageFilePng
                       : strstr(name, "bmp") ? ImageFileBmp
                       : strstr(name, "tif") ? ImageFileTiff : ImageFileGif;
    const std::string path = Made(name);
    KRV_SelectImage(1);
    ASSERT_EQ(0, KRV_SaveImageFile(64, 4, format, path.c_str())) << name;
    ASSERT_EQ(0, KRV_CreateImage8(2, "002", -1, -1, 64, 4, 100));
    ASSERT_EQ(0, KRV_LoadImageFile(path.c_str(), 0, 0)) << name;
    EXPECT_EQ(original, PixelsOf(2)) << name;
    KRV_DestroyImage(2);
  }
  // The size in the BMP's file header is the file's size.
  const std::vector<unsigned char> bmp = ReadBytes("files_test\\grey.bmp");
  ASSERT_GE(bmp.size(), 6u);
  EXPECT_EQ(bmp.size(), (size_t)(bmp[2] | bmp[3] << 8 | bmp[4] << 16 | bmp[5] << 24));
}

TEST_F(ImageFiles, ATrueColourPictureTakesTheNearestEntries) {
  const std::string path = MadeBmp("near.bmp", 4, 1, [](int x, int) {
    const int colours[] = {0x000000, 0x7F7F7F, 0x808081, 0xFE0000};
    return colours[x];
  });
  ASSERT_EQ(0, KRV_CreateImage8(1, "001", -1, -1, 8, 2, 100));
  ASSERT_EQ(0, KRV_LoadImageFile(path.c_str(), 1, 1));
  EXPECT_EQ(0, Index(1, 1, 1));
  EXPECT_EQ(127, Index(1, 2, 1));
  EXPECT_EQ(128, Index(1, 3, 1));
  EXPECT_EQ(85, Index(1, 4, 1));  // pure red is nearest to grey 85
  EXPECT_EQ(0, Index(1, 0, 1));
  EXPECT_EQ(0, Index(1, 5, 1));
  for (int x = 0; x < 8; x++) EXPECT_EQ(0, Index(1, x, 0));
}

// Every format read back by GDI+ into a 32-bit image: lossless ones exactly, JPEG closely.
// 60 colours in blocks of 4 x 4, so that GIF keeps them all and JPEG stays close.
int Blocks(int x, int y) { return ((x / 4 * 20) << 16) | ((y / 4 * 50) << 8) | 100; }

TEST_F(ImageFiles, AllFiveFormatsReadBack) {
  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 48, 20, 100));
  FillImage(0, Blocks);
  const std::vector<int> original = PixelsOf(0);
  const char* names[] = {"all.bmp", "all.jpg", "all.gif", "all.png", "all.tif"};
  for (int format = 0; format < 5; format++) {
    const std::string path = Made(names[format]);
    KRV_SelectImage(0);
    ASSERT_EQ(0, KRV_SaveImageFile(48, 20, format, path.c_str())) << names[format];
    ASSERT_EQ(0, KRV_CreateImage(1, "001", -1, -1, 48, 20, 100));
    ASSERT_EQ(0, KRV_LoadImageFile(path.c_str(), 0, 0)) << names[format];
    const std::vector<int> loaded = PixelsOf(1);
    for (size_t i = 0; i < loaded.size(); i++) {
      if (format != ImageFileJpeg) {
        ASSERT_EQ(original[i], loaded[i]) << names[format] << " pixel " << i;
        continue;
      }
      for (int shift : {0, 8, 16})
        ASSERT_NEAR((original[i] >> shift) & 0xFF, (loaded[i] >> shift) & 0xFF, 40)
            << "pixel " << i;
      ASSERT_EQ(0, loaded[i] >> 24);
    }
    KRV_DestroyImage(1);
  }
}

TEST_F(ImageFiles, AGifOfManyColoursStillDecodes) {
  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 64, 64, 100));
  FillImage(0, [](int x, int y) { return (x * 4 << 16) | (y * 4 << 8) | ((x ^ y) * 4); });
  const std::string path = Made("many.gif");
  ASSERT_EQ(0, KRV_SaveImageFile(64, 64, ImageFileGif, path.c_str()));
  ASSERT_EQ(0, KRV_CreateImage(1, "001", -1, -1, 64, 64, 100));
  ASSERT_EQ(0, KRV_LoadImageFile(path.c_str(), 0, 0));
  const std::vector<int> loaded = PixelsOf(1);
  const std::vector<int> original = PixelsOf(0);
  for (size_t i = 0; i < loaded.size(); i++)
    for (int shift : {0, 8, 16})
      ASSERT_NEAR((original[i] >> shift) & 0xFF, (loaded[i] >> shift) & 0xFF, 26) << i;
}

TEST_F(ImageFiles, AFailedSaveLeavesNoFileAndKeepsAnOldOne) {
  ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 8, 8, 100));
  EXPECT_EQ(1, KRV_SaveImageFile(8, 8, ImageFilePng, "files_test\\no such folder\\x.png"));
  const std::string path = Made("kept.png");
  WriteBytes(path, {'o', 'l', 'd'});
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(1, KRV_SaveImageFile(8, 8, ImageFilePng, path.c_str()));
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(std::vector<unsigned char>({'o', 'l', 'd'}), ReadBytes(path));
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("files_test\\*.tmp", &found);
  EXPECT_EQ(INVALID_HANDLE_VALUE, search) << found.cFileName;
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

TEST_F(ImageFiles, LoadRequestLoadsIntoTheGivenImageAndRestoresTheCurrentOne) {
  const std::string path = MadeBmp("request.bmp", 4, 4, Teal);
  ASSERT_EQ(0, KRV_CreateImage(3, "003", -1, -1, 8, 8, 100));
  ASSERT_EQ(0, KRV_CreateImage(5, "005", -1, -1, 8, 8, 100));
  EXPECT_EQ(ServeLoadImageFile, requestHandlers[RequestCodeLoadImageFile - 9001]);
  RequestBlock block = {};
  block.id = 3;
  block.path = path.c_str();
  ServeLoadImageFile(&block);
  EXPECT_EQ(0, block.result);
  EXPECT_EQ(0x008080, Pixel(3, 3, 3));
  EXPECT_EQ(0, Pixel(5, 3, 3));
  EXPECT_EQ(5, krv_current);
  block.id = 7;  // no image there: nothing is loaded anywhere
  ServeLoadImageFile(&block);
  EXPECT_EQ(2, block.result);
  EXPECT_EQ(0, Pixel(5, 3, 3));
  EXPECT_EQ(5, krv_current);
}

namespace {

// An enhanced metafile of one curve of each kind the size of the span, or larger by over.
typedef void (*DrawCurve)(HDC dc, int half);
const DrawCurve curves[] = {
    [](HDC dc, int half) { Ellipse(dc, -half, 0, half, 40); },
    [](HDC dc, int half) { RoundRect(dc, 0, 0, 40, 30, 2 * half, 2 * half); },
    [](HDC dc, int half) { Arc(dc, -half, -half, half, half, 0, 0, 10, 10); },
    [](HDC dc, int half) { Chord(dc, 0, -half, 60, half, 0, 0, 10, 10); },
    [](HDC dc, int half) { Pie(dc, -half, -half, half, half, 0, 0, 10, 10); },
    [](HDC dc, int half) { ArcTo(dc, -half, -half, half, half, 0, 0, 10, 10); },
    [](HDC dc, int half) { AngleArc(dc, 0, 0, half, 0.0f, 90.0f); },
};

std::vector<unsigned char> CurveMetafile(DrawCurve draw, int half) {
  const RECT frame = {0, 0, 2000, 1600};
  HDC dc = CreateEnhMetaFileW(NULL, NULL, &frame, NULL);
  draw(dc, half);
  HENHMETAFILE metafile = CloseEnhMetaFile(dc);
  std::vector<unsigned char> bytes(GetEnhMetaFileBits(metafile, 0, NULL));
  GetEnhMetaFileBits(metafile, (UINT)bytes.size(), bytes.data());
  DeleteEnhMetaFile(metafile);
  return bytes;
}

}  // namespace

// Wine draws a curve along its whole outline: one a few million units across took minutes or
// never ended, so curves beyond 2^20 units are refused before anything is drawn.
TEST_F(ImageFiles, MetafileCurvesOfMoreThanAMillionUnitsAreRefused) {
  ASSERT_EQ(0, KRV_CreateImage(1, "target", 0, 0, 40, 30, 100));
  for (size_t kind = 0; kind < sizeof curves / sizeof curves[0]; kind++) {
    FillImage(1, Teal);
    const std::vector<int> teal = PixelsOf(1);
    const std::vector<unsigned char> within = CurveMetafile(curves[kind], 1 << 19);
    const std::vector<unsigned char> beyond = CurveMetafile(curves[kind], (1 << 19) + 1);
    EXPECT_EQ(0, PictureFileIsDamaged(within.data(), (long long)within.size())) << kind;
    EXPECT_EQ(1, PictureFileIsDamaged(beyond.data(), (long long)beyond.size())) << kind;
    const std::string path = Made("curve" + std::to_string(kind) + ".emf");
    WriteBytes(path, beyond);
    KRV_SelectImage(1);
    EXPECT_EQ(1, KRV_LoadImageFile(path.c_str(), 0, 0)) << kind;
    EXPECT_TRUE(PixelsOf(1) == teal) << kind;
    WriteBytes(path, within);
    EXPECT_EQ(0, KRV_LoadImageFile(path.c_str(), 0, 0)) << kind;
  }
  // An arc 4 million units across kept Wine's playback drawing for good.
  const std::string arc = Made("arc.emf");
  WriteBytes(arc, CurveMetafile(curves[2], 1 << 21));
  EXPECT_EQ(1, KRV_LoadImageFile(arc.c_str(), 0, 0));
  // A record cut shorter than its parameters is refused too.
  std::vector<unsigned char> cut = CurveMetafile(curves[0], 20);
  for (size_t at = 0; at + 8 <= cut.size(); at += cut[at + 4] | cut[at + 5] << 8) {
    if (cut[at] != 42) continue;  // the ellipse: its box shortened to 12 bytes
    cut[at + 4] = 20;
    cut.erase(cut.begin() + (long)at + 20, cut.begin() + (long)at + 24);
    cut[48] = (unsigned char)(cut[48] - 4);  // the header's count of bytes, one word fewer
    break;
  }
  ASSERT_EQ(cut.size(), (size_t)(cut[48] | cut[49] << 8));
  EXPECT_EQ(1, PictureFileIsDamaged(cut.data(), (long long)cut.size()));
}

// A metafile whose drawing reaches beyond its frame draws only inside the picture's place,
// also when it sets a clipping region of its own first.
TEST_F(ImageFiles, AMetafileDrawingBeyondItsFrameStaysInItsPlace) {
  ASSERT_EQ(0, KRV_CreateImage(1, "target", 0, 0, 120, 100, 100));
  for (int ownClip = 0; ownClip < 2; ownClip++) {
    const RECT frame = {0, 0, 1000, 800};  // 10 x 8 mm
    HDC dc = CreateEnhMetaFileW(NULL, NULL, &frame, NULL);
    if (ownClip) {
      HRGN everywhere = CreateRectRgn(-5000, -5000, 5000, 5000);
      SelectClipRgn(dc, everywhere);
      DeleteObject(everywhere);
    }
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    Rectangle(dc, -500, -500, 2000, 2000);
    HENHMETAFILE metafile = CloseEnhMetaFile(dc);
    std::vector<unsigned char> bytes(GetEnhMetaFileBits(metafile, 0, NULL));
    GetEnhMetaFileBits(metafile, (UINT)bytes.size(), bytes.data());
    DeleteEnhMetaFile(metafile);
    const std::string path = Made("beyond" + std::to_string(ownClip) + ".emf");
    WriteBytes(path, bytes);
    FillImage(1, Teal);
    int width = 0, height = 0;
    const std::wstring wide(path.begin(), path.end());
    ReadPictureSize(wide.c_str(), &width, &height);
    ASSERT_GT(width, 0);
    ASSERT_LT(width, 80);
    ASSERT_LT(height, 60);
    KRV_SelectImage(1);
    ASSERT_EQ(0, KRV_LoadImageFile(path.c_str(), 20, 30));
    for (int y = 0; y < 100; y++)
      for (int x = 0; x < 120; x++) {
        const bool inside = x >= 20 && x < 20 + width && y >= 30 && y < 30 + height;
        if (!inside) {
          ASSERT_EQ(0x008080, Pixel(1, x, y)) << x << "," << y << " " << ownClip;
        }
      }
    EXPECT_EQ(0xFFFFFF, Pixel(1, 20 + width / 2, 30 + height / 2)) << ownClip;
  }
}

TEST(ImageFilesRules, PureRules) {
  const wchar_t* cases[][3] = {
      {L"shot", L".png", L"shot.png"},         {L"shot.PNG", L".png", L"shot.PNG"},
      {L"shot.tiff", L".tif", L"shot.tiff.tif"}, {L"photo.jpeg", L".jpg", L"photo.jpeg.jpg"},
      {L"a", L".bmp", L"a.bmp"},               {L".bmp", L".bmp", L".bmp"},
      {L"x.Gif", L".gif", L"x.Gif"},
  };
  for (auto& c : cases) {
    wchar_t name[PathUnits];
    lstrcpyW(name, c[0]);
    EXPECT_EQ(0, AppendExtension(name, c[1]));
    EXPECT_STREQ(c[2], name);
  }
  wchar_t full[PathUnits];
  for (int i = 0; i < PathUnits - 3; i++) full[i] = L'a';
  full[PathUnits - 3] = 0;
  EXPECT_EQ(1, AppendExtension(full, L".png"));
  EXPECT_EQ((size_t)PathUnits - 3, wcslen(full));

  EXPECT_EQ(0, PaletteEntryCount(0));
  EXPECT_EQ(0, PaletteEntryCount(8));
  EXPECT_EQ(16, PaletteEntryCount(8 + 64));
  EXPECT_EQ(257, PaletteEntryCount(8 + 1028));

  const int formats[] = {ImageFileBmp, ImageFileBmp, ImageFileJpeg, ImageFileGif,
                         ImageFilePng, ImageFileTiff};
  for (int filter = 1; filter <= 6; filter++) EXPECT_EQ(formats[filter - 1], FormatOfSaveFilter(filter));

  EXPECT_EQ(8, LeadingInteger("8"));
  EXPECT_EQ(150, LeadingInteger("  150%"));
  EXPECT_EQ(-3, LeadingInteger("-3"));
  EXPECT_EQ(0, LeadingInteger("abc"));
  EXPECT_EQ(0, LeadingInteger(""));
  EXPECT_EQ(2147483647, LeadingInteger("99999999999999"));
}

TEST(ImageFilesRules, NearestEntries) {
  RGBQUAD palette[256] = {};
  palette[3] = {10, 20, 30, 0};
  palette[7] = {10, 20, 30, 0};
  palette[9] = {200, 200, 200, 0};
  EXPECT_EQ(3, NearestPaletteIndex(palette, 0x1E140A));
  EXPECT_EQ(3, NearestPaletteIndex(palette, 0x1F140A));
  EXPECT_EQ(9, NearestPaletteIndex(palette, 0xC0C0C0));
  EXPECT_EQ(0, NearestPaletteIndex(palette, 0x010101));
  const int colours[] = {0x1E140A, 0xC8C8C8, 0x000000, 0x1E140A};
  unsigned char indexes[4];
  MapToPalette(colours, 4, palette, indexes);
  EXPECT_EQ(3, indexes[0]);
  EXPECT_EQ(9, indexes[1]);
  EXPECT_EQ(0, indexes[2]);
  EXPECT_EQ(3, indexes[3]);
}

TEST(ImageFilesRules, IndexingKeepsFewColoursExactly) {
  const int pixels[] = {0x102030, 0xFFFFFF, 0x102030, 0, 0x00FF00};
  RGBQUAD palette[256];
  unsigned char indexes[5];
  EXPECT_EQ(4, IndexPixels(pixels, 5, palette, indexes));
  for (int i = 0; i < 5; i++) EXPECT_EQ(pixels[i], ColourOf(palette[indexes[i]])) << i;
  EXPECT_EQ(indexes[0], indexes[2]);

  std::vector<int> many(300);
  for (int i = 0; i < 300; i++) many[i] = i * 0x010203;
  std::vector<unsigned char> manyIndexes(300);
  EXPECT_EQ(252, IndexPixels(many.data(), 300, palette, manyIndexes.data()));
  for (int i = 0; i < 300; i++) {
    const int colour = ColourOf(palette[manyIndexes[i]]);
    EXPECT_NEAR((many[i] >> 16) & 0xFF, (colour >> 16) & 0xFF, 26) << i;
    EXPECT_NEAR((many[i] >> 8) & 0xFF, (colour >> 8) & 0xFF, 22) << i;
    EXPECT_NEAR(many[i] & 0xFF, colour & 0xFF, 26) << i;
  }
}

namespace {

int FourIndexes(int x, int y) { return (x + y) % 4; }
int ManyIndexes(int x, int y) { return (x * 16 + y * 5) % 256; }

}  // namespace

// Pictures the platform's decoder reads: a 2-bit palette picture (grey and coloured), an 8-bit
// one whose header states more than 256 colours, a 24-bit one carrying a large table. An
// oversized table gives its first 2^bits entries.
TEST_F(ImageFiles, PalettePicturesOfEveryDepthTheDecoderReadsAreLoaded) {
  std::vector<int> grey = {0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF};
  std::vector<int> colours = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
  std::vector<int> large(300);
  for (int i = 0; i < 300; i++) large[i] = i < 256 ? (i * 0x010203) & 0xFFFFFF : 0x123456;
  struct Case {
    const char* name;
    int bits, tableEntries;
    const std::vector<int>* table;
    int (*indexAt)(int, int);
  };
  const Case cases[] = {{"two-bit-grey.bmp", 2, 4, &grey, FourIndexes},
                        {"two-bit-colour.bmp", 2, 4, &colours, FourIndexes},
                        {"eight-bit-300.bmp", 8, 300, &large, ManyIndexes},
                        {"true-colour-300.bmp", 24, 300, &large, ManyIndexes}};
  for (const Case& c : cases) {
    const std::string path = Made(c.name);
    WriteBytes(path, MakeTableBmp(c.bits, 19, 17, c.tableEntries, *c.table, c.indexAt));
    ASSERT_EQ(0, KRV_CreateImage(0, "000", -1, -1, 19, 17, 100));
    EXPECT_EQ(0, KRV_LoadImageFile(path.c_str(), 0, 0)) << c.name;
    for (int y = 0; y < 17; y++)
      for (int x = 0; x < 19; x++)
        ASSERT_EQ((*c.table)[c.indexAt(x, y)], Pixel(0, x, y)) << c.name << " " << x << "," << y;
    ASSERT_EQ(0, KRV_DestroyImage(0));
  }
  // Into an 8-bit image the oversized table gives 256 entries, the 2-bit one its 4.
  ASSERT_EQ(0, KRV_CreateImage8(1, "001", -1, -1, 19, 17, 100));
  EXPECT_EQ(0, KRV_LoadImageFile("files_test\\eight-bit-300.bmp", 0, 0));
  std::vector<RGBQUAD> table = PaletteOf(1);
  for (int i = 0; i < 256; i++) EXPECT_EQ(large[i], ColourOf(table[i])) << i;
  for (int y = 0; y < 17; y++)
    for (int x = 0; x < 19; x++)
      ASSERT_EQ(large[ManyIndexes(x, y)], ColourOf(table[Index(1, x, y)])) << x << "," << y;
  ASSERT_EQ(0, KRV_DestroyImage(1));
  ASSERT_EQ(0, KRV_CreateImage8(1, "001", -1, -1, 19, 17, 100));
  EXPECT_EQ(0, KRV_LoadImageFile("files_test\\two-bit-colour.bmp", 0, 0));
  table = PaletteOf(1);
  for (int i = 0; i < 4; i++) EXPECT_EQ(colours[i], ColourOf(table[i])) << i;
  for (int i = 4; i < 256; i++) EXPECT_EQ(i * 0x010101, ColourOf(table[i])) << i;
}
