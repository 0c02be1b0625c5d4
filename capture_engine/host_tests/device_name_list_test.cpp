// The device-name list's format and its bound, with the buffer guarded on
// both sides so a write out of place shows.
#include "capture_engine/device_name_list.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr char16_t kGuard = 0xBEEF;

// A buffer of `capacity` units between guard units.
struct Guarded {
    explicit Guarded(size_t capacity) : units(capacity + 2, kGuard), capacity(capacity) {}
    char16_t* Data() { return units.data() + 1; }
    bool GuardsIntact() const { return units.front() == kGuard && units.back() == kGuard; }
    std::u16string Text() const {  // up to the terminator
        std::u16string text;
        for (size_t i = 1; i <= capacity && units[i] != u'\0'; ++i) text += units[i];
        return text;
    }
    bool Untouched() const {
        for (char16_t u : units)
            if (u != kGuard) return false;
        return true;
    }
    std::vector<char16_t> units;
    size_t capacity;
};

bool Add(DeviceNameList<char16_t>& list, const std::u16string& name) { return list.Append(name.data(), name.size()); }

TEST(DeviceNameList, NamesEndInLineFeedsAndTheListInOneTerminator) {
    Guarded buffer(512);
    DeviceNameList<char16_t> list(buffer.Data(), buffer.capacity);
    EXPECT_TRUE(Add(list, u"Cam A"));
    EXPECT_TRUE(Add(list, u"Cam B"));
    list.Finish();
    EXPECT_EQ(list.Count(), 2);
    const std::u16string expected = u"Cam A\nCam B\n";
    EXPECT_EQ(buffer.Text(), expected);
    EXPECT_EQ(buffer.units[1 + expected.size()], u'\0');
    EXPECT_EQ(buffer.units[2 + expected.size()], kGuard) << "nothing after the terminator";
    EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(DeviceNameList, ExactFitUsesTheLastUnitForTheTerminator) {
    Guarded buffer(8);  // "abcdef" + LF + NUL
    DeviceNameList<char16_t> list(buffer.Data(), buffer.capacity);
    EXPECT_TRUE(Add(list, u"abcdef"));
    EXPECT_FALSE(Add(list, u"")) << "not even an empty name fits any more";
    list.Finish();
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(buffer.Text(), u"abcdef\n");
    EXPECT_EQ(buffer.units[8], u'\0');
    EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(DeviceNameList, NameOneUnitTooLongIsRefusedAndEndsTheList) {
    Guarded buffer(8);
    DeviceNameList<char16_t> list(buffer.Data(), buffer.capacity);
    EXPECT_FALSE(Add(list, u"abcdefg"));
    EXPECT_TRUE(list.Full());
    EXPECT_FALSE(Add(list, u"a")) << "a later, shorter name would break the order";
    list.Finish();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(buffer.Text(), u"");
    EXPECT_EQ(buffer.units[1], u'\0');
    EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(DeviceNameList, TinyBuffersAreNeverOverrun) {
    for (size_t capacity = 0; capacity < 4; ++capacity) {
        Guarded buffer(capacity);
        DeviceNameList<char16_t> list(buffer.Data(), capacity);
        Add(list, u"x");
        Add(list, u"");
        list.Finish();
        EXPECT_TRUE(buffer.GuardsIntact()) << capacity;
        if (capacity == 0) EXPECT_TRUE(buffer.Untouched());
    }
}

TEST(DeviceNameList, ManyNamesStopAtTheBound) {
    Guarded buffer(512);
    DeviceNameList<char16_t> list(buffer.Data(), buffer.capacity);
    const std::u16string name(40, u'n');
    int added = 0;
    for (int i = 0; i < 16; ++i) added += Add(list, name);
    list.Finish();
    EXPECT_EQ(added, 12);  // 12 * 41 = 492 units, a 13th would need 533
    EXPECT_EQ(list.Count(), 12);
    EXPECT_EQ(buffer.Text().size(), 492u);
    EXPECT_TRUE(buffer.GuardsIntact());
}

}  // namespace
