#include "app_toolkit/read_ini_string.h"

#include "app_toolkit/ansi_text.h"
#include "app_toolkit/ini_file.h"

namespace {

constexpr size_t kPathBytes = MAX_PATH;
constexpr size_t kValueBytes = 200;

}  // namespace

bool ReadIniString(LPCWSTR path, const char* section, const char* key, CString& dest) {
    CIniFile ini(WideToAnsiFitting(path, kPathBytes));
    if (!ini.Load()) return false;
    char value[kValueBytes];
    ini.GetValue(key, section, value);
    if (!value[0]) return false;
    dest = AnsiToWide(value);
    return true;
}
