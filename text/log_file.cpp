// Per-window transcripts: KORVEL<instance><window>.LOG in the start-up directory, text mode,
// and their copy to the clipboard. Owning thread of the text windows; Exit closes them all.
#include <stdio.h>

#include "text/text.h"

char logDirectory[MAX_PATH];

void ReadLogFolder(void) {
  wchar_t wide[MAX_PATH];
  ReadCurrentDirectory(wide, logDirectory, true);
}

bool FormatLogName(char* out, int size, const char* directory, int instance, int index) {
  int length = snprintf(out, size, "%sKORVEL%d%d.LOG", directory, instance, index);
  return length >= 0 && length < size;
}

static FILE* OpenLogFile(int index, const wchar_t* mode) {
  char name[256];
  if (!FormatLogName(name, sizeof name, logDirectory, instanceNumber, index)) return NULL;
  wchar_t wideName[256];
  NarrowToWide(name, wideName, 256);
  return _wfopen(wideName, mode);
}

void WriteToLog(TextWindowSlot* slot, const char* text) {
  FILE* file = slot->logFile;
  if (slot->logState == LogOn && file) fputs(text, file);
}

// The stream is taken out of the slot before it is closed, so a writer racing with Exit
// finds no stream rather than a closed one.
void CloseLog(TextWindowSlot* slot) {
  FILE* file = slot->logFile;
  slot->logState = LogOff;
  slot->logFile = NULL;
  if (file) fclose(file);
}

void CloseAllLogs(void) {
  for (TextWindowSlot& slot : textWindows)
    if (slot.inUse && slot.logState != LogOff) CloseLog(&slot);
}

int KRV_StartLog(int n) {
  TextWindowSlot* slot = TextSlot(n);
  if (!slot) return 3;
  if (slot->logState == LogOn) return 1;
  if (slot->logState == LogOff) {
    slot->logFile = OpenLogFile(n, L"wt");
    if (!slot->logFile) {
      ShowMessage("Can't create file for LOG!", "Error");
      return 2;
    }
  }
  slot->logState = LogOn;
  return 0;
}

int KRV_StopLog(int n) {
  TextWindowSlot* slot = TextSlot(n);
  if (!slot) return 2;
  if (slot->logState == LogOff) return 1;
  slot->logState = LogPaused;
  return 0;
}

static int CopyFileToClipboard(FILE* file) {
  EmptyClipboard();
  fseek(file, 0, SEEK_END);
  long length = ftell(file);
  rewind(file);
  HGLOBAL block = NULL;
  char* text = length >= 0 ? (char*)LockNewClipboardBlock((SIZE_T)length + 1, &block) : NULL;
  if (!text) {
    KRV_Pause("No enough memory (copy log)");
    return 3;
  }
  size_t read = fread(text, 1, (size_t)length, file);
  text[read] = 0;
  HandBlockToClipboard(block, CF_TEXT);
  return 0;
}

int KRV_CopyLog(int n) {
  TextWindowSlot* slot = TextSlot(n);
  if (!slot) return 4;
  if (!OpenClipboard(NULL)) return 1;
  int state = slot->logState;
  if (state != LogOff) CloseLog(slot);
  int result;
  FILE* file = OpenLogFile(n, L"rb");
  if (!file) {
    KRV_Pause("Can't open LOG file!");
    result = 2;
  } else {
    result = CopyFileToClipboard(file);
    fclose(file);
  }
  CloseClipboard();
  if (state != LogOff) {
    slot->logFile = OpenLogFile(n, L"at");
    // Without its stream the log cannot go on; say so through the state rather than pretend.
    slot->logState = slot->logFile ? state : LogOff;
  }
  return result;
}
