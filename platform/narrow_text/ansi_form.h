// Text that must reach a narrow (ANSI) interface unchanged: a file name for
// a filter that opens files by their ANSI name, a folder kept in a settings
// file. Not every wide text has such a form, and the conversion's own
// "used default character" report is refused for some code pages (UTF-8
// among them, which Windows may use as its ANSI code page), so exactness is
// checked by converting back.
#pragma once

#include <windows.h>

#include <string>

// The text's form in `codePage` (CP_ACP for the system's ANSI code page),
// without its terminator. False when the text has none that converts back
// to exactly the same text (a character the code page lacks, a lone
// surrogate); *narrow is then left empty.
bool ExactNarrowForm(UINT codePage, const wchar_t* text, std::string* narrow);
