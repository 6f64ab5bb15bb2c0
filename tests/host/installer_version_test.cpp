// The installer's version packing: the text of a version block's "FileVersion" to 32 bits.
#include "installer/core/version_pack.h"

#include <gtest/gtest.h>

using vellora::installer::PackVersionText;

TEST(PackVersionText, Table) {
    struct Case {
        const char* text;
        std::uint32_t packed;
    } cases[] = {
        {"1, 2, 0, 0", 0x01020000},
        {"1.2", 0x01020000},
        {"1.2.3", 0x01020300},
        {"1.2.3.4.5", 0x01020304},   // a fifth field is ignored
        {"1,300", 0x012C0000},       // each field gives its low byte
        {"1.2.x", 0x01020000},       // a token without a number ends the parse
        {"1.2.", 0x01020000},        // so does an empty last token
        {" 7", 0x07000000},          // leading white space is skipped
        {"010", 0x08000000},         // a leading 0 is octal
        {"", 0x00000000},
        // Beyond the table: the rest of what "%i" reads.
        {"0x1F.0X10", 0x1F100000},   // hexadecimal
        {"08", 0x00000000},          // 8 is no octal digit: the number is the 0 before it
        {"0x", 0x00000000},          // no hexadecimal digit: the 0 is the number
        {"-1.+2", 0xFF020000},       // signs; -1's low byte is FF
        {"1..2", 0x01000000},        // the empty middle token ends the parse
        {"\t3 ,\n4", 0x03040000},    // white space before a number, junk after it
        {"4294967297.256", 0x01000000},  // numbers wrap; only the low byte counts
        {"a.1", 0x00000000},
        {"255.255.255.255", 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PackVersionText(c.text), c.packed) << '"' << c.text << '"';
    }
    EXPECT_EQ(PackVersionText(nullptr), 0u);
}

TEST(PackVersionText, ComparesInFieldOrder) {
    EXPECT_LT(PackVersionText("1, 1, 0, 0"), PackVersionText("1, 2, 0, 0"));
    EXPECT_LT(PackVersionText("1, 2, 0, 0"), PackVersionText("1, 3, 0, 0"));
    EXPECT_LT(PackVersionText("1, 9, 9, 9"), PackVersionText("2, 0"));
    // Unsigned: a first field of 128 or more is still the higher version.
    EXPECT_LT(PackVersionText("127.255"), PackVersionText("128"));
}
