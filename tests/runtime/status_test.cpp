#include <gtest/gtest.h>

#include <string>

#include "runtime/runtime.h"

static std::string Formatted(const char* text) {
  char field[StatusFieldLength + 1];
  FormatStatusText(text, field);
  return field;
}

TEST(StatusText, CentresAboutColumnEighteen) {
  std::string field = Formatted("32-bit color");
  ASSERT_EQ(63u, field.size());
  EXPECT_EQ(std::string(12, ' ') + "32-bit color" + std::string(39, ' '), field);
  EXPECT_EQ(std::string(13, ' ') + "Input text" + std::string(40, ' '), Formatted("Input text"));
  EXPECT_EQ(std::string(63, ' '), Formatted(""));
}
