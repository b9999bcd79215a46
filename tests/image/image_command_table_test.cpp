// The image window's command table against its two popup menus: every command the menus offer
// runs exactly one row, and the rows are distinct commands.
#include <gtest/gtest.h>

#include <set>

#include "image/image.h"

namespace {

void CollectCommands(HMENU menu, std::multiset<UINT>* commands) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; i++) {
    MENUITEMINFOW item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_FTYPE;
    ASSERT_TRUE(GetMenuItemInfoW(menu, i, TRUE, &item));
    if (item.hSubMenu)
      CollectCommands(item.hSubMenu, commands);
    else if (!(item.fType & MFT_SEPARATOR))
      commands->insert(item.wID);
  }
}

int RowsOf(UINT command) {
  int rows = 0;
  for (const ImageCommandRow& row : imageCommands) rows += (UINT)row.id == command;
  return rows;
}

TEST(ImageCommandTable, EveryMenuCommandRunsExactlyOneRow) {
  std::multiset<UINT> commands;
  HMENU image = BuildImageMenu(-1), process = BuildProcessMenu(-1);
  CollectCommands(image, &commands);
  CollectCommands(process, &commands);
  DestroyMenu(image);
  DestroyMenu(process);
  // No image: the 8-bit-only "Line(Lumi)" is left out of the menus' 49 commands.
  EXPECT_EQ(48u, commands.size());
  for (UINT command : commands) EXPECT_EQ(1, RowsOf(command)) << command;
  EXPECT_EQ(1, RowsOf(CommandLineLumi));
  EXPECT_EQ(1, RowsOf(CommandPasteTopLeft));  // Ctrl+V's, in no menu
}

TEST(ImageCommandTable, RowsAreDistinctCommandsWithHandlers) {
  std::set<int> ids;
  for (const ImageCommandRow& row : imageCommands) {
    EXPECT_NE(nullptr, row.run) << row.id;
    EXPECT_TRUE(ids.insert(row.id).second) << row.id;
    EXPECT_GE(row.id, CommandLoadImage);
    EXPECT_LE(row.id, CommandPatternGrey);
  }
  EXPECT_EQ((size_t)ImageCommandCount, ids.size());
}

// Rows of whole 32-bit words, as every DIB has them.
TEST(DibStride, RowsRoundUpToWholeWords) {
  EXPECT_EQ(4, DibStride(1, 8));
  EXPECT_EQ(8, DibStride(5, 8));
  EXPECT_EQ(12, DibStride(3, 24));
  EXPECT_EQ(16, DibStride(5, 24));
  EXPECT_EQ(28, DibStride(7, 32));
  EXPECT_EQ(4, DibStride(32, 1));
  EXPECT_EQ(8, DibStride(33, 1));
  EXPECT_EQ(0, DibStride(0, 24));
  EXPECT_EQ(120000, DibStride(40000, 24));
  EXPECT_EQ(4, ImageStride(8, 3));
  EXPECT_EQ(12, ImageStride(32, 3));
}

}  // namespace
