// Clipboard blocks and packed-bitmap headers, shared by every copy to the clipboard and by the
// image memory. Either thread.
#include "runtime/runtime.h"

BITMAPINFOHEADER DibHeader(int width, int height, int bitCount) {
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = (WORD)bitCount;
  header.biCompression = BI_RGB;
  return header;
}

void* LockNewClipboardBlock(SIZE_T size, HGLOBAL* block) {
  *block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, size);
  void* data = *block ? GlobalLock(*block) : NULL;
  if (!data && *block) {
    GlobalFree(*block);
    *block = NULL;
  }
  return data;
}

void HandBlockToClipboard(HGLOBAL block, UINT format) {
  GlobalUnlock(block);
  if (!SetClipboardData(format, block)) GlobalFree(block);
}
