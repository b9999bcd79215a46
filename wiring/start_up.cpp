// What the folders make at start-up and give back at the end, on the GUI thread: the file
// dialogs' and the logs' start-up folder, and the TrueType font of the text in images.
#include "draw/draw.h"
#include "image/image.h"
#include "text/text.h"
#include "wiring/wiring.h"

void StartSubsystems(void) {
  ReadFileDialogFolders();
  ReadLogFolder();
  krv_ttFont = CreateStartupTTFont();
}

// A worker that has to be terminated must not take buffered lines with it.
void CloseFilesBeforeExit(void) { CloseAllLogs(); }

void StopSubsystems(void) { DeleteObject(krv_ttFont); }
