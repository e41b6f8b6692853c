// The Windows entry point: everything happens in the logic's entry.
#include "platform/entry.h"

#include "platform/win32/win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return tandrelMain(); }
