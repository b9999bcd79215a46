// Image windows of a running program, looked at on the screen.
#include <gtest/gtest.h>

#include "pictures.h"
#include "probe.h"

namespace {

struct Sample {
  int x, y;
  COLORREF colour;
};

// Colours of the drawn figure at image coordinates.
const Sample samples[] = {
    {30, 30, RGB(255, 255, 0)},        // the disc
    {30, 12, RGB(255, 255, 0)},        // near its top
    {30, 5, RGB(255, 0, 0)},           // the circle around it
    {30, 8, RGB(0, 0, 0x40)},          // between the two: the fill of the frame
    {115, 45, RGB(0, 0, 0x40)},        // the fill
    {0, 50, RGB(0x20, 0x20, 0x20)},    // the border of the frame
    {119, 89, RGB(0x20, 0x20, 0x20)},  // its last pixel
    {90, 5, RGB(0xFF, 0xFF, 0xBF)},    // the XOR box, over the fill
    {72, 20, RGB(0, 0, 0x40)},         // inside the XOR box: untouched
    {90, 20, RGB(0xFF, 0xFF, 0xBF)},   // the XOR fill
    {70, 60, RGB(0, 255, 255)},        // the painted box's outline
    {90, 70, RGB(255, 0, 255)},        // painted
    {71, 51, RGB(255, 0, 255)},        // painted into its corner
    {60, 45, RGB(255, 255, 255)},      // one pixel
    {2, 87, RGB(0, 255, 0)},           // the line's ends
    {57, 62, RGB(0, 255, 0)},
};

// Whether the screen shows the figure's samples, with the window's zoom.
bool FigureShown(HWND window, int zoom) {
  for (const Sample& sample : samples)
    for (int dy = 0; dy < zoom / 100; dy++)
      for (int dx = 0; dx < zoom / 100; dx++)
        if (ScreenPixel(window, sample.x * zoom / 100 + dx, sample.y * zoom / 100 + dy) !=
            sample.colour)
          return false;
  return true;
}

void ExpectFigure(HWND window, int zoom) {
  for (const Sample& sample : samples) {
    for (int dy = 0; dy < zoom / 100; dy++)
      for (int dx = 0; dx < zoom / 100; dx++)
        EXPECT_EQ(sample.colour, ScreenPixel(window, sample.x * zoom / 100 + dx,
                                             sample.y * zoom / 100 + dy))
            << sample.x << "," << sample.y << " at " << zoom;
  }
}

}  // namespace

TEST(ImageWindow, ShowsTheDrawnFigureAtZoom100And200) {
  Probe probe("image");
  ASSERT_TRUE(probe.WaitReady());
  EXPECT_TRUE(probe.WaitForLog("image 0 0\nimage 1 0\n"));
  HWND one = WaitForWindow(L"krv_iw", L"figure(100%)", probe.program().id, 5000);
  HWND two = WaitForWindow(L"krv_iw", L"figure(200%)", probe.program().id, 5000);
  ASSERT_TRUE(one && two);
  RECT client = ClientRectOf(one);
  EXPECT_EQ(120, client.right - client.left);
  EXPECT_EQ(90, client.bottom - client.top);
  client = ClientRectOf(two);
  EXPECT_EQ(240, client.right - client.left);
  EXPECT_EQ(180, client.bottom - client.top);
  // The worker's pumping paints them.
  EXPECT_TRUE(WaitFor([&] { return FigureShown(one, 100) && FigureShown(two, 200); }, 5000));
  ExpectFigure(one, 100);
  ExpectFigure(two, 200);
  // Closing a window destroys its image; the other stays.
  PostMessageW(one, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(one); }, 5000));
  EXPECT_TRUE(IsWindow(two));
}

namespace {

int Pattern(int x, int y) { return (x * 4) << 16 | (y * 5) << 8 | 0x80; }

// How many of the sampled pixels of the 64 x 48 image differ from the pattern, each looked at
// in the middle of where the window's zoom shows it.
int PixelsOffPattern(HWND window) {
  const RECT client = ClientRectOf(window);
  int off = 0;
  for (int y = 1; y < 48; y += 4)
    for (int x = 1; x < 64; x += 4) {
      const int rgb = Pattern(x, y);
      const COLORREF shown =
          ScreenPixel(window, (2 * x + 1) * client.right / 128, (2 * y + 1) * client.bottom / 96);
      if (shown != RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF)) off++;
    }
  return off;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  DWORD written = 0;
  if (file == INVALID_HANDLE_VALUE) return;
  WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
  CloseHandle(file);
}

// The test's own folder beside the driver, with what was written into it removed afterwards.
struct Folder {
  explicit Folder(const wchar_t* name) : path(DriverFolder() + name + L"\\") {
    CreateDirectoryW(path.c_str(), NULL);
  }
  ~Folder() {
    for (const std::wstring& file : files) DeleteFileW(file.c_str());
    RemoveDirectoryW(path.c_str());
  }
  std::wstring operator[](const wchar_t* name) {
    files.push_back(path + name);
    return files.back();
  }
  std::wstring path;
  std::vector<std::wstring> files;
};

