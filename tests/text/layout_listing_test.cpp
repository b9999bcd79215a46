// The generated listing checked byte for byte from plain layout records.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "text/text.h"

namespace {

struct Listing {
  std::string text;
  int cut = -1;
};

class LayoutListing : public ::testing::Test {
 protected:
  LayoutListing() : layout(new WindowLayout()) {}

  LayoutImage& AddImage(int id, const char* title, int bits, int fitScreen) {
    LayoutImage& image = layout->images[layout->imageCount++];
    image = LayoutImage{id, bits, fitScreen, 0, 0, 640, 480, 100, ""};
    strcpy(image.title, title);
    return image;
  }
  void AddText(int id, int x, int y, int width, int height) {
    layout->texts[layout->textCount++] = LayoutTextWindow{id, x, y, width, height};
  }
  Listing Build(int size = ListingBufferSize) {
    std::unique_ptr<char[]> out(new char[size > 0 ? size : 1]);
    Listing listing;
    int length = BuildLayoutListing(*layout, out.get(), size, &listing.cut);
    listing.text.assign(out.get(), length);
    EXPECT_EQ(strlen(out.get()), (size_t)length);
    return listing;
  }
  std::unique_ptr<WindowLayout> layout;
};

const char Header[] = "\t// KORVEL --- Automatic Source Generator\n";
const char Closing[] = "\tKRV_SetForeground(KRVMAINWINDOW);\n";

std::string Escaped(const char* text, int size = 64) {
  char out[1100];
  bool whole = EscapeLiteral(text, out, size);
  return std::string(out) + (whole ? "" : "|cut");
}

}  // namespace

TEST_F(LayoutListing, ExampleLayoutOfOneImageAndOneTextWindow) {
  AddImage(0, "000", 32, 1);
  AddText(0, 10, 20, 400, 300);
  Listing listing = Build();
  EXPECT_EQ(std::string(Header) +
                "\t// [Image Window]\n"
                "\tKRV_CreateImage(0,\"000\",0,0,640,480,100);\n"
                "\t// [Text Window]\n"
                "\tKRV_OpenTextWindow(0,10,20,400,300);\n" +
                Closing,
            listing.text);
  EXPECT_EQ(0, listing.cut);
}

TEST_F(LayoutListing, HeaderComesFirstEvenWithNoWindowAndTextSectionAlways) {
  EXPECT_EQ(std::string(Header) + "\t// [Text Window]\n" + Closing, Build().text);
}

TEST_F(LayoutListing, CreateCallFollowsDepthAndFit) {
  AddImage(1, "a", 32, 0).x = -8;
  AddImage(2, "b", 8, 1).zoom = 50;
  AddImage(3, "c", 8, 0).width = 17;
  std::string text = Build().text;
  EXPECT_NE(std::string::npos, text.find("\tKRV_CreateImageFL(1,\"a\",-8,0,640,480,100);\n"));
  EXPECT_NE(std::string::npos, text.find("\tKRV_CreateImage8(2,\"b\",0,0,640,480,50);\n"));
  EXPECT_NE(std::string::npos, text.find("\tKRV_CreateImage8FL(3,\"c\",0,0,17,480,100);\n"));
}

TEST_F(LayoutListing, BoxesWithTheirTitlesInOrder) {
  LayoutInputBox& input = layout->inputBox;
  input.open = 1;
  input.x = 5, input.y = 6, input.count = 2, input.isize = 80, input.esize = 70;
  strcpy(input.labels[0], "Gain");
  strcpy(input.labels[1], "Item 1");
  LayoutButtonBox& buttons = layout->buttonBox;
  buttons.open = 1;
  buttons.x = 300, buttons.y = 0, buttons.nx = 2, buttons.ny = 1, buttons.count = 2;
  buttons.width = 204, buttons.height = 30;
  strcpy(buttons.captions[0], "Start\nnow");
  strcpy(buttons.captions[1], "1");
  EXPECT_EQ(std::string(Header) +
                "\t// [Text Window]\n"
                "\t// [Input Box]\n"
                "\tKRV_OpenInputBox(5,6,2);\n"
                "\tKRV_ResizeInputBox(80,70);\n"
                "\tKRV_SetInputBoxTitle(0,\"Gain\");\n"
                "\tKRV_SetInputBoxTitle(1,\"Item 1\");\n"
                "\t// [Button Box]\n"
                "\tKRV_OpenButtonBox(300,0,2,1);\n"
                "\tKRV_ResizeButtonBox(204,30);\n"
                "\tKRV_SetButtonBoxTitle(0,\"Start\\nnow\");\n"
                "\tKRV_SetButtonBoxTitle(1,\"1\");\n" +
                Closing,
            Build().text);
}

