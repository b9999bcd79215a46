// The framework's version banner, printed by the text window's About command.
#include "text/text.h"

static const char KorvelVersion[] = "1.0";

void PrintVersionBanner(void) {
  KRV_Print("KORVEL version %s (built %s)\n", KorvelVersion, __DATE__);
}
