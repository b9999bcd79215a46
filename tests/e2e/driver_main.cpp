// krvdrive: the driver from the command line.
//   krvdrive wait CLASS [TIMEOUT_MS [TITLE]]
//                                        prints the window handle when it appears
//   krvdrive text CLASS [CHILD_ID]       prints the caption, or a child's text
//   krvdrive rect CLASS                  prints left top right bottom of the outer rectangle
//   krvdrive command CLASS ID [TITLE]    posts WM_COMMAND (to the window with that caption)
//   krvdrive key CLASS VK                posts a key press (VK as a number)
//   krvdrive move CLASS X Y [TITLE]      moves the window (the one with that caption, if given)
//   krvdrive rclick CLASS X Y            posts a right click at client coordinates
//   krvdrive click CLASS X Y [TITLE]     posts a left click at client coordinates
//   krvdrive layout CLASS                describes the krv_ windows of that window's program
//   krvdrive clipboard CLASS             writes the clipboard's text, bytes as they are
//   krvdrive shows CLASS TITLE RRGGBB [TIMEOUT_MS]
//                                        waits until that window shows the colour; 1 if never
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>

#include "driver.h"

static int Usage(void) {
  fprintf(stderr,
          "usage: krvdrive wait|text|rect|command|key|move|rclick|click|layout|clipboard|shows CLASS [ARG]\n");
  return 2;
}

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return Usage();
  std::wstring verb = argv[1];
  DWORD timeout = verb == L"wait" && argc > 3 ? (DWORD)_wtoi(argv[3]) : 5000;
  const wchar_t* title = (verb == L"move" || verb == L"click") && argc > 5 ? argv[5]
                         : (verb == L"command" || verb == L"wait") && argc > 4 ? argv[4]
                                                                         : NULL;
  if (verb == L"shows") {
    if (argc < 5) return Usage();
    title = argv[3];
    timeout = argc > 5 ? (DWORD)_wtoi(argv[5]) : 5000;
  }
  HWND window = WaitForWindow(argv[2], title, 0, timeout);
  if (!window) {
    fprintf(stderr, "krvdrive: no window of class %ls\n", argv[2]);
    return 1;
  }
  if (verb == L"wait") {
    printf("%p\n", (void*)window);
  } else if (verb == L"text") {
    HWND target = argc > 3 ? FindChildById(window, _wtoi(argv[3])) : window;
    printf("%ls\n", TextOf(target).c_str());
  } else if (verb == L"rect") {
    RECT rect = OuterRect(window);
    printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
  } else if (verb == L"command" && argc > 3) {
    PostCommand(window, _wtoi(argv[3]));
  } else if (verb == L"move" && argc > 4) {
    SetWindowPos(window, NULL, _wtoi(argv[3]), _wtoi(argv[4]), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  } else if (verb == L"key" && argc > 3) {
    SendKey(window, (UINT)_wtoi(argv[3]));
  } else if (verb == L"click" && argc > 4) {
    SendClick(window, _wtoi(argv[3]), _wtoi(argv[4]));
  } else if (verb == L"rclick" && argc > 4) {
    SendRightClick(window, _wtoi(argv[3]), _wtoi(argv[4]));
  } else if (verb == L"shows") {
    const unsigned long rgb = wcstoul(argv[4], NULL, 16);
    const COLORREF colour = RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    auto shown = [&] {
      for (COLORREF pixel : ScreenOf(window))
        if (pixel == colour) return true;
      return false;
    };
    if (!WaitFor(shown, timeout)) {
      fprintf(stderr, "krvdrive: %ls does not show %06lx\n", argv[3], rgb);
      return 1;
    }
  } else if (verb == L"layout" || verb == L"clipboard") {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    std::string text =
        verb == L"layout" ? DescribeFrameworkWindows(processId) : ClipboardText();
    _setmode(_fileno(stdout), _O_BINARY);
    fwrite(text.data(), 1, text.size(), stdout);
  } else {
    return Usage();
  }
  return 0;
}
