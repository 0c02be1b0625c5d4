#include "narrow_text/ansi_form.h"

#include <cwchar>
#include <utility>

bool ExactNarrowForm(UINT codePage, const wchar_t* text, std::string* narrow) {
    narrow->clear();
    if (!text) return false;
    const size_t length = std::wcslen(text);
    if (length == 0) return true;
    if (length > 0x3FFFFFFF) return false;  // beyond what the conversions count in an int
    const int wide = static_cast<int>(length);
    const int bytes = WideCharToMultiByte(codePage, 0, text, wide, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return false;
    std::string converted(static_cast<size_t>(bytes), '\0');
    if (WideCharToMultiByte(codePage, 0, text, wide, &converted[0], bytes, nullptr, nullptr) != bytes) return false;
    const int back = MultiByteToWideChar(codePage, 0, converted.data(), bytes, nullptr, 0);
    if (back != wide) return false;
    std::wstring again(static_cast<size_t>(back), L'\0');
    if (MultiByteToWideChar(codePage, 0, converted.data(), bytes, &again[0], back) != back) return false;
    if (again.compare(0, again.size(), text, length) != 0) return false;
    *narrow = std::move(converted);
    return true;
}
