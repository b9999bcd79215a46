// The drawing and text colours every drawing call and the command prompt share.
#include "korvel.h"

int krv_color = 0xFFFFFF;  // 0x00RRGGBB, or a colour-table index for 8-bit images
int krv_tc = 0;            // bitmap-font text
int krv_tttc = 0xFFFFFF;   // TrueType text
