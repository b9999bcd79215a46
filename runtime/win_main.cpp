// The Windows entry point of every program on the framework. It is compiled into each program
// rather than the library, since the C runtime's start-up looks for it after the libraries.
#include "runtime/runtime.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) { return KorvelMain(instance); }
