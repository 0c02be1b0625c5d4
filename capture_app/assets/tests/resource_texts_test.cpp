// The interface texts and the help page beside the program: every key the
// program reads has a text, nothing is lost to the reader's comment and
// header rules, the Chinese file is GBK with the same keys, the page is UTF-8.
#include <iconv.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app_toolkit/ini_file.h"
#include "capture_app/assets/tests/asset_files.h"

namespace {

// Converts strictly; false at the first byte sequence invalid in `from`.
bool Convert(const std::string& in, const char* from, const char* to, std::string* out) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::string result(in.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = result.data();
    size_t dstLeft = result.size();
    const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || srcLeft != 0) return false;
    result.resize(result.size() - dstLeft);
    *out = result;
    return true;
}

std::string Value(const CIniFile& ini, const assets::TextKey& k) {
    char buffer[200];
    ini.GetValue(k.key, k.section, buffer);
    return buffer;
}

// The text after '=' on the key's line within its section, as written.
std::string RawValue(const std::string& text, const assets::TextKey& k) {
    const std::string header = std::string("[") + k.section + "]";
    size_t at = text.find(header);
    if (at == std::string::npos) return {};
    const size_t next = text.find("\n[", at);
    const std::string line = std::string("\n") + k.key + "=";
    at = text.find(line, at);
    if (at == std::string::npos || (next != std::string::npos && at > next)) return {};
    at += line.size();
    const size_t end = text.find_first_of("\r\n", at);
    return text.substr(at, end - at);
}

std::set<std::string> KeySet(const CIniFile& ini) {
    std::set<std::string> keys;
    for (const auto& entry : ini.Entries()) keys.insert(entry.first);
    return keys;
}

TEST(ResourceTexts, EnglishHasEveryKeyAndTheReaderKeepsEachTextWhole) {
    CIniFile ini(assets::InProgramDir("Resource.ini"));
    ASSERT_TRUE(ini.Load());
    const std::string text = assets::ReadBytes(assets::InProgramDir("Resource.ini"));
    EXPECT_NE(std::string::npos, text.find("\r\n")) << "lines should end as on Windows";
    EXPECT_EQ(assets::ResourceKeys().size(), ini.Entries().size()) << "keys the program never reads";
    for (const assets::TextKey& k : assets::ResourceKeys()) {
        const std::string value = Value(ini, k);
        EXPECT_FALSE(value.empty()) << k.section << "/" << k.key;
        EXPECT_EQ(RawValue(text, k), value) << k.section << "/" << k.key << " is cut or trimmed by the reader";
        for (unsigned char c : value) EXPECT_LT(c, 0x80u) << k.section << "/" << k.key << " is not plain ASCII";
    }
}

TEST(ResourceTexts, ChineseIsGbkWithTheSameKeysAllTranslated) {
    const std::string gbk = assets::ReadBytes(assets::InProgramDir("Resource.zh-CN.ini"));
    std::string utf8;
    ASSERT_TRUE(Convert(gbk, "GBK", "UTF-8", &utf8)) << "not valid GBK";
    std::string source = assets::ReadBytes(std::string(ASSET_SOURCE_DIR) + "/texts/Resource.zh-CN.utf8.ini");
    std::string sourceCrlf;
    for (char c : source) {
        if (c == '\n') sourceCrlf += '\r';
        sourceCrlf += c;
    }
    EXPECT_EQ(sourceCrlf, utf8) << "the GBK file does not say what its source says";

    CIniFile english(assets::InProgramDir("Resource.ini"));
    CIniFile chinese(assets::InProgramDir("Resource.zh-CN.ini"));
    ASSERT_TRUE(english.Load());
    ASSERT_TRUE(chinese.Load());
    EXPECT_EQ(KeySet(english), KeySet(chinese));
    for (const assets::TextKey& k : assets::ResourceKeys()) {
        const std::string value = Value(chinese, k);
        EXPECT_EQ(RawValue(gbk, k), value) << k.section << "/" << k.key << " is cut or trimmed by the reader";
        bool hasChinese = false;
        for (unsigned char c : value) hasChinese |= c >= 0x81;
        EXPECT_TRUE(hasChinese) << k.section << "/" << k.key << " is left untranslated: " << value;
        EXPECT_NE(Value(english, k), value) << k.section << "/" << k.key;
    }
}

TEST(HelpPage, IsUtf8AndSaysSo) {
    bool found = false;
    const std::string page = assets::ReadBytes(assets::InProgramDir("Help/\xe4\xba\xa7\xe5\x93\x81\xe7\xae\x80\xe4\xbb\x8b.htm"), &found);
    ASSERT_TRUE(found) << "Help\\产品简介.htm is missing";
    std::string checked;
    EXPECT_TRUE(Convert(page, "UTF-8", "UTF-16LE", &checked)) << "not valid UTF-8";
    EXPECT_NE(std::string::npos, page.find("<meta charset=\"utf-8\">"));
    EXPECT_NE(std::string::npos, page.find("Snapory"));
    EXPECT_NE(std::string::npos, page.find("</html>"));
}

}  // namespace
