// Wide text into the fixed narrow buffers of the settings code: converted
// through the ANSI code page and cut, at a character boundary, to fit.
#pragma once

#include <cstddef>
#include <string>

// The text in the ANSI code page, no longer than bufferBytes - 1 bytes and
// never ending in half a two-byte character.
std::string WideToAnsiFitting(const wchar_t* text, size_t bufferBytes);
