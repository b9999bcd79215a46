// The window-free cores of the text windows: layout, key ring, colour stack, names, commands.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "text/text.h"

namespace {

struct Layout {
  std::vector<TextStep> steps;
  int endX;
};

Layout LayOut(const std::wstring& text, int startX, int width, int cell) {
  static TextStep steps[MaxTextSteps];
  Layout layout;
  int count = LayOutText(text.c_str(), (int)text.size(), startX, width, cell, steps, &layout.endX);
  layout.steps.assign(steps, steps + count);
  return layout;
}

void ExpectStep(const TextStep& step, int first, int count, int x) {
  EXPECT_EQ(first, step.first);
  EXPECT_EQ(count, step.count);
  if (count) {
    EXPECT_EQ(x, step.x);
  }
}

}  // namespace

TEST(TextLayout, SixtyCharactersWrapAfterFiftyCellsOfEight) {
  Layout layout = LayOut(std::wstring(60, L'a'), 0, 400, 8);
  ASSERT_EQ(3u, layout.steps.size());
  ExpectStep(layout.steps[0], 0, 50, 0);
  ExpectStep(layout.steps[1], 50, 0, 0);
  ExpectStep(layout.steps[2], 50, 10, 0);
  EXPECT_EQ(80, layout.endX);
}

TEST(TextLayout, ContinuesWhereThePreviousPrintEnded) {
  Layout layout = LayOut(L"def", 18, 400, 6);
  ASSERT_EQ(1u, layout.steps.size());
  ExpectStep(layout.steps[0], 0, 3, 18);
  EXPECT_EQ(36, layout.endX);
}

TEST(TextLayout, TwoCellCharacterThatWouldCrossTheEdgeMovesWhole) {
  // 49 cells used of 50: the wide character needs two and starts the next line.
  Layout layout = LayOut(std::wstring(49, L'a') + L"\x3042" L"b", 0, 400, 8);
  ASSERT_EQ(3u, layout.steps.size());
  ExpectStep(layout.steps[0], 0, 49, 0);
  ExpectStep(layout.steps[1], 49, 0, 0);
  ExpectStep(layout.steps[2], 49, 2, 0);
  EXPECT_EQ(24, layout.endX);
}

TEST(TextLayout, LineFeedsMoveDownAndDrawNothing) {
  Layout layout = LayOut(L"\n\n", 30, 400, 8);
  ASSERT_EQ(2u, layout.steps.size());
  EXPECT_EQ(0, layout.steps[0].count);
  EXPECT_EQ(0, layout.steps[1].count);
  EXPECT_EQ(0, layout.endX);
  layout = LayOut(L"ab\ncd\n", 0, 400, 8);
  ASSERT_EQ(4u, layout.steps.size());
  ExpectStep(layout.steps[0], 0, 2, 0);
  EXPECT_EQ(0, layout.steps[1].count);
  ExpectStep(layout.steps[2], 3, 2, 0);
  EXPECT_EQ(0, layout.steps[3].count);
  EXPECT_EQ(0, layout.endX);
}

TEST(TextLayout, ControlUnitsOtherThanLineFeedTakeACell) {
  Layout layout = LayOut(L"a\tb\rc", 0, 400, 8);
  ASSERT_EQ(1u, layout.steps.size());
  ExpectStep(layout.steps[0], 0, 5, 0);
  EXPECT_EQ(40, layout.endX);
}

TEST(TextLayout, LongestOutputStaysWithinTheStepTable) {
  // Every unit on a line of its own in a window narrower than a cell.
  Layout layout = LayOut(std::wstring(FormatBufferSize - 1, L'x'), 0, 4, 8);
  EXPECT_EQ(2 * (FormatBufferSize - 1), (int)layout.steps.size());
  EXPECT_LE((int)layout.steps.size(), MaxTextSteps);
}

