#include "app_toolkit/ansi_text.h"

#include "app_toolkit/ini_core.h"
#include "app_toolkit/narrow_platform.h"
#include "dialog_framework/wide_string.h"

std::string WideToAnsiFitting(const wchar_t* text, size_t bufferBytes) {
    std::string ansi = WideToAnsi(text);
    ansi.resize(ini::FittingLength(ansi, bufferBytes, ini_platform::IsAnsiLeadByte));
    return ansi;
}
