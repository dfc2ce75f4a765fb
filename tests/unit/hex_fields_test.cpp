#include <gtest/gtest.h>

#include "protocol/hex_fields.h"
#include "protocol/hex_text.h"
#include "sample_configs.h"

namespace linkmate {
namespace {

TEST(IsHexGroupsTextTest, AcceptsOnlyTextThatReadsAsItSays) {
    struct Case {
        const char* text;
        int groups;
        bool ok;
    } cases[] = {
        {"00 00 07 FF", 4, true}, {"7ff", 4, true},
        {"12345678", 4, true},    {"  1 2\t3 4 ", 4, true},
        {"1C", 1, true},          {"01 23", 2, true},
        {"", 4, false},           {"   ", 4, false},
        {"123456789", 4, false},  {"1C 00", 1, false},
        {"12 34 56", 2, false},   {"0x12", 4, false},
        {"12-34", 4, false},      {"xy:Z-\xe4\xb8\xad 012", 4, false},
        {"12 34 5g", 4, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsHexGroupsText(c.text, c.groups), c.ok) << '"' << c.text << "\" x" << c.groups;
    }
}

TEST(HexFieldsTest, TheFrameReadsTheFieldsOfItsFilterMode) {
    CanSettings can;
    can.CanFiterMode = 1;
    EXPECT_EQ(HexFieldsInFrame(can),
              (std::vector<HexField>{HexField::kBTR0, HexField::kBTR1, HexField::kID,
                                     HexField::kAcptCode, HexField::kAcptMask}));
    can.CanFiterMode = 0;
    EXPECT_EQ(HexFieldsInFrame(can),
              (std::vector<HexField>{HexField::kBTR0, HexField::kBTR1, HexField::kID,
                                     HexField::kAcptCode1, HexField::kAcptCode2,
                                     HexField::kAcptMask1, HexField::kAcptMask2}));

    // A hidden form is not looked at; the first malformed field of the shown form is found.
    can.CanAcptCode = "junk";
    can.CanBTR0 = "01";
    can.CanBTR1 = "1C";
    EXPECT_FALSE(FirstMalformedField(can).has_value());
    can.CanAcptMask2 = "FF:FF";
    can.CanAcptCode1 = "";
    EXPECT_EQ(FirstMalformedField(can), HexField::kAcptCode1);
    can.CanFiterMode = 1;
    EXPECT_EQ(FirstMalformedField(can), HexField::kAcptCode);
}

struct HeldCase {
    const char* name;
    int frameType;
    int filterMode;
    HexField field;
    const char* text;
    bool differs;
    uint32_t held;
};

void PrintTo(const HeldCase& c, std::ostream* os) { *os << c.name; }

class HeldDifferentlyTest : public ::testing::TestWithParam<HeldCase> {};

TEST_P(HeldDifferentlyTest, ComparesWhatIsTypedWithWhatComesBack) {
    const HeldCase& c = GetParam();
    DeviceConfig config = testing::DualStandardExample();
    config.can.CanFrameType = c.frameType;
    config.can.CanFiterMode = c.filterMode;
    config.can.CanID = "00 00 01 23";
    config.can.CanAcptCode = "00 00 01 00";
    config.can.CanAcptMask = "00 00 00 00";
    config.can.CanAcptMask1 = "00 00";
    config.can.CanAcptMask2 = "00 00";
    HexFieldText(config.can, c.field) = c.text;

    const auto differences = ValuesHeldDifferently(config);
    if (!c.differs) {
        EXPECT_TRUE(differences.empty());
        return;
    }
    ASSERT_EQ(differences.size(), 1u);
    EXPECT_EQ(differences[0].field, c.field);
    EXPECT_EQ(differences[0].typed, ParseHexGroups(c.text, HexFieldBytes(c.field)));
    EXPECT_EQ(differences[0].held, c.held);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, HeldDifferentlyTest,
    ::testing::Values(
        HeldCase{"std_id_7FF_fits", 0, 1, HexField::kID, "00 00 07 FF", false, 0},
        HeldCase{"std_id_typed_7FF_reads_7F0F0000", 0, 1, HexField::kID, "7FF", true, 0},
        HeldCase{"std_id_800", 0, 1, HexField::kID, "00 00 08 01", true, 0x001},
        HeldCase{"ext_id_29_bits", 1, 1, HexField::kID, "1F FF FF FF", false, 0},
        HeldCase{"ext_id_30th_bit", 1, 1, HexField::kID, "20 00 00 01", true, 0x01},
        HeldCase{"std_code_high_bits", 0, 1, HexField::kAcptCode, "FF FF FF FF", true, 0x7FF},
        HeldCase{"std_mask_all_ones", 0, 1, HexField::kAcptMask, "FF FF FF FF", false, 0},
        HeldCase{"std_mask_zero", 0, 1, HexField::kAcptMask, "00 00 00 00", false, 0},
        HeldCase{"std_mask_partial", 0, 1, HexField::kAcptMask, "00 00 0F FF", true, 0x7FF},
        HeldCase{"dual_std_code_half", 0, 0, HexField::kAcptCode1, "08 00", true, 0},
        HeldCase{"dual_std_mask_ones", 0, 0, HexField::kAcptMask2, "FF FF", false, 0},
        HeldCase{"dual_std_mask_partial", 0, 0, HexField::kAcptMask2, "10 FF", true, 0xFF},
        HeldCase{"dual_ext_halves_whole", 1, 0, HexField::kAcptCode2, "FF FF", false, 0},
        HeldCase{"btr_byte", 0, 1, HexField::kBTR0, "3f", false, 0}),
    [](const ::testing::TestParamInfo<HeldCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace linkmate
