#include <gtest/gtest.h>

#include "protocol/hex_text.h"

namespace linkmate {
namespace {

struct ParseCase {
    const char* text;
    int groups;
    uint32_t expected;
};

void PrintTo(const ParseCase& c, std::ostream* os) { *os << '"' << c.text << "\" x" << c.groups; }

class ParseHexGroupsTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseHexGroupsTest, ReadsGroupsMostSignificantFirst) {
    const ParseCase& c = GetParam();
    EXPECT_EQ(ParseHexGroups(c.text, c.groups), c.expected) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseHexGroupsTest,
    ::testing::Values(ParseCase{"12 34 56 78", 4, 0x12345678},  //
                      ParseCase{"12345678", 4, 0x12345678},     // no separator needed
                      ParseCase{"ab cd ef 01", 4, 0xABCDEF01},  // lower case
                      ParseCase{"  1 2\t3  4", 4, 0x01020304},  // one-digit groups, odd blanks
                      ParseCase{"01 23", 2, 0x0123},            //
                      ParseCase{"1C", 1, 0x1C},                 //
                      ParseCase{"1C 55", 1, 0x1C},              // more groups than needed
                      ParseCase{"12", 4, 0x12000000},           // missing groups are low zeros
                      ParseCase{"", 1, 0},                      //
                      ParseCase{"  ", 1, 0},                    // the "Custom" preset blanks
                      ParseCase{"12 zz 56 78", 4, 0x12000000},  // stops at a foreign character
                      ParseCase{"12 3g", 2, 0x1203},            // a group ends at a non-digit
                      ParseCase{"0x12", 1, 0x00},               // "0" then 'x' stops
                      ParseCase{"FFFFFFFFFF", 4, 0xFFFFFFFF}));

TEST(FormatHexTest, UpperCaseTwoDigitsPerByteOneBlankBetween) {
    EXPECT_EQ(FormatHex8(0x0A), "0A");
    EXPECT_EQ(FormatHex8(0x1FF), "FF");  // only the byte
    EXPECT_EQ(FormatHex16(0x0123), "01 23");
    EXPECT_EQ(FormatHex32(0x91A2B3C0), "91 A2 B3 C0");
    EXPECT_EQ(FormatHex32(0), "00 00 00 00");
    EXPECT_EQ(JoinHexTexts("01 23", "04 56"), "01 23 04 56");
}

TEST(FormatHexTest, FormattedTextParsesBack) {
    for (uint32_t v : {0u, 1u, 0x80u, 0x7FFu, 0x1FFFFFFFu, 0xFFFFFFFFu, 0xDEADBEEFu}) {
        EXPECT_EQ(ParseHexGroups(FormatHex32(v), 4), v);
        EXPECT_EQ(ParseHexGroups(FormatHex16(v & 0xFFFF), 2), v & 0xFFFF);
    }
}

TEST(ParseHexRunTest, OneRunOfDigitsReadsAsOneNumber) {
    EXPECT_EQ(ParseHexRun("7FF", 4), 0x7FFu);
    EXPECT_EQ(ParseHexRun(" 1fffffff ", 4), 0x1FFFFFFFu);
    EXPECT_EQ(ParseHexRun("123", 2), 0x123u);
    // Not a run: one group, blanks inside, too many digits for the field, not hex.
    for (const char* text : {"7F", "7 FF", "123456789", "7FG", ""})
        EXPECT_EQ(ParseHexRun(text, 4), std::nullopt) << text;
    EXPECT_EQ(ParseHexRun("12345", 2), std::nullopt);
}

}  // namespace
}  // namespace linkmate
