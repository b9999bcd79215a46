#include "boxes/boxes.h"
void RenameInputItem(int) {}
void RenameButton(int) {}
