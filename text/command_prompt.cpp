// The "Cmd>" prompt of the text windows: one typed line, one of five exact command words.
#include <string.h>

#include "text/text.h"

static void RunExit(void) {
  PostMessageW(mainWindow, WM_KEYDOWN, VK_ESCAPE, 0);
  Sleep(1);
}

static void RunStart(void) { PostMessageW(mainWindow, WM_KEYDOWN, 'S', 0); }

static void RunHelp(void) { KRV_Print("Command list:exit help start ver color\n"); }

static void RunVersion(void) {
  TextWindowSlot* slot = CurrentTextSlot();
  if (slot) PostMessageW(slot->window, WM_COMMAND, CommandAbout, 0);
}

static void RunColor(void) {
  KRV_Print("Red  :%3d\n", (krv_color >> 16) & 0xFF);
  KRV_Print("Green:%3d\n", (krv_color >> 8) & 0xFF);
  KRV_Print("Blue :%3d\n", krv_color & 0xFF);
  KRV_Print("krv_tttc=%06x\n", krv_tttc);
  KRV_Print("krv_tc=%06x\n", krv_tc);
}

static const struct {
  const char* word;
  void (*run)(void);
} commands[] = {
    {"exit", RunExit}, {"start", RunStart}, {"help", RunHelp},
    {"ver", RunVersion}, {"color", RunColor},
};

int FindCommand(const char* line) {
  for (int i = 0; i < (int)(sizeof commands / sizeof commands[0]); i++)
    if (strcmp(line, commands[i].word) == 0) return i;
  return -1;
}

int RunCommandPrompt(void) {
  char line[LineBufferSize] = "";
  KRV_Print("Cmd>");
  KRV_InputLine(line);
  int command = FindCommand(line);
  if (command < 0) {
    KRV_Print("Invalid command\n");
    return 1;
  }
  commands[command].run();
  return 0;
}