TEST(KeyRingTest, KeepsOrderDropsWhenFullAndWrapsAround) {
  KeyRing ring = {{}, -1, 0};
  EXPECT_EQ(0, PopKey(&ring));
  PushKey(&ring, L'a');
  PushKey(&ring, L'b');
  EXPECT_EQ(L'a', PopKey(&ring));
  EXPECT_EQ(L'b', PopKey(&ring));
  EXPECT_EQ(-1, ring.readIndex);
  EXPECT_EQ(0, PopKey(&ring));
  for (int i = 0; i < KeyRingSize + 10; i++) PushKey(&ring, (wchar_t)(L'A' + i % 26));
  for (int i = 0; i < KeyRingSize; i++) ASSERT_EQ((wchar_t)(L'A' + i % 26), PopKey(&ring)) << i;
  EXPECT_EQ(0, PopKey(&ring));
  PushKey(&ring, L'z');  // the indexes have wrapped past the end
  EXPECT_EQ(L'z', PopKey(&ring));
}

TEST(ColourStack, ThreePushesThenThreePopsGiveWhiteOnBlack) {
  TextWindowSlot slot = {};
  slot.textColor = 0xFFFFFF;
  for (int i = 0; i < ColorStackDepth; i++) slot.textColorStack[i] = 0xFFFFFF;
  PushColours(&slot, 0xFF0000, 0x000011);
  PushColours(&slot, 0x00FF00, 0x000022);
  PushColours(&slot, 0x0000FF, 0x000033);
  EXPECT_EQ(0x0000FF, slot.textColor);
  PopColours(&slot);
  EXPECT_EQ(0x00FF00, slot.textColor);
  EXPECT_EQ(0x000022, slot.backColor);
  PopColours(&slot);
  PopColours(&slot);
  EXPECT_EQ(0xFFFFFF, slot.textColor);
  EXPECT_EQ(0, slot.backColor);
}

TEST(ColourStack, PoppingPastTheBottomKeepsTheOldestPair) {
  TextWindowSlot slot = {};
  for (int i = 0; i < 10; i++) PushColours(&slot, i + 1, 100 + i);
  for (int i = 0; i < 12; i++) PopColours(&slot);
  // The first pairs fell off the bottom; the oldest one kept is what the third push saved.
  EXPECT_EQ(2, slot.textColor);
  EXPECT_EQ(101, slot.backColor);
}

TEST(LogName, FormatsInstanceAndWindowAndRefusesWhatDoesNotFit) {
  char name[256];
  ASSERT_TRUE(FormatLogName(name, sizeof name, "C:\\work\\", 0, 3));
  EXPECT_STREQ("C:\\work\\KORVEL03.LOG", name);
  ASSERT_TRUE(FormatLogName(name, sizeof name, "", 9, 255));
  EXPECT_STREQ("KORVEL9255.LOG", name);
  std::string deep(250, 'd');
  EXPECT_FALSE(FormatLogName(name, sizeof name, deep.c_str(), 0, 0));
}

TEST(CommandWords, AreMatchedExactlyAndInOrder) {
  EXPECT_EQ(0, FindCommand("exit"));
  EXPECT_EQ(1, FindCommand("start"));
  EXPECT_EQ(2, FindCommand("help"));
  EXPECT_EQ(3, FindCommand("ver"));
  EXPECT_EQ(4, FindCommand("color"));
  EXPECT_EQ(-1, FindCommand("Help"));
  EXPECT_EQ(-1, FindCommand(" help"));
  EXPECT_EQ(-1, FindCommand("help "));
  EXPECT_EQ(-1, FindCommand("col"));
  EXPECT_EQ(-1, FindCommand(""));
}

TEST(NarrowPrefix, NeverEndsInsideADoubleByteCharacter) {
  const char text[] = "ab\x82\xa0" "c";  // a, b, hiragana a in code page 932, c
  EXPECT_EQ(2, NarrowPrefixLength(text, 3));
  EXPECT_EQ(4, NarrowPrefixLength(text, 4));
  EXPECT_EQ(5, NarrowPrefixLength(text, 100));
  EXPECT_EQ(0, NarrowPrefixLength("", 10));
}
