// Damaged picture files through KRV_LoadImageFile and through drops on image windows: no
// crash, a result of 0 or 1, and an image that a refused load leaves exactly as it was. The
// pixel memory ends at a page the process may not touch, so a write past it ends the test.
#include <stdio.h>
#include <string.h>

#include "damaged_input/corpus.h"
#include "image/image_fixture.h"
#include "image/picture_files.h"
#include "support/dropped_files.h"

class HostileFiles : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    UseGdiplus();
    ASSERT_EQ(0, KRV_CreateImage(9, "scratch", 0, 0, 8, 8, 100));
    SoundFiles();
    KRV_DestroyImage(9);
    CreateDirectoryA("soak_files", NULL);
  }
  void TearDown() override {
    for (const std::string& name : written) DeleteFileA(name.c_str());
    RemoveDirectoryA("soak_files");
    ForgetCase();
    ImageTest::TearDown();
  }
  std::string Write(const std::string& name, const Bytes& bytes) {
    const std::string path = "soak_files\\" + name;
    WriteBytes(path, bytes);
    written.push_back(path);
    return path;
  }
  // Two targets whose pixel memory fills whole pages: 64 x 64 in 32 and in 8 bits.
  void MakeTargets() {
    ASSERT_EQ(0, KRV_CreateImage(1, "target32", 0, 0, 64, 64, 100));
    ASSERT_EQ(0, KRV_CreateImage8(2, "target8", 100, 0, 64, 64, 100));
  }
  void LoadDamagedFiles(const char* through, int (*load)(int id, const char* path, POINT* corner));
  std::vector<std::string> written;
};

TEST_F(HostileFiles, EverySoundFileOfThePictureKindsLoads) {
  MakeTargets();
  int pictures = 0;
  for (const SoundFile& file : SoundFiles()) {
    const bool picture = IsPicture(file);
    const std::string path = Write("sound" + std::string(ExtensionOf(file.kind)), file.bytes);
    for (int id : {1, 2}) {
      KRV_SelectImage(id);
      EXPECT_EQ(picture ? 0 : 1, KRV_LoadImageFile(path.c_str(), 0, 0))
          << file.kind << " into image " << id << " (" << file.bytes.size() << " bytes)";
    }
    pictures += picture;
  }
  EXPECT_EQ(13, pictures);
}

// The damaged corpus into images 1 and 2, each file through load() at a corner it may change;
// a refused load must leave the image exactly as it was, a drawn one nothing above or left of
// the corner.
void HostileFiles::LoadDamagedFiles(const char* through, int (*load)(int id, const char* path,
                                                                     POINT* corner)) {
  MakeTargets();
  EXPECT_TRUE(GuardedAfter(1));
  EXPECT_TRUE(GuardedAfter(2));
  const unsigned long long chosenSeed = SoakSeed();
  const int cases = (int)EnvironmentNumber("KRV_SOAK_CASES", 600);
  const int only = (int)EnvironmentNumber("KRV_SOAK_CASE", (unsigned long long)-1);
  const int first = (int)EnvironmentNumber("KRV_SOAK_FIRST", 0);  // to narrow down a late crash
  const std::vector<SoundFile>& sound = SoundFiles();
  static const POINT corners[] = {{0, 0}, {-5, -3}, {50, 60}, {63, 63}, {-100000, 5}, {7, 200000}};
  int loaded = 0, refused = 0;
  // The cases that once brought the program down or drew outside their place come first, each
  // with its seed, then the run of cases in order.
  std::vector<std::pair<unsigned long long, int>> runs = {
      {DefaultSeed, 110},  {DefaultSeed, 689},  {DefaultSeed, 920},   {DefaultSeed, 1498},
      {DefaultSeed, 2094}, {DefaultSeed, 7306}, {DefaultSeed, 7389},  {DefaultSeed, 16571},
      {1, 504},            {2, 7110}};
  if (only >= 0 || first > 0) runs.clear();
  for (int number = 0; number < cases; number++) runs.push_back({chosenSeed, number});
  for (const auto& run : runs) {
    const unsigned long long seed = run.first;
    const int number = run.second;
    if ((only >= 0 && number != only) || number < first) continue;
    Random random(seed * 1000003ULL + (unsigned long long)number);
    const SoundFile& file = sound[random.Below((int)sound.size())];
    std::string how;
    const Bytes bytes = Damage(file.bytes, &random, &how);
    const std::string path = Write("case" + std::string(ExtensionOf(file.kind)), bytes);
    const int id = 1 + random.Below(2);
    POINT corner = corners[random.Below(6)];
    Scribble(id, &random);
    const Snapshot before = SnapshotOf(id);
    NoteCase((std::string(through) + " " + file.kind + how).c_str(), seed, number);
    const int result = load(id, path.c_str(), &corner);
    ForgetCase();
    const std::string replay = "seed " + std::to_string(seed) + " case " + std::to_string(number) +
                               ": " + file.kind + how + " into image " + std::to_string(id);
    ASSERT_TRUE(result == 0 || result == 1) << result << " " << replay;
    if (result == 1) {
      refused++;
      ASSERT_TRUE(SnapshotOf(id) == before) << "a refused load changed the image; " << replay;
    } else {
      loaded++;
      ASSERT_TRUE(UntouchedBeforeCorner(id, before, corner.x, corner.y))
          << "drawn outside the picture's place; " << replay;
    }
    ASSERT_EQ(id, krv_current) << replay;
  }
  printf("damaged files through %s: seed %llu, %d cases, %d loaded, %d refused, 0 crashes\n",
         through, chosenSeed, loaded + refused, loaded, refused);
}

