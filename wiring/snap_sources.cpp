// Windows other than the main window that edge snapping sees, in snap order: image windows,
// text windows, input box, button box.
#include "boxes/boxes.h"
#include "image/image.h"
#include "text/text.h"
#include "wiring/wiring.h"

const SnapSource snapSources[SnapSourceCount] = {
    {ImageWindowAt, SlotCount},
    {TextWindowAt, SlotCount},
    {InputBoxWindowAt, 1},
    {ButtonBoxWindowAt, 1},
};
