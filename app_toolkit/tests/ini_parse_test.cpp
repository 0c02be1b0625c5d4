// Reading settings files: headers, key lines, values and inline comments, as
// the programs' config.ini and Resource.ini files are written by hand.
#include <cstring>

#include "app_toolkit/tests/ini_test_files.h"

namespace {

TEST_F(IniFileTest, HeaderNameIsTheTextBetweenFirstOpenAndLastClose) {
    const CIniFile ini = Loaded(
        "  [ config ]\nk=inner blanks\n"
        "[config]\nk=plain\n"
        "junk [two] junk\nk=2\n"
        "name=[x]\nk=x\n"
        "a]b[tail\nk=3\n"
        "[o[u]t]\nk=4\n"
        "[Config]\nk=upper\n");
    EXPECT_EQ(Value(ini, " config ", "k"), "inner blanks");
    EXPECT_EQ(Value(ini, "config", "k"), "plain");
    EXPECT_EQ(Value(ini, "two", "k"), "2");
    EXPECT_EQ(Value(ini, "x", "k"), "x");
    EXPECT_EQ(Value(ini, "tail", "k"), "3");  // ']' before '[': the rest of the line
    EXPECT_EQ(Value(ini, "o[u]t", "k"), "4");
    EXPECT_EQ(Value(ini, "Config", "k"), "upper");
    EXPECT_EQ(ini.Entries().size(), 7u);
    EXPECT_EQ(Value(ini, "name", "k"), "");  // 'name=[x]' is no key line
}

TEST_F(IniFileTest, EmptyBracketsAreNoHeaderAndKeysBeforeAnyHeaderAreDropped) {
    const CIniFile ini = Loaded(
        "early=1\n"
        "[]\n"
        "still=early\n"
        "[s]\n"
        "[]\n"
        "k=v\n");
    EXPECT_EQ(Value(ini, "", "early"), "");
    EXPECT_EQ(Value(ini, "", "still"), "");
    EXPECT_EQ(Value(ini, "s", "k"), "v");  // '[]' left section s open
    EXPECT_EQ(ini.Entries().size(), 1u);
}

TEST_F(IniFileTest, AnEmptySectionNameClosesTheSection) {
    // "][" opens the name after '[', which is empty: like no header at all.
    const CIniFile ini = Loaded("[s]\na=1\n][\nb=2\n");
    EXPECT_EQ(Value(ini, "s", "a"), "1");
    EXPECT_EQ(Value(ini, "s", "b"), "");
    EXPECT_EQ(ini.Entries().size(), 1u);
}

TEST_F(IniFileTest, KeysAreTrimmedOfBlanksAndSplitAtTheFirstEquals) {
    const CIniFile ini = Loaded(
        "[s]\n"
        " \t key one \t=1\n"
        "k=a=b\n"
        "  =blank key\n"
        "no equals sign\n"
        ";semi\n"
        "#hash=kept\n"
        "Key=upper\n"
        "key=lower\n");
    EXPECT_EQ(Value(ini, "s", "key one"), "1");
    EXPECT_EQ(Value(ini, "s", "k"), "a=b");
    EXPECT_EQ(Value(ini, "s", "#hash"), "kept");  // '#' starts no comment line
    EXPECT_EQ(Value(ini, "s", "Key"), "upper");
    EXPECT_EQ(Value(ini, "s", "key"), "lower");
    EXPECT_EQ(ini.Entries().size(), 5u);
}

TEST_F(IniFileTest, ValuesLoseBlanksAndCommentsThatFollowABlank) {
    const CIniFile ini = Loaded(
        "[config]\n"
        "workpath = D:\\Pictures  // my folder\n"
        "key =   value with blanks   \n"
        "hash=b#c\n"
        "lead=#x\n"
        "spaced=b #c\n"
        "tabbed=b\t#c\n"
        "tabslash=b\t//c\n"
        "url=http://host/x\n"
        "blankfirst=   //x\n"
        "order=a //b #c\n"
        "tabfirst=a #b\t#c\n");
    EXPECT_EQ(Value(ini, "config", "workpath"), "D:\\Pictures");
    EXPECT_EQ(Value(ini, "config", "key"), "value with blanks");
    EXPECT_EQ(Value(ini, "config", "hash"), "b#c");
    EXPECT_EQ(Value(ini, "config", "lead"), "#x");
    EXPECT_EQ(Value(ini, "config", "spaced"), "b");
    EXPECT_EQ(Value(ini, "config", "tabbed"), "b");
    EXPECT_EQ(Value(ini, "config", "tabslash"), "b");
    EXPECT_EQ(Value(ini, "config", "url"), "http://host/x");
    // The search starts at the first non-blank, so the blanks before it are no marker.
    EXPECT_EQ(Value(ini, "config", "blankfirst"), "//x");
    // Marker kinds are tried in turn ("\t#", " #", "\t//", " //"); the first kind found cuts.
    EXPECT_EQ(Value(ini, "config", "order"), "a //b");
    EXPECT_EQ(Value(ini, "config", "tabfirst"), "a #b");
}

TEST_F(IniFileTest, EmptyValuesStoreNothingAndLaterLinesReplaceEarlierOnes) {
    const CIniFile ini = Loaded(
        "[s]\n"
        "empty=\n"
        "blanks= \t \n"
        "comment= x //y\n"
        "kept=1\n"
        "kept=\n"
        "twice=first\n"
        "twice=second\n"
        "[t]\n"
        "twice=other\n"
        "[s]\n"
        "again=reopened\n");
    EXPECT_EQ(Value(ini, "s", "empty"), "");
    EXPECT_EQ(Value(ini, "s", "blanks"), "");
    EXPECT_EQ(Value(ini, "s", "comment"), "x");
    EXPECT_EQ(Value(ini, "s", "kept"), "1");  // an empty value does not remove it
    EXPECT_EQ(Value(ini, "s", "twice"), "second");
    EXPECT_EQ(Value(ini, "t", "twice"), "other");
    EXPECT_EQ(Value(ini, "s", "again"), "reopened");
    EXPECT_EQ(ini.Entries().count("s" + std::string(ini::kKeySeparator) + "empty"), 0u);
    EXPECT_EQ(ini.Entries().size(), 5u);
}

TEST_F(IniFileTest, LineEndsAreReadAsTextMode) {
    const CIniFile ini = Loaded("[s]\r\na=1\r\nb=2\r\r\nc=3\rd=4\r\nlast=no newline");
    EXPECT_EQ(Value(ini, "s", "a"), "1");
    EXPECT_EQ(Value(ini, "s", "b"), "2\r");  // only CR LF pairs are line ends
    EXPECT_EQ(Value(ini, "s", "c"), "3\rd=4");
    EXPECT_EQ(Value(ini, "s", "last"), "no newline");
}

TEST_F(IniFileTest, LoadSucceedsOnlyWithAtLeastOneEntry) {
    bool loaded = true;
    Loaded("", &loaded);
    EXPECT_FALSE(loaded);
    Loaded("\r\n", &loaded);
    EXPECT_FALSE(loaded) << "a file whose only line is empty";
    Loaded("[a]\n[b]\n; nothing\n", &loaded);
    EXPECT_FALSE(loaded);
    Loaded("[a]\nk=\n", &loaded);
    EXPECT_FALSE(loaded);
    Loaded("[a]\nk=v", &loaded);
    EXPECT_TRUE(loaded);

    CIniFile missing(PathOf("no-such.ini"));
    EXPECT_FALSE(missing.Load());
    EXPECT_TRUE(missing.Entries().empty());
}

TEST_F(IniFileTest, GetValueWritesAnEmptyStringForAMissingEntry) {
    const CIniFile ini = Loaded("[s]\nk=v\n");
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    ini.GetValue("other", "s", buffer);
    EXPECT_STREQ(buffer, "");
    std::memset(buffer, 'x', sizeof buffer);
    ini.GetValue("k", "S", buffer);
    EXPECT_STREQ(buffer, "");
}

TEST_F(IniFileTest, GetValueCutsLongValuesToTheBuffer) {
    const std::string longValue(300, 'v');
    const CIniFile ini = Loaded("[s]\nk=" + longValue + "\nshort=abc\n");
    char buffer[200 + 8];
    std::memset(buffer, '#', sizeof buffer);
    ini.GetValue("k", "s", buffer, 200);
    EXPECT_EQ(std::string(buffer), std::string(199, 'v'));
    EXPECT_EQ(std::string(buffer + 200, 8), std::string(8, '#')) << "written past the buffer";

    char tiny[4];
    ini.GetValue("short", "s", tiny);
    EXPECT_STREQ(tiny, "abc");
    char small[3];
    ini.GetValue("short", "s", small);
    EXPECT_STREQ(small, "ab");
    char untouched = '#';
    ini.GetValue("short", "s", &untouched, 0);
    EXPECT_EQ(untouched, '#');
}

}  // namespace
