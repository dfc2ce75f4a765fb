#include <gtest/gtest.h>

#include "protocol/config_lists.h"
#include "protocol/device_config.h"

namespace linkmate {
namespace {

TEST(BaudPresetTest, CustomLeavesTypedTextsAlone) {
    CanSettings can;
    can.CanBaudrate = 0;
    can.CanBTR0 = "";
    can.CanBTR1 = "7f";
    ApplyBaudPreset(can);
    EXPECT_EQ(can.CanBTR0, "");
    EXPECT_EQ(can.CanBTR1, "7f");
}

TEST(BaudPresetTest, OtherRatesOverwriteTypedTexts) {
    CanSettings can;
    can.CanBTR0 = "12";
    can.CanBTR1 = "34";
    can.CanBaudrate = 15;
    ApplyBaudPreset(can);
    EXPECT_EQ(can.CanBTR0, "00");
    EXPECT_EQ(can.CanBTR1, "14");
    can.CanBaudrate = 13;
    ApplyBaudPreset(can);
    EXPECT_EQ(can.CanBTR0, "80");
    EXPECT_EQ(can.CanBTR1, "B6");
    can.CanBaudrate = 10;
    ApplyBaudPreset(can);
    EXPECT_EQ(can.CanBTR0, "01");
    EXPECT_EQ(can.CanBTR1, "1C");
}

TEST(BaudPresetTest, IndexOutsideTheTableActsLikeCustom) {
    for (int32_t index : {-1, 16, 255, INT32_MIN, INT32_MAX}) {
        CanSettings can;
        can.CanBaudrate = index;
        can.CanBTR0 = "AA";
        can.CanBTR1 = "BB";
        ApplyBaudPreset(can);
        EXPECT_EQ(can.CanBTR0, "AA") << index;
        EXPECT_EQ(can.CanBTR1, "BB") << index;
    }
}

TEST(BaudPresetTest, TableMatchesTheListOneRowPerEntry) {
    ASSERT_EQ(CanBaudPresets.size(), lists::CanBaudrate.size());
    EXPECT_EQ(CanBaudPresets[0].btr0, "  ");
    EXPECT_EQ(CanBaudPresets[1].btr0, "BF");
    EXPECT_EQ(CanBaudPresets[9].btr1, "FA");
}

TEST(MaskRuleTest, CustomMaskSelectsAllOnesOtherwiseZeroAndCodesSurvive) {
    CanSettings can;
    can.CanAcptMask = "12 34 56 78";
    can.CanAcptMask1 = "ab";
    can.CanAcptCode = "11 22 33 44";
    can.CanAcptCode1 = "55 66";
    can.CanCustomMask = 1;
    ApplyMaskRule(can);
    EXPECT_EQ(can.CanAcptMask, "FF FF FF FF");
    EXPECT_EQ(can.CanAcptMask1, "FF FF");
    EXPECT_EQ(can.CanAcptMask2, "FF FF");
    can.CanCustomMask = 0;
    ApplyMaskRule(can);
    EXPECT_EQ(can.CanAcptMask, "00 00 00 00");
    EXPECT_EQ(can.CanAcptMask1, "00 00");
    EXPECT_EQ(can.CanAcptMask2, "00 00");
    EXPECT_EQ(can.CanAcptCode, "11 22 33 44");
    EXPECT_EQ(can.CanAcptCode1, "55 66");
}

TEST(InitialValuesTest, ConstructionDefaultAndFallbackDifferWhereTheyShould) {
    const DeviceConfig constructed;
    EXPECT_EQ(constructed.can.CanBTR0, "");
    EXPECT_EQ(constructed.can.CanCustomMask, 0);
    EXPECT_EQ(constructed.can.CanAcptMask1, "FF FF");

    DeviceConfig edited;
    edited.serial = {9, 3, 0, 2, 0};
    edited.can.CanBaudrate = 3;
    edited.can.CanAcptCode1 = "12 34";
    edited.can.CanAcptMask2 = "0F 0F";
    edited.can.CanCustomMask = 0;
    edited.tran = {2, 1, 9, 1, 1, 7, 4};
    edited.connection = {1, 5};
    ApplyDefaults(edited);
    EXPECT_EQ(edited.serial.SerialBaudrate, 4);
    EXPECT_EQ(edited.serial.SerialDataBit, 3);
    EXPECT_EQ(edited.serial.SerialFlowCtrl, 2);
    EXPECT_EQ(edited.can.CanBaudrate, 10);
    EXPECT_EQ(edited.can.CanBTR0, "00");
    EXPECT_EQ(edited.can.CanBTR1, "14");
    EXPECT_EQ(edited.can.CanCustomMask, 1);
    EXPECT_EQ(edited.can.CanAcptMask, "FF FF FF FF");
    EXPECT_EQ(edited.tran.TranSpace, 2);
    EXPECT_EQ(edited.tran.TranLength, 1);
    // Not the Default command's to change.
    EXPECT_EQ(edited.can.CanAcptCode1, "12 34");
    EXPECT_EQ(edited.can.CanAcptMask2, "0F 0F");
    EXPECT_EQ(edited.connection.DeviceType, 1);
    EXPECT_EQ(edited.connection.ConfigPort, 5);

    // What the Default button finally shows once the CAN page has run its rules.
    ApplyBaudPreset(edited.can);
    ApplyMaskRule(edited.can);
    EXPECT_EQ(edited.can.CanBTR0, "01");
    EXPECT_EQ(edited.can.CanBTR1, "1C");
    EXPECT_EQ(edited.can.CanAcptMask2, "FF FF");

    const DeviceConfig fallback = ProfileFallbackConfig();
    EXPECT_EQ(fallback.can.CanBTR0, "00");
    EXPECT_EQ(fallback.can.CanBTR1, "14");
    EXPECT_EQ(fallback.can.CanAcptMask, "FF FF FF FF");
    EXPECT_EQ(fallback.can.CanCustomMask, 0);
}

TEST(ListsTest, EntryOrEmptyNeverReadsOutsideTheList) {
    EXPECT_EQ(lists::EntryOrEmpty(lists::TranDir, 1), "Serial → CAN");
    EXPECT_EQ(lists::EntryOrEmpty(lists::TranDir, 3), "");
    EXPECT_EQ(lists::EntryOrEmpty(lists::TranDir, -1), "");
    EXPECT_EQ(lists::EntryOrEmpty(lists::SerialBaudrate, 9), "115200");
}

}  // namespace
}  // namespace linkmate
