// The load and save dialogs run for real on the test thread, worked from another thread as a
// user would: a file name typed, a filter chosen, OK or Cancel pressed.
#include <string.h>

#include <string>
#include <thread>

#include "image/image_fixture.h"
#include "image/picture_files.h"
// After windows.h, which it needs.
#include <commdlg.h>

namespace {

enum { FilterCombo = 0x470, NameCombo = 0x47c, NameEdit = 0x480 };

HWND WaitForDialog(const wchar_t* title) {
  HWND dialog = NULL;
  WaitFor([&] {
    dialog = FindWindowW(L"#32770", title);
    return dialog && IsWindowVisible(dialog);
  });
  return dialog && IsWindowVisible(dialog) ? dialog : NULL;
}

std::wstring CurrentFolder(void) {
  wchar_t folder[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, folder);
  return folder;
}

// What the user does in the dialog; filter 0 keeps the one shown. What the dialog showed
// when it opened is noted.
struct DialogUser {
  explicit DialogUser(const wchar_t* title, std::wstring name = L"", int filter = 0)
      : title(title), name(name), filter(filter) {}
  const wchar_t* title;
  std::wstring name;  // empty: Cancel
  int filter;
  int shownFilter = 0;
  std::wstring shownFolder;
  bool found = false;
  // A command posted to another window while the dialog is open, before the answer.
  HWND meanwhileWindow = NULL;
  int meanwhileCommand = 0;

