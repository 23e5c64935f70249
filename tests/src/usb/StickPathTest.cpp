#include "StickPath.h"
#include "Utf8Locale.h"

#include <gtest/gtest.h>

#include <set>

// Every stick root survives the way to its wide form and back, byte for byte, in a UTF-8 locale: names valid in
// it read as their text; bytes that are not (a stick named in another encoding) are kept as they are, and no two
// names share a wide form.
TEST(StickPathTest, RoundTripKeepsEveryByte)
{
    const Utf8Locale locale;
    struct Row {
        const char* what;
        std::string native;
        std::wstring text; // empty: no text form to expect
    };
    const std::vector<Row> rows = {
        {"plain", "/media/user/STICK/", L"/media/user/STICK/"},
        {"two-byte letter", "/media/user/K\xc3\xb6ln stick/", L"/media/user/K\u00f6ln stick/"},
        {"four-byte character", "/media/\xf0\x9f\x98\x80", L"/media/\U0001F600"},
        {"lone Latin-1 letter", "/media/K\xe9ln", {}},
        {"byte-order bytes", "/media/\xff\xfe", {}},
        {"cut sequence at the end", "/media/\xe2\x82", {}},
        {"cut sequence inside", "/media/\xe2\x82/x", {}},
        {"encoded surrogate", "/media/\xed\xb3\xa9", {}},
        {"overlong slash", "/media/\xc0\xaf", {}},
        {"beyond the last code point", "/media/\xf4\x90\x80\x80", {}},
        {"valid next to invalid", "/media/\xc3\xa9\xe9", {}},
    };
    std::set<std::wstring> wideForms;
    for (const Row& row : rows) {
        const std::wstring wide = StickPath::ToWide(row.native);
        EXPECT_EQ(StickPath::ToNative(wide).string(), row.native) << row.what;
        EXPECT_TRUE(wideForms.insert(wide).second) << row.what;
        if (!row.text.empty()) {
            EXPECT_EQ(wide, row.text) << row.what;
        }
    }
}
