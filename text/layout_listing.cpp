// The listing of framework calls that re-creates a window layout. Pure: it reads a snapshot
// and writes text, so any thread may run it.
#include <stdio.h>
#include <string.h>

#include "text/text.h"

static const char ClosingLine[] = "\tKRV_SetForeground(KRVMAINWINDOW);\n";
enum { ClosingLength = sizeof ClosingLine - 1 };

struct Listing {
  char* out;
  int size, length;
  int full;       // a line did not fit: it and every later one are left out
  int shortened;  // a text was shortened to keep its line within the line buffer
};

static const char* EscapeOf(char c) {
  switch (c) {
    case '"': return "\\\"";
    case '\\': return "\\\\";
    case '\n': return "\\n";
    case '\r': return "\\r";
  }
  return NULL;
}

bool EscapeLiteral(const char* text, char* out, int size) {
  if (size <= 0) return text[0] == 0;
  int written = 0;
  for (int i = 0; text[i];) {
    char piece[3] = {text[i], 0, 0};
    // A trail byte may look like a backslash: double-byte characters are copied whole.
    int step = IsDBCSLeadByte((BYTE)text[i]) && text[i + 1] ? 2 : 1;
    if (step == 2) piece[1] = text[i + 1];
    const char* escaped = step == 1 ? EscapeOf(text[i]) : NULL;
    if (escaped) memcpy(piece, escaped, 2);
    int length = piece[1] ? 2 : 1;
    if (written + length > size - 1) {
      out[written] = 0;
      return false;
    }
    memcpy(out + written, piece, length);
    written += length;
    i += step;
  }
  out[written] = 0;
  return true;
}

// Whole lines only, and room is always kept for the closing line.
static void AppendLine(Listing* listing, const char* line) {
  if (listing->full) return;
  int length = (int)strlen(line);
  if (listing->length + length + ClosingLength > listing->size - 1) {
    listing->full = 1;
    return;
  }
  memcpy(listing->out + listing->length, line, length);
  listing->length += length;
  listing->out[listing->length] = 0;
}

// head, the text as a string literal's inside, then tail; a text too long for one line is
// shortened so that the call stays whole.
static void AppendCall(Listing* listing, const char* head, const char* text, const char* tail) {
  char line[ListingLineSize];
  int headLength = (int)strlen(head), tailLength = (int)strlen(tail);
  if (headLength + tailLength > ListingLineSize - 1) return;
  memcpy(line, head, headLength);
  int room = ListingLineSize - headLength - tailLength;
  if (!EscapeLiteral(text, line + headLength, room)) listing->shortened = 1;
  strcat(line, tail);
  AppendLine(listing, line);
}

static const char* CreateCallOf(const LayoutImage& image) {
  if (image.bits == 8) return image.fitScreen ? "KRV_CreateImage8" : "KRV_CreateImage8FL";
  return image.fitScreen ? "KRV_CreateImage" : "KRV_CreateImageFL";
}

static void AppendImages(Listing* listing, const WindowLayout& layout) {
  if (layout.imageCount == 0) return;
  AppendLine(listing, "\t// [Image Window]\n");
  for (int i = 0; i < layout.imageCount; i++) {
    const LayoutImage& image = layout.images[i];
    char head[64], tail[96];
    snprintf(head, sizeof head, "\t%s(%d,\"", CreateCallOf(image), image.id);
    snprintf(tail, sizeof tail, "\",%d,%d,%d,%d,%d);\n", image.x, image.y, image.width,
             image.height, image.zoom);
    AppendCall(listing, head, image.title, tail);
  }
}

static void AppendTextWindows(Listing* listing, const WindowLayout& layout) {
  AppendLine(listing, "\t// [Text Window]\n");
  for (int i = 0; i < layout.textCount; i++) {
    const LayoutTextWindow& text = layout.texts[i];
    char line[ListingLineSize];
    snprintf(line, sizeof line, "\tKRV_OpenTextWindow(%d,%d,%d,%d,%d);\n", text.id, text.x,
             text.y, text.width, text.height);
    AppendLine(listing, line);
  }
}

static void AppendInputBox(Listing* listing, const LayoutInputBox& box) {
  if (!box.open) return;
  char line[ListingLineSize];
  AppendLine(listing, "\t// [Input Box]\n");
  snprintf(line, sizeof line, "\tKRV_OpenInputBox(%d,%d,%d);\n", box.x, box.y, box.count);
  AppendLine(listing, line);
  snprintf(line, sizeof line, "\tKRV_ResizeInputBox(%d,%d);\n", box.isize, box.esize);
  AppendLine(listing, line);
  for (int i = 0; i < box.count && i < LayoutMaxItems; i++) {
    char head[48];
    snprintf(head, sizeof head, "\tKRV_SetInputBoxTitle(%d,\"", i);
    AppendCall(listing, head, box.labels[i], "\");\n");
  }
}

static void AppendButtonBox(Listing* listing, const LayoutButtonBox& box) {
  if (!box.open) return;
  char line[ListingLineSize];
  AppendLine(listing, "\t// [Button Box]\n");
  snprintf(line, sizeof line, "\tKRV_OpenButtonBox(%d,%d,%d,%d);\n", box.x, box.y, box.nx,
           box.ny);
  AppendLine(listing, line);
  snprintf(line, sizeof line, "\tKRV_ResizeButtonBox(%d,%d);\n", box.width, box.height);
  AppendLine(listing, line);
  for (int i = 0; i < box.count && i < LayoutMaxButtons; i++) {
    char head[48];
    snprintf(head, sizeof head, "\tKRV_SetButtonBoxTitle(%d,\"", i);
    AppendCall(listing, head, box.captions[i], "\");\n");
  }
}

int BuildLayoutListing(const WindowLayout& layout, char* out, int size, int* cut) {
  *cut = 0;
  if (size < (int)sizeof ClosingLine) {
    if (size > 0) out[0] = 0;
    *cut = 1;
    return 0;
  }
  Listing listing = {out, size, 0, 0, 0};
  out[0] = 0;
  AppendLine(&listing, "\t// KORVEL --- Automatic Source Generator\n");
  AppendImages(&listing, layout);
  AppendTextWindows(&listing, layout);
  AppendInputBox(&listing, layout.inputBox);
  AppendButtonBox(&listing, layout.buttonBox);
  memcpy(out + listing.length, ClosingLine, sizeof ClosingLine);
  *cut = listing.full || listing.shortened;
  return listing.length + ClosingLength;
}