TEST_F(LayoutListing, QuotesBackslashesAndLineBreaksAreEscaped) {
  EXPECT_EQ("say \\\"hi\\\"", Escaped("say \"hi\""));
  EXPECT_EQ("c:\\\\pano\\\\", Escaped("c:\\pano\\"));
  EXPECT_EQ("two\\r\\nlines", Escaped("two\r\nlines"));
  AddImage(0, "a \"b\" \\c", 32, 1);
  EXPECT_NE(std::string::npos,
            Build().text.find("\tKRV_CreateImage(0,\"a \\\"b\\\" \\\\c\",0,0,640,480,100);\n"));
}

// In the system code page the second byte of ソ and 表 is the backslash's code.
TEST_F(LayoutListing, DoubleByteCharactersAreCopiedWhole) {
  EXPECT_EQ("ソフト表示", Escaped("ソフト表示"));
  EXPECT_EQ("ソ\\\\", Escaped("ソ\\"));
}

TEST_F(LayoutListing, EscapingStopsBeforeWhatDoesNotFit) {
  EXPECT_EQ("abc|cut", Escaped("abcd", 4));
  EXPECT_EQ("ab|cut", Escaped("ab\"", 4));  // no half escape
  EXPECT_EQ("a|cut", Escaped("aソ", 3));    // no half character
  EXPECT_EQ("ab", Escaped("ab", 3));
}

TEST_F(LayoutListing, ATooLongTitleIsShortenedAndTheCallStaysWhole) {
  std::string title(600, 'x');
  AddImage(7, title.c_str(), 32, 1);
  Listing listing = Build();
  EXPECT_EQ(1, listing.cut);
  size_t start = listing.text.find("\tKRV_CreateImage(7,\"");
  ASSERT_NE(std::string::npos, start);
  size_t end = listing.text.find('\n', start);
  std::string line = listing.text.substr(start, end + 1 - start);
  EXPECT_EQ((size_t)ListingLineSize - 1, line.size());
  EXPECT_EQ("\",0,0,640,480,100);\n", line.substr(line.size() - 20));
}

// 256 images with long titles need far more than the buffer holds.
TEST_F(LayoutListing, AListingBeyondTheBufferEndsAtAWholeLine) {
  std::string title(300, 't');
  for (int id = 0; id < 256; id++) AddImage(id, title.c_str(), 32, 1);
  AddText(0, 1, 2, 3, 4);
  Listing listing = Build();
  EXPECT_EQ(1, listing.cut);
  EXPECT_LE(listing.text.size(), (size_t)ListingBufferSize - 1);
  EXPECT_GT(listing.text.size(), (size_t)ListingBufferSize - 400);
  ASSERT_GE(listing.text.size(), strlen(Closing));
  EXPECT_EQ(Closing, listing.text.substr(listing.text.size() - strlen(Closing)));
  EXPECT_EQ(0u, listing.text.find(Header));
  // Every line but the comments is a whole call.
  size_t at = 0, lines = 0;
  while (at < listing.text.size()) {
    size_t end = listing.text.find('\n', at);
    ASSERT_NE(std::string::npos, end);
    if (listing.text.compare(at, 3, "\t//") != 0) {
      EXPECT_EQ(");", listing.text.substr(end - 2, 2));
    }
    at = end + 1;
    lines++;
  }
  EXPECT_EQ(std::string::npos, listing.text.find("KRV_OpenTextWindow"));
  EXPECT_GT(lines, 50u);
}