// The first edit control among the window's descendants.
HWND EditWithin(HWND window) {
  HWND found = NULL;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM result) -> BOOL {
        wchar_t name[16] = L"";
        GetClassNameW(child, name, 16);
        if (lstrcmpiW(name, L"Edit") != 0) return TRUE;
        *(HWND*)result = child;
        return FALSE;
      },
      (LPARAM)&found);
  return found;
}

// The image window's load command with the path typed into the dialog's name field, then
// Enter; "" once the dialog has taken it and gone, else what went wrong.
std::string LoadThroughTheDialog(const Program& program, HWND image, const std::wstring& path) {
  PostCommand(image, 1004);
  HWND dialog = WaitForWindow(L"#32770", L"Load image file", program.id, 10000);
  if (!dialog) return "no dialog";
  // The name field: the edit inside the name combo box, or a plain edit.
  HWND edit = NULL;
  WaitFor(
      [&] {
        HWND name = GetDlgItem(dialog, 0x47c);
        edit = name ? EditWithin(name) : GetDlgItem(dialog, 0x480);
        return edit != NULL;
      },
      5000);
  if (!edit) return "no name field";
  for (wchar_t c : path) SendChar(edit, c);
  WaitFor([&] { return TextOf(edit) == path; }, 5000);
  SendKey(edit, VK_RETURN);
  if (WaitFor([&] { return !IsWindow(dialog); }, 10000)) return "";
  const std::wstring typed = TextOf(edit);
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  return "still open, holding " + std::string(typed.begin(), typed.end());
}

// Once the load command has returned and the window has painted what it then held. S, posted
// to the image window after the load's dialog closed, is handled after the load and handed on
// to the main window, whose Start has the worker pump (and paint) before AppMain reports; C
// stops it again.
bool LoadHandled(Probe& probe, HWND image) {
  const int runs = probe.Count("enter\n");
  SendKey(image, 'S');
  if (!WaitFor([&] { return probe.Count("enter\n") > runs; }, 5000)) return false;
  SendKey(image, 'C');
  return WaitFor([&] { return probe.Count("leave\n") > runs; }, 5000);
}

}  // namespace

// Damaged files chosen in the real load dialog: the image keeps what it showed and the windows
// keep answering; a sound file chosen afterwards still loads.
TEST(ImageWindow, DamagedFilesChosenInTheLoadDialogLeaveTheImageAsItWas) {
  Folder folder(L"load_dialog_e2e");
  ASSERT_TRUE(WritePicture(folder[L"sound.bmp"], 64, 48, Pattern, L"image/bmp"));
  ASSERT_TRUE(WritePicture(folder[L"whole.png"], 64, 48, Pattern));
  const std::string png = ReadFileText(folder.path + L"whole.png");
  ASSERT_GT(png.size(), 100u);
  std::string bmpHead = ReadFileText(folder.path + L"sound.bmp").substr(0, 54);
  bmpHead.replace(18, 8, std::string("\xA0\x86\x01\x00\xA0\x86\x01\x00", 8));  // 100000 x 100000
  const struct {
    const wchar_t* name;
    std::string bytes;
  } damaged[] = {
      {L"empty.png", ""},
      {L"words.jpg", "these bytes are no picture at all\r\n"},
      {L"cut.png", png.substr(0, 40)},
      {L"halved.png", png.substr(0, png.size() / 2)},
      {L"huge.bmp", bmpHead + std::string(64, '\x55')},
      {L"noise.gif", std::string("GIF89a\x40\x00\x30\x00", 10) + std::string(200, '\xA5')},
  };
  for (const auto& file : damaged) WriteBytes(folder[file.name], file.bytes);

  Probe probe("idle", L"krvsoak.exe");
  HWND window = probe.WaitReady();
  ASSERT_TRUE(window) << probe.Log();
  HWND image = WaitForWindow(L"krv_iw", NULL, probe.program().id, 5000);
  ASSERT_TRUE(image);
  ASSERT_EQ("", LoadThroughTheDialog(probe.program(), image, folder.path + L"sound.bmp"));
  ASSERT_TRUE(WaitFor([&] { return PixelsOffPattern(image) == 0; }, 3000))
      << PixelsOffPattern(image) << " sampled pixels off the pattern";
  for (const auto& file : damaged) {
    ASSERT_EQ("", LoadThroughTheDialog(probe.program(), image, folder.path + file.name))
        << file.name;
    EXPECT_LT(RoundTripMs(image, 2000), 2000u) << file.name;
    EXPECT_LT(RoundTripMs(window, 2000), 2000u) << file.name;
    ASSERT_TRUE(LoadHandled(probe, image)) << file.name;
    EXPECT_EQ(0, PixelsOffPattern(image)) << file.name << " changed the image";
  }
  EXPECT_TRUE(IsWindow(image));
}
