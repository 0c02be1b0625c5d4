// The entry point of a program built on the framework: it runs the program's
// global CWinApp. Linked into programs as an object (a library member would
// never be pulled in, since only the C runtime asks for WinMain).
#include <windows.h>

#include "dialog_framework/application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) { return AfxWinMain(instance, showCommand); }
