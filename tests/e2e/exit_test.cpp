// Exit from every state the program can be in: the process ends within 2.1 s with exit code 0
// (after the 2 s grace when a modal dialog holds the worker) and the console's log holds what
// was printed.
#include <gtest/gtest.h>

#include "capture/camera_control.h"
#include "pictures.h"
#include "probe.h"

namespace {

const std::wstring LogPath = DriverFolder() + L"KORVEL00.LOG";

// A modal dialog's loop never sees Stop, nor does the capture's wait for a first frame: Exit
// waits out the 2 s grace and ends the worker. What follows (ending the thread, destroying the
// windows, ending the process) takes seconds on a loaded machine, so this limit only tells an
// Exit that ended it after the grace from a hang.
const DWORD AfterTheGraceMs = 2000 + 4000;

class ExitFrom : public ::testing::Test {
 protected:
  void SetUp() override { DeleteFileW(LogPath.c_str()); }
  void TearDown() override {
    SetCameraMode(L"");
    DeleteFileW(LogPath.c_str());
  }
  // Exit from the menu bar: ended in time, code 0, the log complete.
  void ExpectCleanExit(Probe& probe, HWND window, DWORD limitMs = 2100) {
    const DWORD start = GetTickCount();
    PostCommand(window, ExitId);
    DWORD code = 99;
    ASSERT_TRUE(probe.Exited(10000, &code)) << "still running 10 s after Exit";
    const DWORD elapsed = GetTickCount() - start;
    printf("exit took %lu ms\n", elapsed);
    EXPECT_EQ(0u, code);
    EXPECT_LT(elapsed, limitMs);
    EXPECT_NE(std::string::npos, ReadFileText(LogPath).find("soak log line")) << ReadFileText(LogPath);
  }
  HWND Ready(Probe& probe) {
    HWND window = probe.WaitReady();
    EXPECT_TRUE(window) << probe.Log();
    return window;
  }
  HWND WorkerWindow(Probe& probe, const wchar_t* className) {
    return WaitForWindow(className, NULL, probe.program().id, 5000);
  }
};

}  // namespace

TEST_F(ExitFrom, Idle) {
  Probe probe("idle", L"krvsoak.exe");
  HWND window = Ready(probe);
  ASSERT_TRUE(window);
  ExpectCleanExit(probe, window);
}

TEST_F(ExitFrom, Running) {
  Probe probe("idle", L"krvsoak.exe");
  HWND window = Ready(probe);
  ASSERT_TRUE(window);
  PostCommand(window, StartId);
  ASSERT_TRUE(probe.WaitForLog("enter\n"));
  ExpectCleanExit(probe, window);
  EXPECT_EQ(1, probe.Count("leave\n"));
}

TEST_F(ExitFrom, ALineInputOfAppMain) {
  Probe probe("prompt", L"krvsoak.exe");
  HWND window = Ready(probe);
  ASSERT_TRUE(window);
  PostCommand(window, StartId);
  ASSERT_TRUE(WaitFor([&] { return StatusShows(window, L"Input text"); }, 5000));
  ExpectCleanExit(probe, window);
  EXPECT_NE(std::string::npos, ReadFileText(LogPath).find("answer? ")) << ReadFileText(LogPath);
}

TEST_F(ExitFrom, TheZoomAndRenamePrompts) {
  for (int which = 0; which < 2; which++) {
    Probe probe("idle", L"krvsoak.exe");
    HWND window = Ready(probe);
    ASSERT_TRUE(window);
    HWND target = WorkerWindow(probe, which == 0 ? L"krv_iw" : L"krv_bb");
    ASSERT_TRUE(target);
    PostCommand(target, which == 0 ? 1046 : 1057);  // zoom prompt, button rename
    ASSERT_TRUE(WaitFor([&] { return StatusShows(window, L"Input text"); }, 5000)) << which;
    ExpectCleanExit(probe, window);
  }
}

TEST_F(ExitFrom, TheLoadAndSaveDialogs) {
  const struct {
    int command;
    const wchar_t* title;
  } dialogs[] = {{1004, L"Load image file"}, {1010, L"Save as"}};
  for (const auto& dialog : dialogs) {
    Probe probe("idle", L"krvsoak.exe");
    HWND window = Ready(probe);
    ASSERT_TRUE(window);
    HWND image = WorkerWindow(probe, L"krv_iw");
    ASSERT_TRUE(image);
    PostCommand(image, dialog.command);
    ASSERT_TRUE(WaitForWindow(L"#32770", dialog.title, probe.program().id, 10000));
    ExpectCleanExit(probe, window, AfterTheGraceMs);
  }
}

TEST_F(ExitFrom, ARunningCaptureAndOneThatDeliversNothing) {
  for (const wchar_t* mode : {L"", L"silent"}) {
    SetCameraMode(mode);
    Probe probe("capture", L"krvsoak.exe");
    HWND window = Ready(probe);
    ASSERT_TRUE(window);
    PostCommand(window, StartId);
    if (mode[0]) {
      ASSERT_TRUE(probe.WaitForLog("enter\n"));
      // The graph runs, and the start waits for a first frame, which never comes: like a
      // modal dialog, that wait sees no Stop.
      ASSERT_TRUE(WaitFor([] { return CameraRuns() > 0; }, 10000));
      ExpectCleanExit(probe, window, AfterTheGraceMs);
    } else {
      ASSERT_TRUE(probe.WaitForLog("frames 3\n", 10000)) << probe.Log();
      ExpectCleanExit(probe, window);
    }
  }
}

