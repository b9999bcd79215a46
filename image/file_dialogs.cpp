// The load and save dialogs of the image window's menu. Worker thread, no owner window; each
// remembers the folder and the filter of its last chosen file for the life of the process.
#include <string.h>

#include "image/image.h"
// After windows.h, which it needs.
#include <commdlg.h>

struct FileFilter {
  const wchar_t* text;
  const wchar_t* pattern;
};

// The save dialog offers the first six.
static const FileFilter fileFilters[] = {
    {L"All Files (*.*)", L"*.*"},
    {L"BMP (*.BMP;*.RLE;*.DIB)", L"*.BMP;*.RLE;*.DIB"},
    {L"JPEG (*.JPG;*.JPEG;*.JPE)", L"*.JPG;*.JPEG;*.JPE"},
    {L"CompuServe GIF (*.GIF)", L"*.GIF"},
    {L"PNG (*.PNG)", L"*.PNG"},
    {L"TIFF (*.TIF;*.TIFF)", L"*.TIF;*.TIFF"},
    {L"WMF (*.WMF)", L"*.WMF"},
    {L"EMF (*.EMF)", L"*.EMF"},
    {L"ICO (*.ICO)", L"*.ICO"},
};
enum { LoadFilterCount = 9, SaveFilterCount = 6, FilterListUnits = 512 };

wchar_t openDirectoryW[MAX_PATH];
char openDirectory[MAX_PATH];
wchar_t saveDirectoryW[MAX_PATH];
char saveDirectory[MAX_PATH];
int openFilterIndex = 2;
int saveFilterIndex = 2;

void ReadFileDialogFolders(void) {
  ReadCurrentDirectory(openDirectoryW, openDirectory, false);
  ReadCurrentDirectory(saveDirectoryW, saveDirectory, false);
}

static int AppendListPart(wchar_t* list, int at, const wchar_t* part) {
  const int length = lstrlenW(part);
  memcpy(list + at, part, (length + 1) * sizeof(wchar_t));
  return at + length + 1;
}

// Text and pattern pairs, each ended by a terminator, the list by a second one.
static void ListFilters(int count, wchar_t* list) {
  int at = 0;
  for (int i = 0; i < count; i++) {
    at = AppendListPart(list, at, fileFilters[i].text);
    at = AppendListPart(list, at, fileFilters[i].pattern);
  }
  list[at] = 0;
}

static int ValidFilter(int index, int count) { return index >= 1 && index <= count ? index : 1; }

// The folder of the chosen file, with its separator, as the dialog's next start.
static void RememberFolder(const wchar_t* file, wchar_t* folderW, char* folder) {
  wchar_t full[PathUnits];
  const DWORD length = GetFullPathNameW(file, PathUnits, full, NULL);
  if (length == 0 || length >= PathUnits) return;
  wchar_t* separator = wcsrchr(full, L'\\');
  if (!separator) return;
  separator[1] = 0;
  lstrcpyW(folderW, full);
  WideToNarrow(folderW, folder, PathUnits);
}

struct DialogMemory {
  wchar_t* folderW;
  char* folder;
  int* filterIndex;
  int filterCount;
};

// Runs the dialog; 0 with the chosen path in narrow text, 1 when cancelled. A path that does
// not fit the caller's 260 bytes, or that the code page cannot spell, counts as cancelled: cut
// short or spelt with a look-alike letter it would name another file.
static int RunFileDialog(OPENFILENAMEW* dialog, const DialogMemory& memory, char* path,
                         BOOL(WINAPI* run)(OPENFILENAMEW*)) {
  wchar_t filters[FilterListUnits];
  ListFilters(memory.filterCount, filters);
  dialog->lStructSize = sizeof(*dialog);
  dialog->hwndOwner = NULL;
  dialog->lpstrFilter = filters;
  dialog->nFilterIndex = ValidFilter(*memory.filterIndex, memory.filterCount);
  dialog->nMaxFile = PathUnits;
  dialog->lpstrInitialDir = memory.folderW;
  if (!run(dialog)) return 1;
  if (PathToNarrow(dialog->lpstrFile, path, PathUnits) != 0) return 1;
  *memory.filterIndex = ValidFilter((int)dialog->nFilterIndex, memory.filterCount);
  RememberFolder(dialog->lpstrFile, memory.folderW, memory.folder);
  return 0;
}

int ChooseLoadFile(char* path) {
  wchar_t file[PathUnits];
  // The remembered filter's pattern, so that the list shows that type at once.
  lstrcpyW(file, fileFilters[ValidFilter(openFilterIndex, LoadFilterCount) - 1].pattern);
  OPENFILENAMEW dialog = {};
  dialog.lpstrFile = file;
  dialog.lpstrTitle = L"Load image file";
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  const DialogMemory memory = {openDirectoryW, openDirectory, &openFilterIndex, LoadFilterCount};
  return RunFileDialog(&dialog, memory, path, GetOpenFileNameW);
}

int ChooseSaveFile(char* path) {
  wchar_t file[PathUnits] = L"noname";
  OPENFILENAMEW dialog = {};
  dialog.lpstrFile = file;
  dialog.lpstrTitle = L"Save as";
  dialog.Flags = OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
  const DialogMemory memory = {saveDirectoryW, saveDirectory, &saveFilterIndex, SaveFilterCount};
  return RunFileDialog(&dialog, memory, path, GetSaveFileNameW);
}