namespace {

int LoadDirectly(int id, const char* path, POINT* corner) {
  KRV_SelectImage(id);
  return KRV_LoadImageFile(path, corner->x, corner->y);
}

// What the image window's load command does once its dialog has chosen the path, with another
// image current meanwhile; the window then paints what it holds. The file goes to the corner.
int LoadAsChosen(int id, const char* path, POINT* corner) {
  *corner = POINT{0, 0};
  KRV_SelectImage(3 - id);
  const int result = LoadChosenFile(krv_images[id].window, path);
  UpdateWindow(krv_images[id].window);
  RECT unpainted;
  EXPECT_FALSE(GetUpdateRect(krv_images[id].window, &unpainted, FALSE));
  return result;
}

}  // namespace

TEST_F(HostileFiles, DamagedFilesLoadOrLeaveTheImageAsItWas) {
  LoadDamagedFiles("KRV_LoadImageFile", LoadDirectly);
}

TEST_F(HostileFiles, DamagedFilesChosenInTheLoadDialogLoadOrLeaveTheImageAsItWas) {
  LoadDamagedFiles("the load command", LoadAsChosen);
}

namespace {

int Red(int, int) { return 0xFF0000; }
int Green(int, int) { return 0x00FF00; }

std::wstring FullPath(const std::string& relative) {
  wchar_t folder[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, folder);
  return std::wstring(folder) + L"\\" + std::wstring(relative.begin(), relative.end());
}

}  // namespace

TEST_F(HostileFiles, AThousandEntryDropLoadsOnlyItsFirstFile) {
  MakeTargets();
  const std::wstring red = FullPath(Write("red.bmp", MakeBmp24(5, 4, Red)));
  const std::wstring green = FullPath(Write("green.bmp", MakeBmp24(64, 64, Green)));
  std::vector<std::wstring> names(1000, green);
  names[0] = red;
  SendMessageW(krv_images[1].window, WM_DROPFILES, (WPARAM)MakeDrop(names), 0);
  const int* pixels = (const int*)krv_pixels[1];
  for (int y = 0; y < 8; y++)
    for (int x = 0; x < 8; x++)
      ASSERT_EQ(x < 5 && y < 4 ? 0xFF0000 : 0, pixels[y * 64 + x]) << x << "," << y;
  EXPECT_EQ(2, krv_current);  // the drop gives the current image back
}

TEST_F(HostileFiles, DropsOfDamagedFilesAndBadNamesChangeNothingOrLoad) {
  MakeTargets();
  const unsigned long long seed = SoakSeed();
  Random random(seed);
  const std::string sound = Write("sound.bmp", MakeBmp24(3, 3, Green));
  // Names the window must refuse: too long for its buffers, missing, a folder, a device.
  std::vector<std::wstring> badNames;
  for (size_t length : {255, 256, 259, 260, 261, 1000, 32000})
    badNames.push_back(FullPath("soak_files\\") + std::wstring(length, L'n'));
  badNames.push_back(FullPath("soak_files\\missing.bmp"));
  badNames.push_back(FullPath("soak_files"));
  badNames.push_back(L"NUL");
  badNames.push_back(L"C:\\");
  badNames.push_back(L"\\\\?\\" + FullPath(sound));  // long-path spelling, 260 units or fewer
  int number = 0;
  for (const std::wstring& name : badNames) {
    Scribble(1, &random);
    const Snapshot before = SnapshotOf(1);
    NoteCase("drop name", seed, number++);
    SendMessageW(krv_images[1].window, WM_DROPFILES, (WPARAM)MakeDrop({name, FullPath(sound)}), 0);
    ForgetCase();
    if (name.find(L"\\\\?\\") == 0) continue;  // may load: it names a real picture
    EXPECT_TRUE(SnapshotOf(1) == before) << "dropped name of " << name.size() << " units";
    EXPECT_EQ(2, krv_current);
  }
  // Damaged files, each the first of a long drop.
  const std::vector<SoundFile>& files = SoundFiles();
  for (int i = 0; i < 40; i++, number++) {
    const SoundFile& file = files[random.Below((int)files.size())];
    std::string how;
    const std::string path =
        Write("drop" + std::to_string(i) + ".bin", Damage(file.bytes, &random, &how));
    const int id = 1 + random.Below(2);
    Scribble(id, &random);
    NoteCase(("drop " + file.kind + how).c_str(), seed, number);
    SendMessageW(krv_images[id].window, WM_DROPFILES,
                 (WPARAM)MakeDrop(std::vector<std::wstring>(50, FullPath(path))), 0);
    ForgetCase();
    ASSERT_TRUE(IsWindow(krv_images[id].window)) << file.kind << how;
    ASSERT_EQ(2, krv_current) << file.kind << how;
  }
}

// A name the system code page cannot spell must not be read as another file's name.
TEST_F(HostileFiles, ADroppedNameOutsideTheCodePageIsNotTakenForAnother) {
  MakeTargets();
  Write("a.bmp", MakeBmp24(4, 4, Red));
  for (const wchar_t* odd : {L"\u0101", L"\u00e0", L"\ud55c", L"\u0430"}) {  // ā à 한 а
    const std::wstring name = FullPath("soak_files\\") + odd + L".bmp";
    HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    const Bytes green = MakeBmp24(4, 4, Green);
    DWORD done = 0;
    WriteFile(file, green.data(), (DWORD)green.size(), &done, NULL);
    CloseHandle(file);
    memset(krv_pixels[1], 0, 64 * 64 * 4);
    SendMessageW(krv_images[1].window, WM_DROPFILES, (WPARAM)MakeDrop({name}), 0);
    DeleteFileW(name.c_str());
    const int first = ((const int*)krv_pixels[1])[0];
    EXPECT_TRUE(first == 0 || first == 0x00FF00) << std::hex << first << " for U+" << (int)odd[0];
  }
}