  std::thread Start() {
    return std::thread([this] {
      HWND dialog = WaitForDialog(title);
      if (!dialog) return;
      found = true;
      HWND filters = GetDlgItem(dialog, FilterCombo);
      wchar_t folder[MAX_PATH] = L"";
      WaitFor([&] {  // filled in as the dialog starts
        shownFilter = (int)SendMessageW(filters, CB_GETCURSEL, 0, 0) + 1;
        return shownFilter > 0 &&
               (int)SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH, (LPARAM)folder) > 1;
      });
      shownFolder = folder;
      if (meanwhileWindow) {
        PostMessageW(meanwhileWindow, WM_COMMAND, meanwhileCommand, 0);
        const int marker = PostStandInMarker();  // the dialog's loop dispatches both in order
        WaitFor([marker] { return StandInMarkerSeen(marker); });
      }
      if (name.empty()) {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
      }
      if (filter) {
        SendMessageW(filters, CB_SETCURSEL, filter - 1, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(FilterCombo, CBN_SELENDOK), (LPARAM)filters);
      }
      HWND edit = GetDlgItem(dialog, NameCombo);
      if (!edit) edit = GetDlgItem(dialog, NameEdit);
      SendMessageW(edit, WM_SETTEXT, 0, (LPARAM)name.c_str());
      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
  }
};

}  // namespace

// The load dialog makes the chosen file's folder the current directory, as on Windows;
// the tests use full paths and put the directory back.
class ImageFilesDialogs : public ImageTest {
 protected:
  void SetUp() override {
    ImageTest::SetUp();
    UseGdiplus();
    start = CurrentFolder();
    folder = start + L"\\dialog_test";
    CreateDirectoryW(folder.c_str(), NULL);
    WriteBytes("dialog_test\\pic.bmp", MakeBmp24(6, 4, [](int, int) { return 0x336699; }));
    lstrcpyW(openDirectoryW, CurrentFolder().c_str());
    WideToNarrow(openDirectoryW, openDirectory, MAX_PATH);
    lstrcpyW(saveDirectoryW, openDirectoryW);
    lstrcpyA(saveDirectory, openDirectory);
    openFilterIndex = saveFilterIndex = 2;
  }
  void TearDown() override {
    SetCurrentDirectoryW(start.c_str());
    for (const char* name : {"pic.bmp", "allfiles.bmp", "shot.png"})
      DeleteFileA(("dialog_test\\" + std::string(name)).c_str());
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
    ImageTest::TearDown();
  }
  // A file of the test's folder, by its full path.
  std::string InFolder(const char* name) {
    char narrow[MAX_PATH];
    WideToNarrow(folder.c_str(), narrow, MAX_PATH);
    return std::string(narrow) + "\\" + name;
  }
  // Images 3 and 4; pic.bmp chosen in image 3's load dialog after command went to image other.
  void LoadWhileTheDialogRuns(int other, int command) {
    ASSERT_EQ(0, KRV_CreateImage(4, "004", -1, -1, 10, 10, 100));
    ASSERT_EQ(0, KRV_CreateImage(3, "003", -1, -1, 10, 10, 100));
    DialogUser user{L"Load image file", folder + L"\\pic.bmp"};
    user.meanwhileWindow = krv_images[other].window;
    user.meanwhileCommand = command;
    std::thread thread = user.Start();
    SendMessageW(krv_images[3].window, WM_COMMAND, CommandLoadImage, 0);
    thread.join();
    EXPECT_TRUE(user.found);
  }
  std::wstring start, folder;
};

TEST_F(ImageFilesDialogs, CancelledDialogsReturnOne) {
  char path[MAX_PATH] = "untouched";
  DialogUser user{L"Load image file"};
  std::thread thread = user.Start();
  EXPECT_EQ(1, ChooseLoadFile(path));
  thread.join();
  EXPECT_TRUE(user.found);
  DialogUser saver{L"Save as"};
  thread = saver.Start();
  EXPECT_EQ(1, ChooseSaveFile(path));
  thread.join();
  EXPECT_TRUE(saver.found);
  EXPECT_EQ(2, openFilterIndex);
  EXPECT_EQ(2, saveFilterIndex);
}

TEST_F(ImageFilesDialogs, TheLoadDialogRemembersFolderAndFilter) {
  char path[MAX_PATH] = "";
  DialogUser first{L"Load image file", folder + L"\\pic.bmp", 1};
  std::thread thread = first.Start();
  ASSERT_EQ(0, ChooseLoadFile(path));
  thread.join();
  EXPECT_EQ(2, first.shownFilter);
  char expected[MAX_PATH];
  WideToNarrow((folder + L"\\pic.bmp").c_str(), expected, MAX_PATH);
  EXPECT_STREQ(expected, path);
  EXPECT_EQ(1, openFilterIndex);
  EXPECT_EQ(folder + L"\\", std::wstring(openDirectoryW));
  WideToNarrow((folder + L"\\").c_str(), expected, MAX_PATH);
  EXPECT_STREQ(expected, openDirectory);

  DialogUser second{L"Load image file"};
  thread = second.Start();
  EXPECT_EQ(1, ChooseLoadFile(path));
  thread.join();
  EXPECT_EQ(1, second.shownFilter);
  EXPECT_EQ(folder, second.shownFolder);
}

TEST_F(ImageFilesDialogs, LoadCommandDrawsTheChosenFile) {
  ASSERT_EQ(0, KRV_CreateImage(3, "003", -1, -1, 10, 10, 100));
  ASSERT_EQ(0, KRV_CreateImage(4, "004", -1, -1, 10, 10, 100));
  DialogUser user{L"Load image file", folder + L"\\pic.bmp"};
  std::thread thread = user.Start();
  SendMessageW(krv_images[3].window, WM_COMMAND, CommandLoadImage, 0);
  thread.join();
  EXPECT_EQ(3, krv_current);  // left selected
  const int* pixels = (const int*)krv_pixels[3];
  EXPECT_EQ(0x336699, pixels[3 * 10 + 5]);
  EXPECT_EQ(0, pixels[4 * 10 + 5]);
  EXPECT_EQ(0, pixels[3 * 10 + 6]);
}

// The dialog pumps the worker's messages: a rotation of another image makes that one current
// meanwhile, and the file still goes to the window whose menu asked for it.
TEST_F(ImageFilesDialogs, TheChosenFileGoesToTheWindowThatAskedForIt) {
  LoadWhileTheDialogRuns(4, CommandRotateRight);
  EXPECT_EQ(0x336699, ((const int*)krv_pixels[3])[3 * 10 + 5]);
  ASSERT_TRUE(ImageInUse(4));
  for (int i = 0; i < 100; i++) ASSERT_EQ(0, ((const int*)krv_pixels[4])[i]) << i;
  EXPECT_EQ(3, krv_current);
}

// A window closed while its dialog ran takes nothing, and no other image does.
TEST_F(ImageFilesDialogs, AWindowGoneWhileTheDialogRanTakesNothing) {
  LoadWhileTheDialogRuns(3, CommandDestroyImage);
  EXPECT_FALSE(ImageInUse(3));
  for (int i = 0; i < 100; i++) ASSERT_EQ(0, ((const int*)krv_pixels[4])[i]) << i;
  EXPECT_EQ(2, LoadChosenFile(NULL, InFolder("pic.bmp").c_str()));
}

TEST_F(ImageFilesDialogs, SavingWithAllFilesWritesABmp) {
  ASSERT_EQ(0, KRV_CreateImage(2, "002", -1, -1, 12, 8, 100));
  ((int*)krv_pixels[2])[0] = 0x102030;
  ASSERT_EQ(0, KRV_CreateImage(5, "005", -1, -1, 10, 10, 100));
  DialogUser user{L"Save as", folder + L"\\allfiles", 1};
  std::thread thread = user.Start();
  SendMessageW(krv_images[2].window, WM_COMMAND, CommandSaveImage, 0);
  thread.join();
  EXPECT_EQ(2, user.shownFilter);
  EXPECT_EQ(2, krv_current);
  EXPECT_EQ(1, saveFilterIndex);
  const BmpPicture picture = ParseBmp(ReadBytes(InFolder("allfiles.bmp")));
  ASSERT_TRUE(picture.ok);
  EXPECT_EQ(24, picture.bits);
  EXPECT_EQ(12, picture.width);
  EXPECT_EQ(8, picture.height);
  EXPECT_EQ(0x102030, picture.At(0, 0));

  // A PNG save through the dialog's PNG filter; JPEG quality stays the program's.
  krv_jpeg_quality = 60;
  DialogUser png{L"Save as", folder + L"\\shot", 5};
  thread = png.Start();
  SendMessageW(krv_images[2].window, WM_COMMAND, CommandSaveImage, 0);
  thread.join();
  const std::vector<unsigned char> bytes = ReadBytes(InFolder("shot.png"));
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(0, memcmp(bytes.data(), "\x89PNG", 4));
  EXPECT_EQ(60, krv_jpeg_quality);
  krv_jpeg_quality = 100;
}