// Inside every kind of pick the image window's menus start (a point, a colour, two points for a
// line, a box and a circle, a paste placed by the mouse), and inside the colour dialog.
TEST_F(ExitFrom, EveryKindOfPickAndTheColourDialog) {
  const int picks[] = {1052, 1043, 1032, 1034, 1036, 1039, 1013};
  for (int command : picks) {
    Probe probe("idle", L"krvsoak.exe");
    HWND window = Ready(probe);
    ASSERT_TRUE(window);
    HWND image = WorkerWindow(probe, L"krv_iw");
    ASSERT_TRUE(image);
    if (command == 1013) PostCommand(image, 1012);  // a copy, so that the paste has a picture
    const std::wstring idle = TextOf(FindChildById(window, StatusId));
    PostCommand(image, command);
    ASSERT_TRUE(WaitFor([&] { return TextOf(FindChildById(window, StatusId)) != idle; }, 5000))
        << "no pick began for command " << command;
    // The paste's pick ends on Stop like the others, yet under Wine its worker, owner of the
    // clipboard it copied to, still outlasts the grace.
    ExpectCleanExit(probe, window, command == 1013 ? AfterTheGraceMs : 2100);
  }
  Probe probe("idle", L"krvsoak.exe");
  HWND window = Ready(probe);
  ASSERT_TRUE(window);
  HWND image = WorkerWindow(probe, L"krv_iw");
  ASSERT_TRUE(image);
  PostCommand(image, 1031);
  ASSERT_TRUE(WaitForWindow(L"#32770", NULL, probe.program().id, 10000));
  ExpectCleanExit(probe, window, AfterTheGraceMs);
}

namespace {

// Numbered input files on drive D: for rimview's batches, and their outputs removed afterwards.
class RimviewBatch {
 public:
  explicit RimviewBatch(int count) : count_(count) {
    CreateDirectoryW(L"d:\\pano0", NULL);
    CreateDirectoryW(L"d:\\pano", NULL);
    RemoveFiles();
    const std::wstring first = Input(1);
    written_ = WritePicture(first, 640, 480, Gradient);
    for (int n = 2; n <= count && written_; n++)
      written_ = CopyFileW(first.c_str(), Input(n).c_str(), FALSE) != 0;
  }
  ~RimviewBatch() {
    RemoveFiles();
    RemoveDirectoryW(L"d:\\pano0");
    RemoveDirectoryW(L"d:\\pano");
  }
  bool written() const { return written_; }
  static std::wstring Input(int n) { return Name(L"d:\\pano0\\file_%05d.png", n); }
  static std::wstring Output(int n) { return Name(L"d:\\pano\\file_%05d.png", n); }
  static bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }

 private:
  static int Gradient(int x, int y) { return (x & 0xFF) << 16 | (y & 0xFF) << 8 | 0x40; }
  static std::wstring Name(const wchar_t* format, int n) {
    wchar_t name[64];
    swprintf(name, 64, format, n);
    return name;
  }
  void RemoveFiles() {
    for (int n = 1; n <= count_; n++) {
      DeleteFileW(Input(n).c_str());
      DeleteFileW(Output(n).c_str());
    }
  }
  int count_;
  bool written_ = false;
};

}  // namespace

// Exit while "go" or "go2" works through many files: the program ends in time with code 0 and
// every output file it left is a whole picture.
TEST_F(ExitFrom, ARimviewBatch) {
  const struct {
    int button, width, height;
  } batches[] = {{15, 640, 480}, {18, 960, 720}};
  const int count = 200;
  for (const auto& batch : batches) {
    RimviewBatch files(count);
    ASSERT_TRUE(files.written());
    Program program;
    ASSERT_TRUE(StartProgram(L"rimview.exe", &program));
    HWND window = WaitForWindow(L"korvel_mw0", NULL, program.id, 10000);
    HWND box = WaitForWindow(L"krv_bb", NULL, program.id, 10000);
    ASSERT_TRUE(window && box);
    PostCommand(window, StartId);
    ASSERT_TRUE(WaitForWindow(L"krv_iw", L"Hello,there!(100%)", program.id, 10000));
    SendClick(FindChildById(box, 3000 + batch.button), 5, 5);
    ASSERT_TRUE(WaitFor([] { return RimviewBatch::Exists(RimviewBatch::Output(2)); }, 30000))
        << "the batch did not get going";
    const DWORD start = GetTickCount();
    PostCommand(window, ExitId);
    DWORD code = 99;
    const bool exited = WaitForExit(program, 10000, &code);
    const DWORD elapsed = GetTickCount() - start;
    KillProgram(&program);
    ASSERT_TRUE(exited) << "still running 10 s after Exit";
    printf("exit from batch %d took %lu ms\n", batch.button, elapsed);
    EXPECT_EQ(0u, code);
    EXPECT_LT(elapsed, 2100u);
    EXPECT_FALSE(RimviewBatch::Exists(RimviewBatch::Output(count))) << "the batch had ended";
    int outputs = 0;
    for (int n = 1; n <= count; n++) {
      const std::wstring output = RimviewBatch::Output(n);
      if (!RimviewBatch::Exists(output)) continue;
      outputs++;
      EXPECT_TRUE(EndsLikeAPng(output) && DecodesWhole(output, batch.width, batch.height))
          << "output file " << n << " of batch " << batch.button << " is not whole";
    }
    printf("batch %d left %d whole output files\n", batch.button, outputs);
    EXPECT_GE(outputs, 2);
  }
}
