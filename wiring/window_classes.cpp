// The five window classes with their procedures from each folder, in registration order.
#include "boxes/boxes.h"
#include "image/image.h"
#include "text/text.h"
#include "wiring/wiring.h"

const WindowClassEntry windowClasses[WindowClassCount] = {
    {NULL, MainWindowProc, CS_CLASSDC, COLOR_BTNFACE + 1},
    {L"krv_iw", ImageWindowProc, CS_OWNDC, -1},
    {L"krv_twi", TextWindowProc, CS_OWNDC, -1},
    {L"krv_ib", InputBoxProc, CS_OWNDC | CS_DBLCLKS, COLOR_BTNFACE + 1},
    {L"krv_bb", ButtonBoxProc, CS_OWNDC | CS_DBLCLKS, COLOR_BTNFACE + 1},
};
