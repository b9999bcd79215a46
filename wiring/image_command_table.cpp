// The image window's commands, one row each: the image folder's own and those of the
// clipboard, the drawing commands, the transforms, the picks and the tools of draw/.
#include "draw/draw.h"
#include "image/image.h"
#include "wiring/wiring.h"

// Commands that need the image only: the clipboard's, the drawing commands and the tools.
template <void (*run)(int id)>
static void OnImage(HWND, int id) {
  run(id);
}

const ImageCommandRow imageCommands[ImageCommandCount] = {
    {CommandLoadImage, LoadImageByDialog},
    {CommandSaveImage, SaveImageByDialog},
    {CommandZoom50, ZoomImageTo50},
    {CommandZoom100, ZoomImageTo100},
    {CommandZoom200, ZoomImageTo200},
    {CommandZoomPrompt, ZoomImageByPrompt},
    {CommandResizePrompt, ResizeImageByPrompt},
    {CommandDestroyImage, DestroyImageCommand},
    {CommandCut, OnImage<CutImage>},
    {CommandCopy, OnImage<KRV_CopyImage>},
    {CommandPaste, OnImage<PasteImagePlaced>},
    {CommandPasteTopLeft, OnImage<PasteImageAtCorner>},
    {CommandColorChange, OnImage<ChangeColourCommand>},
    {CommandColorPick, OnImage<PickColourCommand>},
    {CommandLineNormal, OnImage<DrawLineCommand>},
    {CommandLineHorizontal, OnImage<DrawRowCommand>},
    {CommandLineVertical, OnImage<DrawColumnCommand>},
    {CommandBoxNormal, OnImage<DrawBoxCommand>},
    {CommandBoxFill, OnImage<FillBoxCommand>},
    {CommandBoxFillXor, OnImage<XorFillBoxCommand>},
    {CommandCircleNormal, OnImage<DrawCircleCommand>},
    {CommandCircleFill, OnImage<FillCircleCommand>},
    {CommandCircleFillXor, OnImage<XorFillCircleCommand>},
    {CommandPaint, OnImage<PaintCommand>},
    {CommandInvert, OnImage<InvertCommand>},
    {CommandHorizontalFlip, OnImage<HorizontalFlipCommand>},
    {CommandVerticalFlip, OnImage<VerticalFlipCommand>},
    {CommandRotateRight, OnImage<RightRotateCommand>},
    {CommandRotateLeft, OnImage<LeftRotateCommand>},
    {CommandSize50, OnImage<Size50Command>},
    {CommandSize71, OnImage<Size71Command>},
    {CommandSize141, OnImage<Size141Command>},
    {CommandSize200, OnImage<Size200Command>},
    {CommandPatternRgb, OnImage<RgbPatternCommand>},
    {CommandPatternHsv, OnImage<HsvPatternCommand>},
    {CommandPatternYCrCb, OnImage<YCrCbPatternCommand>},
    {CommandPatternYuv, OnImage<YuvPatternCommand>},
    {CommandPatternYiq, OnImage<YiqPatternCommand>},
    {CommandPatternGrey, OnImage<GreyPatternCommand>},
    {CommandFontChange, OnImage<FontChangeCommand>},
    {CommandPixel, OnImage<PixelCommand>},
    {CommandLineRgb, OnImage<RgbProfileCommand>},
    {CommandLineHsv, OnImage<HsvProfileCommand>},
    {CommandLineYCrCb, OnImage<YCrCbProfileCommand>},
    {CommandLineLumi, OnImage<LumiProfileCommand>},
    {CommandLineCrCb, OnImage<RowCrCbCommand>},
    {CommandAreaCrCb, OnImage<AreaCrCbCommand>},
    {CommandClipping, OnImage<ClippingCommand>},
    {CommandDrawText, OnImage<DrawTextCommand>},
    {CommandTrueTypeDraw, OnImage<TrueTypeDrawCommand>},
};

