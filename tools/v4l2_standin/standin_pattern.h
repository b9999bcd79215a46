/* The picture the V4L2 stand-in delivers, shared by the stand-in (C, Linux) and the tests that
   check what reached the program (C++, Windows). Pixel (x, y) of frame n of device d, y from the
   top, as 0x00RRGGBB: red and green are x and y modulo 256, blue holds frame n modulo 8, device
   d modulo 4 and the high bits of x and y, so that any one pixel says where it came from. */
#ifndef KORVEL_STANDIN_PATTERN_H
#define KORVEL_STANDIN_PATTERN_H

static inline unsigned StandinPixel(int x, int y, unsigned frame, int device) {
  unsigned blue = ((frame & 7u) << 5) | (((unsigned)device & 3u) << 3) |
                  (((unsigned)x >> 8 & 3u) << 1) | ((unsigned)y >> 8 & 1u);
  return ((unsigned)x & 0xFFu) << 16 | ((unsigned)y & 0xFFu) << 8 | blue;
}

/* The frame number modulo 8 and the device modulo 4 of a pixel of the pattern. */
static inline unsigned StandinFrameOf(unsigned pixel) { return (pixel >> 5) & 7u; }
static inline int StandinDeviceOf(unsigned pixel) { return (int)((pixel >> 3) & 3u); }

#endif
